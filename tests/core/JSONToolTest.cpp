#include "morvex/JSONTool.h"

#include <gtest/gtest.h>

namespace morvex {
namespace {

JSONTool toolWithPrefix(const std::string& prefix)
{
    JSONTool tool;
    tool.classPrefix = prefix;
    return tool;
}

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
    EXPECT_EQ(toolWithPrefix(GetParam().prefix).typeName(GetParam().key), GetParam().expected);
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
