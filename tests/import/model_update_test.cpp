// The parameter and property steps: rows go back to the model each came from.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>

#include "tests/import/import_test_support.h"

namespace import_test {
namespace {

using ::testing::Contains;
using ::testing::ElementsAre;
using ::testing::IsEmpty;
using ::testing::SizeIs;
using Pairs = std::vector<std::pair<std::u16string, std::u16string>>;

class ModelUpdateTest : public ImportTest {
 protected:
  void SetUp() override { Tables(); }
  void Parameter(Value configuration, const std::u16string& name, const std::u16string& value,
                 int flag, const std::u16string& component = u"Housing.SLDPRT") {
    Row("Parameter",
        {{"configName", configuration},
         {"compName", component},
         {"paramName", name},
         {"paramValue", value}},
        flag);
  }
  Pairs Parameters(const std::string& file, size_t configuration) {
    Pairs parameters;
    for (const sim::ParameterModel& parameter :
         Model(file).configurations[configuration].parameters) {
      parameters.emplace_back(parameter.name, parameter.value);
    }
    return parameters;
  }
  // Where the parameters were handed, in order: "Housing.SLDPRT(Heavy, array, array)".
  std::vector<std::string> Handed() const {
    std::vector<std::string> handed;
    for (const std::string& call : Journal("IConfigurationManager.SetConfigurationParams")) {
      handed.push_back(call.substr(call.find(' ') + 1));
    }
    return handed;
  }
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
  // A document's (or a configuration's) property value; "(none)" when absent.
  std::u16string PropertyValue(const std::string& file, const std::u16string& name,
                               int configuration = -1) {
    sim::ModelData& model = Model(file);
    for (const sim::PropertyModel& property :
         configuration < 0 ? model.properties : model.configurations[configuration].properties) {
      if (property.name == name) return property.value;
    }
    return u"(none)";
  }
  // The models the log names the walk entering, in order.
  std::vector<std::string> ModelLines() const {
    std::vector<std::string> lines;
    for (const std::string& line : ImportLog()) {
      if (line.rfind("UpdateProperty_modal in, name=", 0) == 0) lines.push_back(line.substr(30));
    }
    return lines;
  }
};

// One call per named configuration; deleted rows and rows without a configuration stay out.
TEST_F(ModelUpdateTest, APartsParametersOneCallPerConfiguration) {
  OpenSample("Housing.SLDPRT");
  Parameter(u"Heavy", u"D1@Boss-Extrude1", u"50.0mm", kChanged);
  Parameter(u"Default", u"D1@Boss-Extrude1", u"32.0mm", kUnchanged);
  Parameter(u"Heavy", u"$STATE@Chamfer1", u"S", kAdded);
  Parameter(u"Default", u"$STATE@Chamfer1", u"U", kDeleted);
  Parameter(u"Default", u"A", u"1", kChanged);
  Parameter(nullptr, u"B", u"2", kChanged);
  Parameter(u"", u"C", u"3", kChanged);
  Row("Config", {{"configName", u"Heavy"}, {"comment", u"c"}, {"bomPartNoSrc", 2}}, kChanged);
  ASSERT_EQ(S_OK, Import(u"Parameter,Config"));
  EXPECT_THAT(Handed(), ElementsAre("Housing.SLDPRT(Default, array, array)",
                                    "Housing.SLDPRT(Heavy, array, array)"));
  EXPECT_EQ(Parameters("Housing.SLDPRT", 0),
            (Pairs{{u"D1@Boss-Extrude1", u"32.0mm"}, {u"$STATE@Chamfer1", u"S"}, {u"A", u"1"}}));
  EXPECT_EQ(Parameters("Housing.SLDPRT", 1),
            (Pairs{{u"D1@Boss-Extrude1", u"50.0mm"}, {u"$STATE@Chamfer1", u"S"}}));
  EXPECT_EQ(2u, Model("Housing.SLDPRT").configurations.size());
  EXPECT_EQ(u"c", Model("Housing.SLDPRT").configurations[1].comment);
}

// Each row goes back to its component's model (the root's name is empty), not all to the assembly.
TEST_F(ModelUpdateTest, AnAssemblysRowsGoBackToTheirModels) {
  OpenSample("Gearbox.SLDASM");
  Parameter(u"Default", u"$STATE@Shaft-2", u"S", kChanged, u"");
  Parameter(u"Default", u"D1@Boss-Extrude1", u"33.0mm", kChanged, u"Housing-1");
  Parameter(u"Long", u"D1@Sketch1", u"210.0mm", kChanged, u"Shaft-1");
  Parameter(u"Short", u"D1@Sketch1", u"120.0mm", kUnchanged, u"Shaft-1");
  Parameter(u"Default", u"$STATE@Bearing-2", u"S", kChanged, u"BearingSet-1");
  Parameter(u"Default", u"D1@Sketch1", u"53.0mm", kChanged, u"BearingSet-1/Bearing-2");
  Parameter(u"Default", u"D1@Sketch1", u"1.0mm", kDeleted, u"BearingSet-1/Bearing-1");
  Parameter(u"Default", u"Nowhere", u"x", kChanged, u"Missing-1");
  ASSERT_EQ(S_OK, Import(u"Parameter"));
  // Short's D1@Sketch1 holds 120.0mm already: nothing to hand over.
  EXPECT_THAT(
      Handed(),
      ElementsAre("Gearbox.SLDASM(Default, array, array)", "Housing.SLDPRT(Default, array, array)",
                  "Shaft.SLDPRT(Long, array, array)", "BearingSet.SLDASM(Default, array, array)",
                  "Bearing.SLDPRT(Default, array, array)"));
  EXPECT_EQ(2u, Model("Gearbox.SLDASM").configurations.size());
  EXPECT_EQ(Parameters("Gearbox.SLDASM", 0), (Pairs{{u"$STATE@Shaft-2", u"S"}}));
  EXPECT_EQ(Parameters("Housing.SLDPRT", 0),
            (Pairs{{u"D1@Boss-Extrude1", u"33.0mm"}, {u"$STATE@Chamfer1", u"S"}}));
  EXPECT_EQ(Parameters("Shaft.SLDPRT", 0), (Pairs{{u"D1@Sketch1", u"210.0mm"}}));
  EXPECT_EQ(Parameters("BearingSet.SLDASM", 0), (Pairs{{u"$STATE@Bearing-2", u"S"}}));
  EXPECT_EQ(Parameters("Bearing.SLDPRT", 0), (Pairs{{u"D1@Sketch1", u"53.0mm"}}));
}

// Shaft-1 and Shaft-2 share a model: an unchanged row of one must not undo a change via the other.
TEST_F(ModelUpdateTest, AParameterChangeThroughOneInstanceIsNotUndoneByAnother) {
  OpenSample("Gearbox.SLDASM");
  Parameter(u"Long", u"D1@Sketch1", u"200.0mm", kUnchanged, u"Shaft-1");
  Parameter(u"Short", u"D1@Sketch1", u"125.0mm", kChanged, u"Shaft-1");
  Parameter(u"Long", u"D1@Sketch1", u"200.0mm", kUnchanged, u"Shaft-2");
  Parameter(u"Short", u"D1@Sketch1", u"120.0mm", kUnchanged, u"Shaft-2");
  ASSERT_EQ(S_OK, Import(u"Parameter"));
  // Only the changed value differs from the model's: the only one handed.
  EXPECT_THAT(Handed(), ElementsAre("Shaft.SLDPRT(Short, array, array)"));
  EXPECT_EQ(Parameters("Shaft.SLDPRT", 1), (Pairs{{u"D1@Sketch1", u"125.0mm"}}));
  // The change made through the instance visited last.
  Execute(u"delete from 'DADU_3_Parameter'");
  Parameter(u"Short", u"D1@Sketch1", u"125.0mm", kUnchanged, u"Shaft-1");
  Parameter(u"Short", u"D1@Sketch1", u"130.0mm", kChanged, u"Shaft-2");
  ASSERT_EQ(S_OK, Import(u"Parameter"));
  EXPECT_EQ(Parameters("Shaft.SLDPRT", 1), (Pairs{{u"D1@Sketch1", u"130.0mm"}}));
}

// Components not loaded, and all below them, are passed over by both walks.
TEST_F(ModelUpdateTest, ComponentsThatAreNotLoadedArePassedOver) {
  OpenSample("Gearbox.SLDASM");
  // Shaft-2 now suppressed in both configurations, BearingSet-1 in Default.
  Model("Gearbox.SLDASM").configurations[0].components[2].state = kComponentSuppressed;
  Model("Gearbox.SLDASM").configurations[0].components[3].state = kComponentSuppressed;
  Parameter(u"Short", u"D1@Sketch1", u"99.0mm", kChanged, u"Shaft-2");
  Parameter(u"Default", u"D1@Sketch1", u"99.0mm", kChanged, u"BearingSet-1/Bearing-1");
  Property(u"BearingSet-1/Bearing-1", u"", u"Vendor", u"FAG", kChanged);
  ASSERT_EQ(S_OK, Import(u"Parameter,property"));
  EXPECT_THAT(Handed(), IsEmpty());
  EXPECT_THAT(Writes(), IsEmpty());
  EXPECT_THAT(ModelLines(), ElementsAre("", "Housing-1", "Shaft-1", "", "Housing-1", "Shaft-1"));
}

TEST_F(ModelUpdateTest, APartTakesTheRowsOfItsTitleWithoutExtension) {
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
}

TEST_F(ModelUpdateTest, NewPropertiesAreAddedAsTextWhateverTheRowsType) {
  OpenSample("Housing.SLDPRT");
  Property(u"Housing", u"Heavy", u"Finish", u"Painted", kAdded, 3);
  Property(u"Housing", u"", u"Checked", u"2024-05-01", kChanged, 64);
  ASSERT_EQ(S_OK, Import(u"property"));
  EXPECT_THAT(Journal("ICustomPropertyManager.Add2"),
              ElementsAre("ICustomPropertyManager.Add2 Housing.SLDPRT:(Checked, 30, 2024-05-01)",
                          "ICustomPropertyManager.Add2 Housing.SLDPRT:Heavy(Finish, 30, "
                          "Painted)"));
  EXPECT_THAT(ImportLog(), Contains("Set2,hr=0,ret=1"));
  EXPECT_THAT(ImportLog(), Contains("Add2,hr=0,ret=1"));
  EXPECT_EQ(30, Model("Housing.SLDPRT").properties.back().type);
}

TEST_F(ModelUpdateTest, RowsOfOtherModelsOrUnknownConfigurationsAreSkipped) {
  OpenSample("Housing.SLDPRT");
  Property(u"housing", u"", u"Material", u"other case", kChanged);
  Property(u"Housing.SLDPRT", u"", u"Material", u"whole title", kChanged);
  Property(u"Housing", u"Light", u"PartNo", u"no such configuration", kChanged);
  Property(u"Housing", u"", u"Description", u"deleted row", kDeleted);
  ASSERT_EQ(S_OK, Import(u"property"));
  EXPECT_THAT(Journal("ICustomPropertyManager."), IsEmpty());
  EXPECT_THAT(ImportLog(), Contains("name=Housing, sCompName=housing, comare=-1"));
  EXPECT_THAT(ImportLog(), Contains("name=Housing, sCompName=Housing.SLDPRT, comare=-1"));
  EXPECT_THAT(ImportLog(), Contains("hr!=S_OK, hr=80070057"));
}

TEST_F(ModelUpdateTest, AnAssemblyWritesEveryLoadedModelPerConfiguration) {
  OpenSample("Gearbox.SLDASM");
  Property(u"Gearbox", u"Compact", u"Revision", u"C", kChanged);
  Property(u"Gearbox", u"", u"Designer", u"李娜", kChanged);
  Property(u"Housing-1", u"Heavy", u"Material", u"Forged Steel", kChanged);
  Property(u"Shaft-2", u"", u"Description", u"Input shaft", kChanged);
  Property(u"BearingSet-1/Bearing-2", u"", u"Vendor", u"NSK", kChanged);
  Property(u"BearingSet-1", u"Default", u"Kit", u"BS-3", kChanged);
  ASSERT_EQ(S_OK, Import(u"property"));
  // Default: depth first; Compact without suppressed Shaft-2 and lightweight BearingSet-1.
  EXPECT_THAT(ModelLines(), ElementsAre("", "Housing-1", "Shaft-1", "Shaft-2", "BearingSet-1",
                                        "BearingSet-1/Bearing-1", "BearingSet-1/Bearing-2", "",
                                        "Housing-1", "Shaft-1"));
  // The assembly's own rows are read in each walk, written only while the model lacks them.
  const std::vector<std::string> calls = Journal();
  EXPECT_EQ(1, std::count(calls.begin(), calls.end(),
                          "ICustomPropertyManager.Add2 Gearbox.SLDASM:Compact(Revision, 30, C)"));
  EXPECT_EQ(2, std::count(calls.begin(), calls.end(),
                          "ICustomPropertyManager.GetAll Gearbox.SLDASM:Compact(out, out, out)"));
  EXPECT_EQ(u"C|李娜|Forged Steel|Input shaft|NSK|BS-3",
            PropertyValue("Gearbox.SLDASM", u"Revision", 1) + u"|" +
                PropertyValue("Gearbox.SLDASM", u"Designer") + u"|" +
                PropertyValue("Housing.SLDPRT", u"Material", 1) + u"|" +
                PropertyValue("Shaft.SLDPRT", u"Description") + u"|" +
                PropertyValue("Bearing.SLDPRT", u"Vendor") + u"|" +
                PropertyValue("BearingSet.SLDASM", u"Kit", 0));
}

// Bearing-1 and Bearing-2 share a model: an unchanged row visited later must not undo a
// change. With a log every walk hands each model its rows; without, only the first visit.
TEST_F(ModelUpdateTest, AChangeThroughOneInstanceStaysWithOrWithoutALog) {
  OpenSample("Gearbox.SLDASM");
  Property(u"Gearbox", u"Compact", u"Revision", u"C", kUnchanged);
  Property(u"Housing-1", u"", u"Material", u"Cast Iron", kChanged);
  Property(u"BearingSet-1/Bearing-1", u"", u"Vendor", u"NSK", kChanged);
  Property(u"BearingSet-1/Bearing-1", u"Default", u"Size", u"6205", kUnchanged);
  Property(u"BearingSet-1/Bearing-2", u"", u"Vendor", u"SKF", kUnchanged);
  Property(u"BearingSet-1/Bearing-2", u"Default", u"Size", u"6206", kChanged);
  ASSERT_EQ(S_OK, Import(u"property"));
  // Size 6205 is what the model holds: that row writes nothing.
  EXPECT_THAT(Journal("ICustomPropertyManager.Set2"),
              ElementsAre("ICustomPropertyManager.Set2 Gearbox.SLDASM:Compact(Revision, C)",
                          "ICustomPropertyManager.Set2 Housing.SLDPRT:(Material, Cast Iron)",
                          "ICustomPropertyManager.Set2 Bearing.SLDPRT:(Vendor, NSK)",
                          "ICustomPropertyManager.Set2 Bearing.SLDPRT:Default(Size, 6206)"));
  EXPECT_THAT(ImportLog(), Contains("skip Vendor, changed through another instance"));
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
  EXPECT_EQ(u"D", PropertyValue("Gearbox.SLDASM", u"Revision", 1));
  EXPECT_EQ(u"Steel", PropertyValue("Housing.SLDPRT", u"Material"));
  EXPECT_EQ(u"Timken", PropertyValue("Bearing.SLDPRT", u"Vendor"));
}

// A model whose rows cannot be written fails the step after the walk wrote the others.
TEST_F(ModelUpdateTest, AModelThatFailsFailsTheImportAfterTheWalk) {
  OpenSample("Gearbox.SLDASM");
  Property(u"Housing-1", u"", u"Material", u"lost", kChanged);
  Property(u"Shaft-1", u"", u"Description", u"written", kChanged);
  // Housing-1's property manager, asked for in Default and again in Compact.
  host().FailCall("IModelDocExtension.CustomPropertyManager#1", E_OUTOFMEMORY);
  host().FailCall("IModelDocExtension.CustomPropertyManager#3", E_OUTOFMEMORY);
  ASSERT_EQ(S_FALSE, Import(u"property"));
  EXPECT_EQ(-1, errNumber);
  EXPECT_EQ(
      u"CDbToSld::UpdateProperty_modal() error: IModelDocExtension.CustomPropertyManager failed "
      u"(0x8007000E): IModelDocExtension.CustomPropertyManager failed in the simulated host\n",
      errDescription);
  EXPECT_EQ(u"铸铁 HT250", PropertyValue("Housing.SLDPRT", u"Material"));
  EXPECT_EQ(u"written", PropertyValue("Shaft.SLDPRT", u"Description"));
  EXPECT_THAT(ModelLines(), SizeIs(10));
  EXPECT_EQ("Import out", ImportLog().back());
}

TEST_F(ModelUpdateTest, AComponentWithoutModelFailsTheImportWhenRowsNameIt) {
  OpenSample("Gearbox.SLDASM");
  Property(u"Shaft-1", u"", u"Description", u"written", kChanged);
  // Housing-1's model is the first one asked for; no row names it.
  host().EmptyCall("IComponent2.GetModelDoc2#1");
  ASSERT_EQ(S_OK, Import(u"property"));
  EXPECT_EQ(u"written", PropertyValue("Shaft.SLDPRT", u"Description"));
  Property(u"Housing-1", u"", u"Material", u"not written", kChanged);
  host().EmptyCall("IComponent2.GetModelDoc2#1");
  ASSERT_EQ(S_FALSE, Import(u"property"));
  EXPECT_EQ(-1, errNumber);
  EXPECT_EQ(
      u"CDbToSld::UpdateProperty_modal() error: the model of component [Housing-1] is not "
      u"loaded\n",
      errDescription);
  EXPECT_EQ(u"written", PropertyValue("Shaft.SLDPRT", u"Description"));
}

}  // namespace
}  // namespace import_test
