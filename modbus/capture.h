// The traffic capture: every write and every received chunk, from every
// source, as one line each in a UTF-8 text file: date and time to the
// millisecond, direction, the bytes in hexadecimal and, where the bytes are a
// whole frame, what it is. Lines are written whole and flushed at once, so
// the file is readable up to its last line after a crash or an unplug.
#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QFile>
#include <QObject>
#include <QString>

#include <functional>

namespace kv::mb {

class TrafficCapture : public QObject {
    Q_OBJECT
public:
    using Clock = std::function<QDateTime()>;

    explicit TrafficCapture(QObject* parent = nullptr);
    ~TrafficCapture() override;

    // Starts a new capture into the file (replacing it). False, with a reason
    // in `error`, when it cannot be created.
    bool Start(const QString& path, QString* error);
    void Stop();
    bool Active() const { return m_file.isOpen(); }
    QString Path() const { return m_file.fileName(); }
    qint64 Lines() const { return m_lines; }

    void Record(bool transmitted, const QByteArray& bytes);

    // The line for one chunk: "2026-12-07 14:05:33.125 TX 01 03 00 04 00 06 84 09  读 0004 起 6 个寄存器".
    static QString LineFor(const QDateTime& when, bool transmitted, const QByteArray& bytes);

    // Where the time stamps come from (a fixed clock in tests).
    void SetClock(Clock clock) { m_clock = std::move(clock); }

signals:
    // Writing failed (disk full, device gone): the capture has stopped.
    void Failed(const QString& reason);
    void Changed();

private:
    QFile m_file;
    qint64 m_lines = 0;
    Clock m_clock;
};

} // namespace kv::mb
