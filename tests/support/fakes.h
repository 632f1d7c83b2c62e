// Fakes of the platform seams for tests.
#pragma once

#include "common/filechooser.h"
#include "common/messageboxes.h"
#include "common/platform.h"

#include <QByteArray>
#include <QList>
#include <QMap>
#include <QPair>
#include <QString>

#include <functional>

namespace kv::test {

// Records every box and answers from a script (default: Yes for Yes/No boxes, Ok otherwise).
class RecordingMessageBoxes final : public MessageBoxes {
public:
    MsgAnswer Show(const MessageRequest& request) override;

    QList<MessageRequest> shown;
    QList<MsgAnswer> answers;  // taken from the front, one per Yes/No box
    std::function<void(const MessageRequest&)> onShow;  // runs while the box "is open"

    QStringList texts() const;
};

// Answers every file dialog with the path the test set (empty: the dialog
// cancelled), every folder dialog with the folder.
class FixedFiles final : public FileChooser {
public:
    QString SaveFileName(const FileRequest&) override { return path; }
    QString OpenFileName(const FileRequest&) override { return path; }
    QString FolderName(const FileRequest&) override { return folder; }
    QString path;
    QString folder;
};

// A platform that records instead of acting. The system directory is whatever
// the test sets (a temporary folder); sleeps only add up unless realSleep is set.
class FakePlatform final : public PlatformServices {
public:
    void Sleep(int milliseconds) override;
    QString SystemDirectory() override { return systemDirectory; }
    QChar PathSeparator() const override { return separator; }
    std::optional<QByteArray> LoadResource(const QString& type, int id) override;
    bool WriteFile(const QString& path, const QByteArray& bytes) override;
    bool StartProgram(const QString& commandLine, WindowStyle style) override;
    QString TimeOfDayText() override { return timeOfDay; }
    QString NowText(const QString& pattern) override;

    QString systemDirectory;
    QChar separator = u'/';
    QMap<QPair<QString, int>, QByteArray> resources;
    bool failWrites = false;
    bool failStarts = false;
    bool realSleep = false;
    // Runs inside every wait, after it is recorded and before a real sleep: a
    // test can act as the far end while a handler blocks.
    std::function<void(int milliseconds)> onSleep;
    QString timeOfDay = QStringLiteral("14:05:33");
    QString nowText;  // when empty NowText formats the real clock

    QList<int> sleeps;
    QList<QPair<QString, QByteArray>> writes;
    QList<QPair<QString, WindowStyle>> starts;
};

} // namespace kv::test
