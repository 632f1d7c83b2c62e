// Number rules of the chart panel's boxes and lists, kept apart from the
// widgets so that they can be checked on their own.
#pragma once

#include <QStringView>
#include <QtGlobal>

#include <optional>

namespace kv {

// More grid divisions than this could never be told apart on a screen, and a
// count in the millions would keep the drawing busy for minutes: larger counts
// are limited to it.
inline constexpr qint32 kMaxGridSplits = 1000;

// A division count box: its leading number, rounded half to even, as a 32-bit
// whole number, limited to kMaxGridSplits. Zero and below are passed on (the
// chart makes them 1).
qint32 GridSplitsFromText(QStringView text);

// A vertical limit box: its leading number as a single (beyond the single
// range: the largest single of its sign).
float VerticalLimitFromText(QStringView text);

// A scale factor box: its leading number.
double ScaleFactorFromText(QStringView text);

// The colour (0x00BBGGRR) of a row of the colour lists: 0 green, 1 white,
// 2 red; nothing for any other index (no selection).
std::optional<qint32> CurveColorOfIndex(int index);

} // namespace kv
