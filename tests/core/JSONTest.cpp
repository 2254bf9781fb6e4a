#include "morvex/JSON.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace morvex {
namespace {

std::vector<std::string> keysOf(const JSON& value)
{
    std::vector<std::string> keys;
    value.forEach([&](std::string_view key, const JSON&) { keys.emplace_back(key); });
    return keys;
}

TEST(JSONDocumentParse, ReportsKindsWithBooleansApartFromNumbers)
{
    auto document = JSONDocument::parse(R"({"n":1,"f":2.5,"s":"x","t":true,"z":null,"a":[],"o":{}})");
    ASSERT_TRUE(document.ok());
    std::vector<JSON::Kind> kinds;
    document.root().forEach([&](std::string_view, const JSON& value) { kinds.push_back(value.kind()); });
    EXPECT_EQ(kinds,
              (std::vector<JSON::Kind>{JSON::Kind::number, JSON::Kind::number, JSON::Kind::string, JSON::Kind::boolean,
                                       JSON::Kind::null, JSON::Kind::array, JSON::Kind::dictionary}));
}

// Members in text order, positions as the keys of an array, none for a scalar.
TEST(JSONDocumentParse, YieldsKeysInTextOrder)
{
    const std::pair<std::string, std::vector<std::string>> rows[] = {
        {R"({"zeta":1,"alpha":2,"mid":3,"beta":4})", {"zeta", "alpha", "mid", "beta"}},
        {R"([10, "x", null])", {"0", "1", "2"}},
        {"\xEF\xBB\xBF{\"a\":1}", {"a"}},
        {R"({"a\u0000b":1})", {std::string("a\0b", 3)}},
        {"42", {}},
        {"\"text\"", {}},
        {"true", {}},
        {"null", {}},
    };
    for (const auto& [text, keys] : rows) {
        const auto document = JSONDocument::parse(text);
        ASSERT_TRUE(document.ok()) << text;
        EXPECT_EQ(keysOf(document.root()), keys) << text;
        EXPECT_EQ(document.root().intValue(), text == "42" ? 42 : 0) << text; // 0 for what is not a number
    }
    EXPECT_EQ(JSONDocument::parse("[10]").root().firstElement().intValue(), 10);
}

TEST(JSONDocumentParse, SizesCountEveryElementEvenWhereOnlyTheFirstIsKept)
{
    auto document = JSONDocument::parse(R"({"grid":[[1,2,3],[4]],"list":[{"a":1},{"b":2},{"c":3}]})");
    ASSERT_TRUE(document.ok());
    std::vector<JSON> members;
    document.root().forEach([&](std::string_view, const JSON& value) { members.push_back(value); });
    ASSERT_EQ(members.size(), 2u);
    EXPECT_EQ(members[0].size(), 2u);
    EXPECT_EQ(members[0].firstElement().size(), 3u);
    EXPECT_EQ(members[1].size(), 3u);
    EXPECT_EQ(members[1].firstElement().size(), 1u);
}

TEST(JSONDocumentParse, NumberViewsTruncateAndRound)
{
    auto document =
        JSONDocument::parse(R"([-2.9, 1.00000001, 16777217, 1e3, 123456789012345678.5, 9223372036854775808.0])");
    std::vector<JSON> numbers;
    document.root().forEach([&](std::string_view, const JSON& value) { numbers.push_back(value); });
    ASSERT_EQ(numbers.size(), 6u);
    EXPECT_EQ(numbers[0].intValue(), -2);
    EXPECT_FLOAT_EQ(numbers[0].floatValue(), -2.9f);
    EXPECT_EQ(numbers[1].floatValue(), 1.0f);
    EXPECT_EQ(numbers[2].floatValue(), 16777216.0f);
    EXPECT_EQ(numbers[3].intValue(), 1000);
    EXPECT_EQ(numbers[4].doubleValue(), 123456789012345678.5);
    EXPECT_EQ(numbers[5].doubleValue(), 9223372036854775808.0);
}

TEST(JSONDocumentParse, NumbersBeyondSixtyFourBitsParseAndAreNotIntegral)
{
    auto document = JSONDocument::parse(
        R"({"u":18446744073709551615,"big":18446744073709551616,"neg":-9223372036854775809,"inf":1e400,)"
        R"("ninf":-1e400,"f63":9223372036854775808e0,"e300":-1e300,"min":-9223372036854775808})");
    ASSERT_TRUE(document.ok()) << document.error()->describe();
    std::vector<JSON> values;
    document.root().forEach([&](std::string_view, const JSON& value) { values.push_back(value); });
    ASSERT_EQ(values.size(), 8u);
    for (std::size_t i = 0; i < 7; ++i) {
        EXPECT_EQ(values[i].kind(), JSON::Kind::number);
        EXPECT_FALSE(values[i].fitsInt64()) << i << ": " << values[i].doubleValue();
    }
    EXPECT_GT(values[1].doubleValue(), 1.8e19);
    EXPECT_LT(values[4].doubleValue(), -1e308);
    EXPECT_TRUE(values[7].fitsInt64());
    EXPECT_EQ(values[7].intValue(), INT64_MIN);
}

TEST(JSONDocumentParse, StringsAreUnescapedOrStandAsWritten)
{
    auto document = JSONDocument::parse(R"(["a\nb\u00e9\b\f\r\t\"\\\/\ud83d\ude00","plain"])");
    JSONIterator elements(document.root());
    std::string_view key;
    for (const std::string_view expected : {"a\nb\u00e9\b\f\r\t\"\\/\U0001F600", "plain"}) {
        JSON value;
        ASSERT_TRUE(elements.next(key, value));
        EXPECT_EQ(value.stringValue(), expected);
    }
}

struct BadText
{
    const char* name;
    std::string text;
    std::size_t line;
    std::size_t column;
    const char* reason;
};

class JSONDocumentErrors : public testing::TestWithParam<BadText>
{};

TEST_P(JSONDocumentErrors, GiveNullRootWithLineColumnAndReason)
{
    const BadText& bad = GetParam();
    auto document = JSONDocument::parse(bad.text);
    ASSERT_FALSE(document.ok());
    EXPECT_EQ(document.root().kind(), JSON::Kind::null);
    const JSONError* error = document.error();
    EXPECT_EQ(error->line, bad.line);
    EXPECT_EQ(error->column, bad.column);
    EXPECT_NE(error->reason.find(bad.reason), std::string::npos) << error->reason;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, JSONDocumentErrors,
    testing::Values(BadText{"Truncated", "{\"a\": [1, 2", 1, 12, "unexpected end of text"},
                    BadText{"MissingComma", "{\n  \"a\": 1\n  \"b\": 2\n}", 3, 3, "expected ',' or '}'"},
                    BadText{"TrailingComma", "[1,]", 1, 4, "expected a value"},
                    BadText{"NaN", "{\"x\": NaN}", 1, 7, "unexpected 'N'"},
                    BadText{"Infinity", "[Infinity]", 1, 2, "unexpected 'I'"},
                    BadText{"WhitespaceOnly", " \n\t ", 2, 3, "no JSON value found"},
                    BadText{"LeadingZero", "[01]", 1, 2, "leading zeros"},
                    BadText{"InvalidUTF8InString", "{\"k\":\"a\xFF\"}", 1, 8, "invalid UTF-8"},
                    BadText{"FourByteLeadWithoutContinuation", "[\"\xF0\x41\x41\x80\"]", 1, 3, "invalid UTF-8"},
                    BadText{"BadByteAfterTwoAndThreeBytes", "[\"é€\u0800\uFFFDa\xFF\"]", 1, 8, "invalid UTF-8"},
                    BadText{"HexOfBothCases", "[\"\\uffFF\" x]", 1, 11, "expected ',' or ']'"},
                    BadText{"LeadAboveF4", "[\"\xF5\x80\x80\x80\"]", 1, 3, "invalid UTF-8"},
                    BadText{"LoneContinuationByte", "[\"a\x80\"]", 1, 4, "invalid UTF-8"},
                    BadText{"EncodedSurrogate", "[\"\xED\xA0\x80\"]", 1, 3, "invalid UTF-8"},
                    BadText{"OverlongThreeBytes", "[\"\xE0\x80\x80\"]", 1, 3, "invalid UTF-8"},
                    BadText{"BadByteAfterFourBytes",
                            "[\"\xF0\x9F\x98\x80"
                            "a\xFF\"]",
                            1, 5, "invalid UTF-8"},
                    BadText{"ColumnsCountCharacters", "{\"é\": tru}", 1, 7, "unexpected 't'"},
                    BadText{"LoneSurrogate", "[\"\\ud800\"]", 1, 3, "surrogate"},
                    BadText{"ControlCharacter", "[\"a\tb\"]", 1, 4, "control character"},
                    BadText{"SecondValue", "{} {}", 1, 4, "after the JSON value"},
                    BadText{"BinaryGarbage", std::string("\x00\x01\x02", 3), 1, 1, "unexpected"},
                    BadText{"UTF16WithMark", std::string("\xFF\xFE{\0}\0", 6), 1, 1, "UTF-16"},
                    BadText{"UTF16BigEndian", std::string("\0[\0]", 4), 1, 1, "UTF-16"}),
    [](const testing::TestParamInfo<BadText>& row) { return row.param.name; });

} // namespace
} // namespace morvex
