// The one-click drive commands: control words to register 0 and the
// frequency reference to register 1, each a function-06 frame.
#pragma once

#include <QByteArray>
#include <QString>
#include <QStringView>

namespace kv {

// Frame texts after the station address.
inline const QString kStartFrame1 = QStringLiteral("0600000476");
inline const QString kStartFrame2 = QStringLiteral("060000047F");
inline const QString kStopFrame = QStringLiteral("0600000477");
inline const QString kResetFrame1 = QStringLiteral("0600000477");
inline const QString kResetFrame2 = QStringLiteral("06000004F7");
inline const QString kSetFrequencyPrefix = QStringLiteral("060001");

// The reference digits for a frequency typed in hertz: the lenient number times
// 400 (20000 counts for 50 Hz), halves to even, as four upper-case hexadecimal
// digits; "0000" for anything outside 0..50.
QString FrequencyReferenceDigits(QStringView hertzText);

// A frame sent with its echo in the log: the frame text followed by its CRC
// text, and the bytes that text spells pair by pair.
struct EchoFrame {
    QString fullText;
    QByteArray bytes;
};
EchoFrame MakeEchoFrame(QStringView frameText);

} // namespace kv
