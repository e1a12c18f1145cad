// CommandGroups: the add-in's command groups in the host and the menu state
// behind them: the menu definition document, the command map (callback
// number to menu item id, ordered by callback number) and the number of
// groups built from the menu definition. Before the caller sends a menu, the
// host shows the default group: one login command.
//
// Host calls made here are not examined: a failing host leaves the groups
// incomplete and the work goes on with what it has.
#pragma once

#include <map>

#include "host/host_commands.h"
#include "common/kvx_xml.h"

class CommandGroups {
 public:
  // The user id of the default group.
  static constexpr LONG kDefaultGroupId = 50;

  // Builds the default group: group 50 titled with message 4000 holding the
  // login command (message 4001; callback "Toolbarcallback0", enable method
  // "ToolbarEnable0"), shown with a toolbar and activated, and for the
  // assembly, drawing and part document types the command tab of the same
  // title (made with its boxes when it was missing). A null manager builds
  // nothing. Throws std::bad_alloc when out of memory.
  void BuildDefaultGroup(IHostCommandManager* manager);

  // Removes the default group and every group built from the menu
  // definition (from the last to the first), then forgets the menu
  // definition, the command map and the group count. A null manager removes
  // nothing but the state is forgotten all the same.
  void RemoveGroups(IHostCommandManager* manager);

  Dovbase::XmlDocument& menuDefinition() { return menuDefinition_; }
  std::map<LONG, LONG>& commandMap() { return commandMap_; }
  LONG groupCount() const { return groupCount_; }
  void setGroupCount(LONG count) { groupCount_ = count; }

 private:
  Dovbase::XmlDocument menuDefinition_;
  std::map<LONG, LONG> commandMap_;
  LONG groupCount_ = 0;
};
