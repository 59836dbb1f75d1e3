#include "widgets/Freq_Plot.h"

#include "engine/filters/FilterDesign.h"

#include <algorithm>
#include <cmath>

Freq_Plot::Freq_Plot()
{
    buildGrid();
    for (auto& r : m_cachedA)
        r.fill(-1.0);
    m_inSum.fill(true);
    const juce::Colour cycle[] = {juce::Colour(0xFFD3D3D3), juce::Colour(0xFF808080), juce::Colour(0xFF555555)};
    for (int k = 0; k < kMaxCurves; ++k)
        m_colours[static_cast<std::size_t>(k)] = cycle[k % 3];
    m_opacities.fill(0.5f);
}

void Freq_Plot::buildGrid()
{
    const double lo = std::log10(m_lowest);
    const double step = (std::log10(m_highest) - lo) / (m_pointCount - 1);
    for (int j = 0; j < m_pointCount; ++j)
        m_frequencies[static_cast<std::size_t>(j)] = std::pow(10.0, lo + j * step);
}

void Freq_Plot::visibilityChanged()
{
    if (isVisible())
        repaint();
}

void Freq_Plot::setCurveCount(int count, bool drawSum, bool fillToBottom)
{
    m_curveCount = std::min(count, kMaxCurves);
    m_drawSum = drawSum;
    for (int k = 0; k < m_curveCount; ++k)
        m_fillToBottom[static_cast<std::size_t>(k)] = fillToBottom;
    m_xScale = getWidth() / (std::log10(m_highest) - std::log10(m_lowest));
    for (int j = 0; j < m_pointCount; ++j)
        m_logFrequencies[static_cast<std::size_t>(j)] = std::log10(m_frequencies[static_cast<std::size_t>(j)]);
}

void Freq_Plot::setDbRange(double range)
{
    if (range == 0.0)
        return;
    m_dbRange = range;
    m_yScale = getHeight() * 0.5 / range;
}

void Freq_Plot::setDbOffset(double offset)
{
    m_dbOffset = offset;
}

void Freq_Plot::setCurveColour(juce::Colour colour, int curve)
{
    m_colours[static_cast<std::size_t>(curve)] = colour;
}

void Freq_Plot::setCurveOpacity(float opacity)
{
    m_opacities.fill(opacity);
}

void Freq_Plot::setSampleRate(double sampleRate)
{
    if (!(sampleRate > 0.0) || sampleRate == m_sampleRate)
        return;
    m_sampleRate = sampleRate;
    m_samplePeriod = 1.0 / sampleRate;
    resetCurves();
}

void Freq_Plot::setFrequencyRange(double lowest, double highest)
{
    if (!(lowest > 0.0) || !(highest > lowest))
        return;
    m_lowest = lowest;
    m_highest = highest;
    buildGrid();
    resetCurves();
}

void Freq_Plot::setCurveInSum(int curve, bool included)
{
    m_inSum[static_cast<std::size_t>(curve)] = included;
}

void Freq_Plot::setSumStyle(juce::Colour colour, float opacity, float thickness)
{
    m_sumColour = colour;
    m_sumOpacity = opacity;
    m_sumThickness = thickness;
    repaint();
}

void Freq_Plot::resetCurves()
{
    for (auto& r : m_cachedA)
        r.fill(-1.0);
    m_changed.fill(false);
}

Freq_Plot::Record Freq_Plot::toRecord(const BiquadCoefs& c)
{
    return {c.b0, c.b1, c.b2, c.a0, c.a1, c.a2};
}

bool Freq_Plot::matches(const Record& cached, const Record& next)
{
    for (std::size_t i = 0; i < cached.size(); ++i)
        if (std::fabs(cached[i] - next[i]) > kCoefTolerance)
            return false;
    return true;
}

void Freq_Plot::evaluate(const BiquadCoefs& c, Curve& out) const
{
    for (int j = 0; j < m_pointCount; ++j)
        out[static_cast<std::size_t>(j)] = filters::MagnitudeDb(c, m_frequencies[static_cast<std::size_t>(j)], m_sampleRate);
}

void Freq_Plot::setCurveBiquad(const BiquadCoefs& coefs, int curve)
{
    const auto k = static_cast<std::size_t>(curve);
    const Record next = toRecord(coefs);
    if (matches(m_cachedA[k], next))
        return;
    m_cachedA[k] = next;
    m_changed[k] = true;
    evaluate(coefs, m_curveDb[k]);
    ++m_evaluations;
    updateCurve(curve);
}

void Freq_Plot::setCurveBiquadPair(const BiquadCoefs& first, const BiquadCoefs& second, int curve)
{
    const auto k = static_cast<std::size_t>(curve);
    const Record nextA = toRecord(first);
    const Record nextB = toRecord(second);
    if (matches(m_cachedA[k], nextA) && matches(m_cachedB[k], nextB))
        return;
    m_cachedA[k] = nextA;
    m_cachedB[k] = nextB;
    m_changed[k] = true;
    evaluate(first, m_curveDb[k]);
    evaluate(second, m_secondDb);
    for (int j = 0; j < m_pointCount; ++j)
        m_curveDb[k][static_cast<std::size_t>(j)] += m_secondDb[static_cast<std::size_t>(j)];
    ++m_evaluations;
    updateCurve(curve);
}

void Freq_Plot::updateCurve(int curve)
{
    auto& pixels = m_curvePixels[static_cast<std::size_t>(curve)];
    const auto& db = m_curveDb[static_cast<std::size_t>(curve)];
    for (int j = 0; j < m_pointCount; ++j)
        pixels[static_cast<std::size_t>(j)] = db[static_cast<std::size_t>(j)] * m_yScale;
    if (m_drawSum)
    {
        for (int j = 0; j < m_pointCount; ++j)
            m_sumPixels[static_cast<std::size_t>(j)] = m_inSum[0] ? m_curvePixels[0][static_cast<std::size_t>(j)] : 0.0;
        for (int k = 1; k < m_curveCount; ++k)
            if (m_inSum[static_cast<std::size_t>(k)])
                for (int j = 0; j < m_pointCount; ++j)
                    m_sumPixels[static_cast<std::size_t>(j)] += m_curvePixels[static_cast<std::size_t>(k)][static_cast<std::size_t>(j)];
    }
    repaint();
}

double Freq_Plot::getCurveDb(int curve, int point) const
{
    return m_curveDb[static_cast<std::size_t>(curve)][static_cast<std::size_t>(point)];
}

double Freq_Plot::getCurvePixels(int curve, int point) const
{
    return m_curvePixels[static_cast<std::size_t>(curve)][static_cast<std::size_t>(point)];
}

double Freq_Plot::getSumDb(int point) const
{
    double sum = 0.0;
    for (int k = 0; k < m_curveCount; ++k)
        if (m_inSum[static_cast<std::size_t>(k)])
            sum += getCurveDb(k, point);
    return sum;
}

float Freq_Plot::getBaseline() const
{
    return static_cast<float>(getHeight() * 0.5 - m_yScale * m_dbOffset);
}

float Freq_Plot::getFrequencyX(double frequency) const
{
    // The axis origin is taken in single precision.
    const float logLowest = static_cast<float>(std::log10(m_lowest));
    return static_cast<float>((std::log10(frequency) - logLowest) * m_xScale);
}

float Freq_Plot::getPointX(int point) const
{
    const float logLowest = static_cast<float>(std::log10(m_lowest));
    return static_cast<float>((m_logFrequencies[static_cast<std::size_t>(point)] - logLowest) * m_xScale);
}

void Freq_Plot::paint(juce::Graphics& g)
{
    const float w = static_cast<float>(getWidth());
    const float h = static_cast<float>(getHeight());
    const float baseline = getBaseline();

    for (int k = 0; k < m_curveCount; ++k)
    {
        const auto ku = static_cast<std::size_t>(k);
        if (m_opacities[ku] <= 0.f)
            continue;
        const float y0 = m_fillToBottom[ku] ? h : baseline;
        juce::Path area;
        area.startNewSubPath(0.f, y0);
        for (int j = 0; j < m_pointCount; ++j)
            area.lineTo(getPointX(j), baseline - static_cast<float>(m_curvePixels[ku][static_cast<std::size_t>(j)]));
        area.lineTo(w, y0);
        area.closeSubPath();
        g.setColour(m_colours[ku].withMultipliedAlpha(m_opacities[ku]));
        g.fillPath(area);
    }

    if (m_drawSum)
    {
        // One stroke through every point, so that joints are not drawn twice at half opacity.
        juce::Path outline;
        outline.startNewSubPath(getPointX(0), baseline - static_cast<float>(m_sumPixels[0]));
        for (int j = 1; j < m_pointCount; ++j)
            outline.lineTo(getPointX(j), baseline - static_cast<float>(m_sumPixels[static_cast<std::size_t>(j)]));
        g.setColour(m_sumColour.withMultipliedAlpha(m_sumOpacity));
        g.strokePath(outline, juce::PathStrokeType(m_sumThickness, juce::PathStrokeType::curved));
    }
    g.setOpacity(1.0f);
}
