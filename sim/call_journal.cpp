#include "sim/call_journal.h"

#include <algorithm>
#include <charconv>
#include <stdexcept>

#include "platform/text.h"

namespace sim {
namespace {

constexpr const char* kOperations[] = {
    "IHostApplication.GetCommandManager",
    "IHostApplication.SetAddinCallbackInfo",
    "IHostApplication.RevisionNumber",
    "IHostApplication.GetFrame",
    "IHostApplication.GetFirstDocument",
    "IHostApplication.GetDocuments",
    "IHostApplication.GetActiveDocument",
    "IHostApplication.OpenDocument",
    "IHostApplication.ActivateDocument",
    "IHostApplication.CloseDocument",
    "IHostApplication.GetPreviewPicture",
    "IHostFrame.GetHWnd",
    "IHostModelDoc.GetType",
    "IHostModelDoc.GetPathName",
    "IHostModelDoc.GetTitle",
    "IHostModelDoc.GetNext",
    "IHostModelDoc.GetFirstFeature",
    "IHostModelDoc.GetSelectionManager",
    "IHostModelDoc.GetEquationManager",
    "IHostModelDoc.GetConfigurationCount",
    "IHostModelDoc.GetConfigurationNames",
    "IHostModelDoc.GetConfiguration",
    "IHostModelDoc.GetActiveConfiguration",
    "IHostModelDoc.GetConfigurationManager",
    "IHostModelDoc.GetCustomPropertyCount",
    "IHostModelDoc.GetCustomPropertyNames",
    "IHostModelDoc.GetCustomPropertyValue",
    "IHostModelDoc.GetCustomPropertyType",
    "IHostModelDoc.Save",
    "IHostModelDoc.GetDependencies",
    "IHostModelDoc.PrepareForClose",
    "IHostFeature.GetName",
    "IHostFeature.GetTypeName",
    "IHostFeature.GetNextFeature",
    "IHostFeature.GetOwnerFeature",
    "IHostFeature.GetFirstSubFeature",
    "IHostFeature.GetNextSubFeature",
    "IHostFeature.Select",
    "IHostFeature.GetCreatedBy",
    "IHostFeature.GetDateCreated",
    "IHostFeature.GetCreatedVersion",
    "IHostFeature.GetDateModified",
    "IHostFeature.GetModifiedVersion",
    "IHostFeature.GetUpdateStamp",
    "IHostFeature.GetDescription",
    "IHostFeature.SetDescription",
    "IHostFeature.GetEditStatus",
    "IHostFeature.GetErrorCode",
    "IHostFeature.IsBase",
    "IHostFeature.GetVisible",
    "IHostFeature.GetUIState",
    "IHostFeature.SetUIState",
    "IHostFeature.IsSuppressed",
    "IHostFeature.GetFirstDisplayDimension",
    "IHostFeature.GetNextDisplayDimension",
    "IHostSelectionManager.GetSelectedObjectCount",
    "IHostSelectionManager.GetSelectedObject",
    "IHostDisplayDimension.GetType",
    "IHostDisplayDimension.GetDimension",
    "IHostDimension.GetFullName",
    "IHostDimension.GetValue",
    "IHostDimension.SetValue",
    "IHostDimension.GetSystemValue",
    "IHostDimension.GetReadOnly",
    "IHostDimension.SetReadOnly",
    "IHostDimension.GetDrivenState",
    "IHostDimension.SetDrivenState",
    "IHostDimension.GetParameterType",
    "IHostDimension.IsReference",
    "IHostDimension.GetTolerance",
    "IHostTolerance.GetType",
    "IHostTolerance.SetType",
    "IHostTolerance.GetMinValue",
    "IHostTolerance.GetMaxValue",
    "IHostTolerance.SetValues",
    "IHostEquationManager.GetCount",
    "IHostEquationManager.GetEquation",
    "IHostEquationManager.SetEquation",
    "IHostEquationManager.GetValue",
    "IHostEquationManager.GetSuppression",
    "IHostEquationManager.SetSuppression",
    "IHostEquationManager.Delete",
    "IHostEquationManager.Add",
    "IHostConfiguration.GetName",
    "IHostConfiguration.GetParent",
    "IHostConfiguration.GetAlternateName",
    "IHostConfiguration.SetAlternateName",
    "IHostConfiguration.GetType",
    "IHostConfiguration.GetBomPartNumberSource",
    "IHostConfiguration.SetBomPartNumberSource",
    "IHostConfiguration.GetComment",
    "IHostConfiguration.SetComment",
    "IHostConfiguration.GetDescription",
    "IHostConfiguration.SetDescription",
    "IHostConfiguration.GetLocked",
    "IHostConfiguration.SetLocked",
    "IHostConfiguration.GetUseAlternateNameInBom",
    "IHostConfiguration.SetUseAlternateNameInBom",
    "IHostConfiguration.GetRootComponent",
    "IHostConfiguration.GetRootComponent2",
    "IHostConfiguration.GetCustomPropertyManager",
    "IHostConfigurationManager.GetParameterCount",
    "IHostConfigurationManager.GetParameters",
    "IHostConfigurationManager.SetParameters",
    "IHostConfigurationManager.GetDocumentConfiguration",
    "IHostCustomPropertyManager.GetCount",
    "IHostCustomPropertyManager.GetAll",
    "IHostCustomPropertyManager.Add2",
    "IHostCustomPropertyManager.Set2",
    "IHostComponent.GetName",
    "IHostComponent.GetSuppressionState",
    "IHostComponent.GetModelDoc",
    "IHostComponent.GetChildrenCount",
    "IHostComponent.GetChildren",
    "IHostComponent.GetReferencedConfiguration",
    "IHostComponent.GetVisibility",
    "IHostComponent.GetConstraintStatus",
    "IHostComponent.GetPathName",
    "IHostComponent.GetFirstFeature",
    "IHostCommandManager.CreateCommandGroup",
    "IHostCommandManager.RemoveCommandGroup",
    "IHostCommandManager.GetCommandTab",
    "IHostCommandManager.AddCommandTab",
    "IHostCommandGroup.AddCommandItem",
    "IHostCommandGroup.AddSeparator",
    "IHostCommandGroup.SetHasToolbar",
    "IHostCommandGroup.Activate",
    "IHostCommandGroup.GetCommandId",
    "IHostCommandGroup.GetToolbarId",
    "IHostCommandTab.AddCommandTabBox",
    "IHostCommandTab.AddSeparator",
    "IHostCommandTab.SetActive",
    "IHostCommandTabBox.AddCommands",
    "IConnectionPointContainer.FindConnectionPoint",
    "IConnectionPoint.Advise",
    "IConnectionPoint.Unadvise",
};

std::u16string ArgumentText(const platform::FormatArg& argument) {
  switch (argument.kind()) {
    case platform::FormatArg::Kind::kText:
      if (argument.IsNullText()) return u"(null)";
      return std::u16string(argument.AsText());
    case platform::FormatArg::Kind::kReal:
      return platform::FormatWide(platform::kUnlimited, u"%g", argument.AsReal());
    case platform::FormatArg::Kind::kUnsigned:
      return platform::FormatWide(platform::kUnlimited, u"%u", argument.AsUnsigned());
    case platform::FormatArg::Kind::kSigned:
    default:
      return platform::FormatWide(platform::kUnlimited, u"%d", argument.AsSigned());
  }
}

}  // namespace

std::string HostCall::ToString() const {
  std::string text = operation;
  if (!target.empty()) text += " " + platform::Utf16ToUtf8(target);
  text += "(";
  for (size_t i = 0; i < arguments.size(); ++i) {
    if (i > 0) text += ", ";
    text += platform::Utf16ToUtf8(arguments[i]);
  }
  return text + ")";
}

std::span<const char* const> KnownOperations() { return kOperations; }

bool IsKnownOperation(std::string_view operation) {
  return std::any_of(std::begin(kOperations), std::end(kOperations),
                     [&](const char* known) { return operation == known; });
}

std::optional<HRESULT> CallJournal::Enter(std::string_view operation, std::u16string target,
                                          std::initializer_list<platform::FormatArg> arguments) {
  if (recording_) {
    HostCall call{std::string(operation), std::move(target), {}};
    for (const platform::FormatArg& argument : arguments) {
      call.arguments.push_back(ArgumentText(argument));
    }
    calls_.push_back(std::move(call));
  }
  std::optional<HRESULT> outcome;
  for (Fault& fault : faults_) {
    if (fault.operation != operation) continue;
    ++fault.seen;
    if (!outcome && (fault.occurrence == 0 || fault.seen == fault.occurrence)) {
      outcome = fault.kind == FaultKind::kFail ? fault.failure : S_OK;
    }
  }
  return outcome;
}

void CallJournal::AddFault(std::string_view faultText, FaultKind kind, HRESULT failure) {
  std::string_view operation = faultText;
  int occurrence = 0;
  if (size_t hash = faultText.find('#'); hash != std::string_view::npos) {
    operation = faultText.substr(0, hash);
    std::string_view count = faultText.substr(hash + 1);
    if (count != "*") {
      auto [end, ec] = std::from_chars(count.data(), count.data() + count.size(), occurrence);
      if (ec != std::errc() || end != count.data() + count.size() || occurrence < 1) {
        throw std::invalid_argument("bad occurrence in fault \"" + std::string(faultText) +
                                    "\" (expected #1, #2, ... or #*)");
      }
    }
  }
  if (!IsKnownOperation(operation)) {
    throw std::invalid_argument("unknown host operation \"" + std::string(operation) + "\"");
  }
  if (kind == FaultKind::kFail && SUCCEEDED(failure)) {
    throw std::invalid_argument("a failing call needs a failing HRESULT");
  }
  faults_.push_back(Fault{std::string(operation), occurrence, kind, failure});
}

}  // namespace sim
