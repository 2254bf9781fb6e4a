// The document reader validates while it keeps only what the generator reads; it must accept and refuse
// exactly the texts a full parse does (apart from numbers too wide for 64 bits, which it accepts).
#include "morvex/JSON.h"

#include "JSONSyntax.h"

#include <gtest/gtest.h>
#include <random>
#include <simdjson.h>
#include <sstream>

namespace morvex {
namespace {

enum class Verdict
{
    valid,
    validButWide,
    invalid
};

Verdict fullParse(const std::string& text)
{
    std::string_view view = text;
    if (view.substr(0, 3) == "\xEF\xBB\xBF")
        view.remove_prefix(3);
    simdjson::dom::parser parser;
    if (parser.allocate(std::max<std::size_t>(view.size(), 64), view.size() / 2 + 2))
        return Verdict::invalid;
    simdjson::dom::element root;
    const auto error = parser.parse(simdjson::padded_string(view)).get(root);
    if (!error)
        return Verdict::valid;
    return error == simdjson::NUMBER_ERROR ? Verdict::validButWide : Verdict::invalid;
}

void expectAgreement(const std::string& text)
{
    const JSONDocument document = JSONDocument::parse(text);
    switch (fullParse(text)) {
    case Verdict::valid:
        EXPECT_TRUE(document.ok()) << "refused valid text: " << text;
        break;
    case Verdict::invalid:
        EXPECT_FALSE(document.ok()) << "accepted invalid text: " << text;
        break;
    case Verdict::validButWide:
        // Accepted exactly when the text follows the grammar, its numbers merely too wide for 64 bits.
        EXPECT_EQ(document.ok(),
                  !detail::checkJSONSyntax(text.substr(text.rfind("\xEF\xBB\xBF", 0) == 0 ? 3 : 0)).error)
            << text;
        break;
    }
}

const char* const seeds[] = {
    R"({"name":"Ann","age":30,"score":9.5,"vip":true,"memo":null,"address":{"city":"Oslo"},"tags":["a"],"orders":[{"id":1,"total":12.5}]})",
    R"([{"a":[1,[2,{"b":"\u00e9\n"}]],"c":{"d":[]}},[[]],{},"x\"y",-0.5e-3,true,false,null])",
    R"({"esc":"\\ \/ \b \f \n \r \t \ud83d\ude00","k\u0041":{"deep":{"deeper":[{"deepest":1e400}]}}})",
    R"(  {"a" : [ 1 , 2 , { "b" : [ true , false ] } ] , "c" : "d" }  )",
    R"("root string")",
    R"(12345678901234567890)"};

TEST(JSONDocumentAgreement, MutatedTextsAreJudgedLikeAFullParse)
{
    std::mt19937 random(20261206);
    const std::string alphabet = "{}[],:\"\\0123456789.eE+-tfnul \n\xC3\xA9\x80\xFF";
    std::vector<std::string> inputs(std::begin(seeds), std::end(seeds));
    for (const std::string& seed : inputs)
        expectAgreement(seed);
    for (int round = 0; round < 20000; ++round) {
        std::string text = inputs[random() % inputs.size()];
        const int edits = 1 + static_cast<int>(random() % 3);
        for (int e = 0; e < edits && !text.empty(); ++e) {
            const std::size_t at = random() % text.size();
            const char c = alphabet[random() % alphabet.size()];
            switch (random() % 5) {
            case 0:
                text.erase(at, 1);
                break;
            case 1:
                text.insert(at, 1, c);
                break;
            case 2:
                text[at] = c;
                break;
            case 3:
                text.resize(at);
                break;
            default:
                text.insert(at, text.substr(random() % text.size(), 1 + random() % 8));
            }
        }
        expectAgreement(text);
        if (HasFailure())
            return;
    }
}

// Texts split at "|".
TEST(JSONDocumentAgreement, TricksAroundContainersAndEnds)
{
    const std::string tricks =
        "{|}|[|]|{}}|[]]|[1,2}|{\"a\":1]|{\"a\" 1}|{\"a\":}|[1 2]|[1,,2]|{,}|{\"a\":1,}|"
        "[\"a\" \"b\"]|{\"a\":1}{|nul|tru|falsey|[nulll]|[1]x|\"abc|{\"a\":[{}]}}|[[[[]]]|[]   |  |"
        "[\"\\x\"]|[\"\\u12\"]|{\"\\uD800\":1}|{\"a\\q\":{\"b\":1}}|[0x1]|[.5]|[5.]|[-]|[1e]|[+1]|"
        "[01]|[-01]|[1E+2]|[1e-400]|[\"\\ud800\\udc00\\udbff\\udfff\"]|[\"\\udc00\"]|[\"\\udfff\"]|[\"a\":1]|{\"a\"";
    std::istringstream in(tricks);
    for (std::string text; std::getline(in, text, '|');)
        expectAgreement(text);
}

} // namespace
} // namespace morvex
