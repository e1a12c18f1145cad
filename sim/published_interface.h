// The published face of the simulated host's objects: each object answers
// through IDispatch alone, by the member names and DISPIDs of the host's
// published interface it stands for ("IModelDoc2", "IFeature", ...).
//
// An interface is a table of members: the published name, the kind (method,
// property get, property put; a put shares its property's DISPID), the DISPID
// and the function that calls the C++ member (published_member.h makes the
// entries). A class publishes its table as a static member kPublished and
// names it through PublishedObject.
#pragma once

#include <span>
#include <string>
#include <string_view>

#include "platform/unknown.h"

namespace sim {

class MemberCall;
class PublishedObject;

enum class MemberKind { kMethod, kGet, kPut };

struct PublishedMember {
  const char* name;  // as published, ASCII: "GetTitle"
  MemberKind kind;
  DISPID dispid;
  // The arguments Invoke takes: every published parameter, plus the value
  // of a put.
  UINT arguments;
  // Reads the arguments, runs the member on object and writes its answer.
  HRESULT (*invoke)(PublishedObject& object, MemberCall& call);
};

struct PublishedInterface {
  const char* name;  // "IModelDoc2"
  std::span<const PublishedMember> members;
};

// What every published object tells the machinery that answers for it.
class PublishedObject {
 public:
  virtual const PublishedInterface& Published() const = 0;
  // The object as the journal names it ("Housing.SLDPRT:Boss-Extrude1").
  virtual std::u16string JournalTarget() const = 0;

 protected:
  ~PublishedObject() = default;
};

// The member of that name (ASCII letter case ignored), the get of a
// property; null when none.
const PublishedMember* FindMemberByName(const PublishedInterface& face, std::u16string_view name);
// The member a call with these Invoke flags reaches at dispid: a put for
// DISPATCH_PROPERTYPUT, a get for DISPATCH_PROPERTYGET, a method for
// DISPATCH_METHOD or DISPATCH_PROPERTYGET. Null when none.
const PublishedMember* FindMemberToInvoke(const PublishedInterface& face, DISPID dispid,
                                          WORD flags);

// "IModelDoc2.GetTitle"; "IFeature.put_Description" for a put.
std::string OperationName(const PublishedInterface& face, const PublishedMember& member);

}  // namespace sim
