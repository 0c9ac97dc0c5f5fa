// Store file reading: the time must grow in step with the file, so a store
// near the 16 MiB limit still loads in about a second. The complexity fit
// printed after the runs shows the growth (N = number of values).

#include <benchmark/benchmark.h>

#include <cstdio>
#include <stdexcept>
#include <string>

#include "app/RegDocument.h"

namespace printdeck::bench {
namespace {

// A store of `values` numbered text values spread over keys of 100 each.
std::string StoreText(std::int64_t values) {
    std::string text = "REGEDIT4\n";
    char line[96];
    for (std::int64_t i = 0; i < values; ++i) {
        if (i % 100 == 0) {
            std::snprintf(line, sizeof line, "\n[HKEY_LOCAL_MACHINE\\Software\\Bench\\K%06lld]\n",
                          static_cast<long long>(i / 100));
            text += line;
        }
        std::snprintf(line, sizeof line, "\"image%07lld\"=\"picture%07lld.bmp,050\"\n",
                      static_cast<long long>(i), static_cast<long long>(i));
        text += line;
    }
    return text;
}

void ParseStore(benchmark::State& state) {
    const std::string text = StoreText(state.range(0));
    for (auto _ : state) {
        RegParseResult result = CRegDocument::Parse(text);
        if (!result.document) {
            throw std::runtime_error("the generated store does not parse");
        }
        benchmark::DoNotOptimize(result);
    }
    state.SetComplexityN(state.range(0));
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * text.size()));
}
// 400,000 values make a store of about 16 MiB.
BENCHMARK(ParseStore)
    ->RangeMultiplier(4)
    ->Range(6'250, 400'000)
    ->Unit(benchmark::kMillisecond)
    ->Complexity(benchmark::oN);

}  // namespace
}  // namespace printdeck::bench

BENCHMARK_MAIN();
