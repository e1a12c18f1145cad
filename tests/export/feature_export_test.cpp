// The feature list (breadth first, owners, components) and the table
// "Feature": every column, owners left out at the top, the edit status by
// host revision, host failures.
#include <gtest/gtest.h>

#include "tests/export/export_test_support.h"

namespace export_test {
namespace {

class FeatureExportTest : public ExportTest {
 protected:
  // featId, featName, typeName, ownerFeatureId, ownerFeature of every row.
  std::vector<Row> Tree() const {
    return Select(
        "select featId,featName,typeName,ownerFeatureId,ownerFeature from DADU_3_Feature "
        "order by rowid");
  }
};

TEST_F(FeatureExportTest, EveryColumnOfThePartsFeatures) {
  Open("Housing.SLDPRT");
  ASSERT_EQ(S_OK, Export(u"Feature"));
  EXPECT_EQ((Row{"featId", "featName", "typeName", "ownerFeatureId", "ownerFeature", "createdBy",
                 "dateCreated", "createdVersion", "dateModified", "modifiedVersion", "updateStamp",
                 "description", "editStatus", "errorCode", "isBase", "visible", "uiState",
                 "isSuppressed", "DADU_flag"}),
            Columns(u"DADU_3_Feature"));
  const std::string plane[] = {"zhang.wei", "2024/03/01 09:15:22"};
  EXPECT_EQ(
      (std::vector<Row>{
          {"0", "Comments", "CommentsFolder", "NULL", "NULL", "", "", "0", "", "0", "0", "", "0",
           "0", "0", "1", "0", "0", "0"},
          {"1", "Front Plane", "RefPlane", "NULL", "NULL", plane[0], plane[1], "0", "", "0", "0",
           "", "0", "0", "0", "1", "0", "0", "0"},
          {"2", "Top Plane", "RefPlane", "NULL", "NULL", plane[0], plane[1], "0", "", "0", "0", "",
           "0", "0", "0", "1", "0", "0", "0"},
          {"3", "Right Plane", "RefPlane", "NULL", "NULL", plane[0], plane[1], "0", "", "0", "0",
           "", "0", "0", "0", "1", "0", "0", "0"},
          {"4", "Origin", "OriginProfileFeature", "NULL", "NULL", "", "", "0", "", "0", "0", "",
           "0", "0", "0", "1", "0", "0", "0"},
          {"5", "Boss-Extrude1", "Extrusion", "NULL", "NULL", "zhang.wei", "2024/03/01 09:20:05",
           "7010", "2024/04/11 16:02:40", "7020", "118", "基体拉伸", "0", "0", "-1", "1", "-1", "0",
           "0"},
          {"6", "Holes", "FtrFolder", "NULL", "NULL", "", "", "0", "", "0", "0", "", "0", "0", "0",
           "1", "0", "0", "0"},
          {"7", "Chamfer1", "Chamfer", "NULL", "NULL", "li.na", "2024/03/06 14:30:00", "0", "", "0",
           "0", "", "0", "0", "0", "1", "0", "-1", "0"},
          {"8", "Sketch1", "ProfileFeature", "5", "Boss-Extrude1", "zhang.wei",
           "2024/03/01 09:18:47", "7010", "", "0", "112", "", "0", "0", "0", "1", "0", "0", "0"},
          {"9", "Cut-Extrude1", "ICE", "6", "Holes", "li.na", "2024/03/05 10:02:11", "0", "", "0",
           "131", "", "0", "0", "0", "1", "0", "0", "0"},
          {"10", "Sketch2", "ProfileFeature", "9", "Cut-Extrude1", "", "", "0", "", "0", "0", "",
           "0", "0", "0", "1", "0", "0", "0"},
      }),
      Rows(u"DADU_3_Feature"));
}

TEST_F(FeatureExportTest, AnAssemblysComponentsBringTheirModelsFeaturesBreadthFirst) {
  Open("Gearbox.SLDASM");
  ASSERT_EQ(S_OK, Export(u"Feature"));
  std::vector<Row> tree = Tree();
  ASSERT_EQ(49u, tree.size());
  // The top level in tree order, then the children of entry 4, 5, ...
  EXPECT_EQ((std::vector<Row>{
                {"0", "Front Plane", "RefPlane", "NULL", "NULL"},
                {"1", "Top Plane", "RefPlane", "NULL", "NULL"},
                {"2", "Right Plane", "RefPlane", "NULL", "NULL"},
                {"3", "Origin", "OriginProfileFeature", "NULL", "NULL"},
                {"4", "Mates", "MateGroup", "NULL", "NULL"},
                {"5", "Housing-1", "Reference", "NULL", "NULL"},
                {"6", "Shaft-1", "Reference", "NULL", "NULL"},
                {"7", "Shaft-2", "Reference", "NULL", "NULL"},
                {"8", "BearingSet-1", "Reference", "NULL", "NULL"},
                {"9", "Coincident1", "MateCoincident", "4", "Mates"},
                {"10", "Distance1", "MateDistanceDim", "4", "Mates"},
                {"11", "Comments", "CommentsFolder", "5", "Housing-1"},
            }),
            std::vector<Row>(tree.begin(), tree.begin() + 12));
  EXPECT_EQ((Row{"33", "Bearing-1", "Reference", "8", "BearingSet-1"}), tree[33]);
  EXPECT_EQ((Row{"35", "Sketch1", "ProfileFeature", "16", "Boss-Extrude1"}), tree[35]);
  EXPECT_EQ((Row{"46", "Sketch2", "ProfileFeature", "36", "Cut-Extrude1"}), tree[46]);
  EXPECT_EQ((Row{"48", "Sketch1", "ProfileFeature", "45", "Revolve1"}), tree[48]);
  // An owner always comes before what hangs under it.
  for (const Row& row : tree) {
    if (row[3] != "NULL") {
      EXPECT_LT(std::stoi(row[3]), std::stoi(row[0])) << row[1];
    }
  }
  // The component feature carries the component's own feature fields.
  EXPECT_EQ((std::vector<Row>{{"zhang.wei", "外壳"}}),
            Select("select createdBy,description from DADU_3_Feature where featId=5"));
}

TEST_F(FeatureExportTest, GrandchildrenComeAfterAllChildrenOfEarlierEntries) {
  OpenModel("Tree.SLDPRT", R"json({"version": 1, "type": "part", "features": [
    {"name": "A", "typeName": "T", "subFeatures": [
      {"name": "A1", "typeName": "T", "subFeatures": [{"name": "A1a", "typeName": "T"}]},
      {"name": "A2", "typeName": "T"}]},
    {"name": "B", "typeName": "T", "subFeatures": [{"name": "B1", "typeName": "T"}]},
    {"name": "Ref", "typeName": "T", "subFeatures": [{"name": "Hidden", "typeName": "T"}]},
    {"name": "ref2", "typeName": "T"}]})json");
  // Features of a part that only look like component features.
  Model().features[2].typeName = u"REFERENCE";
  Model().features[3].typeName = u"reference";
  ASSERT_EQ(S_OK, Export(u"Feature"));
  EXPECT_EQ((std::vector<Row>{
                {"0", "A", "T", "NULL", "NULL"},
                {"1", "B", "T", "NULL", "NULL"},
                {"2", "Ref", "REFERENCE", "NULL", "NULL"},
                {"3", "ref2", "reference", "NULL", "NULL"},
                {"4", "A1", "T", "0", "A"},
                {"5", "A2", "T", "0", "A"},
                {"6", "B1", "T", "1", "B"},
                {"7", "A1a", "T", "4", "A1"},
            }),
            Tree());
  // "Reference" in any letter case is taken for a component: selected, and
  // since the selection yields no component, it has no children.
  EXPECT_EQ(2, CallCount("IFeature.Select2"));
  EXPECT_EQ(1, CallCount("IModelDoc2.SelectionManager"));
}

TEST_F(FeatureExportTest, ADocumentWhoseFeaturesAllHaveOwnersWritesNothing) {
  Open("Housing.SLDPRT");
  host_.EmptyCall("IModelDoc2.FirstFeature");
  ASSERT_EQ(S_OK, Export(u"Feature,Dimension"));
  EXPECT_TRUE(Rows(u"DADU_3_Feature").empty());
  EXPECT_TRUE(Rows(u"DADU_3_Dimension").empty());
}

TEST_F(FeatureExportTest, TheEditStatusIsReadFromHostsAboveRevision18) {
  OpenModel("Status.SLDPRT", R"json({"version": 1, "type": "part", "features": [
    {"name": "F", "typeName": "T", "editStatus": 3}]})json");
  struct Case {
    const char16_t* revision;
    const char* editStatus;
  };
  for (const Case& c : {Case{u"20.3.0", "3"}, Case{u"18", "3"}, Case{u"18.0.0", "3"},
                        Case{u"17.9.1", "0"}, Case{u"17", "0"}, Case{u"", "0"}}) {
    host_.SetRevision(c.revision);
    host_.ClearCalls();
    ASSERT_EQ(S_OK, Export(u"Feature"));
    EXPECT_EQ((std::vector<Row>{{c.editStatus}}), Select("select editStatus from DADU_3_Feature"))
        << Utf8(c.revision);
    EXPECT_EQ(c.editStatus[0] == '3' ? 1 : 0, CallCount("IFeature.GetEditStatus"));
  }
}

TEST_F(FeatureExportTest, HostFailuresEndTheExportWithTheOperationsPrefix) {
  Open("Housing.SLDPRT");
  host_.FailCall("IFeature.GetOwnerFeature#3");
  EXPECT_EQ(S_FALSE, Export(u"Feature"));
  EXPECT_EQ(-1, errNumber_);
  EXPECT_EQ(
      u"CSldToDb::GetFeatures() error: IFeature.GetOwnerFeature failed (0x80004005): "
      u"IFeature.GetOwnerFeature failed in the simulated host\n",
      errDescription_);
  EXPECT_TRUE(Tables().empty());

  host_.ClearFaults();
  host_.FailCall("IFeature.GetFirstSubFeature#2", E_OUTOFMEMORY);
  EXPECT_EQ(S_FALSE, Export(u"Dimension"));
  EXPECT_EQ(
      u"CSldToDb::GetFeatures() error: IFeature.GetFirstSubFeature failed (0x8007000E): "
      u"IFeature.GetFirstSubFeature failed in the simulated host\n",
      errDescription_);

  host_.ClearFaults();
  host_.FailCall("IFeature.Description#4");
  EXPECT_EQ(S_FALSE, Export(u"Feature"));
  EXPECT_EQ(
      u"CSldToDb::ExportFeature() error: IFeature.Description failed (0x80004005): "
      u"IFeature.Description failed in the simulated host\n",
      errDescription_);
  EXPECT_TRUE(Tables().empty());

  // No document any more when the table export asks for it.
  host_.ClearFaults();
  host_.EmptyCall("ISldWorks.ActiveDoc#2");
  EXPECT_EQ(S_FALSE, Export(u"Feature"));
  EXPECT_EQ(u"CSldToDb::GetFeatures() error: error: invalid docType\n", errDescription_);
}

}  // namespace
}  // namespace export_test
