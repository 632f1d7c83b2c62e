// Soak: the main window, headless, against drive-sim with its line faults on
// (late, split, dropped and corrupted replies, stray bytes), polling all the
// time while terminal frames, drive commands and parameter reads go out, for a
// given number of seconds.
//
//   soak [seconds] [--seed N]
//
// Prints polls, replies decoded, chunks logged, exception replies, chart errors
// absorbed and the peak memory at the start, after the first minute (longer
// runs) and at the end. Exits non-zero on any violation:
//  - a hang: a watchdog thread ends the run when the window's event loop has
//    not come round for 10 s (a crash ends it by itself);
//  - memory not flat: the peak at the end above the peak at the reference
//    point (after the first minute, or after a third of a shorter run) by 5 %;
//  - the log above its limit: after every receive event that logged a chunk the
//    log holds at most 2000 characters; after any other handler at most 2000
//    plus a few send lines (only the receive path empties the log, so the
//    lines of a send may pass the limit until the next chunk is logged);
//  - bytes not as the drive sent them: every chunk the receive path logged
//    must be the next piece of the byte stream the simulator put on the line.
//    The simulator logs every reply it builds (--verbose); the soak feeds the
//    same replies to the same fault plan with the same seed (kv_drive_sim's
//    FaultInjector) and so rebuilds the exact bytes on the line, stray bytes and
//    corrupted CRCs included, and checks the plan's description against the
//    simulator's log line for each reply. Chunks are matched in order (gaps are
//    chunks the receive path drops, starting F, and the bytes a parameter read
//    takes itself);
//  - a decoded reply whose values differ from the chunk's registers decoded
//    here independently (signed 16 bits, the scale factors of the register map);
//  - any message box, or the simulator ending on its own;
//  - the recording of live values, which runs for the whole soak, holding
//    other than one row per decoded reply.
#include "app/form1.h"
#include "app/logbox.h"
#include "common/intervaltimer.h"
#include "common/platform.h"
#include "drive/liverecord.h"
#include "drive/polling.h"
#include "serial/mscomm.h"
#include "serial/portsettings.h"
#include "tests/support/fakes.h"
#include "tools/drive-sim/faults.h"
#include "tools/drive-sim/options.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QLineEdit>
#include <QListWidget>
#include <QProcess>
#include <QPushButton>
#include <QRandomGenerator>
#include <QSet>
#include <QTemporaryDir>
#include <QTimer>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <deque>
#include <thread>
#include <unistd.h>

namespace {

constexpr int kLogLimit = 2000;
constexpr int kSendSlack = 400;  // a few send lines between two logged chunks
constexpr int kHangSeconds = 10;
constexpr double kMemoryTolerance = 0.05;
// Decoded chunks wait at most kDecodedBacklog behind the simulator's log, so a
// few hundred recent replies are all the check needs; a fixed small number keeps
// the soak's own bookkeeping (some tens of kB) out of the memory it measures.
constexpr std::size_t kDecodedBacklog = 20;
constexpr std::size_t kKeptReplies = 256;

std::atomic<qint64> g_heartbeatMs{0};
std::atomic<bool> g_done{false};

qint64 NowMs()
{
    return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

// Peak resident memory of this process so far, in kB.
long PeakMemoryKb()
{
    QFile f(QStringLiteral("/proc/self/status"));
    if (!f.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray& line : f.readAll().split('\n')) {
        if (line.startsWith("VmHWM:"))
            return line.mid(6).trimmed().split(' ').value(0).toLong();
    }
    return -1;
}

QString HexOf(const std::vector<std::uint8_t>& bytes)
{
    return QString::fromLatin1(QByteArray(reinterpret_cast<const char*>(bytes.data()),
                                          static_cast<qsizetype>(bytes.size()))
                                   .toHex()
                                   .toUpper());
}

// The window, with a record of every chunk handed to the poll decoding.
class SoakForm : public Form1 {
public:
    using Form1::Form1;
    void HandlePollReply(const QString& replyText) override
    {
        lastDecodeInput = replyText;
        Form1::HandlePollReply(replyText);
    }
    QString lastDecodeInput;
};

// The independent decoding of a poll reply's registers.
kv::PollReply DecodeHere(const QString& chunk)
{
    kv::PollReply r;
    const double factors[5] = {0.1, 0.1, 1.0, 0.001, 0.001};
    const double after[5] = {1.0, 1.0, 1.0, 10.0, 24.0};
    for (int k = 0; k < 5; ++k) {
        const auto raw = static_cast<qint16>(static_cast<quint16>(chunk.mid(6 + 4 * k, 4).toUInt(nullptr, 16)));
        r.PolledValues[static_cast<size_t>(k)] = static_cast<float>(static_cast<double>(raw) * factors[k] * after[k]);
    }
    r.StatusWord = static_cast<qint16>(static_cast<quint16>(chunk.mid(26, 4).toUInt(nullptr, 16)));
    return r;
}

class Soak : public QObject {
public:
    Soak(int seconds, quint64 seed) : m_seconds(seconds), m_seed(seed), m_random(static_cast<quint32>(seed)) {}
    int run();

private:
    bool startDrive();
    void onLogChanged();
    void afterHandler(bool receiveEvent);
    void drainDriveLog();
    void verifyChunks(bool final);
    void act();
    void violation(const QString& what);
    void report(const char* when);

    int m_seconds;
    quint64 m_seed;
    QRandomGenerator m_random;
    QTemporaryDir m_data;
    QStringList m_simArgs;
    QProcess m_sim;
    QByteArray m_simPartial;
    std::unique_ptr<kv::sim::FaultInjector> m_plan;
    kv::test::RecordingMessageBoxes m_boxes;
    std::unique_ptr<SoakForm> m_form;
    kv::LiveRecording m_recording;

    // The simulator's line output not yet matched, from m_streamOffset on (hex digits).
    QString m_stream;
    std::deque<QString> m_pendingChunks;
    std::deque<QString> m_decodedChunks;  // decoded, not yet told apart
    QString m_lastLog;
    bool m_receiveLogged = false;

    qint64 m_polls = 0;
    qint64 m_chunksLogged = 0;
    qint64 m_chunksMatched = 0;
    qint64 m_exceptionReplies = 0;
    qint64 m_chartErrors = 0;
    qint64 m_decodedWhole = 0;
    qint64 m_repliesPlanned = 0;
    qint64 m_repliesDropped = 0;
    qint64 m_paramReads = 0;
    qint64 m_commands = 0;
    qint64 m_terminalSends = 0;
    QSet<QString> m_wholeReplies;  // recent replies as the simulator built them
    std::deque<QString> m_wholeOrder;
    int m_maxLog = 0;
    QStringList m_violations;
    long m_memStart = 0;
    long m_memReference = 0;
    long m_memEnd = 0;
};

QtMessageHandler g_previousHandler = nullptr;
std::atomic<int> g_chartWarnings{0};

void CountingHandler(QtMsgType type, const QMessageLogContext& context, const QString& message)
{
    if (type == QtWarningMsg && message.startsWith(QStringLiteral("chart:")))
        ++g_chartWarnings;
    if (g_previousHandler)
        g_previousHandler(type, context, message);
}

void Soak::violation(const QString& what)
{
    if (m_violations.size() < 50)
        std::fprintf(stderr, "soak: VIOLATION: %s\n", qPrintable(what));
    m_violations.append(what);
}

bool Soak::startDrive()
{
    const QString link = kv::PortLinkFolder() + QStringLiteral("/COM3");
    m_simArgs = {QStringLiteral("--link"), link,
                 QStringLiteral("--seed"), QString::number(m_seed),
                 QStringLiteral("--verbose"),
                 QStringLiteral("--delay"), QStringLiteral("150@15%"),
                 QStringLiteral("--split"), QStringLiteral("30@10%"),
                 QStringLiteral("--drop"), QStringLiteral("5%"),
                 QStringLiteral("--bad-crc"), QStringLiteral("5%"),
                 QStringLiteral("--stray"), QStringLiteral("3@5%")};
    std::vector<std::string> args;
    for (const QString& a : m_simArgs)
        args.push_back(a.toStdString());
    std::string error;
    const auto options = kv::sim::ParseOptions(args, &error);
    if (!options) {
        violation(QStringLiteral("drive-sim options: ") + QString::fromStdString(error));
        return false;
    }
    m_plan = std::make_unique<kv::sim::FaultInjector>(options->faults);
    m_sim.start(QStringLiteral(KV_DRIVE_SIM), m_simArgs);
    if (!m_sim.waitForStarted(5000))
        return false;
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < 5000 && !(QFileInfo(link).isSymLink() && QFileInfo(link).exists()))
        m_sim.waitForReadyRead(50);
    return QFileInfo(link).exists();
}

void Soak::drainDriveLog()
{
    m_simPartial += m_sim.readAllStandardError();
    (void)m_sim.readAllStandardOutput();
    qsizetype end;
    while ((end = m_simPartial.indexOf('\n')) >= 0) {
        const QString line = QString::fromUtf8(m_simPartial.left(end));
        m_simPartial.remove(0, end + 1);
        // "14:03:07.125 -> 01 03 0C ...  (note)  [faults]"
        const qsizetype arrow = line.indexOf(QStringLiteral(" -> "));
        if (arrow < 0)
            continue;
        QString rest = line.mid(arrow + 4);
        QString faults;
        const qsizetype open = rest.indexOf(QStringLiteral("  ["));
        if (open >= 0) {
            faults = rest.mid(open + 3);
            faults.chop(1);
            rest.truncate(open);
        }
        const qsizetype note = rest.indexOf(QStringLiteral("  ("));
        if (note >= 0)
            rest.truncate(note);
        const QByteArray reply = QByteArray::fromHex(rest.toLatin1());
        const std::vector<std::uint8_t> bytes(reply.begin(), reply.end());
        const kv::sim::ReplyPlan plan = m_plan->plan(bytes);
        ++m_repliesPlanned;
        if (QString::fromStdString(plan.describe()) != faults) {
            violation(QStringLiteral("fault plan out of step with the simulator at reply %1: \"%2\" / \"%3\"")
                          .arg(m_repliesPlanned)
                          .arg(QString::fromStdString(plan.describe()), faults));
        }
        if (plan.drop) {
            ++m_repliesDropped;
            continue;
        }
        m_stream += HexOf(plan.firstPart) + HexOf(plan.secondPart);
        const QString whole = QString::fromLatin1(reply.toHex().toUpper());
        if (!m_wholeReplies.contains(whole)) {
            m_wholeReplies.insert(whole);
            m_wholeOrder.push_back(whole);
            if (m_wholeOrder.size() > kKeptReplies) {
                m_wholeReplies.remove(m_wholeOrder.front());
                m_wholeOrder.pop_front();
            }
        }
    }
}

void Soak::verifyChunks(bool final)
{
    drainDriveLog();
    // A decoded chunk is either a reply exactly as the drive built it or one the
    // line made (a corrupted CRC, stray bytes, parts of two replies).
    while (!m_decodedChunks.empty()) {
        if (m_wholeReplies.contains(m_decodedChunks.front()))
            ++m_decodedWhole;
        else if (!final && m_decodedChunks.size() < kDecodedBacklog)
            break;  // its reply may not be in the simulator's log yet
        m_decodedChunks.pop_front();
    }
    while (!m_pendingChunks.empty()) {
        const QString& chunk = m_pendingChunks.front();
        // The first whole-byte match from the cursor on (greedy matching never
        // passes the true place of a chunk, so an honest stream always matches).
        qsizetype at = m_stream.indexOf(chunk);
        while (at >= 0 && at % 2 != 0)
            at = m_stream.indexOf(chunk, at + 1);
        if (at < 0) {
            if (!final && m_pendingChunks.size() < 200)
                return;  // the simulator's log line may still be on its way
            violation(QStringLiteral("received chunk %1 is not what the drive sent next").arg(chunk.left(80)));
            m_pendingChunks.pop_front();
            continue;
        }
        // What was skipped went to parameter reads or was dropped for starting F.
        m_stream.remove(0, at + chunk.size());
        ++m_chunksMatched;
        m_pendingChunks.pop_front();
    }
    // Keep the unmatched tail bounded: bytes a parameter read took never come back.
    if (m_pendingChunks.empty() && m_stream.size() > 1 << 16)
        m_stream.remove(0, m_stream.size() - (1 << 15));
}

void Soak::onLogChanged()
{
    const QString& text = m_form->Text2->Text();
    if (text.isEmpty()) {
        m_lastLog.clear();
        return;
    }
    QString added;
    if (text.startsWith(m_lastLog)) {
        added = text.mid(m_lastLog.size());
    } else {
        violation(QStringLiteral("the log changed other than by appending or emptying"));
        added = text;
    }
    m_lastLog = text;
    for (const QString& line : added.split(QStringLiteral("\r\n"), Qt::SkipEmptyParts)) {
        const qsizetype at = line.indexOf(QStringLiteral(" 接收: "));
        if (at < 0)
            continue;
        const QString chunk = line.mid(at + 5);
        ++m_chunksLogged;
        m_receiveLogged = true;
        if (chunk.size() == 10 && (chunk.mid(2, 2).toUInt(nullptr, 16) & 0x80))
            ++m_exceptionReplies;
        m_pendingChunks.push_back(chunk);
    }
}

void Soak::afterHandler(bool receiveEvent)
{
    const int size = static_cast<int>(m_form->Text2->Text().size());
    m_maxLog = qMax(m_maxLog, size);
    // A receive event that logged its chunk leaves at most the limit. Only the
    // receive path empties the log, so send lines may pass the limit until the
    // next chunk is logged: a few lines' worth at most.
    const bool logged = m_receiveLogged;
    m_receiveLogged = false;
    if (receiveEvent && logged && size > kLogLimit)
        violation(QStringLiteral("the log holds %1 characters after a receive event").arg(size));
    else if (size > kLogLimit + kSendSlack)
        violation(QStringLiteral("the log holds %1 characters after a handler").arg(size));
    if (!m_boxes.shown.isEmpty()) {
        for (const QString& t : m_boxes.texts())
            violation(QStringLiteral("message box: ") + t);
        m_boxes.shown.clear();
    }
}

void Soak::act()
{
    Form1& f = *m_form;
    const int pick = static_cast<int>(m_random.bounded(100));
    if (pick < 25) {
        // A frame typed into the terminal: the live block, a register the drive
        // lacks (exception reply), or a reference write.
        static const QStringList frames = {QStringLiteral("010300040006"), QStringLiteral("01037FFF0001"),
                                           QStringLiteral("010600012710"), QStringLiteral("010300640002")};
        f.Text1->setText(frames[static_cast<int>(m_random.bounded(frames.size()))]);
        f.ChkCRC16->setChecked(true);
        f.Command1->click();
        ++m_terminalSends;
    } else if (pick < 60) {
        QPushButton* b = nullptr;
        switch (m_random.bounded(4)) {
        case 0: b = f.Command_start->isEnabled() ? f.Command_start : f.Command_stop; break;
        case 1: b = f.Command_stop; break;
        case 2:
            f.Text3->setText(QString::number(m_random.bounded(5001) / 100.0));
            b = f.Command_set;
            break;
        default: b = f.Command2; break;
        }
        b->click();
        ++m_commands;
    } else if (pick < 85) {
        // A few parameters of a group read at once.
        f.Combo1->setCurrentIndex(static_cast<int>(m_random.bounded(f.Combo1->count())));
        const int rows = f.List1->count();
        const int ticks = 1 + static_cast<int>(m_random.bounded(3));
        for (int i = 0; i < ticks && rows > 0; ++i)
            f.List1->item(static_cast<int>(m_random.bounded(rows)))->setCheckState(Qt::Checked);
        f.CmdViewPram->click();
        for (int r = 0; r < rows; ++r)
            f.List1->item(r)->setCheckState(Qt::Unchecked);
        ++m_paramReads;
    } else if (pick < 90) {
        // A new factor for curve 3: the chart starts afresh.
        f.Text6->setText(QString::number(0.05 + m_random.bounded(20) / 100.0));
    } else if (pick < 93) {
        f.Command3->click();
    }
    // else: only polling for a while
    afterHandler(false);
}

void Soak::report(const char* when)
{
    std::printf("soak %s: polls %lld, replies decoded %lld (whole replies %lld), chunks logged %lld, "
                "exception replies %lld, chart errors absorbed %d, peak memory %ld kB\n",
                when, static_cast<long long>(m_polls), static_cast<long long>(m_form->PollRepliesDecoded()),
                static_cast<long long>(m_decodedWhole), static_cast<long long>(m_chunksLogged),
                static_cast<long long>(m_exceptionReplies), g_chartWarnings.load(), PeakMemoryKb());
    std::fflush(stdout);
}

int Soak::run()
{
    if (!m_data.isValid())
        return 2;
    qputenv("XDG_DATA_HOME", m_data.path().toLocal8Bit());
    QDir().mkpath(kv::PortLinkFolder());
    if (!startDrive()) {
        std::fprintf(stderr, "soak: drive-sim did not start: %s\n", m_sim.readAllStandardError().constData());
        return 2;
    }

    m_form = std::make_unique<SoakForm>(m_boxes, kv::SystemPlatform());
    SoakForm& f = *m_form;
    f.Form_Load();
    // The checks run after the window's own handlers (connected first).
    connect(f.Text2, &QPlainTextEdit::textChanged, this, [this] { onLogChanged(); });
    connect(f.MSComm, &kv::MSComm::OnComm, this, [this] { afterHandler(true); });
    connect(f.Timer1, &kv::IntervalTimer::Timer, this, [this] {
        if (m_form->MSComm->PortOpen())
            ++m_polls;
        afterHandler(false);
    });
    connect(&f, &Form1::PollReplyHandled, this, [this](const kv::PollReply& reply) {
        const QString chunk = m_form->lastDecodeInput;
        const kv::PollReply here = DecodeHere(chunk);
        if (here.PolledValues != reply.PolledValues || here.StatusWord != reply.StatusWord)
            violation(QStringLiteral("reply %1 decoded to other values").arg(chunk));
        m_decodedChunks.push_back(chunk);
    });

    // Live values recorded for the whole run, as the menu item records them.
    const QString recordPath = m_data.filePath(QStringLiteral("live.csv"));
    QString recordError;
    if (!m_recording.Start(recordPath, &recordError)) {
        std::fprintf(stderr, "soak: cannot record: %s\n", qPrintable(recordError));
        return 2;
    }
    connect(&m_recording, &kv::LiveRecording::Failed, this,
            [this](const QString& why) { violation(QStringLiteral("recording failed: ") + why); });
    connect(&f, &Form1::SampleDecoded, this, [this](const kv::LiveSample& sample) { m_recording.Record(sample); });

    f.CommandOpenMSC->click();  // COM 3, 9600,N,8,1, station 1
    if (!f.MSComm->PortOpen()) {
        std::fprintf(stderr, "soak: the port did not open: %s\n", qPrintable(m_boxes.texts().join(u'|')));
        return 2;
    }
    f.Commandgraphstart->click();  // polling runs
    afterHandler(false);

    // The watchdog: the event loop must come round at least every kHangSeconds.
    g_heartbeatMs = NowMs();
    QTimer heartbeat;
    connect(&heartbeat, &QTimer::timeout, this, [] { g_heartbeatMs = NowMs(); });
    heartbeat.start(100);
    std::thread watchdog([] {
        while (!g_done) {
            std::this_thread::sleep_for(std::chrono::milliseconds(500));
            if (!g_done && NowMs() - g_heartbeatMs > kHangSeconds * 1000) {
                std::fprintf(stderr, "soak: VIOLATION: hang, the window's event loop stood still for %d s\n",
                             kHangSeconds);
                std::fflush(stderr);
                _exit(3);
            }
        }
    });

    QElapsedTimer clock;
    clock.start();
    m_memStart = PeakMemoryKb();
    report("start");
    const qint64 referenceMs = m_seconds >= 120 ? 60000 : m_seconds * 1000 / 3;
    bool referenceTaken = false;

    QTimer actions;
    connect(&actions, &QTimer::timeout, this, [&] {
        act();
        actions.setInterval(700 + static_cast<int>(m_random.bounded(1600)));
    });
    actions.start(1000);
    QTimer checks;
    connect(&checks, &QTimer::timeout, this, [&] {
        verifyChunks(false);
        if (m_sim.state() != QProcess::Running)
            violation(QStringLiteral("drive-sim ended on its own"));
        if (!referenceTaken && clock.elapsed() >= referenceMs) {
            referenceTaken = true;
            m_memReference = PeakMemoryKb();
            if (m_seconds >= 120)
                report("after the first minute");
        }
        if (clock.elapsed() >= qint64(m_seconds) * 1000)
            QCoreApplication::quit();
    });
    checks.start(1000);
    QCoreApplication::exec();
    actions.stop();
    checks.stop();

    // Let the last replies come in, then end the drive and match what is left.
    f.Commandgraphstart->click();
    QElapsedTimer settle;
    settle.start();
    while (settle.elapsed() < 1000)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
    afterHandler(false);
    f.CommandOpenMSC->click();
    m_sim.terminate();
    if (!m_sim.waitForFinished(5000) || m_sim.exitStatus() != QProcess::NormalExit || m_sim.exitCode() != 0)
        violation(QStringLiteral("drive-sim did not end cleanly"));
    verifyChunks(true);
    if (!m_boxes.shown.isEmpty())
        afterHandler(false);
    g_done = true;
    watchdog.join();

    m_recording.Stop();
    QFile recorded(recordPath);
    const qsizetype rows = recorded.open(QIODevice::ReadOnly) ? recorded.readAll().count("\r\n") - 1 : -1;
    std::printf("soak: recording %lld rows for %lld decoded replies\n", static_cast<long long>(rows),
                static_cast<long long>(f.PollRepliesDecoded()));
    if (rows != f.PollRepliesDecoded())
        violation(QStringLiteral("the recording holds %1 rows for %2 decoded replies").arg(rows).arg(f.PollRepliesDecoded()));

    m_memEnd = PeakMemoryKb();
    report("end");
    if (m_memReference <= 0)
        m_memReference = m_memStart;
    const bool flat = m_memEnd <= m_memReference * (1.0 + kMemoryTolerance);
    std::printf("soak: %d s, seed %llu; polls %lld, replies decoded %lld (%lld whole replies as built, the rest "
                "other 34-digit chunks the line made), chunks logged %lld (%lld matched to the drive's bytes), "
                "exception replies %lld, chart errors absorbed %d; drive replies %lld (%lld dropped); terminal "
                "sends %lld, commands %lld, parameter reads %lld; largest log %d characters; peak memory start %ld "
                "kB, reference %ld kB, end %ld kB (%s)\n",
                m_seconds, static_cast<unsigned long long>(m_seed), static_cast<long long>(m_polls),
                static_cast<long long>(f.PollRepliesDecoded()), static_cast<long long>(m_decodedWhole),
                static_cast<long long>(m_chunksLogged), static_cast<long long>(m_chunksMatched),
                static_cast<long long>(m_exceptionReplies), g_chartWarnings.load(),
                static_cast<long long>(m_repliesPlanned), static_cast<long long>(m_repliesDropped),
                static_cast<long long>(m_terminalSends), static_cast<long long>(m_commands),
                static_cast<long long>(m_paramReads), m_maxLog, m_memStart, m_memReference, m_memEnd,
                flat ? "flat" : "GROWING");
    if (!flat)
        violation(QStringLiteral("memory grew from %1 kB to %2 kB").arg(m_memReference).arg(m_memEnd));
    if (f.PollRepliesDecoded() == 0 || m_chunksLogged == 0 || m_polls == 0)
        violation(QStringLiteral("no traffic: nothing was polled, logged or decoded"));
    if (m_violations.isEmpty()) {
        std::printf("soak: PASS\n");
        return 0;
    }
    std::printf("soak: FAIL, %lld violations\n", static_cast<long long>(m_violations.size()));
    return 1;
}

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    int seconds = 60;
    quint64 seed = 1;
    for (int i = 1; i < argc; ++i) {
        const QByteArray a(argv[i]);
        if (a == "--seed" && i + 1 < argc) {
            seed = QByteArray(argv[++i]).toULongLong();
        } else if (a == "-h" || a == "--help") {
            std::printf("usage: soak [seconds] [--seed N]\n");
            return 0;
        } else {
            bool ok = false;
            seconds = a.toInt(&ok);
            if (!ok || seconds < 5) {
                std::fprintf(stderr, "soak: seconds must be a whole number of at least 5\n");
                return 2;
            }
        }
    }
    g_previousHandler = qInstallMessageHandler(CountingHandler);
    QApplication app(argc, argv);
    Soak soak(seconds, seed);
    return soak.run();
}
