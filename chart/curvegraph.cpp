#include "chart/curvegraph.h"

#include "chart/chartpaint.h"
#include "common/colors.h"

#include <QApplication>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QHash>
#include <QLabel>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QPalette>
#include <QResizeEvent>

#include <cmath>
#include <limits>
#include <stdexcept>

// ---- child controls ------------------------------------------------------------

// The drawing surface. With AutoRedraw on it keeps its picture: every repaint
// shows what DrawGridCurve drew last. With AutoRedraw off it keeps nothing: a
// drawing shows when it is made, and a repaint the system asks for later (the
// surface shown again, uncovered, resized) finds only the background.
class ChartSurface : public QWidget {
public:
    explicit ChartSurface(QWidget* parent)
        : QWidget(parent)
    {
        setObjectName(QStringLiteral("picGraph"));
        setMouseTracking(true);  // moves are reported without a button, too
        setAttribute(Qt::WA_OpaquePaintEvent);
    }

    // Keeps the picture when the size changes: the old image stays at the top left,
    // new parts show the background.
    void ResizeImage(const QSize& size)
    {
        if (image.size() == size)
            return;
        QImage next(size, QImage::Format_RGB32);
        if (next.isNull()) {
            image = QImage();
            return;
        }
        // Text in the picture has the size it has on the screen.
        next.setDotsPerMeterX(qRound(logicalDpiX() / 0.0254));
        next.setDotsPerMeterY(qRound(logicalDpiY() / 0.0254));
        next.fill(kv::BgrToQColor(CurveGraph::ResolveColor(backColor)));
        if (!image.isNull()) {
            QPainter p(&next);
            p.drawImage(0, 0, image);
        }
        image = std::move(next);
    }

    // Puts a new drawing on the screen: later with AutoRedraw (the picture is
    // kept anyway), at once without it (nothing else will show it).
    void ShowDrawing()
    {
        if (autoRedraw) {
            update();
            return;
        }
        m_showingDrawing = true;
        repaint();
        m_showingDrawing = false;
    }

    QImage image;
    qint32 backColor = 0;
    qint32 foreColor = 0xFFFFFF;  // design-time text colour
    bool autoRedraw = true;
    QFont axesFont;

protected:
    void paintEvent(QPaintEvent* event) override
    {
        QPainter p(this);
        const QColor back = kv::BgrToQColor(CurveGraph::ResolveColor(backColor));
        if (image.isNull() || !(autoRedraw || m_showingDrawing)) {
            p.fillRect(event->rect(), back);
            return;
        }
        const QRect shown = event->rect() & image.rect();
        p.drawImage(shown.topLeft(), image, shown);
        if (shown != event->rect()) {
            const QRegion rest = QRegion(event->rect()) - QRegion(shown);
            for (const QRect& r : rest)
                p.fillRect(r, back);
        }
    }

private:
    bool m_showingDrawing = false;
};

// The frame of a legend entry, shown while the entry is dragged.
class LegendFrame : public QWidget {
public:
    explicit LegendFrame(QWidget* parent)
        : QWidget(parent)
    {
        setAttribute(Qt::WA_TransparentForMouseEvents);
        hide();
    }
    void SetColor(qint32 colour)
    {
        m_color = colour;
        update();
    }
    qint32 Color() const { return m_color; }

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter p(this);
        p.setPen(QPen(kv::BgrToQColor(CurveGraph::ResolveColor(m_color)), 1));
        p.setBrush(Qt::NoBrush);
        p.drawRect(0, 0, width() - 1, height() - 1);
    }

private:
    qint32 m_color = 0xFFFFFF;
};

namespace {

short ButtonCode(Qt::MouseButtons b)
{
    short code = 0;
    if (b & Qt::LeftButton)
        code |= 1;
    if (b & Qt::RightButton)
        code |= 2;
    if (b & Qt::MiddleButton)
        code |= 4;
    return code;
}

short ShiftCode(Qt::KeyboardModifiers m)
{
    short code = 0;
    if (m & Qt::ShiftModifier)
        code |= 1;
    if (m & Qt::ControlModifier)
        code |= 2;
    if (m & Qt::AltModifier)
        code |= 4;
    return code;
}

// Surface extent in pixels for a control extent in pixels: 52 twips less, never negative.
int SurfaceExtent(int controlPixels)
{
    const double twips = static_cast<double>(controlPixels) * CurveGraph::kTwipsPerPixel
        - CurveGraph::kSurfaceMarginTwips;
    return std::max(0, static_cast<int>(std::lround(twips / CurveGraph::kTwipsPerPixel)));
}

const QString kFirstLegendText = QStringLiteral("\u2014 1");

} // namespace

// ---- construction (Initialize) -------------------------------------------------

CurveGraph::CurveGraph(QWidget* parent)
    : QWidget(parent)
{
    m_surface = new ChartSurface(this);
    m_surface->axesFont = m_surface->font();
    m_surface->installEventFilter(this);
    m_surface->setGeometry(0, 0, SurfaceExtent(width()), SurfaceExtent(height()));
    m_surface->ResizeImage(m_surface->size());

    CreateLegendElement(1);
    SetLabelColor(m_labels[0], ChartModel::kDefaultCurveColor);
    RebuildLegend();
    ClearAll();
}

CurveGraph::~CurveGraph() = default;

void CurveGraph::CreateLegendElement(short Index)
{
    const auto at = static_cast<std::size_t>(Index - 1);
    if (at < m_labels.size())
        return;  // the element exists already: it is reused
    auto* label = new QLabel(m_surface);
    label->setObjectName(QStringLiteral("lblLegend%1").arg(Index));
    label->setAutoFillBackground(false);  // transparent: the curves show behind it
    label->setTextFormat(Qt::PlainText);
    label->installEventFilter(this);
    auto* frame = new LegendFrame(m_surface);
    frame->setObjectName(QStringLiteral("ShapeLegend%1").arg(Index));
    if (!m_labels.empty()) {
        // A copy of element 1.
        const QLabel* first = m_labels.front();
        if (first->testAttribute(Qt::WA_SetFont))
            label->setFont(first->font());
        label->setPalette(first->palette());
        label->setText(first->text());
        label->adjustSize();
        label->setVisible(false);
        frame->SetColor(m_frames.front()->Color());
    }
    m_labels.push_back(label);
    m_frames.push_back(frame);
}

QLabel* CurveGraph::Label(short Index) const
{
    if (Index < 1 || static_cast<std::size_t>(Index) > m_labels.size())
        throw std::out_of_range("legend label " + std::to_string(Index) + " does not exist");
    return m_labels[static_cast<std::size_t>(Index - 1)];
}

LegendFrame* CurveGraph::Frame(short Index) const
{
    if (Index < 1 || static_cast<std::size_t>(Index) > m_frames.size())
        throw std::out_of_range("legend frame " + std::to_string(Index) + " does not exist");
    return m_frames[static_cast<std::size_t>(Index - 1)];
}

void CurveGraph::SetLabelText(QLabel* label, const QString& text)
{
    label->setText(text);
    label->adjustSize();
}

void CurveGraph::SetLabelColor(QLabel* label, qint32 colour)
{
    QPalette pal = label->palette();
    pal.setColor(QPalette::WindowText, kv::BgrToQColor(ResolveColor(colour)));
    label->setPalette(pal);
}

// ---- samples -------------------------------------------------------------------

void CurveGraph::AddValue(float yValue, short Index)
{
    m_model.AddValue(yValue, Index);
    ApplyLegendVisibility(Index);
}

void CurveGraph::ClearAll()
{
    m_model.ClearAll(m_surface->width(), m_surface->height());
}

// ---- drawing -------------------------------------------------------------------

int CurveGraph::DrawGridCurve()
{
    QImage& image = m_surface->image;
    if (image.size() != m_surface->size())
        m_surface->ResizeImage(m_surface->size());
    const QFontMetrics fm = image.isNull() ? QFontMetrics(m_surface->axesFont, m_surface)
                                           : QFontMetrics(m_surface->axesFont, &image);
    if (m_textWidthFont != m_surface->axesFont || m_textWidthDpm != image.dotsPerMeterX()) {
        m_textWidths.clear();
        m_textWidthFont = m_surface->axesFont;
        m_textWidthDpm = image.dotsPerMeterX();
    }
    // The time texts are the same few for many calls: their widths are kept.
    m_model.PlanDrawing(m_plan, fm.height(), [&](const QString& s) {
        auto it = m_textWidths.constFind(s);
        if (it != m_textWidths.cend())
            return it.value();
        if (m_textWidths.size() > 256)
            m_textWidths.clear();
        const int w = fm.horizontalAdvance(s);
        m_textWidths.insert(s, w);
        return w;
    });
    if (image.isNull())
        return 0;

    ChartPaintStyle& style = m_style;
    style.Back = ResolveRgb(m_surface->backColor);
    style.HorizontalGrid = ResolveRgb(m_model.HorizontalGridColor());
    style.VerticalGrid = ResolveRgb(m_model.VerticalGridColor());
    style.Text = ResolveRgb(m_surface->foreColor);
    style.Curves.resize(m_plan.Curves.size());
    for (std::size_t k = 0; k < m_plan.Curves.size(); ++k)
        style.Curves[k] = ResolveRgb(m_plan.Curves[k].Color);
    if (style.Font != m_surface->axesFont)
        style.Font = m_surface->axesFont;
    style.Ascent = fm.ascent();
    if (m_referencePainting)
        PaintPlanWithQPainter(image, m_plan, style);
    else
        m_painter.Paint(image, m_plan, style);
    m_surface->ShowDrawing();
    return 0;
}

const QImage& CurveGraph::Picture() const
{
    return m_surface->image;
}

QImage CurveGraph::ShownPicture() const
{
    return m_surface->grab().toImage();
}

// ---- geometry and legends ------------------------------------------------------

void CurveGraph::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    m_surface->setGeometry(0, 0, SurfaceExtent(width()), SurfaceExtent(height()));
    m_surface->ResizeImage(m_surface->size());
    LayoutLegends();
    ClearAll();
}

void CurveGraph::paintEvent(QPaintEvent*)
{
    if (m_borderStyle != 1)
        return;
    QPainter p(this);
    p.setPen(palette().color(QPalette::WindowText));
    p.drawRect(0, 0, width() - 1, height() - 1);
}

void CurveGraph::LayoutLegends()
{
    QLabel* first = m_labels.front();
    if (!m_model.LegendPinned(1))
        first->move(static_cast<int>(std::lround((m_surface->width() - first->width()) / 2.0)), first->y());
    FitLegendBox(1);
    for (short i = 2; i <= m_model.CurveCount(); ++i) {
        if (static_cast<std::size_t>(i) > m_labels.size())
            break;
        QLabel* label = Label(i);
        if (!m_model.LegendPinned(i))
            label->move(first->x(), Label(static_cast<short>(i - 1))->y() + label->height());
        FitLegendBox(i);
    }
}

void CurveGraph::RebuildLegend()
{
    QLabel* first = Label(1);
    SetLabelText(first, kFirstLegendText);
    first->move(static_cast<int>(std::lround((m_surface->width() - first->width()) / 2.0)), kLegendTop);
    ApplyLegendVisibility(1);
    FitLegendBox(1);
    for (short i = 2; i <= m_model.CurveCount(); ++i) {
        try {
            CreateLegendElement(i);
            QLabel* label = Label(i);
            SetLabelColor(label, m_model.CurveLineColor(i));
            SetLabelText(label, m_model.LegendMarker() + QString::number(i));
            label->move(first->x(), Label(static_cast<short>(i - 1))->y() + label->height());
            ApplyLegendVisibility(i);
            FitLegendBox(i);
        } catch (const std::exception&) {
            // An element that cannot be made or placed is skipped.
        }
    }
    HideLegendsAbove(m_model.CurveCount());
}

// Labels of curves above a lowered count belong to no curve any more: they are
// hidden (and kept, so that raising the count again reuses them).
void CurveGraph::HideLegendsAbove(short count)
{
    for (std::size_t k = static_cast<std::size_t>(count); k < m_labels.size(); ++k) {
        m_labels[k]->hide();
        m_frames[k]->hide();
    }
}

void CurveGraph::FitLegendBox(short Index)
{
    QLabel* label = Label(Index);
    LegendFrame* frame = Frame(Index);
    frame->setGeometry(label->geometry());
    const QRect r = frame->geometry();
    m_model.SetLegendRect(Index, {static_cast<float>(r.x()), static_cast<float>(r.y())},
                          {static_cast<float>(r.x() + r.width()), static_cast<float>(r.y() + r.height())});
    frame->hide();
    frame->SetColor(InverseColor(m_surface->backColor));
}

void CurveGraph::ApplyLegendVisibility(short Index)
{
    Label(Index)->setVisible(m_model.LegendVisible(Index));
}

void CurveGraph::FixLegend(const QString& strText, short Index)
{
    m_model.CheckIndex(Index);  // nothing changes for a curve that does not exist
    QLabel* label = Label(Index);
    SetLabelText(label, m_model.LegendMarker() + strText);
    SetLabelColor(label, m_model.CurveLineColor(Index));
    FitLegendBox(Index);
}

void CurveGraph::about() {}

// ---- colours -------------------------------------------------------------------

void CurveGraph::SplitRgb(qint32 colour, short& red, short& green, short& blue)
{
    red = static_cast<short>(colour % 256);
    green = static_cast<short>((colour / 256) % 256);
    blue = static_cast<short>(colour / 65536);
}

qint32 CurveGraph::ResolveColor(qint32 colour)
{
    const auto bits = static_cast<quint32>(colour);
    if ((bits & 0x80000000u) && (bits & 0x7FFFFF00u) == 0) {
        // A system-colour code: the colour the desktop's palette gives that element.
        const QPalette pal = QGuiApplication::instance() ? QGuiApplication::palette() : QPalette();
        QPalette::ColorRole role = QPalette::Window;
        QPalette::ColorGroup group = QPalette::Active;
        switch (bits & 0xFFu) {
        case 2: case 13: role = QPalette::Highlight; break;                 // caption, highlight
        case 9: case 14: role = QPalette::HighlightedText; break;          // caption text
        case 5: role = QPalette::Base; break;                              // window
        case 8: role = QPalette::Text; break;                              // window text
        case 7: role = QPalette::WindowText; break;                        // menu text
        case 15: role = QPalette::Button; break;                           // button face
        case 18: role = QPalette::ButtonText; break;                       // button text
        case 16: case 12: role = QPalette::Dark; break;                    // shadow, workspace
        case 17: role = QPalette::Text; group = QPalette::Disabled; break; // grey text
        case 20: role = QPalette::Light; break;                            // button highlight
        case 21: case 6: role = QPalette::Shadow; break;                   // dark shadow, frame
        case 22: role = QPalette::Midlight; break;                         // 3D light
        case 23: role = QPalette::ToolTipText; break;                      // info text
        case 24: role = QPalette::ToolTipBase; break;                      // info background
        default: role = QPalette::Window; break;
        }
        return kv::QColorToBgr(pal.color(group, role));
    }
    return static_cast<qint32>(bits & 0xFFFFFFu);
}

QRgb CurveGraph::ResolveRgb(qint32 colour)
{
    return kv::BgrToQColor(ResolveColor(colour)).rgb();
}

qint32 CurveGraph::InverseColor(qint32 colour)
{
    short r = 0, g = 0, b = 0;
    SplitRgb(ResolveColor(colour), r, g, b);
    return (255 - r) + (255 - g) * 256 + (255 - b) * 65536;
}

// ---- properties ----------------------------------------------------------------

bool CurveGraph::AutoRedraw() const { return m_surface->autoRedraw; }
void CurveGraph::setAutoRedraw(bool v)
{
    m_surface->autoRedraw = v;  // from the next repaint on
    emit PropertyChanged(QStringLiteral("AutoRedraw"));
}

qint32 CurveGraph::BackColor() const { return m_surface->backColor; }
void CurveGraph::setBackColor(qint32 v)
{
    m_surface->backColor = v;
    // A new background clears the picture, as on any drawing surface.
    if (!m_surface->image.isNull())
        m_surface->image.fill(kv::BgrToQColor(ResolveColor(v)));
    m_surface->update();
    const qint32 frameColour = InverseColor(v);
    for (short i = 1; i <= m_model.CurveCount(); ++i)
        Frame(i)->SetColor(frameColour);
    emit PropertyChanged(QStringLiteral("BackColor"));
}

qint32 CurveGraph::BorderStyle() const { return m_borderStyle; }
void CurveGraph::setBorderStyle(qint32 v)
{
    if (v < std::numeric_limits<short>::min() || v > std::numeric_limits<short>::max())
        throw std::overflow_error("BorderStyle " + std::to_string(v) + " does not fit 16 bits");
    m_borderStyle = static_cast<short>(v);
    update();
    emit PropertyChanged(QStringLiteral("BorderStyle"));
}

bool CurveGraph::ShowGrid() const { return m_model.ShowGrid(); }
void CurveGraph::setShowGrid(bool v)
{
    m_model.SetShowGrid(v);
    emit PropertyChanged(QStringLiteral("ShowGrid"));
}

qint32 CurveGraph::MovingGrid() const { return m_model.MovingGrid(); }
void CurveGraph::setMovingGrid(qint32 v)
{
    m_model.SetMovingGrid(v);
    ClearAll();
    emit PropertyChanged(QStringLiteral("MovingGrid"));
}

qint32 CurveGraph::MovingCurve() const { return m_model.MovingCurve(); }
void CurveGraph::setMovingCurve(qint32 v)
{
    m_model.SetMovingCurve(v);
    ClearAll();
    emit PropertyChanged(QStringLiteral("MovingCurve"));
}

qint32 CurveGraph::HorizontalSplits() const { return m_model.HorizontalSplits(); }
void CurveGraph::setHorizontalSplits(qint32 v)
{
    m_model.SetHorizontalSplits(v);
    emit PropertyChanged(QStringLiteral("HorizontalSplits"));
}

qint32 CurveGraph::VerticalSplits() const { return m_model.VerticalSplits(); }
void CurveGraph::setVerticalSplits(qint32 v)
{
    m_model.SetVerticalSplits(v);
    emit PropertyChanged(QStringLiteral("VerticalSplits"));
}

float CurveGraph::MaxVertical() const { return m_model.MaxVertical(); }
void CurveGraph::setMaxVertical(float v)
{
    m_model.SetMaxVertical(v);
    emit PropertyChanged(QStringLiteral("MaxVertical"));
}

float CurveGraph::MinVertical() const { return m_model.MinVertical(); }
void CurveGraph::setMinVertical(float v)
{
    m_model.SetMinVertical(v);
    emit PropertyChanged(QStringLiteral("MinVertical"));
}

qint32 CurveGraph::HorizontalGridColor() const { return m_model.HorizontalGridColor(); }
void CurveGraph::setHorizontalGridColor(qint32 v)
{
    m_model.SetHorizontalGridColor(v);
    emit PropertyChanged(QStringLiteral("HorizontalGridColor"));
}

qint32 CurveGraph::VerticalGridColor() const { return m_model.VerticalGridColor(); }
void CurveGraph::setVerticalGridColor(qint32 v)
{
    m_model.SetVerticalGridColor(v);
    emit PropertyChanged(QStringLiteral("VerticalGridColor"));
}

qint32 CurveGraph::CurveLineColor(short Index) const { return m_model.CurveLineColor(Index); }
void CurveGraph::setCurveLineColor(short Index, qint32 colour)
{
    m_model.SetCurveLineColor(Index, colour);
    SetLabelColor(Label(Index), colour);
    emit PropertyChanged(QStringLiteral("CurveLineColor"));
}

qint32 CurveGraph::CurveLineType(short Index) const { return m_model.CurveLineType(Index); }
void CurveGraph::setCurveLineType(short Index, qint32 type)
{
    m_model.SetCurveLineType(Index, type);  // checks the index, stores, renews the marker
    try {
        const QString caption = Label(Index)->text();
        if (caption.size() >= 2)
            FixLegend(caption.mid(2), Index);
    } catch (const std::exception&) {
        // The type is stored; renewing the caption is best effort.
    }
    emit PropertyChanged(QStringLiteral("CurveLineType"));
}

qint32 CurveGraph::AxesTextColor() const { return m_model.AxesTextColor(); }
void CurveGraph::setAxesTextColor(qint32 v)
{
    m_model.SetAxesTextColor(v);
    m_surface->foreColor = v;
    emit PropertyChanged(QStringLiteral("AxesTextColor"));
}

bool CurveGraph::ShowAxesText() const { return m_model.ShowAxesText(); }
void CurveGraph::setShowAxesText(bool v)
{
    m_model.SetShowAxesText(v);
    emit PropertyChanged(QStringLiteral("ShowAxesText"));
}

QString CurveGraph::xBarNowTimeFormat() const { return m_model.xBarNowTimeFormat(); }
void CurveGraph::setxBarNowTimeFormat(const QString& v)
{
    m_model.SetxBarNowTimeFormat(v);
    emit PropertyChanged(QStringLiteral("xBarNowTimeFormat"));
}

QFont CurveGraph::AxesFont() const { return m_surface->axesFont; }
void CurveGraph::setAxesFont(const QFont& v)
{
    m_surface->axesFont = v;
    emit PropertyChanged(QStringLiteral("AxesFont"));
}

short CurveGraph::CurveCount() const { return m_model.CurveCount(); }
void CurveGraph::setCurveCount(short v)
{
    m_model.SetCurveCount(v);
    RebuildLegend();
    emit PropertyChanged(QStringLiteral("CurveCount"));
}

bool CurveGraph::ShowLegend(short Index) const { return m_model.LegendVisible(Index); }
void CurveGraph::setShowLegend(short Index, bool v)
{
    m_model.SetShowLegend(Index, v);
    ApplyLegendVisibility(Index);
    emit PropertyChanged(QStringLiteral("ShowLegend"));
}

QFont CurveGraph::LegendFont(short Index) const { return Label(Index)->font(); }
void CurveGraph::setLegendFont(short Index, const QFont& v)
{
    QLabel* label = Label(Index);
    label->setFont(v);
    label->adjustSize();
    if (Index <= m_model.CurveCount())
        FitLegendBox(Index);  // the frame follows the label's new size
    emit PropertyChanged(QStringLiteral("LegendFont"));
}

QString CurveGraph::PropertyDescription(const QString& name)
{
    static const QHash<QString, QString> descriptions = {
        {QStringLiteral("AutoRedraw"), QStringLiteral("返回/设置 控件是否允许自动重绘！")},
        {QStringLiteral("BackColor"), QStringLiteral("返回/设置 控件背景颜色。")},
        {QStringLiteral("BorderStyle"), QStringLiteral("返回/设置 控件边框类型。")},
        {QStringLiteral("ShowGrid"), QStringLiteral("返回/设置 是否显示水平和竖直网格线。")},
        {QStringLiteral("MovingGrid"), QStringLiteral("返回/设置 竖直网格线移动方式，也是曲线移动方向。")},
        {QStringLiteral("MovingCurve"),
         QStringLiteral("返回/设置 网格线静止时，曲线移动方向！注意：仅在网格线静止时有效！！！")},
        {QStringLiteral("HorizontalSplits"), QStringLiteral("返回/设置 水平分成多少份？画网格线用。")},
        {QStringLiteral("VerticalSplits"), QStringLiteral("返回/设置 铅垂方向分成多少份？画网格线用。")},
        {QStringLiteral("MaxVertical"), QStringLiteral("返回/设置 铅垂方向最大值。")},
        {QStringLiteral("MinVertical"), QStringLiteral("返回/设置 铅垂方向最小值。")},
        {QStringLiteral("HorizontalGridColor"), QStringLiteral("返回/设置 水平网格线颜色。")},
        {QStringLiteral("VerticalGridColor"), QStringLiteral("返回/设置 竖直网格线颜色。")},
        {QStringLiteral("CurveLineColor"), QStringLiteral("返回/设置 曲线颜色。")},
        {QStringLiteral("CurveLineType"), QStringLiteral("返回/设置 曲线类型：实线？虚线？")},
        {QStringLiteral("AxesTextColor"), QStringLiteral("返回/设置 坐标轴文字颜色。")},
        {QStringLiteral("ShowAxesText"), QStringLiteral("返回/设置 是否显示坐标轴文字？")},
        {QStringLiteral("xBarNowTimeFormat"), QStringLiteral("返回/设置 X 坐标轴文字（时间）格式！")},
        {QStringLiteral("AxesFont"), QStringLiteral("返回/设置 X 和 Y 坐标轴文字字体！")},
        {QStringLiteral("CurveCount"),
         QStringLiteral("返回/设置 曲线条数（在一个坐标轴上，一次可画多条曲线）")},
        {QStringLiteral("ShowLegend"),
         QStringLiteral("返回/设置 是否显示某条曲线的图例说明。当那条曲线没有用AddValue添加数据时，本属性无效！")},
        {QStringLiteral("LegendFont"), QStringLiteral("返回/设置 图例说明文字字体")},
    };
    return descriptions.value(name);
}

// ---- state ---------------------------------------------------------------------

qint32 CurveGraph::PointCount() const { return m_model.PointCount(); }
qint32 CurveGraph::PlotHeight() const { return m_model.PlotHeight(); }
qint32 CurveGraph::GridOffset() const { return m_model.GridOffset(); }
qint32 CurveGraph::LastEmptyIndex() const { return m_model.LastEmptyIndex(); }
qint32 CurveGraph::TimeLabelIndex() const { return m_model.TimeLabelIndex(); }
QStringList CurveGraph::TimeLabels() const { return m_model.TimeLabels(); }
const SampleBuffer& CurveGraph::CurveBuffers(short Index) const { return m_model.CurveBuffers(Index); }
bool CurveGraph::CurveHasData(short Index) const { return m_model.CurveHasData(Index); }
QString CurveGraph::LegendMarker() const { return m_model.LegendMarker(); }
LegendPoint CurveGraph::LegendTopLeft(short Index) const { return m_model.LegendTopLeft(Index); }
LegendPoint CurveGraph::LegendBottomRight(short Index) const { return m_model.LegendBottomRight(Index); }
LegendPoint CurveGraph::LegendDragOffset(short Index) const { return m_model.LegendDragOffset(Index); }
bool CurveGraph::LegendDragging(short Index) const { return m_model.LegendDragging(Index); }
bool CurveGraph::LegendPinned(short Index) const { return m_model.LegendPinned(Index); }

void CurveGraph::SetTimeSource(ChartModel::TimeSource source)
{
    m_model.SetTimeSource(std::move(source));
}

// ---- lifecycle and persistence -------------------------------------------------

QFont CurveGraph::AmbientFont() const
{
    if (m_hasAmbientFont)
        return m_ambientFont;
    if (parentWidget())
        return parentWidget()->font();
    return QApplication::font();
}

void CurveGraph::setAmbientFont(const QFont& font)
{
    m_ambientFont = font;
    m_hasAmbientFont = true;
}

void CurveGraph::InitProperties()
{
    if (!m_userMode)
        about();
}

void CurveGraph::Terminate()
{
    m_model.Release();
}

namespace {

// Keys of the per-curve block: curve 1 under the plain names, curve i >= 2 under
// the name followed by its number ("CurveLineColor2"), so that every curve keeps
// its own values and a layout with one curve reads as before.
QString CurveKey(const char* name, short curve)
{
    QString key = QString::fromLatin1(name);
    if (curve >= 2)
        key += QString::number(curve);
    return key;
}

QVariant Short(short v) { return QVariant::fromValue<short>(v); }

} // namespace

void CurveGraph::WriteProperties(PropertyBag& store) const
{
    store.WriteProperty("AutoRedraw", AutoRedraw(), true);
    store.WriteProperty("BackColor", BackColor(), 0);
    store.WriteProperty("BorderStyle", Short(m_borderStyle), 0);
    store.WriteProperty("ShowGrid", ShowGrid(), true);
    store.WriteProperty("MovingGrid", MovingGrid(), 2);
    store.WriteProperty("MovingCurve", MovingCurve(), 2);
    store.WriteProperty("HorizontalSplits", HorizontalSplits(), 9);
    store.WriteProperty("VerticalSplits", VerticalSplits(), 9);
    store.WriteProperty("MaxVertical", MaxVertical(), 9.0f);
    store.WriteProperty("MinVertical", MinVertical(), 0.0f);
    store.WriteProperty("HorizontalGridColor", HorizontalGridColor(), ChartModel::kDefaultGridColor);
    store.WriteProperty("VerticalGridColor", VerticalGridColor(), ChartModel::kDefaultGridColor);
    for (short i = 1; i <= m_model.CurveCount(); ++i) {
        store.WriteProperty(CurveKey("CurveLineColor", i), CurveLineColor(i), ChartModel::kDefaultCurveColor);
        store.WriteProperty(CurveKey("CurveLineType", i), CurveLineType(i), 0);
        // A font is always stored, so that the layout keeps its look whatever the host's font.
        store.WriteProperty(CurveKey("LegendFont", i), LegendFont(i));
        store.WriteProperty(CurveKey("ShowLegend", i), m_model.ShowLegendSwitch(i), true);
    }
    store.WriteProperty("AxesTextColor", AxesTextColor(), ChartModel::kDefaultAxesTextColor);
    store.WriteProperty("ShowAxesText", ShowAxesText(), true);
    store.WriteProperty("xBarNowTimeFormat", xBarNowTimeFormat(), QStringLiteral("hh:mm:ss"));
    store.WriteProperty("CurveCount", Short(CurveCount()), Short(1));
    store.WriteProperty("AxesFont", AxesFont());
}

void CurveGraph::ReadProperties(PropertyBag& store)
{
    setAutoRedraw(store.ReadProperty("AutoRedraw", true).toBool());
    setBackColor(store.ReadProperty("BackColor", 0).toInt());
    setBorderStyle(store.ReadProperty("BorderStyle", 0).toInt());
    setShowGrid(store.ReadProperty("ShowGrid", true).toBool());
    setMovingGrid(store.ReadProperty("MovingGrid", 2).toInt());
    setMovingCurve(store.ReadProperty("MovingCurve", 2).toInt());
    setHorizontalSplits(store.ReadProperty("HorizontalSplits", 9).toInt());
    setVerticalSplits(store.ReadProperty("VerticalSplits", 9).toInt());
    setMaxVertical(store.ReadProperty("MaxVertical", 9.0f).toFloat());
    setMinVertical(store.ReadProperty("MinVertical", 0.0f).toFloat());
    setHorizontalGridColor(store.ReadProperty("HorizontalGridColor", ChartModel::kDefaultGridColor).toInt());
    setVerticalGridColor(store.ReadProperty("VerticalGridColor", ChartModel::kDefaultGridColor).toInt());

    const QFont ambient = AmbientFont();
    auto readCurve = [&](short i) {
        setCurveLineColor(i, store.ReadProperty(CurveKey("CurveLineColor", i), ChartModel::kDefaultCurveColor).toInt());
        setCurveLineType(i, store.ReadProperty(CurveKey("CurveLineType", i), 0).toInt());
        QLabel* label = Label(i);
        label->setFont(store.ReadProperty(CurveKey("LegendFont", i), ambient).value<QFont>());
        label->adjustSize();
        FitLegendBox(i);
        setShowLegend(i, store.ReadProperty(CurveKey("ShowLegend", i), true).toBool());
    };
    // The block of the curves that exist now (one), before the count, as it always was...
    for (short i = 1; i <= m_model.CurveCount(); ++i)
        readCurve(i);

    setAxesTextColor(store.ReadProperty("AxesTextColor", ChartModel::kDefaultAxesTextColor).toInt());
    setShowAxesText(store.ReadProperty("ShowAxesText", true).toBool());
    setxBarNowTimeFormat(store.ReadProperty("xBarNowTimeFormat", QStringLiteral("hh:mm:ss")).toString());
    const QVariant count = store.ReadProperty("CurveCount", Short(1));
    bool ok = false;
    const int n = count.toInt(&ok);
    if (!ok)
        throw PropertyBag::TypeError("stored CurveCount is not a number");
    setCurveCount(static_cast<short>(std::clamp(n, -32768, 32767)));

    // ...and again for every curve after the count's re-creation, which returns each
    // curve to its defaults: so colours, line types and legend switches survive.
    for (short i = 1; i <= m_model.CurveCount(); ++i)
        readCurve(i);

    m_surface->axesFont = store.ReadProperty("AxesFont", ambient).value<QFont>();
}

// ---- mouse ---------------------------------------------------------------------

bool CurveGraph::eventFilter(QObject* watched, QEvent* event)
{
    const QEvent::Type type = event->type();
    const bool mouse = type == QEvent::MouseButtonPress || type == QEvent::MouseButtonRelease
        || type == QEvent::MouseMove || type == QEvent::MouseButtonDblClick;
    if (!mouse)
        return QWidget::eventFilter(watched, event);
    if (watched == m_surface) {
        SurfaceMouse(event);
        return false;
    }
    for (std::size_t k = 0; k < m_labels.size(); ++k) {
        if (watched == m_labels[k]) {
            if (static_cast<short>(k + 1) <= m_model.CurveCount())
                LegendMouse(static_cast<short>(k + 1), event);
            return true;  // pointer actions on the legend are not passed on
        }
    }
    return QWidget::eventFilter(watched, event);
}

void CurveGraph::SurfaceMouse(QEvent* event)
{
    auto* me = static_cast<QMouseEvent*>(event);
    const auto x = static_cast<float>(me->position().x());
    const auto y = static_cast<float>(me->position().y());
    const short shift = ShiftCode(me->modifiers());
    switch (event->type()) {
    case QEvent::MouseButtonDblClick: emit DblClick(); break;
    case QEvent::MouseButtonPress: emit MouseDown(ButtonCode(me->button()), shift, x, y); break;
    case QEvent::MouseMove: emit MouseMove(ButtonCode(me->buttons()), shift, x, y); break;
    case QEvent::MouseButtonRelease: emit MouseUp(ButtonCode(me->button()), shift, x, y); break;
    default: break;
    }
}

// Dragging a legend entry: a left press shows the frame on the label, the frame
// follows the pointer's travel, and on release the label jumps to the frame and is
// pinned there. Only the travel since the press counts, so the label's own
// coordinates (in pixels) serve as well as any.
void CurveGraph::LegendMouse(short Index, QEvent* event)
{
    auto* me = static_cast<QMouseEvent*>(event);
    const auto px = static_cast<float>(me->position().x());
    const auto py = static_cast<float>(me->position().y());
    LegendFrame* frame = Frame(Index);
    switch (event->type()) {
    case QEvent::MouseButtonPress: {
        m_model.SetLegendDragging(Index, false);
        if (ButtonCode(me->button()) != 1)
            return;
        m_model.SetLegendDragging(Index, true);
        const LegendPoint topLeft = m_model.LegendTopLeft(Index);
        m_model.SetLegendDragOffset(Index, {px - topLeft.X, py - topLeft.Y});
        frame->show();
        frame->raise();
        break;
    }
    case QEvent::MouseMove: {
        if (!m_model.LegendDragging(Index))
            return;
        const LegendPoint offset = m_model.LegendDragOffset(Index);
        frame->move(static_cast<int>(std::lround(px - offset.X)), static_cast<int>(std::lround(py - offset.Y)));
        break;
    }
    case QEvent::MouseButtonRelease: {
        if (!m_model.LegendDragging(Index))
            return;
        m_model.SetLegendDragging(Index, false);
        frame->hide();
        const QRect r = frame->geometry();
        const LegendPoint topLeft{static_cast<float>(r.x()), static_cast<float>(r.y())};
        const LegendPoint bottomRight{static_cast<float>(r.x() + r.width()), static_cast<float>(r.y() + r.height())};
        m_model.SetLegendRect(Index, topLeft, bottomRight);
        Label(Index)->setGeometry(r.x(), r.y(), r.width(), r.height());
        m_model.SetLegendPinned(Index, true);
        break;
    }
    default:
        break;
    }
}

#include "moc_curvegraph.cpp"
