// The add-in object's own state, which a caller cannot see through IDispatch.
#include <gtest/gtest.h>

#include "addin/harbolt.h"
#include "host/published/published_ids.h"
#include "platform/bstr.h"
#include "sim/sim_host.h"
#include "tests/support/bound_host.h"

namespace {

TEST(HarboltCoreTest, SetDdKeepsTheDictionaryUntilDisconnect) {
  ComPtr<CHarbolt> addin = MakeComObject<CHarbolt, CHarbolt>();
  ScopedBstr good(u"<dd><table name='Feature'/></dd>");
  ScopedBstr bad(u"<dd>");
  EXPECT_EQ(S_OK, addin->SetDD(good.Get()));
  EXPECT_TRUE(addin->dataDictionary().isParsed());
  EXPECT_EQ(u"Feature", addin->dataDictionary().selectFirst(u"/dd/table").attribute(u"name"));

  // A text that does not parse leaves no dictionary, even after a good one,
  // and the document remembers the failure for the export.
  EXPECT_EQ(E_INVALIDARG, addin->SetDD(bad.Get()));
  EXPECT_FALSE(addin->dataDictionary().isParsed());
  EXPECT_EQ(1, addin->dataDictionary().errorFlag());
  EXPECT_EQ(u"Document not parsed successfully. \n", addin->dataDictionary().errorText());
  EXPECT_EQ(0, addin->errorNumber());

  EXPECT_EQ(S_OK, addin->SetDD(good.Get()));
  EXPECT_EQ(S_OK, addin->Disconnect());
  EXPECT_FALSE(addin->dataDictionary().isParsed());
}

TEST(HarboltCoreTest, SettersStoreNullTextsAsEmpty) {
  ComPtr<CHarbolt> addin = MakeComObject<CHarbolt, CHarbolt>();
  ScopedBstr dir(u"/tmp/work");
  EXPECT_EQ(S_OK, addin->SetWorkDir(dir.Get()));
  EXPECT_EQ(u"/tmp/work", addin->workDirectory());
  EXPECT_EQ(S_OK, addin->SetWorkDir(nullptr));
  EXPECT_EQ(u"", addin->workDirectory());
  EXPECT_EQ(S_OK, addin->SetCaxHandle(nullptr));
  EXPECT_EQ(u"", addin->caxHandle());

  addin->SetError(-1, u"CHarbolt::CreateMenu():menuNode not exists");
  BSTR description = nullptr;
  EXPECT_EQ(S_OK, addin->get_errDescription(&description));
  EXPECT_EQ(u"CHarbolt::CreateMenu():menuNode not exists", std::u16string(BstrView(description)));
  SysFreeString(description);
  LONG number = 0;
  EXPECT_EQ(S_OK, addin->get_errNumber(&number));
  EXPECT_EQ(-1, number);
}

TEST(HarboltCoreTest, DocumentsAreAttachedOnceAndDetachedByTheirOwnEvent) {
  sim::SimHost host;
  host.Open(std::filesystem::path(HARBOLT_SAMPLE_DIR) / "BearingSet.SLDASM");
  ComPtr<IDispatch> application = host.Application();
  ComPtr<CHarbolt> addin = MakeComObject<CHarbolt, CHarbolt>();
  VARIANT_BOOL connected = VARIANT_FALSE;
  addin->ConnectToSW(application.Get(), 5, &connected);
  // The assembly and its bearing part.
  EXPECT_EQ(2u, addin->documentCount());

  ComPtr<IHostModelDoc> bearing = testing_support::Bound(
      host.Document(std::filesystem::path(HARBOLT_SAMPLE_DIR) / "Bearing.SLDPRT"));
  ComPtr<IUnknown> identity;
  bearing.As(&identity);
  EXPECT_TRUE(addin->HasDocument(identity.Get()));
  EXPECT_EQ(S_OK, addin->AttachDocument(bearing.Get()));  // replaces, never doubles
  EXPECT_EQ(2u, addin->documentCount());
  EXPECT_EQ(1u,
            host.DocumentSinkCount(std::filesystem::path(HARBOLT_SAMPLE_DIR) / "Bearing.SLDPRT"));

  host.FireDocumentEvent(std::filesystem::path(HARBOLT_SAMPLE_DIR) / "Bearing.SLDPRT",
                         published::doc_event::kDestroyNotify);
  EXPECT_FALSE(addin->HasDocument(identity.Get()));
  EXPECT_EQ(1u, addin->documentCount());
  addin->DisconnectFromSW(nullptr);
  EXPECT_EQ(0u, addin->documentCount());
}

TEST(HarboltCoreTest, ConnectingWithoutAHostConnectsAndDoesNothing) {
  ComPtr<CHarbolt> addin = MakeComObject<CHarbolt, CHarbolt>();
  VARIANT_BOOL connected = VARIANT_FALSE;
  EXPECT_EQ(S_OK, addin->ConnectToSW(nullptr, 9, &connected));
  EXPECT_EQ(VARIANT_TRUE, connected);
  EXPECT_EQ(9, addin->cookie());
  EXPECT_FALSE(addin->hostApplication());
  EXPECT_FALSE(addin->applicationSink().advised());
  VARIANT_BOOL disconnected = VARIANT_TRUE;
  EXPECT_EQ(E_NOTIMPL, addin->DisconnectFromSW(&disconnected));
  EXPECT_EQ(VARIANT_FALSE, disconnected);
  LONG status = -1;
  EXPECT_EQ(S_OK, addin->ToolbarEnablePartAsm(&status));
  EXPECT_EQ(0, status);
}

}  // namespace
