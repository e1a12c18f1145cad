// The extension of a model document: IModelDocExtension, its custom
// properties by configuration name and the files it depends on.
#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "sim/sim_object.h"

namespace sim {

class SimModelDocExtension final : public SimDispatchObject<> {
 public:
  static const PublishedInterface kPublished;

  SimModelDocExtension(std::shared_ptr<HostState> host, std::shared_ptr<DocumentState> document);

  // The property manager of a configuration, or of the document for "";
  // null for a configuration the document does not have.
  ComPtr<IDispatch> CustomPropertyManager(std::u16string_view configuration);
  // The files the document refers to as (file name, full path) pairs, with
  // traverse also those the files refer to (each document visited once), in
  // the order of first use; a file is listed once per document that refers
  // to it, suppressed components included. With addReadOnlyInfo a text
  // follows each pair: "R" for a read-only file, else "".
  std::vector<std::u16string> GetDependencies(bool traverse, bool searchFolders,
                                              bool addReadOnlyInfo, bool listBrokenReferences,
                                              bool appendImportedPaths);

 private:
  const PublishedInterface& Published() const override { return kPublished; }
  std::u16string JournalTarget() const override { return document_->FileName(); }

  std::shared_ptr<DocumentState> document_;
};

}  // namespace sim
