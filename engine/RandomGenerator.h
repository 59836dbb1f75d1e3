// Linear congruential noise source: values in [-0.5, 0.5).
#pragma once

#include <cstdint>

class RandomGenerator
{
public:
    static constexpr std::uint32_t kInitialState = 784329u;

    float next()
    {
        m_state = m_state * 214013u + 2531011u;
        return static_cast<float>(static_cast<std::int32_t>(m_state)) * 2.3283064e-10f;
    }

    void fill(float* out, unsigned count)
    {
        for (unsigned i = 0; i < count; ++i)
            out[i] = next();
    }

    std::uint32_t state() const { return m_state; }

private:
    std::uint32_t m_state = kInitialState;
};
