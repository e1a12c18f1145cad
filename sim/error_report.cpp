#include "sim/error_report.h"

#include <string>

#include "platform/com_ptr.h"
#include "platform/error_info.h"

namespace sim {

void PublishHostError(std::u16string_view description) {
  ComPtr<ICreateErrorInfo> create;
  if (FAILED(CreateErrorInfo(create.ReleaseAndGetAddressOf())) || !create) return;
  std::u16string text(description);
  std::u16string source = u"HostSim";
  create->SetSource(source.data());
  create->SetDescription(text.data());
  ComPtr<IErrorInfo> info;
  if (SUCCEEDED(create.As(&info))) SetErrorInfo(0, info.Get());
}

}  // namespace sim
