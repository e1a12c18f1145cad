// The add-in inside the simulated host, on Windows: the host opens the sample
// assembly, finds the registered add-in through the registry (its add-ins
// key and InprocServer32), loads harbolt.dll, asks it for the host's add-in
// interface by the host's own id and connects it through that interface's
// first method; the add-in's sinks must then sit on the host's application
// and document event interfaces, by their real ids. The caller's part then
// exports every table into a database, flags a changed row, imports it and
// saves the model, all through the simulated host's published face. Run by
// tests/wine/run.sh after regsvr32:
//
//   host_round_trip.exe MODEL_DIR WORK_DIR
//
// MODEL_DIR holds a copy of the sample models, dictionary.xml among them; the
// database and the preview bitmaps go to WORK_DIR. Prints one line per check
// and "N passed, N failed", and exits with the number of failures.
#include <sqlite3.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "host/published/published_ids.h"
#include "loader/addin_loader.h"
#include "platform/text.h"
#include "sim/sim_host.h"
#include "tests/wine/checks.h"
#include "tools/automation/dispatch_call.h"

namespace {

using automation::Arg;
using automation::CallMember;

using wine_checks::Check;

constexpr char16_t kClsid[] = u"{1C227C16-C127-4F54-B26C-EF8F2BA2448D}";
constexpr char16_t kTables[] = u"Feature,Dimension,Equation,Config,Parameter,property,Componen";
constexpr char kEditedDescription[] = "Edited under Wine";

// The host's add-in interface as the host declares it: based on IUnknown,
// connect and disconnect its first two methods after IUnknown's.
struct HostSideAddin : IUnknown {
  virtual HRESULT STDMETHODCALLTYPE ConnectToSW(IDispatch* host, LONG cookie,
                                                VARIANT_BOOL* connected) = 0;
  virtual HRESULT STDMETHODCALLTYPE DisconnectFromSW(VARIANT_BOOL* disconnected) = 0;

 protected:
  ~HostSideAddin() = default;
};
constexpr IID kHostAddinId = platform::GuidLiteral("{DA306A0D-EAC5-4406-8610-B1DA805D9270}");

// The loaded add-in answers the host's id, and its sinks sit on the host's
// event interfaces: one on the application, one on the open assembly, which
// goes when the assembly's destroy event reaches it.
void CheckRealIdentities(sim::SimHost& host, IUnknown* addin, const std::filesystem::path& model) {
  HostSideAddin* asHost = nullptr;
  HRESULT hr = addin->QueryInterface(kHostAddinId, reinterpret_cast<void**>(&asHost));
  Check(hr == S_OK && asHost, "the add-in answers the host's ISwAddin id");
  if (asHost) asHost->Release();
  Check(host.ApplicationSinkCount() == 1, "a sink on the application's DSldWorksEvents");
  Check(host.DocumentSinkCount(model) == 1, "a sink on the assembly's DAssemblyDocEvents");
  host.FireDocumentEvent(model, published::doc_event::kDestroyNotify);
  Check(host.DocumentSinkCount(model) == 0, "the assembly's DestroyNotify reaches the sink");
}

std::u16string Wide(const std::filesystem::path& path) { return path.u16string(); }

std::string ReadFile(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

// The database of the export, opened for the caller's reading and editing.
class Database {
 public:
  explicit Database(const std::filesystem::path& path) {
    if (sqlite3_open(platform::Utf16ToUtf8(Wide(path)).c_str(), &db_) != SQLITE_OK) Close();
  }
  Database(const Database&) = delete;
  Database& operator=(const Database&) = delete;
  ~Database() { Close(); }

  // The number the query's first row starts with; -1 on failure.
  long long Number(const std::string& sql) const {
    sqlite3_stmt* statement = nullptr;
    long long value = -1;
    if (db_ && sqlite3_prepare_v2(db_, sql.c_str(), -1, &statement, nullptr) == SQLITE_OK &&
        sqlite3_step(statement) == SQLITE_ROW) {
      value = sqlite3_column_int64(statement, 0);
    }
    sqlite3_finalize(statement);
    return value;
  }
  bool Execute(const std::string& sql) const {
    return db_ && sqlite3_exec(db_, sql.c_str(), nullptr, nullptr, nullptr) == SQLITE_OK;
  }

 private:
  void Close() {
    if (db_) sqlite3_close(db_);
    db_ = nullptr;
  }

  sqlite3* db_ = nullptr;
};

void Export(IDispatch* addin, const std::filesystem::path& models,
            const std::filesystem::path& work, const std::filesystem::path& database) {
  std::u16string dictionary = platform::Utf8ToUtf16(ReadFile(models / "dictionary.xml"));
  Check(CallMember(addin, u"SetDD", {Arg(dictionary)}) == S_OK, "SetDD with the sample dictionary");
  Check(CallMember(addin, u"SetWorkDir", {Arg(Wide(work))}) == S_OK, "SetWorkDir");
  HRESULT hr = CallMember(addin, u"RefreshTable", {Arg(kTables), Arg(Wide(database))});
  std::printf("     RefreshTable: 0x%08lX\n", static_cast<unsigned long>(hr));
  Check(hr == S_OK, "RefreshTable exports all seven tables");

  Database db(database);
  for (const char* table :
       {"Feature", "Dimension", "Equation", "Config", "Parameter", "property", "Componen"}) {
    long long rows = db.Number(std::string("select count(*) from DADU_3_") + table);
    std::printf("     DADU_3_%s: %lld rows\n", table, rows);
    Check(rows > 0, std::string("DADU_3_") + table + " has rows");
    Check(db.Number(std::string("select count(*) from DADU_3_") + table +
                    " where DADU_flag <> 0") == 0,
          std::string("DADU_3_") + table + ": every flag is 0");
  }
  int bitmaps = 0;
  std::error_code ignored;
  for (const auto& entry : std::filesystem::directory_iterator(work, ignored)) {
    if (entry.path().extension() == ".bmp" && entry.file_size(ignored) > 54) ++bitmaps;
  }
  std::printf("     %d preview bitmaps\n", bitmaps);
  Check(bitmaps > 0, "the component export saved preview bitmaps in the work folder");
}

void ImportAndSave(IDispatch* addin, const std::filesystem::path& models,
                   const std::filesystem::path& database) {
  {
    Database db(database);
    Check(db.Execute(std::string("update DADU_3_Config set description = '") + kEditedDescription +
                     "', DADU_flag = 2 where configName = 'Compact'") &&
              db.Number("select count(*) from DADU_3_Config where DADU_flag = 2") == 1,
          "the caller flags one changed configuration row");
  }
  HRESULT hr = CallMember(addin, u"UpdateTable", {Arg(u"Config"), Arg(Wide(database))});
  std::printf("     UpdateTable: 0x%08lX\n", static_cast<unsigned long>(hr));
  Check(hr == S_OK, "UpdateTable imports the flagged row");
  const std::filesystem::path assembly = models / "Gearbox.SLDASM";
  Check(ReadFile(assembly).find(kEditedDescription) == std::string::npos,
        "the model file is unchanged before saving");
  Check(CallMember(addin, u"SaveFile", {Arg(Wide(assembly))}) == S_OK, "SaveFile");
  Check(ReadFile(assembly).find(kEditedDescription) != std::string::npos,
        "the saved model file holds the imported description");
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: host_round_trip MODEL_DIR WORK_DIR\n");
    return 64;
  }
  const std::filesystem::path models = argv[1];
  const std::filesystem::path work = argv[2];
  const std::filesystem::path database = work / "export.db";
  {
    sim::SimHost host;
    host.SetRecording(false);
    host.Open(models / "Gearbox.SLDASM");
    loader::AddinLoader loader;
    VARIANT_BOOL connected = VARIANT_FALSE;
    HRESULT hr = loader.Load(host.Application().Get(), kClsid, 1, &connected);
    std::printf("     Load: 0x%08lX\n", static_cast<unsigned long>(hr));
    Check(hr == S_OK && connected == VARIANT_TRUE,
          "the host finds harbolt.dll through the registry, loads and connects it");
    if (loader.addin()) {
      CheckRealIdentities(host, loader.addin().Get(), models / "Gearbox.SLDASM");
    }
    ComPtr<IDispatch> addin = loader.Dispatch();
    if (addin) {
      Export(addin.Get(), models, work, database);
      ImportAndSave(addin.Get(), models, database);
    }
    addin = nullptr;
    loader.Unload();
    Check(loader.module() == nullptr, "the host unloads the add-in");
  }
  return wine_checks::Summary();
}
