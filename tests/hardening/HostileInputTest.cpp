// Hostile input through the core and the command line: never a crash, never a file outside the folder, a clear
// message and the right exit code.

#include "CliProcess.h"

#include "morvex/Cli.h"
#include "morvex/Conversion.h"
#include "morvex/JSONString.h"
#include "morvex/JSONTool.h"
#include "morvex/SettingValues.h"

#include <gtest/gtest.h>
#include <map>
#include <set>
#include <sstream>
#include <sys/resource.h>

namespace morvex {
namespace {

using namespace morvex::test;

const MXDate fixedDate = MXDate::fixed("2026/12/05");

struct Style
{
    const char* name;
    ConversionChoices choices;
};

const Style allStyles[] = {
    {"swift class", {}},
    {"swift struct", {.isClass = false}},
    {"objc", {.isSwift = false, .base = "NSObject"}},
    {"objc mapped", {.isSwift = false, .adjustType = MXAdjustType::mjExtension(), .base = "NSObject"}}};

// Converts `text` in every style, writes the files into a fresh folder and checks that exactly the expected
// files, each complete, and nothing else landed in it.
void expectConvertsInsideFolder(const std::string& text, bool notJSON)
{
    for (const Style& style : allStyles) {
        SCOPED_TRACE(style.name);
        const Conversion conversion = convert(text, style.choices, defaultSettingValues(), fixedDate);
        ASSERT_EQ(conversion.jsonError.has_value(), notJSON)
            << (conversion.jsonError ? conversion.jsonError->describe() : std::string("parsed"));
        if (notJSON) {
            EXPECT_FALSE(conversion.jsonError->reason.empty());
            EXPECT_EQ(conversion.models.size(), 1u) << "text that is not JSON gives the root alone";
        }
        EXPECT_EQ(conversion.files.size(), conversion.models.size() * (style.choices.isSwift ? 1 : 2));

        TempDir out;
        const auto failures = writeFiles(conversion.files, out.path());
        for (const auto& failure : failures)
            ADD_FAILURE() << failure.fileName << ": " << failure.reason;
        std::map<std::string, std::string> expected; // the last file of each name stays
        for (const auto& file : conversion.files)
            expected[file.name] = file.text;
        std::size_t seen = 0;
        for (const auto& entry : std::filesystem::recursive_directory_iterator(out.path())) {
            ++seen;
            const std::string name = entry.path().filename().string();
            ASSERT_EQ(entry.path().parent_path(), out.path()) << "only files directly in the folder: " << entry.path();
            ASSERT_TRUE(entry.is_regular_file()) << entry.path();
            ASSERT_TRUE(expected.count(name)) << "unexpected file " << entry.path();
            EXPECT_EQ(readFile(entry.path()), expected[name]) << name;
        }
        EXPECT_EQ(seen, expected.size());
    }
}

struct InputCase
{
    std::string name;
    std::string text;
    bool notJSON;
};

std::string repeated(std::string_view piece, std::size_t count)
{
    std::string out;
    out.reserve(piece.size() * count);
    for (std::size_t i = 0; i < count; ++i)
        out += piece;
    return out;
}

std::vector<InputCase> hostileInputs()
{
    std::string garbage;
    for (int byte = 0; byte < 256; ++byte)
        garbage += static_cast<char>(255 - byte);
    const std::string longKey(300, 'k');
    return {
        {"ByteOrderMark", "\xEF\xBB\xBF{\"a\":{\"b\":1}}", false},
        {"InvalidUTF8InKey", "{\"a\xFF\":{\"b\":1}}", true},
        {"MinusInfinity", "[-Infinity]", true},
        {"NumbersBeyondSixtyFourBits",
         R"({"a":1e400,"b":-1e400,"c":9223372036854775808,"d":-9223372036854775809,"e":18446744073709551616,)"
         R"("f":123456789012345678901234567890,"g":1e-400,"h":[1e400]})",
         false},
        {"EmptyKeys", R"({"":{"":{"x":1}},"a":{"":[{"y":2}]}})", false},
        {"DuplicateKeys", R"({"a":1,"a":{"b":1},"a":[{"c":1}],"b":{"x":1},"b":{"y":1}})", false},
        {"PathLikeKeys",
         R"({"../x":{"a":1},"a/b":{"a":1},"..":{"a":1},".":{"a":1},"/":{"a":1},"\\":{"a":1},"\u0000":{"a":1},)"
         R"("CON":{"a":1},"con":{"a":1},"NUL.txt":{"a":1},"../../../../etc/passwd":{"a":1}})",
         false},
        {"ControlCharacterKeys", R"({"\n":{"a":1},"\t":{"a":1},"\u001f":{"a":1},"\u007f":{"a":1},"a\rb":{"a":1}})",
         false},
        {"LongKeysAsNestedTypes",
         "{\"" + longKey + "\":{\"" + longKey + "x\":{\"a\":1}},\"" + longKey + "y\":[{\"b\":2}]}", false},
        {"LongMultiByteKey", "{\"" + repeated("\u7528", 100) + "\":{\"a\":1}}", false},
        {"TopLevelNumber", "42", false},
        {"TopLevelNull", "null", false},
        {"TopLevelArrayOfObjects", R"([{"a":1},{"b":"x"}])", false},
        {"TopLevelEmptyArray", "[]", false},
        {"BinaryGarbage", garbage, true},
        {"ThousandsOfTypes",
         "{" +
             [] {
                 std::string members;
                 for (int i = 0; i < 1000; ++i)
                     members += (i ? ",\"t" : "\"t") + std::to_string(i) + "\":{\"v\":" + std::to_string(i) + "}";
                 return members;
             }() +
             "}",
         false},
    };
}

class HostileInput : public testing::TestWithParam<InputCase>
{};

TEST_P(HostileInput, ConvertsInEveryStyleWithEveryFileInsideTheFolder)
{
    expectConvertsInsideFolder(GetParam().text, GetParam().notJSON);
}

INSTANTIATE_TEST_SUITE_P(Cases, HostileInput, testing::ValuesIn(hostileInputs()),
                         [](const testing::TestParamInfo<InputCase>& row) { return row.param.name; });

// Every proper prefix of a document is cut short somewhere: each must be refused, with a place, and none crash.
class TruncatedDocument : public testing::TestWithParam<std::size_t>
{};

const std::string wholeDocument =
    "\xEF\xBB\xBF{\"name\":\"Ann\\u00e9\",\"n\":-12.5e+3,\"ok\":true,\"none\":null,\"list\":[1,{\"b\":[]}],\"o\":{}}";

TEST_P(TruncatedDocument, IsRefusedWithALineAndColumnUntilWhole)
{
    const std::string text = wholeDocument.substr(0, GetParam());
    const Conversion conversion = convert(text, ConversionChoices{}, defaultSettingValues(), fixedDate);
    if (text == wholeDocument) {
        ASSERT_FALSE(conversion.jsonError) << conversion.jsonError->describe();
        EXPECT_EQ(conversion.models.size(), 2u); // the root and "o": the list's first element is not an object
        return;
    }
    ASSERT_TRUE(conversion.jsonError) << text;
    EXPECT_EQ(conversion.jsonError->line, 1u);
    EXPECT_GE(conversion.jsonError->column, 1u);
    EXPECT_EQ(conversion.models.size(), 1u);
}

INSTANTIATE_TEST_SUITE_P(EveryLength, TruncatedDocument, testing::Range<std::size_t>(0, wholeDocument.size() + 1));

// Regression: a key's text went into the code as it stood, so a key could add declarations of its own (an
// Objective-C constructor running system(), a Swift property set by a closure). Each row is a key (as JSON text)
// and the name it must become everywhere: member, type, file, #import path and mapping entry.
TEST(HostileKeys, NeverBecomeCode)
{
    struct Row
    {
        std::string key;
        std::string name;
        bool changed;
    };
    const Row rows[] = {
        {R"(a\nb;c)", "a_b_c", true},
        {R"(x;\n__attribute__((constructor)) static void f(void){system(\"id\");}\n@property int y)",
         "x____attribute____constructor__ static void f_void__system__id______property int y", true},
        {R"(v: Int = { run() }()\n    var w)", "v_ Int _ _ run__ ____    var w", true},
        {R"(\u202Eevil\u200Dx\u0000\u001B]0;t\u0007)", "_evil_x___0_t_", true},
        {R"(q\"\\'`[]{}()=:,#@/*<>?%!^|~+&)", "q___________________________", true},
        {"$ok-1.2 x_\u00FC\u0301\u00B2\U0001F600a\u203Fb\u7528", "$ok-1.2 x_\u00FC\u0301\u00B2\U0001F600a\u203Fb\u7528",
         false},
    };
    const ConversionChoices swift;
    const ConversionChoices& objc = allStyles[3].choices;
    for (const auto& [key, name, changed] : rows) {
        SCOPED_TRACE(key);
        const std::string type = "MX" + upperFirstCharacter(name);
        const std::string text = "{\"" + key + "\":[{\"v\":1}]}";
        const Conversion inSwift = convert(text, swift, defaultSettingValues(), fixedDate);
        const Conversion inObjc = convert(text, objc, defaultSettingValues(), fixedDate);
        // NOLINTBEGIN(performance-inefficient-string-concatenation): a few expected texts per row, read as written
        EXPECT_EQ(inSwift.models[0].code, "class MXRootModel: Codable {\n\n    var " + name + ": [" + type + "]\n}\n");
        EXPECT_EQ(inSwift.files[1].name, type + ".swift");
        EXPECT_NE(inObjc.files[0].text.find("#import \"" + type + ".h\"\n\nNS_ASSUME_NONNULL_BEGIN"),
                  std::string::npos);
        EXPECT_NE(inObjc.files[0].text.find("NSArray<" + type + " *> *" + name + ";\n\n@end"), std::string::npos);
        EXPECT_NE(inObjc.files[1].text.find("return @{@\"" + name + "\": @\"" + type + "\"};"), std::string::npos);
        // NOLINTEND(performance-inefficient-string-concatenation)
        const auto& findings = inSwift.findings.kept;
        const bool said = !findings.empty() && findings[0].kind == FindingKind::keyChanged;
        ASSERT_EQ(said, changed);
        if (changed) {
            EXPECT_EQ(findings[0].arguments.at(1), name);
            EXPECT_NE(text.substr(findings[0].offset, findings[0].length).find(key), std::string::npos)
                << "the place is the key's own bytes";
        }
    }
}

TEST(HostileNesting, HundredThousandLevelsOfArraysAndMixedContainers)
{
    constexpr std::size_t depth = 100'000;
    expectConvertsInsideFolder(std::string(depth, '[') + std::string(depth, ']'), false);
    expectConvertsInsideFolder(repeated("{\"k\":[", depth / 2) + "0" + repeated("]}", depth / 2), false);
}

// Every key of the naughty-strings sample becomes the key of a nested type.
TEST(HostileKeys, NaughtyStringsAsTypeNamesStayInsideTheFolder)
{
    const auto sample = std::filesystem::path(MORVEX_CORPUS) / "priority" / "blns-object.json";
    if (!std::filesystem::exists(sample))
        GTEST_SKIP() << "no corpus at " << MORVEX_CORPUS;
    const JSONDocument document = JSONDocument::parse(readFile(sample));
    ASSERT_TRUE(document.ok());
    std::set<std::string> keys;
    std::vector<JSON> pending{document.root()};
    while (!pending.empty()) {
        const JSON value = pending.back();
        pending.pop_back();
        const bool isObject = value.kind() == JSON::Kind::dictionary;
        value.forEach([&](std::string_view key, const JSON& child) {
            if (isObject)
                keys.emplace(key);
            pending.push_back(child);
        });
    }
    ASSERT_GT(keys.size(), 100u);
    std::string text = "{";
    for (const auto& key : keys) {
        appendJSONString(text, key);
        text += ":{\"v\":1},";
    }
    text.back() = '}';
    expectConvertsInsideFolder(text, false);
}

// Every document of the corpus converts in every style, inside the folder.
TEST(HostileCorpus, EveryDocumentConvertsInsideTheFolder)
{
    std::size_t documents = 0;
    for (const char* folder : {"priority", "samples"}) {
        for (const auto& name : listFolder(std::filesystem::path(MORVEX_CORPUS) / folder)) {
            SCOPED_TRACE(name);
            if (name.ends_with(".json") && ++documents)
                expectConvertsInsideFolder(readFile(std::filesystem::path(MORVEX_CORPUS) / folder / name), false);
        }
    }
    EXPECT_GT(documents, 10u);
}

// Regression: an over-long type name is written under a shortened file name, but the Objective-C files still
// imported it by the type's own name, so the generated code could not find its headers.
TEST(HostileKeys, ObjectiveCImportsOverLongTypesByTheirFileNames)
{
    const std::string key(300, 'k');
    const Conversion conversion =
        convert("{\"" + key + "\":{\"a\":1}}", allStyles[2].choices, defaultSettingValues(), fixedDate);
    ASSERT_EQ(conversion.files.size(), 4u);
    const std::string nestedHeader = conversion.files[2].name;
    EXPECT_LE(nestedHeader.size(), 255u);
    EXPECT_NE(nestedHeader, "MXK" + key.substr(1) + ".h");
    EXPECT_NE(conversion.files[0].text.find("#import \"" + nestedHeader + "\"\n"), std::string::npos)
        << "the root's header imports the nested header by its file name";
    EXPECT_NE(conversion.files[3].text.find("#import \"" + nestedHeader + "\"\n\n@implementation MXK"),
              std::string::npos)
        << "the implementation imports its own header by its file name";
    EXPECT_NE(conversion.files[2].text.find("@interface MXK" + key.substr(1) + " : NSObject"), std::string::npos)
        << "the code keeps the type's own name";
}

struct CliCase
{
    std::string name;
    std::string input;
    int exit;
    std::string message;            // expected in standard error; "" for none at all, ending in a newline for all of it
    std::vector<std::string> files; // written by "-o FOLDER"
    std::vector<std::string> arguments = {}; // instead of "-o FOLDER"
    std::string printed = {};
    std::vector<std::string> environment = {};
};

std::vector<CliCase> cliCases()
{
    constexpr std::size_t depth = 100'000;
    const std::string deepPath = "$" + repeated(".a", 500) + "\u2026" + repeated(".a", 500);
    return {
        {"ByteOrderMark", "\xEF\xBB\xBF{\"a\":1}", 0, "", {"MXRootModel.swift"}},
        {"NaN", "{\"a\":NaN}", 1, "<stdin>: not JSON: line 1, column 6: ", {}},
        {"Infinity", "{\n\"a\": Infinity}", 1, "<stdin>: not JSON: line 2, column 6: ", {}},
        {"InvalidUTF8Key", "{\"ke\xFFy\":1}", 1, "not JSON: line 1, column 5: invalid UTF-8", {}},
        {"InvalidUTF8Value", "{\"k\":\"\xE2\x82\"}", 1, "not JSON: line 1, column 7: invalid UTF-8", {}},
        {"Truncated", "{\"a\":[1,2", 1, "not JSON: line 1, column 10: unexpected end of text", {}},
        {"WhitespaceOnly", "  \n ", 1, "<stdin>: not JSON: line 2, column 2: ", {}},
        {"Empty", "", 1, "<stdin>: the input is empty", {}},
        {"BinaryGarbage",
         std::string("\x7F\x45LF\x02\x01\x01\0\0\0", 10),
         1,
         "<stdin>: not JSON: line 1, column 1: ",
         {}},
        {"TopLevelScalar", "3.5", 0, "", {"MXRootModel.swift"}},
        // Read no further than its first NUL byte, which no JSON holds.
        {"EndlessZeros", "", 1, "/dev/zero: not JSON: line 1, column 1: ", {}, {"/dev/zero"}},
        {"PathLikeKeys",
         R"({"../x":{"a":1},"a/b":{"a":1},"..":{"a":1},"\u0000":{"a":1},"CON":{"a":1}})",
         0,
         "morvex-cli: warning: $['../x']: key \"../x\" is written as \".._x\"\n"
         "morvex-cli: warning: $['../x']: key \"../x\" is not a Swift identifier: the code does not compile\n"
         "morvex-cli: warning: $['a/b']: key \"a/b\" is written as \"a_b\"\n"
         "morvex-cli: warning: $['..']: key \"..\" is not a Swift identifier: the code does not compile\n"
         "morvex-cli: warning: $['\\u{0}']: key \"\\u{0}\" is written as \"_\"\n"
         "morvex-cli: warning: $['\\u{0}']: key \"\\u{0}\" is a reserved name in Swift: the code does not compile\n"
         "morvex-cli: 6 findings (--report FILE writes them as JSON)\n",
         {"MX...swift", "MX.._x.swift", "MXA_b.swift", "MXCON.swift", "MXRootModel.swift", "MX_.swift"}},
        {"DeepNesting",
         repeated("{\"a\":", depth) + "1" + std::string(depth, '}'),
         0,
         // Both places are deeper than a path shows whole: their first and last 500 steps.
         "morvex-cli: warning: " + deepPath +
             ": types MXA and MXA share the file name MXA: the later one replaces "
             "the earlier (the earlier at " +
             deepPath +
             ")\nmorvex-cli: warning: $: 100000 types are generated "
             "(more than 10,000)\nmorvex-cli: 2 findings (--report FILE writes them as JSON)\n",
         {"MXA.swift", "MXRootModel.swift"}},
        {"TooDeep", std::string(1'000'001, '['), 1, "nesting deeper than 1000000 levels", {}},
        {"UnknownLanguage", "{}", 2, "cobol", {}, {"--lang", "cobol"}},
        {"FolderBelowAFile", "{}", 3, "/dev/null/folder: Not a directory", {}, {"-o", "/dev/null/folder"}},
        // Files of /proc report a size of 0 yet have contents; this one holds a single number, which is JSON.
        {"FileReportingNoSize",
         "",
         0,
         "",
         {},
         {"/proc/sys/vm/overcommit_memory"},
         "class MXRootModel: Codable {\n\n}\n"},
        {"SourceDateEpoch",
         "{}",
         0,
         "",
         {},
         {"-l", "objc"},
         "Created by Lintrel on 1970/01/01.",
         {"SOURCE_DATE_EPOCH=0"}},
    };
}

class HostileInputCli : public testing::TestWithParam<CliCase>
{};

TEST_P(HostileInputCli, ExitCodeMessageAndOnlyExpectedFiles)
{
    const CliCase& row = GetParam();
    TempDir dir;
    std::filesystem::create_directory(dir / "out");
    const auto arguments =
        row.arguments.empty() ? std::vector<std::string>{"-o", (dir / "out").string()} : row.arguments;
    const Process run = runCliProcess(dir, arguments, row.input, {}, {}, {}, row.environment);
    EXPECT_EQ(run.exit, row.exit) << run.err;
    if (row.printed.empty())
        EXPECT_EQ(run.out, "") << "with --output nothing is printed";
    else
        EXPECT_NE(run.out.find(row.printed), std::string::npos) << run.out;
    if (row.message.empty())
        EXPECT_EQ(run.err, "");
    else if (row.message.back() == '\n')
        EXPECT_EQ(run.err, row.message) << "said once";
    else
        EXPECT_NE(run.err.find(row.message), std::string::npos) << run.err;
    EXPECT_EQ(listFolder(dir / "out"), row.files);
}

INSTANTIATE_TEST_SUITE_P(Cases, HostileInputCli, testing::ValuesIn(cliCases()),
                         [](const testing::TestParamInfo<CliCase>& row) { return row.param.name; });

// Regression: running out of memory aborted with an uncaught std::bad_alloc (exit 134), or was called "not JSON"
// at an invented column.
TEST(HostileMemory, RunningOutIsOneLineExitOneAndNothingWritten)
{
#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
    GTEST_SKIP() << "the sanitizers reserve more address space than the limit allows";
#endif
    const std::pair<std::vector<std::string>, std::string> rows[] = {
        {{}, repeated("{\"a\":", 999'999) + "1" + std::string(999'999, '}')},
    };
    for (const auto& [arguments, input] : rows) {
        TempDir dir;
        std::vector<std::string> all = arguments;
        all.insert(all.end(), {"-o", (dir / "out").string()});
        const Process run = runCliProcess(dir, all, input, [] {
            const rlimit limit{100u << 20, 100u << 20};
            return ::setrlimit(RLIMIT_AS, &limit) == 0 ? 0 : setupImpossible;
        });
        EXPECT_EQ(run.exit, 1) << run.err;
        EXPECT_EQ(run.err.rfind("morvex-cli: not enough memory to ", 0), 0u) << run.err;
        EXPECT_EQ(std::count(run.err.begin(), run.err.end(), '\n'), 1) << run.err;
        EXPECT_FALSE(std::filesystem::exists(dir / "out") && !listFolder(dir / "out").empty());
    }
}

} // namespace
} // namespace morvex
