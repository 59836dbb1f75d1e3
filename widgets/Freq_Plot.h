// Up to twelve magnitude-response curves over a logarithmic frequency axis, each a
// translucent filled area, with an optional outline of their sum. A curve is one section
// or two in cascade; its response is evaluated on a fixed grid only when its coefficients
// change, and painting only places the cached pixel heights. Draws no grid or background.
#pragma once

#include "engine/filters/BiquadCoefs.h"

#include <juce_gui_basics/juce_gui_basics.h>

#include <array>

class Freq_Plot : public juce::Component
{
public:
    static constexpr int kMaxCurves = 12;
    static constexpr int kPoints = 290;
    // Coefficients closer than this to the cached ones are taken as unchanged.
    static constexpr double kCoefTolerance = 1e-5;

    Freq_Plot();
    ~Freq_Plot() override = default;

    void visibilityChanged() override;
    void paint(juce::Graphics& g) override;
    // Forgets every cached record, so that the next coefficient call recomputes its curve.
    virtual void resetCurves();

    // Set-up, after the plot is sized: the x scale uses the width, the y scale the height.
    void setCurveCount(int count, bool drawSum, bool fillToBottom);
    void setDbRange(double range);
    void setDbOffset(double offset);
    void setCurveColour(juce::Colour colour, int curve);
    void setCurveOpacity(float opacity);

    void setCurveBiquad(const BiquadCoefs& coefs, int curve);
    void setCurveBiquadPair(const BiquadCoefs& first, const BiquadCoefs& second, int curve);

    // Owner's settings beyond the editor's: the evaluation rate (88200 by default), the
    // axis ends (20 Hz to 21 kHz; rebuilds the grid, so call before setCurveCount), which
    // curves the sum adds, and how the sum's outline is drawn (light grey at half opacity,
    // one pixel, by default). Each forgets the cached records where they go stale.
    void setSampleRate(double sampleRate);
    void setFrequencyRange(double lowest, double highest);
    void setCurveInSum(int curve, bool included);
    void setSumStyle(juce::Colour colour, float opacity, float thickness);

    // What the plot holds, for readers of its numbers.
    int getCurveCount() const { return m_curveCount; }
    double getSampleRate() const { return m_sampleRate; }
    double getLowestFrequency() const { return m_lowest; }
    double getHighestFrequency() const { return m_highest; }
    double getFrequency(int point) const { return m_frequencies[static_cast<std::size_t>(point)]; }
    double getCurveDb(int curve, int point) const;
    // Sum of the included curves' responses in dB.
    double getSumDb(int point) const;
    double getCurvePixels(int curve, int point) const;
    double getSumPixels(int point) const { return m_sumPixels[static_cast<std::size_t>(point)]; }
    double getXScale() const { return m_xScale; }
    double getYScale() const { return m_yScale; }
    double getDbRange() const { return m_dbRange; }
    double getDbOffset() const { return m_dbOffset; }
    bool isCurveChanged(int curve) const { return m_changed[static_cast<std::size_t>(curve)]; }
    // Responses evaluated since construction (a pair counts once).
    int getEvaluationCount() const { return m_evaluations; }
    // The 0 dB line's y, and the x of a grid point, in component pixels.
    float getBaseline() const;
    float getPointX(int point) const;
    // x of any frequency on the axis (the one rule the grid's points follow).
    float getFrequencyX(double frequency) const;

private:
    using Record = std::array<double, 6>;
    using Curve = std::array<double, kPoints>;

    static Record toRecord(const BiquadCoefs& c);
    static bool matches(const Record& cached, const Record& next);
    void buildGrid();
    void evaluate(const BiquadCoefs& c, Curve& out) const;
    void updateCurve(int curve);

    double m_lowest = 20.0;
    double m_highest = 21000.0;
    int m_pointCount = kPoints;
    Curve m_frequencies{};
    std::array<Record, kMaxCurves> m_cachedA{};
    std::array<Record, kMaxCurves> m_cachedB{};
    double m_sampleRate = 88200.0;
    double m_samplePeriod = 1.0 / 88200.0;
    Curve m_logFrequencies{};
    std::array<Curve, kMaxCurves> m_curvePixels{};
    bool m_drawSum = true;
    std::array<bool, kMaxCurves> m_inSum{};
    Curve m_sumPixels{};
    std::array<bool, kMaxCurves> m_fillToBottom{};
    double m_xScale = 0.0;
    double m_yScale = 0.0;
    double m_dbRange = 0.0;
    double m_dbOffset = 0.0;
    std::array<Curve, kMaxCurves> m_curveDb{};
    Curve m_secondDb{};
    std::array<bool, kMaxCurves> m_changed{};
    int m_curveCount = 0;
    std::array<juce::Colour, kMaxCurves> m_colours;
    std::array<float, kMaxCurves> m_opacities{};

    juce::Colour m_sumColour{0xFFD3D3D3};
    float m_sumOpacity = 0.5f;
    float m_sumThickness = 1.0f;
    int m_evaluations = 0;
};
