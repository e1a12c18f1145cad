// The equations of a model document: IEquationMgr. Whether the last call
// worked is kept with the document (Status), as a failed call on an
// equation shows only there.
#pragma once

#include <memory>
#include <string>
#include <string_view>

#include "sim/sim_object.h"

namespace sim {

class SimEquationManager final : public SimDispatchObject<> {
 public:
  static const PublishedInterface kPublished;

  SimEquationManager(std::shared_ptr<HostState> host, std::shared_ptr<DocumentState> document);

  LONG GetCount();
  // "" for a bad index.
  std::u16string Equation(LONG index);
  // Refused (nothing changed) for a bad index, a text without "=", or a
  // left side another equation has; else evaluated, driving its dimension.
  void put_Equation(LONG index, std::u16string_view text);
  // -1 for a bad index.
  double Value(LONG index);
  bool Suppression(LONG index);
  void put_Suppression(LONG index, bool suppressed);
  // 0 deleted, -1 for a bad index.
  LONG Delete(LONG index);
  // Inserts at index (-1 appends) and evaluates; the new index, or -1 for a
  // bad index or a text put_Equation refuses.
  LONG Add2(LONG index, std::u16string_view text, bool solve);
  // 0 when the last call on the document's equations worked, -1 when it
  // failed.
  LONG Status();

 private:
  const PublishedInterface& Published() const override { return kPublished; }
  std::u16string JournalTarget() const override { return document_->FileName(); }
  // Notes whether a call worked; returns worked.
  bool Outcome(bool worked);
  bool Valid(LONG index) const;
  // Whether text may stand at index (skip: the index it replaces, or -1).
  bool Acceptable(std::u16string_view text, LONG skip) const;
  // Evaluates the equation at index and lets it drive its dimension.
  void Solve(size_t index);

  std::shared_ptr<DocumentState> document_;
};

}  // namespace sim
