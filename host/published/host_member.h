// A member of one of the host's published interfaces, named as the host
// publishes it: interface "IModelDoc2", member u"GetTitle". The binding
// reaches every member by name: GetIDsOfNames once, then Invoke with the
// DISPID it gave.
//
// Define each member as an object of static storage with a constant
// initialiser (the constructor is constexpr and the destructor trivial, so
// nothing runs when the module loads or unloads):
//
//   constinit HostMember kGetTitle{"IModelDoc2", u"GetTitle"};
//
// The DISPID is kept after the first successful lookup; a failed lookup is
// not kept, so that the next call asks again.
#pragma once

#include <atomic>

#include "platform/unknown.h"

namespace published {

// How a member is invoked: as a method, a property get or a property put.
enum class CallKind : WORD {
  kMethod = DISPATCH_METHOD,
  kGet = DISPATCH_PROPERTYGET,
  kPut = DISPATCH_PROPERTYPUT,
};

// "method", "get" or "put".
const char* CallKindName(CallKind kind);

class HostMember {
 public:
  constexpr HostMember(const char* interfaceName, const char16_t* name)
      : interface_(interfaceName), name_(name) {}
  HostMember(const HostMember&) = delete;
  HostMember& operator=(const HostMember&) = delete;

  const char* interfaceName() const { return interface_; }
  const char16_t* name() const { return name_; }

  // The member's DISPID on object: the kept one, or GetIDsOfNames's answer
  // (then kept). The failure of GetIDsOfNames otherwise.
  HRESULT DispId(IDispatch* object, DISPID* dispid);

 private:
  static constexpr DISPID kUnresolved = 0x7FFFFFFF;

  const char* interface_;
  const char16_t* name_;
  std::atomic<DISPID> dispid_{kUnresolved};
};

}  // namespace published
