// Cost of one poll's chart work (one AddValue per curve, then DrawGridCurve) on a
// full, scrolling chart, beside Qt Charts doing the same work: one QLineSeries per
// curve holding as many points as the surface has pixel columns, a value axis and
// a time axis that scrolls with the samples, rendered into an image of the same
// size. At the main window's size and at full HD, with 3 and 10 curves.
//
//   bench_curvegraph                       the table, ours beside Qt Charts
//   bench_curvegraph --polls N W H C [qt]  exactly N polls on a full chart of a W x H control
//                                          with C curves, no timing (for callgrind)
//
// Prints figures only; run it on the machine the figures are wanted for.
#include "chart/curvegraph.h"

#include <QApplication>
#include <QChart>
#include <QChartView>
#include <QDateTime>
#include <QDateTimeAxis>
#include <QImage>
#include <QLineSeries>
#include <QPainter>
#include <QValueAxis>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <memory>
#include <vector>

namespace {

constexpr float kMin = -50.0f;
constexpr float kMax = 100.0f;
constexpr int kHorizontalSplits = 9;
constexpr int kVerticalSplits = 15;

// A value that moves like a drive's live value: a slow swing and a little ripple.
float Value(long i, int curve)
{
    return static_cast<float>(25.0 + 55.0 * std::sin(i * 0.02 + curve) + 4.0 * std::sin(i * 0.9 + 2 * curve));
}

// One poll's chart work, done by our chart or by Qt Charts.
class Poller {
public:
    virtual ~Poller() = default;
    virtual void Poll(long i) = 0;
    // The samples 0 .. count - 1 taken in without drawing: a full chart to start from.
    virtual void Fill(long count) = 0;
};

class OurChart : public Poller {
public:
    OurChart(int width, int height, short curves)
        : m_curves(curves)
    {
        m_chart.resize(width, height);  // the control; its surface is 52 twips smaller
        m_chart.show();
        m_chart.setCurveCount(curves);
        m_chart.setMaxVertical(kMax);
        m_chart.setMinVertical(kMin);
        m_chart.setHorizontalSplits(kHorizontalSplits);
        m_chart.setVerticalSplits(kVerticalSplits);
        for (short k = 1; k <= curves; ++k)
            m_chart.setCurveLineColor(k, 0x00FF00 ^ (k * 0x1F3D5B));
    }
    void Poll(long i) override
    {
        for (short k = 1; k <= m_curves; ++k)
            m_chart.AddValue(Value(i, k), k);
        m_chart.DrawGridCurve();
    }
    void Fill(long count) override
    {
        for (long i = 0; i < count; ++i)
            for (short k = 1; k <= m_curves; ++k)
                m_chart.AddValue(Value(i, k), k);
    }
    QSize Surface() const { return {m_chart.PointCount(), m_chart.PlotHeight()}; }

private:
    CurveGraph m_chart;
    short m_curves;
};

// Qt Charts used as its documentation suggests for a scrolling plot, without
// animations: the points of each series replaced in one call per sample (one
// geometry update instead of two for append and remove), the time axis moved on.
class QtChart : public Poller {
public:
    QtChart(QSize size, int curves)
        : m_image(size, QImage::Format_RGB32)
        , m_points(static_cast<std::size_t>(curves))
        , m_start(QDateTime::currentDateTime())
    {
        m_chart = new QChart;
        m_chart->legend()->hide();
        m_chart->setAnimationOptions(QChart::NoAnimation);
        m_chart->setBackgroundBrush(Qt::black);
        m_time = new QDateTimeAxis;
        m_time->setFormat(QStringLiteral("hh:mm:ss"));
        m_time->setTickCount(kHorizontalSplits + 1);
        m_value = new QValueAxis;
        m_value->setRange(kMin, kMax);
        m_value->setTickCount(kVerticalSplits + 1);
        m_value->setLabelFormat(QStringLiteral("%.1f"));
        m_chart->addAxis(m_time, Qt::AlignBottom);
        m_chart->addAxis(m_value, Qt::AlignLeft);
        for (int k = 0; k < curves; ++k) {
            auto* series = new QLineSeries;
            m_chart->addSeries(series);
            series->attachAxis(m_time);
            series->attachAxis(m_value);
            m_series.push_back(series);
        }
        m_view.setChart(m_chart);
        m_view.resize(size);
        m_view.setFrameStyle(0);
        m_view.setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        m_view.setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        m_view.show();
        m_columns = size.width();
    }
    void Poll(long i) override
    {
        const qint64 t = Take(i);
        for (std::size_t k = 0; k < m_series.size(); ++k)
            m_series[k]->replace(m_points[k]);
        m_time->setRange(QDateTime::fromMSecsSinceEpoch(t - qint64(m_columns - 1) * 500),
                         QDateTime::fromMSecsSinceEpoch(t));
        QCoreApplication::sendPostedEvents();  // the chart's layout requests
        QPainter painter(&m_image);
        m_view.render(&painter, QRectF(), m_view.viewport()->rect());
    }

    void Fill(long count) override
    {
        for (long i = 0; i < count; ++i)
            Take(i);
    }

private:
    // Sample i into the scrolling window of points; its time.
    qint64 Take(long i)
    {
        const qint64 t = m_start.toMSecsSinceEpoch() + i * 500;  // a poll every 500 ms
        for (std::size_t k = 0; k < m_points.size(); ++k) {
            QList<QPointF>& p = m_points[k];
            if (p.size() >= m_columns)
                p.removeFirst();
            p.append(QPointF(static_cast<double>(t), Value(i, static_cast<int>(k) + 1)));
        }
        return t;
    }

    QChartView m_view;
    QChart* m_chart = nullptr;
    QDateTimeAxis* m_time = nullptr;
    QValueAxis* m_value = nullptr;
    std::vector<QLineSeries*> m_series;
    QImage m_image;
    std::vector<QList<QPointF>> m_points;
    QDateTime m_start;
    int m_columns = 0;
};

// CPU time of this thread in nanoseconds: other work on the machine does not count.
qint64 ThreadNanoseconds()
{
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return qint64(t.tv_sec) * 1'000'000'000 + t.tv_nsec;
}

// Polls of a run that takes about 100 ms.
long PollsPerRun(Poller& poller, long& clock)
{
    long calls = 1;
    for (;;) {
        const qint64 start = ThreadNanoseconds();
        for (long i = 0; i < calls; ++i)
            poller.Poll(clock++);
        const qint64 ns = ThreadNanoseconds() - start;
        if (ns > 100'000'000)
            return calls;
        calls *= ns < 10'000'000 ? 8 : 2;
    }
}

// CPU microseconds per poll in one run.
double RunMicroseconds(Poller& poller, long calls, long& clock)
{
    const qint64 start = ThreadNanoseconds();
    for (long i = 0; i < calls; ++i)
        poller.Poll(clock++);
    return static_cast<double>(ThreadNanoseconds() - start) / static_cast<double>(calls) / 1000.0;
}

void Compare(int width, int height, short curves)
{
    OurChart ours(width, height, curves);
    const QSize surface = ours.Surface();
    QtChart theirs(surface, curves);
    long ourClock = surface.width() + 50;  // full charts: every column drawn
    long theirClock = ourClock;
    ours.Fill(ourClock);
    theirs.Fill(theirClock);
    const long ourCalls = PollsPerRun(ours, ourClock);
    const long theirCalls = PollsPerRun(theirs, theirClock);
    // Runs taken in turns, so that both see the same machine; the least disturbed counts.
    double our = 1e300;
    double their = 1e300;
    for (int r = 0; r < 7; ++r) {
        our = std::min(our, RunMicroseconds(ours, ourCalls, ourClock));
        their = std::min(their, RunMicroseconds(theirs, theirCalls, theirClock));
    }
    std::printf("%5d x %-5d %3d curves | ours %9.1f us | Qt Charts %9.1f us | Qt Charts / ours %6.1f\n",
                surface.width(), surface.height(), curves, our, their, their / our);
    std::fflush(stdout);
}

} // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    if (argc >= 6 && QByteArray(argv[1]) == "--polls") {
        const long polls = std::atol(argv[2]);
        const int width = std::atoi(argv[3]);
        const int height = std::atoi(argv[4]);
        const auto curves = static_cast<short>(std::clamp(std::atoi(argv[5]), 1, 10));
        OurChart ours(width, height, curves);
        std::unique_ptr<Poller> poller;
        if (argc >= 7 && QByteArray(argv[6]) == "qt")
            poller = std::make_unique<QtChart>(ours.Surface(), curves);
        Poller& p = poller ? *poller : static_cast<Poller&>(ours);
        const long full = ours.Surface().width() + 50;
        p.Fill(full);
        for (long i = full; i < full + polls; ++i)
            p.Poll(i);
        return 0;
    }
    std::printf("One poll's chart work (AddValue per curve + DrawGridCurve) on a full, scrolling chart,\n"
                "beside Qt Charts (QLineSeries per curve, value and time axis, rendered to an image).\n"
                "Surface pixels; CPU time of the thread, the least of seven runs of about 100 ms each,\n"
                "ours and Qt Charts in turns.\n");
    Compare(481, 169, 3);  // the main window's chart: 7215 x 2535 twips
    Compare(481, 169, 10);
    Compare(1923, 1083, 3);
    Compare(1923, 1083, 10);
    return 0;
}
