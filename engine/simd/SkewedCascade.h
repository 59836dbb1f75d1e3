// A cascade of biquad sections spread over vector lanes: every section of every channel
// gets its own lanes (a slot), and each slot runs kCascadeSkew frames behind the slot
// before it, reading that slot's output from a short ring of rows. One vector step then
// advances several sections at once, and no section waits on another within a step, so
// the step is bounded by one section's own recursion instead of the whole cascade's
// depth. Each section still does exactly the scalar direct-form-I arithmetic, in the same
// order, on its own consecutive samples.
//
// V is a vector of V::kWidth floats with load, store, +, - and *. This header is included
// by translation units built for different instruction sets: it uses no library
// functions, so that nothing shared between them is compiled for the wider set.
#pragma once

#include "engine/BiquadSection.h"
#include "engine/simd/SoftFlush.h"

// How the cascade's output is formed from its output y.
struct CascadeOutput
{
    bool scaled = false; // false: y; true: y * gain
    float gain = 1.f;
};

constexpr unsigned kCascadeSkew = 4;
// Below this many frames the skew's start and end cost more than it saves.
constexpr unsigned kSkewedCascadeMinFrames = 64;

namespace skewed_detail
{
// Lane (p * L + l) of vector g carries section g * P + p of channel l.
template <typename V, int L, int K>
struct Layout
{
    static constexpr int W = V::kWidth;
    static constexpr int P = W / L;
    static constexpr int G = (K + P - 1) / P;
    static constexpr unsigned S = kCascadeSkew;
    static constexpr unsigned R = 2 * kCascadeSkew; // ring rows, at least S + 3
    // Block 0 of a row is the cascade input; block s + 1 the output of slot s. The last
    // vector's store may run up to W floats past its first lane.
    static constexpr int kRow = G * P * L + L + W;
    static_assert(P >= 1, "a vector holds at least one slot");
    static_assert((R & (R - 1)) == 0 && R >= S + 3, "ring of a power of two rows");
};
} // namespace skewed_detail

// Sections [0, K) of each of the L channels' cascades (first[l][k]) run in series on
// data[l][0 .. frames); the memories carry over to the next call.
template <typename V, int L, int K>
void runSkewedCascade(BiquadSection* const* first, float* const* data, unsigned frames, const CascadeOutput& output)
{
    using Lay = skewed_detail::Layout<V, L, K>;
    constexpr int W = Lay::W, P = Lay::P, G = Lay::G, kRow = Lay::kRow;
    constexpr unsigned S = Lay::S, R = Lay::R;

    // Coefficients and memories by field, vector and lane; unused lanes stay zero.
    alignas(64) float fields[9][G][W];
    for (int f = 0; f < 9; ++f)
        for (int g = 0; g < G; ++g)
            for (int j = 0; j < W; ++j)
                fields[f][g][j] = 0.f;
    for (int s = 0; s < K; ++s)
        for (int l = 0; l < L; ++l)
        {
            const BiquadSection& q = first[l][s];
            const float v[9] = {q.b0, q.b1, q.b2, q.a1, q.a2, q.x1, q.x2, q.y1, q.y2};
            for (int f = 0; f < 9; ++f)
                fields[f][s / P][(s % P) * L + l] = v[f];
        }
    // The output memories live in registers; a slot's input memories are its inputs of
    // the two previous steps, read back from the ring.
    V y1[G], y2[G];
    for (int g = 0; g < G; ++g)
    {
        y1[g] = V::load(fields[7][g]);
        y2[g] = V::load(fields[8][g]);
    }
    // Slot s's lanes of the four memories, put back from fields[5..8] (the state the call
    // started with) or taken into them (the state after the call's last frame). The vectors
    // are only ever indexed by constants, so that they can live in registers.
    auto exchange = [&](V& v, float* saved, int p, bool restore) {
        alignas(64) float t[W];
        v.store(t);
        for (int l = 0; l < L; ++l)
        {
            if (restore)
                t[p * L + l] = saved[p * L + l];
            else
                saved[p * L + l] = t[p * L + l];
        }
        v = V::load(t);
    };
    auto exchangeSlot = [&](int s, bool restore) {
        for (int g = 0; g < G; ++g)
            if (g == s / P)
            {
                exchange(y1[g], fields[7][g], s % P, restore);
                exchange(y2[g], fields[8][g], s % P, restore);
            }
    };

    alignas(64) float ring[R][kRow];
    for (unsigned r = 0; r < R; ++r)
        for (int j = 0; j < kRow; ++j)
            ring[r][j] = 0.f;
    // Slot s's input at step n is block s of row n - S; its input memories at step n are
    // the same block of rows n - S - 1 and n - S - 2.
    auto exchangeInputs = [&](int s, unsigned n, bool restore) {
        float* x1 = ring[(n + 2 * R - S - 1) % R] + s * L;
        float* x2 = ring[(n + 2 * R - S - 2) % R] + s * L;
        for (int l = 0; l < L; ++l)
        {
            float* saved1 = &fields[5][s / P][(s % P) * L + l];
            float* saved2 = &fields[6][s / P][(s % P) * L + l];
            if (restore)
                x1[l] = *saved1, x2[l] = *saved2;
            else
                *saved1 = x1[l], *saved2 = x2[l];
        }
    };
    exchangeInputs(0, 0, true);
    // Slot 0 reads frame n at step n from the row written S steps earlier.
    for (unsigned m = 0; m < S; ++m)
        for (int l = 0; l < L; ++l)
            ring[(m + R - S) % R][l] = m < frames ? data[l][m] : 0.f;

    // Slot s runs frame n - s * S at step n: its lanes start afresh at step s * S and its
    // state is taken at step s * S + frames.
    const unsigned steps = frames + (K - 1) * S;
    int nextRestore = 1, nextCapture = 0;
    unsigned n = 0;
    while (n < steps)
    {
        const unsigned restoreAt = nextRestore < K ? nextRestore * S : steps;
        const unsigned captureAt = nextCapture < K ? nextCapture * S + frames : steps;
        if (n == restoreAt)
        {
            exchangeInputs(nextRestore, n, true);
            exchangeSlot(nextRestore++, true);
            continue;
        }
        if (n == captureAt)
        {
            exchangeInputs(nextCapture, n, false);
            exchangeSlot(nextCapture++, false);
            continue;
        }
        const unsigned until = restoreAt < captureAt ? restoreAt : captureAt;
        for (; n < until; ++n)
        {
            const float* in = ring[(n + R - S) % R];
            const float* in1 = ring[(n + R - S - 1) % R];
            const float* in2 = ring[(n + R - S - 2) % R];
            float* out = ring[n % R];
            for (int g = 0; g < G; ++g)
            {
                const int at = g * P * L;
                const V x = V::load(in + at), x1 = V::load(in1 + at), x2 = V::load(in2 + at);
                const V y = V::load(fields[0][g]) * x + V::load(fields[1][g]) * x1 + V::load(fields[2][g]) * x2 -
                            V::load(fields[3][g]) * y1[g] - V::load(fields[4][g]) * y2[g];
                y2[g] = y1[g];
                y1[g] = y;
                y.store(out + at + L);
            }
            const unsigned ahead = n + S;
            for (int l = 0; l < L; ++l)
                out[l] = ahead < frames ? data[l][ahead] : 0.f;
            if (n >= (K - 1) * S)
            {
                const unsigned m = n - (K - 1) * S;
                for (int l = 0; l < L; ++l)
                {
                    const float y = out[K * L + l];
                    data[l][m] = output.scaled ? flushedProduct(y, output.gain) : y;
                }
            }
        }
    }
    while (nextCapture < K)
    {
        exchangeInputs(nextCapture, steps, false);
        exchangeSlot(nextCapture++, false);
    }

    for (int s = 0; s < K; ++s)
        for (int l = 0; l < L; ++l)
        {
            BiquadSection& q = first[l][s];
            const int j = (s % P) * L + l;
            q.x1 = fields[5][s / P][j];
            q.x2 = fields[6][s / P][j];
            q.y1 = fields[7][s / P][j];
            q.y2 = fields[8][s / P][j];
        }
}

namespace skewed_detail
{
template <typename V, int L>
void runForSections(int sections, BiquadSection* const* first, float* const* data, unsigned frames,
                    const CascadeOutput& output)
{
    switch (sections)
    {
    case 1: runSkewedCascade<V, L, 1>(first, data, frames, output); break;
    case 2: runSkewedCascade<V, L, 2>(first, data, frames, output); break;
    case 4: runSkewedCascade<V, L, 4>(first, data, frames, output); break;
    case 7: runSkewedCascade<V, L, 7>(first, data, frames, output); break;
    default: break;
    }
}
} // namespace skewed_detail

// runSkewedCascade for a run-time channel count (1 to 4) and one of the section counts
// the stages use (1, 2, 4 or 7).
template <typename V>
void runSkewedCascadeFor(int sections, int channels, BiquadSection* const* first, float* const* data,
                         unsigned frames, const CascadeOutput& output)
{
    switch (channels)
    {
    case 1: skewed_detail::runForSections<V, 1>(sections, first, data, frames, output); break;
    case 2: skewed_detail::runForSections<V, 2>(sections, first, data, frames, output); break;
    case 3: skewed_detail::runForSections<V, 3>(sections, first, data, frames, output); break;
    case 4: skewed_detail::runForSections<V, 4>(sections, first, data, frames, output); break;
    default: break;
    }
}
