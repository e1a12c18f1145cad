// The tables made from the data dictionary: stored CREATE TABLE texts, an existing one emptied.
#include <gtest/gtest.h>

#include "db/db_connection.h"
#include "export/sld_to_db.h"
#include "tests/export/export_test_support.h"

namespace export_test {
namespace {

std::string Dictionary(const std::string& tabName, const std::string& fields) {
  return "<dd><tabs><tab name='" + tabName + "'><flds>" + fields + "</flds></tab></tabs></dd>";
}

class TableCreationTest : public ExportTest {
 protected:
  TableCreationTest() {
    Open("Housing.SLDPRT");
    connection_.open(db_.u16string());
  }
  bool Create(const std::u16string& name) {
    ComPtr<IHostApplication> application = testing_support::BoundApplication(host_);
    CSldToDb exporter(application.Get(), &connection_, dictionary_, u"");
    bool created = exporter.CreateTable(name);
    errNumber_ = exporter.errNumber();
    errDescription_ = exporter.errDescription();
    return created;
  }
  DbConnection connection_;
};

TEST_F(TableCreationTest, DataTypeCodesAndPrimaryKeyMarks) {
  SetDictionary(
      Dictionary("T",
                 "<fld name='i1' dt='1'/><fld name='i2' dt='2'/><fld name='i6' dt='6'/>"
                 "<fld name='r3' dt='3'/><fld name='r39' dt='3.9'/><fld name='t4' dt='4'/>"
                 "<fld name='t5' dt='5'/><fld name='t7' dt='7'/><fld name='t0' dt='0'/>"
                 "<fld name='tn'/><fld name='tx' dt='abc'/><fld name='blank' dt=' +2'/>"
                 "<fld name='big' dt='99999999999'/>"));
  ASSERT_TRUE(Create(u"T"));
  EXPECT_EQ(0, errNumber_);
  EXPECT_EQ(
      "CREATE TABLE 'DADU_3_T' (i1 Integer,i2 Integer,i6 Integer,r3 Real,r39 Real,t4 Text,"
      "t5 Text,t7 Text,t0 Text,tn Text,tx Text,blank Integer,big Text,DADU_flag Integer)",
      CreateSql(u"DADU_3_T"));
  const char* keys[][2] = {{"1", " primary key not null"},
                           {"-1", " primary key not null"},
                           {"2", " primary key not null"},
                           {"0", ""},
                           {"", ""},
                           {"yes", ""}};
  for (auto& [isPK, key] : keys) {
    SetDictionary(Dictionary("K", std::string("<fld name='k' isPK='") + isPK + "'/>"));
    ASSERT_TRUE(Create(u"K")) << isPK;
    EXPECT_EQ(std::string("CREATE TABLE 'DADU_3_K' (k Text") + key + ",DADU_flag Integer)",
              CreateSql(u"DADU_3_K"))
        << isPK;
    connection_.execute(u"drop table DADU_3_K");
  }
}

TEST_F(TableCreationTest, OnlyFldChildrenOfTheFirstFieldListCount) {
  SetDictionary(
      "<dd><tabs>"
      "<tab name='T'><flds><fld name='a'/><!-- note --> text <Fld name='b'/><field name='c'/>"
      "<x:fld xmlns:x='urn:x' name='d'/><fld name='e' dt='1'/></flds><flds><fld name='f'/></flds>"
      "</tab>"
      "<tab name='T'><flds><fld name='second'/></flds></tab>"
      "<tab name='Empty'/>"
      "</tabs></dd>");
  ASSERT_TRUE(Create(u"T"));
  EXPECT_EQ("CREATE TABLE 'DADU_3_T' (a Text,d Text,e Integer,DADU_flag Integer)",
            CreateSql(u"DADU_3_T"));
  ASSERT_TRUE(Create(u"Empty"));
  EXPECT_EQ("CREATE TABLE 'DADU_3_Empty' (DADU_flag Integer)", CreateSql(u"DADU_3_Empty"));
}

TEST_F(TableCreationTest, AnExistingTableIsKeptAndEmptied) {
  connection_.execute(u"create table 'DADU_3_T' (old Text,DADU_flag Integer)");
  connection_.execute(u"insert into DADU_3_T values ('stale',2)");
  SetDictionary(Dictionary("T", "<fld name='new'/>"));
  ASSERT_TRUE(Create(u"T"));
  EXPECT_EQ("CREATE TABLE 'DADU_3_T' (old Text,DADU_flag Integer)", CreateSql(u"DADU_3_T"));
  EXPECT_TRUE(Lines("DADU_3_T").empty());
}

TEST_F(TableCreationTest, Failures) {
  // No tab of exactly that name (case, blanks, a quote that breaks the lookup).
  SetDictionary(Dictionary("feature", "<fld name='a'/>"));
  for (const char16_t* name : {u"Feature", u" feature", u"", u"feature'"}) {
    errNumber_ = 0;
    EXPECT_FALSE(Create(name));
    EXPECT_EQ(-1, errNumber_);
    EXPECT_EQ(u"CSldToDb::CreateTable():tabNode is nothing", errDescription_);
  }
}

}  // namespace
}  // namespace export_test
