#include "cli/commands/ValidateCommand.h"

#include "cli/render/EffectHost.h"
#include "cli/io/QuotedText.h"
#include "cli/settings/UsageError.h"
#include "cli/validate/AllocationFailures.h"
#include "cli/validate/EffectSession.h"
#include "cli/validate/OutputNameChecks.h"
#include "cli/validate/RecipeChunks.h"
#include "cli/validate/StateRoundTrips.h"
#include "engine/DawTail.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <functional>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

namespace
{
constexpr std::uint32_t kSampleRates[] = {8000, 11025, 22050, 32000, 44100, 48000, 88200, 96000, 176400, 192000};
constexpr std::uint32_t kBufferSizes[] = {1, 7, 64, 512, 4096};
constexpr std::uint32_t kChannelCounts[] = {1, 2, 6, 8};
constexpr SignalKind kInputs[] = {SignalKind::Silence, SignalKind::Square,    SignalKind::Dc,
                                  SignalKind::Noise,   SignalKind::Subnormal, SignalKind::NonFiniteBurst};

struct Check
{
    std::string name;
    // Answers the fault found (empty when none) and may add a note to the pass line.
    std::function<std::string(std::string& note)> run;
};

std::string sessionNote(const SessionResult& r)
{
    std::ostringstream out;
    out.precision(3);
    out << r.buffers << " buffers, " << r.frames << " frames";
    if (r.bursts > 0)
        out << ", " << r.bursts << " bursts";
    out << ", tail " << r.tailFrames << " frames, peak/bound " << r.worstBoundRatio;
    return out.str();
}

class Validator
{
public:
    Validator(const EffectHost& host, const ValidateOptions& options) : m_host(host), m_options(options) {}

    void add(std::string name, std::function<std::string(std::string&)> run)
    {
        m_checks.push_back({std::move(name), std::move(run)});
    }

    // One session played with the time share every session gets.
    void addSession(std::string name, SessionSpec spec)
    {
        spec.seed = m_options.seed * 1000003u + m_checks.size();
        spec.minFrames = std::max<std::uint64_t>(spec.sampleRate / 4, 4096);
        m_sessions.push_back(m_checks.size());
        add(std::move(name), [this, spec](std::string& note) mutable {
            spec.seconds = m_sessionSeconds;
            const SessionResult r = runSession(m_host.effect(), m_host.description(), spec);
            note = sessionNote(r);
            return r.failure;
        });
    }

    int run()
    {
        // Sessions share about two thirds of the time; the fixed checks take the rest.
        m_sessionSeconds = m_options.seconds * 0.65 / std::max<std::size_t>(m_sessions.size(), 1);
        int passed = 0, failed = 0;
        for (const Check& check : m_checks)
        {
            std::string note, failure;
            try
            {
                failure = check.run(note);
            }
            catch (const std::exception& e)
            {
                failure = std::string("stopped with an error: ") + e.what();
            }
            if (failure.empty())
            {
                ++passed;
                std::printf("PASS  %s%s\n", check.name.c_str(),
                            note.empty() ? "" : ("  (" + printable(note) + ")").c_str());
            }
            else
            {
                ++failed;
                std::printf("FAIL  %s: %s\n", check.name.c_str(), printable(failure).c_str());
            }
            std::fflush(stdout);
        }
        std::printf("%d passed, %d failed\n", passed, failed);
        return failed == 0 ? 0 : 1;
    }

private:
    const EffectHost& m_host;
    const ValidateOptions& m_options;
    std::vector<Check> m_checks;
    std::vector<std::size_t> m_sessions;
    double m_sessionSeconds = 0.0;
};

// Several instances on several threads at once must play exactly what each plays alone.
std::string checkInstancesOnThreads(const EffectHost& host, std::uint64_t seed, unsigned count, std::string& note)
{
    std::vector<SessionSpec> specs(count);
    for (unsigned i = 0; i < count; ++i)
    {
        specs[i].sampleRate = kSampleRates[(seed + i) % std::size(kSampleRates)];
        specs[i].channels = kChannelCounts[i % std::size(kChannelCounts)];
        specs[i].bufferSizes = {};
        specs[i].values = Automation::Values::AnyValue;
        specs[i].seconds = 0.0;
        specs[i].minFrames = 48000;
        specs[i].seed = seed * 31 + i;
    }
    std::vector<SessionResult> alone(count), together(count);
    for (unsigned i = 0; i < count; ++i)
        alone[i] = runSession(host.effect(), host.description(), specs[i]);
    std::vector<std::thread> threads;
    for (unsigned i = 0; i < count; ++i)
        threads.emplace_back([&, i] { together[i] = runSession(host.effect(), host.description(), specs[i]); });
    for (auto& t : threads)
        t.join();
    for (unsigned i = 0; i < count; ++i)
    {
        if (!alone[i].ok())
            return alone[i].failure;
        if (!together[i].ok())
            return "on a thread: " + together[i].failure;
        if (alone[i].outputHash != together[i].outputHash)
            return "instance " + std::to_string(i) + " played differently beside the others";
    }
    note = std::to_string(count) + " instances, 48000 frames each";
    return {};
}
} // namespace

int runValidate(const ValidateOptions& options)
{
    // Every check takes its share of the time: an endless one would never end.
    constexpr double kLongestRun = 86400.0;
    if (!(options.seconds > 0.0 && options.seconds <= kLongestRun))
        throw UsageError("--seconds takes a time above 0 and up to 86400 (a day)");
    std::printf("crumlet validate: seed %llu, about %g s\n", static_cast<unsigned long long>(options.seed),
                options.seconds);
    const EffectHost* host = nullptr;
    std::string loadFailure;
    try
    {
        host = &EffectHost::instance();
    }
    catch (const IoError& e)
    {
        loadFailure = e.what();
    }
    if (host == nullptr)
    {
        std::printf("FAIL  the module loads and registers its effect: %s\n0 passed, 1 failed\n",
                    printable(loadFailure).c_str());
        return 1;
    }

    Validator v(*host, options);
    v.add("the module loads and registers its effect", [host](std::string& note) {
        note = host->modulePath();
        return host->effect().type == 3 ? std::string() : "the record's type is not 3 (effect)";
    });

    for (std::uint32_t rate : kSampleRates)
    {
        SessionSpec spec;
        spec.sampleRate = rate;
        spec.bufferSizes = {512, 64, 7};
        spec.values = Automation::Values::AnyValue;
        v.addSession("sample rate " + std::to_string(rate) + " Hz", spec);
    }
    for (std::uint32_t size : kBufferSizes)
    {
        SessionSpec spec;
        spec.bufferSizes = {size};
        v.addSession("buffers of " + std::to_string(size) + (size == 1 ? " frame" : " frames"), spec);
    }
    {
        SessionSpec spec;
        spec.bufferSizes = {};
        v.addSession("a random schedule of buffer sizes", spec);
    }
    for (std::uint32_t channels : kChannelCounts)
    {
        SessionSpec spec;
        spec.sampleRate = 44100;
        spec.channels = channels;
        spec.bufferSizes = {};
        v.addSession(std::to_string(channels) + (channels == 1 ? " channel" : " channels"), spec);
    }
    const struct
    {
        const char* name;
        Automation::Route route;
        Automation::Values values;
    } automations[] = {
        {"automation every 32 frames by single updates, in range", Automation::Route::SingleUpdates,
         Automation::Values::InRange},
        {"automation every 32 frames by single updates, in and out of range", Automation::Route::SingleUpdates,
         Automation::Values::AnyValue},
        {"automation every 32 frames by whole blocks, in range", Automation::Route::WholeBlocks,
         Automation::Values::InRange},
        {"automation every 32 frames by whole blocks, in and out of range", Automation::Route::WholeBlocks,
         Automation::Values::AnyValue},
        {"automation every 32 frames by blocks of random bytes", Automation::Route::WholeBlocks,
         Automation::Values::Garbage},
    };
    for (const auto& a : automations)
    {
        SessionSpec spec;
        spec.bufferSizes = {};
        spec.route = a.route;
        spec.values = a.values;
        v.addSession(a.name, spec);
    }
    for (SignalKind kind : kInputs)
    {
        SessionSpec spec;
        spec.bufferSizes = {};
        spec.only = kind;
        spec.values = Automation::Values::AnyValue;
        v.addSession(std::string("input: ") + toString(kind), spec);
    }

    v.add("the tail ends in silence and within what the DAW wrappers report", [host, &options](std::string& note) {
        std::uint64_t longest = 0;
        double worstRing = 0.0;
        for (std::uint64_t round = 0; round < 36; ++round)
        {
            SessionSpec spec;
            spec.sampleRate = kSampleRates[round % std::size(kSampleRates)];
            spec.bufferSizes = {kBufferSizes[round % std::size(kBufferSizes)]};
            spec.automationInterval = 0;
            spec.seconds = 0.0;
            spec.minFrames = spec.sampleRate / 2;
            spec.only = SignalKind::Noise;
            spec.seed = options.seed * 7919 + round;
            spec.tailInSilence = true;
            spec.coincidingResonances = round >= 24;
            const SessionResult r = runSession(host->effect(), host->description(), spec);
            if (!r.ok())
                return r.failure;
            longest = std::max(longest, r.tailFrames);
            // The tail the DAW wrappers report must cover the ringing.
            const auto told = static_cast<std::uint64_t>(dawTailFrames(static_cast<std::int64_t>(r.effectTail)));
            if (r.ringFrames > told)
                return "the output rang " + std::to_string(r.ringFrames) + " frames after the input, past the " +
                       std::to_string(told) + " the DAW wrappers report (the effect's tail " +
                       std::to_string(r.effectTail) + ") at " + std::to_string(spec.sampleRate) + " Hz, seed " +
                       std::to_string(spec.seed);
            if (r.effectTail > 0)
                worstRing = std::max(worstRing, static_cast<double>(r.ringFrames) / static_cast<double>(r.effectTail));
        }
        char ring[200];
        std::snprintf(ring, sizeof ring, "; rang 60 dB down within %.2f times the effect's tail at worst, the DAW "
                                         "wrappers report %lld times",
                      worstRing, static_cast<long long>(kDawTailStretch));
        note = "24 random settings and 12 with coinciding resonances, longest tail " + std::to_string(longest) +
               " frames" + ring;
        return std::string();
    });
    v.add("block → property set → block is byte-identical", [host, &options](std::string& note) {
        note = "200 random settings";
        return checkBlockRoundTrip(*host, options.seed, 200);
    });
    v.add("preset saved, loaded and saved again is byte-identical", [host, &options](std::string& note) {
        note = "50 random settings";
        return checkPresetRoundTrip(*host, options.seed, 50);
    });
    v.add("blocks of the wrong size are refused", [host](std::string&) { return checkWrongSizeBlocks(*host); });
    v.add("output names from hostile templates and inputs stay inside the output folder",
          [&options](std::string& note) { return checkHostileOutputNames(options.seed, 2000, note); });
    v.add("recipe → WAV chunks → recipe is the same", [host, &options](std::string& note) {
        note = "100 random recipes";
        return checkRecipeRoundTrip(*host, options.seed, 100);
    });
    v.add("hostile settings chunks are refused, lying sizes left unread", [host](std::string& note) {
        return checkHostileRecipeChunks(*host, note);
    });
    for (std::uint32_t channels : {1u, 2u, 8u})
        v.add("allocation failure at every site, " + std::to_string(channels) + (channels == 1 ? " channel" : " channels"),
              [host, channels](std::string& note) {
                  const AllocationFailureReport r = checkAllocationFailures(host->effect(), 48000, channels);
                  note = std::to_string(r.sites) + " sites";
                  return r.failure;
              });
    v.add("4 instances on 4 threads at once", [host, &options](std::string& note) {
        return checkInstancesOnThreads(*host, options.seed, 4, note);
    });
    return v.run();
}
