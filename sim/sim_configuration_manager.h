// The configuration parameters of a model document: IConfigurationManager.
#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "sim/sim_object.h"

namespace sim {

class SimConfigurationManager final : public SimDispatchObject<> {
 public:
  static const PublishedInterface kPublished;

  SimConfigurationManager(std::shared_ptr<HostState> host, std::shared_ptr<DocumentState> document);

  // 0 for a configuration the document does not have.
  LONG GetConfigurationParamsCount(std::u16string_view configuration);
  // The parameters' names and values; false (and no lists) for a
  // configuration the document does not have.
  bool GetConfigurationParams(std::u16string_view configuration, std::vector<std::u16string>* names,
                              std::vector<std::u16string>* values);
  // Lists of texts of one length (typed, or of VARIANTs): a parameter that
  // is there takes the new value, a new one is added, a configuration the
  // document does not have is made (top level). False, and nothing changed,
  // for an empty configuration name or lists of another type or length.
  bool SetConfigurationParams(std::u16string_view configuration, const VARIANT* names,
                              const VARIANT* values);
  ComPtr<IDispatch> ActiveConfiguration();

 private:
  const PublishedInterface& Published() const override { return kPublished; }
  std::u16string JournalTarget() const override { return document_->FileName(); }

  std::shared_ptr<DocumentState> document_;
};

}  // namespace sim
