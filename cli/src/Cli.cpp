#include "morvex/Cli.h"

#include "CheckMode.h"
#include "Completions.h"
#include "InputGuard.h"
#include "Report.h"
#include "morvex/ExitCode.h"

#include "morvex/AtomicFile.h"
#include "morvex/Conversion.h"
#include "morvex/Identifier.h"
#include "morvex/KeyValueStore.h"
#include "morvex/MappedFile.h"
#include "morvex/SettingValues.h"
#include "morvex/UTF8.h"

#include <CLI/CLI.hpp>
#include <algorithm>
#include <atomic>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <istream>
#include <new>
#include <ostream>
#include <system_error>
#include <unordered_set>

namespace morvex {

namespace {

constexpr std::string_view programName = "morvex-cli";

struct Options
{
    std::string file;
    std::string lang = "swift";
    std::string kind = "class";
    std::string mapping = "none";
    std::optional<std::string> base;
    std::optional<std::string> prefix;
    std::optional<std::string> name;
    std::optional<std::string> author;
    std::optional<std::string> company;
    std::optional<std::string> output;
    std::optional<std::string> date;
    bool remember = false;
    bool defaults = false;
    bool quiet = false;
    bool faithful = false;
    bool strict = false;
    bool check = false;
    std::optional<std::string> report;
    std::optional<std::string> completions;
};

class UsageError : public std::runtime_error
{
public:
    using std::runtime_error::runtime_error;
};

bool validDate(const std::string& text)
{
    if (text.size() != 10 || text[4] != '/' || text[7] != '/')
        return false;
    for (std::size_t i : {0u, 1u, 2u, 3u, 5u, 6u, 8u, 9u}) {
        if (text[i] < '0' || text[i] > '9')
            return false;
    }
    // A day that the calendar has: no 2026/02/31, and 02/29 only in leap years.
    const std::chrono::year_month_day date{std::chrono::year(std::stoi(text.substr(0, 4))),
                                           std::chrono::month(static_cast<unsigned>(std::stoi(text.substr(5, 2)))),
                                           std::chrono::day(static_cast<unsigned>(std::stoi(text.substr(8, 2))))};
    return date.ok();
}

MXDate headerDate(const Options& options, const CliEnvironment& environment)
{
    if (options.date) {
        if (!validDate(*options.date))
            throw UsageError("--date takes a date as YYYY/MM/DD, not \"" + *options.date + "\"");
        return MXDate::fixed(*options.date);
    }
    if (environment.sourceDateEpoch) {
        const std::string& text = *environment.sourceDateEpoch;
        char* end = nullptr;
        errno = 0;
        const long long seconds = std::strtoll(text.c_str(), &end, 10);
        // The clock counts finer than seconds: beyond its range (the year 2262) the conversion would overflow.
        const auto latest = std::chrono::duration_cast<std::chrono::seconds>(
                                std::chrono::system_clock::time_point::max().time_since_epoch())
                                .count();
        if (text.empty() || *end != '\0' || errno == ERANGE || seconds < 0 || seconds > latest)
            throw UsageError("SOURCE_DATE_EPOCH must be a whole number of seconds up to " + std::to_string(latest) +
                             ", not \"" + text + "\"");
        const auto instant = std::chrono::system_clock::time_point(std::chrono::seconds(seconds));
        return MXDate([instant] { return instant; }, true);
    }
    return MXDate(environment.clock);
}

void requireText(const std::string& value, std::string_view what)
{
    if (value.empty())
        throw UsageError("the " + std::string(what) + " must not be empty");
    if (!isValidUTF8(value))
        throw UsageError("the " + std::string(what) + " is not valid UTF-8");
}

// Values given on the command line are refused when they could leave the header comment or the name they make;
// stored ones were already checked (and set aside) on loading.
void requireSettingValues(const std::vector<std::string>& values, const ConversionChoices& choices)
{
    for (std::size_t i = 0; i < settingCount; ++i) {
        requireText(values[i], settingName(i));
        if (auto problem = settingValueProblem(i, values[i]))
            throw UsageError(*problem);
    }
    requireText(choices.base, "base class");
    if (!isBaseList(choices.base, !choices.isSwift))
        throw UsageError("the base class \"" + choices.base + R"(" must be names joined by ",", "&" or spaces)" +
                         (choices.isSwift ? "" : ", then at most one protocol list in <>"));
}

// The JSON text with the parser's padding after it: a mapped file, or standard input read into memory.
struct Input
{
    std::unique_ptr<MappedFile> mapped;
    std::string buffer;
    std::string_view text;
};

std::string inputName(const Options& options)
{
    return options.file.empty() || options.file == "-" ? std::string("<stdin>") : options.file;
}

// "NAME: the input is longer than the parser takes".
std::string tooLong(const Options& options)
{
    return inputName(options) + ": the input is longer than 4 GiB, which is more than can be read";
}

bool readStream(const Options& options, std::istream& in, Input& input, std::string& problem)
{
    // An endless stream is read no further than the parser could take, nor past a NUL byte, which stands nowhere
    // in JSON: the text is not JSON there whatever follows (/dev/zero, /dev/urandom).
    char chunk[1 << 16];
    while (in.read(chunk, sizeof chunk) || in.gcount() > 0) {
        const auto got = static_cast<std::size_t>(in.gcount());
        input.buffer.append(chunk, got);
        if (input.buffer.size() > JSONDocument::maxSize) {
            problem = tooLong(options);
            return false;
        }
        if (std::memchr(chunk, '\0', got) != nullptr)
            break;
    }
    if (in.bad()) {
        problem = "cannot read " + (options.file.empty() || options.file == "-" ? "standard input" : options.file);
        return false;
    }
    const std::size_t size = input.buffer.size();
    input.buffer.append(JSONDocument::padding, ' ');
    input.text = std::string_view(input.buffer.data(), size);
    return true;
}

bool readInput(const Options& options, std::istream& in, Input& input, std::string& problem)
{
    if (options.file.empty() || options.file == "-")
        return readStream(options, in, input, problem);
    std::error_code error;
    input.mapped = MappedFile::open(options.file, JSONDocument::padding, error);
    if (!input.mapped && error == std::errc::not_supported) {
        // A pipe, a device, or a file that reports no size: read it like standard input.
        std::ifstream stream(options.file, std::ios::binary);
        if (stream)
            return readStream(options, stream, input, problem);
    }
    if (!input.mapped) {
        problem = "cannot read " + options.file + ": " + error.message();
        return false;
    }
    input.text = input.mapped->text();
    if (input.text.size() > JSONDocument::maxSize) {
        problem = tooLong(options);
        return false;
    }
    return true;
}

template <typename Complain>
CliExit writeReport(const std::string& target, const Findings& findings, const std::string& input, std::ostream& out,
                    Complain&& complain)
{
    const std::string text = reportText(findings, input);
    if (target == "-") {
        out << text;
        out.flush();
        if (out)
            return exitOk;
        complain("cannot write the report to standard output");
        return exitWriteFailed;
    }
    if (std::error_code error = writeFileAtomically(target, text)) {
        complain("cannot write the report " + target + ": " + error.message());
        return exitWriteFailed;
    }
    return exitOk;
}

// What the run is doing, for the one line said when memory runs out.
struct Stage
{
    const char* doing = "start";
    std::atomic<std::size_t> written{0};
    bool writing = false;
};

int outOfMemory(std::ostream& err, const Stage& stage)
{
    // Said without building strings on the heap, which has just run out.
    err << programName << ": not enough memory to " << stage.doing;
    if (stage.writing)
        err << "; " << stage.written.load() << " files were written whole, no file was left half-written";
    err << '\n';
    return exitBadInput;
}

// Prints the code, or compares it with the folder (--check).
CliExit writeOutput(const Options& options, const Conversion& conversion, std::ostream& out, std::ostream& err)
{
    if (options.output) {
        // A check writes nothing, not even the folder: a missing one reports every file as missing.
        return checkFiles(conversion.files, *options.output, programName, err) ? exitOk : exitCheckDiffers;
    }
    out << conversion.display;
    out.flush();
    // A full disk or a closed pipe behind standard output loses the code: a failed write, not a success.
    if (!out) {
        err << programName << ": cannot write the code to standard output\n";
        return exitWriteFailed;
    }
    return exitOk;
}

template <typename Complain, typename Warn>
CliExit remember(const Options& options, const std::vector<std::string>& values, const CliEnvironment& environment,
                 Stage& stage, Complain& complain, Warn& warn)
{
    if (!options.remember)
        return exitOk;
    stage.doing = "remember the settings";
    KeyValueStore writable(environment.settingsFile);
    std::string notice;
    CliExit status = exitOk;
    if (auto failure = saveSettingValues(values, writable, &notice)) {
        complain(*failure);
        status = exitWriteFailed;
    }
    if (!notice.empty())
        warn(notice);
    return status;
}

// The report and the strict exit, once the code is out.
template <typename Complain>
CliExit finish(const Options& options, const Findings& findings, CliExit status, std::ostream& out, Complain& complain)
{
    if (options.report)
        status = moreSevere(status, writeReport(*options.report, findings, inputName(options), out, complain));
    if (options.strict && findings.total() > 0)
        status = moreSevere(status, exitStrictFindings);
    return status;
}

int run(const Options& options, std::istream& in, std::ostream& out, std::ostream& err,
        const CliEnvironment& environment, Stage& stage)
{
    // Messages quote keys, names and paths: never let one of them drive the terminal.
    auto complain = [&](std::string_view message) { err << programName << ": " << printable(message) << '\n'; };

    auto warn = [&](std::string_view message) {
        if (!options.quiet)
            complain("warning: " + std::string(message));
    };

    std::vector<std::string> values = defaultSettingValues();
    if (!options.defaults) {
        std::string storeProblem;
        values = loadSettingValues(KeyValueStore(environment.settingsFile), &storeProblem);
        if (!storeProblem.empty())
            warn(storeProblem);
    }
    if (options.author)
        values[authorIndex] = *options.author;
    if (options.company)
        values[companyIndex] = *options.company;
    if (options.prefix)
        values[prefixIndex] = *options.prefix;
    if (options.name)
        values[rootNameIndex] = *options.name;

    ConversionChoices choices;
    choices.isSwift = options.lang == "swift";
    choices.isClass = options.kind == "class";
    choices.adjustType = options.mapping == "mjextension" ? MXAdjustType::mjExtension() : MXAdjustType::none();
    choices.base = options.base.value_or(choices.isSwift ? "Codable" : "NSObject");
    choices.faithful = options.faithful;

    requireSettingValues(values, choices);
    if (options.output && options.output->empty())
        throw UsageError("the output folder must not be empty");
    if (options.check && !options.output)
        throw UsageError("--check needs the folder to compare with (-o DIR)");
    if (options.report && (options.report->empty() || (*options.report == "-" && !options.output)))
        throw UsageError("--report - writes to standard output, which holds the code unless -o DIR is given");
    if (options.remember) {
        if (auto problem = settingValuesProblem(values))
            throw UsageError("cannot remember the settings: " + *problem);
    }
    const MXDate date = headerDate(options, environment);

    Input input;
    std::string problem;
    stage.doing = "read the input";
    if (!readInput(options, in, input, problem)) {
        complain(problem);
        return exitBadInput;
    }
    if (input.text.empty()) {
        complain(inputName(options) + ": the input is empty");
        return exitBadInput;
    }

    stage.doing = "convert the input";
    // The input stays mapped while the files are written: the walk reads its keys from it.
    const InputGuard guard;
    if (!options.output || options.check) {
        // The code view's text, or a check, which writes nothing: both need every text at once.
        Conversion conversion = convert(PaddedText{input.text}, choices, values, date);
        input = Input{}; // nothing reads the mapped file after this
        if (conversion.jsonError) {
            complain(inputName(options) + ": not JSON: " + conversion.jsonError->describe());
            return exitBadInput;
        }
        CliExit status = remember(options, values, environment, stage, complain, warn);
        if (!options.quiet)
            printFindings(conversion.findings, programName, err);
        status = moreSevere(status, writeOutput(options, conversion, out, err));
        return finish(options, conversion.findings, status, out, complain);
    }

    const JSONDocument document = JSONDocument::parse(PaddedText{input.text});
    if (const JSONError* error = document.error()) {
        complain(inputName(options) + ": not JSON: " + error->describe());
        return exitBadInput;
    }
    CliExit status = remember(options, values, environment, stage, complain, warn);
    // Each type's files are written as soon as its text is complete, so the texts of all types are never held.
    const std::filesystem::path folder(*options.output);
    stage.doing = "write the files";
    stage.writing = true;
    const WrittenConversion conversion = convertInto(document, choices, values, folder, date, &stage.written);
    if (!options.quiet)
        printFindings(conversion.findings, programName, err);
    if (conversion.folderProblem) {
        // One cause, one line: not a line per file.
        const std::size_t count = conversion.fileNames;
        complain("cannot create or open the folder " + folder.string() + ": " + *conversion.folderProblem + "; " +
                 std::to_string(count) + (count == 1 ? " file was" : " files were") + " not written");
        status = moreSevere(status, exitWriteFailed);
    }
    for (const auto& failure : conversion.failures) {
        complain("cannot write " + (folder / failure.fileName).string() + ": " + failure.reason);
        status = moreSevere(status, exitWriteFailed);
    }
    return finish(options, conversion.findings, status, out, complain);
}

} // namespace

CliEnvironment CliEnvironment::fromProcess()
{
    CliEnvironment environment;
    environment.settingsFile = KeyValueStore::defaultLocation();
    if (const char* epoch = std::getenv("SOURCE_DATE_EPOCH"))
        environment.sourceDateEpoch = epoch;
    return environment;
}

int runCli(const std::vector<std::string>& arguments, std::istream& in, std::ostream& out, std::ostream& err,
           const CliEnvironment& environment)
{
    Options options;
    CLI::App app{"Writes Swift or Objective-C model types for a sample JSON document.\n"
                 "Reads FILE, or standard input when FILE is absent or \"-\".",
                 std::string(programName)};
    app.footer(std::string(exitCodeTable));
    app.set_version_flag("--version", std::string(programName) + " " + MORVEX_VERSION);
    app.add_option("FILE", options.file, "The JSON sample (default: standard input)");
    const OptionChoices choices{{"lang", {"swift", "objc"}},
                                {"kind", {"class", "struct"}},
                                {"mapping", {"none", "mjextension"}},
                                {"completions", {"bash", "zsh", "fish"}}};
    app.add_option("-l,--lang", options.lang, "Output language")
        ->check(CLI::IsMember(choices.at("lang")))
        ->capture_default_str();
    app.add_option("-k,--kind", options.kind, "Swift type kind (Objective-C output is always a class)")
        ->check(CLI::IsMember(choices.at("kind")))
        ->capture_default_str();
    app.add_option("-m,--mapping", options.mapping, "Objective-C JSON mapping")
        ->check(CLI::IsMember(choices.at("mapping")))
        ->capture_default_str();
    app.add_option("-b,--base", options.base, "Base class or protocol (default: Codable, or NSObject for objc)");
    app.add_option("-p,--prefix", options.prefix, "Class-name prefix (default: the remembered one)");
    app.add_option("-n,--name", options.name, "Root type name (default: the remembered one)");
    app.add_option("--author", options.author, "Author named in the file headers (default: the remembered one)");
    app.add_option("--company", options.company, "Company named in the file headers (default: the remembered one)");
    app.add_option("-o,--output", options.output, "Write the files into DIR instead of printing the code")
        ->type_name("DIR");
    app.add_flag("--remember", options.remember, "Remember author, company, prefix and name for next time");
    app.add_flag("--defaults", options.defaults, "Ignore the remembered values, for reproducible scripts");
    app.add_flag("-q,--quiet", options.quiet, "Print errors only");
    app.add_flag("--faithful", options.faithful, "Types that hold every value of the sample (see the README)");
    app.add_option("--report", options.report, "Write the findings as JSON to FILE (\"-\": standard output, with -o)")
        ->type_name("FILE");
    app.add_flag("--strict", options.strict, "Exit 5 when there is any finding");
    app.add_flag("--check", options.check,
                 "Compare with the files in DIR (-o) and write nothing; exit 4 if they differ");
    app.add_option("--date", options.date, "Header date as YYYY/MM/DD (SOURCE_DATE_EPOCH is honoured too)");
    app.add_option("--completions", options.completions, "Print the completion script for SHELL and exit")
        ->check(CLI::IsMember(choices.at("completions")))
        ->type_name("SHELL");

    try {
        std::vector<std::string> reversed(arguments.rbegin(), arguments.rend());
        app.parse(reversed);
    } catch (const CLI::Success& answer) { // --help, --version
        app.exit(answer, out, err);
        return exitOk;
    } catch (const CLI::ParseError& error) {
        err << programName << ": " << printable(error.what()) << "\nRun with --help for more information.\n";
        return exitUsage;
    }

    if (options.completions) {
        out << *completionScript(app, *options.completions, choices, {"output"}, {"report"});
        return out.flush() ? exitOk : exitWriteFailed;
    }

    Stage stage;
    try {
        return run(options, in, out, err, environment, stage);
    } catch (const std::bad_alloc&) {
        return outOfMemory(err, stage);
    } catch (const std::system_error& error) {
        // The writer's thread could not start: no memory is left for its stack.
        if (error.code() != std::errc::resource_unavailable_try_again)
            throw;
        return outOfMemory(err, stage);
    } catch (const UsageError& error) {
        err << programName << ": " << printable(error.what()) << "\nRun with --help for more information.\n";
        return exitUsage;
    }
}

} // namespace morvex
