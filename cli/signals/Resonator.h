// A two-pole resonator at a centre frequency and bandwidth: the formants of the synthetic
// voices (the demo's and the reference speech-like signal).
#pragma once

#include <cmath>

class Resonator
{
public:
    void tune(double sampleRate, double frequency, double bandwidth)
    {
        constexpr double kPi = 3.14159265358979323846;
        const double r = std::exp(-kPi * bandwidth / sampleRate);
        m_a1 = -2.0 * r * std::cos(2.0 * kPi * frequency / sampleRate);
        m_a2 = r * r;
        m_b0 = 1.0 - r;
    }
    double tick(double x)
    {
        const double y = m_b0 * x - m_a1 * m_y1 - m_a2 * m_y2;
        m_y2 = m_y1;
        m_y1 = y;
        return y;
    }

private:
    double m_b0 = 0, m_a1 = 0, m_a2 = 0, m_y1 = 0, m_y2 = 0;
};
