// The tool as the program builds it (a line session, the main window over the
// session's line, the additions beside it) with the seams of the tests:
// message boxes that answer as scripted, a platform that records, file
// dialogs answered with a fixed path, settings in a temporary folder. On a
// serial port (a pseudo-terminal, drive-sim) and the system's clock, or on a
// scripted line and a virtual clock.
#pragma once

#include "app/additions.h"
#include "app/form1.h"
#include "app/preferences.h"
#include "common/clock.h"
#include "serial/faketransport.h"
#include "session/linesession.h"
#include "tests/support/fakes.h"

#include <QTemporaryDir>

#include <memory>

class QAction;
class QLabel;

namespace kv::test {

class Tool {
public:
    enum LineKind { SerialLine, ScriptedLine };

    explicit Tool(LineKind kind = SerialLine);
    ~Tool();
    Tool(const Tool&) = delete;
    Tool& operator=(const Tool&) = delete;

    RecordingMessageBoxes boxes;
    FakePlatform platform;
    FixedFiles files;  // every file dialog cancelled until a test sets a path
    QTemporaryDir dir;
    std::unique_ptr<Preferences> prefs;
    std::unique_ptr<VirtualClock> clock;  // a scripted line only
    FakeTransport* fake = nullptr;        // a scripted line only
    std::unique_ptr<LineSession> session;
    std::unique_ptr<Form1> form;
    std::unique_ptr<Additions> add;

    // The window's port text set and "打开串口" pressed; true when it opened.
    bool Open(const QString& port = QStringLiteral("COM 3"));
    // The additions made again, as at the next start (the settings kept).
    void RestartAdditions();
    // The next start of the whole tool: window and additions made again.
    void Restart();

    QAction* Action(const QString& name) const;
    QLabel* Part(const QString& name) const;
    template <typename T>
    T& Piece() const
    {
        T* piece = add->Piece<T>();
        Q_ASSERT(piece);
        return *piece;
    }
    // Lets time pass: the virtual clock on a scripted line, the event loop otherwise.
    void Pass(int ms);
};

} // namespace kv::test
