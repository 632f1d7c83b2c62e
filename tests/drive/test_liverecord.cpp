// The recording of live values: each sample (here decoded from a reply's
// text, as the window decodes it) as one CSV row, and the file readable,
// header first, while the recording still runs.
#include "drive/livesample.h"
#include "drive/liverecord.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace kv;

namespace {

const qint64 kWhen = QDateTime(QDate(2026, 12, 7), QTime(14, 5, 33, 125)).toMSecsSinceEpoch();

QByteArray FileBytes(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

} // namespace

class TestLiveRecord : public QObject {
    Q_OBJECT
private slots:
    void rowOfAReply_data();
    void rowOfAReply();
    void fileReadableWhileRecording();
    void stationColumnWhenTheStationChanges();
};

void TestLiveRecord::rowOfAReply_data()
{
    QTest::addColumn<QString>("reply");
    QTest::addColumn<QString>("row");
    QTest::newRow("running at 50 Hz") << "01030C01F4007B021C01F401F404378176"
                                      << "2026-12-07T14:05:33.125,50,12.3,540,5,12,0437,正确\r\n";
    QTest::newRow("negative, status bit 15") << "01030CFF9C0000021C000A00C884376106"
                                             << "2026-12-07T14:05:33.125,-10,0,540,0.1,4.8,8437,正确\r\n";
    QTest::newRow("CRC wrong") << "01030C01F4007B021C01F401F404378177"
                               << "2026-12-07T14:05:33.125,50,12.3,540,5,12,0437,错误\r\n";
    // Text mode: 34 characters that are no hexadecimal frame (read leniently, no sound CRC).
    QTest::newRow("not hexadecimal") << "01030C01F4007B021C01F401F40437817x"
                                     << "2026-12-07T14:05:33.125,50,12.3,540,5,12,0437,错误\r\n";
}

void TestLiveRecord::rowOfAReply()
{
    QFETCH(QString, reply);
    QFETCH(QString, row);
    const std::optional<LiveSample> sample = SampleFromReplyText(reply, kWhen);
    QVERIFY(sample);
    QCOMPARE(QString::fromUtf8(LiveRecording::RowFor(*sample)), row);
}

void TestLiveRecord::fileReadableWhileRecording()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("live.csv"));
    LiveRecording recording;
    QString error;
    QVERIFY(recording.Start(path, &error));
    const LiveSample sample = *SampleFromReplyText(u"01030C01F4007B021C01F401F404378176", kWhen);
    for (int i = 0; i < 3; ++i)
        recording.Record(sample);
    QCOMPARE(recording.Rows(), 3);

    // Without a stop: the rows reach the file within the flush interval.
    const QByteArray row = "2026-12-07T14:05:33.125,50,12.3,540,5,12,0437," + QStringLiteral("正确").toUtf8() + "\r\n";
    const QByteArray expected = "\xEF\xBB\xBF" + QStringLiteral("时间,频率 (Hz),电流 (A),直流电压 (V),AI1,AI2,状态字,CRC\r\n").toUtf8()
        + row + row + row;
    QTRY_COMPARE(FileBytes(path), expected);

    recording.Record(sample);
    recording.Stop();
    QVERIFY(!recording.Active());
    QCOMPARE(FileBytes(path), expected + row);
}

void TestLiveRecord::stationColumnWhenTheStationChanges()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("live.csv"));
    LiveRecording recording;
    QVERIFY(recording.Start(path, nullptr));
    LiveSample sample = *SampleFromReplyText(u"01030C01F4007B021C01F401F404378176", kWhen);
    recording.Record(sample);
    recording.Record(sample);
    QTRY_VERIFY(FileBytes(path).count("\r\n") == 3);  // written before the change
    sample.station = 17;
    recording.Record(sample);
    recording.Stop();
    const QByteArray row = "2026-12-07T14:05:33.125,50,12.3,540,5,12,0437," + QStringLiteral("正确").toUtf8();
    QCOMPARE(FileBytes(path), "\xEF\xBB\xBF" + QStringLiteral("时间,频率 (Hz),电流 (A),直流电压 (V),AI1,AI2,状态字,CRC,站号\r\n").toUtf8()
                                  + row + ",1\r\n" + row + ",1\r\n" + row + ",17\r\n");
}

QTEST_GUILESS_MAIN(TestLiveRecord)
#include "test_liverecord.moc"
