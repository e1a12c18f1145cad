// A configuration of a model document: IConfiguration.
#pragma once

#include <memory>
#include <string>
#include <string_view>

#include "sim/sim_object.h"

namespace sim {

class SimConfiguration final : public SimDispatchObject<> {
 public:
  static const PublishedInterface kPublished;

  // name: a configuration of the document.
  SimConfiguration(std::shared_ptr<HostState> host, std::shared_ptr<DocumentState> document,
                   std::u16string name);

  std::u16string Name();
  // Null for a top-level configuration.
  ComPtr<IDispatch> GetParent();
  // Reads empty unless the part number source is user specified (8); a put
  // is kept whatever the source.
  std::u16string AlternateName();
  void put_AlternateName(std::u16string_view name);
  LONG Type();
  LONG BOMPartNoSource();
  // A source other than 1, 2, 4 and 8 is ignored; any but 8 empties the
  // alternate name.
  void put_BOMPartNoSource(LONG source);
  std::u16string Comment();
  void put_Comment(std::u16string_view comment);
  std::u16string Description();
  void put_Description(std::u16string_view description);
  bool Lock();
  void put_Lock(bool locked);
  bool UseAlternateNameInBOM();
  void put_UseAlternateNameInBOM(bool use);
  // The root component of an assembly's configuration when resolve is true
  // or the configuration is active; else, and for parts and drawings, null.
  ComPtr<IDispatch> GetRootComponent3(bool resolve);
  ComPtr<IDispatch> CustomPropertyManager();

 private:
  const PublishedInterface& Published() const override { return kPublished; }
  std::u16string JournalTarget() const override { return document_->FileName() + u":" + name_; }
  // The configuration's model. Throws MemberFailure when the document no
  // longer has it.
  ConfigurationModel& Model() const;
  // Sets a field of the model and marks the document changed.
  template <typename T, typename V>
  void Change(T ConfigurationModel::*field, V value);

  std::shared_ptr<DocumentState> document_;
  std::u16string name_;
};

}  // namespace sim
