// The editor's response plot: the cost of taking a changed pair of sections (290 points
// evaluated twice), of a record that did not change, and of painting the main plot.
#include "engine/filters/FilterDesign.h"
#include "widgets/C_Crumlet_Calculator.h"
#include "widgets/Freq_Plot.h"

#include <benchmark/benchmark.h>

namespace
{
void setUpMainPlot(Freq_Plot& plot)
{
    plot.setSize(210, 89);
    plot.setDbRange(18.0);
    plot.setCurveOpacity(0.6f);
    plot.setCurveCount(3, true, false);
}

void BM_PlotTakesAChangedPair(benchmark::State& state)
{
    Freq_Plot plot;
    setUpMainPlot(plot);
    C_Crumlet_Calculator calc;
    calc.SetSampleRate(88200);
    BiquadCoefs a, b;
    double f = 1000.0;
    for (auto _ : state)
    {
        f = f > 5000.0 ? 1000.0 : f * 1.01;
        calc.CalcLPF(f, 30.0, 1, false, a, b);
        plot.setCurveBiquadPair(a, b, 1);
    }
    benchmark::DoNotOptimize(plot.getSumPixels(100));
}
BENCHMARK(BM_PlotTakesAChangedPair);

void BM_PlotSkipsAnUnchangedRecord(benchmark::State& state)
{
    Freq_Plot plot;
    setUpMainPlot(plot);
    const BiquadCoefs c = filters::Peaking12(88200, 2500.0, 3.0, 6.0);
    plot.setCurveBiquad(c, 2);
    for (auto _ : state)
        plot.setCurveBiquad(c, 2);
    benchmark::DoNotOptimize(plot.getEvaluationCount());
}
BENCHMARK(BM_PlotSkipsAnUnchangedRecord);

void BM_PlotPaintsTheMainPlot(benchmark::State& state)
{
    Freq_Plot plot;
    setUpMainPlot(plot);
    C_Crumlet_Calculator calc;
    calc.SetSampleRate(88200);
    BiquadCoefs a, b, eq;
    calc.CalcHPF(150.0, 20.0, 1, false, a, b);
    plot.setCurveBiquadPair(a, b, 0);
    calc.CalcLPF(6000.0, 20.0, 0, false, a, b);
    plot.setCurveBiquadPair(a, b, 1);
    calc.CalcEQ(2500.0, 30.0, 9.0, 1, false, eq);
    plot.setCurveBiquad(eq, 2);
    juce::Image canvas(juce::Image::ARGB, 210, 89, true);
    for (auto _ : state)
    {
        juce::Graphics g(canvas);
        plot.paint(g);
    }
}
BENCHMARK(BM_PlotPaintsTheMainPlot);
} // namespace

BENCHMARK_MAIN();
