// The simulated host's published face answers as the real host's does:
// names and DISPIDs, the kinds a call may take, named and counted arguments,
// coercion and out-parameters, the forms of answers, hidden members and the
// interfaces an object answers. Calls are made by member name through
// IDispatch, as the binding makes them.
#include "sim/published_dispatch.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "host/published/published_ids.h"
#include "platform/safearray.h"
#include "platform/text.h"
#include "sim/sim_host.h"
#include "sim/variant_values.h"
#include "tools/automation/dispatch_call.h"

namespace sim {
namespace {

using automation::Arg;

std::string Utf8(std::u16string_view text) { return platform::Utf16ToUtf8(text); }

// What one Invoke gave.
struct Outcome {
  HRESULT hr = S_OK;
  ScopedVariant answer;
  UINT argErr = static_cast<UINT>(-1);
  std::string description;
};

// Invokes the member with flags and the arguments in call order; a put
// passes its last argument as the named DISPID_PROPERTYPUT.
Outcome Invoke(IDispatch* object, std::u16string_view member, WORD flags,
               const std::vector<Arg>& args = {}) {
  Outcome outcome;
  DISPID dispid = automation::DispIdOf(object, member);
  std::vector<VARIANT> reversed;  // shallow copies: the Args own the values
  for (auto arg = args.rbegin(); arg != args.rend(); ++arg) reversed.push_back(arg->value());
  DISPID named = DISPID_PROPERTYPUT;
  bool put = (flags & DISPATCH_PROPERTYPUT) != 0;
  DISPPARAMS params{reversed.data(), put ? &named : nullptr, static_cast<UINT>(reversed.size()),
                    put ? 1u : 0u};
  EXCEPINFO exception{};
  outcome.hr = object->Invoke(dispid, IID_NULL, LOCALE_USER_DEFAULT, flags, &params,
                              outcome.answer.Receive(), &exception, &outcome.argErr);
  outcome.description = Utf8(BstrView(exception.bstrDescription));
  SysFreeString(exception.bstrSource);
  SysFreeString(exception.bstrDescription);
  SysFreeString(exception.bstrHelpFile);
  return outcome;
}

// A method call or a property get that must work: its answer.
ScopedVariant Answer(IDispatch* object, std::u16string_view member,
                     const std::vector<Arg>& args = {}) {
  Outcome outcome = Invoke(object, member, DISPATCH_METHOD | DISPATCH_PROPERTYGET, args);
  EXPECT_EQ(S_OK, outcome.hr) << Utf8(member) << ": " << outcome.description;
  return std::move(outcome.answer);
}

// An answer as a text: a scalar as sim::ValueText gives it ("7", "-1" for
// true, the text), "object" or "null", a list as "[a, b]".
std::string AnswerText(const VARIANT& answer) {
  if (answer.vt == VT_DISPATCH) return answer.pdispVal ? "object" : "null";
  if (!(answer.vt & VT_ARRAY)) return Utf8(sim::ValueText(answer));
  LONG last = -1;
  SafeArrayGetUBound(answer.parray, 1, &last);
  std::string text = "[";
  for (LONG i = 0; i <= last; ++i) {
    ScopedVariant element;
    VARTYPE type = answer.vt & VT_TYPEMASK;
    void* into = type == VT_VARIANT ? static_cast<void*>(element.Get())
                                    : static_cast<void*>(&element.Get()->llVal);
    SafeArrayGetElement(answer.parray, &i, into);
    if (type != VT_VARIANT) element.Get()->vt = type;
    text += (i ? ", " : "") + AnswerText(*element.Get());
  }
  return text + "]";
}

std::string Text(IDispatch* object, std::u16string_view member, const std::vector<Arg>& args = {}) {
  return AnswerText(*Answer(object, member, args).Get());
}

// An object, or null for the host's "no object".
ComPtr<IDispatch> Object(IDispatch* object, std::u16string_view member,
                         const std::vector<Arg>& args = {}) {
  ScopedVariant answer = Answer(object, member, args);
  EXPECT_EQ(VT_DISPATCH, answer.Type()) << Utf8(member);
  return ComPtr<IDispatch>(answer.Type() == VT_DISPATCH ? answer.Get()->pdispVal : nullptr);
}

constexpr WORD kMethod = DISPATCH_METHOD;
constexpr WORD kGet = DISPATCH_PROPERTYGET;
constexpr WORD kPut = DISPATCH_PROPERTYPUT;

// Invoke with the arguments as DISPPARAMS holds them (the last first) and
// the named DISPIDs given.
HRESULT RawInvoke(IDispatch* object, DISPID dispid, WORD flags, std::vector<VARIANT> arguments,
                  std::vector<DISPID> named = {}) {
  DISPPARAMS params{arguments.data(), named.data(), static_cast<UINT>(arguments.size()),
                    static_cast<UINT>(named.size())};
  ScopedVariant result;
  return object->Invoke(dispid, IID_NULL, LOCALE_USER_DEFAULT, flags, &params, result.Receive(),
                        nullptr, nullptr);
}

class PublishedDispatchTest : public ::testing::Test {
 protected:
  void SetUp() override {
    app_ = host_.Application();
    housing_ = host_.Open(std::filesystem::path(HARBOLT_SAMPLE_DIR) / "Housing.SLDPRT");
    feature_ = Object(housing_.Get(), u"FirstFeature");
  }
  // The feature of that name on the part's feature chain; null when none.
  ComPtr<IDispatch> Feature(const std::string& name) {
    for (ComPtr<IDispatch> feature = Object(housing_.Get(), u"FirstFeature"); feature;
         feature = Object(feature.Get(), u"GetNextFeature")) {
      if (Text(feature.Get(), u"Name") == name) return feature;
    }
    return nullptr;
  }

  SimHost host_;
  ComPtr<IDispatch> app_;
  ComPtr<IDispatch> housing_;
  ComPtr<IDispatch> feature_;
};

TEST_F(PublishedDispatchTest, NamesGiveTheMeasuredDispidsIgnoringLetterCase) {
  struct Case {
    IDispatch* object;
    const char16_t* name;
    DISPID dispid;
  } cases[] = {{app_.Get(), u"ActiveDoc", 1},
               {app_.Get(), u"frame", 5},
               {app_.Get(), u"CLOSEDOC", 7},
               {app_.Get(), u"RevisionNumber", 12},
               {app_.Get(), u"GetOpenDocumentByName", 122},
               {app_.Get(), u"OpenDoc6", 167},
               {app_.Get(), u"GetDocuments", 273},
               {app_.Get(), u"activateDoc3", 306},
               {app_.Get(), u"SetAddinCallbackInfo2", 310},
               {housing_.Get(), u"GetTitle", 65607},
               {housing_.Get(), u"GetPathName", 65608},
               {housing_.Get(), u"gettype", 65609},
               {app_.Get(), u"GetTitle", DISPID_UNKNOWN},
               {feature_.Get(), u"Nom", DISPID_UNKNOWN}};
  for (const Case& c : cases) {
    EXPECT_EQ(c.dispid, automation::DispIdOf(c.object, c.name)) << Utf8(c.name);
  }
  UINT count = 7;  // no type information
  EXPECT_EQ(S_OK, housing_->GetTypeInfoCount(&count));
  EXPECT_EQ(0u, count);
}

TEST_F(PublishedDispatchTest, TheKindOfAMemberDecidesWhichFlagsReachIt) {
  struct Case {
    const char16_t* member;
    WORD flags;
    HRESULT expected;
  } cases[] = {{u"GetTypeName2", kMethod, S_OK},
               {u"GetTypeName2", kGet, S_OK},
               {u"GetTypeName2", kMethod | kGet, S_OK},
               {u"GetTypeName2", kPut, DISP_E_MEMBERNOTFOUND},
               {u"Name", kGet, S_OK},
               {u"Name", kMethod | kGet, S_OK},
               {u"Name", kMethod, DISP_E_MEMBERNOTFOUND},
               {u"Name", kPut, DISP_E_MEMBERNOTFOUND},
               {u"Description", kPut, S_OK},
               {u"Visible", kPut, DISP_E_MEMBERNOTFOUND},
               {u"Name", DISPATCH_PROPERTYPUTREF, DISP_E_MEMBERNOTFOUND}};
  for (const Case& c : cases) {
    std::vector<Arg> value;
    if (c.flags & kPut) value.push_back(Arg(u"说明"));
    EXPECT_EQ(c.expected, Invoke(feature_.Get(), c.member, c.flags, value).hr)
        << Utf8(c.member) << " flags " << c.flags;
  }
  EXPECT_EQ("说明", Text(feature_.Get(), u"Description"));
  EXPECT_EQ(DISP_E_MEMBERNOTFOUND, RawInvoke(feature_.Get(), 999, kMethod | kGet, {}));
}

TEST_F(PublishedDispatchTest, APutTakesItsValueAsTheOneNamedArgumentAndEveryParameterIsPassed) {
  ComPtr<IDispatch> equations = Object(housing_.Get(), u"GetEquationMgr");
  DISPID equation = automation::DispIdOf(equations.Get(), u"Equation");
  ScopedVariant text(std::u16string_view(u"\"Width\" = 130"));
  ScopedVariant zero(LONG{0});
  // The value stands first in DISPPARAMS, the index after it.
  EXPECT_EQ(S_OK, RawInvoke(equations.Get(), equation, kPut, {*text.Get(), *zero.Get()},
                            {DISPID_PROPERTYPUT}));
  EXPECT_EQ("\"Width\" = 130", Text(equations.Get(), u"Equation", {Arg(0)}));
  struct Case {
    WORD flags;
    std::vector<VARIANT> arguments;
    std::vector<DISPID> named;
    HRESULT expected;
  } cases[] = {{kPut, {*text.Get(), *zero.Get()}, {}, DISP_E_PARAMNOTFOUND},
               {kPut, {*text.Get(), *zero.Get()}, {0}, DISP_E_PARAMNOTFOUND},
               {kPut, {*text.Get(), *zero.Get()}, {DISPID_PROPERTYPUT, 0}, DISP_E_NONAMEDARGS},
               {kGet, {*zero.Get()}, {0}, DISP_E_NONAMEDARGS},
               {kPut, {*text.Get()}, {DISPID_PROPERTYPUT}, DISP_E_BADPARAMCOUNT},
               {kGet, {}, {}, DISP_E_BADPARAMCOUNT},
               {kGet, {*zero.Get(), *zero.Get()}, {}, DISP_E_BADPARAMCOUNT}};
  for (const Case& c : cases) {
    EXPECT_EQ(c.expected, RawInvoke(equations.Get(), equation, c.flags, c.arguments, c.named));
  }
  EXPECT_EQ(DISP_E_BADPARAMCOUNT, Invoke(app_.Get(), u"CloseDoc", kMethod).hr);
  // Only the calls that reached their member are in the journal.
  EXPECT_EQ(2u, host_.CallLines("IEquationMgr.").size());
}

TEST_F(PublishedDispatchTest, InArgumentsAreCoercedAndAMismatchNamesItsPlace) {
  ComPtr<IDispatch> equations = Object(housing_.Get(), u"GetEquationMgr");
  LONG one = 1;
  ScopedVariant held(std::u16string_view(u"1"));
  for (const Arg& index :
       {Arg(1), Arg(u" 1 "), Arg::Double(1.0), Arg::LongRef(&one), Arg::VariantRef(held.Get())}) {
    EXPECT_EQ("\"D1@Sketch1\" = \"Width\"", Text(equations.Get(), u"Equation", {index}));
  }
  LONG errors = 0;
  ComPtr<IDispatch> sketch = Feature("Sketch1");
  struct Case {
    IDispatch* object;
    const char16_t* member;
    std::vector<Arg> args;
    UINT argErr;
  } cases[] = {{equations.Get(), u"Equation", {Arg(u"first")}, 0},
               {app_.Get(),
                u"OpenDoc6",
                {Arg(u"x"), Arg::Dispatch(app_.Get()), Arg(1), Arg(u""), Arg::LongRef(&errors),
                 Arg::LongRef(&errors)},
                4},
               {sketch.Get(), u"GetNextDisplayDimension", {Arg(u"first")}, 0},
               {housing_.Get(), u"GetConfigurationByName", {Arg::Dispatch(app_.Get())}, 0}};
  for (const Case& c : cases) {
    Outcome outcome = Invoke(c.object, c.member, kMethod | kGet, c.args);
    EXPECT_EQ(DISP_E_TYPEMISMATCH, outcome.hr) << Utf8(c.member);
    EXPECT_EQ(c.argErr, outcome.argErr) << Utf8(c.member);
  }
  // Objects: IDispatch or IUnknown; empty, null and a null object are none.
  ComPtr<IDispatch> extrude = Feature("Boss-Extrude1");
  ComPtr<IUnknown> first;
  Object(extrude.Get(), u"GetFirstDisplayDimension").As(&first);
  EXPECT_TRUE(Object(extrude.Get(), u"GetNextDisplayDimension", {Arg::Unknown(first.Get())}));
  for (const Arg& none : {Arg::Empty(), Arg::Null(), Arg::Dispatch(nullptr)}) {
    EXPECT_FALSE(Object(extrude.Get(), u"GetNextDisplayDimension", {none}));
  }
}

TEST_F(PublishedDispatchTest, OutParametersArriveByReference) {
  ComPtr<IDispatch> tolerance =
      Object(Object(Object(Feature("Sketch1").Get(), u"GetFirstDisplayDimension").Get(),
                    u"GetDimension2", {Arg(0)})
                 .Get(),
             u"Tolerance");
  double limit = 0;
  VARIANT typed{};
  typed.vt = VT_BYREF | VT_R8;
  typed.pdblVal = &limit;
  EXPECT_EQ(S_OK, RawInvoke(tolerance.Get(), automation::DispIdOf(tolerance.Get(), u"GetMinValue2"),
                            kMethod, {typed}));
  EXPECT_DOUBLE_EQ(-0.1, limit);
  // A VARIANT target is cleared before it is written.
  ScopedVariant any(std::u16string_view(u"old"));
  EXPECT_EQ(
      "0",
      AnswerText(*Answer(tolerance.Get(), u"GetMaxValue2", {Arg::VariantRef(any.Get())}).Get()));
  EXPECT_EQ("0.1", AnswerText(*any.Get()));
  // Anything else is no place to write to.
  LONG number = 0;
  BSTR text = nullptr;
  for (const Arg& wrong : {Arg::LongRef(&number), Arg::BstrRef(&text), Arg::Double(0)}) {
    Outcome outcome = Invoke(tolerance.Get(), u"GetMinValue2", kMethod, {wrong});
    EXPECT_EQ(DISP_E_TYPEMISMATCH, outcome.hr);
    EXPECT_EQ(0u, outcome.argErr);
  }
}

TEST_F(PublishedDispatchTest, AnswerStylesGiveEveryFormTheReferenceAllows) {
  struct Case {
    AnswerStyle style;
    VARTYPE names;
    VARTYPE none;
    std::string isBase;
  } cases[] = {{{}, VT_ARRAY | VT_BSTR, VT_DISPATCH, "-1"},
               {{AnswerStyle::Lists::kVariants, AnswerStyle::NoObject::kEmpty, 1},
                VT_ARRAY | VT_VARIANT,
                VT_EMPTY,
                "1"},
               {{AnswerStyle::Lists::kTyped, AnswerStyle::NoObject::kNull, VARIANT_TRUE},
                VT_ARRAY | VT_BSTR,
                VT_NULL,
                "-1"}};
  for (const Case& c : cases) {
    host_.SetAnswerStyle(c.style);
    ScopedVariant names = Answer(housing_.Get(), u"GetConfigurationNames");
    EXPECT_EQ(c.names, names.Type());
    EXPECT_EQ("[Default, Heavy]", AnswerText(*names.Get()));
    EXPECT_EQ(c.none, Answer(housing_.Get(), u"GetConfigurationByName", {Arg(u"No")}).Type());
    EXPECT_EQ(c.isBase, AnswerText(*Answer(Feature("Boss-Extrude1").Get(), u"IsBase2").Get()));
    EXPECT_EQ(
        "[" + c.isBase + "]",
        AnswerText(
            *Answer(Feature("Chamfer1").Get(), u"IsSuppressed2", {Arg(1), Arg::Empty()}).Get()));
  }
}

TEST_F(PublishedDispatchTest, AHiddenMemberIsUnknownAsOnAnOlderHost) {
  DISPID description = automation::DispIdOf(feature_.Get(), u"Description");
  host_.HideMember("IFeature.Description");
  EXPECT_EQ(DISPID_UNKNOWN, automation::DispIdOf(feature_.Get(), u"Description"));
  EXPECT_EQ(DISP_E_MEMBERNOTFOUND, RawInvoke(feature_.Get(), description, kGet, {}));
  EXPECT_EQ("Comments", Text(feature_.Get(), u"Name"));
  EXPECT_THROW(host_.HideMember("IFeature.GetTypeName3"), std::invalid_argument);
}

TEST_F(PublishedDispatchTest, ObjectsAnswerOnlyTheirPublishedIdentities) {
  ComPtr<IDispatch> root = Object(
      Object(Object(host_.Open(std::filesystem::path(HARBOLT_SAMPLE_DIR) / "Gearbox.SLDASM").Get(),
                    u"ConfigurationManager")
                 .Get(),
             u"ActiveConfiguration")
          .Get(),
      u"GetRootComponent3", {Arg(1)});
  const IID& points = IidOf<IConnectionPointContainer>();
  struct Case {
    IDispatch* object;
    const IID& iid;
    bool answers;
  } cases[] = {{app_.Get(), published::kIidSldWorks, true},
               {app_.Get(), points, true},
               {app_.Get(), published::kIidModelDoc2, false},
               {housing_.Get(), published::kIidModelDoc2, true},
               {housing_.Get(), points, true},
               {housing_.Get(), published::kIidSldWorks, false},
               {root.Get(), IidOf<IDispatch>(), true},
               {root.Get(), published::kIidModelDoc2, false},
               {feature_.Get(), points, false},
               {feature_.Get(), published::kIidPartDocEvents, false}};
  for (const Case& c : cases) {
    ComPtr<IUnknown> answer;
    HRESULT hr =
        c.object->QueryInterface(c.iid, reinterpret_cast<void**>(answer.ReleaseAndGetAddressOf()));
    EXPECT_EQ(c.answers, SUCCEEDED(hr)) << Utf8(platform::GuidToString(c.iid));
  }
}

// The property managers' read members, on the document's own list and on a
// configuration's, for a name that is there and one that is not.
TEST_F(PublishedDispatchTest, PropertyManagersAnswerEveryReadMember) {
  ComPtr<IDispatch> own =
      Object(Object(housing_.Get(), u"Extension").Get(), u"CustomPropertyManager", {Arg(u"")});
  ComPtr<IDispatch> heavy =
      Object(Object(housing_.Get(), u"GetConfigurationByName", {Arg(u"Heavy")}).Get(),
             u"CustomPropertyManager");
  std::string answers = Text(own.Get(), u"Count") + " " + Text(heavy.Get(), u"GetNames") + " " +
                        Text(own.Get(), u"GetType2", {Arg(u"Weight")}) + " " +
                        Text(own.Get(), u"GetType2", {Arg(u"None")});
  for (const char16_t* name : {u"Material", u"None"}) {
    ScopedVariant value, resolved, wasResolved, link;
    const std::string found =
        Text(heavy.Get(), u"Get6",
             {Arg(name), Arg(0), Arg::VariantRef(value.Get()), Arg::VariantRef(resolved.Get()),
              Arg::VariantRef(wasResolved.Get()), Arg::VariantRef(link.Get())});
    answers += " " + found + ":" + AnswerText(*value.Get()) + "/" + AnswerText(*resolved.Get());
  }
  EXPECT_EQ("5 [PartNo, Material] 5 0 0:Cast Steel/Cast Steel 1:/", answers);
}

// The application's members the binding does not call today answer as the
// reference describes: the open documents, activation of a name that is not
// open, previews of a file that is not open, and no connection point list.
TEST_F(PublishedDispatchTest, ApplicationMembersAnswerAsPublished) {
  const std::u16string gearbox =
      (std::filesystem::path(HARBOLT_SAMPLE_DIR) / "Gearbox.SLDASM").u16string();
  LONG errors = 0;
  std::string answers = Text(app_.Get(), u"GetFirstDocument") + " " +
                        Text(app_.Get(), u"GetDocuments") + " " +
                        Text(app_.Get(), u"ActivateDoc3",
                             {Arg(u"Nope.SLDPRT"), Arg(0), Arg(0), Arg::LongRef(&errors)});
  answers += " " + std::to_string(errors);
  for (const char16_t* configuration : {u"Default", u"Nope"}) {
    answers += " " + Text(app_.Get(), u"GetPreviewBitmap", {Arg(gearbox), Arg(configuration)});
  }
  ComPtr<IConnectionPointContainer> points;
  ASSERT_EQ(S_OK, app_.As(&points));
  IEnumConnectionPoints* list = nullptr;
  EXPECT_EQ(E_NOTIMPL, points->EnumConnectionPoints(&list));
  EXPECT_EQ(nullptr, list);
  EXPECT_EQ("object [object] null 1 object null", answers);
}

}  // namespace
}  // namespace sim
