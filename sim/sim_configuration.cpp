#include "sim/sim_configuration.h"

#include "sim/member_failure.h"
#include "sim/published_member.h"
#include "sim/sim_component.h"
#include "sim/sim_property_manager.h"

namespace sim {
namespace {

constexpr PublishedMember kMembers[] = {
    PublishGet<&SimConfiguration::Name>("Name", 1),
    PublishMethod<&SimConfiguration::GetParent>("GetParent", 2),
    PublishGet<&SimConfiguration::AlternateName>("AlternateName", 3),
    PublishPut<&SimConfiguration::put_AlternateName>("AlternateName", 3),
    PublishGet<&SimConfiguration::Type>("Type", 4),
    PublishGet<&SimConfiguration::BOMPartNoSource>("BOMPartNoSource", 5),
    PublishPut<&SimConfiguration::put_BOMPartNoSource>("BOMPartNoSource", 5),
    PublishGet<&SimConfiguration::Comment>("Comment", 6),
    PublishPut<&SimConfiguration::put_Comment>("Comment", 6),
    PublishGet<&SimConfiguration::Description>("Description", 7),
    PublishPut<&SimConfiguration::put_Description>("Description", 7),
    PublishGet<&SimConfiguration::Lock>("Lock", 8),
    PublishPut<&SimConfiguration::put_Lock>("Lock", 8),
    PublishGet<&SimConfiguration::UseAlternateNameInBOM>("UseAlternateNameInBOM", 9),
    PublishPut<&SimConfiguration::put_UseAlternateNameInBOM>("UseAlternateNameInBOM", 9),
    PublishMethod<&SimConfiguration::GetRootComponent3>("GetRootComponent3", 10),
    PublishGet<&SimConfiguration::CustomPropertyManager>("CustomPropertyManager", 11),
};

bool IsBomPartNumberSource(LONG source) {
  return source == kBomPartNumberDocumentName || source == kBomPartNumberConfigurationName ||
         source == kBomPartNumberParentName || source == kBomPartNumberUserSpecified;
}

}  // namespace

constinit const PublishedInterface SimConfiguration::kPublished{"IConfiguration", kMembers};

SimConfiguration::SimConfiguration(std::shared_ptr<HostState> host,
                                   std::shared_ptr<DocumentState> document, std::u16string name)
    : SimDispatchObject(std::move(host)), document_(std::move(document)), name_(std::move(name)) {}

ConfigurationModel& SimConfiguration::Model() const {
  ConfigurationModel* model = FindConfiguration(document_->model, name_);
  if (!model) {
    throw MemberFailure(E_FAIL, u"the document has no configuration \"" + name_ + u"\" any more");
  }
  return *model;
}

template <typename T, typename V>
void SimConfiguration::Change(T ConfigurationModel::*field, V value) {
  Model().*field = T(value);
  document_->changed = true;
}

std::u16string SimConfiguration::Name() { return Model().name; }

ComPtr<IDispatch> SimConfiguration::GetParent() {
  const std::u16string& parent = Model().parent;
  if (parent.empty()) return nullptr;
  return MakeComObject<SimConfiguration, IDispatch>(host_, document_, parent);
}

std::u16string SimConfiguration::AlternateName() {
  const ConfigurationModel& model = Model();
  return model.bomPartNumberSource == kBomPartNumberUserSpecified ? model.alternateName
                                                                  : std::u16string();
}

void SimConfiguration::put_AlternateName(std::u16string_view name) {
  Change(&ConfigurationModel::alternateName, name);
}

LONG SimConfiguration::Type() { return Model().type; }
LONG SimConfiguration::BOMPartNoSource() { return Model().bomPartNumberSource; }

void SimConfiguration::put_BOMPartNoSource(LONG source) {
  if (!IsBomPartNumberSource(source)) return;
  Change(&ConfigurationModel::bomPartNumberSource, source);
  if (source != kBomPartNumberUserSpecified) Model().alternateName.clear();
}

std::u16string SimConfiguration::Comment() { return Model().comment; }

void SimConfiguration::put_Comment(std::u16string_view comment) {
  Change(&ConfigurationModel::comment, comment);
}

std::u16string SimConfiguration::Description() { return Model().description; }

void SimConfiguration::put_Description(std::u16string_view description) {
  Change(&ConfigurationModel::description, description);
}

bool SimConfiguration::Lock() { return Model().locked; }
void SimConfiguration::put_Lock(bool locked) { Change(&ConfigurationModel::locked, locked); }
bool SimConfiguration::UseAlternateNameInBOM() { return Model().useAlternateNameInBom; }

void SimConfiguration::put_UseAlternateNameInBOM(bool use) {
  Change(&ConfigurationModel::useAlternateNameInBom, use);
}

ComPtr<IDispatch> SimConfiguration::GetRootComponent3(bool resolve) {
  bool active = Model().name == document_->ActiveConfigurationName();
  if (document_->type() != kDocTypeAssembly || (!resolve && !active)) return nullptr;
  ComponentRef root{document_, nullptr, name_, {}, kComponentFullyResolved, document_};
  return MakeComObject<SimComponent, IDispatch>(host_, std::move(root));
}

ComPtr<IDispatch> SimConfiguration::CustomPropertyManager() {
  return MakeComObject<SimPropertyManager, IDispatch>(host_, document_, Model().name);
}

}  // namespace sim
