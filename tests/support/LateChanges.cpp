#include "tests/support/LateChanges.h"

#include <nlohmann/json.hpp>

#include <algorithm>
#include <cmath>
#include <fstream>
#include <optional>
#include <sstream>

namespace crumlet_test
{
namespace
{
LateChangePlan readPlan(const std::string& path)
{
    std::ifstream in(path);
    const nlohmann::json j = nlohmann::json::parse(in);
    LateChangePlan plan{j.at("sampleRate"), j.at("bufferFrames"), j.at("buffers"), j.at("comparedFrames"),
                        j.at("tolerance"),  j.at("heardAbove"),   {}};
    for (const auto& c : j.at("changes"))
    {
        LateChange change{c.at("property"), c.at("value"), {}};
        for (const auto& [name, value] : c.at("with").items())
            change.with.emplace_back(name, value.get<float>());
        plan.changes.push_back(std::move(change));
    }
    return plan;
}

// Three tones and a little noise, stepping every 25 ms between loud and 40 dB down: the gate
// and the noise's ducking open and close within the compared end.
std::vector<float> input(const LateChangePlan& plan)
{
    std::vector<float> x(static_cast<std::size_t>(plan.buffers) * plan.bufferFrames);
    const double rate = plan.sampleRate;
    const double pi = std::acos(-1.0);
    std::uint32_t noise = 12345;
    for (std::size_t n = 0; n < x.size(); ++n)
    {
        noise = noise * 1664525u + 1013904223u;
        const double t = static_cast<double>(n) / rate;
        const double tones = 0.3 * std::sin(2 * pi * 220 * t) + 0.2 * std::sin(2 * pi * 1250 * t) +
                             0.1 * std::sin(2 * pi * 4800 * t) + 0.1 * (noise / 4294967296.0 - 0.5);
        const bool loud = (n / (plan.sampleRate / 40)) % 2 == 0;
        x[n] = static_cast<float>((loud ? 0.9 : 0.009) * tones);
    }
    return x;
}

// The output of a run: `settings` from the start, and `late` set after the first buffer.
std::vector<float> run(const EffectMaker& make, const Settings& settings,
                       const std::optional<std::pair<std::string, float>>& late)
{
    const LateChangePlan& plan = lateChangePlan();
    std::vector<float> x = input(plan);
    const std::unique_ptr<EffectUnderTest> effect = make(settings);
    for (std::uint32_t b = 0; b < plan.buffers; ++b)
    {
        if (b == 1 && late)
            effect->set(late->first, late->second);
        effect->play(x.data() + static_cast<std::size_t>(b) * plan.bufferFrames, plan.bufferFrames);
    }
    return x;
}

// The largest difference between the two outputs' ends.
float endDifference(const std::vector<float>& a, const std::vector<float>& b)
{
    const std::size_t from = a.size() - lateChangePlan().comparedFrames;
    float most = 0.f;
    for (std::size_t i = from; i < a.size(); ++i)
        most = std::max(most, std::fabs(a[i] - b[i]));
    return most;
}

// For each case, how far apart the ends are of a run with the value from its start and one with
// the value set after the first buffer (`late`), or never.
std::vector<float> endDifferences(const EffectMaker& make, bool late)
{
    std::vector<float> differences;
    for (const LateChange& c : lateChangePlan().changes)
    {
        Settings fromStart = c.with;
        fromStart.emplace_back(c.property, c.value);
        const std::optional<std::pair<std::string, float>> change{std::make_pair(c.property, c.value)};
        differences.push_back(
            endDifference(run(make, fromStart, std::nullopt), run(make, c.with, late ? change : std::nullopt)));
    }
    return differences;
}

std::string line(const LateChange& c, const char* what, float difference)
{
    std::ostringstream text;
    text << c.property << "=" << c.value << ": " << what << " " << difference;
    return text.str();
}
} // namespace

const LateChangePlan& lateChangePlan()
{
    static const LateChangePlan plan = readPlan(CRUMLET_LATE_CHANGES);
    return plan;
}

std::vector<std::string> missedLateChanges(const EffectMaker& make)
{
    const std::vector<float> differences = endDifferences(make, true);
    std::vector<std::string> missed;
    for (std::size_t i = 0; i < differences.size(); ++i)
        if (!(differences[i] <= lateChangePlan().tolerance))
            missed.push_back(line(lateChangePlan().changes[i],
                                  "set late, ends this far from a run that had it from the start:", differences[i]));
    return missed;
}

std::string listed(const std::vector<std::string>& lines)
{
    std::string text;
    for (const auto& l : lines)
        text += "\n  " + l;
    return text;
}

std::vector<std::string> unheardChanges(const EffectMaker& make)
{
    const std::vector<float> differences = endDifferences(make, false);
    std::vector<std::string> unheard;
    for (std::size_t i = 0; i < differences.size(); ++i)
        if (!(differences[i] >= lateChangePlan().heardAbove))
            unheard.push_back(line(lateChangePlan().changes[i], "changes the end only by", differences[i]));
    return unheard;
}
} // namespace crumlet_test
