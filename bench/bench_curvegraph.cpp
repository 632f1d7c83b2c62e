// Cost of the chart's per-poll work: AddValue of one sample, and DrawGridCurve on a
// full chart of 3 and 10 curves, at the main window's size and at full HD.
// Prints figures only; run it on the machine the figures are wanted for.
#include "chart/curvegraph.h"

#include <QApplication>
#include <QElapsedTimer>

#include <cmath>
#include <cstdio>

namespace {

// Microseconds per call of work(), over enough calls to take about 300 ms.
template <typename Work>
double MicrosecondsPerCall(Work work)
{
    int calls = 1;
    for (;;) {
        QElapsedTimer t;
        t.start();
        for (int i = 0; i < calls; ++i)
            work(i);
        const qint64 ns = t.nsecsElapsed();
        if (ns > 300'000'000 || calls > (1 << 24))
            return static_cast<double>(ns) / calls / 1000.0;
        calls *= ns < 10'000'000 ? 8 : 2;
    }
}

void Measure(int width, int height, short curves)
{
    CurveGraph chart;
    chart.resize(width + 3, height + 3);  // the surface is 52 twips smaller
    chart.show();
    chart.setCurveCount(curves);
    chart.setMaxVertical(100);
    chart.setMinVertical(-50);
    chart.setVerticalSplits(15);
    const int n = chart.PointCount();
    auto value = [](int i, int k) { return static_cast<float>(25.0 + 60.0 * std::sin(i * 0.05 + k)); };
    for (int i = 0; i < n + 10; ++i)  // a full chart: every column drawn
        for (short k = 1; k <= curves; ++k)
            chart.AddValue(value(i, k), k);

    const double add = MicrosecondsPerCall([&](int i) { chart.AddValue(value(i, 1), 1); });
    const double draw = MicrosecondsPerCall([&](int) { chart.DrawGridCurve(); });
    const double poll = MicrosecondsPerCall([&](int i) {
        for (short k = 1; k <= curves; ++k)
            chart.AddValue(value(i, k), k);
        chart.DrawGridCurve();
    });
    std::printf("%5d x %-5d %2d curves | AddValue %7.2f us | DrawGridCurve %8.1f us | "
                "%2d x AddValue + DrawGridCurve %8.1f us\n",
                chart.PointCount(), chart.PlotHeight(), curves, add, draw, curves, poll);
}

} // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    std::printf("CurveGraph: cost of one poll's chart work (surface pixels, full chart)\n");
    Measure(480, 170, 3);
    Measure(480, 170, 10);
    Measure(1920, 1080, 3);
    Measure(1920, 1080, 10);
    return 0;
}
