#include "morvex/Conversion.h"
#include "morvex/SettingValues.h"

#include <gtest/gtest.h>

namespace morvex {
namespace {

const MXDate fixedDate = MXDate::fixed("2026/12/05");

Conversion run(std::string_view json, bool swift = true, bool faithful = false)
{
    const ConversionChoices choices{.isSwift = swift, .base = swift ? "Codable" : "NSObject", .faithful = faithful};
    return convert(json, choices, defaultSettingValues(), fixedDate);
}

// "kind path [arguments]" per finding, in order.
std::vector<std::string> said(const Conversion& conversion)
{
    std::vector<std::string> lines;
    for (const auto& finding : conversion.findings.kept) {
        std::string line = std::string(findingKindName(finding.kind)) + " " + finding.path;
        for (const auto& argument : finding.arguments)
            line += " " + argument;
        lines.push_back(line);
    }
    return lines;
}

TEST(Findings, EachKindAtItsPath)
{
    struct Row
    {
        const char* json;
        bool swift;
        std::vector<std::string> expected;
    };
    const std::vector<Row> rows = {
        {R"({"memo":null})", true, {"null-dropped $.memo memo"}},
        {R"({"first-name":1,"9fa":2,"e mail":3})",
         true,
         {"key-not-identifier $['first-name'] first-name Swift", "key-not-identifier $['9fa'] 9fa Swift",
          "key-not-identifier $['e mail'] e mail Swift"}},
        // Names as swiftc takes them: "$" after the first character only, no U+FFFD (clang takes both).
        {R"({"\ud83d\ude00":1,"a\u00b2":2,"\u2460":3,"a$":4,"$a":5,"\u0301a":6,"x\ufffd":7})",
         true,
         {"key-not-identifier $['$a'] $a Swift", "key-not-identifier $.\u0301a \u0301a Swift",
          "key-not-identifier $.x\ufffd x\ufffd Swift"}},
        {R"({"default":1,"CodingKeys":2,"ok":3,"await":4,"open":5,"Codable":6,"Foundation":7})",
         true,
         {"key-reserved $.default default Swift", "key-reserved $.CodingKeys CodingKeys Swift"}},
        // As clang reads them: ARC's families break object properties only; `id` and `__typename` are names.
        {R"({"id":1,"description":"d","newValue":"v","newCount":2,"copyright":"c","NSObject":4,"__typename":"T",)"
         R"("EOF":1,"__weak":1,"const":"c","__x__":1,"init":1,"retain":1,"Name":"a","name":"b"})",
         false,
         {"setter-shared $.name name Name setName:", "key-overrides-nsobject $.description description",
          "key-reserved $.newValue newValue Objective-C", "key-reserved $.EOF EOF Objective-C",
          "key-declares-nothing $.__weak __weak", "key-reserved $.const const Objective-C",
          "key-reserved $.__x__ __x__ Objective-C", "key-overrides-nsobject $.init init",
          "key-reserved $.retain retain Objective-C"}},
        {R"({"items":[],"nils":[null,1],"grid":[[1]]})",
         true,
         {"element-type-unknown $.items items empty", "element-type-unknown $.nils[0] nils null first",
          "kind-differs $.nils[1] null integer", "element-type-unknown $.grid[0] grid array first"}},
        {R"({"o":[{"a":1,"b":2},{"a":2,"x\fy\u0080\u0041":3}]})", // a later key is unescaped apart
         true,
         {"member-not-in-first $.o[1]['x\fy\u0080A'] x\fy\u0080A", "member-missing $.o[1] b"}},
        {R"({"n":[1,2.5],"s":[{"v":1},{"v":"x"}]})",
         true,
         {"kind-differs $.n[1] integer fraction", "kind-differs $.s[1].v integer string"}},
        {R"({"f":[2.5,3],"g":[0.5,1.00000001]})", true, {}},
        {R"({"n":[1,3.0,1e2,-0.0,1.0000000000000000,0.5]})", true, {"kind-differs $.n[5] integer fraction"}},
        {R"([{"a":1},{"b":2}])", true, {"key-not-identifier $[0] 0 Swift"}}, // a top-level array's elements one by one
        {R"([{"a":[1,null]}])", true, {"key-not-identifier $[0] 0 Swift", "kind-differs $[0].a[1] integer null"}},
        // Too small for a double, 1e-400 reads as 0 but is no integer.
        {R"({"big":18446744073709551616,"n":1.00000001,"t":1e-400,"v":[1,1e-400]})",
         true,
         {"number-beyond-64-bits $.big", "not-an-integer $.n", "not-an-integer $.t",
          "kind-differs $.v[1] integer fraction"}},
        {R"({"user":{"a":1},"owner":{"user":{"b":2}}})", true, {"type-name-shared $.owner.user MXUser $.user"}},
        {R"({"uz":{"a":1},"uZ":{"b":1}})", true, {"file-name-case $.uZ MXUz MXUZ MXUz.swift case"}},
        {R"({"a~/b":{"x":null}})", true, {"key-changed $['a~/b'] a~/b a__b", "null-dropped $['a~/b'].x x"}},
        {R"({"a;b":1,"a_b":0,"x":{"a;b":2,"c(d e":3}})",
         true,
         {"key-changed $['a;b'] a;b a_b", "member-name-shared $['a;b'] a;b a_b", "key-changed $.x['c(d e'] c(d e c_d e",
          "key-not-identifier $.x['c(d e'] c(d e Swift"}},
        {"{\"user\":{\"a\":1},\"uSer\":{\"b\":1},\"caf\u00e9\":{\"c\":1},\"cafe\u0301\":{\"d\":1},"
         "\"x\u00c4\":{\"e\":1},\"x\u00e4\":{\"f\":1},\"Cafe\u0301\":{\"g\":1}}",
         true,
         {"file-name-case $.uSer MXUser MXUSer MXUser.swift case",
          "file-name-case $.cafe\u0301 MXCaf\u00e9 MXCafe\u0301 MXCaf\u00e9.swift normalisation",
          "file-name-case $.x\u00e4 MXX\u00c4 MXX\u00e4 MXX\u00c4.swift case",
          "type-name-shared $.Cafe\u0301 MXCafe\u0301 $.cafe\u0301"}},
        // A repeated key's last value is the one typed; what the earlier said is not reported of it.
        {R"({"a":1,"a":"x","b":{"c":1},"b":{"d":2},"l":[{"p":null,"p":1}],"q":[{"z":1},{"z":2,"z":"s"}]})",
         true,
         {"kind-differs $.q[1].z integer string", "key-repeated $.a a", "key-repeated $.b b", "key-repeated $.l[0].p p",
          "key-repeated $.q[1].z z"}},
    };
    for (const auto& row : rows)
        EXPECT_EQ(said(run(row.json, row.swift)), row.expected) << row.json;
}

TEST(Findings, PlaceIsTheBytesOfTheValueAndPointerEscapes)
{
    const std::string json = R"({"a~/b":[{"k":1},{"k":null}]})";
    const Conversion conversion = run(json);
    ASSERT_EQ(conversion.findings.kept.size(), 2u);
    const Finding& finding = conversion.findings.kept[1];
    EXPECT_EQ(finding.pointer, "/a~0~1b/1/k");
    EXPECT_EQ(json.substr(finding.offset, finding.length), "null");
}

// A very deep place shows its first and last 500 steps, the array indices of each from its own elements.
TEST(Findings, DeepPathKeepsBothEnds)
{
    constexpr int depth = 700;
    std::string json = R"([{"x":1},)";
    std::vector<std::pair<std::string, std::string>> steps = {{"[1]", "/1"}};
    for (int i = 0; i < depth; ++i) {
        json += R"({"a":[)";
        steps.insert(steps.end(), {{".a", "/a"}, {"[0]", "/0"}});
    }
    json += R"({"n":null})";
    steps.emplace_back(".n", "/n");
    for (int i = 0; i < depth; ++i)
        json += "]}";
    json += "]";
    std::string path = "$";
    std::string pointer;
    for (std::size_t i = 0; i < steps.size(); ++i) {
        path += i == 500 ? "\u2026" : "";
        pointer += i == 500 ? "/\u2026" : "";
        if (i < 500 || i >= steps.size() - 500) {
            path += steps[i].first;
            pointer += steps[i].second;
        }
    }
    const auto& kept = run(json).findings.kept;
    const auto dropped = std::find_if(kept.begin(), kept.end(),
                                      [](const Finding& finding) { return finding.kind == FindingKind::nullDropped; });
    ASSERT_NE(dropped, kept.end());
    EXPECT_EQ(dropped->path, path);
    EXPECT_EQ(dropped->pointer, pointer);
}

TEST(Findings, KeepsTheFirstThousandAndCountsTheRest)
{
    std::string json = "{";
    for (int i = 0; i < 1500; ++i)
        json += (i ? ",\"" : "\"") + std::to_string(i) + "k\":null";
    json += "}";
    const Conversion conversion = run(json);
    EXPECT_EQ(conversion.findings.kept.size(), Findings::limit);
    EXPECT_EQ(conversion.findings.total(), 3000u); // each key is both dropped and not a name
}

TEST(Faithful, RulesOfTheTable)
{
    struct Row
    {
        const char* json;
        bool swift;
        std::vector<std::string> lines;
    };
    const std::vector<Row> rows = {
        {R"([{"a":1},{"b":"x","a":2.5}])",
         true,
         {"class MXRootModel: Codable {", "    var a: Double", "    var b: String?"}},
        {R"({"m":null,"g":[[1,2]],"e":[],"x":[1,"a"]})",
         true,
         {"    var m: MXJSONValue?", "    var g: [[Int]]", "    var e: [MXJSONValue]", "    var x: [MXJSONValue]"}},
        {R"({"first-name":1,"first_name":2,"default":3,"Codable":4})",
         true,
         {"    var firstName: Int", "    var first_name: Int", "    var `default`: Int", "    var Codable_: Int",
          "        case firstName = \"first-name\"", "        case Codable_ = \"Codable\""}},
        {R"({"a-b":1,"a_b":2})", true, {"    var aB: Int", "    var a_b: Int"}},
        // Decoders differ on which value of a repeated key they read: unless all agree, it holds any.
        {R"({"r":1,"r":2,"s":"x","s":1,"o":{"k":1},"o":{"k":2},"l":[{"n":1}],"l":[{"n":null}]})",
         true,
         {"    var r: Int", "    var s: MXJSONValue", "    var o: MXJSONValue", "    var l: MXJSONValue"}},
        {R"({"\u0321x":1,"Protocol":2,"\u0001k\u202e":3})",
         true,
         {"    var _\u0321x: Int", "    var `Protocol`: Int", "        case _k_ = \"\\u{1}k\\u{202E}\""}},
        {R"({"asm":1,"__kindof":2,"isa":3,"\u0001k\u202e":4,"Name":5,"name":6})",
         false,
         {"@property (nonatomic, assign) NSInteger name2; // JSON key: \"name\"",
          "@property (nonatomic, assign) NSInteger asm_; // JSON key: \"asm\"",
          "@property (nonatomic, assign) NSInteger __kindof_; // JSON key: \"__kindof\"",
          "@property (nonatomic, assign) NSInteger isa_; // JSON key: \"isa\"",
          "@property (nonatomic, assign) NSInteger _k_; // JSON key: \"\\001k\\u202E\""}},
        {R"({"x-y":1,"xY":2,"x_y":3,"x.y":4})", true, {"    var xY: Int", "    var xY2: Int", "    var xY3: Int"}},
        {R"({"user":{"a":1},"owner":{"user":{"b":2}},"a":{"a":{"a":{"a":1}}}})",
         true,
         {"class MXUser: Codable {", "class MXOwnerUser: Codable {", "    var a: MXAA", "    var a: MXAA2"}},
        {R"({"o":[{"n":1},{"n":null,"f":true}],"id":1,"newValue":2,"default":3,"ns":[1,2.5],"bs":[true],"g":[[1]]})",
         false,
         {"@property (nonatomic, copy) NSArray<NSNumber *> *ns;",
          "@property (nonatomic, copy) NSArray<NSNumber *> *bs;", "@property (nonatomic, copy) NSArray<NSArray *> *g;",
          "@property (nonatomic, strong, nullable) NSNumber *n;",
          "@property (nonatomic, strong, nullable) NSNumber *f;",
          "@property (nonatomic, assign) NSInteger ID; // JSON key: \"id\"",
          "@property (nonatomic, assign) NSInteger theNewValue; // JSON key: \"newValue\"",
          "@property (nonatomic, assign) NSInteger default_; // JSON key: \"default\""}},
    };
    for (const auto& row : rows) {
        const std::string display = run(row.json, row.swift, true).display;
        for (const auto& line : row.lines)
            EXPECT_NE(display.find(line + "\n"), std::string::npos) << row.json << " lacks " << line << "\n" << display;
    }
    // Where a mapping library reads the keys, renamed members are mapped back to them.
    const ConversionChoices mj{
        .isSwift = false, .adjustType = MXAdjustType::mjExtension(), .base = "NSObject", .faithful = true};
    EXPECT_NE(convert(R"({"id":1})", mj, defaultSettingValues(), fixedDate).display.find("return @{@\"ID\": @\"id\"};"),
              std::string::npos);
}

TEST(Faithful, SampleWithoutAnObjectAtItsRootIsTypedByTheDefaultRules)
{
    EXPECT_EQ(run("[1,2]", true, true).display, run("[1,2]").display);
}

} // namespace
} // namespace morvex
