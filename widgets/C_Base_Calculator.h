// Base of the editor's response calculators: the sample rate the sections are designed for.
#pragma once

#include <cstdint>

class C_Base_Calculator
{
public:
    C_Base_Calculator() = default;
    virtual ~C_Base_Calculator() = default;

    // Stores a positive sample rate and its reciprocal; 0 or less changes nothing.
    virtual void SetSampleRate(std::int32_t sampleRate)
    {
        if (sampleRate <= 0)
            return;
        m_sampleRate = sampleRate;
        m_reciprocal = 1.0 / static_cast<double>(sampleRate);
    }

    std::int32_t sampleRate() const { return m_sampleRate; }
    double samplePeriod() const { return m_reciprocal; }

protected:
    std::int32_t m_sampleRate = 44100;
    double m_reciprocal = 1.0 / 44100.0;
};
