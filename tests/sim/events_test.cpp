// Event connection points of the application and the documents: advising,
// raising events through IDispatch::Invoke, and the events the host raises
// itself.
#include <gtest/gtest.h>

#include "tests/sim/sim_test_support.h"

namespace sim {
namespace {

using sim_test::RecordingSink;
using sim_test::SampleDir;

template <typename E>
HRESULT AdviseOn(IUnknown* container, ComObject<E>* sink, DWORD* cookie,
                 ComPtr<IConnectionPoint>* point) {
  ComPtr<IConnectionPointContainer> points;
  ComPtr<IUnknown>(container).As(&points);
  HRESULT hr = points->FindConnectionPoint(IidOf<E>(), point->ReleaseAndGetAddressOf());
  if (FAILED(hr)) return hr;
  return (*point)->Advise(static_cast<IUnknown*>(static_cast<E*>(sink)), cookie);
}

class EventsTest : public ::testing::Test {
 protected:
  SimHost host_;
};

TEST_F(EventsTest, ApplicationEventsReachAnAdvisedSinkWithTheirArguments) {
  ComPtr<IHostApplication> app = host_.Application();
  auto sink = MakeComObject<RecordingSink<DHostApplicationEvents>, DHostApplicationEvents>();
  auto* recorder = static_cast<RecordingSink<DHostApplicationEvents>*>(sink.Get());
  DWORD cookie = 0;
  ComPtr<IConnectionPoint> point;
  ASSERT_EQ(S_OK, AdviseOn(app.Get(), recorder, &cookie, &point));
  EXPECT_NE(0u, cookie);
  EXPECT_EQ(1u, host_.ApplicationSinkCount());
  IID iid{};
  point->GetConnectionInterface(&iid);
  EXPECT_TRUE(iid == IidOf<DHostApplicationEvents>());

  recorder->answer = E_ABORT;
  EXPECT_EQ(
      std::vector<HRESULT>{E_ABORT},
      host_.FireApplicationEvent(kAppEventFileOpenNotify, {std::u16string(u"C:\\m\\文件.SLDPRT")}));
  host_.FireApplicationEvent(kAppEventDestroyNotify);
  host_.FireApplicationEvent(kAppEventFileNewNotify, {ComPtr<IDispatch>(), LONG{2}});
  EXPECT_EQ((std::vector<std::string>{"22(BSTR:C:\\m\\文件.SLDPRT)", "12()", "4(EMPTY, I4:2)"}),
            recorder->events);

  // The host's own events: opening shows and activates, closing says so.
  recorder->events.clear();
  host_.Open(SampleDir() / "Bearing.SLDPRT");
  host_.Close(SampleDir() / "Bearing.SLDPRT");
  std::string path = (SampleDir() / "Bearing.SLDPRT").lexically_normal().string();
  EXPECT_EQ(
      (std::vector<std::string>{"5()", "22(BSTR:" + path + ")", "11(BSTR:" + path + ")", "5()"}),
      recorder->events);

  EXPECT_EQ(S_OK, point->Unadvise(cookie));
  EXPECT_EQ(CONNECT_E_NOCONNECTION, point->Unadvise(cookie));
  EXPECT_EQ(0u, host_.ApplicationSinkCount());
  EXPECT_TRUE(host_.FireApplicationEvent(kAppEventDestroyNotify).empty());
}

TEST_F(EventsTest, EachDocumentTypeHasItsEventInterface) {
  testing_support::TempDir dir;
  sim_test::CopySamples(dir.path());
  ComPtr<IHostModelDoc> part = host_.Open(dir / "Bearing.SLDPRT");
  auto partSink = MakeComObject<RecordingSink<DHostPartDocEvents>, DHostPartDocEvents>();
  auto* partRecorder = static_cast<RecordingSink<DHostPartDocEvents>*>(partSink.Get());
  auto wrongSink = MakeComObject<RecordingSink<DHostAssemblyDocEvents>, DHostAssemblyDocEvents>();
  ComPtr<IConnectionPointContainer> points;
  part.As(&points);
  ComPtr<IConnectionPoint> point;
  EXPECT_EQ(CONNECT_E_NOCONNECTION, points->FindConnectionPoint(IidOf<DHostAssemblyDocEvents>(),
                                                                point.ReleaseAndGetAddressOf()));
  ASSERT_EQ(S_OK, points->FindConnectionPoint(IidOf<DHostPartDocEvents>(),
                                              point.ReleaseAndGetAddressOf()));
  DWORD cookie = 0;
  // A sink that does not have the event interface cannot connect.
  EXPECT_EQ(CONNECT_E_CANNOTCONNECT, point->Advise(wrongSink.Get(), &cookie));
  EXPECT_EQ(0u, cookie);
  ASSERT_EQ(S_OK, point->Advise(partSink.Get(), &cookie));
  EXPECT_EQ(1u, host_.DocumentSinkCount(dir / "Bearing.SLDPRT"));
  ComPtr<IConnectionPointContainer> back;
  point->GetConnectionPointContainer(back.ReleaseAndGetAddressOf());
  EXPECT_EQ(back.Get(), points.Get());

  EXPECT_EQ(S_OK, part->Save(VARIANT_TRUE));
  host_.Close(dir / "Bearing.SLDPRT");
  std::string path = (dir / "Bearing.SLDPRT").lexically_normal().string();
  EXPECT_EQ((std::vector<std::string>{"5(BSTR:" + path + ")", "2()"}), partRecorder->events);
  EXPECT_EQ(0u, host_.DocumentSinkCount(dir / "Bearing.SLDPRT"));
}

TEST_F(EventsTest, AssemblyEventsCarryDocumentsAndComponents) {
  testing_support::TempDir dir;
  sim_test::CopySamples(dir.path());
  host_.Open(dir / "Gearbox.SLDASM");
  ComPtr<IHostModelDoc> gearbox = host_.Document(dir / "Gearbox.SLDASM");
  auto sink = MakeComObject<RecordingSink<DHostAssemblyDocEvents>, DHostAssemblyDocEvents>();
  auto* recorder = static_cast<RecordingSink<DHostAssemblyDocEvents>*>(sink.Get());
  DWORD cookie = 0;
  ComPtr<IConnectionPoint> point;
  ASSERT_EQ(S_OK, AdviseOn(gearbox.Get(), recorder, &cookie, &point));

  ComPtr<IHostModelDoc> shaft = host_.Document(dir / "Shaft.SLDPRT");
  ComPtr<IDispatch> shaftObject;
  shaft.As(&shaftObject);
  host_.FireDocumentEvent(dir / "Gearbox.SLDASM", kAsmEventComponentStateChangeNotify,
                          {shaftObject, std::u16string(u"Shaft-2"), LONG{1}, LONG{3}});
  ComPtr<IDispatch> component =
      host_.Component(dir / "Gearbox.SLDASM", u"Default", u"BearingSet-1/Bearing-2");
  ASSERT_TRUE(component);
  EXPECT_FALSE(host_.Component(dir / "Gearbox.SLDASM", u"Default", u"Bearing-2"));
  host_.FireDocumentEvent(dir / "Gearbox.SLDASM", kAsmEventComponentDisplayChangeNotify,
                          {component});
  EXPECT_EQ((std::vector<std::string>{"25(DISPATCH, BSTR:Shaft-2, I4:1, I4:3)", "47(DISPATCH)"}),
            recorder->events);
  // The sink got the very document, and a component it can ask for its
  // model.
  ASSERT_EQ(2u, recorder->objects.size());
  ComPtr<IHostModelDoc> received;
  ASSERT_EQ(S_OK, recorder->objects[0].As(&received));
  ComPtr<IUnknown> a;
  ComPtr<IUnknown> b;
  received.As(&a);
  shaft.As(&b);
  EXPECT_EQ(a.Get(), b.Get());
  ComPtr<IHostComponent> bearing;
  ASSERT_EQ(S_OK, recorder->objects[1].As(&bearing));
  ComPtr<IDispatch> model;
  bearing->GetModelDoc(model.ReleaseAndGetAddressOf());
  EXPECT_TRUE(model);
  point->Unadvise(cookie);
}

// A sink that leaves its connection point while it handles an event, as an
// add-in's document sink does on the destroy event.
class LeavingSink final : public ComObject<DHostPartDocEvents> {
 public:
  ComPtr<IConnectionPoint> point;
  DWORD cookie = 0;
  int calls = 0;

  HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override {
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*,
                                   UINT*) override {
    ++calls;
    HRESULT hr = point->Unadvise(cookie);
    point = nullptr;
    return hr;
  }
};

TEST_F(EventsTest, ASinkMayLeaveWhileItHandlesAnEvent) {
  ComPtr<IHostModelDoc> part = host_.Open(SampleDir() / "Bearing.SLDPRT");
  auto sink = MakeComObject<LeavingSink, DHostPartDocEvents>();
  auto* leaving = static_cast<LeavingSink*>(sink.Get());
  ASSERT_EQ(S_OK, AdviseOn(part.Get(), leaving, &leaving->cookie, &leaving->point));
  EXPECT_EQ(std::vector<HRESULT>{S_OK},
            host_.FireDocumentEvent(SampleDir() / "Bearing.SLDPRT", kDocEventDestroyNotify));
  EXPECT_EQ(1, leaving->calls);
  EXPECT_EQ(0u, host_.DocumentSinkCount(SampleDir() / "Bearing.SLDPRT"));
}

}  // namespace
}  // namespace sim
