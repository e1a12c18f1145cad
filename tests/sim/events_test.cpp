// Events on the host's real dispinterfaces: advising by their ids, the
// events the host raises at the moments the real one does, and events a
// test raises with the real "short" states.
#include <gtest/gtest.h>

#include "host/published/published_ids.h"
#include "tests/sim/sim_test_support.h"

namespace sim {
namespace {

namespace doc_event = published::doc_event;
using sim_test::Answer;
using sim_test::Arg;
using sim_test::Recorded;
using Events = std::vector<std::string>;

class EventsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    sim_test::CopySamples(dir_.path());
    host_ = std::make_unique<SimHost>();
    app_ = host_->Application();
    appSink_ = sim_test::Advise(app_.Get(), published::kIidSldWorksEvents);
  }
  std::string Path(const char* name) { return "BSTR:" + (dir_ / name).string(); }

  testing_support::TempDir dir_;
  std::unique_ptr<SimHost> host_;
  ComPtr<IDispatch> app_;
  ComPtr<IDispatch> appSink_;
};

TEST_F(EventsTest, TheApplicationRaisesItsEventsWhenThingsHappen) {
  ComPtr<IDispatch> housing = host_->Open(dir_ / "Housing.SLDPRT");
  ComPtr<IDispatch> sink = sim_test::Advise(housing.Get(), published::kIidPartDocEvents);
  host_->Open(dir_ / "Shaft.SLDPRT");
  host_->Open(dir_ / "Housing.SLDPRT");  // shown already: only activated
  host_->NewDocument(dir_ / "New.SLDASM", published::swDocASSEMBLY);
  Answer(app_.Get(), u"CloseDoc", {Arg(u"Housing.SLDPRT")});
  Answer(app_.Get(), u"CloseDoc", {Arg(u"")});  // the new one, then the shaft is active
  EXPECT_EQ((Events{"13(" + Path("Housing.SLDPRT") + ")", "4()", "5()",
                    "22(" + Path("Housing.SLDPRT") + ")",  // open
                    "13(" + Path("Shaft.SLDPRT") + ")", "4()", "5()",
                    "22(" + Path("Shaft.SLDPRT") + ")",          // open
                    "4()", "5()",                                // activate
                    "4()", "5()", "12(DISPATCH, I4:2, BSTR:)",   // new
                    "32(" + Path("Housing.SLDPRT") + ", I4:0)",  // close
                    "32(" + Path("New.SLDASM") + ", I4:0)", "4()", "5()"}),
            Recorded(appSink_).events);
  EXPECT_EQ(Events{"2()"}, Recorded(sink).events);
  EXPECT_EQ(0u, host_->DocumentSinkCount(dir_ / "Housing.SLDPRT"));
}

TEST_F(EventsTest, DocumentsRaiseTheirEventsOnTheirOwnInterface) {
  struct Case {
    const char* file;
    const IID& iid;
    const IID& other;
  } cases[] = {
      {"Housing.SLDPRT", published::kIidPartDocEvents, published::kIidAssemblyDocEvents},
      {"Gearbox.SLDASM", published::kIidAssemblyDocEvents, published::kIidDrawingDocEvents},
      {"Gearbox.SLDDRW", published::kIidDrawingDocEvents, published::kIidPartDocEvents}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.file);
    ComPtr<IDispatch> document = host_->Open(dir_ / c.file);
    EXPECT_FALSE(sim_test::Advise(document.Get(), c.other));
    ComPtr<IDispatch> sink = sim_test::Advise(document.Get(), c.iid);
    ASSERT_TRUE(sink);
    Answer(sim_test::Object(document.Get(), u"FirstFeature").Get(), u"Select2", {Arg(0), Arg(0)});
    LONG errors = 0;
    Answer(document.Get(), u"Save3", {Arg(1), Arg::LongRef(&errors), Arg::LongRef(&errors)});
    EXPECT_EQ((Events{"5()", "6(" + Path(c.file) + ")"}), Recorded(sink).events);
  }
}

TEST_F(EventsTest, ASinkNeedsTheEventInterfaceAndLeavesByItsCookie) {
  ComPtr<IDispatch> part = host_->Open(dir_ / "Bearing.SLDPRT");
  ComPtr<IConnectionPointContainer> points;
  part.As(&points);
  ComPtr<IConnectionPoint> point;
  ASSERT_EQ(S_OK, points->FindConnectionPoint(published::kIidPartDocEvents,
                                              point.ReleaseAndGetAddressOf()));
  IID iid{};
  point->GetConnectionInterface(&iid);
  EXPECT_TRUE(iid == published::kIidPartDocEvents);
  ComPtr<IConnectionPointContainer> back;
  point->GetConnectionPointContainer(back.ReleaseAndGetAddressOf());
  EXPECT_EQ(back.Get(), points.Get());
  DWORD cookie = 9;
  EXPECT_EQ(
      CONNECT_E_CANNOTCONNECT,
      point->Advise(
          MakeComObject<sim_test::RecordingSink, IDispatch>(published::kIidAssemblyDocEvents).Get(),
          &cookie));
  EXPECT_EQ(0u, cookie);
  ComPtr<IDispatch> sink =
      MakeComObject<sim_test::RecordingSink, IDispatch>(published::kIidPartDocEvents);
  ASSERT_EQ(S_OK, point->Advise(sink.Get(), &cookie));
  EXPECT_EQ(1u, host_->DocumentSinkCount(dir_ / "Bearing.SLDPRT"));
  EXPECT_EQ(S_OK, point->Unadvise(cookie));
  EXPECT_EQ(CONNECT_E_NOCONNECTION, point->Unadvise(cookie));
  EXPECT_EQ(0u, host_->DocumentSinkCount(dir_ / "Bearing.SLDPRT"));
}

TEST_F(EventsTest, TestsRaiseAssemblyEventsWithComponentsAndShortStates) {
  host_->Open(dir_ / "Gearbox.SLDASM");
  ComPtr<IDispatch> sink = sim_test::Advise(host_->Document(dir_ / "Gearbox.SLDASM").Get(),
                                            published::kIidAssemblyDocEvents);
  ComPtr<IDispatch> component =
      host_->Component(dir_ / "Gearbox.SLDASM", u"Default", u"BearingSet-1/Bearing-2");
  EXPECT_FALSE(host_->Component(dir_ / "Gearbox.SLDASM", u"Default", u"Bearing-2"));
  Recorded(sink).answer = E_ABORT;
  EXPECT_EQ(
      std::vector<HRESULT>{E_ABORT},
      host_->FireDocumentEvent(dir_ / "Gearbox.SLDASM", doc_event::kComponentStateChangeNotify2,
                               {component, std::u16string(u"Bearing-2"), SHORT{3}, SHORT{2}}));
  host_->FireDocumentEvent(dir_ / "Gearbox.SLDASM", doc_event::kComponentDisplayStateChangeNotify,
                           {component});
  EXPECT_EQ((Events{"25(DISPATCH, BSTR:Bearing-2, I2:3, I2:2)", "47(DISPATCH)"}),
            Recorded(sink).events);
  ComPtr<IDispatch> received = Recorded(sink).objects.at(0);
  EXPECT_EQ("BearingSet-1/Bearing-2", sim_test::Text(received.Get(), u"Name2"));
  EXPECT_TRUE(sim_test::Object(received.Get(), u"GetModelDoc2"));
}

TEST_F(EventsTest, TheHostSaysItGoesBeforeItsDocumentsDo) {
  ComPtr<IDispatch> part = host_->Open(dir_ / "Bearing.SLDPRT");
  ComPtr<IDispatch> partSink = sim_test::Advise(part.Get(), published::kIidPartDocEvents);
  Recorded(appSink_).events.clear();
  host_.reset();
  EXPECT_EQ((Events{"3()", "32(" + Path("Bearing.SLDPRT") + ", I4:0)"}), Recorded(appSink_).events);
  EXPECT_EQ(Events{"2()"}, Recorded(partSink).events);
}

// A sink that leaves its connection point while it handles an event, as an
// add-in's document sink does on the destroy event.
class LeavingSink final : public sim_test::DispatchStub {
 public:
  ComPtr<IConnectionPoint> point;
  DWORD cookie = 0;
  int calls = 0;

  HRESULT STDMETHODCALLTYPE Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*,
                                   UINT*) override {
    ++calls;
    HRESULT hr = point->Unadvise(cookie);
    point = nullptr;
    return hr;
  }

 protected:
  void* QueryOtherInterface(REFIID riid) override {
    return riid == published::kIidPartDocEvents ? static_cast<IDispatch*>(this) : nullptr;
  }
};

TEST_F(EventsTest, ASinkMayLeaveWhileItHandlesAnEvent) {
  ComPtr<IDispatch> part = host_->Open(dir_ / "Bearing.SLDPRT");
  ComPtr<IConnectionPointContainer> points;
  part.As(&points);
  auto sink = MakeComObject<LeavingSink, IDispatch>();
  auto* leaving = static_cast<LeavingSink*>(sink.Get());
  points->FindConnectionPoint(published::kIidPartDocEvents,
                              leaving->point.ReleaseAndGetAddressOf());
  ASSERT_EQ(S_OK, leaving->point->Advise(sink.Get(), &leaving->cookie));
  EXPECT_EQ(std::vector<HRESULT>{S_OK},
            host_->FireDocumentEvent(dir_ / "Bearing.SLDPRT", doc_event::kDestroyNotify));
  EXPECT_EQ(1, leaving->calls);
  EXPECT_EQ(0u, host_->DocumentSinkCount(dir_ / "Bearing.SLDPRT"));
}

}  // namespace
}  // namespace sim
