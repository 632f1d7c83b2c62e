// Recording of live values: one CSV row per live sample, appended to a file
// for as long as the recording runs.
//
// The file is UTF-8 with a byte-order mark, a header row and rows ended by
// CR LF. Rows gather in memory and go to the file whole, at the latest
// kFlushIntervalMs after they were recorded, so the file is readable up to its
// last whole row after a crash or an unplug, and what is held in memory never
// grows with the length of the recording (a few hundred rows at most, even at
// a hundred replies a second).
//
// Rows name their station only when the station changes during the
// recording: then the file gets a last column "站号", the rows so far marked
// with the station they came from. That rewrite of what is written runs on a
// thread of its own and replaces the file whole; the rows that come meanwhile
// wait in memory.
#pragma once

#include "drive/livesample.h"

#include <QByteArray>
#include <QFile>
#include <QObject>
#include <QString>
#include <QTimer>

#include <memory>

class QThread;

namespace kv {

class LiveRecording : public QObject {
    Q_OBJECT
public:
    static constexpr int kFlushIntervalMs = 250;

    explicit LiveRecording(QObject* parent = nullptr);
    ~LiveRecording() override;

    // Starts a new recording into the file (replacing it): the byte-order mark
    // and the header row, then a row per Record. False, with a reason in
    // `error`, when the file cannot be created.
    bool Start(const QString& path, QString* error);
    // Writes what is still held and closes the file.
    void Stop();
    bool Active() const { return m_active; }
    QString Path() const { return m_path; }
    // Rows recorded since the start (the header not counted).
    qint64 Rows() const { return m_rows; }

    // One row for a sample.
    void Record(const LiveSample& sample);

    // Whether the rows carry the station (it changed during the recording).
    bool StationColumn() const { return m_withStation; }

    // "时间,频率 (Hz),电流 (A),直流电压 (V),AI1,AI2,状态字,CRC" and CR LF, in the
    // language of the interface (the file is not read back); with the
    // station's column ",站号" last.
    static QByteArray HeaderRow(bool withStation = false);
    // "2026-12-07T14:05:33.125,50,12.3,540,5,12,0437,正确" and CR LF: the local
    // time to the millisecond, the decoded values as the shortest decimal that
    // reads back as the same value, the status word in four hexadecimal digits,
    // the CRC's verdict in the language of the interface ("good" in English);
    // with the station's column, its number last.
    static QByteArray RowFor(const LiveSample& sample, bool withStation = false);

signals:
    // Writing failed (disk full, medium gone): the recording has stopped.
    void Failed(const QString& reason);
    // Started, stopped, or rows written.
    void Changed();

private:
    bool Flush();
    void Fail(const QString& reason);
    // The station changed: the rows written so far get the column too.
    void AddStationColumn();
    void StationColumnAdded();

    QFile m_file;
    QString m_path;
    QByteArray m_pending;
    QTimer m_flushTimer;
    qint64 m_rows = 0;
    bool m_active = false;
    quint8 m_station = 0;  // the station of the rows, while they have no column
    bool m_withStation = false;
    std::unique_ptr<QThread> m_rewrite;
    QString m_rewriteError;
};

} // namespace kv
