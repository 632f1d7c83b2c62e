// The line to the drive as bytes: one interface for every way bytes travel
// (a serial port; a network connection to a converter; the tests' scripted
// fake). The serial control and the transaction engine work over it and never
// know which one they have.
//
// Received bytes gather in the transport until a reader takes them (Read);
// ReadyRead says that some have arrived. Every byte put on the line and every
// byte taken from it passes the taps Transmitted and Received, whoever wrote
// or read it, so that statistics and the traffic capture see all traffic.
//
// One owner at a time: while the line is claimed (the engine has work),
// arrivals belong to the claimant and the serial control leaves them alone.
#pragma once

#include "serial/portsettings.h"

#include <QByteArray>
#include <QObject>
#include <QString>

namespace kv {

class Transport : public QObject {
    Q_OBJECT
public:
    explicit Transport(QObject* parent = nullptr);
    ~Transport() override;

    // ---- opening and closing ----
    // Opens the line to `where` (a device path, or a network address for a
    // network line) with the settings; false, with the reason in `error`, when
    // it cannot be opened.
    virtual bool Open(const QString& where, const LineSettings& settings, QString* error) = 0;
    // Closes an open line (nothing happens to a closed one).
    virtual void Close() = 0;
    virtual bool IsOpen() const = 0;
    // Opened but not established yet (a network connection being made): bytes
    // written meanwhile wait, and Connected or OpenFailed follows. A serial
    // port is established when it opens.
    virtual bool Connecting() const { return false; }
    // Whether the line settings are this line's own (a serial port), or only
    // the timing of a cable behind a converter that this end cannot see.
    virtual bool OwnsLineSettings() const { return true; }
    // New settings for an open line; false (the old ones kept) when refused.
    virtual bool ApplySettings(const LineSettings& settings) = 0;
    // The settings the line has (as last opened or applied).
    const LineSettings& Settings() const { return m_settings; }
    // What the line is, for people: the device path of a serial port,
    // "192.168.1.20:4001 (TCP)" for a converter.
    virtual QString Description() const = 0;

    // ---- writing ----
    // Hands the bytes to the system now, without waiting for them to leave;
    // false when the line refuses them (closed, failing).
    bool Write(const QByteArray& bytes);
    // Blocks until what was written has left, at most `timeoutMs`; false when
    // it has not (or the line went away meanwhile).
    virtual bool WaitWritten(int timeoutMs) = 0;

    // ---- reading ----
    // Bytes received and not taken yet.
    virtual qint64 BytesAvailable() const = 0;
    // Takes up to `max` bytes (all for 0 or less).
    QByteArray Read(qint64 max = 0);
    // Moves what the system holds into the transport now, without ReadyRead:
    // for a reader that runs inside a blocking handler.
    virtual void Poll() = 0;
    // Drops what waits, here and in the system.
    virtual void DiscardInput() = 0;

    // ---- timing of this line ----
    // Milliseconds one character takes on the line (start, data, parity and stop bits).
    virtual double CharTimeMs() const;
    // The silence that ends a reply which stopped short: max(20 ms, 3.5 characters).
    virtual int SilenceMs() const;
    // The pause between two frames: 3.5 characters, at least 1.75 ms.
    virtual double FrameGapMs() const;
    // The response timeout to use when the user has chosen none.
    virtual int DefaultResponseTimeoutMs() const { return 500; }

    // ---- one owner at a time ----
    void SetClaimed(bool claimed);
    bool Claimed() const { return m_claimed; }

signals:
    // Bytes have arrived (not raised by Poll).
    void ReadyRead();
    // Taps: every byte put on the line, every byte taken from it, as taken.
    void Transmitted(const QByteArray& bytes);
    void Received(const QByteArray& bytes);
    // The line has been opened or closed (by the program, or because it went away).
    void OpenChanged(bool open);
    // The line went away (an adapter pulled, the peer gone); it is closed.
    // Comes after OpenChanged(false).
    void Lost(const QString& reason);
    // A line that was Connecting is established now.
    void Connected();
    // A line that was Connecting could not be established; it is closed.
    // Comes after OpenChanged(false).
    void OpenFailed(const QString& reason);
    void ClaimChanged(bool claimed);

protected:
    // The concrete line: queue bytes for the system (false when refused), and take bytes.
    virtual bool WriteBytes(const QByteArray& bytes) = 0;
    virtual QByteArray ReadBytes(qint64 max) = 0;
    void SetSettingsKept(const LineSettings& settings) { m_settings = settings; }

private:
    LineSettings m_settings;
    bool m_claimed = false;
    bool m_readyQueued = false;
};

} // namespace kv
