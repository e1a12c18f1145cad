#include "addin/menu_builder.h"

#include <utility>
#include <vector>

#include "addin/host_version.h"
#include "addin/iharbolt.h"
#include "common/kvx_xml.h"
#include "common/log.h"
#include "common/messages.h"
#include "platform/bstr.h"
#include "platform/com_ptr.h"
#include "platform/format.h"

namespace {

using Dovbase::XmlElement;

constexpr OLECHAR kErrorPrefix[] = u"CHarbolt::CreateMenu():";
constexpr LONG kTopGroupId = 1;
constexpr LONG kSubmenuId = -2;
constexpr LONG kSeparatorId = -1;

// The logout command that opens group 1; its callback drops the caller's
// menus and brings the default group back.
constexpr OLECHAR kLogoutCallback[] = u"Disconnect";
constexpr OLECHAR kLogoutEnableMethod[] = u"ToolbarEnable0";
constexpr LONG kLogoutImage = 0;
constexpr LONG kLogoutUserId = 0;

constexpr OLECHAR kCommandEnableMethod[] = u"ToolbarEnableAll";
constexpr LONG kNoImage = -1;

// One entry of the definition in document order. A submenu is followed by
// its own entries and then by kEnd.
struct MenuEntry {
  enum class Kind { kSubmenu, kEnd, kSeparator, kCommand };
  Kind kind;
  LONG id = 0;
  std::u16string caption;
};

// The id of a "mnu" element: the leading decimal integer of its text, as the
// standard string-to-long conversion reads it (no digits, or no attribute,
// give 0).
LONG EntryId(const XmlElement& element) {
  return harbolt::HostMajorVersion(element.attribute(u"id"));
}

// The entries below root in document order. Only "mnu" elements are read;
// anything else is passed over with its content, and so is a "mnu" with an id
// outside the format (below -2). The walk keeps its own stack, so nesting
// costs no call depth.
std::vector<MenuEntry> ReadEntries(const XmlElement& root, LONG& commands) {
  std::vector<MenuEntry> entries;
  std::vector<XmlElement> open;
  commands = 0;
  XmlElement node = root.firstChild();
  for (;;) {
    if (node.isEmpty()) {
      if (open.empty()) break;
      node = open.back().nextSibling();
      open.pop_back();
      entries.push_back({MenuEntry::Kind::kEnd, 0, {}});
      continue;
    }
    if (node.name() != u"mnu") {
      node = node.nextSibling();
      continue;
    }
    LONG id = EntryId(node);
    std::u16string caption = node.attribute(u"caption");
    if (id == kSubmenuId) {
      entries.push_back({MenuEntry::Kind::kSubmenu, id, std::move(caption)});
      open.push_back(node);
      node = node.firstChild();
      continue;
    }
    if (id == kSeparatorId) {
      entries.push_back({MenuEntry::Kind::kSeparator, id, {}});
    } else if (id >= 0) {
      entries.push_back({MenuEntry::Kind::kCommand, id, std::move(caption)});
      ++commands;
    } else {
      Dovbase::WriteLogFormat(u"CHarbolt::CreateMenu(): menu entry \"%s\" with id %d left out",
                              caption, id);
    }
    node = node.nextSibling();
  }
  return entries;
}

// The group that entries are added to, with the place of the next entry and
// the path that titles its submenus.
struct Level {
  ComPtr<IHostCommandGroup> group;
  LONG itemIndex = 0;
  std::u16string path;
};

}  // namespace

HRESULT MenuBuilder::Build(std::u16string_view definition, LONG& errNumber,
                           std::u16string& errDescription) {
  Dovbase::XmlDocument& document = groups_.menuDefinition();
  if (document.parse(definition) != 0) {
    errNumber = document.errorFlag();
    errDescription = document.errorText();
    return E_INVALIDARG;
  }
  XmlElement root = document.selectFirst(u"/mnus");
  if (root.isEmpty()) {
    errNumber = -1;
    errDescription = kErrorPrefix + Dovbase::LoadMessage(Dovbase::IDS_MENU_NODE_MISSING);
    return E_INVALIDARG;
  }
  LONG commands = 0;
  const std::vector<MenuEntry> entries = ReadEntries(root, commands);
  if (commands > kMaxCommands) {
    // The host would be handed callback names that the add-in cannot answer.
    errNumber = -1;
    errDescription =
        kErrorPrefix + platform::FormatWide(platform::kUnlimited,
                                            u"the menu definition holds %d commands; at most %d "
                                            u"fit (ToolbarCallback100 to ToolbarCallback199)",
                                            commands, kMaxCommands);
    return E_INVALIDARG;
  }

  const std::u16string caption = root.attribute(u"caption");
  HRESULT status = E_FAIL;
  Level current{nullptr, 0, caption};
  std::vector<ComPtr<IHostCommandGroup>> created;
  LONG groupCounter = kTopGroupId;
  groups_.setGroupCount(groupCounter);
  if (manager_) {
    ScopedBstr title(caption);
    status = manager_->CreateCommandGroup(kTopGroupId, title.Get(), title.Get(), title.Get(),
                                          kPositionEnd, current.group.ReleaseAndGetAddressOf());
  }
  if (current.group) {
    ScopedBstr logout(Dovbase::LoadMessage(Dovbase::IDS_LOGOUT));
    ScopedBstr callback(kLogoutCallback);
    ScopedBstr enableMethod(kLogoutEnableMethod);
    LONG index = -1;
    status = current.group->AddCommandItem(logout.Get(), kPositionEnd, logout.Get(), logout.Get(),
                                           kLogoutImage, callback.Get(), enableMethod.Get(),
                                           kLogoutUserId, &index);
    created.push_back(current.group);
  }

  std::vector<Level> enclosing;
  LONG commandCounter = 0;
  for (const MenuEntry& entry : entries) {
    switch (entry.kind) {
      case MenuEntry::Kind::kSubmenu: {
        LONG position = current.itemIndex;
        std::u16string path = current.path + u"\\" + entry.caption;
        enclosing.push_back({std::move(current.group), position + 1, std::move(current.path)});
        ++groupCounter;
        groups_.setGroupCount(groupCounter);
        current = Level{nullptr, 0, std::move(path)};
        if (manager_) {
          ScopedBstr title(current.path);
          ScopedBstr tip(entry.caption);
          status = manager_->CreateCommandGroup(groupCounter, title.Get(), tip.Get(), tip.Get(),
                                                position, current.group.ReleaseAndGetAddressOf());
        }
        if (current.group) created.push_back(current.group);
        break;
      }
      case MenuEntry::Kind::kEnd:
        // The enclosing level comes back as it was, path included (a caption
        // may hold "\" itself).
        current = std::move(enclosing.back());
        enclosing.pop_back();
        break;
      case MenuEntry::Kind::kSeparator:
        if (current.group) {
          LONG index = -1;
          current.group->AddSeparator(current.itemIndex, &index);
        }
        ++current.itemIndex;
        break;
      case MenuEntry::Kind::kCommand: {
        LONG number = kFirstToolbarCallback + commandCounter;
        std::u16string name = platform::FormatWide(64, u"%s%3d", u"ToolbarCallback", number);
        groups_.commandMap()[number] = entry.id;
        ++commandCounter;
        if (current.group) {
          ScopedBstr text(entry.caption);
          ScopedBstr callback(name);
          ScopedBstr enableMethod(kCommandEnableMethod);
          LONG index = -1;
          current.group->AddCommandItem(text.Get(), current.itemIndex, text.Get(), text.Get(),
                                        kNoImage, callback.Get(), enableMethod.Get(),
                                        commandCounter, &index);
        }
        ++current.itemIndex;
        break;
      }
    }
  }

  // Recorded after every completed build; callers read it only after a
  // failed call.
  errNumber = -1;
  errDescription = kErrorPrefix + Dovbase::LoadMessage(Dovbase::IDS_MENU_NODE_MISSING);
  for (const ComPtr<IHostCommandGroup>& group : created) {
    group->SetHasToolbar(VARIANT_TRUE);
    VARIANT_BOOL activated = VARIANT_FALSE;
    group->Activate(&activated);
  }
  groups_.setGroupCount(groupCounter);
  return status;
}
