// The entries of a published interface's member table, made from the C++
// methods that implement the members. The conversion between Invoke's
// arguments and the method's parameters and answer is deduced from the
// method's signature (member_arguments.h for the parameters; the answer is
// written by WriteValue: void answers VT_EMPTY):
//
//   constexpr PublishedMember kMembers[] = {
//       PublishMethod<&SimDocument::GetTitle>("GetTitle", 65607),
//       PublishGet<&SimFeature::Description>("Description", 13),
//       PublishPut<&SimFeature::put_Description>("Description", 13),
//   };
//
// A get takes the property's index arguments, if any; a put takes them and
// then the value.
#pragma once

#include <tuple>
#include <type_traits>
#include <utility>

#include "sim/member_arguments.h"
#include "sim/member_call.h"
#include "sim/published_interface.h"

namespace sim {
namespace member_detail {

template <typename Method>
struct Signature;

template <typename C, typename R, typename... P>
struct Signature<R (C::*)(P...)> {
  using Class = C;
  using Result = R;
  using Arguments = std::tuple<Argument<P>...>;
  static constexpr UINT kCount = sizeof...(P);
};

template <auto Method, size_t... I>
HRESULT Run(PublishedObject& object, MemberCall& call, std::index_sequence<I...>) {
  using S = Signature<decltype(Method)>;
  auto& self = static_cast<typename S::Class&>(object);
  [[maybe_unused]] typename S::Arguments arguments;
  HRESULT hr = S_OK;
  ((hr = FAILED(hr) ? hr : call.Read(I, std::get<I>(arguments))), ...);
  if (FAILED(hr)) return hr;
  if (auto outcome = call.Enter(
          [&] { return std::vector<std::u16string>{std::get<I>(arguments).Describe()...}; })) {
    return *outcome;
  }
  if constexpr (std::is_void_v<typename S::Result>) {
    (self.*Method)(std::get<I>(arguments).Value()...);
  } else {
    call.Answer((self.*Method)(std::get<I>(arguments).Value()...));
  }
  (std::get<I>(arguments).WriteBack(call.style()), ...);
  return S_OK;
}

template <auto Method>
HRESULT Invoke(PublishedObject& object, MemberCall& call) {
  return Run<Method>(object, call, std::make_index_sequence<Signature<decltype(Method)>::kCount>{});
}

template <auto Method>
constexpr PublishedMember Entry(const char* name, MemberKind kind, DISPID dispid) {
  return PublishedMember{name, kind, dispid, Signature<decltype(Method)>::kCount, &Invoke<Method>};
}

}  // namespace member_detail

template <auto Method>
constexpr PublishedMember PublishMethod(const char* name, DISPID dispid) {
  return member_detail::Entry<Method>(name, MemberKind::kMethod, dispid);
}
template <auto Method>
constexpr PublishedMember PublishGet(const char* name, DISPID dispid) {
  return member_detail::Entry<Method>(name, MemberKind::kGet, dispid);
}
template <auto Method>
constexpr PublishedMember PublishPut(const char* name, DISPID dispid) {
  return member_detail::Entry<Method>(name, MemberKind::kPut, dispid);
}

}  // namespace sim
