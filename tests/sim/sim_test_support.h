// Shared vocabulary of the simulated host's tests: the sample models, text
// out of host calls, and the outside parties the host calls (an event sink,
// a command callback target), written here as small COM objects.
#pragma once

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "host/host.h"
#include "platform/com_object.h"
#include "platform/text.h"
#include "sim/sim_host.h"
#include "tests/support/temp_dir.h"

namespace sim_test {

inline std::filesystem::path SampleDir() { return HARBOLT_SAMPLE_DIR; }

// A copy of the sample models in dir, so that a test may save them.
inline void CopySamples(const std::filesystem::path& dir) {
  for (const auto& entry : std::filesystem::directory_iterator(SampleDir())) {
    std::filesystem::copy_file(entry.path(), dir / entry.path().filename());
  }
}

// UTF-8 text of a BSTR that the caller owns; frees it.
inline std::string Take(BSTR text) {
  std::string result = platform::Utf16ToUtf8(BstrView(text));
  SysFreeString(text);
  return result;
}

inline std::string Utf8(std::u16string_view text) { return platform::Utf16ToUtf8(text); }

// The texts of a VT_BSTR SAFEARRAY that the caller owns; destroys it.
inline std::vector<std::string> TakeTexts(SAFEARRAY* array) {
  ScopedSafeArray owned(array);
  std::vector<std::string> texts;
  for (LONG i = 0; i < owned.Count(); ++i) {
    BSTR text = nullptr;
    SafeArrayGetElement(owned.Get(), &i, &text);
    texts.push_back(Take(text));
  }
  return texts;
}

inline std::vector<LONG> TakeLongs(SAFEARRAY* array) {
  ScopedSafeArray owned(array);
  std::vector<LONG> numbers;
  for (LONG i = 0; i < owned.Count(); ++i) {
    LONG value = 0;
    SafeArrayGetElement(owned.Get(), &i, &value);
    numbers.push_back(value);
  }
  return numbers;
}

// A text of one event argument: "I4:5", "BSTR:text", "DISPATCH", "EMPTY".
inline std::string ArgumentText(const VARIANT& value) {
  switch (value.vt) {
    case VT_I4:
      return "I4:" + std::to_string(value.lVal);
    case VT_BSTR:
      return "BSTR:" + platform::Utf16ToUtf8(BstrView(value.bstrVal));
    case VT_DISPATCH:
      return value.pdispVal ? "DISPATCH" : "DISPATCH:null";
    case VT_EMPTY:
      return "EMPTY";
    default:
      return "VT:" + std::to_string(value.vt);
  }
}

// An event sink for the event interface E: records every event as
// "dispid(arg, arg)" with the arguments in call order, keeps the objects it
// was given, and answers each event with `answer`.
template <typename E>
class RecordingSink final : public ComObject<E> {
 public:
  std::vector<std::string> events;
  std::vector<ComPtr<IDispatch>> objects;
  HRESULT answer = S_OK;

  HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override {
    *count = 0;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override {
    return DISP_E_UNKNOWNNAME;
  }
  HRESULT STDMETHODCALLTYPE Invoke(DISPID dispid, REFIID, LCID, WORD flags, DISPPARAMS* params,
                                   VARIANT*, EXCEPINFO*, UINT*) override {
    std::string text = std::to_string(dispid) + "(";
    for (UINT i = 0; i < params->cArgs; ++i) {
      const VARIANT& value = params->rgvarg[params->cArgs - 1 - i];
      if (i > 0) text += ", ";
      text += ArgumentText(value);
      if (value.vt == VT_DISPATCH && value.pdispVal) objects.emplace_back(value.pdispVal);
    }
    if (flags != DISPATCH_METHOD) text += " not as a method";
    events.push_back(text + ")");
    return answer;
  }
};

// A command callback target: methods found by name (ASCII case ignored) get
// the DISPIDs 1, 2, ... in the order of `names`; every call is recorded by
// name; a method whose name starts with "Enable" answers with VT_I4 7.
class CallbackTarget final : public ComObject<IDispatch> {
 public:
  explicit CallbackTarget(std::vector<std::u16string> names) : names_(std::move(names)) {}
  std::vector<std::string> calls;

  HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override {
    *count = 0;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR* names, UINT count, LCID,
                                          DISPID* dispids) override {
    if (count != 1) return E_INVALIDARG;
    for (size_t i = 0; i < names_.size(); ++i) {
      if (platform::EqualsIgnoringAsciiCase(names_[i], names[0])) {
        *dispids = static_cast<DISPID>(i + 1);
        return S_OK;
      }
    }
    *dispids = DISPID_UNKNOWN;
    return DISP_E_UNKNOWNNAME;
  }
  HRESULT STDMETHODCALLTYPE Invoke(DISPID dispid, REFIID, LCID, WORD flags, DISPPARAMS* params,
                                   VARIANT* result, EXCEPINFO*, UINT*) override {
    if (dispid < 1 || static_cast<size_t>(dispid) > names_.size()) return DISP_E_MEMBERNOTFOUND;
    if (flags != DISPATCH_METHOD || params->cArgs != 0) return DISP_E_BADPARAMCOUNT;
    const std::u16string& name = names_[static_cast<size_t>(dispid - 1)];
    calls.push_back(platform::Utf16ToUtf8(name));
    if (result && name.rfind(u"Enable", 0) == 0) {
      result->vt = VT_I4;
      result->lVal = 7;
    }
    return S_OK;
  }

 private:
  std::vector<std::u16string> names_;
};

}  // namespace sim_test
