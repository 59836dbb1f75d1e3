// Planning a line list of N rows, as a game's dialogue script holds them: one source each,
// four looks, a loudness. Rows of the same look share one setup, so planning is linear in N
// and a million rows stay within a few hundred megabytes (reported as the process's peak
// resident memory, which the largest list sets).
#include "cli/render/LinePlan.h"
#include "cli/render/RenderSetup.h"

#include <benchmark/benchmark.h>

#include <sys/resource.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>

namespace fs = std::filesystem;

namespace
{
// A folder with N one-sample WAV sources (planning checks each exists, never opens it) and
// the list of N rows naming them.
fs::path listOf(std::size_t rows)
{
    const fs::path folder = fs::temp_directory_path() /
                            ("crumlet-lines-bench-" + std::to_string(::getpid()) + "-" + std::to_string(rows));
    fs::create_directories(folder / "src");
    std::ofstream list(folder / "lines.csv");
    list << "input,output,preset,loudness\n";
    const char* const looks[] = {"Walkie-talkie", "Phone call", "Police radio", "Broken toy"};
    for (std::size_t i = 0; i < rows; ++i)
    {
        const std::string source = "src/line" + std::to_string(i % 1000) + ".wav";
        if (i < 1000)
            std::ofstream(folder / source);
        list << source << ",out/line" << i << ".wav," << looks[i % 4] << ",-23\n";
    }
    return folder;
}

void BM_PlanLineList(benchmark::State& state)
{
    const auto rows = static_cast<std::size_t>(state.range(0));
    const fs::path folder = listOf(rows);
    RenderOptions options;
    options.lines = (folder / "lines.csv").string();
    const RenderSetup setup = setUpRender(options);
    for (auto _ : state)
        benchmark::DoNotOptimize(planLines(options, setup).jobs.size());
    state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations() * rows));
    rusage usage{};
    ::getrusage(RUSAGE_SELF, &usage);
    state.counters["peak_MB"] = static_cast<double>(usage.ru_maxrss) / 1024.0;
    fs::remove_all(folder);
}
} // namespace

BENCHMARK(BM_PlanLineList)->Arg(10000)->Arg(1000000)->Iterations(1)->Unit(benchmark::kMillisecond);
