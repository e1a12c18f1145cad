// The add-in's listeners on the host's documents, seen from the host: which
// documents carry the add-in's sink.
#include <gtest/gtest.h>

#include "tests/addin/addin_fixture.h"

namespace addin_test {
namespace {

namespace doc_event = published::doc_event;

class SwDocumentTest : public AddinTest {
 protected:
  // Raises an assembly event on the gearbox.
  HRESULT OnGearbox(DISPID dispid, const std::vector<sim::EventArg>& args) {
    std::vector<HRESULT> results = host_.FireDocumentEvent(Sample("Gearbox.SLDASM"), dispid, args);
    return results.size() == 1 ? results[0] : E_UNEXPECTED;
  }
  void Detach(const char* sample) {
    host_.FireDocumentEvent(Sample(sample), doc_event::kDestroyNotify);
    EXPECT_EQ(0u, SinksOn(sample)) << sample;
  }
};

TEST_F(SwDocumentTest, DocumentsOpenAtConnectionAreAttached) {
  host_.Open(Sample("Gearbox.SLDASM"));
  host_.Open(Sample("Gearbox.SLDDRW"));
  Connect();
  for (const char* sample : {"Gearbox.SLDASM", "Gearbox.SLDDRW", "Housing.SLDPRT", "Shaft.SLDPRT",
                             "BearingSet.SLDASM", "Bearing.SLDPRT"}) {
    EXPECT_EQ(1u, SinksOn(sample)) << sample;
  }
  // A file the host opens later gets no sink from the application events.
  host_.Close(Sample("Gearbox.SLDDRW"));
  host_.Open(Sample("Gearbox.SLDDRW"));
  EXPECT_EQ(0u, SinksOn("Gearbox.SLDDRW"));
}

TEST_F(SwDocumentTest, AssemblyEventsAttachNewDocumentsOnce) {
  host_.Open(Sample("Gearbox.SLDASM"));
  Connect();
  Detach("Shaft.SLDPRT");
  Detach("Housing.SLDPRT");
  Detach("Bearing.SLDPRT");
  EXPECT_EQ(1u, SinksOn("Gearbox.SLDASM"));

  // Event 25 (component, name, old state, new state) passes a component,
  // which is no document: nothing is attached, whatever the state.
  ComPtr<IDispatch> shaftComponent =
      host_.Component(Sample("Gearbox.SLDASM"), u"Default", u"Shaft-1");
  ASSERT_TRUE(shaftComponent);
  EXPECT_EQ(S_OK, OnGearbox(doc_event::kComponentStateChangeNotify2,
                            {shaftComponent, std::u16string(u"Shaft-1"), SHORT{1}, SHORT{2}}));
  EXPECT_EQ(0u, SinksOn("Shaft.SLDPRT"));

  // Event 22 (document, old state, new state; the states are shorts): states
  // 2 and 3 attach.
  ComPtr<IDispatch> shaft = host_.Document(Sample("Shaft.SLDPRT"));
  EXPECT_EQ(S_OK, OnGearbox(doc_event::kComponentStateChangeNotify, {shaft, SHORT{2}, SHORT{1}}));
  EXPECT_EQ(0u, SinksOn("Shaft.SLDPRT"));
  EXPECT_EQ(S_OK, OnGearbox(doc_event::kComponentStateChangeNotify, {shaft, SHORT{1}, SHORT{2}}));
  EXPECT_EQ(1u, SinksOn("Shaft.SLDPRT"));
  EXPECT_EQ(S_OK, OnGearbox(doc_event::kComponentStateChangeNotify, {shaft, SHORT{2}, SHORT{3}}));
  EXPECT_EQ(1u, SinksOn("Shaft.SLDPRT"));
  ComPtr<IDispatch> bearing = host_.Document(Sample("Bearing.SLDPRT"));
  EXPECT_EQ(S_OK, OnGearbox(doc_event::kComponentStateChangeNotify, {bearing, SHORT{3}, SHORT{4}}));
  EXPECT_EQ(0u, SinksOn("Bearing.SLDPRT"));
  EXPECT_EQ(S_OK, OnGearbox(doc_event::kComponentStateChangeNotify, {bearing, SHORT{1}, SHORT{3}}));
  EXPECT_EQ(1u, SinksOn("Bearing.SLDPRT"));
  // Without a document nothing happens.
  EXPECT_EQ(S_OK, OnGearbox(doc_event::kComponentStateChangeNotify,
                            {ComPtr<IDispatch>(), SHORT{1}, SHORT{3}}));

  // Events 46 and 47 (component): the component's model document.
  ComPtr<IDispatch> housing = host_.Component(Sample("Gearbox.SLDASM"), u"Default", u"Housing-1");
  ASSERT_TRUE(housing);
  EXPECT_EQ(S_OK, OnGearbox(doc_event::kComponentVisualPropertiesChangeNotify, {housing}));
  EXPECT_EQ(1u, SinksOn("Housing.SLDPRT"));
  EXPECT_EQ(S_OK, OnGearbox(doc_event::kComponentDisplayStateChangeNotify, {housing}));
  EXPECT_EQ(1u, SinksOn("Housing.SLDPRT"));
  Detach("Housing.SLDPRT");
  EXPECT_EQ(S_OK, OnGearbox(doc_event::kComponentDisplayStateChangeNotify, {housing}));
  EXPECT_EQ(1u, SinksOn("Housing.SLDPRT"));
  EXPECT_EQ(S_OK,
            OnGearbox(doc_event::kComponentVisualPropertiesChangeNotify, {ComPtr<IDispatch>()}));

  // The selection and save events do nothing.
  EXPECT_EQ(S_OK, OnGearbox(doc_event::kNewSelectionNotify, {}));
  EXPECT_EQ(S_OK, OnGearbox(doc_event::kFileSaveNotify, {std::u16string(u"/x")}));
}

TEST_F(SwDocumentTest, DestroyEventDetachesExactlyThatDocument) {
  host_.Open(Sample("Gearbox.SLDDRW"));
  host_.Open(Sample("Shaft.SLDPRT"));
  long objects = host_.LiveObjects();
  Connect();
  size_t attached = 0;
  for (const std::filesystem::path& path : host_.OpenDocuments()) {
    attached += host_.DocumentSinkCount(path);
  }
  EXPECT_EQ(host_.OpenDocuments().size(), attached);

  EXPECT_EQ((std::vector<HRESULT>{S_OK}),
            host_.FireDocumentEvent(Sample("Gearbox.SLDDRW"), doc_event::kDestroyNotify));
  EXPECT_EQ(0u, SinksOn("Gearbox.SLDDRW"));
  size_t left = 0;
  for (const std::filesystem::path& path : host_.OpenDocuments()) {
    left += host_.DocumentSinkCount(path);
  }
  EXPECT_EQ(attached - 1, left);

  // Closing the drawing closes the documents it alone used, raising their
  // destroy events: their sinks go with them.
  host_.Close(Sample("Gearbox.SLDDRW"));
  EXPECT_EQ((std::vector<std::filesystem::path>{Sample("Shaft.SLDPRT")}), host_.OpenDocuments());
  EXPECT_EQ(1u, SinksOn("Shaft.SLDPRT"));
  VARIANT_BOOL disconnected = VARIANT_FALSE;
  EXPECT_EQ(kNotImplemented, DisconnectAndRelease(&disconnected));
  EXPECT_EQ(VARIANT_TRUE, disconnected);
  EXPECT_EQ(objects, host_.LiveObjects());
  EXPECT_EQ(S_OK, loader_.CanUnloadNow());
}

TEST_F(SwDocumentTest, ADocumentThatCannotBeAdvisedEndsTheWalk) {
  host_.Open(Sample("Gearbox.SLDASM"));
  // The first advise is the application's; the third document fails.
  host_.FailCall("IConnectionPoint.Advise#4");
  long objects = host_.LiveObjects();
  Connect();
  std::vector<std::filesystem::path> open = host_.OpenDocuments();
  ASSERT_EQ(5u, open.size());
  EXPECT_EQ(1u, host_.DocumentSinkCount(open[0]));
  EXPECT_EQ(1u, host_.DocumentSinkCount(open[1]));
  for (size_t i = 2; i < open.size(); ++i) EXPECT_EQ(0u, host_.DocumentSinkCount(open[i])) << i;
  EXPECT_EQ(kNotImplemented, DisconnectAndRelease());
  EXPECT_EQ(objects, host_.LiveObjects());
  EXPECT_EQ(S_OK, loader_.CanUnloadNow());
}

}  // namespace
}  // namespace addin_test
