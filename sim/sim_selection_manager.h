// The selection of a document: ISelectionMgr.
#pragma once

#include <memory>
#include <string>

#include "sim/sim_object.h"

namespace sim {

class SimSelectionManager final : public SimDispatchObject<> {
 public:
  static const PublishedInterface kPublished;

  SimSelectionManager(std::shared_ptr<HostState> host, std::shared_ptr<DocumentState> document);

  // The selections made with mark (-1: with any mark).
  LONG GetSelectedObjectCount2(LONG mark);
  // The index-th of those selections (from 1): the component a selected
  // "Reference" feature stands for, or the feature. Null when there is none
  // (index -1, the dynamically highlighted object, is never there).
  ComPtr<IDispatch> GetSelectedObject6(LONG index, LONG mark);
  // swSelCOMPONENTS, swSelBODYFEATURES, or 0 when there is none.
  LONG GetSelectedObjectType3(LONG index, LONG mark);

 private:
  const PublishedInterface& Published() const override { return kPublished; }
  std::u16string JournalTarget() const override { return document_->FileName(); }
  const DocumentState::Selected* Find(LONG index, LONG mark) const;

  std::shared_ptr<DocumentState> document_;
};

}  // namespace sim
