// The distortion's kernel: the distortion stage runs it alone, and a stage that follows
// it can run inside its loops (engine/stages/StagePairs.h).
#pragma once

#include "engine/stages/DistortionStage.h"
#include "engine/stages/StageLanes.h"

#include <array>
#include <cstring>

// What runs after the distortion when nothing does.
struct NothingAfterDistortion
{
    static constexpr bool kRuns = false;
    void frame(unsigned) {}
};

// tables[l][index] for every lane.
template <int N>
inline F4 tableEnds(const float* const (&tables)[N], int index)
{
    const int zeros[4] = {index, index, index, index};
    return lookupLanes(tables, zeros, 0);
}

// The distortion over the lanes' channels in place; after.frame(i) runs on every frame i
// once the distortion has written it, inside the distortion's own loops where it can.
template <int L, typename After>
void runDistortion(LaneGroup<DistortionChannel, L>& lanes, unsigned frames, After& after)
{
    using C = DistortionChannel;
    constexpr int kLast = C::kCurveSize - 1;
    const float* curves[L];
    for (int l = 0; l < L; ++l)
        curves[l] = lanes.ch[l]->curve;
    BiquadLanes hp = lanes.section(&C::highPass);
    const F4 floor(static_cast<float>(kDistortionFloor));
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

    // What follows runs one frame at a time on the frames before the chunk being written,
    // so that its recursion overlaps the distortion's.
    unsigned followed = 0;
    auto followWritten = [&](unsigned chunkStart) {
        if constexpr (After::kRuns)
            if (followed < chunkStart)
                after.frame(followed++);
    };

    if constexpr (L == 1)
    {
        // One channel, in chunks: what does not depend on the frame before (the rectified
        // level, the envelope's input side, the curve, the gain's step sizes, the shaping of
        // the output) runs four frames per vector, and one loop carries the recursions, each
        // a chunk behind the one before it: the next chunk's envelope, this chunk's gain, the
        // high-pass over the chunk before and what follows over the chunk before that. The
        // recursions within one step then never wait on each other.
        constexpr unsigned kChunk = 64;
        struct Chunk
        {
            unsigned start = 0, n = 0;
            alignas(16) float x[kChunk + 4];
            alignas(16) float r[kChunk + 4]; // r[0]: the rectified level before the chunk
            alignas(16) float u[kChunk + 4]; // the envelope's terms of this frame's input
            alignas(16) float e[kChunk + 4];
            alignas(16) float target[kChunk + 4], up[kChunk + 4], down[kChunk + 4];
            alignas(16) float gain[kChunk + 4];
        };
        Chunk chunks[2];
        const F4 b0s(b0.first()), b1s(b1.first()), risingS(rising.first()), fallingS(falling.first());
        const F4 termS(envelopeTerm.first()), makeUpS(makeUp.first()), negativeS(negativeFactor.first());
        float* const data = lanes.io.p[0];
        // The chunk's input, its rectified levels and the envelope's input side.
        auto begin = [&](Chunk& c, unsigned start) {
            c.start = start;
            c.n = frames - start < kChunk ? frames - start : kChunk;
            std::memcpy(c.x, data + start, sizeof(float) * c.n);
            std::memset(c.x + c.n, 0, sizeof(float) * (kChunk + 4 - c.n));
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
        auto gainStep = [&](Chunk& c, unsigned j) {
            const F4 d = F4::lanes(c.target[j], 0.f, 0.f, 0.f) - g;
            const F4 up = g + F4::lanes(c.up[j], 0.f, 0.f, 0.f) * d;
            const F4 down = g + F4::lanes(c.down[j], 0.f, 0.f, 0.f) * d;
            g = select(d >= zero, up, down);
            c.gain[j] = g.first();
        };
        // The chunk's output before the high-pass, in place: the gain, the make-up, the
        // negative half-wave's factor and the clip.
        auto shape = [&](Chunk& c) {
            for (unsigned j = c.n; j < ((c.n + 3) & ~3u); ++j)
                c.gain[j] = 0.f;
            for (unsigned j = 0; j < c.n; j += 4)
            {
                F4 y = F4::load(c.gain + j) * F4::load(c.x + j) * makeUpS;
                y = y * select(y < zero, negativeS, one);
                y = min(one, max(minusOne, y));
                if (j + 4 <= c.n)
                {
                    y.store(data + c.start + j);
                    continue;
                }
                alignas(16) float shaped[4];
                y.store(shaped);
                for (unsigned k = 0; j + k < c.n; ++k)
                    data[c.start + j + k] = shaped[k];
            }
        };
        unsigned filtered = 0; // frames through the high-pass
        auto highPassStep = [&] {
            data[filtered] = hp.tick(F4::lanes(data[filtered], 0.f, 0.f, 0.f)).first();
            ++filtered;
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
            const unsigned followable = filtered;
            for (unsigned j = 0; j < now.n; ++j)
            {
                if (j < next.n)
                    envelopeStep(next, j);
                gainStep(now, j);
                if (filtered < start)
                    highPassStep();
                followWritten(followable);
            }
            shape(now);
            if (more)
                finish(next);
        }
        const unsigned followable = filtered;
        while (filtered < frames)
        {
            highPassStep();
            followWritten(followable);
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
            {
                followAndWrite(start + j, xs[j], es[j], targets[j]);
                followWritten(start);
            }
        }
    }
    if constexpr (After::kRuns)
        while (followed < frames)
            after.frame(followed++);

    lanes.scatterSection(&C::highPass, hp);
    lanes.scatter(&C::prevRectified, rPrev, &C::prevEnvelope, ePrev, &C::gain, g);
}
