#include "cli/BatchRender.h"

#include "cli/FileRenderer.h"
#include "cli/ProgressBar.h"
#include "cli/UsageError.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <set>
#include <thread>

namespace fs = std::filesystem;

namespace
{
bool looksLikeAudio(const fs::path& path)
{
    static const std::set<std::string> kExtensions = {".wav", ".wave", ".flac", ".aif", ".aiff", ".aifc", ".ogg",
                                                      ".oga",  ".opus", ".mp3",  ".au",  ".caf",  ".w64", ".rf64"};
    std::string ext = path.extension().string();
    std::transform(ext.begin(), ext.end(), ext.begin(), [](unsigned char c) { return std::tolower(c); });
    return kExtensions.count(ext) > 0;
}

struct Outcome
{
    std::string input;
    std::string output;
    std::string error; // empty: rendered
    FileRenderResult result;
};
} // namespace

std::vector<std::string> expandInputs(const std::vector<std::string>& inputs)
{
    std::vector<std::string> files;
    for (const auto& input : inputs)
    {
        std::error_code ec;
        if (fs::is_directory(input, ec))
        {
            std::vector<std::string> found;
            for (const auto& entry : fs::directory_iterator(input, ec))
                if (entry.is_regular_file() && looksLikeAudio(entry.path()))
                    found.push_back(entry.path().string());
            std::sort(found.begin(), found.end());
            files.insert(files.end(), found.begin(), found.end());
        }
        else
        {
            files.push_back(input);
        }
    }
    return files;
}

std::size_t renderBatch(const BatchRequest& request)
{
    const std::vector<std::string> files = expandInputs(request.inputs);
    if (files.empty())
        throw UsageError("no audio files to render");
    std::error_code ec;
    fs::create_directories(request.outputDir, ec);
    if (!fs::is_directory(request.outputDir))
        throw IoError("cannot make the folder \"" + request.outputDir + "\"");

    // Plan every output first: a name taken twice, or an existing file, fails that input.
    std::vector<Outcome> outcomes(files.size());
    std::set<std::string> taken;
    std::uint64_t totalFrames = 0;
    for (std::size_t i = 0; i < files.size(); ++i)
    {
        Outcome& o = outcomes[i];
        o.input = files[i];
        o.output = (fs::path(request.outputDir) / fs::path(files[i]).filename()).string();
        if (!taken.insert(o.output).second)
            o.error = "another input also renders to \"" + o.output + "\"";
        else if (!request.force && fs::exists(o.output))
            o.error = "\"" + o.output + "\" exists (use --force to overwrite it)";
        else
            totalFrames += inputFrames(o.input);
    }

    std::atomic<std::size_t> next{0};
    std::atomic<std::uint64_t> framesDone{0};
    auto work = [&] {
        for (std::size_t i = next++; i < outcomes.size(); i = next++)
        {
            Outcome& o = outcomes[i];
            if (!o.error.empty())
                continue;
            std::uint64_t reported = 0;
            FileRenderRequest job{o.input, o.output, request.block, request.blockFrames, request.sampleFormat,
                                  [&](std::uint64_t written) {
                                      framesDone += written - reported;
                                      reported = written;
                                  }};
            try
            {
                o.result = renderFile(job);
            }
            catch (const std::exception& e)
            {
                o.error = e.what();
            }
        }
    };

    const unsigned cores = std::max(1u, std::thread::hardware_concurrency());
    const unsigned jobs = std::min<std::size_t>(request.jobs == 0 ? cores : request.jobs, outcomes.size());
    const auto started = std::chrono::steady_clock::now();
    std::vector<std::thread> workers;
    for (unsigned j = 0; j < jobs; ++j)
        workers.emplace_back(work);
    {
        ProgressBar progress(request.quiet ? std::string() : "rendering " + std::to_string(outcomes.size()) + " files",
                             totalFrames);
        while (!request.quiet && next.load() < outcomes.size() + jobs)
        {
            progress.update(framesDone.load());
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        }
        for (auto& w : workers)
            w.join();
        progress.finish();
    }
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();

    std::size_t failed = 0;
    double audioSeconds = 0.0;
    for (const auto& o : outcomes)
    {
        if (!o.error.empty())
        {
            ++failed;
            std::fprintf(stderr, "failed: %s: %s\n", o.input.c_str(), o.error.c_str());
        }
        else
        {
            audioSeconds += static_cast<double>(o.result.outputFrames) / o.result.sampleRate;
            if (!request.quiet)
                std::fprintf(stderr, "rendered: %s -> %s\n", o.input.c_str(), o.output.c_str());
        }
    }
    if (!request.quiet || failed > 0)
        std::fprintf(stderr, "%zu of %zu files rendered (%.1f s of audio in %.1f s, %u job%s)%s\n",
                     outcomes.size() - failed, outcomes.size(), audioSeconds, seconds, jobs, jobs == 1 ? "" : "s",
                     failed > 0 ? (", " + std::to_string(failed) + " failed").c_str() : "");
    return failed;
}
