// The test support of the simulated host: injected faults of both kinds,
// the count of live objects and references, and the journal of calls.
#include <gtest/gtest.h>

#include <cstring>
#include <stdexcept>

#include "tests/sim/sim_test_support.h"

namespace sim {
namespace {

using sim_test::SampleDir;
using sim_test::Take;

class HostJournalTest : public ::testing::Test {
 protected:
  void SetUp() override { document_ = host_.Open(SampleDir() / "Housing.SLDPRT"); }
  HRESULT Title(std::string* title) {
    BSTR text = reinterpret_cast<BSTR>(&dummy_);
    HRESULT hr = document_->GetTitle(&text);
    *title = text ? Take(text) : "(null)";
    return hr;
  }

  SimHost host_;
  ComPtr<IHostModelDoc> document_;
  int dummy_ = 0;
};

TEST_F(HostJournalTest, AFaultHitsTheNthCallFromWhenItWasSet) {
  std::string title;
  EXPECT_EQ(S_OK, Title(&title));
  host_.FailCall("IHostModelDoc.GetTitle#2", E_ACCESSDENIED);
  EXPECT_EQ(S_OK, Title(&title));
  EXPECT_EQ("Housing.SLDPRT", title);
  EXPECT_EQ(E_ACCESSDENIED, Title(&title));
  EXPECT_EQ("(null)", title);
  EXPECT_EQ(S_OK, Title(&title));
  // Every call, until cleared.
  host_.EmptyCall("IHostModelDoc.GetTitle");
  EXPECT_EQ(S_OK, Title(&title));
  EXPECT_EQ("(null)", title);
  EXPECT_EQ(S_OK, Title(&title));
  EXPECT_EQ("(null)", title);
  host_.ClearFaults();
  EXPECT_EQ(S_OK, Title(&title));
  EXPECT_EQ("Housing.SLDPRT", title);
}

TEST_F(HostJournalTest, AnEmptyCallGivesNoObjectAndChangesNothing) {
  host_.EmptyCall("IHostModelDoc.GetEquationManager#1");
  ComPtr<IHostEquationManager> equations;
  EXPECT_EQ(S_OK, document_->GetEquationManager(equations.ReleaseAndGetAddressOf()));
  EXPECT_FALSE(equations);
  EXPECT_EQ(S_OK, document_->GetEquationManager(equations.ReleaseAndGetAddressOf()));
  ASSERT_TRUE(equations);
  host_.FailCall("IHostEquationManager.Delete");
  LONG result = 5;
  EXPECT_EQ(E_FAIL, equations->Delete(0, &result));
  EXPECT_EQ(-1, result);
  host_.ClearFaults();
  host_.EmptyCall("IHostEquationManager.Delete#*");
  EXPECT_EQ(S_OK, equations->Delete(0, &result));
  EXPECT_EQ(-1, result);
  EXPECT_EQ(4u, host_.Model(document_.Get())->equations.size());
}

TEST_F(HostJournalTest, FaultSpecsAreChecked) {
  EXPECT_THROW(host_.FailCall("IHostModelDoc.GetTitel"), std::invalid_argument);
  EXPECT_THROW(host_.FailCall("IHostModelDoc.GetTitle#0"), std::invalid_argument);
  EXPECT_THROW(host_.FailCall("IHostModelDoc.GetTitle#x"), std::invalid_argument);
  EXPECT_THROW(host_.FailCall("IHostModelDoc.GetTitle", S_FALSE), std::invalid_argument);
  EXPECT_NO_THROW(host_.FailCall("IConnectionPoint.Advise#3"));
  for (const char* operation : KnownOperations()) {
    EXPECT_TRUE(IsKnownOperation(operation));
    EXPECT_NE(nullptr, std::strchr(operation, '.')) << operation;
  }
}

TEST_F(HostJournalTest, ConnectionPointsCanFailToo) {
  host_.FailCall("IConnectionPointContainer.FindConnectionPoint#1");
  ComPtr<IConnectionPointContainer> points;
  document_.As(&points);
  ComPtr<IConnectionPoint> point;
  EXPECT_EQ(E_FAIL, points->FindConnectionPoint(IidOf<DHostPartDocEvents>(),
                                                point.ReleaseAndGetAddressOf()));
  EXPECT_EQ(S_OK, points->FindConnectionPoint(IidOf<DHostPartDocEvents>(),
                                              point.ReleaseAndGetAddressOf()));
  host_.FailCall("IConnectionPoint.Advise", CONNECT_E_ADVISELIMIT);
  auto sink = MakeComObject<sim_test::RecordingSink<DHostPartDocEvents>, DHostPartDocEvents>();
  DWORD cookie = 9;
  EXPECT_EQ(CONNECT_E_ADVISELIMIT, point->Advise(sink.Get(), &cookie));
  EXPECT_EQ(0u, cookie);
  EXPECT_EQ(0u, host_.DocumentSinkCount(SampleDir() / "Housing.SLDPRT"));
}

TEST_F(HostJournalTest, LiveObjectsAndReferencesDropToZeroAfterReleasing) {
  EXPECT_EQ(1, host_.LiveObjects());  // the document the fixture holds
  EXPECT_EQ(1, host_.References());
  {
    ComPtr<IHostApplication> app = host_.Application();
    ComPtr<IHostFeature> feature;
    document_->GetFirstFeature(feature.ReleaseAndGetAddressOf());
    ComPtr<IHostFeature> next;
    feature->GetNextFeature(next.ReleaseAndGetAddressOf());
    ComPtr<IHostFeature> again = next;
    EXPECT_EQ(4, host_.LiveObjects());
    EXPECT_EQ(5, host_.References());
    ComPtr<IHostModelDoc> same;
    app->GetActiveDocument(same.ReleaseAndGetAddressOf());
    EXPECT_EQ(same.Get(), document_.Get());
    EXPECT_EQ(4, host_.LiveObjects());
    EXPECT_EQ(6, host_.References());
    SAFEARRAY* documents = nullptr;
    app->GetDocuments(&documents);
    SafeArrayDestroy(documents);
    ScopedBstr path((SampleDir() / "Shaft.SLDPRT").u16string());
    ScopedBstr configuration(u"Long");
    ComPtr<IPictureDisp> picture;
    app->GetPreviewPicture(path.Get(), configuration.Get(), picture.ReleaseAndGetAddressOf());
    ComPtr<IPicture> inner;
    picture.As(&inner);
    EXPECT_EQ(5, host_.LiveObjects());
  }
  EXPECT_EQ(1, host_.LiveObjects());
  EXPECT_EQ(1, host_.References());
  // A reference kept by mistake shows.
  ComPtr<IHostConfigurationManager> manager;
  document_->GetConfigurationManager(manager.ReleaseAndGetAddressOf());
  IHostConfigurationManager* leaked = nullptr;
  manager.CopyTo(&leaked);
  manager = nullptr;
  EXPECT_EQ(2, host_.LiveObjects());
  EXPECT_EQ(2, host_.References());
  leaked->Release();
  document_ = nullptr;
  EXPECT_EQ(0, host_.LiveObjects());
  EXPECT_EQ(0, host_.References());
}

TEST_F(HostJournalTest, TheJournalRecordsCallsInOrderWithTheirArguments) {
  host_.ClearCalls();
  ComPtr<IHostConfiguration> configuration;
  ScopedBstr name(u"Heavy");
  document_->GetConfiguration(name.Get(), configuration.ReleaseAndGetAddressOf());
  ComPtr<IHostCustomPropertyManager> properties;
  configuration->GetCustomPropertyManager(properties.ReleaseAndGetAddressOf());
  ScopedBstr property(u"PartNo");
  ScopedBstr value(u"编号 7");
  LONG result = 0;
  properties->Add2(property.Get(), kPropertyTypeText, value.Get(), &result);
  properties->Set2(property.Get(), value.Get(), &result);
  ComPtr<IHostEquationManager> equations;
  document_->GetEquationManager(equations.ReleaseAndGetAddressOf());
  double number = 0;
  equations->GetValue(2, &number);
  EXPECT_EQ((std::vector<std::string>{
                "IHostModelDoc.GetConfiguration Housing.SLDPRT(Heavy)",
                "IHostConfiguration.GetCustomPropertyManager Housing.SLDPRT:Heavy()",
                "IHostCustomPropertyManager.Add2 Housing.SLDPRT:Heavy(PartNo, 30, 编号 7)",
                "IHostCustomPropertyManager.Set2 Housing.SLDPRT:Heavy(PartNo, 编号 7)",
                "IHostModelDoc.GetEquationManager Housing.SLDPRT()",
                "IHostEquationManager.GetValue Housing.SLDPRT(2)"}),
            host_.CallLines());
  EXPECT_EQ((std::vector<std::string>{
                "IHostCustomPropertyManager.Add2 Housing.SLDPRT:Heavy(PartNo, 30, 编号 7)",
                "IHostCustomPropertyManager.Set2 Housing.SLDPRT:Heavy(PartNo, 编号 7)"}),
            host_.CallLines("IHostCustomPropertyManager."));
  const HostCall& add = host_.Calls()[2];
  EXPECT_EQ("IHostCustomPropertyManager.Add2", add.operation);
  EXPECT_EQ(u"Housing.SLDPRT:Heavy", add.target);
  EXPECT_EQ((std::vector<std::u16string>{u"PartNo", u"30", u"编号 7"}), add.arguments);
  host_.SetRecording(false);
  equations->GetValue(1, &number);
  EXPECT_EQ(6u, host_.Calls().size());
  host_.ClearCalls();
  EXPECT_TRUE(host_.Calls().empty());
}

TEST_F(HostJournalTest, EveryOperationCalledIsAKnownOne) {
  host_.ClearCalls();
  host_.Open(SampleDir() / "Gearbox.SLDASM");
  ComPtr<IHostApplication> app = host_.Application();
  BSTR text = nullptr;
  app->RevisionNumber(&text);
  EXPECT_EQ("20.3.0", Take(text));
  host_.SetRevision(u"15.2.0");
  app->RevisionNumber(&text);
  EXPECT_EQ("15.2.0", Take(text));
  ComPtr<IHostFrame> frame;
  app->GetFrame(frame.ReleaseAndGetAddressOf());
  host_.SetWindowHandle(0x1'0000'0520);
  LONGLONG handle = 0;
  frame->GetHWnd(&handle);
  EXPECT_EQ(0x1'0000'0520, handle);
  for (const HostCall& call : host_.Calls()) EXPECT_TRUE(IsKnownOperation(call.operation));
  EXPECT_EQ((std::vector<std::string>{"IHostApplication.RevisionNumber application()",
                                      "IHostApplication.RevisionNumber application()",
                                      "IHostApplication.GetFrame application()",
                                      "IHostFrame.GetHWnd frame()"}),
            host_.CallLines());
}

}  // namespace
}  // namespace sim
