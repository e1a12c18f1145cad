// IHostCommandManager, IHostCommandGroup, IHostCommandTab and
// IHostCommandTabBox over ICommandManager, ICommandGroup, ICommandTab and
// ICommandTabBox.
#include <set>

#include "host/published/bound_object.h"
#include "host/published/bound_objects.h"
#include "host/published/published_ids.h"
#include "host/published/wrapper_calls.h"
#include "platform/format.h"

namespace published {
namespace {

constinit HostMember kCreateCommandGroup2{"ICommandManager", u"CreateCommandGroup2"};
constinit HostMember kRemoveCommandGroup2{"ICommandManager", u"RemoveCommandGroup2"};
constinit HostMember kGetCommandTab{"ICommandManager", u"GetCommandTab"};
constinit HostMember kAddCommandTab{"ICommandManager", u"AddCommandTab"};

constinit HostMember kAddCommandItem2{"ICommandGroup", u"AddCommandItem2"};
constinit HostMember kAddSpacer2{"ICommandGroup", u"AddSpacer2"};
constinit HostMember kHasToolbar{"ICommandGroup", u"HasToolbar"};
constinit HostMember kActivate{"ICommandGroup", u"Activate"};
constinit HostMember kCommandId{"ICommandGroup", u"CommandID"};
constinit HostMember kToolbarId{"ICommandGroup", u"ToolbarId"};

constinit HostMember kAddCommandTabBox{"ICommandTab", u"AddCommandTabBox"};
constinit HostMember kAddSeparator{"ICommandTab", u"AddSeparator"};
constinit HostMember kActive{"ICommandTab", u"Active"};

constinit HostMember kAddCommands{"ICommandTabBox", u"AddCommands"};

// Commands and spacers show in the menu and on the toolbar alike.
constexpr LONG kMenuAndToolbar = swMenuItem | swToolbarItem;

bool IsDocumentType(LONG type) {
  return type == swDocPART || type == swDocASSEMBLY || type == swDocDRAWING;
}

class BoundCommandManager final : public BoundObject<BoundCommandManager, IHostCommandManager> {
 public:
  BoundCommandManager(ComPtr<IDispatch> object, IUnknown* identity)
      : BoundObject(std::move(object), identity) {}

  // A group is made afresh, whatever the host remembers of an earlier
  // version of it.
  HRESULT STDMETHODCALLTYPE CreateCommandGroup(LONG userId, BSTR title, BSTR tooltip, BSTR hint,
                                               LONG position, IHostCommandGroup** group) override {
    if (!group) return E_POINTER;
    *group = nullptr;
    LONG errors = swCreateCommandGroup_Success;
    ComPtr<IDispatch> created;
    HRESULT hr = host_.Method(
        kCreateCommandGroup2, &created,
        {HostArg::Long(userId), HostArg::Text(title), HostArg::Text(tooltip), HostArg::Text(hint),
         HostArg::Long(position), HostArg::Bool(true), HostArg::OutLong(&errors)});
    if (FAILED(hr)) return hr;
    if (created) return WrapCommandGroup(std::move(created), group);
    return Refuse(
        kCreateCommandGroup2, E_INVALIDARG,
        platform::FormatWide(platform::kUnlimited, u"the host made no group (errors %d)", errors));
  }

  // Removed for good, not only for this session: the add-in builds its
  // groups anew every time.
  HRESULT STDMETHODCALLTYPE RemoveCommandGroup(LONG userId, VARIANT_BOOL* removed) override {
    LONG result = swRemoveCommandGroup_Failed;
    HRESULT hr =
        host_.Method(kRemoveCommandGroup2, &result, {HostArg::Long(userId), HostArg::Bool(false)});
    if (removed) {
      *removed = result == swRemoveCommandGroup_Success ? VARIANT_TRUE : VARIANT_FALSE;
    }
    return hr;
  }

  HRESULT STDMETHODCALLTYPE GetCommandTab(LONG docType, BSTR title,
                                          IHostCommandTab** tab) override {
    return MethodWrapped(host_, kGetCommandTab, &WrapCommandTab, tab,
                         {HostArg::Long(docType), HostArg::Text(title)});
  }

  // The host adds a second tab of the same name; the add-in's view refuses
  // it, as it refuses an unknown document type.
  HRESULT STDMETHODCALLTYPE AddCommandTab(LONG docType, BSTR title,
                                          IHostCommandTab** tab) override {
    if (!tab) return E_POINTER;
    *tab = nullptr;
    if (!IsDocumentType(docType)) {
      return Refuse(kAddCommandTab, E_INVALIDARG, u"tabs are for document types 1, 2 and 3");
    }
    ComPtr<IHostCommandTab> existing;
    HRESULT hr = GetCommandTab(docType, title, existing.ReleaseAndGetAddressOf());
    if (FAILED(hr)) return hr;
    if (existing) return Refuse(kAddCommandTab, E_INVALIDARG, u"the tab exists");
    hr = MethodWrapped(host_, kAddCommandTab, &WrapCommandTab, tab,
                       {HostArg::Long(docType), HostArg::Text(title)});
    if (FAILED(hr) || *tab) return hr;
    return Refuse(kAddCommandTab, E_FAIL, u"the host made no tab");
  }
};

class BoundCommandGroup final : public BoundObject<BoundCommandGroup, IHostCommandGroup> {
 public:
  BoundCommandGroup(ComPtr<IDispatch> object, IUnknown* identity)
      : BoundObject(std::move(object), identity) {}

  HRESULT STDMETHODCALLTYPE AddCommandItem(BSTR name, LONG position, BSTR hint, BSTR tooltip,
                                           LONG imageIndex, BSTR callback, BSTR enableMethod,
                                           LONG userId, LONG* index) override {
    if (!index) return E_POINTER;
    HRESULT hr = host_.Method(
        kAddCommandItem2, index,
        {HostArg::Text(name), HostArg::Long(position), HostArg::Text(hint), HostArg::Text(tooltip),
         HostArg::Long(imageIndex), HostArg::Text(callback), HostArg::Text(enableMethod),
         HostArg::Long(userId), HostArg::Long(kMenuAndToolbar)});
    if (SUCCEEDED(hr)) items_.insert(*index);
    return hr;
  }

  HRESULT STDMETHODCALLTYPE AddSeparator(LONG position, LONG* index) override {
    return host_.Method(kAddSpacer2, index,
                        {HostArg::Long(position), HostArg::Long(kMenuAndToolbar)});
  }

  HRESULT STDMETHODCALLTYPE SetHasToolbar(VARIANT_BOOL hasToolbar) override {
    return host_.Put(kHasToolbar, {HostArg::Bool(hasToolbar != VARIANT_FALSE)});
  }

  HRESULT STDMETHODCALLTYPE Activate(VARIANT_BOOL* activated) override {
    VARIANT_BOOL done = VARIANT_FALSE;
    HRESULT hr = host_.Method(kActivate, &done);
    if (activated) *activated = done;
    return hr;
  }

  // Only the indexes of command items have command ids; the host's answer
  // for any other is not settled by its reference.
  HRESULT STDMETHODCALLTYPE GetCommandId(LONG index, LONG* commandId) override {
    if (!commandId) return E_POINTER;
    *commandId = 0;
    if (!items_.count(index)) {
      return Refuse(kCommandId, E_INVALIDARG, u"the index names no command item");
    }
    return host_.Get(kCommandId, commandId, {HostArg::Long(index)});
  }

  HRESULT STDMETHODCALLTYPE GetToolbarId(LONG* toolbarId) override {
    return host_.Get(kToolbarId, toolbarId);
  }

 private:
  // The indexes the host gave the command items added through this wrapper.
  std::set<LONG> items_;
};

class BoundCommandTab final : public BoundObject<BoundCommandTab, IHostCommandTab> {
 public:
  BoundCommandTab(ComPtr<IDispatch> object, IUnknown* identity)
      : BoundObject(std::move(object), identity) {}

  HRESULT STDMETHODCALLTYPE AddCommandTabBox(IHostCommandTabBox** box) override {
    return MethodWrapped(host_, kAddCommandTabBox, &WrapCommandTabBox, box);
  }

  // The host puts the separator at the command's button in the box and
  // answers the box that starts there; added tells whether it did.
  HRESULT STDMETHODCALLTYPE AddSeparator(IHostCommandTabBox* afterBox, LONG commandId,
                                         VARIANT_BOOL* added) override {
    if (added) *added = VARIANT_FALSE;
    ComPtr<IDispatch> box = Unwrap(afterBox);
    if (!box) return Refuse(kAddSeparator, E_INVALIDARG, u"no box");
    ComPtr<IDispatch> split;
    HRESULT hr =
        host_.Method(kAddSeparator, &split, {HostArg::Object(box.Get()), HostArg::Long(commandId)});
    if (added && split) *added = VARIANT_TRUE;
    return hr;
  }

  HRESULT STDMETHODCALLTYPE SetActive(VARIANT_BOOL active) override {
    return host_.Put(kActive, {HostArg::Bool(active != VARIANT_FALSE)});
  }
};

// Whether an array is a vector of 32-bit integers; its length when it is.
bool LongVectorLength(SAFEARRAY* array, LONG* length) {
  VARTYPE type = VT_EMPTY;
  LONG lower = 0;
  LONG upper = -1;
  if (!array || FAILED(SafeArrayGetVartype(array, &type)) || type != VT_I4 ||
      SafeArrayGetDim(array) != 1 || FAILED(SafeArrayGetLBound(array, 1, &lower)) ||
      FAILED(SafeArrayGetUBound(array, 1, &upper))) {
    return false;
  }
  *length = upper - lower + 1;
  return true;
}

class BoundCommandTabBox final : public BoundObject<BoundCommandTabBox, IHostCommandTabBox> {
 public:
  BoundCommandTabBox(ComPtr<IDispatch> object, IUnknown* identity)
      : BoundObject(std::move(object), identity) {}

  // Arrays the host could not pair are not sent.
  HRESULT STDMETHODCALLTYPE AddCommands(SAFEARRAY* commandIds, SAFEARRAY* textStyles,
                                        VARIANT_BOOL* added) override {
    if (added) *added = VARIANT_FALSE;
    LONG ids = 0;
    LONG styles = 0;
    if (!LongVectorLength(commandIds, &ids) || !LongVectorLength(textStyles, &styles) ||
        ids != styles) {
      return S_OK;
    }
    VARIANT idArgument{};
    idArgument.vt = VT_ARRAY | VT_I4;
    idArgument.parray = commandIds;
    VARIANT styleArgument{};
    styleArgument.vt = VT_ARRAY | VT_I4;
    styleArgument.parray = textStyles;
    VARIANT_BOOL done = VARIANT_FALSE;
    HRESULT hr = host_.Method(kAddCommands, &done,
                              {HostArg::Value(idArgument), HostArg::Value(styleArgument)});
    if (added) *added = done;
    return hr;
  }
};

}  // namespace

HRESULT WrapCommandManager(ComPtr<IDispatch> object, IHostCommandManager** out) {
  return BoundCommandManager::Wrap(std::move(object), out);
}

HRESULT WrapCommandGroup(ComPtr<IDispatch> object, IHostCommandGroup** out) {
  return BoundCommandGroup::Wrap(std::move(object), out);
}

HRESULT WrapCommandTab(ComPtr<IDispatch> object, IHostCommandTab** out) {
  return BoundCommandTab::Wrap(std::move(object), out);
}

HRESULT WrapCommandTabBox(ComPtr<IDispatch> object, IHostCommandTabBox** out) {
  return BoundCommandTabBox::Wrap(std::move(object), out);
}

}  // namespace published
