// The binding against the simulated host's published face: every family of
// conversions it makes (out-parameters, indexed puts, both array forms, "no
// object" in each form, booleans), every kind of failure with its clear
// error, wrappers and their identity, and the host-call trace.
#include "host/published/binding.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <tuple>
#include <vector>

#include "common/kvx_xml.h"
#include "export/refresh_tables.h"
#include "host/published/bound_object.h"
#include "host/published/host_failure.h"
#include "host/published/host_trace.h"
#include "host/published/late_call.h"
#include "platform/text.h"
#include "sim/sim_host.h"
#include "tests/support/scoped_env.h"
#include "tests/support/temp_dir.h"

namespace published {
namespace {

std::filesystem::path Sample(const char* name) {
  return std::filesystem::path(HARBOLT_SAMPLE_DIR) / name;
}
std::string Utf8(std::u16string_view text) { return platform::Utf16ToUtf8(text); }

std::vector<std::string> Lines(const std::filesystem::path& file) {
  std::ifstream in(file);
  std::vector<std::string> lines;
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

// The elements of a list of texts or of longs, joined by ",".
std::string Texts(const ScopedSafeArray& array) {
  std::string joined;
  for (LONG i = 0; i < array.Count(); ++i) {
    ScopedBstr text;
    SafeArrayGetElement(array.Get(), &i, text.Receive());
    joined += (i ? "," : "") + Utf8(text.View());
  }
  return joined;
}
std::string Longs(const ScopedSafeArray& array) {
  std::string joined;
  for (LONG i = 0; i < array.Count(); ++i) {
    LONG value = 0;
    SafeArrayGetElement(array.Get(), &i, &value);
    joined += (i ? "," : "") + std::to_string(value);
  }
  return joined;
}

// The sample assembly open in the simulated host, reached through the
// binding.
class BindingTest : public ::testing::Test {
 public:
  BindingTest() {
    host_.Open(Sample("Gearbox.SLDASM"));
    application_ = BindApplication(host_.Application().Get());
  }
  ~BindingTest() override { ClearHostFailure(); }

  ComPtr<IHostModelDoc> Housing() {
    return BindDocument(host_.Document(Sample("Housing.SLDPRT")).Get());
  }
  ComPtr<IHostFeature> Feature(std::u16string_view name) {
    ComPtr<IHostFeature> feature;
    Housing()->GetFirstFeature(feature.ReleaseAndGetAddressOf());
    while (feature) {
      ScopedBstr text;
      feature->GetName(text.Receive());
      if (text.View() == name) return feature;
      ComPtr<IHostFeature> next;
      feature->GetNextFeature(next.ReleaseAndGetAddressOf());
      feature = std::move(next);
    }
    return nullptr;
  }
  ComPtr<IHostConfiguration> Configuration(const char16_t* name,
                                           const char* document = "Housing.SLDPRT") {
    ScopedBstr text(name);
    ComPtr<IHostConfiguration> configuration;
    BindDocument(host_.Document(Sample(document)).Get())
        ->GetConfiguration(text.Get(), configuration.ReleaseAndGetAddressOf());
    return configuration;
  }
  // The dimension of a feature's display-th display dimension.
  ComPtr<IHostDimension> Dimension(ComPtr<IHostFeature> feature, LONG display = 0) {
    ComPtr<IDispatch> shown;
    feature->GetFirstDisplayDimension(shown.ReleaseAndGetAddressOf());
    for (LONG i = 0; i < display && shown; ++i) {
      ComPtr<IDispatch> next;
      feature->GetNextDisplayDimension(shown.Get(), next.ReleaseAndGetAddressOf());
      shown = std::move(next);
    }
    ComPtr<IHostDisplayDimension> typed;
    shown.As(&typed);
    ComPtr<IHostDimension> dimension;
    if (typed) typed->GetDimension(0, dimension.ReleaseAndGetAddressOf());
    return dimension;
  }
  ComPtr<IHostCustomPropertyManager> Properties(const char16_t* configuration) {
    ComPtr<IHostCustomPropertyManager> manager;
    Configuration(configuration)->GetCustomPropertyManager(manager.ReleaseAndGetAddressOf());
    return manager;
  }

  sim::SimHost host_;
  ComPtr<IHostApplication> application_;
};

TEST_F(BindingTest, OutParametersComeBack) {
  // OpenDoc6's error bits: a missing file, a file of another type.
  for (auto [path, type, expected] :
       {std::tuple{std::u16string(u"/no/such/Part.SLDPRT"), 1, HRESULT_FROM_WIN32(2)},
        std::tuple{Sample("Housing.SLDPRT").u16string(), 2, E_INVALIDARG}}) {
    ScopedBstr name(path);
    ComPtr<IHostModelDoc> document;
    EXPECT_EQ(expected,
              application_->OpenDocument(name.Get(), type, document.ReleaseAndGetAddressOf()));
    EXPECT_FALSE(document);
  }
  LONG code = -5;  // GetErrorCode2 with its IsWarning
  EXPECT_EQ(S_OK, Feature(u"Chamfer1")->GetErrorCode(&code));
  EXPECT_EQ(0, code);
  ComPtr<IHostTolerance> tolerance;
  Dimension(Feature(u"Boss-Extrude1"), 1)->GetTolerance(tolerance.ReleaseAndGetAddressOf());
  double low = 0, high = 0;
  tolerance->GetMinValue(&low);
  tolerance->GetMaxValue(&high);
  EXPECT_EQ(std::pair(-0.1, 0.1), std::pair(low, high));
  ComPtr<IHostConfigurationManager> manager;  // GetConfigurationParams: two arrays
  Housing()->GetConfigurationManager(manager.ReleaseAndGetAddressOf());
  ScopedBstr scope(u"Heavy");
  ScopedSafeArray names, values;
  manager->GetParameters(scope.Get(), names.Receive(), values.Receive());
  EXPECT_EQ("D1@Boss-Extrude1,$STATE@Chamfer1=45.0mm,U", Texts(names) + "=" + Texts(values));
}

TEST_F(BindingTest, IndexedPutsPassTheIndexBeforeTheValue) {
  ComPtr<IHostEquationManager> equations;
  Housing()->GetEquationManager(equations.ReleaseAndGetAddressOf());
  ScopedBstr text(u"\"D1@Sketch1\" = 130");
  EXPECT_EQ(S_OK, equations->SetEquation(1, text.Get()));
  ScopedBstr back;
  equations->GetEquation(1, back.Receive());
  EXPECT_EQ(text.View(), back.View());
  // The host's failure status turns into E_INVALIDARG, nothing changed.
  EXPECT_EQ(E_INVALIDARG, equations->SetEquation(9, text.Get()));
  LONG count = 0;
  equations->GetCount(&count);
  EXPECT_EQ(4, count);
  VARIANT_BOOL suppressed = VARIANT_TRUE;
  EXPECT_EQ(S_OK, equations->SetSuppression(3, VARIANT_FALSE));
  equations->GetSuppression(3, &suppressed);
  EXPECT_EQ(VARIANT_FALSE, suppressed);
  EXPECT_EQ(E_INVALIDARG, equations->SetSuppression(-1, VARIANT_TRUE));
  suppressed = VARIANT_TRUE;
  EXPECT_EQ(E_INVALIDARG, equations->GetSuppression(-1, &suppressed));
  EXPECT_EQ(VARIANT_FALSE, suppressed);
  // Index first, value last: two arguments for the one put.
  EXPECT_EQ(host_.CallLines("IEquationMgr.put_Equation").front(),
            "IEquationMgr.put_Equation Housing.SLDPRT(1, \"D1@Sketch1\" = 130)");
}

// What the add-in reads through every list member, rendered as text.
std::string ReadLists(BindingTest& t) {
  ScopedSafeArray names;
  t.Housing()->GetConfigurationNames(names.Receive());
  std::string seen = "configurations " + Texts(names) + "\n";
  ComPtr<IHostComponent> root;
  t.Configuration(u"Default", "Gearbox.SLDASM")->GetRootComponent(root.ReleaseAndGetAddressOf());
  ScopedSafeArray children;
  root->GetChildren(children.Receive());
  seen += "children " + std::to_string(children.Count()) + "\n";
  VARIANT_BOOL suppressed = VARIANT_FALSE;
  t.Feature(u"Chamfer1")->IsSuppressed(&suppressed);
  seen += "suppressed " + std::to_string(suppressed) + "\n";
  double value = 0, system = 0;
  ComPtr<IHostDimension> dimension = t.Dimension(t.Feature(u"Boss-Extrude1"));
  dimension->GetValue(&value);
  dimension->GetSystemValue(&system);
  seen += "value " + std::to_string(value) + " " + std::to_string(system) + "\n";
  ScopedVariant dependencies;
  BindDocument(t.host_.Document(Sample("Gearbox.SLDASM")).Get())
      ->GetDependencies(VARIANT_TRUE, VARIANT_TRUE, VARIANT_FALSE, dependencies.Receive());
  ScopedSafeArray files(dependencies.Get()->parray);
  dependencies.Get()->vt = VT_EMPTY;
  seen += "dependencies " + std::to_string(files.Count()) + "\n";
  for (const char16_t* configuration : {u"Default", u"Heavy"}) {
    ScopedSafeArray allNames, allTypes, allValues;
    t.Properties(configuration)
        ->GetAll(allNames.Receive(), allTypes.Receive(), allValues.Receive());
    seen += "all " + Texts(allNames) + "|" + Longs(allTypes) + "|" + Texts(allValues) + "\n";
  }
  return seen;
}

TEST_F(BindingTest, ArraysOfTheirOwnTypeOrOfVariantsReadTheSame) {
  const std::string expected =
      "configurations Default,Heavy\nchildren 4\nsuppressed -1\nvalue 30.000000 0.030000\n"
      "dependencies 8\nall PartNo|30|HSG-100\nall PartNo,Material|30,30|HSG-100H,Cast Steel\n";
  for (auto lists : {sim::AnswerStyle::Lists::kTyped, sim::AnswerStyle::Lists::kVariants}) {
    sim::AnswerStyle style;
    style.lists = lists;
    host_.SetAnswerStyle(style);
    EXPECT_EQ(expected, ReadLists(*this)) << static_cast<int>(lists);
  }
}

TEST_F(BindingTest, EveryFormOfNoObjectIsNone) {
  using NoObject = sim::AnswerStyle::NoObject;
  for (NoObject form : {NoObject::kNullDispatch, NoObject::kEmpty, NoObject::kNull}) {
    SCOPED_TRACE(static_cast<int>(form));
    sim::AnswerStyle style;
    style.noObject = form;
    host_.SetAnswerStyle(style);
    ComPtr<IHostConfiguration> parent;
    EXPECT_EQ(S_OK, Configuration(u"Default")->GetParent(parent.ReleaseAndGetAddressOf()));
    EXPECT_FALSE(parent);
    ComPtr<IHostFeature> sub;
    EXPECT_EQ(S_OK, Feature(u"Comments")->GetFirstSubFeature(sub.ReleaseAndGetAddressOf()));
    EXPECT_FALSE(sub);
    ScopedBstr missing(u"/nowhere/x.SLDPRT");
    EXPECT_EQ(S_FALSE, application_->CloseDocument(missing.Get()));
  }
  sim::SimHost empty;
  ComPtr<IHostModelDoc> active;
  EXPECT_EQ(S_OK, BindApplication(empty.Application().Get())
                      ->GetActiveDocument(active.ReleaseAndGetAddressOf()));
  EXPECT_FALSE(active);
}

TEST_F(BindingTest, BooleansComeBackNormalisedAndGoOutAsVariantTrue) {
  for (VARIANT_BOOL hostTrue : {VARIANT_BOOL(-1), VARIANT_BOOL(1)}) {
    sim::AnswerStyle style;
    style.trueValue = hostTrue;
    host_.SetAnswerStyle(style);
    VARIANT_BOOL isBase = 0, locked = 0, suppressed = 0, readOnly = 0;
    Feature(u"Boss-Extrude1")->IsBase(&isBase);
    Configuration(u"Heavy")->GetLocked(&locked);
    Feature(u"Chamfer1")->IsSuppressed(&suppressed);
    // The sketch two levels below the Holes folder has a read-only dimension.
    ComPtr<IHostFeature> cut, sketch;
    Feature(u"Holes")->GetFirstSubFeature(cut.ReleaseAndGetAddressOf());
    cut->GetFirstSubFeature(sketch.ReleaseAndGetAddressOf());
    Dimension(sketch)->GetReadOnly(&readOnly);
    EXPECT_EQ((std::vector<VARIANT_BOOL>{-1, -1, -1, -1}),
              (std::vector<VARIANT_BOOL>{isBase, locked, suppressed, readOnly}))
        << "host true " << hostTrue;
  }
  EXPECT_EQ(S_OK, Configuration(u"Default")->SetLocked(VARIANT_BOOL(1)));
  EXPECT_TRUE(host_.Model(Sample("Housing.SLDPRT"))->configurations[0].locked);
  EXPECT_EQ("IConfiguration.put_Lock Housing.SLDPRT:Default(true)",
            host_.CallLines("IConfiguration.put_Lock").back());
}

TEST_F(BindingTest, EveryFailureIsAClearErrorNamingTheMember) {
  static constinit HostMember unseenTypeName{"IFeature", u"GetTypeName2"};
  static constinit HostMember titleMember{"IModelDoc2", u"GetTitle"};
  static constinit HostMember byNameMember{"IModelDoc2", u"GetConfigurationByName"};
  auto none = [](sim::SimHost&) {};
  const struct {
    const char* name;
    std::function<void(sim::SimHost&)> arrange;
    std::function<HRESULT(BindingTest&)> call;
    HRESULT expected;
    const char* text;  // how the recorded failure text starts
  } cases[] = {
      {"an exception of the host, with its code and words",
       [](sim::SimHost& host) { host.FailCall("IFeature.Name", MakeHresult(0x8004DEAD)); },
       [](BindingTest& t) {
         ScopedBstr name;
         ComPtr<IHostFeature> first;
         t.Housing()->GetFirstFeature(first.ReleaseAndGetAddressOf());
         return first->GetName(name.Receive());
       },
       MakeHresult(0x8004DEAD), "IFeature.Name failed (0x8004DEAD): IFeature.Name failed in the"},
      {"a member the host does not have (Invoke)",
       [](sim::SimHost& host) { host.FailCall("IModelDoc2.GetTitle", DISP_E_MEMBERNOTFOUND); },
       [](BindingTest& t) {
         ScopedBstr title;
         return t.Housing()->GetTitle(title.Receive());
       },
       DISP_E_MEMBERNOTFOUND,
       "IModelDoc2.GetTitle failed (0x80020003): the host has no such member"},
      {"a member the host does not know by name (an older release)",
       [](sim::SimHost& host) { host.HideMember("IFeature.GetTypeName2"); },
       [](BindingTest& t) {
         ComPtr<IHostFeature> first;
         t.Housing()->GetFirstFeature(first.ReleaseAndGetAddressOf());
         return CallHost(Unwrap(first.Get()).Get(), unseenTypeName, CallKind::kMethod, {}, nullptr);
       },
       DISP_E_UNKNOWNNAME,
       "IFeature.GetTypeName2 failed (0x80020006): the host has no such member"},
      {"an answer of the wrong type",
       [](sim::SimHost& host) { host.EmptyCall("IModelDoc2.GetPathName"); },
       [](BindingTest& t) {
         ScopedBstr path;
         return t.Housing()->GetPathName(path.Receive());
       },
       DISP_E_TYPEMISMATCH,
       "IModelDoc2.GetPathName failed (0x80020005): the host answered VT_EMPTY where a text was "
       "expected"},
      {"an argument of the wrong type", none,
       [](BindingTest& t) {
         ComPtr<IDispatch> real = Unwrap(t.Housing().Get());
         return CallHost(real.Get(), byNameMember, CallKind::kMethod, {HostArg::Object(real.Get())},
                         nullptr);
       },
       DISP_E_TYPEMISMATCH,
       "IModelDoc2.GetConfigurationByName failed (0x80020005): argument 1 does not have the type"},
      {"a wrong number of arguments", none,
       [](BindingTest& t) {
         return CallHost(Unwrap(t.Housing().Get()).Get(), titleMember, CallKind::kMethod,
                         {HostArg::Long(1)}, nullptr);
       },
       DISP_E_BADPARAMCOUNT,
       "IModelDoc2.GetTitle failed (0x8002000E): the host expects another number of arguments"},
      {"a check of the binding's own", none,
       [](BindingTest& t) { return t.Dimension(t.Feature(u"Boss-Extrude1"))->SetDrivenState(7); },
       E_INVALIDARG, "IDimension.DrivenState failed (0x80070057): driven states are 0, 1 and 2"},
  };
  for (const auto& c : cases) {
    c.arrange(host_);
    HRESULT hr = c.call(*this);
    host_.ClearFaults();
    EXPECT_EQ(c.expected, hr) << c.name;
    std::optional<std::u16string> text = TakeHostFailure(hr);
    EXPECT_EQ(0u, Utf8(text.value_or(u"(none)")).find(c.text)) << c.name;
  }
}

TEST_F(BindingTest, OneWrapperPerHostObjectAndNoneLeftBehind) {
  const long references = host_.References();
  {
    ComPtr<IHostModelDoc> walked;
    application_->GetFirstDocument(walked.ReleaseAndGetAddressOf());
    ComPtr<IHostModelDoc> bound = BindDocument(host_.Document(host_.OpenDocuments().front()).Get());
    ComPtr<IUnknown> a, b;
    walked.As(&a);
    bound.As(&b);
    EXPECT_EQ(a.Get(), b.Get());
    // A wrapper handed back to the host reaches it as the host's own object:
    // the walk over a feature's display dimensions goes on from it.
    EXPECT_TRUE(Dimension(Feature(u"Boss-Extrude1"), 1));
    EXPECT_EQ(BindDocument(walked.Get()), walked);
  }
  application_ = nullptr;
  EXPECT_EQ(0u, wrappers::Count());
  EXPECT_GT(references, host_.References());
}

TEST_F(BindingTest, TheTraceHasOneLinePerCallWhenItIsOn) {
  testing_support::TempDir dir;
  const std::filesystem::path trace = dir.path() / "trace.jsonl";
  {
    testing_support::ScopedEnv on("HARBOLT_HOST_TRACE", trace.c_str());
    application_ = BindApplication(host_.Application().Get());
    ScopedBstr title;
    Housing()->GetTitle(title.Receive());
    Feature(u"Comments")->SetDescription(title.Get());
  }
  application_ = BindApplication(host_.Application().Get());  // off again
  ScopedBstr title;
  Housing()->GetTitle(title.Receive());
  std::vector<std::string> lines = Lines(trace);
  ASSERT_FALSE(lines.empty());
  for (std::string& line : lines) line = line.substr(0, line.find(", \"us\""));
  EXPECT_EQ(
      R"({"interface": "IModelDoc2", "member": "GetTitle", "kind": "method", "args": 0, "hr": "0x00000000")",
      lines.front());
  EXPECT_EQ(
      R"({"interface": "IFeature", "member": "Description", "kind": "put", "args": 1, "hr": "0x00000000")",
      lines.back());
}

// The trace has a line for every call that reached the host's members, as
// the host's own journal counts them: no call of an export bypasses the
// binding.
TEST_F(BindingTest, EveryHostCallOfAnExportGoesThroughTheBinding) {
  testing_support::TempDir dir;
  testing_support::ScopedEnv drive("HARBOLT_DRIVE_C", (dir.path() / "c").c_str());
  const std::filesystem::path trace = dir.path() / "trace.jsonl";
  std::filesystem::create_directories(dir.path() / "work");
  Dovbase::XmlDocument dictionary;
  ASSERT_EQ(0, dictionary.parse(
                   platform::Utf8ToUtf16(testing_support::ReadFile(Sample("dictionary.xml")))));
  {
    testing_support::ScopedEnv on("HARBOLT_HOST_TRACE", trace.c_str());
    application_ = BindApplication(host_.Application().Get());
  }
  host_.ClearCalls();
  ScopedBstr tables(u"Feature,Dimension,Equation,Config,Parameter,Componen,property");
  ScopedBstr database((dir.path() / "export.db").u16string());
  int32_t errNumber = 0;
  std::u16string errDescription;
  ASSERT_EQ(S_OK, RefreshTables(application_.Get(), dictionary, (dir.path() / "work").u16string(),
                                tables.Get(), database.Get(), u"Harbolt.Harbolt.1", errNumber,
                                errDescription))
      << Utf8(errDescription);
  ConfigureHostTrace();  // off again: the variable is gone
  EXPECT_GT(host_.Calls().size(), 500u);
  EXPECT_EQ(host_.Calls().size(), Lines(trace).size());
}

}  // namespace
}  // namespace published
