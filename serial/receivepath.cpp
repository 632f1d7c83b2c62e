#include "serial/receivepath.h"

#include "serial/framecodec.h"

#include <QCoreApplication>

namespace kv {

QString ChunkTextFromBytes(const QByteArray& bytes)
{
    return BytesToHexText(bytes);
}

ChunkVerdict JudgeChunk(QStringView chunkText)
{
    ChunkVerdict verdict;
    verdict.log = !chunkText.isEmpty() && !chunkText.startsWith(u'F');
    verdict.pollReply = verdict.log && chunkText.size() == kPollReplyLength;
    return verdict;
}

QString ReceiveLogLine(QStringView chunkText)
{
    return QCoreApplication::translate("kv::Terminal", "接收: ") + chunkText.toString();
}

bool LogOverLimit(QStringView logText)
{
    return logText.size() > kLogLimit;
}

QString LogEntry(QStringView timeOfDay, QStringView line)
{
    return timeOfDay.toString() + u' ' + line.toString() + QStringLiteral("\r\n");
}

} // namespace kv
