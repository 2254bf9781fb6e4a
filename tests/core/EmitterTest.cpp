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

TEST(SwiftEmitterParse, EmptyObjectHasOpeningBlankLineAndClosing)
{
    JSONTool tool = sampleTool();
    EXPECT_EQ(swiftRoot("{}", tool), "class MXRootModel: Codable {\n\n}\n");
    EXPECT_TRUE(tool.model.empty());
}

TEST(SwiftEmitterParse, TextThatIsNotJSONGivesTypeWithoutMembers)
{
    JSONTool tool = sampleTool();
    EXPECT_EQ(swiftRoot("{not json", tool), "class MXRootModel: Codable {\n\n}\n");
    EXPECT_TRUE(tool.model.empty());
}

TEST(SwiftEmitterParse, WritesKeywordAndBaseUnchecked)
{
    JSONTool tool = sampleTool("struct", "NSObject");
    EXPECT_EQ(swiftRoot("{\"x\":null}", tool), "struct MXRootModel: NSObject {\n\n}\n");
}

TEST(SwiftEmitterParse, ListsNestedTypesChildrenFirst)
{
    JSONTool tool = sampleTool();
    swiftRoot(R"({"a":{"b":{"c":{}}},"d":[{"e":{}}],"f":{}})", tool);
    EXPECT_EQ(classNames(tool), (std::vector<std::string>{"MXC", "MXB", "MXA", "MXE", "MXD", "MXF"}));
}

TEST(SwiftEmitterParse, ReadsOnlyTheFirstElementOfAnArray)
{
    JSONTool tool = sampleTool();
    swiftRoot(R"({"list":[{"a":1},{"b":2}]})", tool);
    ASSERT_EQ(tool.model.size(), 1u);
    EXPECT_EQ(tool.model[0].code, "class MXList: Codable {\n\n    var a: Int\n}\n");
}

TEST(SwiftEmitterParse, KeepsSameNamedTypesApart)
{
    JSONTool tool = sampleTool();
    swiftRoot(R"({"user":{"id":1},"owner":{"user":{"name":"x"}}})", tool);
    ASSERT_EQ(classNames(tool), (std::vector<std::string>{"MXUser", "MXUser", "MXOwner"}));
    EXPECT_NE(tool.model[0].code.find("var id: Int"), std::string::npos);
    EXPECT_NE(tool.model[1].code.find("var name: String"), std::string::npos);
}

TEST(SwiftEmitterParse, RepeatedKeyKeepsFirstPlaceAndLastValue)
{
    JSONTool tool = sampleTool();
    EXPECT_EQ(swiftRoot(R"({"a":1,"b":true,"a":"text"})", tool),
              "class MXRootModel: Codable {\n\n    var a: String\n    var b: Bool\n}\n");
}

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

TEST(SwiftEmitterParse, HandlesHundredThousandLevels)
{
    const int depth = 100000;
    std::string json;
    for (int i = 0; i < depth; ++i)
        json += "{\"a\":";
    json += "{}";
    json.append(static_cast<std::size_t>(depth), '}');
    JSONTool tool = sampleTool();
    EXPECT_EQ(swiftRoot(json, tool), "class MXRootModel: Codable {\n\n    var a: MXA\n}\n");
    EXPECT_EQ(tool.model.size(), static_cast<std::size_t>(depth));
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

ObjectiveCEmitter::Result objectiveCRoot(const std::string& json, JSONTool& tool)
{
    auto document = JSONDocument::parse(json);
    return ObjectiveCEmitter(tool).parse(document.root(), "RootModel");
}

TEST(ObjectiveCEmitterParse, EmptyObjectBeginsWithNewlineAndHasEmptyMap)
{
    JSONTool tool = sampleTool("class", "NSObject");
    auto result = objectiveCRoot("{}", tool);
    EXPECT_EQ(result.code,
              "\nNS_ASSUME_NONNULL_BEGIN\n\n@interface MXRootModel : NSObject\n\n\n@end\n\nNS_ASSUME_NONNULL_END\n");
    EXPECT_TRUE(result.classInArray.empty());
}

TEST(ObjectiveCEmitterParse, ImportsNestedTypesInMemberOrderAndMapsOnlyArrays)
{
    JSONTool tool = sampleTool("struct", "NSObject");
    auto result = objectiveCRoot(R"({"a":{"x":1},"ids":[1],"b":[{"y":2}]})", tool);
    EXPECT_EQ(result.code.rfind("#import \"MXA.h\"\n#import \"MXB.h\"\n\nNS_ASSUME", 0), 0u);
    EXPECT_EQ(result.classInArray, (ClassInArray{{"b", "MXB"}}));
    EXPECT_NE(result.code.find("@interface MXRootModel : NSObject\n"), std::string::npos) << "struct is ignored";
}

TEST(ObjectiveCEmitterParse, NestedTypesCarryTheirOwnMaps)
{
    JSONTool tool = sampleTool("class", "NSObject");
    auto result = objectiveCRoot(R"({"shop":{"items":[{"id":1}],"owner":{"pets":[{"n":"x"}]}}})", tool);
    ASSERT_EQ(classNames(tool), (std::vector<std::string>{"MXItems", "MXPets", "MXOwner", "MXShop"}));
    EXPECT_TRUE(result.classInArray.empty());
    EXPECT_EQ(tool.model[2].classInArray, (ClassInArray{{"pets", "MXPets"}}));
    EXPECT_EQ(tool.model[3].classInArray, (ClassInArray{{"items", "MXItems"}}));
    EXPECT_EQ(tool.model[3].code.rfind("#import \"MXItems.h\"\n#import \"MXOwner.h\"\n\n", 0), 0u);
}

TEST(ObjectiveCEmitterMapping, JoinsEntriesWithCommaWithoutSpace)
{
    const ClassInArray map{{"orders", "MXOrders"}, {"items", "MXItems"}};
    EXPECT_EQ(ObjectiveCEmitter::mappingEntries(map),
              (std::vector<std::string>{"@\"orders\": @\"MXOrders\"", "@\"items\": @\"MXItems\""}));
    EXPECT_EQ(ObjectiveCEmitter::mappingText(MXAdjustType::mjExtension(), map),
              "+ (NSDictionary *)mj_objectClassInArray {\n    return @{@\"orders\": @\"MXOrders\",@\"items\": "
              "@\"MXItems\"};\n}\n\n");
    EXPECT_EQ(ObjectiveCEmitter::importText(MXAdjustType::mjExtension(), map), "#import <MJExtension/MJExtension.h>\n");
}

TEST(ObjectiveCEmitterMapping, NothingWithoutMapOrWithoutFramework)
{
    const ClassInArray map{{"orders", "MXOrders"}};
    EXPECT_EQ(ObjectiveCEmitter::importText(MXAdjustType::none(), map), "");
    EXPECT_EQ(ObjectiveCEmitter::mappingText(MXAdjustType::none(), map), "");
    EXPECT_EQ(ObjectiveCEmitter::importText(MXAdjustType::mjExtension(), {}), "");
    EXPECT_EQ(ObjectiveCEmitter::mappingText(MXAdjustType::mjExtension(), {}), "");
}

TEST(MXAdjustTypeAll, OffersNoneThenFramework)
{
    const auto all = MXAdjustType::all();
    ASSERT_EQ(all.size(), 2u);
    EXPECT_TRUE(all[0].isNone());
    EXPECT_EQ(all[1].kind(), MXAdjustType::Case::mjExtension);
    EXPECT_EQ(all[1].importLine(), "#import <MJExtension/MJExtension.h>");
    EXPECT_EQ(all[1].code(), "+ (NSDictionary *)mj_objectClassInArray");
}

} // namespace
} // namespace morvex
