// The host's published identities: the interface ids measured on the host's
// type information, its event dispinterfaces and their DISPIDs, and the
// values of the published enumerations that pass between the host and the
// add-in. Both sides of the host boundary read them: the binding that the
// add-in calls the host through, and the simulated host that answers as the
// real one does.
#pragma once

#include "platform/guid.h"
#include "platform/win_types.h"

namespace published {

// Interfaces of the host's objects that are asked for by their ids. Every
// other object is reached late-bound through IDispatch alone.
inline constexpr IID kIidSldWorks = platform::GuidLiteral("{83A33D22-27C5-11CE-BFD4-00400513BB57}");
inline constexpr IID kIidModelDoc2 =
    platform::GuidLiteral("{B90793FB-EF3D-4B80-A5C4-99959CDB6CEB}");

// The event dispinterfaces: the application's, and one per document kind.
inline constexpr IID kIidSldWorksEvents =
    platform::GuidLiteral("{83A33D22-37C5-11CE-BFD4-00400513BB57}");
inline constexpr IID kIidPartDocEvents =
    platform::GuidLiteral("{83A33D32-37C5-11CE-BFD4-00400513BB57}");
inline constexpr IID kIidAssemblyDocEvents =
    platform::GuidLiteral("{83A33D35-37C5-11CE-BFD4-00400513BB57}");
inline constexpr IID kIidDrawingDocEvents =
    platform::GuidLiteral("{83A33D34-37C5-11CE-BFD4-00400513BB57}");

// DSldWorksEvents, with their arguments in call order.
namespace app_event {
constexpr DISPID kDestroyNotify = 3;               // ()
constexpr DISPID kActiveDocChangeNotify = 4;       // ()
constexpr DISPID kActiveModelDocChangeNotify = 5;  // ()
constexpr DISPID kFileNewNotify2 = 12;             // (NewDoc: object, DocType: long, TemplateName)
constexpr DISPID kFileOpenNotify2 = 13;            // (FileName: BSTR)
constexpr DISPID kFileOpenPostNotify = 22;         // (FileName: BSTR)
constexpr DISPID kCommandCloseNotify = 29;         // (Command: long, reason: long)
constexpr DISPID kFileCloseNotify = 32;            // (FileName: BSTR, reason: long)
}  // namespace app_event

// Events of DPartDocEvents, DAssemblyDocEvents and DDrawingDocEvents (the
// numbers the reference's notification enumerations give).
namespace doc_event {
constexpr DISPID kDestroyNotify = 2;       // ()
constexpr DISPID kNewSelectionNotify = 5;  // ()
constexpr DISPID kFileSaveNotify = 6;      // (FileName: BSTR)
// Assembly documents only.
constexpr DISPID kComponentStateChangeNotify = 22;   // (componentModel, oldState: short, newState)
constexpr DISPID kComponentStateChangeNotify2 = 25;  // (component, CompName, oldState, newState)
constexpr DISPID kComponentVisualPropertiesChangeNotify = 46;  // (Component)
constexpr DISPID kComponentDisplayStateChangeNotify = 47;      // (Component)
}  // namespace doc_event

// swDocumentTypes_e.
constexpr LONG swDocNONE = 0;
constexpr LONG swDocPART = 1;
constexpr LONG swDocASSEMBLY = 2;
constexpr LONG swDocDRAWING = 3;

// swOpenDocOptions_e, swFileLoadError_e and swFileLoadWarning_e (bits).
constexpr LONG swOpenDocOptions_Silent = 1;
constexpr LONG swGenericError = 1;
constexpr LONG swFileNotFoundError = 2;
constexpr LONG swInvalidFileTypeError = 1024;
constexpr LONG swFileWithSameTitleAlreadyOpen = 65536;
constexpr LONG swFileLoadWarning_AlreadyOpen = 128;

// swRebuildOnActivation_e and swActivateDocError_e.
constexpr LONG swDontRebuildActiveDoc = 1;
constexpr LONG swGenericActivateError = 1;

// swSaveAsOptions_e and swFileSaveError_e.
constexpr LONG swSaveAsOptions_Silent = 1;
constexpr LONG swSaveAsOptions_SaveReferenced = 4;
constexpr LONG swGenericSaveError = 1;

// swInConfigurationOpts_e and swSetValueInConfiguration_e: this
// configuration only.
constexpr LONG swThisConfiguration = 1;
constexpr LONG swSetValue_InThisConfiguration = 1;

// swSetValueReturnStatus_e.
constexpr LONG swSetValue_Successful = 0;
constexpr LONG swSetValue_Failure = 1;
constexpr LONG swSetValue_InvalidValue = 2;
constexpr LONG swSetValue_DrivenDimension = 3;

// swDimensionToleranceWarning_e.
constexpr LONG swDimensionToleranceValid = 0;
constexpr LONG swDimensionToleranceNotValid = 1;

// swCustomInfoGetResult_e.
constexpr LONG swCustomInfoGetResult_CachedValue = 0;
constexpr LONG swCustomInfoGetResult_NotPresent = 1;
constexpr LONG swCustomInfoGetResult_ResolvedValue = 2;

// swCustomInfoType_e.
constexpr LONG swCustomInfoUnknown = 0;
constexpr LONG swCustomInfoNumber = 3;
constexpr LONG swCustomInfoDouble = 5;
constexpr LONG swCustomInfoYesOrNo = 11;
constexpr LONG swCustomInfoText = 30;
constexpr LONG swCustomInfoDate = 64;
constexpr LONG swCustomInfoEquation = 105;

// swConstrainedStatus_e.
constexpr LONG swUnknownConstraint = 1;
constexpr LONG swUnderConstrained = 2;
constexpr LONG swFullyConstrained = 3;
constexpr LONG swOverConstrained = 4;
constexpr LONG swNoSolution = 5;
constexpr LONG swInvalidSolution = 6;
constexpr LONG swAutosolveOff = 7;

// swDimensionParamType_e.
constexpr LONG swDimensionParamTypeUnknown = -1;
constexpr LONG swDimensionParamTypeDoubleLinear = 0;
constexpr LONG swDimensionParamTypeDoubleAngular = 1;
constexpr LONG swDimensionParamTypeInteger = 2;

// swComponentVisibilityState_e and swVisibilityState_e (features).
constexpr LONG swComponentVisibilityUnknown = -1;
constexpr LONG swComponentHidden = 0;
constexpr LONG swComponentVisible = 1;
constexpr LONG swVisibilityStateHide = 1;
constexpr LONG swVisibilityStateShown = 2;
constexpr LONG swVisibilityStateUnknown = 3;

// swComponentSuppressionState_e.
constexpr LONG swComponentSuppressed = 0;
constexpr LONG swComponentLightweight = 1;
constexpr LONG swComponentFullyResolved = 2;
constexpr LONG swComponentResolved = 3;
constexpr LONG swComponentFullyLightweight = 4;

// swUIStates_e: the one published kind.
constexpr LONG swIsHiddenInFeatureMgr = 1;

// swSelectType_e: a selected component, a selected feature.
constexpr LONG swSelCOMPONENTS = 20;
constexpr LONG swSelBODYFEATURES = 22;

// swCommandItemType_e.
constexpr LONG swMenuItem = 1;
constexpr LONG swToolbarItem = 2;

// swCreateCommandGroupErrors and swRemoveCommandGroupErrors.
constexpr LONG swCreateCommandGroup_Failed = 0;
constexpr LONG swCreateCommandGroup_Success = 1;
constexpr LONG swRemoveCommandGroup_Failed = 0;
constexpr LONG swRemoveCommandGroup_Success = 1;

}  // namespace published
