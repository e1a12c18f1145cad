#include "sim/published_interface.h"

namespace sim {
namespace {

char16_t AsciiLower(char16_t c) { return c >= u'A' && c <= u'Z' ? c - u'A' + u'a' : c; }

bool SameName(std::u16string_view wanted, const char* published) {
  size_t i = 0;
  for (; i < wanted.size() && published[i]; ++i) {
    if (AsciiLower(wanted[i]) != AsciiLower(static_cast<char16_t>(published[i]))) return false;
  }
  return i == wanted.size() && !published[i];
}

}  // namespace

const PublishedMember* FindMemberByName(const PublishedInterface& face, std::u16string_view name) {
  for (const PublishedMember& member : face.members) {
    if (member.kind != MemberKind::kPut && SameName(name, member.name)) return &member;
  }
  return nullptr;
}

const PublishedMember* FindMemberToInvoke(const PublishedInterface& face, DISPID dispid,
                                          WORD flags) {
  bool put = (flags & DISPATCH_PROPERTYPUT) != 0;
  for (const PublishedMember& member : face.members) {
    if (member.dispid != dispid) continue;
    switch (member.kind) {
      case MemberKind::kPut:
        if (put) return &member;
        break;
      case MemberKind::kGet:
        if (!put && (flags & DISPATCH_PROPERTYGET)) return &member;
        break;
      case MemberKind::kMethod:
        if (!put && (flags & (DISPATCH_METHOD | DISPATCH_PROPERTYGET))) return &member;
        break;
    }
  }
  return nullptr;
}

std::string OperationName(const PublishedInterface& face, const PublishedMember& member) {
  std::string text = face.name;
  text += member.kind == MemberKind::kPut ? ".put_" : ".";
  return text + member.name;
}

}  // namespace sim
