#include "tests/support/fakes.h"

#include <QDateTime>
#include <QFile>
#include <QThread>

namespace kv::test {

MsgAnswer RecordingMessageBoxes::Show(const MessageRequest& request)
{
    shown.append(request);
    if (onShow)
        onShow(request);
    if (request.buttons == MsgButtons::Ok)
        return MsgAnswer::Ok;
    if (answers.isEmpty())
        return MsgAnswer::Yes;
    return answers.takeFirst();
}

QStringList RecordingMessageBoxes::texts() const
{
    QStringList out;
    for (const MessageRequest& r : shown)
        out.append(r.text);
    return out;
}

void FakePlatform::Sleep(int milliseconds)
{
    sleeps.append(milliseconds);
    if (onSleep)
        onSleep(milliseconds);
    if (realSleep && milliseconds > 0)
        QThread::msleep(static_cast<unsigned long>(milliseconds));
}

std::optional<QByteArray> FakePlatform::LoadResource(const QString& type, int id)
{
    const auto it = resources.constFind({type, id});
    if (it == resources.constEnd())
        return std::nullopt;
    return *it;
}

bool FakePlatform::WriteFile(const QString& path, const QByteArray& bytes)
{
    writes.append({path, bytes});
    if (failWrites)
        return false;
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return false;
    return f.write(bytes) == bytes.size();
}

bool FakePlatform::StartProgram(const QString& commandLine, WindowStyle style)
{
    starts.append({commandLine, style});
    return !failStarts;
}

QString FakePlatform::NowText(const QString& pattern)
{
    return nowText.isEmpty() ? QDateTime::currentDateTime().toString(pattern) : nowText;
}

} // namespace kv::test
