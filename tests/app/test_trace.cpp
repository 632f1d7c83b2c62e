// The trace window: the cursors' figures and the bit lanes' changes for a
// run worked out by hand, the zoom buttons and following, the export of the
// cursors' range, a spike that shows at every zoom, a gap drawn as a gap,
// a capture shown with its trigger and fault record, and drawings batched
// while samples come.
#include "app/analysismenu.h"
#include "app/tracewindow.h"
#include "chart/traceplot.h"
#include "tests/support/tool.h"

#include <QAction>
#include <QFile>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QTableWidget>
#include <QTest>

#include <algorithm>
#include <memory>

using namespace kv;

namespace {

// 2026-11-30 14:05:33.000 local time: the rows written out below read so in any time zone.
const qint64 kT0 = QDateTime(QDate(2026, 11, 30), QTime(14, 5, 33)).toMSecsSinceEpoch();

// A sample: frequency and current raw (0.1 Hz, 0.1 A), 540 V, AI1 5 V, AI2 12 mA.
LiveSample Sample(qint64 timeMs, int frequency, int current, quint16 status = 0x0237, bool crcGood = true)
{
    return SampleFromRegisters({quint16(frequency), quint16(current), 540, 500, 500, status}, timeMs, crcGood);
}

// The run the figures are worked out from: 21 samples 100 ms apart; the
// frequency ramps 10.0, 11.0, ... 30.0 Hz, the current rises 5.0 A to 10.0 A
// (i = 10) and falls again, the fault bit (3) is set for samples 5..8, the
// alarm bit (7) from sample 15 on; sample 2's reply had a bad CRC.
void FeedRun(LineSession& session)
{
    for (int i = 0; i <= 20; ++i) {
        quint16 status = 0x0237;
        if (i >= 5 && i <= 8)
            status |= 1u << 3;
        if (i >= 15)
            status |= 1u << 7;
        session.TakeSample(Sample(kT0 + 100 * i, 100 + 10 * i, 50 + 5 * std::min(i, 20 - i), status, i != 2));
    }
}

QStringList Row(const QTableWidget* table, int row)
{
    QStringList texts;
    for (int c = TraceWindow::ColA; c < TraceWindow::ColumnCount; ++c)
        texts << table->item(row, c)->text();
    return texts;
}

} // namespace

class TestTrace : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void menuOpensTheWindow();
    void cursorFigures_data();
    void cursorFigures();
    void zoomButtonsAndFollowing_data();
    void zoomButtonsAndFollowing();
    void exportWritesTheRecordingsRows_data();
    void exportWritesTheRecordingsRows();
    void spikeShowsAtEveryZoom_data();
    void spikeShowsAtEveryZoom();
    void gapIsDrawnAsAGap();
    void saysFromWhenItHoldsData();
    void captureShownWithItsTrigger_data();
    void captureShownWithItsTrigger();
    void drawingsBatchedWhileSampling();

private:
    TraceWindow& Window() { return *m_tool->Piece<TraceMenu>().Window(); }

    std::unique_ptr<test::Tool> m_tool;
};

void TestTrace::init()
{
    m_tool = std::make_unique<test::Tool>(test::Tool::ScriptedLine);
}

void TestTrace::cleanup()
{
    m_tool.reset();
}

void TestTrace::menuOpensTheWindow()
{
    QMenu* menu = m_tool->form->findChild<QMenu*>(QStringLiteral("AnalysisMenu"));
    QVERIFY(menu);
    QCOMPARE(AnalysisMenu(*m_tool->form), menu);  // found again, not made twice
    QCOMPARE(m_tool->form->menuBar()->actions().last(), menu->menuAction());
    m_tool->Action(QStringLiteral("TraceOpen"))->trigger();
    QWidget* window = m_tool->form->findChild<QWidget*>(QStringLiteral("TraceWindow"));
    QVERIFY(window && window->isVisible() && !window->isModal());
    // The lanes are named as the lamps are, bit 0 rightmost.
    QStringList lamps = m_tool->form->Label23->text().split(QRegularExpression(QStringLiteral("\\s+")), Qt::SkipEmptyParts);
    std::reverse(lamps.begin(), lamps.end());
    QCOMPARE(HistorySource::StatusBitNames(), lamps);
}

void TestTrace::cursorFigures_data()
{
    QTest::addColumn<qint64>("a");  // ms after the first sample
    QTest::addColumn<qint64>("b");
    QTest::addColumn<QString>("cursors");
    QTest::addColumn<QStringList>("frequency");  // A, B, B-A, min, max, mean
    QTest::addColumn<QStringList>("current");
    QTest::addColumn<QString>("fault");
    QTest::addColumn<QString>("alarm");
    // Samples 2..12: frequency 12..22 Hz (mean 17); current 6.0 .. 10.0 .. 9.0 A
    // (60+65+...+100+95+90 = 905 tenths over 11 samples: 8.227).
    QTest::newRow("on samples") << qint64(200) << qint64(1200) << "A 14:05:33.200   B 14:05:34.200   Δt 1.000 s"
                                << QStringList{"12.0", "22.0", "10.0", "12.0", "22.0", "17.00"}
                                << QStringList{"6.0", "9.0", "3.0", "6.0", "10.0", "8.23"}
                                << "14:05:33.500 ↑, 14:05:33.900 ↓" << "无变化";
    // Cursors between samples stand on the nearest one; B before A.
    QTest::newRow("nearest, B first") << qint64(1849) << qint64(1451) << "A 14:05:34.800   B 14:05:34.500   Δt -0.300 s"
                                      << QStringList{"28.0", "25.0", "-3.0", "25.0", "28.0", "26.50"}
                                      << QStringList{"6.0", "7.5", "1.5", "6.0", "7.5", "6.75"} << "无变化"
                                      << "14:05:34.500 ↑";
}

void TestTrace::cursorFigures()
{
    QFETCH(qint64, a);
    QFETCH(qint64, b);
    FeedRun(*m_tool->session);
    TraceWindow& w = Window();
    w.Plot->ClickAt(kT0 + a);  // the first click places A, the second B
    w.Plot->ClickAt(kT0 + b);
    w.Refresh();
    QTEST(w.CursorText->text(), "cursors");
    QTEST(Row(w.CursorTable, 0), "frequency");
    QTEST(Row(w.CursorTable, 1), "current");
    QTEST(w.CursorTable->item(SampleHistory::kChannels + 3, TraceWindow::ColAuto)->text(), "fault");
    QTEST(w.CursorTable->item(SampleHistory::kChannels + 7, TraceWindow::ColAuto)->text(), "alarm");
}

void TestTrace::zoomButtonsAndFollowing_data()
{
    QTest::addColumn<QString>("button");
    QTest::addColumn<bool>("follow");
    QTest::addColumn<qint64>("span");  // after 20 min of samples, one a second
    QTest::newRow("whole") << "TraceWhole" << true << qint64(1200'000);
    QTest::newRow("10 s") << "TraceLast10s" << true << qint64(10'000);
    QTest::newRow("1 min") << "TraceLast1min" << true << qint64(60'000);
    QTest::newRow("10 min") << "TraceLast10min" << true << qint64(600'000);
    QTest::newRow("10 min, not following") << "TraceLast10min" << false << qint64(600'000);
}

void TestTrace::zoomButtonsAndFollowing()
{
    QFETCH(QString, button);
    QFETCH(bool, follow);
    QFETCH(qint64, span);
    for (int s = 0; s <= 1200; ++s)
        m_tool->session->TakeSample(Sample(kT0 + 1000 * s, 500, 100));
    TraceWindow& w = Window();
    w.findChild<QPushButton*>(button)->click();
    w.Refresh();
    QCOMPARE(w.View().ToMs(), double(kT0 + 1200'000));
    QCOMPARE(w.View().SpanMs(), double(span));
    QVERIFY(w.Follow->isChecked());
    if (!follow)
        w.Follow->click();
    // Five seconds more: followed, the newest sample stays at the right edge
    // (the whole view grows); else the view stays.
    for (int s = 1201; s <= 1205; ++s)
        m_tool->session->TakeSample(Sample(kT0 + 1000 * s, 500, 100));
    w.Refresh();
    const qint64 end = follow ? 1205'000 : 1200'000;
    QCOMPARE(w.View().ToMs(), double(kT0 + end));
    QCOMPARE(w.View().SpanMs(), double(button == u"TraceWhole" ? end : span));
}

void TestTrace::exportWritesTheRecordingsRows_data()
{
    QTest::addColumn<bool>("cursors");
    QTest::addColumn<QStringList>("rows");
    const QString header = QStringLiteral("时间,频率 (Hz),电流 (A),直流电压 (V),AI1,AI2,状态字,CRC");
    // A on sample 1, B on sample 3: samples 1..3, sample 2's bad CRC kept.
    QTest::newRow("between the cursors") << true
                                         << QStringList{header, "2026-11-30T14:05:33.100,11,5.5,540,5,12,0237,正确",
                                                        "2026-11-30T14:05:33.200,12,6,540,5,12,0237,错误",
                                                        "2026-11-30T14:05:33.300,13,6.5,540,5,12,0237,正确"};
    // No cursors: the view, 14:05:34.800 to 14:05:35.000.
    QTest::newRow("the view") << false
                              << QStringList{header, "2026-11-30T14:05:34.800,28,6,540,5,12,02B7,正确",
                                             "2026-11-30T14:05:34.900,29,5.5,540,5,12,02B7,正确",
                                             "2026-11-30T14:05:35.000,30,5,540,5,12,02B7,正确"};
}

void TestTrace::exportWritesTheRecordingsRows()
{
    QFETCH(bool, cursors);
    FeedRun(*m_tool->session);
    TraceWindow& w = Window();
    if (cursors) {
        w.Plot->PlaceCursor(TraceView::Cursor::B, kT0 + 300);
        w.Plot->PlaceCursor(TraceView::Cursor::A, kT0 + 100);
    } else {
        w.View().ShowRange(double(kT0 + 1800), double(kT0 + 2000));
    }
    m_tool->files.path = m_tool->dir.filePath(QStringLiteral("trace.csv"));
    w.ExportCsv->trigger();
    QFile file(m_tool->files.path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray bytes = file.readAll();
    QVERIFY(bytes.startsWith(QByteArrayLiteral("\xEF\xBB\xBF")));
    QTEST(QString::fromUtf8(bytes.mid(3)).split(QStringLiteral("\r\n"), Qt::SkipEmptyParts), "rows");
    QVERIFY(m_tool->boxes.shown.isEmpty());
}

void TestTrace::spikeShowsAtEveryZoom_data()
{
    QTest::addColumn<qint64>("span");  // centred on the spike
    QTest::newRow("1 h: 70 samples a column") << qint64(3600'000);
    QTest::newRow("10 min") << qint64(600'000);
    QTest::newRow("1 min") << qint64(60'000);
    QTest::newRow("10 s") << qint64(10'000);
    QTest::newRow("1 s: columns between samples") << qint64(1000);
}

void TestTrace::spikeShowsAtEveryZoom()
{
    QFETCH(qint64, span);
    // One hour at 32 samples a second, the current 10.0 A but for one sample of 90.0 A.
    SampleHistory history;
    const qint64 samples = 3600 * 32;
    const qint64 spikeAt = samples / 2 + 7;
    for (qint64 i = 0; i < samples; ++i)
        history.Append(Sample(kT0 + i * 1000 / 32, 500, i == spikeAt ? 900 : 100));
    const qint64 spikeMs = kT0 + spikeAt * 1000 / 32;
    HistorySource source(history);
    TraceView view;
    view.Track(source);
    view.ShowRange(double(spikeMs - span / 2), double(spikeMs + span / 2));
    for (int k = 0; k < SampleHistory::kChannels; ++k)
        view.ShowCurve(k, k == 1);
    TraceRenderer renderer;
    QImage image(1280, 720, QImage::Format_RGB32);
    renderer.Render(image, source, view);
    const int x = renderer.PixelOf(spikeMs);
    const int top = int(std::lround(renderer.YOfValue(1, 90.0)));
    const int level = int(std::lround(renderer.YOfValue(1, 10.0)));
    const QRgb current = 0xFF000000u | source.Curve(1).colour;
    QCOMPARE(image.pixel(x, top), current);  // the spike's top, in its column
    QCOMPARE(image.pixel(x - 60, level), current);  // the current before it
    QVERIFY(image.pixel(x - 60, top) != current);
}

void TestTrace::gapIsDrawnAsAGap()
{
    // 10 s of samples, polling paused for 10 s, 10 s more: the gap stays empty.
    SampleHistory history;
    for (int i = 0; i <= 100; ++i)
        history.Append(Sample(kT0 + 100 * i, 500 + i, 100));
    history.Break();
    for (int i = 200; i <= 300; ++i)
        history.Append(Sample(kT0 + 100 * i, 500 + i, 100));
    const HistorySource source(history);
    const QImage image = RenderTrace(history, kT0, kT0 + 30'000, QSize(1000, 600));
    TraceView view;
    view.Track(source);
    view.ShowRange(double(kT0), double(kT0 + 30'000));
    TraceRenderer layout;  // where the same drawing puts things
    QImage again(image.size(), QImage::Format_RGB32);
    layout.Render(again, source, view);
    QCOMPARE(again, image);
    const QRect plot = layout.Layout().plot;
    int curvePixels = 0;
    int gapPixels = 0;
    for (int x = plot.left(); x <= plot.right(); ++x) {
        const double t = layout.TimeAtX(x);
        const bool inGap = t > kT0 + 10'000 + 50 && t < kT0 + 20'000 - 50;
        for (int y = plot.top(); y <= plot.bottom(); ++y) {
            bool curve = false;
            for (int k = 0; k < source.CurveCount(); ++k)
                curve = curve || image.pixel(x, y) == (0xFF000000u | source.Curve(k).colour);
            (inGap ? gapPixels : curvePixels) += curve;
        }
    }
    QVERIFY(curvePixels > 0);
    QCOMPARE(gapPixels, 0);
}

void TestTrace::saysFromWhenItHoldsData()
{
    // A history of two blocks: the third block's first sample drops the oldest.
    SampleHistory history(2 * SampleHistory::kBlockSize);
    TraceWindow w(history, m_tool->boxes, m_tool->files);
    for (int i = 0; i < 2 * SampleHistory::kBlockSize; ++i)
        history.Append(Sample(kT0 + 1000LL * i, 500, 100));
    QVERIFY(w.HeldFrom->isHidden());
    history.Append(Sample(kT0 + 1000LL * 2 * SampleHistory::kBlockSize, 500, 100));
    QVERIFY(!w.HeldFrom->isHidden());
    // The oldest block of 4096 samples, one a second, has gone: 1 h 8 min 16 s.
    QCOMPARE(w.HeldFrom->text(), QStringLiteral("数据自 2026-11-30 15:13:49 起，更早的已丢弃"));
}

void TestTrace::captureShownWithItsTrigger_data()
{
    QTest::addColumn<QList<quint16>>("record");
    QTest::addColumn<QString>("error");
    QTest::addColumn<QString>("text");
    QList<quint16> record;
    for (int i = 0; i < 13; ++i)
        record << quint16(i == 0 ? 7 : 100 + i);
    QTest::newRow("fault record read") << record << QString() << "故障记录（04 组）";
    QTest::newRow("fault record not read") << QList<quint16>() << "无应答" << "故障记录未能读取：无应答";
}

void TestTrace::captureShownWithItsTrigger()
{
    QFETCH(QList<quint16>, record);
    QFETCH(QString, error);
    FeedRun(*m_tool->session);
    TraceWindow& w = Window();
    w.Last_Click(1000);
    w.Refresh();
    const double liveTo = w.View().ToMs();
    QCOMPARE(liveTo, double(kT0 + 2000));

    // 3 s before the trigger and 1 s after it, a sample every 50 ms.
    auto samples = std::make_shared<SampleHistory>();
    const qint64 trigger = kT0 + 60'000;
    for (qint64 t = trigger - 3000; t <= trigger + 1000; t += 50)
        samples->Append(Sample(t, 500, t < trigger ? 100 : 400, t < trigger ? 0x0237 : 0x023F));
    TraceCapture capture;
    capture.id = 1;
    capture.triggerMs = trigger;
    capture.fromMs = trigger - 3000;
    capture.toMs = trigger + 1000;
    capture.cause = QStringLiteral("故障 ↑");
    capture.fault = true;
    capture.samples = samples;
    capture.faultRecord = record;
    capture.faultRecordError = error;
    w.AddCapture(capture);
    QCOMPARE(w.CaptureList->item(0)->text(), QStringLiteral("#1  14:06:33.000  故障 ↑"));
    QVERIFY(!w.ShowingCapture());

    w.ShowCapture(0);
    w.Refresh();
    QCOMPARE((w.View().FromMs() + w.View().ToMs()) / 2, double(trigger));
    QCOMPARE(w.View().SpanMs(), 6000.0);
    QCOMPARE(w.Stats().aMs, std::optional<qint64>(trigger));
    QCOMPARE(w.CursorTable->item(1, TraceWindow::ColA)->text(), QStringLiteral("40.0"));
    QTEST(w.FaultRecordText->text(), "text");
    QCOMPARE(w.FaultRecord->isVisibleTo(&w), !record.isEmpty());
    QCOMPARE(w.FaultRecord->item(0, 0)->text(), QStringLiteral("0401"));
    QCOMPARE(w.FaultRecord->item(0, 1)->text(), QStringLiteral("最后故障"));
    QCOMPARE(w.FaultRecord->item(0, 2)->text(), record.isEmpty() ? QString() : QStringLiteral("7"));
    QCOMPARE(w.FaultRecord->item(12, 1)->text(), QStringLiteral("历史故障2"));
    QCOMPARE(w.FaultRecord->item(12, 2)->text(), record.isEmpty() ? QString() : QStringLiteral("112"));

    w.BackToLive->click();  // one click back, the live view as it was left
    QVERIFY(!w.ShowingCapture());
    w.Refresh();
    QCOMPARE(w.View().ToMs(), liveTo);
    QCOMPARE(w.Plot->Source()->Count(), qint64(21));
}

void TestTrace::drawingsBatchedWhileSampling()
{
    m_tool->Action(QStringLiteral("TraceOpen"))->trigger();
    TraceWindow& w = Window();
    QCoreApplication::processEvents();  // the window settled on screen
    w.Refresh();
    QSignalSpy drawn(w.Plot, &TracePlot::Drawn);
    // Fifty samples between two passes of the event loop (a burst from the
    // line): one drawing, at the next frame, following the newest.
    for (int i = 0; i < 50; ++i)
        m_tool->session->TakeSample(Sample(kT0 + 20 * i, 500, 100));
    QCOMPARE(drawn.count(), 0);
    QVERIFY(drawn.wait(5000));
    QCoreApplication::processEvents();
    QCOMPARE(drawn.count(), 1);
    QCOMPARE(w.View().ToMs(), double(kT0 + 20 * 49));
}

QTEST_MAIN(TestTrace)
#include "test_trace.moc"
