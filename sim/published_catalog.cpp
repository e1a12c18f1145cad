#include "sim/published_catalog.h"

#include "sim/sim_application.h"
#include "sim/sim_command_group.h"
#include "sim/sim_command_manager.h"
#include "sim/sim_command_tab.h"
#include "sim/sim_command_tab_box.h"
#include "sim/sim_component.h"
#include "sim/sim_configuration.h"
#include "sim/sim_configuration_manager.h"
#include "sim/sim_dimension.h"
#include "sim/sim_display_dimension.h"
#include "sim/sim_document.h"
#include "sim/sim_equation_manager.h"
#include "sim/sim_feature.h"
#include "sim/sim_frame.h"
#include "sim/sim_model_doc_extension.h"
#include "sim/sim_property_manager.h"
#include "sim/sim_selection_manager.h"
#include "sim/sim_tolerance.h"

namespace sim {
namespace {

constexpr const PublishedInterface* kInterfaces[] = {
    &SimApplication::kPublished,
    &SimFrame::kPublished,
    &SimDocument::kPublished,
    &SimModelDocExtension::kPublished,
    &SimFeature::kPublished,
    &SimDisplayDimension::kPublished,
    &SimDimension::kPublished,
    &SimTolerance::kPublished,
    &SimEquationManager::kPublished,
    &SimConfiguration::kPublished,
    &SimConfigurationManager::kPublished,
    &SimPropertyManager::kPublished,
    &SimComponent::kPublished,
    &SimSelectionManager::kPublished,
    &SimCommandManager::kPublished,
    &SimCommandGroup::kPublished,
    &SimCommandTab::kPublished,
    &SimCommandTabBox::kPublished,
};

constexpr std::string_view kPutPrefix = "put_";

}  // namespace

std::span<const PublishedInterface* const> PublishedInterfaces() { return kInterfaces; }

std::optional<NamedMember> FindOperation(std::string_view operation) {
  size_t dot = operation.find('.');
  if (dot == std::string_view::npos) return std::nullopt;
  std::string_view interfaceName = operation.substr(0, dot);
  std::string_view memberName = operation.substr(dot + 1);
  bool put = memberName.starts_with(kPutPrefix);
  if (put) memberName.remove_prefix(kPutPrefix.size());
  for (const PublishedInterface* face : kInterfaces) {
    if (interfaceName != face->name) continue;
    for (const PublishedMember& member : face->members) {
      if ((member.kind == MemberKind::kPut) == put && memberName == member.name) {
        return NamedMember{face, &member};
      }
    }
  }
  return std::nullopt;
}

std::vector<std::string> PublishedOperations() {
  std::vector<std::string> operations;
  for (const PublishedInterface* face : kInterfaces) {
    for (const PublishedMember& member : face->members) {
      operations.push_back(OperationName(*face, member));
    }
  }
  return operations;
}

}  // namespace sim
