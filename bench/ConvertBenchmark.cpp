// In-process: the conversion beside a plain simdjson DOM parse of the same bytes. The "ratio" counter is
// conversion time over parse time, measured back to back in each iteration.
#include "Documents.h"

#include "morvex/Conversion.h"
#include "morvex/SettingValues.h"

#include <benchmark/benchmark.h>
#include <chrono>
#include <map>
#include <simdjson.h>

namespace {

using Clock = std::chrono::steady_clock;

const std::string& document(std::int64_t megabytes)
{
    static std::map<std::int64_t, std::string> cache;
    auto& text = cache[megabytes];
    if (text.empty())
        text = morvex::bench::apiDocument(static_cast<std::size_t>(megabytes) * 1000 * 1000);
    return text;
}

void compare(benchmark::State& state, bool swift)
{
    const std::string& text = document(state.range(0));
    morvex::ConversionChoices choices;
    choices.isSwift = swift;
    choices.base = swift ? "Codable" : "NSObject";
    choices.adjustType = morvex::MXAdjustType::mjExtension();
    const auto date = morvex::MXDate::fixed("2026/12/05");
    double convertSeconds = 0;
    double parseSeconds = 0;
    for (auto _ : state) {
        auto start = Clock::now();
        auto conversion = morvex::convert(text, choices, morvex::defaultSettingValues(), date);
        benchmark::DoNotOptimize(conversion.display.data());
        auto middle = Clock::now();
        simdjson::dom::parser parser;
        simdjson::padded_string padded(text);
        simdjson::dom::element root;
        benchmark::DoNotOptimize(parser.parse(padded).get(root));
        auto end = Clock::now();
        const double convert = std::chrono::duration<double>(middle - start).count();
        convertSeconds += convert;
        parseSeconds += std::chrono::duration<double>(end - middle).count();
        state.SetIterationTime(convert);
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * static_cast<std::int64_t>(text.size()));
    state.counters["ratio"] = convertSeconds / parseSeconds;
}

void BM_ConvertSwiftVsParse(benchmark::State& state)
{
    compare(state, true);
}
void BM_ConvertObjectiveCVsParse(benchmark::State& state)
{
    compare(state, false);
}

BENCHMARK(BM_ConvertSwiftVsParse)->Arg(1)->Arg(10)->Arg(100)->Arg(500)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ConvertObjectiveCVsParse)->Arg(1)->Arg(10)->Arg(100)->UseManualTime()->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
