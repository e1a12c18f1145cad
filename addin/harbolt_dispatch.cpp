// The IDispatch table of IHarbolt: every member with its DISPID, in the
// order of the interface's table.
#include <iterator>

#include "addin/harbolt.h"

namespace {

using harbolt::DispatchMethod;
using harbolt::DispatchMethodInRef;
using harbolt::DispatchPropertyGet;

#define HB_TOOLBAR_CALLBACK_ENTRY(n) DispatchMethod<&IHarbolt::ToolbarCallback##n>(n),

constexpr harbolt::DispatchEntry<IHarbolt> kDispatchTable[] = {
    DispatchMethod<&IHarbolt::ToolbarEnableAll>(4),
    DispatchMethod<&IHarbolt::ToolbarEnablePart>(5),
    DispatchMethod<&IHarbolt::ToolbarEnableAsm>(6),
    DispatchMethod<&IHarbolt::ToolbarEnableDwg>(7),
    DispatchMethod<&IHarbolt::ToolbarEnablePartAsm>(8),
    DispatchMethod<&IHarbolt::CreateMenu>(21),
    DispatchMethod<&IHarbolt::SetParamValue>(22),
    DispatchMethod<&IHarbolt::GetParamValue>(23),
    DispatchMethod<&IHarbolt::RefreshTable>(24),
    DispatchMethod<&IHarbolt::SetDD>(25),
    DispatchMethod<&IHarbolt::SetCaller>(26),
    DispatchMethod<&IHarbolt::Disconnect>(27),
    DispatchMethod<&IHarbolt::UpdateTable>(28),
    DispatchMethod<&IHarbolt::GetHWND>(29),
    DispatchMethod<&IHarbolt::SetEventSrc>(30),
    DispatchMethod<&IHarbolt::SetCaxHandle>(31),
    DispatchPropertyGet<&IHarbolt::get_errNumber>(32),
    DispatchPropertyGet<&IHarbolt::get_errDescription>(33),
    DispatchMethod<&IHarbolt::SetWorkDir>(34),
    DispatchMethodInRef<&IHarbolt::OpenFile>(35),
    DispatchMethod<&IHarbolt::SaveFile>(36),
    DispatchPropertyGet<&IHarbolt::get_ConnIsValid>(37),
    DispatchMethod<&IHarbolt::GetDependencies>(38),
    // clang-format off
    HB_TOOLBAR_CALLBACKS(HB_TOOLBAR_CALLBACK_ENTRY)
    // clang-format on
    DispatchMethod<&IHarbolt::ToolbarEnable0>(51),
    DispatchMethod<&IHarbolt::ToolbarCallback0>(50),
};

#undef HB_TOOLBAR_CALLBACK_ENTRY

static_assert(std::size(kDispatchTable) == 125, "IHarbolt has 125 members");

}  // namespace

std::span<const harbolt::DispatchEntry<IHarbolt>> CHarbolt::DispatchTable() const {
  return kDispatchTable;
}
