// Moving channels in and out of lanes: samples of up to four channels per frame, and
// per-channel stage state gathered into lanes for a block and scattered back after it.
#pragma once

#include "engine/BiquadSection.h"
#include "engine/simd/F4.h"

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

    F4 tick(F4 x) { return directFormIStep(*this, x); }
};

// The N sections of a cascade, in series, sample by sample so the sections' recursions
// overlap; `post(y)` forms each output from the cascade's output.
template <int N, int L, typename Post>
void runSections(BiquadSection* const (&first)[L], const LaneIO<L>& io, unsigned frames, Post post)
{
    BiquadLanes s[N];
    BiquadSection* sections[N][L];
    for (int k = 0; k < N; ++k)
    {
        for (int l = 0; l < L; ++l)
            sections[k][l] = first[l] + k;
        s[k].gather(sections[k]);
    }
    for (unsigned i = 0; i < frames; ++i)
    {
        const F4 x = io.load(i);
        F4 v = x;
        for (int k = 0; k < N; ++k)
            v = s[k].tick(v);
        io.store(i, post(v));
    }
    for (int k = 0; k < N; ++k)
        s[k].scatter(sections[k]);
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
