// A line for tests, in the process: the test scripts the far end. Each write
// is handed to a responder that says what comes back and when (pieces at
// times after the write: a whole reply, a late one, a reply split with a gap
// in it, nothing at all, noise before it); bytes can also be sent unasked, and
// the line can be lost. Times run on the clock it is given, usually a
// VirtualClock, so that nothing depends on how fast the machine is.
#pragma once

#include "common/clock.h"
#include "serial/transport.h"

#include <QList>

#include <functional>

namespace kv {

class FakeTransport final : public Transport {
    Q_OBJECT
public:
    struct Piece {
        qint64 afterUs = 0;  // from the moment of the write (or of Send)
        QByteArray bytes;
    };
    using Responder = std::function<QList<Piece>(const QByteArray& written)>;

    explicit FakeTransport(Clock& clock, QObject* parent = nullptr);

    // What the far end answers to each write (nothing when unset).
    void SetResponder(Responder responder) { m_responder = std::move(responder); }
    // Bytes from the far end `afterUs` from now.
    void Send(const QByteArray& bytes, qint64 afterUs = 0);
    // The line goes away: closed, OpenChanged(false), Lost.
    void Lose(const QString& reason = QStringLiteral("device removed"));

    // Every write, in order, as it was handed over.
    const QList<QByteArray>& Writes() const { return m_writes; }
    void ClearWrites() { m_writes.clear(); }

    // Opening fails with this reason while it is set.
    QString openError;
    // Writes are refused while set.
    bool refuseWrites = false;
    // Where Open was last asked to go.
    QString openedWhere;

    bool Open(const QString& where, const LineSettings& settings, QString* error) override;
    void Close() override;
    bool IsOpen() const override { return m_open; }
    bool ApplySettings(const LineSettings& settings) override;
    QString Description() const override { return openedWhere; }
    bool WaitWritten(int) override { return m_open; }
    qint64 BytesAvailable() const override { return m_buffer.size(); }
    void Poll() override;
    void DiscardInput() override;

protected:
    bool WriteBytes(const QByteArray& bytes) override;
    QByteArray ReadBytes(qint64 max) override;

private:
    struct Due {
        qint64 atUs;
        QByteArray bytes;
    };
    void Schedule(qint64 atUs, const QByteArray& bytes);
    // Moves what is due by now into the buffer; true when anything moved.
    bool TakeDue();
    void Arm();

    Clock& m_clock;
    ClockTimer* m_timer;
    Responder m_responder;
    QList<Due> m_due;  // in time order
    QByteArray m_buffer;
    QList<QByteArray> m_writes;
    bool m_open = false;
};

} // namespace kv
