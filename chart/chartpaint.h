// Painting one ChartDrawPlan into the surface's picture.
//
// Two painters give the same pixels. PaintPlanWithQPainter hands every line,
// point and text to QPainter (a 1-pixel pen without antialiasing): the plain
// way, kept as the reference the fast one is checked against. ChartPainter
// does the same work at a fraction of the cost: lines and points that lie
// within the picture are set pixel by pixel along the very path QPainter's
// 1-pixel pen takes, and the texts are laid out once and kept (QStaticText),
// because formatting and shaping them anew was most of a call's cost. Lines
// that leave the picture part-way (values off the scale) still go to QPainter,
// which clips them.
#pragma once

#include "chart/chartmodel.h"

#include <QFont>
#include <QHash>
#include <QImage>
#include <QRgb>
#include <QStaticText>
#include <QString>

#include <vector>

// Colours (ready to paint) and the font of one call.
struct ChartPaintStyle {
    QRgb Back = 0;
    QRgb HorizontalGrid = 0;
    QRgb VerticalGrid = 0;
    QRgb Text = 0;
    std::vector<QRgb> Curves;  // per curve of the plan
    QFont Font;
    int Ascent = 0;  // of the font on the picture: a text's baseline lies this far below its top
};

// The reference painting: every primitive through QPainter.
void PaintPlanWithQPainter(QImage& image, const ChartDrawPlan& plan, const ChartPaintStyle& style);

class ChartPainter {
public:
    // Paints like PaintPlanWithQPainter. image must be Format_RGB32.
    void Paint(QImage& image, const ChartDrawPlan& plan, const ChartPaintStyle& style);

private:
    const QStaticText* Laid(const QString& text);

    QFont m_font;  // and the picture's resolution: what the kept texts were laid out for
    int m_dotsPerMeter = 0;
    QHash<QString, QStaticText> m_texts;
    double m_lineAscent = 0.0;
};
