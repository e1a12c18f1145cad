#include "sim/sim_property_manager.h"

#include "host/published/published_ids.h"
#include "sim/member_failure.h"
#include "sim/property_rules.h"
#include "sim/published_member.h"

namespace sim {
namespace {

constexpr PublishedMember kMembers[] = {
    PublishGet<&SimPropertyManager::Count>("Count", 1),
    PublishMethod<&SimPropertyManager::GetAll>("GetAll", 2),
    PublishMethod<&SimPropertyManager::Add2>("Add2", 3),
    PublishMethod<&SimPropertyManager::Set2>("Set2", 4),
    PublishMethod<&SimPropertyManager::GetNames>("GetNames", 5),
    PublishMethod<&SimPropertyManager::Get6>("Get6", 6),
    PublishMethod<&SimPropertyManager::GetType2>("GetType2", 7),
};

}  // namespace

constinit const PublishedInterface SimPropertyManager::kPublished{"ICustomPropertyManager",
                                                                  kMembers};

SimPropertyManager::SimPropertyManager(std::shared_ptr<HostState> host,
                                       std::shared_ptr<DocumentState> document,
                                       std::u16string configuration)
    : SimDispatchObject(std::move(host)),
      document_(std::move(document)),
      configuration_(std::move(configuration)) {}

std::vector<PropertyModel>& SimPropertyManager::List() const {
  if (configuration_.empty()) return document_->model.properties;
  ConfigurationModel* configuration = FindConfiguration(document_->model, configuration_);
  if (!configuration) {
    throw MemberFailure(E_FAIL,
                        u"the document has no configuration \"" + configuration_ + u"\" any more");
  }
  return configuration->properties;
}

const PropertyModel* SimPropertyManager::Find(std::u16string_view name) const {
  return document_->listIndexes.Find(List(), name);
}

LONG SimPropertyManager::Count() { return static_cast<LONG>(List().size()); }

LONG SimPropertyManager::GetAll(std::vector<std::u16string>* names, std::vector<LONG>* types,
                                std::vector<std::u16string>* values) {
  for (const PropertyModel& property : List()) {
    names->push_back(property.name);
    types->push_back(property.type);
    values->push_back(property.value);
  }
  return static_cast<LONG>(names->size());
}

LONG SimPropertyManager::Add2(std::u16string_view name, LONG type, std::u16string_view value) {
  LONG outcome = AddProperty(document_->listIndexes, List(), name, type, value);
  if (outcome == kAddPropertyAdded) document_->changed = true;
  return outcome;
}

LONG SimPropertyManager::Set2(std::u16string_view name, std::u16string_view value) {
  LONG outcome = SetProperty(document_->listIndexes, List(), name, value);
  if (outcome == kSetPropertyDone) document_->changed = true;
  return outcome;
}

std::vector<std::u16string> SimPropertyManager::GetNames() {
  std::vector<std::u16string> names;
  for (const PropertyModel& property : List()) names.push_back(property.name);
  return names;
}

// Values are stored as they read: nothing is resolved, and the cache
// changes nothing.
LONG SimPropertyManager::Get6(std::u16string_view name, bool, std::u16string* value,
                              std::u16string* resolvedValue, bool*, bool*) {
  const PropertyModel* property = Find(name);
  if (!property) return published::swCustomInfoGetResult_NotPresent;
  *value = property->value;
  *resolvedValue = property->value;
  return published::swCustomInfoGetResult_CachedValue;
}

LONG SimPropertyManager::GetType2(std::u16string_view name) {
  const PropertyModel* property = Find(name);
  return property ? property->type : kPropertyTypeUnknown;
}

}  // namespace sim
