#include "chart/chartpaint.h"

#include <QFontMetricsF>
#include <QPainter>
#include <QPen>

#include <algorithm>
#include <cstdlib>
#include <optional>
#include <utility>

namespace {

QPen OnePixelPen(QRgb colour)
{
    QPen pen{QColor(colour)};
    pen.setWidth(1);
    return pen;
}

// Most laid-out texts kept; further ones (a scale of thousands of divisions)
// are drawn without being kept.
constexpr qsizetype kMostKeptTexts = 2048;

// The pixels of a Format_RGB32 picture.
class Pixels {
public:
    explicit Pixels(QImage& image)
        : m_bits(reinterpret_cast<quint32*>(image.bits()))
        , m_stride(image.bytesPerLine() / 4)
        , m_width(image.width())
        , m_height(image.height())
    {
    }

    int Width() const { return m_width; }
    int Height() const { return m_height; }

    void Set(qint64 x, qint64 y, quint32 colour)
    {
        if (x >= 0 && x < m_width && y >= 0 && y < m_height)
            m_bits[y * m_stride + x] = colour;
    }

    // Whether a 1-pixel pen draws the line as it is: QPainter clips a line (and
    // its ends may then move by a fraction) only where it leaves the picture by
    // more than a pixel.
    bool Unclipped(const QLine& l) const
    {
        auto in = [](int v, int extent) { return v >= -1 && v <= extent + 1; };
        return in(l.x1(), m_width) && in(l.x2(), m_width) && in(l.y1(), m_height) && in(l.y2(), m_height);
    }

    // Whether nothing of the line can show: both ends beyond the same edge.
    bool Outside(const QLine& l) const
    {
        const int lo = -1;
        const int hiX = m_width + 1;
        const int hiY = m_height + 1;
        return (l.x1() < lo && l.x2() <= lo) || (l.x1() > hiX && l.x2() >= hiX)
            || (l.y1() < lo && l.y2() <= lo) || (l.y1() > hiY && l.y2() >= hiY);
    }

    // A line between two pixel centres with a 1-pixel pen and square ends, as
    // QPainter's raster engine steps it: positions in 1/64 pixel, the minor
    // coordinate in 1/65536 pixel, one pixel per row (or per column for a line
    // flatter than 45 degrees), each end extended by half a pixel.
    void Line(const QLine& l, quint32 colour)
    {
        if (l.p1() == l.p2()) {
            Set(l.x1(), l.y1(), colour);
            return;
        }
        qint64 a1 = qint64(l.x1()) * 64;  // along the major axis, once chosen
        qint64 b1 = qint64(l.y1()) * 64;
        qint64 a2 = qint64(l.x2()) * 64;
        qint64 b2 = qint64(l.y2()) * 64;
        const bool steep = std::llabs(a2 - a1) < std::llabs(b2 - b1);
        if (steep) {
            std::swap(a1, b1);
            std::swap(a2, b2);
        }
        if (a1 > a2) {
            std::swap(a1, a2);
            std::swap(b1, b2);
        }
        const qint64 inc = (b2 - b1) * 65536 / (a2 - a1);
        qint64 b = b1 * 1024 - (inc >> 1);
        a1 -= 32;
        a2 += 32;
        qint64 a = (a1 + 32) >> 6;
        const qint64 end = (a2 + 32) >> 6;
        if (a == end)
            return;
        b += (a * 64 + (inc > 0 ? 32 : 0) - a1) * inc >> 6;
        // Steps outside the picture set nothing: skip them in one go.
        const qint64 extent = steep ? m_height : m_width;
        const qint64 across = steep ? m_width : m_height;
        if (a < 0) {
            b += -a * inc;
            a = 0;
        }
        const qint64 stop = std::min(end, extent);
        if (steep) {
            for (qint64 row = a * m_stride; a < stop; ++a, b += inc, row += m_stride) {
                const qint64 x = b >> 16;
                if (static_cast<quint64>(x) < static_cast<quint64>(across))
                    m_bits[row + x] = colour;
            }
        } else if (inc == 0) {  // a horizontal line: one run of one row
            const qint64 y = b >> 16;
            if (static_cast<quint64>(y) < static_cast<quint64>(across) && a < stop)
                std::fill(m_bits + y * m_stride + a, m_bits + y * m_stride + stop, colour);
        } else {
            for (; a < stop; ++a, b += inc) {
                const qint64 y = b >> 16;
                if (static_cast<quint64>(y) < static_cast<quint64>(across))
                    m_bits[y * m_stride + a] = colour;
            }
        }
    }

private:
    quint32* m_bits;
    qsizetype m_stride;
    int m_width;
    int m_height;
};

} // namespace

void PaintPlanWithQPainter(QImage& image, const ChartDrawPlan& plan, const ChartPaintStyle& style)
{
    image.fill(QColor(style.Back));
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing, false);
    if (!plan.HorizontalLines.empty()) {
        p.setPen(OnePixelPen(style.HorizontalGrid));
        p.drawLines(plan.HorizontalLines.data(), static_cast<int>(plan.HorizontalLines.size()));
    }
    if (!plan.VerticalLines.empty()) {
        p.setPen(OnePixelPen(style.VerticalGrid));
        p.drawLines(plan.VerticalLines.data(), static_cast<int>(plan.VerticalLines.size()));
    }
    for (std::size_t k = 0; k < plan.Curves.size(); ++k) {
        const ChartDrawPlan::Curve& c = plan.Curves[k];
        if (!c.Drawn)
            continue;
        p.setPen(OnePixelPen(style.Curves.at(k)));
        if (!c.Lines.empty())
            p.drawLines(c.Lines.data(), static_cast<int>(c.Lines.size()));
        if (!c.Points.empty())
            p.drawPoints(c.Points.data(), static_cast<int>(c.Points.size()));
    }
    if (!plan.Texts.empty()) {
        p.setFont(style.Font);
        p.setPen(OnePixelPen(style.Text));
        for (const ChartDrawPlan::Text& t : plan.Texts)
            p.drawText(QPoint(t.TopLeft.x(), t.TopLeft.y() + style.Ascent), t.Value);
    }
}

const QStaticText* ChartPainter::Laid(const QString& text)
{
    auto it = m_texts.find(text);
    if (it != m_texts.end())
        return &it.value();
    if (m_texts.size() >= kMostKeptTexts)
        return nullptr;
    QStaticText laid(text);
    laid.setTextFormat(Qt::PlainText);
    return &m_texts.insert(text, laid).value();
}

void ChartPainter::Paint(QImage& image, const ChartDrawPlan& plan, const ChartPaintStyle& style)
{
    if (image.format() != QImage::Format_RGB32) {
        PaintPlanWithQPainter(image, plan, style);
        return;
    }
    image.fill(QColor(style.Back));  // detaches the picture from any copy before the pixels are taken
    Pixels pixels(image);

    // QPainter is opened only for what it does better: clipping the odd line that
    // leaves the picture, and the texts.
    std::optional<QPainter> painter;
    QRgb painterPen = 0;
    auto painted = [&](QRgb colour) -> QPainter& {
        if (!painter) {
            painter.emplace(&image);
            painter->setRenderHint(QPainter::Antialiasing, false);
            painter->setPen(OnePixelPen(colour));
            painterPen = colour;
        } else if (painterPen != colour) {
            painter->setPen(OnePixelPen(colour));
            painterPen = colour;
        }
        return *painter;
    };
    auto lines = [&](const std::vector<QLine>& all, QRgb colour) {
        const quint32 pixel = 0xFF000000u | colour;
        for (const QLine& l : all) {
            if (pixels.Unclipped(l))
                pixels.Line(l, pixel);
            else if (!pixels.Outside(l))
                painted(colour).drawLine(l);
        }
    };

    lines(plan.HorizontalLines, style.HorizontalGrid);
    lines(plan.VerticalLines, style.VerticalGrid);
    for (std::size_t k = 0; k < plan.Curves.size(); ++k) {
        const ChartDrawPlan::Curve& c = plan.Curves[k];
        if (!c.Drawn)
            continue;
        const QRgb colour = style.Curves.at(k);
        lines(c.Lines, colour);
        const quint32 pixel = 0xFF000000u | colour;
        for (const QPoint& pt : c.Points)
            pixels.Set(pt.x(), pt.y(), pixel);
    }
    if (plan.Texts.empty())
        return;

    QPainter& p = painted(style.Text);
    p.setFont(style.Font);
    if (m_font != style.Font || m_dotsPerMeter != image.dotsPerMeterY() || m_texts.isEmpty()) {
        m_texts.clear();
        m_font = style.Font;
        m_dotsPerMeter = image.dotsPerMeterY();
        m_lineAscent = QFontMetricsF(style.Font, &image).ascent();
    }
    for (const ChartDrawPlan::Text& t : plan.Texts) {
        if (const QStaticText* laid = Laid(t.Value)) {
            // A laid-out text is placed by its top; the top is moved so that the
            // baseline falls exactly where the text output puts it.
            p.drawStaticText(QPointF(t.TopLeft.x(), t.TopLeft.y() + style.Ascent - m_lineAscent), *laid);
        } else {
            p.drawText(QPoint(t.TopLeft.x(), t.TopLeft.y() + style.Ascent), t.Value);
        }
    }
}
