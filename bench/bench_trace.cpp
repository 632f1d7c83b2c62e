// The trace window over a long run: 8 hours at 32 samples a second (921,600
// samples of five values and a status word, a pause of 30 s every two hours)
// in the sample history.
//
//   - the history's memory;
//   - one drawing after a zoom or pan step, over 100 steps that mix spans from
//     the whole run down to 10 s: the plot alone at 1920 x 1080, the whole
//     window at 1920 x 1080 (plot, cursor table, widgets painted), and beside
//     them Qt Charts and (when installed) QCustomPlot drawing the same view
//     from the same data: the same reduction of the history to the least and
//     greatest value of each pixel column (two points a column and curve), 5
//     curves on their own value axes, 13 lanes as steps, a time axis;
//   - appending one sample with the window open and following: the history,
//     the window's live work (a drawing asked for, drawn at the next frame)
//     and the frames drawn meanwhile, on average over a burst, and the cost of
//     the live drawing at 32 samples a second.
//
// Times are CPU time of this thread (other work on the machine does not
// count). Prints figures only; run it on the machine the figures are wanted for.
//
//   bench_trace                the figures
//   bench_trace --pictures DIR also the window and the plot at a few spans as
//                              PNG files in DIR, to look at

#include "app/tracesource.h"
#include "app/tracewindow.h"
#include "chart/traceplot.h"
#include "common/filechooser.h"
#include "common/messageboxes.h"
#include "session/samplehistory.h"

#include <QApplication>
#include <QChart>
#include <QChartView>
#include <QDateTime>
#include <QDateTimeAxis>
#include <QImage>
#include <QLineSeries>
#include <QPainter>
#include <QValueAxis>

#ifdef KV_HAVE_QCUSTOMPLOT
#include <qcustomplot.h>
#endif

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <ctime>
#include <functional>
#include <memory>
#include <random>
#include <vector>

using namespace kv;

namespace {

constexpr int kWidth = 1920;
constexpr int kHeight = 1080;
constexpr qint64 kHours = 8;
constexpr qint64 kRate = 32;
constexpr int kSteps = 100;

// The window's seams: nothing is asked in a benchmark.
class PlainFiles final : public FileChooser {
public:
    QString SaveFileName(const FileRequest&) override { return {}; }
    QString OpenFileName(const FileRequest&) override { return {}; }
};
class PlainBoxes final : public MessageBoxes {
public:
    MsgAnswer Show(const MessageRequest&) override { return MsgAnswer::Ok; }
};

qint64 ThreadNanoseconds()
{
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return qint64(t.tv_sec) * 1'000'000'000 + t.tv_nsec;
}

// Sample i of the run: a drive started and stopped every few minutes, its
// frequency ramping, current and DC voltage following, the analogue inputs
// drifting, now and then an alarm and a one-sample current spike.
LiveSample RunSample(qint64 startMs, qint64 i)
{
    const double t = double(i) / kRate;
    const double cycle = std::fmod(t, 420.0);  // 7 minutes: 5 running, 2 stopped
    const bool running = cycle < 300.0;
    const double frequency = running ? std::min(cycle / 10.0, 1.0) * 50.0 : std::max(0.0, 50.0 - (cycle - 300.0) * 5.0);
    double current = 2.0 + frequency * 0.24 + 0.3 * std::sin(t * 7.1);
    if (i % 100'003 == 0)
        current = 95.0;
    quint16 status = 0x0237;
    if (running)
        status |= 1u << 8;
    if (std::fmod(t, 3600.0) < 20.0)
        status |= 1u << 7;
    std::array<quint16, kRegLiveBlockCount> r{};
    r[0] = quint16(std::lround(frequency * 10));
    r[1] = quint16(std::lround(current * 10));
    r[2] = quint16(std::lround(540 + 8 * std::sin(t * 0.3) - current * 0.5));
    r[3] = quint16(std::lround(500 + 300 * std::sin(t / 900.0)));
    r[4] = quint16(std::lround(400 + 200 * std::cos(t / 1300.0)));
    r[5] = status;
    return SampleFromRegisters(r, startMs + i * 1000 / kRate);
}

// One step of the user: a span chosen anew, the wheel, or a drag.
struct Step {
    int kind = 0;  // 0: a span from 10 s to the whole run, 1: the wheel, 2: a drag
    double a = 0.0;
    double b = 0.0;
};

std::vector<Step> Steps(qint64 runMs)
{
    std::mt19937 random(20);
    std::uniform_real_distribution<double> unit(0.0, 1.0);
    std::vector<Step> steps;
    steps.push_back({0, 0.0, 0.0});  // the whole run first
    for (int i = 1; i < kSteps; ++i) {
        Step s;
        s.kind = i % 3;
        if (s.kind == 0) {
            // Log-uniform from 10 s to the whole run.
            s.a = std::exp(std::log(10'000.0) + unit(random) * (std::log(double(runMs)) - std::log(10'000.0)));
            s.b = unit(random);
        } else if (s.kind == 1) {
            s.a = std::pow(0.8, (unit(random) < 0.5 ? -1 : 1) * (1 + int(unit(random) * 3)));
            s.b = unit(random);
        } else {
            s.a = (unit(random) < 0.5 ? -1 : 1) * (0.1 + 0.4 * unit(random));
        }
        steps.push_back(s);
    }
    return steps;
}

// Applies a step to a view of the run.
void Apply(const Step& s, TraceView& view, qint64 firstMs, qint64 lastMs)
{
    if (s.kind == 0 && s.a == 0.0) {
        view.ShowWhole();
    } else if (s.kind == 0) {
        const double centre = double(firstMs) + s.b * double(lastMs - firstMs);
        view.ShowRange(centre - s.a / 2, centre + s.a / 2);
    } else if (s.kind == 1) {
        view.ZoomTime(s.a, view.FromMs() + s.b * view.SpanMs());
    } else {
        view.Pan(s.a * view.SpanMs());
    }
}

struct Figures {
    double mean = 0.0;
    double worst = 0.0;
};

// The CPU time of each step's drawing.
Figures Run(const std::vector<Step>& steps, const std::function<void(const Step&)>& step)
{
    step(steps[0]);  // laid out, fonts and texts ready
    Figures f;
    for (const Step& s : steps) {
        const qint64 start = ThreadNanoseconds();
        step(s);
        const double ms = double(ThreadNanoseconds() - start) / 1e6;
        f.mean += ms / double(steps.size());
        f.worst = std::max(f.worst, ms);
    }
    return f;
}

void Print(const char* what, const Figures& f)
{
    std::printf("  %-44s mean %7.2f ms   worst %7.2f ms\n", what, f.mean, f.worst);
    std::fflush(stdout);
}

// The reduction both yardsticks draw: two points a column and curve (the
// least and greatest value), two a column and lane (its levels), NaN across a
// gap where the library draws one.
struct Reduced {
    std::vector<QList<QPointF>> curves{5};
    std::vector<QList<QPointF>> lanes{13};
    std::array<double, 5> low{};
    std::array<double, 5> high{};
};

void Reduce(const HistorySource& source, qint64 from, qint64 to, int columns, Reduced& out, bool nanGaps)
{
    std::vector<TraceColumn> cols;
    source.Reduce(from, to, columns, cols);
    for (auto& c : out.curves)
        c.clear();
    for (auto& l : out.lanes)
        l.clear();
    out.low.fill(0.0);
    out.high.fill(1.0);
    bool any = false;
    qint64 stretch = -1;
    const double width = double(to - from) / columns;
    for (int c = 0; c < columns; ++c) {
        const TraceColumn& col = cols[size_t(c)];
        if (col.count == 0)
            continue;
        const double t = double(from) + width * (c + 0.5);
        if (nanGaps && stretch >= 0 && col.firstStretch != stretch) {
            for (auto& s : out.curves)
                s.append(QPointF(t, qQNaN()));
            for (auto& s : out.lanes)
                s.append(QPointF(t, qQNaN()));
        }
        stretch = col.lastStretch;
        for (size_t k = 0; k < 5; ++k) {
            out.curves[k].append(QPointF(t, col.low[k]));
            out.curves[k].append(QPointF(t, col.high[k]));
            out.low[k] = any ? std::min(out.low[k], col.low[k]) : col.low[k];
            out.high[k] = any ? std::max(out.high[k], col.high[k]) : col.high[k];
        }
        any = true;
        for (size_t b = 0; b < 13; ++b) {
            const double base = double(b) * 2.0;
            const bool all = col.all & (1u << b);
            const bool some = col.any & (1u << b);
            out.lanes[b].append(QPointF(t, base + (all ? 1.0 : 0.0)));
            out.lanes[b].append(QPointF(t, base + (some ? 1.0 : 0.0)));
        }
    }
}

const QColor kColours[] = {QColor(0x1F, 0x5F, 0xBF), QColor(0xD0, 0x30, 0x30), QColor(0x2A, 0x8A, 0x2A),
                           QColor(0xE0, 0x80, 0x10), QColor(0x80, 0x50, 0xB0)};

// Qt Charts: a line series a curve on its own value axis, the lanes on one
// more, a time axis, rendered into a picture.
class QtChartsTrace {
public:
    explicit QtChartsTrace(int columns)
        : m_columns(columns)
        , m_image(kWidth, kHeight, QImage::Format_RGB32)
    {
        m_chart = new QChart;
        m_chart->legend()->hide();
        m_chart->setAnimationOptions(QChart::NoAnimation);
        m_time = new QDateTimeAxis;
        m_time->setFormat(QStringLiteral("hh:mm:ss"));
        m_time->setTickCount(12);
        m_chart->addAxis(m_time, Qt::AlignBottom);
        for (int k = 0; k < 5; ++k) {
            auto* axis = new QValueAxis;
            axis->setLinePenColor(kColours[k]);
            m_chart->addAxis(axis, Qt::AlignLeft);
            auto* series = new QLineSeries;
            series->setColor(kColours[k]);
            m_chart->addSeries(series);
            series->attachAxis(m_time);
            series->attachAxis(axis);
            m_axes.push_back(axis);
            m_series.push_back(series);
        }
        auto* laneAxis = new QValueAxis;
        laneAxis->setRange(-1.0, 27.0);
        laneAxis->setVisible(false);
        m_chart->addAxis(laneAxis, Qt::AlignRight);
        for (int b = 0; b < 13; ++b) {
            auto* series = new QLineSeries;
            m_chart->addSeries(series);
            series->attachAxis(m_time);
            series->attachAxis(laneAxis);
            m_lanes.push_back(series);
        }
        m_view.setChart(m_chart);
        m_view.resize(kWidth, kHeight);
        m_view.setFrameStyle(0);
        m_view.setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        m_view.setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        m_view.show();
    }

    void Draw(const HistorySource& source, const TraceView& view)
    {
        const qint64 from = std::llround(view.FromMs());
        const qint64 to = std::llround(view.ToMs());
        Reduce(source, from, to, m_columns, m_reduced, false);
        for (size_t k = 0; k < 5; ++k) {
            m_series[k]->replace(m_reduced.curves[k]);
            m_axes[k]->setRange(m_reduced.low[k], m_reduced.high[k]);
        }
        for (size_t b = 0; b < 13; ++b)
            m_lanes[b]->replace(m_reduced.lanes[b]);
        m_time->setRange(QDateTime::fromMSecsSinceEpoch(from), QDateTime::fromMSecsSinceEpoch(to));
        QCoreApplication::sendPostedEvents();  // the chart's layout requests
        QPainter painter(&m_image);
        m_view.render(&painter, QRectF(), m_view.viewport()->rect());
    }

private:
    int m_columns;
    QImage m_image;
    QChartView m_view;
    QChart* m_chart = nullptr;
    QDateTimeAxis* m_time = nullptr;
    std::vector<QValueAxis*> m_axes;
    std::vector<QLineSeries*> m_series;
    std::vector<QLineSeries*> m_lanes;
    Reduced m_reduced;
};

#ifdef KV_HAVE_QCUSTOMPLOT
// QCustomPlot: a graph a curve on its own left axis, the lanes as step graphs
// in an axis rectangle below, a date-time ticker, the plot's replot and its
// picture painted into an image.
class QCustomPlotTrace {
public:
    explicit QCustomPlotTrace(int columns)
        : m_columns(columns)
        , m_image(kWidth, kHeight, QImage::Format_RGB32)
    {
        m_plot.resize(kWidth, kHeight);
        m_plot.setNotAntialiasedElements(QCP::aeAll);
        auto ticker = QSharedPointer<QCPAxisTickerDateTime>::create();
        ticker->setDateTimeFormat(QStringLiteral("hh:mm:ss"));
        QCPAxisRect* top = m_plot.axisRect();
        top->axis(QCPAxis::atBottom)->setTicker(ticker);
        for (int k = 0; k < 5; ++k) {
            QCPAxis* axis = k == 0 ? top->axis(QCPAxis::atLeft) : top->addAxis(QCPAxis::atLeft);
            axis->setBasePen(QPen(kColours[k]));
            QCPGraph* g = m_plot.addGraph(top->axis(QCPAxis::atBottom), axis);
            g->setPen(QPen(kColours[k]));
            m_axes.push_back(axis);
            m_graphs.push_back(g);
        }
        auto* lanes = new QCPAxisRect(&m_plot);
        m_plot.plotLayout()->addElement(1, 0, lanes);
        m_plot.plotLayout()->setRowStretchFactor(1, 0.6);
        lanes->axis(QCPAxis::atBottom)->setTicker(ticker);
        lanes->axis(QCPAxis::atLeft)->setRange(-1.0, 27.0);
        for (int b = 0; b < 13; ++b) {
            QCPGraph* g = m_plot.addGraph(lanes->axis(QCPAxis::atBottom), lanes->axis(QCPAxis::atLeft));
            g->setLineStyle(QCPGraph::lsStepLeft);
            m_lanes.push_back(g);
        }
        m_laneTime = lanes->axis(QCPAxis::atBottom);
        m_time = top->axis(QCPAxis::atBottom);
    }

    void Draw(const HistorySource& source, const TraceView& view)
    {
        const qint64 from = std::llround(view.FromMs());
        const qint64 to = std::llround(view.ToMs());
        Reduce(source, from, to, m_columns, m_reduced, true);
        auto set = [](QCPGraph* g, const QList<QPointF>& points) {
            QVector<double> keys(points.size());
            QVector<double> values(points.size());
            for (qsizetype i = 0; i < points.size(); ++i) {
                keys[i] = points[i].x() / 1000.0;
                values[i] = points[i].y();
            }
            g->setData(keys, values, true);
        };
        for (size_t k = 0; k < 5; ++k) {
            set(m_graphs[k], m_reduced.curves[k]);
            m_axes[k]->setRange(m_reduced.low[k], m_reduced.high[k]);
        }
        for (size_t b = 0; b < 13; ++b)
            set(m_lanes[b], m_reduced.lanes[b]);
        m_time->setRange(from / 1000.0, to / 1000.0);
        m_laneTime->setRange(from / 1000.0, to / 1000.0);
        m_plot.replot(QCustomPlot::rpImmediateRefresh);
        QPainter painter(&m_image);
        m_plot.render(&painter);
    }

private:
    int m_columns;
    QImage m_image;
    QCustomPlot m_plot;
    std::vector<QCPAxis*> m_axes;
    std::vector<QCPGraph*> m_graphs;
    std::vector<QCPGraph*> m_lanes;
    QCPAxis* m_time = nullptr;
    QCPAxis* m_laneTime = nullptr;
    Reduced m_reduced;
};
#endif

} // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    const qint64 startMs = QDateTime(QDate(2026, 11, 30), QTime(8, 0)).toMSecsSinceEpoch();
    const qint64 samples = kHours * 3600 * kRate;

    // The run into the history.
    SampleHistory history;
    const qint64 appendStart = ThreadNanoseconds();
    for (qint64 i = 0; i < samples; ++i) {
        if (i > 0 && i % (2 * 3600 * kRate) == 0)
            history.Break();  // a pause of 30 s every two hours
        history.Append(RunSample(startMs + (i / (2 * 3600 * kRate)) * 30'000, i));
    }
    const double appendUs = double(ThreadNanoseconds() - appendStart) / 1e3 / double(samples);
    QCoreApplication::processEvents();
    std::printf("The trace over %lld h at %lld samples a second: %lld samples, 5 curves, 13 bit lanes.\n"
                "CPU time of this thread.\n\n",
                kHours, kRate, samples);
    std::printf("History: %.1f MB in memory (%.1f bytes a sample); appending alone %.3f us a sample\n\n",
                double(history.MemoryBytes()) / (1024.0 * 1024.0), double(history.MemoryBytes()) / double(samples),
                appendUs);

    const HistorySource source(history);
    const std::vector<Step> steps = Steps(history.LastMs() - history.FirstMs());
    if (argc >= 3 && QByteArray(argv[1]) == "--pictures") {
        const QString dir = QString::fromLocal8Bit(argv[2]);
        PlainFiles files;
        PlainBoxes boxes;
        TraceWindow window(history, boxes, files);
        window.resize(kWidth, kHeight);
        window.show();
        QCoreApplication::processEvents();
        const qint64 spike = history.At(3 * 100'003).timeMs;  // a sample of 95 A
        window.Plot->ClickAt(spike - 4000);
        window.Plot->ClickAt(spike + 3000);
        const std::pair<const char*, qint64> spans[] = {{"whole", 0}, {"1h", 3'600'000}, {"10min", 600'000}, {"10s", 10'000}};
        for (const auto& [name, span] : spans) {
            if (span == 0)
                window.Whole_Click();
            else
                window.View().ShowRange(double(spike - span / 2), double(spike + span / 2));
            window.Refresh();
            window.grab().save(dir + QStringLiteral("/trace-window-%1.png").arg(QLatin1String(name)));
        }
        // A capture around a spike, as the trigger would hand it over.
        TraceCapture capture;
        capture.id = 1;
        capture.triggerMs = history.At(history.FirstAtOrAfter(spike)).timeMs;
        capture.fromMs = capture.triggerMs - 5000;
        capture.toMs = capture.triggerMs + 2000;
        capture.cause = QStringLiteral("电流 > 50 A");
        auto samples = std::make_shared<SampleHistory>();
        for (qint64 i = history.FirstAtOrAfter(capture.fromMs); i < history.FirstAtOrAfter(capture.toMs + 1); ++i)
            samples->Append(history.At(i).Sample());
        capture.samples = samples;
        capture.faultRecordError = QStringLiteral("无应答");
        RenderCapture(capture, QSize(1280, 720)).save(dir + QStringLiteral("/trace-capture.png"));
        window.AddCapture(capture);
        window.ShowCapture(0);
        window.Refresh();
        window.grab().save(dir + QStringLiteral("/trace-window-capture.png"));
        return 0;
    }
    std::printf("One drawing after a zoom or pan step, %d steps from the whole run down to 10 s, %d x %d:\n", kSteps,
                kWidth, kHeight);

    // Ours: the plot alone, then the whole window.
    TracePlot plot;
    plot.resize(kWidth, kHeight);
    plot.SetSource(&source);
    QImage shown(kWidth, kHeight, QImage::Format_RGB32);
    const Figures ours = Run(steps, [&](const Step& s) {
        Apply(s, plot.View(), history.FirstMs(), history.LastMs());
        plot.DrawNow();
        QPainter painter(&shown);
        plot.render(&painter);
    });
    const int columns = plot.Renderer().Layout().plot.width();
    Print("ours: the plot (TracePlot)", ours);

    {
        PlainFiles files;
        PlainBoxes boxes;
        TraceWindow window(history, boxes, files);
        window.resize(kWidth, kHeight);
        window.show();
        QCoreApplication::processEvents();
        window.Plot->ClickAt(history.FirstMs() + 3'600'000);
        window.Plot->ClickAt(history.FirstMs() + 5'400'000);
        QImage whole(kWidth, kHeight, QImage::Format_RGB32);
        const Figures w = Run(steps, [&](const Step& s) {
            Apply(s, window.View(), history.FirstMs(), history.LastMs());
            window.Refresh();
            QPainter painter(&whole);
            window.render(&painter);
        });
        Print("ours: the window (plot, cursor table, widgets)", w);
    }

    {
        QtChartsTrace charts(columns);
        TraceView view;
        view.Track(source);
        const Figures f = Run(steps, [&](const Step& s) {
            Apply(s, view, history.FirstMs(), history.LastMs());
            view.Track(source);
            charts.Draw(source, view);
        });
        Print("Qt Charts, same reduction", f);
        std::printf("  %-44s %.1f x ours\n", "", f.mean / ours.mean);
    }

#ifdef KV_HAVE_QCUSTOMPLOT
    {
        QCustomPlotTrace custom(columns);
        TraceView view;
        view.Track(source);
        const Figures f = Run(steps, [&](const Step& s) {
            Apply(s, view, history.FirstMs(), history.LastMs());
            view.Track(source);
            custom.Draw(source, view);
        });
        Print("QCustomPlot " QCUSTOMPLOT_VERSION_STR ", same reduction", f);
        std::printf("  %-44s %.1f x ours\n", "", f.mean / ours.mean);
    }
#else
    std::printf("  QCustomPlot: not installed (libqcustomplot-dev), not measured\n");
#endif

    // Live: the window open on the last minute, following, samples coming in a burst.
    {
        PlainFiles files;
        PlainBoxes boxes;
        TraceWindow window(history, boxes, files);
        window.resize(kWidth, kHeight);
        window.show();
        window.Last_Click(60'000);
        window.Refresh();
        int frames = 0;
        QObject::connect(window.Plot, &TracePlot::Drawn, [&frames] { ++frames; });
        const qint64 more = 20'000;
        const qint64 start = ThreadNanoseconds();
        const qint64 wallStart = QDateTime::currentMSecsSinceEpoch();
        for (qint64 i = samples; i < samples + more; ++i) {
            history.Append(RunSample(startMs + 4 * 30'000, i));
            QCoreApplication::processEvents();  // the history's Grew, the window's frame when due
        }
        const double us = double(ThreadNanoseconds() - start) / 1e3 / double(more);
        const qint64 wallMs = QDateTime::currentMSecsSinceEpoch() - wallStart;
        const int burstFrames = frames;
        const Figures frame = Run(steps, [&](const Step&) { window.Refresh(); });
        std::printf("\nAppending one sample, the window open and following the last minute, a burst of %lld:\n"
                    "  %.2f us a sample on average (history, the window's live work, %d frames drawn in %lld ms)\n"
                    "  one live frame %.2f ms: at %lld samples a second (a frame each) %.1f %% of a core\n",
                    more, us, burstFrames, wallMs, frame.mean, kRate, frame.mean * double(kRate) / 10.0);
    }
    return 0;
}
