#include "addin/command_groups.h"

#include <initializer_list>

#include "addin/bitmap_handler.h"
#include "host/host_ids.h"
#include "common/messages.h"
#include "platform/bstr.h"
#include "platform/com_ptr.h"
#include "platform/safearray.h"

namespace {

// The login command names these methods of the add-in; the host's name
// lookup ignores case, so the lower-case c reaches ToolbarCallback0.
constexpr OLECHAR kLoginCallback[] = u"Toolbarcallback0";
constexpr OLECHAR kLoginEnableMethod[] = u"ToolbarEnable0";
constexpr LONG kNoImage = -1;
constexpr LONG kLoginUserId = 0;
// The group's display option as the default group sets it.
constexpr VARIANT_BOOL kShowToolbar = 1;
// The document types that get the default tab, in this order.
constexpr LONG kTabDocumentTypes[] = {kDocTypeAssembly, kDocTypeDrawing, kDocTypePart};

// A VT_I4 vector with the values.
ScopedSafeArray LongVector(std::initializer_list<LONG> values) {
  ScopedSafeArray array(SafeArrayCreateVector(VT_I4, 0, static_cast<ULONG>(values.size())));
  LONG index = 0;
  for (LONG value : values) {
    if (!array.Get()) break;
    SafeArrayPutElement(array.Get(), &index, &value);
    ++index;
  }
  return array;
}

// Appends a box to the tab holding the buttons; null when the host made none.
ComPtr<IHostCommandTabBox> AddBox(IHostCommandTab* tab, std::initializer_list<LONG> ids,
                                  std::initializer_list<LONG> styles) {
  ComPtr<IHostCommandTabBox> box;
  tab->AddCommandTabBox(box.ReleaseAndGetAddressOf());
  if (box) {
    ScopedSafeArray idArray = LongVector(ids);
    ScopedSafeArray styleArray = LongVector(styles);
    VARIANT_BOOL added = VARIANT_FALSE;
    box->AddCommands(idArray.Get(), styleArray.Get(), &added);
  }
  return box;
}

}  // namespace

void CommandGroups::BuildDefaultGroup(IHostCommandManager* manager) {
  if (!manager) return;
  ComPtr<IBitmapHandler> bitmaps = MakeComObject<CBitmapHandler, IBitmapHandler>();
  ScopedBstr title(Dovbase::LoadMessage(Dovbase::IDS_ADDIN_TITLE));
  ScopedBstr tooltip(Dovbase::LoadMessage(Dovbase::IDS_ADDIN_TITLE));
  ScopedBstr login(Dovbase::LoadMessage(Dovbase::IDS_LOGIN));
  ScopedBstr loginTip(Dovbase::LoadMessage(Dovbase::IDS_LOGIN));

  ComPtr<IHostCommandGroup> group;
  manager->CreateCommandGroup(kDefaultGroupId, title.Get(), tooltip.Get(), title.Get(),
                              kPositionEnd, group.ReleaseAndGetAddressOf());
  LONG loginIndex = -1;
  if (group) {
    ScopedBstr callback(kLoginCallback);
    ScopedBstr enableMethod(kLoginEnableMethod);
    group->AddCommandItem(login.Get(), kPositionEnd, loginTip.Get(), loginTip.Get(), kNoImage,
                          callback.Get(), enableMethod.Get(), kLoginUserId, &loginIndex);
    group->SetHasToolbar(kShowToolbar);
    VARIANT_BOOL activated = VARIANT_FALSE;
    group->Activate(&activated);
  }

  for (LONG documentType : kTabDocumentTypes) {
    ComPtr<IHostCommandTab> tab;
    manager->GetCommandTab(documentType, title.Get(), tab.ReleaseAndGetAddressOf());
    if (!tab) {
      manager->AddCommandTab(documentType, title.Get(), tab.ReleaseAndGetAddressOf());
      if (tab) {
        LONG commandId = 0;
        LONG toolbarId = 0;
        if (group) {
          group->GetCommandId(loginIndex, &commandId);
          group->GetToolbarId(&toolbarId);
        }
        AddBox(tab.Get(), {commandId, commandId, toolbarId},
               {kTabButtonTextBelow, kTabButtonTextBelow, kTabButtonTextBelow});
        ComPtr<IHostCommandTabBox> flyoutBox =
            AddBox(tab.Get(), {toolbarId}, {kTabButtonFlyoutText});
        VARIANT_BOOL added = VARIANT_FALSE;
        if (flyoutBox) tab->AddSeparator(flyoutBox.Get(), toolbarId, &added);
      }
    }
    if (tab) tab->SetActive(VARIANT_FALSE);
  }
  bitmaps->Dispose();
}

void CommandGroups::RemoveGroups(IHostCommandManager* manager) {
  if (manager) {
    VARIANT_BOOL removed = VARIANT_FALSE;
    manager->RemoveCommandGroup(kDefaultGroupId, &removed);
    for (LONG id = groupCount_; id >= 1; --id) manager->RemoveCommandGroup(id, &removed);
  }
  commandMap_.clear();
  menuDefinition_.free();
  groupCount_ = 0;
}
