// Planning a batch render of N files in one folder: finding them, and checking every output
// against every source and for an existing file. Linear in N: comparing each output with
// each input would take minutes for 5000 files.
#include "cli/render/BatchPlan.h"

#include <benchmark/benchmark.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <unistd.h>

namespace fs = std::filesystem;

namespace
{
// A folder of N empty ".wav" files (planning never opens them), made once per N.
fs::path folderOf(std::size_t files)
{
    const fs::path folder = fs::temp_directory_path() /
                            ("crumlet-plan-bench-" + std::to_string(::getpid()) + "-" + std::to_string(files));
    if (!fs::exists(folder))
    {
        fs::create_directories(folder);
        for (std::size_t i = 0; i < files; ++i)
            std::ofstream(folder / ("f" + std::to_string(i) + ".wav"));
    }
    return folder;
}

void BM_PlanBatch(benchmark::State& state)
{
    const auto files = static_cast<std::size_t>(state.range(0));
    const fs::path folder = folderOf(files);
    const BatchPlanRequest request{{folder.string()}, (folder / "out").string(), false, false, false, {}};
    for (auto _ : state)
        benchmark::DoNotOptimize(planBatch(request).size());
    state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations() * files));
    fs::remove_all(folder);
}
} // namespace

BENCHMARK(BM_PlanBatch)->Arg(1000)->Arg(5000)->Unit(benchmark::kMillisecond);
