#include "hostutil/host_lists.h"

#include "common/kvx_exception.h"
#include "hostutil/host_call.h"
#include "platform/format.h"

namespace hostutil {
namespace {

// Access to the elements of a one-dimensional array, released at the end of
// the scope.
class ArrayData {
 public:
  ArrayData(SAFEARRAY* array, VARTYPE expected, std::u16string_view operation) : array_(array) {
    VARTYPE type = VT_EMPTY;
    if (SafeArrayGetVartype(array, &type) != S_OK || type != expected ||
        SafeArrayGetDim(array) != 1) {
      throw Dovbase::Kvx_Exception(platform::FormatWide(
          platform::kUnlimited, u"%s: unexpected list of type %d", operation, type));
    }
    CheckHost(SafeArrayAccessData(array, &data_), operation);
    count_ = static_cast<size_t>(array->rgsabound[0].cElements);
  }
  ArrayData(const ArrayData&) = delete;
  ArrayData& operator=(const ArrayData&) = delete;
  ~ArrayData() { SafeArrayUnaccessData(array_); }

  template <typename T>
  const T* data() const {
    return static_cast<const T*>(data_);
  }
  size_t count() const { return count_; }

 private:
  SAFEARRAY* array_;
  void* data_ = nullptr;
  size_t count_ = 0;
};

}  // namespace

std::vector<std::u16string> ReadTextList(SAFEARRAY* array, std::u16string_view operation) {
  std::vector<std::u16string> texts;
  if (!array) return texts;
  ArrayData data(array, VT_BSTR, operation);
  texts.reserve(data.count());
  for (size_t i = 0; i < data.count(); ++i) texts.emplace_back(BstrView(data.data<BSTR>()[i]));
  return texts;
}

std::vector<LONG> ReadLongList(SAFEARRAY* array, std::u16string_view operation) {
  std::vector<LONG> values;
  if (!array) return values;
  ArrayData data(array, VT_I4, operation);
  values.assign(data.data<LONG>(), data.data<LONG>() + data.count());
  return values;
}

std::vector<ComPtr<IHostComponent>> ReadComponentList(SAFEARRAY* array,
                                                      std::u16string_view operation) {
  std::vector<ComPtr<IHostComponent>> components;
  if (!array) return components;
  ArrayData data(array, VT_DISPATCH, operation);
  components.reserve(data.count());
  for (size_t i = 0; i < data.count(); ++i) {
    ComPtr<IDispatch> element(data.data<IDispatch*>()[i]);
    ComPtr<IHostComponent> component = QueryHost<IHostComponent>(element);
    if (!component) {
      throw Dovbase::Kvx_Exception(platform::FormatWide(platform::kUnlimited,
                                                        u"%s: element %d is no component",
                                                        operation, static_cast<int64_t>(i)));
    }
    components.push_back(std::move(component));
  }
  return components;
}

std::vector<std::u16string> ConfigurationNames(IHostModelDoc* document) {
  constexpr std::u16string_view kOperation = u"IHostModelDoc::GetConfigurationNames";
  ScopedSafeArray names = HostGet(kOperation, document, &IHostModelDoc::GetConfigurationNames);
  return ReadTextList(names.Get(), kOperation);
}

ComPtr<IHostConfiguration> ConfigurationByName(IHostModelDoc* document, std::u16string_view name) {
  constexpr std::u16string_view kOperation = u"IHostModelDoc::GetConfiguration";
  ScopedBstr bsName(name);
  ComPtr<IHostConfiguration> configuration =
      HostGet(kOperation, document, &IHostModelDoc::GetConfiguration, bsName.Get());
  if (!configuration) ThrowNoObject(kOperation);
  return configuration;
}

std::vector<ComPtr<IHostComponent>> ComponentChildren(IHostComponent* component) {
  constexpr std::u16string_view kOperation = u"IHostComponent::GetChildren";
  ScopedSafeArray children = HostGet(kOperation, component, &IHostComponent::GetChildren);
  return ReadComponentList(children.Get(), kOperation);
}

}  // namespace hostutil
