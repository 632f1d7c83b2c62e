// Colours are kept as 0x00BBGGRR integers: red is the LOW byte.
// 0x0000FF is red, 0x00FF00 green, 0xFFC0C0 light blue (R C0, G C0, B FF).
#pragma once

#include <QColor>
#include <QtGlobal>

namespace kv {

inline constexpr qint32 kRed = 0x0000FF;
inline constexpr qint32 kGreen = 0x00FF00;
inline constexpr qint32 kBlue = 0xFF0000;
inline constexpr qint32 kWhite = 0xFFFFFF;
inline constexpr qint32 kBlack = 0x000000;
inline constexpr qint32 kLightBlue = 0xFFC0C0;

inline QColor BgrToQColor(qint32 bgr)
{
    return QColor(bgr & 0xFF, (bgr >> 8) & 0xFF, (bgr >> 16) & 0xFF);
}

inline qint32 QColorToBgr(const QColor& c)
{
    return (c.blue() << 16) | (c.green() << 8) | c.red();
}

} // namespace kv
