// SetDD with table creation: a data dictionary from the caller, parsed as
// SetDD parses it, then an export of every table it defines (and of the
// seven logical tables) into an in-memory database: CREATE TABLE texts from
// its columns, then rows written against them.
#include <filesystem>
#include <string>
#include <string_view>

#include "common/kvx_xml.h"
#include "db/db_connection.h"
#include "db/db_exception.h"
#include "export/sld_to_db.h"
#include "fuzz/fuzz_target.h"
#include "host/published/binding.h"
#include "platform/text.h"
#include "sim/sim_host.h"

HARBOLT_FUZZ_TARGET(set_dd) {
  const std::u16string text =
      platform::Utf8ToUtf16(std::string_view(reinterpret_cast<const char*>(data), size));
  Dovbase::XmlDocument dictionary;
  dictionary.parse(text);

  // The tables the dictionary defines, then the logical ones.
  std::u16string tables;
  for (Dovbase::XmlElement tab = dictionary.selectFirst(u"/dd/tabs/tab");
       !tab.isEmpty() && tables.size() < 4096; tab = tab.nextSibling()) {
    if (tab.name() != u"tab") continue;
    if (!tables.empty()) tables += u',';
    tables += tab.attribute(u"name");
  }

  sim::SimHost host;
  host.SetRecording(false);  // the journal would grow with every input
  host.Open(std::filesystem::path(HARBOLT_SAMPLE_DIR) / "Housing.SLDPRT");
  const long references = host.References();
  {
    DbConnection db(0);
    db.open(u":memory:");
    db.execute(u"begin transaction");
    ComPtr<IHostApplication> application = published::BindApplication(host.Application().Get());
    for (const std::u16string& list :
         {tables, std::u16string(u"Feature,Dimension,Parameter,Equation,Config,property")}) {
      CSldToDb exporter(application.Get(), &db, dictionary, u"");
      const bool exported = exporter.Export(list);
      fuzz::FuzzCheck(!fuzz::ShowsRuntimeFault(exporter.errDescription()),
                      "a run-time fault during the export");
      fuzz::FuzzCheck(exported || exporter.errNumber() != 0 || !dictionary.isParsed(),
                      "a failed export without an error number");
    }
    try {
      db.execute(u"rollback transaction");
    } catch (const DbException&) {
      // The export's own failure may have ended the transaction.
    }
  }
  fuzz::FuzzCheck(host.References() == references, "host references left by the export");
  return 0;
}
