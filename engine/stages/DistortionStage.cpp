#include "engine/stages/DistortionStage.h"

#include "engine/Units.h"
#include "engine/filters/FilterDesign.h"
#include "engine/simd/WideRegisters.h"
#include "engine/stages/StageLanes.h"

#include <algorithm>
#include <cmath>

namespace
{
constexpr double kFloor = 0.003981071705534969; // -48 dB

struct ModeShape
{
    double riseBase, riseSlope;
    double fallBase, fallSlope;
    bool fallFollowsRise;
    double low, mid, high;
    double trimDb;
};

// Gain-rising and gain-falling times in ms as base + slope * sqrt(amount/100).
constexpr ModeShape kModes[10] = {
    {4.35, 7.8, 0.85, -0.5, false, 100, 150, 17500, -8},   // Sat1
    {1.15, 17.1, 0.25, -0.15, false, 100, 300, 20000, -7}, // Sat2
    {2.35, -0.95, 0.35, -0.1, false, 300, 300, 10000, -6}, // Fuzz
    {0.95, -0.2, 0.25, -0.15, false, 150, 300, 12000, -6}, // LoFi
    {8.25, -7.9, 0.25, 0.0, false, 100, 200, 14000, -6},   // Soft
    {2.15, -1.9, 0.5, -0.3, false, 150, 300, 16000, -6},   // Stun
    {0.7, -0.55, 0, 0, true, 200, 400, 18000, -6},         // Ouch
    {0.35, -0.25, 0, 0, true, 100, 1000, 20000, -5},       // Hard
    {0.25, -0.2, 0, 0, true, 200, 2000, 20000, -2},        // Nuke
    {0.1, -0.09, 0, 0, true, 150, 1500, 20000, 0},         // Clip
};

constexpr double kMakeUpTable[22] = {1.0,    2.2387, 2.0893, 1.4791, 1.0233, 0.7674, 0.5957, 0.4732,
                                     0.3936, 0.335,  0.2884, 0.2512, 0.2239, 0.1995, 0.1841, 0.1679,
                                     0.1585, 0.1496, 0.1334, 0.1259, 0.1259, 0.1259};

const ModeShape& modeShape(int mode)
{
    return kModes[std::clamp(mode, 0, 9)];
}
} // namespace

double distortionMakeUp(double amount, int mode)
{
    const double a = amount * 0.01;
    const double c = std::pow(1.0 / kFloor, 1.0 - 1.0 / (9.0 * a + 1.0));
    const double position = 20.0 * a;
    const int index = std::clamp(static_cast<int>(std::floor(position)), 0, 20);
    const double weight = position - index;
    const double m = kMakeUpTable[index] + (kMakeUpTable[index + 1] - kMakeUpTable[index]) * weight;
    return ((c - 1.0) * a + 1.0) * m * std::pow(10.0, a * modeShape(mode).trimDb / 20.0);
}

void DistortionStage::setup(unsigned fs, const DistortionParams& p)
{
    const ModeShape& mode = modeShape(p.mode);
    const double a = p.amount * 0.01;
    const double exponent = 1.0 / (1.0 + 0.09 * p.amount) - 1.0;

    float curve[kCurveSize];
    for (int i = 0; i < kCurveSize; ++i)
        curve[i] = static_cast<float>(std::pow(1.0 + (i / 256.0) / kFloor, exponent));

    const double v = std::sqrt(a);
    const double rising = mode.riseBase + mode.riseSlope * v;
    const double falling = mode.fallFollowsRise ? rising : mode.fallBase + mode.fallSlope * v;
    const double cutoff = ((mode.high - mode.mid) * p.intensity * 0.01 + mode.mid - mode.low) * a + mode.low;
    const BiquadCoefs envelope = filters::LowPass1(fs, cutoff);
    const double fallingCoef = TimeToCoefficient(fs, falling);
    const BiquadCoefs dcBlock = filters::HighPass1(fs, 20.0);
    const float makeUp = static_cast<float>(distortionMakeUp(p.amount, p.mode));

    for (auto& ch : memory)
    {
        ch.envB0 = static_cast<float>(envelope.b0);
        ch.envB1 = static_cast<float>(envelope.b1);
        ch.envA1 = static_cast<float>(envelope.a1);
        ch.risingCoef = static_cast<float>(TimeToCoefficient(fs, rising));
        ch.fallingCoef = static_cast<float>(fallingCoef);
        ch.envelopeTerm = static_cast<float>(TimeToCoefficient(fs, 0.01) - fallingCoef);
        ch.negativeGain = static_cast<float>(-0.02 * p.rectify);
        ch.makeUp = makeUp;
        ch.highPass.load(dcBlock);
        std::copy(std::begin(curve), std::end(curve), ch.curve);
    }
}

namespace
{
// tables[l][index] for every lane.
template <int N>
F4 tableEnds(const float* const (&tables)[N], int index)
{
    const int zeros[4] = {index, index, index, index};
    return lookupLanes(tables, zeros, 0);
}

template <int L>
void runDistortion(LaneGroup<DistortionChannel, L>& lanes, unsigned frames)
{
    using C = DistortionChannel;
    constexpr int kLast = C::kCurveSize - 1;
    const float* curves[L];
    for (int l = 0; l < L; ++l)
        curves[l] = lanes.ch[l]->curve;
    BiquadLanes hp = lanes.section(&C::highPass);
    const F4 floor(static_cast<float>(kFloor));
    const std::array<F4, 8> setup = lanes.gather(&C::envB0, &C::envB1, &C::envA1, &C::risingCoef, &C::fallingCoef,
                                                 &C::envelopeTerm, &C::negativeGain, &C::makeUp);
    const F4 b0 = setup[0], b1 = setup[1], a1 = setup[2], rising = setup[3], falling = setup[4];
    const F4 envelopeTerm = setup[5], negativeFactor = F4(1.f) + setup[6], makeUp = setup[7];
    std::array<F4, 3> state = lanes.gather(&C::prevRectified, &C::prevEnvelope, &C::gain);
    F4 rPrev = state[0], ePrev = state[1], g = state[2];
    const F4 zero(0.f), one(1.f), minusOne(-1.f), half(0.5f), top(static_cast<float>(kLast));

    // The gain curve at the envelope, interpolated; a position past the last entry (or not
    // a number) reads the last entry.
    // The curve's two ends, for each lane layout below.
    const float* pairCurves[4] = {curves[0], curves[L - 1], curves[0], curves[L - 1]};
    const float* oneCurve[4] = {curves[0], curves[0], curves[0], curves[0]};
    const F4 laneEnds[2] = {tableEnds(curves, 0), tableEnds(curves, kLast)};
    const F4 pairEnds[2] = {tableEnds(pairCurves, 0), tableEnds(pairCurves, kLast)};
    const F4 oneEnds[2] = {tableEnds(oneCurve, 0), tableEnds(oneCurve, kLast)};
    auto readCurve = [&](const auto& tables, const F4(&ends)[2], F4 e) {
        const F4 k = e * top;
        const M4 inside = (k >= zero) & (k < top);
        const F4 position = select(inside, k, zero);
        int index[4];
        truncateToInt(position, index);
        const F4 f = position - toFloat(index);
        const F4 interpolated = f * lookupLanes(tables, index, 1) + (one - f) * lookupLanes(tables, index, 0);
        return select(inside, interpolated, select(k < zero, ends[0], ends[1]));
    };

    // Rectified level above the floor, then the half-level envelope.
    auto envelopeOf = [&](F4 x) {
        const F4 r = min(one, max(floor, abs(x))) - floor;
        const F4 e = half * (b0 * r + b1 * rPrev) - a1 * ePrev;
        rPrev = r;
        ePrev = e;
        return e;
    };
    // The gain follows the curve, faster as the envelope rises. Both candidate steps are
    // formed before the direction is known, which keeps the recursion short.
    auto followAndWrite = [&](unsigned i, F4 x, F4 e, F4 target) {
        const F4 d = target - g;
        const F4 up = g + (rising + e * envelopeTerm) * d;
        const F4 down = g + (falling + e * envelopeTerm) * d;
        g = select(d >= zero, up, down);

        F4 y = g * x * makeUp;
        y = y * select(y < zero, negativeFactor, one);
        y = min(one, max(minusOne, y));
        lanes.io.store(i, hp.tick(y));
    };

    if constexpr (L == 1)
    {
        // One channel, in chunks: what does not depend on the frame before (the rectified
        // level, the envelope's input side, the curve, the gain's step sizes) runs four
        // frames per vector, and the loop that carries the three recursions runs the next
        // chunk's envelope beside this chunk's gain and high-pass, so that they overlap.
        constexpr unsigned kChunk = 64;
        struct Chunk
        {
            unsigned start = 0, n = 0;
            alignas(16) float x[kChunk + 4];
            alignas(16) float r[kChunk + 4]; // r[0]: the rectified level before the chunk
            alignas(16) float u[kChunk + 4]; // the envelope's terms of this frame's input
            alignas(16) float e[kChunk + 4];
            alignas(16) float target[kChunk + 4], up[kChunk + 4], down[kChunk + 4];
        };
        Chunk chunks[2];
        const F4 b0s(b0.first()), b1s(b1.first()), risingS(rising.first()), fallingS(falling.first());
        const F4 termS(envelopeTerm.first());
        // The chunk's input, its rectified levels and the envelope's input side.
        auto begin = [&](Chunk& c, unsigned start) {
            c.start = start;
            c.n = frames - start < kChunk ? frames - start : kChunk;
            const float* in = lanes.io.p[0] + start;
            for (unsigned j = 0; j < c.n; ++j)
                c.x[j] = in[j];
            for (unsigned j = c.n; j < kChunk + 4; ++j)
                c.x[j] = 0.f;
            c.r[0] = rPrev.first();
            for (unsigned j = 0; j < c.n; j += 4)
                (min(one, max(floor, abs(F4::load(c.x + j)))) - floor).store(c.r + 1 + j);
            rPrev = F4::lanes(c.r[c.n], 0.f, 0.f, 0.f);
            for (unsigned j = 0; j < c.n; j += 4)
                (half * (b0s * F4::load(c.r + 1 + j) + b1s * F4::load(c.r + j))).store(c.u + j);
        };
        auto envelopeStep = [&](Chunk& c, unsigned j) {
            ePrev = F4::lanes(c.u[j], 0.f, 0.f, 0.f) - a1 * ePrev;
            c.e[j] = ePrev.first();
        };
        // The curve at the chunk's envelopes and the gain's two step sizes.
        auto finish = [&](Chunk& c) {
            for (unsigned j = c.n; j < ((c.n + 3) & ~3u); ++j)
                c.e[j] = 0.f;
            for (unsigned j = 0; j < c.n; j += 4)
            {
                const F4 e = F4::load(c.e + j);
                readCurve(oneCurve, oneEnds, e).store(c.target + j);
                const F4 term = e * termS;
                (risingS + term).store(c.up + j);
                (fallingS + term).store(c.down + j);
            }
        };
        auto gainStep = [&](const Chunk& c, unsigned j) {
            const F4 d = F4::lanes(c.target[j], 0.f, 0.f, 0.f) - g;
            const F4 up = g + F4::lanes(c.up[j], 0.f, 0.f, 0.f) * d;
            const F4 down = g + F4::lanes(c.down[j], 0.f, 0.f, 0.f) * d;
            g = select(d >= zero, up, down);
            F4 y = g * F4::lanes(c.x[j], 0.f, 0.f, 0.f) * makeUp;
            y = y * select(y < zero, negativeFactor, one);
            y = min(one, max(minusOne, y));
            lanes.io.p[0][c.start + j] = hp.tick(y).first();
        };

        if (frames > 0)
        {
            begin(chunks[0], 0);
            for (unsigned j = 0; j < chunks[0].n; ++j)
                envelopeStep(chunks[0], j);
            finish(chunks[0]);
        }
        for (unsigned start = 0, k = 0; start < frames; start += kChunk, k ^= 1)
        {
            Chunk& now = chunks[k];
            Chunk& next = chunks[k ^ 1];
            const bool more = start + kChunk < frames;
            next.n = 0;
            if (more)
                begin(next, start + kChunk);
            for (unsigned j = 0; j < now.n; ++j)
            {
                if (j < next.n)
                    envelopeStep(next, j);
                gainStep(now, j);
            }
            if (more)
                finish(next);
        }
    }
    else
    {
        // Two passes per chunk: the envelope and its curve reading first, then the gain
        // recursion and the output, so that neither long path waits on the other.
        constexpr unsigned kChunk = 64;
        F4 xs[kChunk], es[kChunk], targets[kChunk + 1];
        for (unsigned start = 0; start < frames; start += kChunk)
        {
            const unsigned n = frames - start < kChunk ? frames - start : kChunk;
            for (unsigned j = 0; j < n; ++j)
            {
                xs[j] = lanes.io.load(start + j);
                es[j] = envelopeOf(xs[j]);
            }
            if constexpr (L == 2)
            {
                // Two channels leave lanes free: read the curve for two frames at once.
                for (unsigned j = 0; j < n; j += 2)
                {
                    const F4 pair = lowHalves(es[j], j + 1 < n ? es[j + 1] : zero);
                    const F4 target = readCurve(pairCurves, pairEnds, pair);
                    targets[j] = target;
                    targets[j + 1] = highToLow(target);
                }
            }
            else
            {
                for (unsigned j = 0; j < n; ++j)
                    targets[j] = readCurve(curves, laneEnds, es[j]);
            }
            for (unsigned j = 0; j < n; ++j)
                followAndWrite(start + j, xs[j], es[j], targets[j]);
        }
    }

    lanes.scatterSection(&C::highPass, hp);
    lanes.scatter(&C::prevRectified, rPrev, &C::prevEnvelope, ePrev, &C::gain, g);
}
} // namespace

void DistortionStage::processChannels(const ChannelBlock& block)
{
    runOnWidestRegisters([&] {
        forEachLaneGroup(memory, block, [&](auto& lanes) { runDistortion(lanes, block.frames); });
    });
}

void DistortionChannel::restart()
{
    highPass.clearMemory();
    prevRectified = prevEnvelope = gain = 0.f;
}
