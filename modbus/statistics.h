// Counters of the traffic on the line since the port was opened, for every
// source: the original window's handlers (fed with what the serial control
// writes and the chunks read outside the engine) and the engine (fed with how
// each of its attempts ended).
#pragma once

#include "modbus/rtu.h"

#include <QByteArray>
#include <QObject>
#include <QString>
#include <QTimer>

namespace kv::mb {

struct LineCounters {
    qint64 requests = 0;    // frames put on the line
    qint64 good = 0;        // sound replies (CRC right, not an exception)
    qint64 crcErrors = 0;   // replies of a known form whose CRC is wrong
    qint64 exceptions = 0;  // exception replies
    qint64 timeouts = 0;    // polls unanswered before the next poll, engine timeouts
    qint64 undecoded = 0;   // chunks that are no whole frame (split, joined, late, noise)
    qint64 dropped = 0;     // bytes the engine dropped before a plausible reply
    QString lastException;  // "异常 02：非法数据地址"
};

class LineStatistics : public QObject {
    Q_OBJECT
public:
    explicit LineStatistics(QObject* parent = nullptr);

    const LineCounters& Counters() const { return m_counters; }
    void Reset();

    // The periodic poll whose unanswered requests count as timeouts: a read
    // of `count` registers from `address` (any station). None until set.
    void SetPollRead(quint16 address, quint16 count);
    // A poll left unanswered this long counts as a timeout even when no
    // further poll follows (polling stopped, port closed).
    void SetPollTimeoutMs(int ms) { m_pollTimer.setInterval(ms); }

    // Every frame put on the line, whoever sent it.
    void OnTransmitted(const QByteArray& bytes);
    // A chunk read outside the engine (the receive path, a parameter read).
    void OnChunk(const QByteArray& bytes);
    // One attempt of the engine and how it ended.
    void OnAttempt(Outcome outcome, quint8 exceptionCode);
    void OnDropped(qint64 count);
    // The poll timeout has run out: a poll still unanswered counts as a timeout.
    void PollTimeUp();

    // "请求 12  正确 10  CRC错误 1  异常 0  超时 1  未解码 0"
    QString Summary() const;

signals:
    void Changed();

private:
    bool IsPollRequest(const QByteArray& bytes) const;

    LineCounters m_counters;
    QTimer m_pollTimer;
    bool m_pollPending = false;
    int m_pollAddress = -1;
    int m_pollCount = 0;
};

} // namespace kv::mb
