// The host's command manager for one add-in (the add-in's cookie), with the
// command groups (a menu and a toolbar each), the command tabs of the ribbon
// and the boxes on a tab.
//
// The host finds the add-in's methods by name: every command item names a
// callback method and an enable method of the dispatch object that the
// add-in registered with IHostApplication::SetAddinCallbackInfo. On a click
// the host calls the callback (GetIDsOfNames with the name, then Invoke as
// DISPATCH_METHOD without arguments); to decide whether a command is
// available it calls the enable method the same way and reads a VT_I4 result
// (0 disabled, 1 enabled). Name lookup ignores the case of ASCII letters.
#pragma once

#include "platform/safearray.h"
#include "platform/unknown.h"

struct IHostCommandGroup;
struct IHostCommandTab;
struct IHostCommandTabBox;

// Button styles on a command tab box (IHostCommandTabBox::AddCommands).
constexpr LONG kTabButtonTextBelow = 4;      // the text below the icon
constexpr LONG kTabButtonFlyoutText = 0x22;  // a flyout whose text stands beside the icon

// Position argument meaning "at the end".
constexpr LONG kPositionEnd = -1;

struct IHostCommandManager : IDispatch {
  // Creates the command group with the add-in's user id. The title is the
  // group's menu text; position places the menu (-1 at the end). The group
  // belongs to the receiver. Fails (E_INVALIDARG, no group) when a group with
  // that id exists.
  virtual HRESULT STDMETHODCALLTYPE CreateCommandGroup(LONG userId, BSTR title, BSTR tooltip,
                                                       BSTR hint, LONG position,
                                                       IHostCommandGroup** group) = 0;
  // Removes the group with that user id and its menu and toolbar. removed is
  // VARIANT_FALSE when there was no such group (S_OK all the same).
  virtual HRESULT STDMETHODCALLTYPE RemoveCommandGroup(LONG userId, VARIANT_BOOL* removed) = 0;
  // The command tab with that title for documents of the type (1, 2, 3);
  // S_OK with a null tab when there is none.
  virtual HRESULT STDMETHODCALLTYPE GetCommandTab(LONG docType, BSTR title,
                                                  IHostCommandTab** tab) = 0;
  // Adds a command tab with that title for documents of the type. Fails
  // (E_INVALIDARG, no tab) for an unknown type or when the tab exists.
  virtual HRESULT STDMETHODCALLTYPE AddCommandTab(LONG docType, BSTR title,
                                                  IHostCommandTab** tab) = 0;

 protected:
  ~IHostCommandManager() = default;
};
HB_DECLARE_IID(IHostCommandManager, "{322B776D-00A8-438F-A38C-E5EDE2750012}");

struct IHostCommandGroup : IDispatch {
  // Adds a command. position is the place among the group's entries (-1 at
  // the end); imageIndex -1 shows no icon; callback and enableMethod name the
  // methods of the registered callback target; userId is the add-in's own
  // number for the item. index receives the item's index in the group (in
  // the order of the calls, from 0), which GetCommandId takes.
  virtual HRESULT STDMETHODCALLTYPE AddCommandItem(BSTR name, LONG position, BSTR hint,
                                                   BSTR tooltip, LONG imageIndex, BSTR callback,
                                                   BSTR enableMethod, LONG userId, LONG* index) = 0;
  // Adds a separator at position (-1 at the end); index as for a command.
  virtual HRESULT STDMETHODCALLTYPE AddSeparator(LONG position, LONG* index) = 0;
  // The group's display option: whether it shows a toolbar besides its menu.
  // The value is kept as given (any non-zero value means yes).
  virtual HRESULT STDMETHODCALLTYPE SetHasToolbar(VARIANT_BOOL hasToolbar) = 0;
  // Shows the group's menu and toolbar with the items added so far.
  virtual HRESULT STDMETHODCALLTYPE Activate(VARIANT_BOOL* activated) = 0;
  // The host's command id of the item with that index; E_INVALIDARG for an
  // index that names no command item.
  virtual HRESULT STDMETHODCALLTYPE GetCommandId(LONG index, LONG* commandId) = 0;
  // The host's command id of the group's toolbar.
  virtual HRESULT STDMETHODCALLTYPE GetToolbarId(LONG* toolbarId) = 0;

 protected:
  ~IHostCommandGroup() = default;
};
HB_DECLARE_IID(IHostCommandGroup, "{2318B340-B244-4A7F-B62C-67AC4BE9A603}");

struct IHostCommandTab : IDispatch {
  // Appends a new, empty box to the tab; the box belongs to the receiver.
  virtual HRESULT STDMETHODCALLTYPE AddCommandTabBox(IHostCommandTabBox** box) = 0;
  // Puts a separator holding the command id right after the box, which must
  // belong to this tab (E_INVALIDARG otherwise).
  virtual HRESULT STDMETHODCALLTYPE AddSeparator(IHostCommandTabBox* afterBox, LONG commandId,
                                                 VARIANT_BOOL* added) = 0;
  // The tab's option: whether it is brought to the front (kept as given).
  virtual HRESULT STDMETHODCALLTYPE SetActive(VARIANT_BOOL active) = 0;

 protected:
  ~IHostCommandTab() = default;
};
HB_DECLARE_IID(IHostCommandTab, "{C44BF3C3-9D74-467E-9FE8-4AF6AF2CE896}");

struct IHostCommandTabBox : IDispatch {
  // Adds buttons: commandIds and textStyles are VT_I4 vectors of the same
  // length (command or toolbar ids, kTabButton* styles); the arrays stay the
  // sender's. added is VARIANT_FALSE, and nothing is added, for arrays of
  // another type or of different lengths.
  virtual HRESULT STDMETHODCALLTYPE AddCommands(SAFEARRAY* commandIds, SAFEARRAY* textStyles,
                                                VARIANT_BOOL* added) = 0;

 protected:
  ~IHostCommandTabBox() = default;
};
HB_DECLARE_IID(IHostCommandTabBox, "{C700D827-734B-4B71-A042-FC6D8C456466}");
