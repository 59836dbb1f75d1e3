// Moving channels in and out of lanes: samples of up to four channels per frame, and
// per-channel stage state gathered into lanes for a block and scattered back after it.
#pragma once

#include "engine/BiquadSection.h"
#include "engine/simd/F4.h"

#include <algorithm>
#include <iterator>
#include <type_traits>

template <int L>
struct LaneIO
{
    static_assert(L >= 1 && L <= 4, "one to four lanes");
    float* p[L];

    F4 load(unsigned i) const
    {
        if constexpr (L == 1)
            return F4::lanes(p[0][i], 0.f, 0.f, 0.f);
        else if constexpr (L == 2)
            return F4::lanes(p[0][i], p[1][i], 0.f, 0.f);
        else if constexpr (L == 3)
            return F4::lanes(p[0][i], p[1][i], p[2][i], 0.f);
        else
            return F4::lanes(p[0][i], p[1][i], p[2][i], p[3][i]);
    }

    void store(unsigned i, F4 v) const
    {
        alignas(16) float t[4];
        v.store(t);
        for (int l = 0; l < L; ++l)
            p[l][i] = t[l];
    }
};

// table[l][index[l] + offset] for each lane, assembled in registers (element stores
// followed by a vector load would stall store forwarding).
template <int L>
F4 lookupLanes(const float* const (&table)[L], const int (&index)[4], int offset)
{
    if constexpr (L == 1)
        return F4::lanes(table[0][index[0] + offset], 0.f, 0.f, 0.f);
    else if constexpr (L == 2)
        return F4::lanes(table[0][index[0] + offset], table[1][index[1] + offset], 0.f, 0.f);
    else if constexpr (L == 3)
        return F4::lanes(table[0][index[0] + offset], table[1][index[1] + offset], table[2][index[2] + offset], 0.f);
    else
        return F4::lanes(table[0][index[0] + offset], table[1][index[1] + offset], table[2][index[2] + offset],
                         table[3][index[3] + offset]);
}

// One field of L channel states as lanes (unused lanes read 0).
template <int L, typename T, typename Field>
F4 gatherField(T* const (&objects)[L], Field T::*field)
{
    alignas(16) float t[4] = {0.f, 0.f, 0.f, 0.f};
    for (int l = 0; l < L; ++l)
        t[l] = static_cast<float>(objects[l]->*field);
    return F4::load(t);
}

template <int L, typename T, typename Field>
void scatterField(T* const (&objects)[L], Field T::*field, F4 v)
{
    alignas(16) float t[4];
    v.store(t);
    for (int l = 0; l < L; ++l)
        objects[l]->*field = static_cast<Field>(t[l]);
}

// A biquad section of up to four channels.
struct BiquadLanes
{
    F4 b0, b1, b2, a1, a2, x1, x2, y1, y2;

    template <int L>
    void gather(BiquadSection* const (&s)[L])
    {
        b0 = gatherField(s, &BiquadSection::b0);
        b1 = gatherField(s, &BiquadSection::b1);
        b2 = gatherField(s, &BiquadSection::b2);
        a1 = gatherField(s, &BiquadSection::a1);
        a2 = gatherField(s, &BiquadSection::a2);
        x1 = gatherField(s, &BiquadSection::x1);
        x2 = gatherField(s, &BiquadSection::x2);
        y1 = gatherField(s, &BiquadSection::y1);
        y2 = gatherField(s, &BiquadSection::y2);
    }

    template <int L>
    void scatter(BiquadSection* const (&s)[L]) const
    {
        scatterField(s, &BiquadSection::x1, x1);
        scatterField(s, &BiquadSection::x2, x2);
        scatterField(s, &BiquadSection::y1, y1);
        scatterField(s, &BiquadSection::y2, y2);
    }

    // Lane j from s[j], or an identity section where s[j] is null.
    void gatherMixed(BiquadSection* const (&s)[4])
    {
        alignas(16) float f[9][4];
        for (int j = 0; j < 4; ++j)
        {
            const BiquadSection identity;
            const BiquadSection& q = s[j] != nullptr ? *s[j] : identity;
            const float v[9] = {q.b0, q.b1, q.b2, q.a1, q.a2, q.x1, q.x2, q.y1, q.y2};
            for (int k = 0; k < 9; ++k)
                f[k][j] = v[k];
        }
        F4* fields[9] = {&b0, &b1, &b2, &a1, &a2, &x1, &x2, &y1, &y2};
        for (int k = 0; k < 9; ++k)
            *fields[k] = F4::load(f[k]);
    }

    void scatterMixed(BiquadSection* const (&s)[4]) const
    {
        alignas(16) float f[4][4];
        x1.store(f[0]);
        x2.store(f[1]);
        y1.store(f[2]);
        y2.store(f[3]);
        for (int j = 0; j < 4; ++j)
            if (s[j] != nullptr)
            {
                s[j]->x1 = f[0][j];
                s[j]->x2 = f[1][j];
                s[j]->y1 = f[2][j];
                s[j]->y2 = f[3][j];
            }
    }

    // Lanes 0-1 from a, lanes 2-3 from b.
    static BiquadLanes merge(const BiquadLanes& a, const BiquadLanes& b)
    {
        BiquadLanes m;
        m.b0 = lowOfHighOf(a.b0, b.b0);
        m.b1 = lowOfHighOf(a.b1, b.b1);
        m.b2 = lowOfHighOf(a.b2, b.b2);
        m.a1 = lowOfHighOf(a.a1, b.a1);
        m.a2 = lowOfHighOf(a.a2, b.a2);
        m.x1 = lowOfHighOf(a.x1, b.x1);
        m.x2 = lowOfHighOf(a.x2, b.x2);
        m.y1 = lowOfHighOf(a.y1, b.y1);
        m.y2 = lowOfHighOf(a.y2, b.y2);
        return m;
    }

    F4 tick(F4 x)
    {
        const F4 y = b0 * x + b1 * x1 + b2 * x2 - a1 * y1 - a2 * y2;
        x2 = x1;
        x1 = x;
        y2 = y1;
        y1 = y;
        return y;
    }
};

// Sections [K, K + N) of a cascade, in series, sample by sample so the sections'
// recursions overlap; `post(y, x)` forms each output from the cascade's output and input.
template <int K, int N, int L, typename Post>
void runSections(BiquadSection* const (&first)[L], const LaneIO<L>& io, unsigned frames, Post post)
{
    BiquadLanes s[N];
    BiquadSection* sections[N][L];
    for (int k = 0; k < N; ++k)
    {
        for (int l = 0; l < L; ++l)
            sections[k][l] = first[l] + K + k;
        s[k].gather(sections[k]);
    }
    for (unsigned i = 0; i < frames; ++i)
    {
        const F4 x = io.load(i);
        F4 v = x;
        for (int k = 0; k < N; ++k)
            v = s[k].tick(v);
        io.store(i, post(v, x));
    }
    for (int k = 0; k < N; ++k)
        s[k].scatter(sections[k]);
}

// N sections in series for one or two channels, using all four lanes: lanes 0-1 run the
// first half of the cascade on frame i while lanes 2-3 run the second half on frame
// i - kSkew, fed from a short ring of the first half's outputs. The arithmetic per
// section and sample is unchanged; only which sections share an instruction differs.
template <int N, int L, typename Post>
void processCascadeSplit(BiquadSection* const (&first)[L], const LaneIO<L>& io, unsigned frames, Post post)
{
    constexpr int M = (N + 1) / 2;
    constexpr unsigned kSkew = 16;
    BiquadLanes s[M];
    BiquadSection* where[M][4];
    for (int k = 0; k < M; ++k)
    {
        for (int j = 0; j < 4; ++j)
            where[k][j] = nullptr;
        for (int l = 0; l < L; ++l)
        {
            where[k][l] = first[l] + k;
            where[k][2 + l] = M + k < N ? first[l] + M + k : nullptr;
        }
        s[k].gatherMixed(where[k]);
    }
    auto runAll = [&s](F4 v) {
        for (int k = 0; k < M; ++k)
            v = s[k].tick(v);
        return v;
    };

    F4 ring[kSkew];
    // The first frames pass the first half only; the second half's lanes are put back.
    BiquadLanes saved[M];
    std::copy(std::begin(s), std::end(s), saved);
    for (unsigned i = 0; i < kSkew; ++i)
        ring[i] = runAll(io.load(i));
    for (int k = 0; k < M; ++k)
        s[k] = BiquadLanes::merge(s[k], saved[k]);

    for (unsigned i = kSkew; i < frames; ++i)
    {
        const F4 v = runAll(lowHalves(io.load(i), ring[i % kSkew]));
        ring[i % kSkew] = v;
        io.store(i - kSkew, post(highToLow(v), io.load(i - kSkew)));
    }

    // The last frames pass the second half only; the first half's lanes are put back.
    std::copy(std::begin(s), std::end(s), saved);
    for (unsigned i = frames; i < frames + kSkew; ++i)
    {
        const F4 v = runAll(lowHalves(F4(0.f), ring[i % kSkew]));
        io.store(i - kSkew, post(highToLow(v), io.load(i - kSkew)));
    }
    for (int k = 0; k < M; ++k)
        s[k] = BiquadLanes::merge(saved[k], s[k]);

    for (int k = 0; k < M; ++k)
        s[k].scatterMixed(where[k]);
}

// N sections in series per channel.
template <int N, int L, typename Post>
void processCascadeLanes(BiquadSection* const (&first)[L], const LaneIO<L>& io, unsigned frames, Post post)
{
    if constexpr (L <= 2 && N >= 2)
    {
        if (frames >= 64)
            return processCascadeSplit<N, L>(first, io, frames, post);
    }
    runSections<0, N, L>(first, io, frames, post);
}

// Calls fn(std::integral_constant<int, L>{}, firstChannel) for groups of up to four channels.
template <typename Fn>
void forLaneGroups(unsigned channels, Fn&& fn)
{
    unsigned c = 0;
    for (; c + 4 <= channels; c += 4)
        fn(std::integral_constant<int, 4>{}, c);
    switch (channels - c)
    {
    case 1: fn(std::integral_constant<int, 1>{}, c); break;
    case 2: fn(std::integral_constant<int, 2>{}, c); break;
    case 3: fn(std::integral_constant<int, 3>{}, c); break;
    default: break;
    }
}
