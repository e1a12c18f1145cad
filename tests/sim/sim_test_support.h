// Shared vocabulary of the simulated host's tests: the sample models, calls
// of the host's published members by name through IDispatch, as the binding
// makes them, tables of expected answers, and the outside parties the host
// calls (an event sink, a command callback target) as small COM objects.
//
//   ComPtr<IDispatch> feature = Object(document, u"FirstFeature");
//   EXPECT_EQ("Comments", Text(feature, u"Name"));
//   Put(feature, u"Description", {Arg(u"new")});
//   ExpectAnswers({{feature, u"IsSuppressed2", {Arg(1), Arg::Empty()}, "[0]"}});
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "platform/com_object.h"
#include "platform/safearray.h"
#include "platform/text.h"
#include "sim/sim_host.h"
#include "sim/variant_values.h"
#include "tests/support/temp_dir.h"
#include "tools/automation/dispatch_call.h"

namespace sim_test {

using automation::Arg;

inline std::filesystem::path SampleDir() { return HARBOLT_SAMPLE_DIR; }

// A copy of the sample models in dir, so that a test may save them.
inline void CopySamples(const std::filesystem::path& dir) {
  for (const auto& entry : std::filesystem::directory_iterator(SampleDir())) {
    std::filesystem::copy_file(entry.path(), dir / entry.path().filename());
  }
}

inline std::string Utf8(std::u16string_view text) { return platform::Utf16ToUtf8(text); }

// What one Invoke gave.
struct Outcome {
  HRESULT hr = S_OK;
  ScopedVariant answer;
  UINT argErr = static_cast<UINT>(-1);
  SCODE scode = 0;
  std::string source;
  std::string description;
};

// Invokes the member of that name with flags and the arguments in call
// order (borrowed); a put passes its last argument as the named
// DISPID_PROPERTYPUT.
inline Outcome InvokeValues(IDispatch* object, std::u16string_view member, WORD flags,
                            std::vector<VARIANT> arguments) {
  Outcome outcome;
  DISPID dispid = automation::DispIdOf(object, member);
  if (dispid == DISPID_UNKNOWN) {
    outcome.hr = DISP_E_UNKNOWNNAME;
    return outcome;
  }
  std::vector<VARIANT> reversed(arguments.rbegin(), arguments.rend());
  DISPID named = DISPID_PROPERTYPUT;
  bool put = (flags & DISPATCH_PROPERTYPUT) != 0;
  DISPPARAMS params{reversed.data(), put ? &named : nullptr, static_cast<UINT>(reversed.size()),
                    put ? 1u : 0u};
  EXCEPINFO exception{};
  outcome.hr = object->Invoke(dispid, IID_NULL, LOCALE_USER_DEFAULT, flags, &params,
                              outcome.answer.Receive(), &exception, &outcome.argErr);
  outcome.scode = exception.scode;
  outcome.source = Utf8(BstrView(exception.bstrSource));
  outcome.description = Utf8(BstrView(exception.bstrDescription));
  SysFreeString(exception.bstrSource);
  SysFreeString(exception.bstrDescription);
  SysFreeString(exception.bstrHelpFile);
  return outcome;
}

inline Outcome Invoke(IDispatch* object, std::u16string_view member, WORD flags,
                      const std::vector<Arg>& args = {}) {
  std::vector<VARIANT> values;  // shallow copies: the Args own the values
  for (const Arg& arg : args) values.push_back(arg.value());
  return InvokeValues(object, member, flags, std::move(values));
}

// A method call or a property get that must work: its answer.
inline ScopedVariant Answer(IDispatch* object, std::u16string_view member,
                            const std::vector<Arg>& args = {}) {
  Outcome outcome = Invoke(object, member, DISPATCH_METHOD | DISPATCH_PROPERTYGET, args);
  EXPECT_EQ(S_OK, outcome.hr) << Utf8(member) << ": " << outcome.description;
  return std::move(outcome.answer);
}

// A property put that must work: the index arguments, then the value.
inline void Put(IDispatch* object, std::u16string_view member, const std::vector<Arg>& args) {
  Outcome outcome = Invoke(object, member, DISPATCH_PROPERTYPUT, args);
  EXPECT_EQ(S_OK, outcome.hr) << Utf8(member) << ": " << outcome.description;
}

// An answer as a text: a scalar as sim::ValueText gives it ("7", "-1" for
// true, the text), "object" or "null", a list as "[a, b]".
inline std::string AnswerText(const VARIANT& answer) {
  if (answer.vt == VT_DISPATCH) return answer.pdispVal ? "object" : "null";
  if (!(answer.vt & VT_ARRAY)) return Utf8(sim::ValueText(answer));
  LONG last = -1;
  SafeArrayGetUBound(answer.parray, 1, &last);
  std::string text = "[";
  for (LONG i = 0; i <= last; ++i) {
    ScopedVariant element;
    VARTYPE type = answer.vt & VT_TYPEMASK;
    void* into = type == VT_VARIANT ? static_cast<void*>(element.Get())
                                    : static_cast<void*>(&element.Get()->llVal);
    SafeArrayGetElement(answer.parray, &i, into);
    if (type != VT_VARIANT) element.Get()->vt = type;
    text += (i ? ", " : "") + AnswerText(*element.Get());
  }
  return text + "]";
}

inline std::string Text(IDispatch* object, std::u16string_view member,
                        const std::vector<Arg>& args = {}) {
  ScopedVariant answer = Answer(object, member, args);
  EXPECT_EQ(VT_BSTR, answer.Type()) << Utf8(member);
  return AnswerText(*answer.Get());
}

inline LONG Long(IDispatch* object, std::u16string_view member, const std::vector<Arg>& args = {}) {
  ScopedVariant answer = Answer(object, member, args);
  EXPECT_EQ(VT_I4, answer.Type()) << Utf8(member);
  return answer.Get()->lVal;
}

inline bool Bool(IDispatch* object, std::u16string_view member, const std::vector<Arg>& args = {}) {
  ScopedVariant answer = Answer(object, member, args);
  EXPECT_EQ(VT_BOOL, answer.Type()) << Utf8(member);
  return answer.Get()->boolVal != VARIANT_FALSE;
}

// An object, or null for the host's "no object".
inline ComPtr<IDispatch> Object(IDispatch* object, std::u16string_view member,
                                const std::vector<Arg>& args = {}) {
  ScopedVariant answer = Answer(object, member, args);
  EXPECT_EQ(VT_DISPATCH, answer.Type()) << Utf8(member);
  return ComPtr<IDispatch>(answer.Type() == VT_DISPATCH ? answer.Get()->pdispVal : nullptr);
}

// The objects of a list answer (VT_EMPTY: none).
inline std::vector<ComPtr<IDispatch>> Objects(IDispatch* object, std::u16string_view member) {
  ScopedVariant list = Answer(object, member);
  std::vector<ComPtr<IDispatch>> objects;
  if (list.Type() != (VT_ARRAY | VT_DISPATCH)) return objects;
  LONG last = -1;
  SafeArrayGetUBound(list.Get()->parray, 1, &last);
  for (LONG i = 0; i <= last; ++i) {
    SafeArrayGetElement(list.Get()->parray, &i, objects.emplace_back().ReleaseAndGetAddressOf());
  }
  return objects;
}

// One expected answer: the member called on object with args answers this
// text (AnswerText).
struct Expected {
  IDispatch* object;
  const char16_t* member;
  std::vector<Arg> args;
  std::string answer;
};

inline void ExpectAnswers(const std::vector<Expected>& rows) {
  for (const Expected& row : rows) {
    EXPECT_EQ(row.answer, AnswerText(*Answer(row.object, row.member, row.args).Get()))
        << Utf8(row.member);
  }
}

// The feature of that name on a document's feature chain; null when none.
inline ComPtr<IDispatch> Feature(IDispatch* document, const std::string& name) {
  for (ComPtr<IDispatch> feature = Object(document, u"FirstFeature"); feature;
       feature = Object(feature.Get(), u"GetNextFeature")) {
    if (Text(feature.Get(), u"Name") == name) return feature;
  }
  return nullptr;
}

// The IDispatch of an outside party the host calls: no type information, no
// names unless the party has its own.
class DispatchStub : public ComObject<IDispatch> {
 public:
  HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override {
    *count = 0;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override {
    return DISP_E_UNKNOWNNAME;
  }
};

// An event sink of the dispinterface iid: records every event as
// "dispid(I4:5, I2:3, BSTR:text, DISPATCH)" with the arguments in call order,
// keeps the objects it was given, and answers each event with `answer`.
class RecordingSink final : public DispatchStub {
 public:
  explicit RecordingSink(const IID& iid) : iid_(iid) {}
  std::vector<std::string> events;
  std::vector<ComPtr<IDispatch>> objects;
  HRESULT answer = S_OK;

  HRESULT STDMETHODCALLTYPE Invoke(DISPID dispid, REFIID, LCID, WORD flags, DISPPARAMS* params,
                                   VARIANT*, EXCEPINFO*, UINT*) override {
    std::string text = std::to_string(dispid) + "(";
    for (UINT i = 0; i < params->cArgs; ++i) {
      const VARIANT& value = params->rgvarg[params->cArgs - 1 - i];
      static const std::map<VARTYPE, std::string> kTypes = {
          {VT_I4, "I4:"}, {VT_I2, "I2:"}, {VT_BSTR, "BSTR:"}, {VT_DISPATCH, "DISPATCH"}};
      text += (i ? ", " : "") + kTypes.at(value.vt);
      if (value.vt == VT_DISPATCH) {
        objects.emplace_back(value.pdispVal);
      } else {
        text += Utf8(sim::ValueText(value));
      }
    }
    events.push_back(text + (flags == DISPATCH_METHOD ? ")" : ") not as a method"));
    return answer;
  }

 protected:
  void* QueryOtherInterface(REFIID riid) override {
    return riid == iid_ ? static_cast<IDispatch*>(this) : nullptr;
  }

 private:
  IID iid_;
};

// Advises a new RecordingSink of iid on the container; the sink, or null
// when advising failed.
inline ComPtr<IDispatch> Advise(IUnknown* container, const IID& iid) {
  ComPtr<IConnectionPointContainer> points;
  ComPtr<IUnknown>(container).As(&points);
  ComPtr<IConnectionPoint> point;
  if (!points || FAILED(points->FindConnectionPoint(iid, point.ReleaseAndGetAddressOf()))) {
    return nullptr;
  }
  ComPtr<IDispatch> sink = MakeComObject<RecordingSink, IDispatch>(iid);
  DWORD cookie = 0;
  return SUCCEEDED(point->Advise(sink.Get(), &cookie)) ? sink : nullptr;
}

inline RecordingSink& Recorded(const ComPtr<IDispatch>& sink) {
  return *static_cast<RecordingSink*>(sink.Get());
}

// A command callback target: methods found by name (ASCII case ignored) get
// the DISPIDs 1, 2, ... in the order of `names`; every call is recorded by
// name; a method whose name starts with "Enable" answers with VT_I4 7.
class CallbackTarget final : public DispatchStub {
 public:
  explicit CallbackTarget(std::vector<std::u16string> names) : names_(std::move(names)) {}
  std::vector<std::string> calls;

  HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR* names, UINT, LCID,
                                          DISPID* dispids) override {
    *dispids = DISPID_UNKNOWN;
    for (size_t i = 0; i < names_.size(); ++i) {
      if (platform::EqualsIgnoringAsciiCase(names_[i], names[0])) {
        *dispids = static_cast<DISPID>(i + 1);
      }
    }
    return *dispids == DISPID_UNKNOWN ? DISP_E_UNKNOWNNAME : S_OK;
  }
  HRESULT STDMETHODCALLTYPE Invoke(DISPID dispid, REFIID, LCID, WORD, DISPPARAMS*, VARIANT* result,
                                   EXCEPINFO*, UINT*) override {
    const std::u16string& name = names_.at(static_cast<size_t>(dispid - 1));
    calls.push_back(Utf8(name));
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
