// The test face of the simulated host: injected faults of both kinds, the
// count of live objects and references, and the journal of calls.
#include <gtest/gtest.h>

#include <stdexcept>

#include "host/published/published_ids.h"
#include "platform/ole_picture.h"
#include "tests/sim/sim_test_support.h"

namespace sim {
namespace {

using sim_test::Answer;
using sim_test::Arg;
using sim_test::Invoke;
using sim_test::Object;
using sim_test::Outcome;
using sim_test::SampleDir;
using sim_test::Text;

class HostJournalTest : public ::testing::Test {
 protected:
  void SetUp() override { document_ = host_.Open(SampleDir() / "Housing.SLDPRT"); }
  Outcome Title() { return Invoke(document_.Get(), u"GetTitle", DISPATCH_METHOD); }

  SimHost host_;
  ComPtr<IDispatch> document_;
};

TEST_F(HostJournalTest, AFaultHitsTheNthCallFromWhenItWasSet) {
  EXPECT_EQ(S_OK, Title().hr);
  host_.FailCall("IModelDoc2.GetTitle#2", E_ACCESSDENIED);
  EXPECT_EQ(VT_BSTR, Title().answer.Type());
  Outcome failed = Title();
  EXPECT_EQ(DISP_E_EXCEPTION, failed.hr);
  EXPECT_EQ(E_ACCESSDENIED, failed.scode);
  EXPECT_EQ("Simulated host", failed.source);
  EXPECT_EQ("IModelDoc2.GetTitle failed in the simulated host", failed.description);
  EXPECT_EQ(VT_EMPTY, failed.answer.Type());
  EXPECT_EQ(S_OK, Title().hr);
  // Every call answers nothing, until cleared.
  host_.EmptyCall("IModelDoc2.GetTitle");
  EXPECT_EQ(VT_EMPTY, Title().answer.Type());
  EXPECT_EQ(VT_EMPTY, Title().answer.Type());
  host_.ClearFaults();
  EXPECT_EQ("Housing.SLDPRT", Text(document_.Get(), u"GetTitle"));
  // A failure Invoke itself reports comes as it is.
  for (HRESULT code : {DISP_E_MEMBERNOTFOUND, DISP_E_UNKNOWNNAME, DISP_E_TYPEMISMATCH,
                       DISP_E_BADPARAMCOUNT, DISP_E_PARAMNOTFOUND}) {
    host_.FailCall("IModelDoc2.GetTitle#1", code);
    EXPECT_EQ(code, Title().hr);
  }
}

TEST_F(HostJournalTest, AFaultedCallDoesNothingAndWritesNoOutParameter) {
  ComPtr<IDispatch> feature = Object(document_.Get(), u"FirstFeature");
  host_.FailCall("IFeature.put_Description");
  EXPECT_EQ(DISP_E_EXCEPTION,
            Invoke(feature.Get(), u"Description", DISPATCH_PROPERTYPUT, {Arg(u"x")}).hr);
  EXPECT_EQ("", Text(feature.Get(), u"Description"));
  host_.EmptyCall("IEquationMgr.Delete#*");
  EXPECT_EQ(VT_EMPTY,
            Answer(Object(document_.Get(), u"GetEquationMgr").Get(), u"Delete", {Arg(0)}).Type());
  EXPECT_EQ(4u, host_.Model(document_.Get())->equations.size());
  host_.EmptyCall("IFeature.GetErrorCode2");
  ScopedVariant untouched(LONG{99});
  EXPECT_EQ(VT_EMPTY,
            Answer(feature.Get(), u"GetErrorCode2", {Arg::VariantRef(untouched.Get())}).Type());
  EXPECT_EQ("99", sim_test::AnswerText(*untouched.Get()));
}

TEST_F(HostJournalTest, FaultTextsAreChecked) {
  for (const char* bad : {"IModelDoc2.GetTitel", "IModelDoc.GetTitle", "IModelDoc2.GetTitle#0",
                          "IModelDoc2.GetTitle#x", "IFeature.put_Name", "GetTitle"}) {
    EXPECT_THROW(host_.FailCall(bad), std::invalid_argument) << bad;
  }
  EXPECT_THROW(host_.FailCall("IModelDoc2.GetTitle", S_FALSE), std::invalid_argument);
  EXPECT_NO_THROW(host_.FailCall("IFeature.put_Description#2"));
  EXPECT_NO_THROW(host_.EmptyCall("IConnectionPoint.Advise#3"));
  std::vector<std::string> operations = KnownOperations();
  EXPECT_EQ(139u, operations.size());
  for (const std::string& operation : operations) {
    EXPECT_TRUE(IsKnownOperation(operation)) << operation;
  }
  // The connection points fail too.
  host_.FailCall("IConnectionPointContainer.FindConnectionPoint#1");
  EXPECT_FALSE(sim_test::Advise(document_.Get(), published::kIidPartDocEvents));
  host_.FailCall("IConnectionPoint.Advise", CONNECT_E_ADVISELIMIT);
  EXPECT_FALSE(sim_test::Advise(document_.Get(), published::kIidPartDocEvents));
  EXPECT_EQ(0u, host_.DocumentSinkCount(SampleDir() / "Housing.SLDPRT"));
}

TEST_F(HostJournalTest, LiveObjectsAndReferencesDropToZeroAfterReleasing) {
  EXPECT_EQ(1, host_.LiveObjects());  // the document the fixture holds
  EXPECT_EQ(1, host_.References());
  {
    ComPtr<IDispatch> app = host_.Application();
    ComPtr<IDispatch> next =
        Object(Object(document_.Get(), u"FirstFeature").Get(), u"GetNextFeature");
    ComPtr<IDispatch> again = next;
    EXPECT_EQ(3, host_.LiveObjects());
    EXPECT_EQ(4, host_.References());
    EXPECT_EQ(document_.Get(), Object(app.Get(), u"ActiveDoc").Get());
    EXPECT_EQ(1u, sim_test::Objects(app.Get(), u"GetDocuments").size());
    ComPtr<IDispatch> picture =
        Object(app.Get(), u"GetPreviewBitmap",
               {Arg((SampleDir() / "Shaft.SLDPRT").u16string()), Arg(u"Long")});
    ComPtr<IPicture> inner;
    EXPECT_EQ(S_OK, picture.As(&inner));
    EXPECT_EQ(4, host_.LiveObjects());
  }
  EXPECT_EQ(1, host_.LiveObjects());
  EXPECT_EQ(1, host_.References());
  // A reference kept by mistake shows.
  IDispatch* leaked = Object(document_.Get(), u"ConfigurationManager").Detach();
  EXPECT_EQ(2, host_.LiveObjects());
  EXPECT_EQ(2, host_.References());
  leaked->Release();
  document_ = nullptr;
  EXPECT_EQ(0, host_.LiveObjects());
  EXPECT_EQ(0, host_.References());
}

TEST_F(HostJournalTest, TheJournalRecordsCallsInOrderWithTheirArguments) {
  ComPtr<IDispatch> app = host_.Application();
  host_.ClearCalls();
  ComPtr<IDispatch> properties = Object(Object(document_.Get(), u"Extension").Get(),
                                        u"CustomPropertyManager", {Arg(u"Heavy")});
  Answer(properties.Get(), u"Add2", {Arg(u"PartNo"), Arg(u"30"), Arg(u"编号 7")});
  ScopedBstr value;
  ScopedVariant resolved;
  Answer(properties.Get(), u"Get6",
         {Arg(u"PartNo"), Arg(0), Arg::BstrRef(value.Receive()), Arg::VariantRef(resolved.Get()),
          Arg::VariantRef(resolved.Get()), Arg::VariantRef(resolved.Get())});
  ComPtr<IDispatch> feature = Object(document_.Get(), u"FirstFeature");
  Answer(feature.Get(), u"IsSuppressed2", {Arg(1), Arg::Empty()});
  sim_test::Put(feature.Get(), u"Description", {Arg(u"d")});
  Answer(feature.Get(), u"GetNextDisplayDimension", {Arg::Dispatch(feature.Get())});
  Answer(Object(document_.Get(), u"GetEquationMgr").Get(), u"Value", {Arg::Double(2.4)});
  Answer(app.Get(), u"SetAddinCallbackInfo2", {Arg::Double(4e9), Arg::Null(), Arg(3)});
  host_.SetWindowHandle(0x7'8000'0520);
  EXPECT_EQ(LONG(0x8000'0520), sim_test::Long(Object(app.Get(), u"Frame").Get(), u"GetHWnd"));
  EXPECT_EQ(
      (std::vector<std::string>{
          "IModelDoc2.Extension Housing.SLDPRT()",
          "IModelDocExtension.CustomPropertyManager Housing.SLDPRT(Heavy)",
          "ICustomPropertyManager.Add2 Housing.SLDPRT:Heavy(PartNo, 30, 编号 7)",
          "ICustomPropertyManager.Get6 Housing.SLDPRT:Heavy(PartNo, false, out, out, out, "
          "out)",
          "IModelDoc2.FirstFeature Housing.SLDPRT()",
          "IFeature.IsSuppressed2 Housing.SLDPRT:Comments(1, empty)",
          "IFeature.put_Description Housing.SLDPRT:Comments(d)",
          "IFeature.GetNextDisplayDimension Housing.SLDPRT:Comments(object)",
          "IModelDoc2.GetEquationMgr Housing.SLDPRT()", "IEquationMgr.Value Housing.SLDPRT(2)",
          "ISldWorks.SetAddinCallbackInfo2 application(4000000000, null, 3)",
          "ISldWorks.Frame application()", "IFrame.GetHWnd frame()"}),
      host_.CallLines());
  EXPECT_EQ(2u, host_.CallLines("ICustomPropertyManager.").size());
  const HostCall& add = host_.Calls()[2];
  EXPECT_EQ("ICustomPropertyManager.Add2", add.operation);
  EXPECT_EQ(u"Housing.SLDPRT:Heavy", add.target);
  EXPECT_EQ((std::vector<std::u16string>{u"PartNo", u"30", u"编号 7"}), add.arguments);
  host_.SetRecording(false);
  Text(document_.Get(), u"GetTitle");
  EXPECT_EQ(13u, host_.Calls().size());
  host_.ClearCalls();
  EXPECT_TRUE(host_.Calls().empty());
}

}  // namespace
}  // namespace sim
