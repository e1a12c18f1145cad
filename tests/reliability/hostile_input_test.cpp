// Hostile texts from the host or the caller, table and column names, and
// dictionaries with entities: nothing crashes or hangs, nothing is read that
// the input did not name, no text changes a statement, every text arrives exactly.
#include <sqlite3.h>

#include <algorithm>
#include <chrono>

#include "sim/model.h"
#include "tests/reliability/table_run.h"

namespace reliability {
namespace {

using namespace std::string_literals;

const std::u16string kMegabyte(1 << 20, u'x');

// The hostile texts; every one of them goes through every text field.
const std::vector<std::u16string> kTexts = {
    u"it's \"quoted\" ''twice''"s,   u"C:\\dir\\sub\\"s, u"100% %d %s %n %x %%"s,
    u"%s%s%s%s%n%n%99999999s%ls%S"s, u"nul\0inside"s,    u"'); drop table DADU_3_Feature; --"s,
    u"x' || (select 1) || '"s,       u"🔩⚙😀 emoji"s,      u"螺栓与齿轮箱"s,
    u"\t\r\n line breaks"s};
const std::u16string& kNul = kTexts[4];

// A JSON string literal of a text.
std::string Json(std::u16string_view text) {
  std::string out = "\"";
  for (unsigned char c : Utf8(text)) {
    char escape[8];
    const bool quote = c == '"' || c == '\\';
    std::snprintf(escape, sizeof escape, c < 0x20 ? "\\u%04x" : quote ? "\\%c" : "%c", c);
    out += escape;
  }
  return out + "\"";
}

std::u16string Suffix(std::u16string text, size_t i) {
  return text + u" #" + platform::Utf8ToUtf16(std::to_string(i));
}

// A part whose every text is hostile: features, configurations with
// parameters and properties, document properties, equations.
std::string HostilePart() {
  std::string features, configurations, properties;
  for (size_t i = 0; i < kTexts.size(); ++i) {
    const std::string name = Json(Suffix(kTexts[i], i)), text = Json(kTexts[i]),
                      other = Json(kTexts[(i + 1) % kTexts.size()]),
                      otherName = Json(Suffix(kTexts[(i + 1) % kTexts.size()], i));
    features += R"({"name": )" + name + R"(, "typeName": )" + other + R"(, "description": )" +
                text + R"(, "createdBy": )" + other + R"(, "dateCreated": )" + text + "},";
    configurations += R"({"name": )" + name + R"(, "comment": )" + text + R"(, "description": )" +
                      other + R"(, "alternateName": )" + text +
                      R"(, "bomPartNumberSource": 8, "parameters": [{"name": )" + otherName +
                      R"(, "value": )" + text + R"(}], "properties": [{"name": )" + name +
                      R"(, "value": )" + other + "}]},";
    properties += R"({"name": )" + otherName + R"(, "value": )" + text + "},";
  }
  configurations.pop_back();
  // One feature and one property carry a megabyte.
  return R"({"type": "part", "title": )" + Json(u"标题 it's %s") + R"(, "features": [)" + features +
         R"({"name": "Long", "typeName": "x", "description": )" + Json(kMegabyte) +
         R"(}], "configurations": [)" + configurations + R"(], "properties": [)" + properties +
         R"({"name": "Long", "value": )" + Json(kMegabyte) + R"(}], "equations": [{"text": )" +
         Json(u"\"it's %s 😀\" = 5") + R"(, "value": 5}]})";
}

// Runs a statement with texts bound; answers its first column's texts, whole
// (zero characters included), in row order.
std::vector<std::u16string> Query(const std::filesystem::path& db, const std::string& sql,
                                  const std::vector<std::u16string>& binds = {}) {
  std::vector<std::u16string> values;
  sqlite3* handle = nullptr;
  sqlite3_open_v2(db.c_str(), &handle, SQLITE_OPEN_READWRITE, nullptr);
  sqlite3_stmt* statement = nullptr;
  if (sqlite3_prepare_v2(handle, sql.c_str(), -1, &statement, nullptr) != SQLITE_OK) {
    ADD_FAILURE() << sql << ": " << sqlite3_errmsg(handle);
  }
  for (size_t i = 0; i < binds.size(); ++i) {
    sqlite3_bind_text16(statement, static_cast<int>(i + 1), binds[i].data(),
                        static_cast<int>(binds[i].size() * 2), SQLITE_TRANSIENT);
  }
  int step = SQLITE_DONE;
  while (statement && (step = sqlite3_step(statement)) == SQLITE_ROW) {
    const void* text = sqlite3_column_text16(statement, 0);
    values.emplace_back(text ? static_cast<const char16_t*>(text) : u"",
                        static_cast<size_t>(sqlite3_column_bytes16(statement, 0)) / 2);
  }
  EXPECT_EQ(SQLITE_DONE, step) << sql << ": " << sqlite3_errmsg(handle);
  sqlite3_finalize(statement);
  sqlite3_close(handle);
  return values;
}

std::vector<std::u16string> Column(const std::filesystem::path& db, const std::string& table,
                                   const std::string& column) {
  return Query(db, "select " + column + " from \"" + table + "\" order by rowid");
}

class HostileInputTest : public TableTest {
 protected:
  // The log is written: hostile texts go through its formatting too.
  HostileInputTest() { std::filesystem::create_directories(dir_.path() / "drive_c" / "1"); }
  // The sample dictionary with more tables.
  static std::string WithTabs(const std::string& tabs) {
    std::string xml = testing_support::ReadFile(Sample("dictionary.xml"));
    return xml.insert(xml.find("</tabs>"), tabs);
  }
  std::filesystem::path Write(const std::string& name, const std::string& content) {
    testing_support::WriteFile(dir_ / name, content);
    return dir_ / name;
  }
};

TEST_F(HostileInputTest, HostTextsReachTheDatabaseAndComeBackExactly) {
  const std::filesystem::path part = Write("Hostile.SLDPRT", HostilePart());
  host_.Open(part);
  const std::u16string db = Db("hostile.db");
  ASSERT_EQ(S_OK, Export(u"Feature,Dimension,Parameter,Equation,Config,property", db))
      << Utf8(run_.errDescription);

  // Every text is stored as the host gave it; no statement was changed (all
  // tables there, one row per item).
  EXPECT_EQ((std::vector<std::string>{"DADU_3_Config", "DADU_3_Dimension", "DADU_3_Equation",
                                      "DADU_3_Feature", "DADU_3_Parameter", "DADU_3_property"}),
            ReadDatabase(db).tables);
  const std::vector<std::u16string> names = Column(db, "DADU_3_Feature", "featName"),
                                    descriptions = Column(db, "DADU_3_Feature", "description"),
                                    creators = Column(db, "DADU_3_Feature", "createdBy"),
                                    comments = Column(db, "DADU_3_Config", "comment");
  ASSERT_EQ(kTexts.size() + 1, names.size());
  ASSERT_EQ(kTexts.size(), comments.size());
  for (size_t i = 0; i < kTexts.size(); ++i) {
    SCOPED_TRACE(Utf8(kTexts[i]));
    EXPECT_EQ(Suffix(kTexts[i], i), names[i]);
    EXPECT_EQ(kTexts[i], descriptions[i]);
    EXPECT_EQ(kTexts[(i + 1) % kTexts.size()], creators[i]);
    EXPECT_EQ(kTexts[i], comments[i]);
  }
  EXPECT_EQ(kMegabyte, descriptions.back());
  const std::vector<std::u16string> values = Column(db, "DADU_3_property", "propertyValue");
  EXPECT_EQ(1u, std::count(values.begin(), values.end(), kMegabyte));
  // Once among the configurations' properties, once among the document's.
  EXPECT_EQ(2u, std::count(values.begin(), values.end(), kNul));
  EXPECT_EQ((std::vector<std::u16string>{u"\"it's %s 😀\" = 5"}),
            Column(db, "DADU_3_Equation", "equation"));

  // The caller flags the rows with texts just as hostile; the import writes
  // them to the model exactly.
  for (size_t i = 0; i < kTexts.size(); ++i) {
    const std::vector<std::u16string> binds{kTexts[(i + 3) % kTexts.size()], Suffix(kTexts[i], i)};
    for (const char* sql :
         {"update DADU_3_Feature set description=?1, DADU_flag=2 where featName=?2",
          "update DADU_3_Config set comment=?1, DADU_flag=2 where configName=?2",
          "update DADU_3_property set propertyValue=?1, DADU_flag=2 where propertyName=?2 and "
          "configName=?2"}) {
      Query(db, sql, binds);
    }
  }
  Query(db, "update DADU_3_Feature set description=?, DADU_flag=2 where featName='Long'",
        {kMegabyte + u"!"});
  ASSERT_EQ(S_OK, Import(u"Feature,Config,Parameter,property", db)) << Utf8(run_.errDescription);
  const sim::ModelData& model = *host_.Model(part);
  for (size_t i = 0; i < kTexts.size(); ++i) {
    SCOPED_TRACE(Utf8(kTexts[i]));
    const std::u16string& next = kTexts[(i + 3) % kTexts.size()];
    EXPECT_EQ(next, model.features[i].fields.description);
    EXPECT_EQ(next, model.configurations[i].comment);
    ASSERT_EQ(1u, model.configurations[i].properties.size());
    EXPECT_EQ(next, model.configurations[i].properties[0].value);
    ASSERT_EQ(1u, model.configurations[i].parameters.size());
    EXPECT_EQ(kTexts[i], model.configurations[i].parameters[0].value);
  }
  EXPECT_EQ(kMegabyte + u"!", model.features.back().fields.description);
}

TEST_F(HostileInputTest, TableNamesCannotReachOtherTablesOrStatements) {
  host_.Open(Sample("Housing.SLDPRT"));
  const std::u16string db = Db("names.db");
  for (const std::u16string& list :
       {u"Feature' or '1'='1"s, u"Feature'] | //tab[@name='Config"s,
        u"Feature'); drop table x; --"s, u"x' or name()='tab"s, u"\"Feature\""s, u" Feature"s,
        u"Feature "s, u"Fea ture"s, u"feature"s, u"%s%n%x"s, u"Feature\0Dimension"s,
        u"Feature,,Dimension"s, std::u16string(100000, u'F'), u"😀"s}) {
    SCOPED_TRACE(Utf8(list).substr(0, 60));
    EXPECT_EQ(S_FALSE, Export(list, db));
    EXPECT_EQ(-1, run_.errNumber);
    EXPECT_EQ(u"CSldToDb::CreateTable():tabNode is nothing", run_.errDescription);
    EXPECT_TRUE(ReadDatabase(db).tables.empty());
    // The import knows its table names; anything else names nothing. (The
    // list with an empty name also names Feature, whose table is missing.)
    if (list != u"Feature,,Dimension") {
      EXPECT_EQ(S_OK, Import(list, db)) << Utf8(run_.errDescription);
    }
  }

  // Names with blanks, semicolons, double quotes and SQL stay one quoted
  // name, when the dictionary has a table of exactly that name.
  ASSERT_TRUE(SetDictionary(
      WithTabs("<tab name='a b; drop table DADU_3_Feature; --'><f><fld name='c' dt='1'/></f></tab>"
               "<tab name='q\"uote'><f><fld name='c'/></f></tab>"
               "<tab name='表'><f><fld name='名称'/></f></tab>")));
  EXPECT_EQ(S_OK, Export(u"Feature,a b; drop table DADU_3_Feature; --,q\"uote,表", db))
      << Utf8(run_.errDescription);
  EXPECT_EQ((std::vector<std::string>{"DADU_3_Feature", "DADU_3_a b; drop table DADU_3_Feature; --",
                                      "DADU_3_表", "DADU_3_q\"uote"}),
            ReadDatabase(db).tables);
  EXPECT_GT(Column(db, "DADU_3_Feature", "featName").size(), 5u);
}

TEST_F(HostileInputTest, DictionaryColumnNamesCannotAddToTheStatement) {
  host_.Open(Sample("Housing.SLDPRT"));
  const std::u16string db = Db("columns.db");
  for (const std::string column :
       {"a Text); drop table DADU_3_Config; --", "a Text, b Text", "a default (1)",
        "&quot;quoted&quot;", "'quoted'", "[bracketed]", "a/*comment*/", "a--", "a;b", "1abc", "",
        "%s%n", "a&#0;b", "a&#10;b"}) {
    SCOPED_TRACE(column);
    if (!SetDictionary(WithTabs("<tab name='Odd'><f><fld name='c'/><fld name=\"" + column +
                                "\"/></f></tab>"))) {
      continue;  // not even XML: nothing to create
    }
    EXPECT_EQ(S_FALSE, Export(u"Config,Odd", db));
    EXPECT_EQ(-1, run_.errNumber);
    EXPECT_EQ(0u, run_.errDescription.find(u"CSldToDb::CreateTable() error: the column name ["))
        << Utf8(run_.errDescription);
    EXPECT_NE(std::u16string::npos, run_.errDescription.find(u"is not a plain SQL name"));
    EXPECT_TRUE(ReadDatabase(db).tables.empty());
  }

  // Names of letters in any script, digits, "_" and "$" are plain names.
  SetDictionary(WithTabs("<tab name='Odd'><f><fld name='名称_1$'/><fld name='_x9'/></f></tab>"));
  EXPECT_EQ(S_OK, Export(u"Odd", db)) << Utf8(run_.errDescription);
  EXPECT_EQ((std::vector<std::string>{"DADU_3_Odd"}), ReadDatabase(db).tables);
}

TEST_F(HostileInputTest, DictionaryEntitiesAndExternalReferencesAreNotFollowed) {
  host_.Open(Sample("Housing.SLDPRT"));
  const std::string uri = "file://" + Write("secret.txt", "SECRETCOLUMN").string();
  const std::u16string db = Db("entities.db");
  // A dictionary of a Feature table: the declarations, then the table.
  auto dd = [](const std::string& doctype, const std::string& table, const std::string& field) {
    return doctype + "<dd><tabs><tab name='" + table + "'><f><fld name='featName'/>" + field +
           "</f></tab></tabs></dd>";
  };
  // Entities that expand to gigabytes: each ten times the one before.
  std::string laughs = "<!DOCTYPE dd [<!ENTITY a 'aaaaaaaaaa'>";
  for (char entity = 'b'; entity <= 'i'; ++entity) {
    laughs += std::string("<!ENTITY ") + entity + " '";
    for (int i = 0; i < 10; ++i) laughs += std::string("&") + char(entity - 1) + ";";
    laughs += "'>";
  }
  const std::string dictionaries[] = {
      // An external entity in a column name and in a table name.
      dd("<!DOCTYPE dd [<!ENTITY s SYSTEM '" + uri + "'>]>", "Feature", "<fld name='&s;'/>"),
      dd("<!DOCTYPE dd [<!ENTITY s SYSTEM '" + uri + "'>]>", "&s;", ""),
      // An external DTD and parameter entities, by file and by network.
      dd("<!DOCTYPE dd SYSTEM '" + uri + "'>", "Feature", ""),
      dd("<!DOCTYPE dd [<!ENTITY % p SYSTEM '" + uri + "'> %p;]>", "Feature", ""),
      dd("<!DOCTYPE dd SYSTEM 'http://127.0.0.1:9/dd.dtd'>", "Feature", ""),
      dd(laughs + "]>", "Feature", "<fld name='&i;'/>")};
  for (const std::string& xml : dictionaries) {
    SCOPED_TRACE(xml.substr(0, 90));
    const auto start = std::chrono::steady_clock::now();
    SetDictionary(xml);
    const HRESULT hr = Export(u"Feature", db);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(20));
    EXPECT_EQ(std::u16string::npos, run_.errDescription.find(u"SECRET"));
    for (const std::string& table : ReadDatabase(db).tables) {
      EXPECT_EQ(std::string::npos, table.find("SECRET"));
    }
    // Only what the dictionary itself says: the feature names.
    for (const std::u16string& name :
         hr == S_OK ? Column(db, "DADU_3_Feature", "featName") : std::vector<std::u16string>{}) {
      EXPECT_EQ(std::u16string::npos, name.find(u"SECRET"));
    }
  }
}

TEST_F(HostileInputTest, CallerPathsAreTakenExactlyOrRefused) {
  host_.Open(Sample("Gearbox.SLDASM"));
  for (const std::u16string name :
       {u"it's %s %n \"q\".db", u"数据库 😀.db", u"back\\slash.db", u"semi;colon --.db"}) {
    SCOPED_TRACE(Utf8(name));
    const std::u16string db = (dir_.path() / std::filesystem::path(name)).u16string();
    EXPECT_EQ(S_OK, Export(u"Feature", db)) << Utf8(run_.errDescription);
    EXPECT_EQ(std::vector<std::string>{"DADU_3_Feature"}, ReadDatabase(db).tables);
    EXPECT_EQ(S_OK, Import(u"Feature", db)) << Utf8(run_.errDescription);
  }

  // A zero character would make the file system read a shorter name: the
  // export and the import refuse it, and no file appears under that name.
  const std::u16string truncated = Db("cut.db"), withZero = truncated + u"\0.other"s;
  EXPECT_EQ(Dovbase::E_HARBOLT_EXCEPTION, Export(u"Feature", withZero));
  EXPECT_EQ(u"The database file name holds a zero character.\n", run_.comError);
  EXPECT_FALSE(std::filesystem::exists(truncated));
  EXPECT_EQ(S_OK, Export(u"Feature", truncated));
  EXPECT_EQ(S_FALSE, Import(u"Feature", withZero));
  EXPECT_EQ(u"Unexpected error.\n", run_.errDescription);

  // A path of a megabyte cannot be opened.
  EXPECT_EQ(Dovbase::E_HARBOLT_EXCEPTION, Export(u"Feature", std::u16string(1 << 20, u'p')));
  EXPECT_EQ(S_FALSE, Import(u"Feature", std::u16string(1 << 20, u'p')));
}

TEST_F(HostileInputTest, PreviewFilesStayInsideTheWorkDirectory) {
  // Component names from the host that look like paths, drives and wildcards.
  Write("P.SLDPRT", R"({"type": "part"})");
  std::string components;
  for (const char16_t* name : {u"..\\..\\..\\escape-1", u"..-1", u"c:\\x-1", u"a*b?c\"d<e>f|g-1",
                               u"%s%n-1", u"名前 😀-1", u"tab\tbreak\n-1"}) {
    components += (components.empty() ? "" : ",") + std::string(R"({"name": )") + Json(name) +
                  R"(, "file": "P.SLDPRT"})";
  }
  host_.Open(Write("Top.SLDASM", R"({"type": "assembly", "configurations": [{"name": "Default",
                                    "components": [)" +
                                     components + "]}]}"));
  const std::filesystem::path work = dir_ / "work" / "inner";
  std::filesystem::create_directories(work);
  for (const std::u16string& workDir :
       {work.u16string(), work.u16string() + u"/", u"/nonexistent\0x"s}) {
    const std::u16string db = Db("preview.db");
    ASSERT_EQ(S_OK, Export(u"Componen", db, workDir)) << Utf8(run_.errDescription);
    for (const std::u16string& preview : Column(db, "DADU_3_Componen", "previewBitmap")) {
      if (preview.empty()) continue;
      const std::filesystem::path file(preview);
      EXPECT_EQ(work, file.parent_path()) << Utf8(preview);
      EXPECT_TRUE(std::filesystem::exists(file)) << Utf8(preview);
      // One plain file name, on any file system: no separator, drive colon,
      // wildcard or control character.
      for (char16_t c : file.filename().u16string()) {
        EXPECT_TRUE(c >= 0x20 &&
                    std::u16string_view(u"\\/:*?\"<>|").find(c) == std::u16string::npos)
            << Utf8(preview);
      }
    }
  }
  // Nothing was written beside the work directory.
  for (const auto& entry : std::filesystem::recursive_directory_iterator(dir_.path())) {
    EXPECT_TRUE(entry.path().extension() != ".bmp" || entry.path().parent_path() == work)
        << entry.path();
  }
}

TEST_F(HostileInputTest, HostileRevisionTextsAreJustNumbers) {
  host_.Open(Sample("Housing.SLDPRT"));
  for (const std::u16string& revision : {u"%s%n%s%n"s, std::u16string(1 << 20, u'9'), u"20.3\0.9"s,
                                         u"..."s, u"1e999999"s, u"-nan"s, u"😀.😀.😀"s}) {
    host_.SetRevision(revision);
    EXPECT_EQ(S_OK, Export(u"Feature,Config", Db("revision.db"))) << Utf8(run_.errDescription);
  }
}

}  // namespace
}  // namespace reliability
