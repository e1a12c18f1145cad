// MenuBuilder: the caller's menu definition turned into command groups of the
// host. The definition is an XML text:
//
//   <mnus caption="Main">
//     <mnu id="3" caption="Export"/>      a command: its id goes back to the caller
//     <mnu id="-1"/>                      a separator
//     <mnu id="-2" caption="Tools">       a submenu: a group of its own, "Main\Tools"
//       <mnu id="4" caption="Check"/>
//     </mnu>
//   </mnus>
//
// Group 1 holds the logout command (callback "Disconnect") and the top-level
// entries; every submenu becomes the next group (2, 3, ... in document order)
// titled with its path. Command number k of the whole definition (from 0)
// calls back "ToolbarCallback" 100 + k, which the command map ties to the
// entry's id. Elements other than "mnu" are passed over with their content,
// and so are "mnu" elements whose id is below -2 (with a log line).
//
// At most 100 commands fit, as IHarbolt has the callbacks ToolbarCallback100
// to ToolbarCallback199 only: a definition with more is refused as a whole,
// before anything is built.
#pragma once

#include <string>
#include <string_view>

#include "addin/command_groups.h"
#include "host/host_commands.h"
#include "platform/win_types.h"

class MenuBuilder {
 public:
  // The most commands a definition may hold.
  static constexpr LONG kMaxCommands = 100;

  // Builds through manager (may be null: then the state is built and no
  // group is made) into groups, whose menu definition document, command map
  // and group count it fills; both stay the caller's. groups must have been
  // emptied (CommandGroups::RemoveGroups) before.
  MenuBuilder(IHostCommandManager* manager, CommandGroups& groups)
      : manager_(manager), groups_(groups) {}

  // Parses the definition and builds its groups. The results:
  // - E_INVALIDARG when the text is not an XML document (errNumber 1 and
  //   errDescription "Document not parsed successfully. \n", from the
  //   document), when it has no root "mnus" or holds more than kMaxCommands
  //   commands (errNumber -1 and "CHarbolt::CreateMenu():" followed by the
  //   reason); nothing is built.
  // - Otherwise the groups are built and activated, errNumber -1 and
  //   errDescription "CHarbolt::CreateMenu():" + message 5800 are recorded
  //   (as after every completed build), and the result is the host's status
  //   for the logout command, or for the last submenu group when there are
  //   submenus; E_FAIL without a manager.
  // The host's results for the other calls are not examined. The group count
  // follows every group as it is made, so that an exception in the middle
  // (std::bad_alloc, or a host fault turned into Dovbase::Kvx_Exception)
  // leaves groups that RemoveGroups still finds; they are not activated.
  HRESULT Build(std::u16string_view definition, LONG& errNumber, std::u16string& errDescription);

 private:
  IHostCommandManager* manager_;
  CommandGroups& groups_;
};
