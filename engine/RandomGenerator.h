// Linear congruential noise source: values in [-0.5, 0.5).
#pragma once

#include <cstdint>

class RandomGenerator
{
public:
    static constexpr std::uint32_t kInitialState = 784329u;

    float next()
    {
        m_state = step(m_state);
        return toSample(m_state);
    }

    // The same sequence as calling next() count times, drawn as four interleaved streams
    // (each four steps apart) so that the multiplications do not wait on each other.
    void fill(float* out, unsigned count)
    {
        unsigned i = 0;
        if (count >= 8)
        {
            std::uint32_t s[4];
            for (int k = 0; k < 4; ++k)
                s[k] = step(k == 0 ? m_state : s[k - 1]);
            for (; i + 4 <= count; i += 4)
            {
                for (int k = 0; k < 4; ++k)
                {
                    out[i + k] = toSample(s[k]);
                    m_state = s[k];
                    s[k] = s[k] * kMultiplier4 + kIncrement4;
                }
            }
        }
        for (; i < count; ++i)
            out[i] = next();
    }

    std::uint32_t state() const { return m_state; }

private:
    static constexpr std::uint32_t kMultiplier = 214013u;
    static constexpr std::uint32_t kIncrement = 2531011u;
    // Four steps at once: s4 = a^4 s + c (a^3 + a^2 + a + 1), modulo 2^32.
    static constexpr std::uint32_t kMultiplier4 = kMultiplier * kMultiplier * kMultiplier * kMultiplier;
    static constexpr std::uint32_t kIncrement4 =
        kIncrement * (kMultiplier * kMultiplier * kMultiplier + kMultiplier * kMultiplier + kMultiplier + 1u);

    static std::uint32_t step(std::uint32_t s) { return s * kMultiplier + kIncrement; }
    static float toSample(std::uint32_t s) { return static_cast<float>(static_cast<std::int32_t>(s)) * 2.3283064e-10f; }

    std::uint32_t m_state = kInitialState;
};
