// Every interface the simulated host publishes, and the operations a test
// names by text: "IModelDoc2.GetTitle" for a method or a property get,
// "IFeature.put_Description" for a put.
#pragma once

#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "sim/published_interface.h"

namespace sim {

std::span<const PublishedInterface* const> PublishedInterfaces();

struct NamedMember {
  const PublishedInterface* face;
  const PublishedMember* member;
};
// The member an operation names (letter case as published); nothing when
// the text names none.
std::optional<NamedMember> FindOperation(std::string_view operation);

// The names of every member of every interface, in table order.
std::vector<std::string> PublishedOperations();

}  // namespace sim
