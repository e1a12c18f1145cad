// The property step: rows not flagged deleted, written as text properties to
// the model their compName names, with the "Add2"/"Set2" orders and the log
// lines of the step.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>

#include "tests/import/import_test_support.h"

namespace import_test {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

class PropertyUpdateTest : public ImportTest {
 protected:
  void SetUp() override { Tables(); }
  void Property(const std::u16string& component, Value configuration, const std::u16string& name,
                const std::u16string& value, int flag, int type = 30) {
    Row("property",
        {{"configName", configuration},
         {"compName", component},
         {"propertyName", name},
         {"propertyType", type},
         {"propertyValue", value}},
        flag);
  }
  // The value of a property; "(none)" when it is absent.
  static std::u16string Find(const std::vector<sim::PropertyModel>& properties,
                             const std::u16string& name) {
    for (const sim::PropertyModel& property : properties) {
      if (property.name == name) return property.value;
    }
    return u"(none)";
  }
  std::u16string DocumentValue(const std::string& file, const std::u16string& name) {
    return Find(Model(file).properties, name);
  }
  std::u16string ConfigurationValue(const std::string& file, size_t configuration,
                                    const std::u16string& name) {
    return Find(Model(file).configurations[configuration].properties, name);
  }
  // The log lines that name a model, in order.
  std::vector<std::string> ModelLines() const {
    std::vector<std::string> lines;
    for (const std::string& line : ImportLog()) {
      if (line.rfind("UpdateProperty_modal in", 0) == 0) lines.push_back(line);
    }
    return lines;
  }
};

TEST_F(PropertyUpdateTest, APartTakesTheRowsOfItsTitleWithoutExtension) {
  OpenSample("Housing.SLDPRT");
  Property(u"Housing", u"Default", u"PartNo", u"HSG-101", kChanged);
  Property(u"Housing", u"", u"Material", u"球墨铸铁", kUnchanged);
  ASSERT_EQ(S_OK, Import(u"property"));
  // Each property manager is read once, before its first row is compared.
  EXPECT_THAT(Journal("ICustomPropertyManager."),
              ElementsAre("ICustomPropertyManager.GetAll Housing.SLDPRT:(out, out, out)",
                          "ICustomPropertyManager.Set2 Housing.SLDPRT:(Material, 球墨铸铁)",
                          "ICustomPropertyManager.Add2 Housing.SLDPRT:(Material, 30, 球墨铸铁)",
                          "ICustomPropertyManager.GetAll Housing.SLDPRT:Default(out, out, out)",
                          "ICustomPropertyManager.Add2 Housing.SLDPRT:Default(PartNo, 30, HSG-101)",
                          "ICustomPropertyManager.Set2 Housing.SLDPRT:Default(PartNo, HSG-101)"));
  EXPECT_THAT(ImportLog(),
              ElementsAre("Import in", "UpdateProperty_modal in, name=", "name1=Housing.SLDPRT",
                          "name2=Housing", "name=Housing, sCompName=Housing, comare=0",
                          "bsPropertyName=Material,bsPropertyValue=球墨铸铁", "Set2,hr=0,ret=0",
                          "Add2,hr=0,ret=-1", "name=Housing, sCompName=Housing, comare=0",
                          "compName=Housing, bsConfigName=Default", "delete pDb_", "Import out"));
  EXPECT_EQ(u"HSG-101", ConfigurationValue("Housing.SLDPRT", 0, u"PartNo"));
  EXPECT_EQ(u"球墨铸铁", DocumentValue("Housing.SLDPRT", u"Material"));
}

TEST_F(PropertyUpdateTest, NewPropertiesAreAddedAsTextWhateverTheRowsType) {
  OpenSample("Housing.SLDPRT");
  Property(u"Housing", u"Heavy", u"Finish", u"Painted", kAdded, 3);
  Property(u"Housing", u"", u"Checked", u"2024-05-01", kChanged, 64);
  ASSERT_EQ(S_OK, Import(u"property"));
  EXPECT_THAT(Journal("ICustomPropertyManager.Add2"),
              ElementsAre("ICustomPropertyManager.Add2 Housing.SLDPRT:(Checked, 30, 2024-05-01)",
                          "ICustomPropertyManager.Add2 Housing.SLDPRT:Heavy(Finish, 30, "
                          "Painted)"));
  EXPECT_THAT(ImportLog(), ::testing::Contains("Set2,hr=0,ret=1"));
  EXPECT_THAT(ImportLog(), ::testing::Contains("Add2,hr=0,ret=1"));
  EXPECT_EQ(u"Painted", ConfigurationValue("Housing.SLDPRT", 1, u"Finish"));
  EXPECT_EQ(30, Model("Housing.SLDPRT").properties.back().type);
  EXPECT_EQ(u"2024-05-01", DocumentValue("Housing.SLDPRT", u"Checked"));
}

TEST_F(PropertyUpdateTest, RowsOfOtherModelsOrUnknownConfigurationsAreSkipped) {
  OpenSample("Housing.SLDPRT");
  Property(u"housing", u"", u"Material", u"other case", kChanged);
  Property(u"Housing.SLDPRT", u"", u"Material", u"whole title", kChanged);
  Property(u"Housing", u"Light", u"PartNo", u"no such configuration", kChanged);
  Property(u"Housing", u"", u"Description", u"deleted row", kDeleted);
  ASSERT_EQ(S_OK, Import(u"property"));
  EXPECT_THAT(Journal("ICustomPropertyManager."), IsEmpty());
  EXPECT_THAT(ImportLog(), ::testing::Contains("name=Housing, sCompName=housing, comare=-1"));
  EXPECT_THAT(ImportLog(),
              ::testing::Contains("name=Housing, sCompName=Housing.SLDPRT, comare=-1"));
  EXPECT_THAT(ImportLog(), ::testing::Contains("hr!=S_OK, hr=80070057"));
  EXPECT_EQ(u"铸铁 HT250", DocumentValue("Housing.SLDPRT", u"Material"));
  EXPECT_EQ(u"减速箱外壳", DocumentValue("Housing.SLDPRT", u"Description"));
}

TEST_F(PropertyUpdateTest, TitlesLoseOnlyTheirLastExtension) {
  OpenModel("Plate.v2.SLDPRT",
            R"({"version": 1, "type": "part",
                "configurations": [{"name": "Default"}],
                "properties": [{"name": "Note", "type": 30, "value": "old"}]})");
  Property(u"Plate.v2", u"", u"Note", u"two dots", kChanged);
  ASSERT_EQ(S_OK, Import(u"property"));
  EXPECT_EQ(u"two dots", DocumentValue("Plate.v2.SLDPRT", u"Note"));

  Model("Plate.v2.SLDPRT").title = u"Plate";
  Execute(u"delete from 'DADU_3_property'");
  Property(u"Plate", u"", u"Note", u"no dot", kChanged);
  ASSERT_EQ(S_OK, Import(u"property"));
  EXPECT_EQ(u"no dot", DocumentValue("Plate.v2.SLDPRT", u"Note"));
  EXPECT_THAT(ImportLog(), ::testing::Contains("name2=Plate"));
}

TEST_F(PropertyUpdateTest, AnAssemblyWritesEveryLoadedModelPerConfiguration) {
  OpenSample("Gearbox.SLDASM");
  Property(u"Gearbox", u"Compact", u"Revision", u"C", kChanged);
  Property(u"Gearbox", u"", u"Designer", u"李娜", kChanged);
  Property(u"Housing-1", u"Heavy", u"Material", u"Forged Steel", kChanged);
  Property(u"Shaft-2", u"", u"Description", u"Input shaft", kChanged);
  Property(u"BearingSet-1/Bearing-2", u"", u"Vendor", u"NSK", kChanged);
  Property(u"BearingSet-1", u"Default", u"Kit", u"BS-3", kChanged);
  ASSERT_EQ(S_OK, Import(u"property"));

  // Default: the assembly, then its components depth first; Compact: the
  // assembly, Housing-1 and Shaft-1 (Shaft-2 is suppressed there and
  // BearingSet-1 lightweight, with everything below it).
  EXPECT_THAT(
      ModelLines(),
      ElementsAre("UpdateProperty_modal in, name=", "UpdateProperty_modal in, name=Housing-1",
                  "UpdateProperty_modal in, name=Shaft-1", "UpdateProperty_modal in, name=Shaft-2",
                  "UpdateProperty_modal in, name=BearingSet-1",
                  "UpdateProperty_modal in, name=BearingSet-1/Bearing-1",
                  "UpdateProperty_modal in, name=BearingSet-1/Bearing-2",
                  "UpdateProperty_modal in, name=", "UpdateProperty_modal in, name=Housing-1",
                  "UpdateProperty_modal in, name=Shaft-1"));
  // The assembly's own rows are handed to the host in each configuration's
  // walk, but written only while the model does not hold them yet.
  const std::vector<std::string> calls = Journal();
  EXPECT_EQ(1, std::count(calls.begin(), calls.end(),
                          "ICustomPropertyManager.Add2 Gearbox.SLDASM:Compact(Revision, 30, C)"));
  EXPECT_EQ(2, std::count(calls.begin(), calls.end(),
                          "ICustomPropertyManager.GetAll Gearbox.SLDASM:Compact(out, out, out)"));
  EXPECT_EQ(u"C", ConfigurationValue("Gearbox.SLDASM", 1, u"Revision"));
  EXPECT_EQ(u"李娜", DocumentValue("Gearbox.SLDASM", u"Designer"));
  EXPECT_EQ(u"Forged Steel", ConfigurationValue("Housing.SLDPRT", 1, u"Material"));
  EXPECT_EQ(u"Input shaft", DocumentValue("Shaft.SLDPRT", u"Description"));
  EXPECT_EQ(u"NSK", DocumentValue("Bearing.SLDPRT", u"Vendor"));
  EXPECT_EQ(u"BS-3", ConfigurationValue("BearingSet.SLDASM", 0, u"Kit"));
}

TEST_F(PropertyUpdateTest, ASuppressedComponentAndEverythingBelowItAreNotVisited) {
  OpenSample("Gearbox.SLDASM");
  Model("Gearbox.SLDASM").configurations[0].components[3].state = kComponentSuppressed;
  Property(u"BearingSet-1/Bearing-1", u"", u"Vendor", u"FAG", kChanged);
  ASSERT_EQ(S_OK, Import(u"property"));
  EXPECT_THAT(
      ModelLines(),
      ElementsAre("UpdateProperty_modal in, name=", "UpdateProperty_modal in, name=Housing-1",
                  "UpdateProperty_modal in, name=Shaft-1", "UpdateProperty_modal in, name=Shaft-2",
                  "UpdateProperty_modal in, name=", "UpdateProperty_modal in, name=Housing-1",
                  "UpdateProperty_modal in, name=Shaft-1"));
  EXPECT_EQ(u"SKF", DocumentValue("Bearing.SLDPRT", u"Vendor"));
}

// Bearing-1 and Bearing-2 are two instances of one model, each with its
// rows: the unchanged row of the one visited last must not undo the change
// the caller made through the other.
TEST_F(PropertyUpdateTest, AChangeThroughOneInstanceIsNotUndoneByAnother) {
  OpenSample("Gearbox.SLDASM");
  Property(u"BearingSet-1/Bearing-1", u"", u"Vendor", u"NSK", kChanged);
  Property(u"BearingSet-1/Bearing-1", u"Default", u"Size", u"6205", kUnchanged);
  Property(u"BearingSet-1/Bearing-2", u"", u"Vendor", u"SKF", kUnchanged);
  Property(u"BearingSet-1/Bearing-2", u"Default", u"Size", u"6206", kChanged);
  ASSERT_EQ(S_OK, Import(u"property"));
  // Size 6205 is what the model holds: that row writes nothing.
  EXPECT_THAT(Journal("ICustomPropertyManager.Set2"),
              ElementsAre("ICustomPropertyManager.Set2 Bearing.SLDPRT:(Vendor, NSK)",
                          "ICustomPropertyManager.Set2 Bearing.SLDPRT:Default(Size, 6206)"));
  EXPECT_THAT(ImportLog(), ::testing::Contains("skip Vendor, changed through another instance"));
  EXPECT_EQ(u"NSK", DocumentValue("Bearing.SLDPRT", u"Vendor"));
  EXPECT_EQ(u"6206", ConfigurationValue("Bearing.SLDPRT", 0, u"Size"));
}

// With the log on, the walk of each assembly configuration hands every
// model it reaches its rows, and logs every comparison; a model that holds
// the values already is not written again. Without it, a model name's rows
// are handed to the host on its first visit only: the end is the same.
TEST_F(PropertyUpdateTest, WithoutALogEachModelIsWrittenOnceToTheSameEnd) {
  OpenSample("Gearbox.SLDASM");
  Property(u"Gearbox", u"Compact", u"Revision", u"C", kUnchanged);
  Property(u"Housing-1", u"", u"Material", u"Cast Iron", kChanged);
  Property(u"BearingSet-1/Bearing-1", u"", u"Vendor", u"NSK", kChanged);
  Property(u"BearingSet-1/Bearing-2", u"", u"Vendor", u"SKF", kUnchanged);
  ASSERT_EQ(S_OK, Import(u"property"));
  EXPECT_THAT(Journal("ICustomPropertyManager.Set2"),
              ElementsAre("ICustomPropertyManager.Set2 Gearbox.SLDASM:Compact(Revision, C)",
                          "ICustomPropertyManager.Set2 Housing.SLDPRT:(Material, Cast Iron)",
                          "ICustomPropertyManager.Set2 Bearing.SLDPRT:(Vendor, NSK)"));

  RemoveLogFolder();
  Execute(u"delete from 'DADU_3_property'");
  Property(u"Gearbox", u"Compact", u"Revision", u"D", kChanged);
  Property(u"Housing-1", u"", u"Material", u"Steel", kChanged);
  Property(u"BearingSet-1/Bearing-1", u"", u"Vendor", u"FAG", kUnchanged);
  Property(u"BearingSet-1/Bearing-2", u"", u"Vendor", u"Timken", kChanged);
  ASSERT_EQ(S_OK, Import(u"property"));
  EXPECT_THAT(Journal("ICustomPropertyManager.Set2"),
              ElementsAre("ICustomPropertyManager.Set2 Gearbox.SLDASM:Compact(Revision, D)",
                          "ICustomPropertyManager.Set2 Housing.SLDPRT:(Material, Steel)",
                          "ICustomPropertyManager.Set2 Bearing.SLDPRT:(Vendor, FAG)",
                          "ICustomPropertyManager.Set2 Bearing.SLDPRT:(Vendor, Timken)"));
  EXPECT_EQ(u"D", ConfigurationValue("Gearbox.SLDASM", 1, u"Revision"));
  EXPECT_EQ(u"Steel", DocumentValue("Housing.SLDPRT", u"Material"));
  // Bearing-2's change is not undone by Bearing-1's unchanged row, which
  // the host got first.
  EXPECT_EQ(u"Timken", DocumentValue("Bearing.SLDPRT", u"Vendor"));
}

// A model whose rows cannot be written must not pass as a successful import:
// the walk still writes the other models, then the step fails with the error.
TEST_F(PropertyUpdateTest, AModelThatFailsFailsTheImportAfterTheWalk) {
  OpenSample("Gearbox.SLDASM");
  Property(u"Housing-1", u"", u"Material", u"lost", kChanged);
  Property(u"Shaft-1", u"", u"Description", u"written", kChanged);
  // The documents' property managers asked for: Housing-1's and Shaft-1's
  // in Default, then again in Compact. Housing-1's fail both times.
  FailCall("IModelDocExtension.CustomPropertyManager#1", E_OUTOFMEMORY);
  FailCall("IModelDocExtension.CustomPropertyManager#3", E_OUTOFMEMORY);
  ASSERT_EQ(S_FALSE, Import(u"property"));
  EXPECT_EQ(-1, errNumber);
  EXPECT_EQ(
      u"CDbToSld::UpdateProperty_modal() error: IModelDocExtension.CustomPropertyManager failed "
      u"(0x8007000E): IModelDocExtension.CustomPropertyManager failed in the simulated host\n",
      errDescription);
  EXPECT_EQ(u"铸铁 HT250", DocumentValue("Housing.SLDPRT", u"Material"));
  EXPECT_EQ(u"written", DocumentValue("Shaft.SLDPRT", u"Description"));
  EXPECT_THAT(ModelLines(), ::testing::SizeIs(10));
  EXPECT_EQ("Import out", ImportLog().back());
}

TEST_F(PropertyUpdateTest, AComponentWithoutModelFailsTheImportWhenRowsNameIt) {
  OpenSample("Gearbox.SLDASM");
  Property(u"Shaft-1", u"", u"Description", u"written", kChanged);
  // Housing-1's model is the first one asked for; no row names it.
  EmptyCall("IComponent2.GetModelDoc2#1");
  ASSERT_EQ(S_OK, Import(u"property"));
  EXPECT_EQ(u"written", DocumentValue("Shaft.SLDPRT", u"Description"));

  Property(u"Housing-1", u"", u"Material", u"not written", kChanged);
  EmptyCall("IComponent2.GetModelDoc2#1");
  ASSERT_EQ(S_FALSE, Import(u"property"));
  EXPECT_EQ(-1, errNumber);
  EXPECT_EQ(
      u"CDbToSld::UpdateProperty_modal() error: the model of component [Housing-1] is not "
      u"loaded\n",
      errDescription);
  EXPECT_EQ(u"written", DocumentValue("Shaft.SLDPRT", u"Description"));
}

TEST_F(PropertyUpdateTest, AFailureOutsideTheModelsEndsTheStep) {
  OpenSample("Gearbox.SLDASM");
  Property(u"Gearbox", u"", u"Designer", u"x", kChanged);
  EmptyCall("IConfiguration.GetRootComponent3");
  ASSERT_EQ(S_FALSE, Import(u"property"));
  EXPECT_EQ(-1, errNumber);
  EXPECT_EQ(
      u"CDbToSld::UpdateProperty() error: IHostConfiguration::GetRootComponent gave no "
      u"object (hr=0x00000000)\n",
      errDescription);
}

TEST_F(PropertyUpdateTest, WithoutRowsTheHostIsNotAsked) {
  OpenSample("Gearbox.SLDASM");
  Property(u"Gearbox", u"", u"Designer", u"x", kDeleted);
  ASSERT_EQ(S_OK, Import(u"property"));
  EXPECT_THAT(Journal(), ElementsAre("ISldWorks.ActiveDoc application()",
                                     "IModelDoc2.GetType Gearbox.SLDASM()"));
  EXPECT_THAT(ImportLog(), ElementsAre("Import in", "delete pDb_", "Import out"));
}

}  // namespace
}  // namespace import_test
