// The binding against the simulated host's published face: every family of
// conversions it makes (by-reference out-parameters, indexed puts, both
// array forms, "no object" in each form, booleans), every kind of failure
// with its clear error, wrappers and their identity, and the host-call trace.
#include "host/published/binding.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
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
// binding; the cases' lambdas use the vocabulary.
class BindingTest : public ::testing::Test {
 public:
  BindingTest() {
    host_.Open(Sample("Gearbox.SLDASM"));
    application_ = BindApplication(host_.Application().Get());
  }
  ~BindingTest() override { ClearHostFailure(); }

  ComPtr<IHostModelDoc> Document(const char* name) {
    return BindDocument(host_.Document(Sample(name)).Get());
  }
  ComPtr<IHostFeature> Feature(const char* document, std::u16string_view name) {
    ComPtr<IHostFeature> feature;
    Document(document)->GetFirstFeature(feature.ReleaseAndGetAddressOf());
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
  ComPtr<IHostConfiguration> Configuration(const char* document, const char16_t* name) {
    ScopedBstr text(name);
    ComPtr<IHostConfiguration> configuration;
    Document(document)->GetConfiguration(text.Get(), configuration.ReleaseAndGetAddressOf());
    return configuration;
  }
  ComPtr<IHostDimension> Dimension(const char* document, std::u16string_view feature, LONG display,
                                   LONG index = 0) {
    ComPtr<IDispatch> shown;
    Feature(document, feature)->GetFirstDisplayDimension(shown.ReleaseAndGetAddressOf());
    for (LONG i = 0; i < display && shown; ++i) {
      ComPtr<IDispatch> next;
      Feature(document, feature)
          ->GetNextDisplayDimension(shown.Get(), next.ReleaseAndGetAddressOf());
      shown = std::move(next);
    }
    ComPtr<IHostDisplayDimension> typed;
    shown.As(&typed);
    ComPtr<IHostDimension> dimension;
    if (typed) typed->GetDimension(index, dimension.ReleaseAndGetAddressOf());
    return dimension;
  }
  // The failure text the binding recorded for hr.
  static std::string FailureText(HRESULT hr) {
    std::optional<std::u16string> text = TakeHostFailure(hr);
    return text ? Utf8(*text) : "(none)";
  }

  sim::SimHost host_;
  ComPtr<IHostApplication> application_;
};

// Each case reads something through an out-parameter the binding passes by
// reference, and renders the result as text.
struct OutCase {
  const char* name;
  std::function<std::string(BindingTest&)> read;
  const char* expected;
};

TEST_F(BindingTest, ByReferenceOutParametersComeBack) {
  const OutCase cases[] = {
      {"OpenDoc6 of a missing file: the error bits",
       [](BindingTest& t) {
         ScopedBstr path(u"/no/such/Part.SLDPRT");
         ComPtr<IHostModelDoc> document;
         HRESULT hr =
             t.application_->OpenDocument(path.Get(), 1, document.ReleaseAndGetAddressOf());
         return std::to_string(hr == HRESULT_FROM_WIN32(2)) + (document ? " doc" : " none");
       },
       "1 none"},
      {"OpenDoc6 of the wrong type",
       [](BindingTest& t) {
         ScopedBstr path(Sample("Housing.SLDPRT").u16string());
         ComPtr<IHostModelDoc> document;
         HRESULT hr =
             t.application_->OpenDocument(path.Get(), 2, document.ReleaseAndGetAddressOf());
         return std::to_string(hr == E_INVALIDARG) + (document ? " doc" : " none");
       },
       "1 none"},
      {"GetErrorCode2 with its IsWarning",
       [](BindingTest& t) {
         LONG code = -5;
         HRESULT hr = t.Feature("Housing.SLDPRT", u"Chamfer1")->GetErrorCode(&code);
         return std::to_string(hr) + " " + std::to_string(code);
       },
       "0 0"},
      {"GetMinValue2 and GetMaxValue2",
       [](BindingTest& t) {
         ComPtr<IHostTolerance> tolerance;
         t.Dimension("Housing.SLDPRT", u"Boss-Extrude1", 1)
             ->GetTolerance(tolerance.ReleaseAndGetAddressOf());
         double low = 0, high = 0;
         tolerance->GetMinValue(&low);
         tolerance->GetMaxValue(&high);
         return std::to_string(low) + " " + std::to_string(high);
       },
       "-0.100000 0.100000"},
      {"GetConfigurationParams: two arrays",
       [](BindingTest& t) {
         ComPtr<IHostConfigurationManager> manager;
         t.Document("Housing.SLDPRT")->GetConfigurationManager(manager.ReleaseAndGetAddressOf());
         ScopedBstr scope(u"Heavy");
         ScopedSafeArray names, values;
         manager->GetParameters(scope.Get(), names.Receive(), values.Receive());
         return Texts(names) + "=" + Texts(values);
       },
       "D1@Boss-Extrude1,$STATE@Chamfer1=45.0mm,U"},
      {"GetAll: three arrays",
       [](BindingTest& t) {
         ComPtr<IHostCustomPropertyManager> manager;
         t.Configuration("Housing.SLDPRT", u"Heavy")
             ->GetCustomPropertyManager(manager.ReleaseAndGetAddressOf());
         ScopedSafeArray names, types, values;
         manager->GetAll(names.Receive(), types.Receive(), values.Receive());
         return Texts(names) + "|" + Longs(types) + "|" + Texts(values);
       },
       "PartNo,Material|30,30|HSG-100H,Cast Steel"},
  };
  for (const OutCase& c : cases) {
    EXPECT_EQ(c.expected, c.read(*this)) << c.name;
  }
}

TEST_F(BindingTest, IndexedPutsPassTheIndexBeforeTheValue) {
  ComPtr<IHostEquationManager> equations;
  Document("Housing.SLDPRT")->GetEquationManager(equations.ReleaseAndGetAddressOf());
  struct PutCase {
    const char* name;
    std::function<HRESULT()> put;
    HRESULT expected;
    std::function<std::string()> after;
    const char* state;
  };
  const PutCase cases[] = {
      {"Equation(1) = text",
       [&] {
         ScopedBstr text(u"\"D1@Sketch1\" = 130");
         return equations->SetEquation(1, text.Get());
       },
       S_OK,
       [&] {
         ScopedBstr text;
         equations->GetEquation(1, text.Receive());
         return Utf8(text.View());
       },
       "\"D1@Sketch1\" = 130"},
      {"Equation(9): the host's status turns into E_INVALIDARG",
       [&] {
         ScopedBstr text(u"\"D9@Sketch1\" = 1");
         return equations->SetEquation(9, text.Get());
       },
       E_INVALIDARG,
       [&] {
         LONG count = 0;
         equations->GetCount(&count);
         return std::to_string(count);
       },
       "4"},
      {"Suppression(3) = false", [&] { return equations->SetSuppression(3, VARIANT_FALSE); }, S_OK,
       [&] {
         VARIANT_BOOL suppressed = VARIANT_TRUE;
         equations->GetSuppression(3, &suppressed);
         return std::to_string(suppressed);
       },
       "0"},
      {"Suppression(-1)", [&] { return equations->SetSuppression(-1, VARIANT_TRUE); }, E_INVALIDARG,
       [&] {
         VARIANT_BOOL suppressed = VARIANT_TRUE;
         HRESULT hr = equations->GetSuppression(-1, &suppressed);
         return std::to_string(hr == E_INVALIDARG) + std::to_string(suppressed);
       },
       "10"},
  };
  for (const PutCase& c : cases) {
    EXPECT_EQ(c.expected, c.put()) << c.name;
    EXPECT_EQ(c.state, c.after()) << c.name;
  }
  // Index first, value last: two arguments for the one put.
  EXPECT_EQ(host_.CallLines("IEquationMgr.put_Equation").front(),
            "IEquationMgr.put_Equation Housing.SLDPRT(1, \"D1@Sketch1\" = 130)");
}

// What the add-in reads through every list member, rendered as text.
std::string ReadLists(BindingTest& t) {
  std::string seen;
  ComPtr<IHostModelDoc> housing = t.Document("Housing.SLDPRT");
  ScopedSafeArray names;
  housing->GetConfigurationNames(names.Receive());
  seen += "configurations " + Texts(names) + "\n";
  ComPtr<IHostComponent> root;
  t.Configuration("Gearbox.SLDASM", u"Default")->GetRootComponent(root.ReleaseAndGetAddressOf());
  ScopedSafeArray children;
  root->GetChildren(children.Receive());
  seen += "children " + std::to_string(children.Count()) + "\n";
  VARIANT_BOOL suppressed = VARIANT_FALSE;
  t.Feature("Housing.SLDPRT", u"Chamfer1")->IsSuppressed(&suppressed);
  seen += "suppressed " + std::to_string(suppressed) + "\n";
  double value = 0, system = 0;
  ComPtr<IHostDimension> dimension = t.Dimension("Housing.SLDPRT", u"Boss-Extrude1", 0);
  dimension->GetValue(&value);
  dimension->GetSystemValue(&system);
  seen += "value " + std::to_string(value) + " " + std::to_string(system) + "\n";
  ScopedVariant dependencies;
  t.Document("Gearbox.SLDASM")
      ->GetDependencies(VARIANT_TRUE, VARIANT_TRUE, VARIANT_FALSE, dependencies.Receive());
  ScopedSafeArray files(dependencies.Get()->parray);
  dependencies.Get()->vt = VT_EMPTY;
  seen += "dependencies " + std::to_string(files.Count()) + "\n";
  ComPtr<IHostCustomPropertyManager> manager;
  t.Configuration("Housing.SLDPRT", u"Default")
      ->GetCustomPropertyManager(manager.ReleaseAndGetAddressOf());
  ScopedSafeArray allNames, allTypes, allValues;
  manager->GetAll(allNames.Receive(), allTypes.Receive(), allValues.Receive());
  seen += "all " + Texts(allNames) + "|" + Longs(allTypes) + "|" + Texts(allValues) + "\n";
  return seen;
}

TEST_F(BindingTest, ArraysOfTheirOwnTypeOrOfVariantsReadTheSame) {
  const std::string expected =
      "configurations Default,Heavy\n"
      "children 4\n"
      "suppressed -1\n"
      "value 30.000000 0.030000\n"
      "dependencies 8\n"
      "all PartNo|30|HSG-100\n";
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
    sim::AnswerStyle style;
    style.noObject = form;
    host_.SetAnswerStyle(style);
    ComPtr<IHostConfiguration> parent;
    EXPECT_EQ(
        S_OK,
        Configuration("Housing.SLDPRT", u"Default")->GetParent(parent.ReleaseAndGetAddressOf()));
    EXPECT_FALSE(parent) << static_cast<int>(form);
    ComPtr<IHostFeature> sub;
    EXPECT_EQ(
        S_OK,
        Feature("Housing.SLDPRT", u"Comments")->GetFirstSubFeature(sub.ReleaseAndGetAddressOf()));
    EXPECT_FALSE(sub) << static_cast<int>(form);
    ScopedBstr missing(u"/nowhere/x.SLDPRT");
    EXPECT_EQ(S_FALSE, application_->CloseDocument(missing.Get())) << static_cast<int>(form);
  }
  sim::SimHost empty;
  ComPtr<IHostApplication> none = BindApplication(empty.Application().Get());
  ComPtr<IHostModelDoc> active;
  EXPECT_EQ(S_OK, none->GetActiveDocument(active.ReleaseAndGetAddressOf()));
  EXPECT_FALSE(active);
}

TEST_F(BindingTest, BooleansComeBackNormalisedAndGoOutAsVariantTrue) {
  for (VARIANT_BOOL hostTrue : {VARIANT_BOOL(-1), VARIANT_BOOL(1)}) {
    sim::AnswerStyle style;
    style.trueValue = hostTrue;
    host_.SetAnswerStyle(style);
    VARIANT_BOOL isBase = 0, locked = 0, suppressed = 0, readOnly = 0;
    Feature("Housing.SLDPRT", u"Boss-Extrude1")->IsBase(&isBase);
    Configuration("Housing.SLDPRT", u"Heavy")->GetLocked(&locked);
    Feature("Housing.SLDPRT", u"Chamfer1")->IsSuppressed(&suppressed);
    ComPtr<IHostFeature> holes = Feature("Housing.SLDPRT", u"Holes");
    ComPtr<IHostFeature> cut;
    holes->GetFirstSubFeature(cut.ReleaseAndGetAddressOf());
    ComPtr<IHostFeature> sketch;
    cut->GetFirstSubFeature(sketch.ReleaseAndGetAddressOf());
    ComPtr<IDispatch> shown;
    sketch->GetFirstDisplayDimension(shown.ReleaseAndGetAddressOf());
    ComPtr<IHostDisplayDimension> display;
    shown.As(&display);
    ComPtr<IHostDimension> dimension;
    display->GetDimension(0, dimension.ReleaseAndGetAddressOf());
    dimension->GetReadOnly(&readOnly);
    EXPECT_EQ((std::vector<VARIANT_BOOL>{-1, -1, -1, -1}),
              (std::vector<VARIANT_BOOL>{isBase, locked, suppressed, readOnly}))
        << "host true " << hostTrue;
  }
  // Any true value of the add-in goes to the host as VARIANT_TRUE.
  EXPECT_EQ(S_OK, Configuration("Housing.SLDPRT", u"Default")->SetLocked(VARIANT_BOOL(1)));
  EXPECT_TRUE(host_.Model(Sample("Housing.SLDPRT"))->configurations[0].locked);
  EXPECT_EQ("IConfiguration.put_Lock Housing.SLDPRT:Default(true)",
            host_.CallLines("IConfiguration.put_Lock").back());
}

// Each failure kind ends in its HRESULT and a text that names the member.
struct FailureCase {
  const char* name;
  std::function<void(sim::SimHost&)> arrange;
  std::function<HRESULT(BindingTest&)> call;
  HRESULT expected;
  const char* text;
};

TEST_F(BindingTest, EveryFailureIsAClearErrorNamingTheMember) {
  static constinit HostMember unseenTypeName{"IFeature", u"GetTypeName2"};
  static constinit HostMember titleMember{"IModelDoc2", u"GetTitle"};
  static constinit HostMember byNameMember{"IModelDoc2", u"GetConfigurationByName"};
  const FailureCase cases[] = {
      {"an exception of the host, with its code and words",
       [](sim::SimHost& host) { host.FailCall("IFeature.Name", MakeHresult(0x8004DEAD)); },
       [](BindingTest& t) {
         ScopedBstr name;
         ComPtr<IHostFeature> first;
         t.Document("Housing.SLDPRT")->GetFirstFeature(first.ReleaseAndGetAddressOf());
         return first->GetName(name.Receive());
       },
       MakeHresult(0x8004DEAD), "IFeature.Name failed (0x8004DEAD): IFeature.Name failed in the"},
      {"a member the host does not have (Invoke)",
       [](sim::SimHost& host) { host.FailCall("IModelDoc2.GetTitle", DISP_E_MEMBERNOTFOUND); },
       [](BindingTest& t) {
         ScopedBstr title;
         return t.Document("Housing.SLDPRT")->GetTitle(title.Receive());
       },
       DISP_E_MEMBERNOTFOUND,
       "IModelDoc2.GetTitle failed (0x80020003): the host has no such member"},
      {"a member the host does not know by name (an older release)",
       [](sim::SimHost& host) { host.HideMember("IFeature.GetTypeName2"); },
       [](BindingTest& t) {
         ComPtr<IHostFeature> first;
         t.Document("Housing.SLDPRT")->GetFirstFeature(first.ReleaseAndGetAddressOf());
         ComPtr<IDispatch> real = Unwrap(first.Get());
         return CallHost(real.Get(), unseenTypeName, CallKind::kMethod, {}, nullptr);
       },
       DISP_E_UNKNOWNNAME,
       "IFeature.GetTypeName2 failed (0x80020006): the host has no such member"},
      {"an answer of the wrong type",
       [](sim::SimHost& host) { host.EmptyCall("IModelDoc2.GetPathName"); },
       [](BindingTest& t) {
         ScopedBstr path;
         return t.Document("Housing.SLDPRT")->GetPathName(path.Receive());
       },
       DISP_E_TYPEMISMATCH,
       "IModelDoc2.GetPathName failed (0x80020005): the host answered VT_EMPTY where a text was "
       "expected"},
      {"an argument of the wrong type", [](sim::SimHost&) {},
       [](BindingTest& t) {
         ComPtr<IDispatch> real = Unwrap(t.Document("Housing.SLDPRT").Get());
         return CallHost(real.Get(), byNameMember, CallKind::kMethod, {HostArg::Object(real.Get())},
                         nullptr);
       },
       DISP_E_TYPEMISMATCH,
       "IModelDoc2.GetConfigurationByName failed (0x80020005): argument 1 does not have the type"},
      {"a wrong number of arguments", [](sim::SimHost&) {},
       [](BindingTest& t) {
         ComPtr<IDispatch> real = Unwrap(t.Document("Housing.SLDPRT").Get());
         return CallHost(real.Get(), titleMember, CallKind::kMethod, {HostArg::Long(1)}, nullptr);
       },
       DISP_E_BADPARAMCOUNT,
       "IModelDoc2.GetTitle failed (0x8002000E): the host expects another number of arguments"},
      {"a check of the binding's own", [](sim::SimHost&) {},
       [](BindingTest& t) {
         return t.Dimension("Housing.SLDPRT", u"Boss-Extrude1", 0)->SetDrivenState(7);
       },
       E_INVALIDARG, "IDimension.DrivenState failed (0x80070057): driven states are 0, 1 and 2"},
  };
  for (const FailureCase& c : cases) {
    c.arrange(host_);
    HRESULT hr = c.call(*this);
    host_.ClearFaults();
    EXPECT_EQ(c.expected, hr) << c.name;
    EXPECT_EQ(0u, FailureText(hr).find(c.text)) << c.name << ": " << FailureText(hr);
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
    EXPECT_TRUE(Dimension("Housing.SLDPRT", u"Boss-Extrude1", 1));
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
    ComPtr<IHostModelDoc> housing = Document("Housing.SLDPRT");
    ScopedBstr title;
    housing->GetTitle(title.Receive());
    Feature("Housing.SLDPRT", u"Comments")->SetDescription(title.Get());
  }
  application_ = BindApplication(host_.Application().Get());
  ScopedBstr title;
  Document("Housing.SLDPRT")->GetTitle(title.Receive());

  std::ifstream in(trace);
  std::vector<std::string> lines;
  for (std::string line; std::getline(in, line);)
    lines.push_back(line.substr(0, line.find(", \"us\"")));
  ASSERT_FALSE(lines.empty());
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
  std::ifstream file(Sample("dictionary.xml"));
  const std::string xml((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
  Dovbase::XmlDocument dictionary;
  ASSERT_EQ(0, dictionary.parse(platform::Utf8ToUtf16(xml)));
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
