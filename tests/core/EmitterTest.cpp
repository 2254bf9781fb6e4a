#include "morvex/JSON.h"
#include "morvex/JSONTool.h"
#include "morvex/ObjectiveCEmitter.h"
#include "morvex/SwiftEmitter.h"

#include "morvex/BKLog.h"

#include <gtest/gtest.h>

namespace morvex {
namespace {

JSONTool sampleTool(const std::string& typePrefix = "class", const std::string& base = "Codable")
{
    JSONTool tool;
    tool.classPrefix = "MX";
    tool.typePrefix = typePrefix;
    tool.base = base;
    return tool;
}

std::string swiftRoot(const std::string& json, JSONTool& tool)
{
    auto document = JSONDocument::parse(json);
    return SwiftEmitter(tool).parse(document.root(), "RootModel");
}

std::vector<std::string> classNames(const JSONTool& tool)
{
    std::vector<std::string> names;
    for (const auto& model : tool.model)
        names.push_back(model.className);
    return names;
}

// Past a few members an object finds repeated keys through an index.
TEST(SwiftEmitterParse, RepeatedKeyInWideObject)
{
    std::string json = "{";
    for (int i = 0; i < 40; ++i)
        json += "\"k" + std::to_string(i) + "\":1,";
    json += "\"k3\":{\"z\":1}}";
    JSONTool tool = sampleTool();
    const std::string code = swiftRoot(json, tool);
    EXPECT_NE(code.find("    var k3: MXK3\n    var k4: Int\n"), std::string::npos);
    EXPECT_EQ(classNames(tool), std::vector<std::string>{"MXK3"});
}

TEST(SwiftEmitterParse, SendsEachNestedTypeToTheDebugLog)
{
    std::vector<std::string> logged;
    auto previous = setBKLogSink([&](std::string_view value, std::string_view, std::string_view method, unsigned) {
        EXPECT_EQ(method, "parse(json:name:)");
        logged.emplace_back(value);
    });
    JSONTool tool = sampleTool();
    swiftRoot(R"({"a":{"x":1},"b":[{"y":2}]})", tool);
    setBKLogSink(previous);
    ASSERT_EQ(logged.size(), 2u);
    EXPECT_EQ(logged[0], tool.model[0].code);
    EXPECT_EQ(logged[1], tool.model[1].code);
}

struct MemberCase
{
    const char* name;
    std::string json;
    std::string swift;
    std::string objectiveC;
};

class EmitterPropertyText : public testing::TestWithParam<MemberCase>
{};

TEST_P(EmitterPropertyText, DeclaresMemberByKind)
{
    auto document = JSONDocument::parse(GetParam().json);
    ASSERT_TRUE(document.ok());
    JSON member;
    std::string key;
    document.root().forEach([&](std::string_view k, const JSON& value) {
        key = std::string(k);
        member = value;
    });
    JSONTool tool = sampleTool();
    EXPECT_EQ(SwiftEmitter(tool).propertyText(key, member), GetParam().swift);
    EXPECT_EQ(ObjectiveCEmitter(tool).propertyText(key, member), GetParam().objectiveC);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, EmitterPropertyText,
    testing::Values(
        MemberCase{"IntegralWithZeroFraction", R"({"count":3.0})", "count: Int", "assign) NSInteger count;"},
        MemberCase{"Fractional", R"({"ratio":0.5})", "ratio: Float", "assign) CGFloat ratio;"},
        MemberCase{"FractionLostInSinglePrecision", R"({"n":1.00000001})", "n: Int", "assign) NSInteger n;"},
        MemberCase{"Exponent", R"({"n":1e3})", "n: Int", "assign) NSInteger n;"},
        MemberCase{"BeyondInt64", R"({"n":9223372036854775808})", "n: Float", "assign) CGFloat n;"},
        MemberCase{"String", R"({"s":""})", "s: String", "copy) NSString *s;"},
        MemberCase{"Bool", R"({"flag":false})", "flag: Bool", "assign) BOOL flag;"},
        MemberCase{"Object", R"({"user":{}})", "user: MXUser", "strong) MXUser *user;"},
        MemberCase{"Null", R"({"x":null})", "", ""},
        MemberCase{"EmptyArray", R"({"list":[]})", "list: [MXList]", "copy) NSArray<MXList *> *list;"},
        MemberCase{"ArrayOfObjects", R"({"list":[{}]})", "list: [MXList]", "copy) NSArray<MXList *> *list;"},
        MemberCase{"ArrayOfStrings", R"({"tags":["a"]})", "tags: [String]", "copy) NSArray<NSString *> *tags;"},
        MemberCase{"ArrayOfInts", R"({"ids":[1,2.5]})", "ids: [Int]", "copy) NSArray<NSNumber *> *ids;"},
        MemberCase{"ArrayOfFloats", R"({"v":[2.5,1]})", "v: [Float]", "copy) NSArray<NSNumber *> *v;"},
        MemberCase{"ArrayOfBools", R"({"flags":[true]})", "flags: [Bool]", "copy) NSArray<NSNumber *> *flags;"},
        MemberCase{"ArrayOfNulls", R"({"n":[null]})", "n: [MXN]", "copy) NSArray<MXN *> *n;"},
        MemberCase{"ArrayOfArrays", R"({"grid":[[1]]})", "grid: [MXGrid]", "copy) NSArray<MXGrid *> *grid;"},
        MemberCase{"KeyVerbatim", R"({"first-name":"x"})", "first-name: String", "copy) NSString *first-name;"},
        MemberCase{"ReservedWordVerbatim", R"({"class":1})", "class: Int", "assign) NSInteger class;"}),
    [](const testing::TestParamInfo<MemberCase>& row) { return row.param.name; });

struct NameCase
{
    const char* name;
    std::string prefix;
    std::string key;
    std::string expected;
};

class JSONToolTypeName : public testing::TestWithParam<NameCase>
{};

TEST_P(JSONToolTypeName, PutsPrefixFirstAndUpperCasesFirstCharacter)
{
    JSONTool tool;
    tool.classPrefix = GetParam().prefix;
    EXPECT_EQ(tool.typeName(GetParam().key), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, JSONToolTypeName,
    testing::Values(
        NameCase{"Lower", "MX", "address", "MXAddress"}, NameCase{"AlreadyUpper", "MX", "RootModel", "MXRootModel"},
        NameCase{"RestUnchanged", "MX", "first_name-X", "MXFirst_name-X"}, NameCase{"Digit", "MX", "0", "MX0"},
        NameCase{"SharpSBecomesTwoLetters", "MX", "\u00DFtra\u00DFe", "MXSStra\u00DFe"},
        NameCase{"CombiningAccentStaysOneCharacter", "MX", "e\u0301cole", "MXE\u0301cole"},
        NameCase{"PrecomposedAccent", "MX", "\u00E9t\u00E9", "MX\u00C9t\u00E9"},
        NameCase{"Greek", "", "\u03B1lpha", "\u0391lpha"},
        NameCase{"CJKHasNoCase", "MX", "\u7528\u6237", "MX\u7528\u6237"},
        NameCase{"EmojiJoinerIsNoName", "MX", "\U0001F468\u200D\U0001F469x", "MX\U0001F468_\U0001F469x"},
        NameCase{"LigatureFullMapping", "MX", "\uFB01le", "MXFIle"}, NameCase{"EmptyKeyGivesPrefix", "MX", "", "MX"},
        NameCase{"EmptyPrefix", "", "user", "User"}, NameCase{"InvalidUTF8IsNoName", "MX", "\xFFx", "MX_x"}),
    [](const testing::TestParamInfo<NameCase>& row) { return row.param.name; });

} // namespace
} // namespace morvex
