// The port box ("端  口") that explains itself: its list is read again each
// time it opens, so an adapter plugged in later appears and one pulled out goes
// away, each system port with its description and maker as tooltip; the text
// in the box stays as the user typed it. While the port is open, the status
// line names the device it resolved to, where the system knows it.
#pragma once

#include <QObject>

#include <functional>

class QComboBox;
class QLabel;

namespace kv {

class StatusLine;
class Transport;
struct SystemPort;

class PortList : public QObject {
    Q_OBJECT
public:
    using Source = std::function<QList<SystemPort>()>;

    PortList(QComboBox* box, Transport& line, StatusLine& status, QObject* parent = nullptr);

    // Where the system's ports come from (SystemPorts; a fixed list in tests).
    void SetSource(Source source) { m_source = std::move(source); }

    // Reads the ports again and puts them in the list, keeping the box's text.
    // True when the rows changed.
    bool Refresh();

    QLabel* Part = nullptr;  // the description of the open port's device

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void OnOpenChanged(bool open);

    QComboBox* m_box;
    Transport& m_line;
    Source m_source;
};

} // namespace kv
