#include "app/statusline.h"

#include <QEvent>
#include <QHelpEvent>
#include <QLabel>
#include <QPainter>
#include <QStatusBar>
#include <QStyle>
#include <QToolTip>

#include <algorithm>
#include <climits>

namespace kv {

namespace {

// A part of the status line. It asks for room for its whole text but makes do
// with less: it then shows the text shortened ("…" in the middle, where a
// path's folders are, or at the end), and the whole text as its tooltip.
class Part final : public QLabel {
public:
    explicit Part(QWidget* parent)
        : QLabel(parent)
    {
        setTextFormat(Qt::PlainText);
    }

    void SetShortening(Qt::TextElideMode mode) { m_mode = mode; }

    QSize minimumSizeHint() const override { return {0, QLabel::minimumSizeHint().height()}; }
    bool Shortened() const { return fontMetrics().horizontalAdvance(text()) > contentsRect().width(); }

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter painter(this);
        const QRect r = contentsRect();
        const QString shown = fontMetrics().elidedText(text(), m_mode, r.width());
        style()->drawItemText(&painter, r, Qt::AlignLeft | Qt::AlignVCenter, palette(), isEnabled(), shown,
                              foregroundRole());
    }

    bool event(QEvent* e) override
    {
        if (e->type() != QEvent::ToolTip)
            return QLabel::event(e);
        if (Shortened())
            QToolTip::showText(static_cast<QHelpEvent*>(e)->globalPos(), text(), this);
        else
            QToolTip::hideText();
        return true;
    }

private:
    Qt::TextElideMode m_mode = Qt::ElideMiddle;
};

} // namespace

// The parts side by side with a thin line between them, each as wide as its
// text while the line has room. When it has not, the widest give way first,
// down to a width they share, so that the short parts stay whole; the status
// line never asks the window to grow.
class StatusLine::Row final : public QWidget {
public:
    explicit Row(QWidget* parent)
        : QWidget(parent)
    {
        setObjectName(QStringLiteral("statusParts"));
    }

    void Add(QLabel* part)
    {
        m_parts.append(part);
        part->installEventFilter(this);
        Place();
    }

    QSize sizeHint() const override
    {
        int width = 0;
        int height = fontMetrics().height();
        for (const QLabel* p : Shown()) {
            width += p->sizeHint().width() + (width > 0 ? Gap() : 0);
            height = std::max(height, p->sizeHint().height());
        }
        return {width, height};
    }
    QSize minimumSizeHint() const override { return {0, sizeHint().height()}; }

protected:
    bool event(QEvent* e) override
    {
        if (e->type() == QEvent::LayoutRequest) {  // a part's text changed
            Place();
            updateGeometry();
        }
        return QWidget::event(e);
    }

    bool eventFilter(QObject* watched, QEvent* e) override
    {
        if (e->type() == QEvent::ShowToParent || e->type() == QEvent::HideToParent) {
            Place();
            updateGeometry();
        }
        return QWidget::eventFilter(watched, e);
    }

    void resizeEvent(QResizeEvent*) override { Place(); }

    void paintEvent(QPaintEvent*) override
    {
        QPainter painter(this);
        painter.setPen(palette().color(QPalette::Mid));
        const QList<QLabel*> shown = Shown();
        for (qsizetype i = 1; i < shown.size(); ++i) {
            const int x = shown[i]->x() - Gap() / 2;
            painter.drawLine(x, 3, x, height() - 4);
        }
    }

private:
    int Gap() const { return fontMetrics().horizontalAdvance(QStringLiteral("  ")) + 1; }

    QList<QLabel*> Shown() const
    {
        QList<QLabel*> shown;
        for (QLabel* p : m_parts)
            if (!p->isHidden())
                shown.append(p);
        return shown;
    }

    void Place()
    {
        const QList<QLabel*> shown = Shown();
        QList<int> wanted;
        for (const QLabel* p : shown)
            wanted.append(p->sizeHint().width());
        // The widest parts share what the narrower ones leave.
        QList<int> ascending = wanted;
        std::sort(ascending.begin(), ascending.end());
        int rest = width() - Gap() * static_cast<int>(std::max<qsizetype>(shown.size() - 1, 0));
        int cap = INT_MAX;
        for (qsizetype i = 0; i < ascending.size(); ++i) {
            const int share = std::max(rest, 0) / static_cast<int>(ascending.size() - i);
            if (ascending[i] > share) {
                cap = share;
                break;
            }
            rest -= ascending[i];
        }
        int x = 0;
        for (qsizetype i = 0; i < shown.size(); ++i) {
            const int w = std::min(wanted[i], cap);
            shown[i]->setGeometry(x, 0, w, height());
            x += w + Gap();
        }
        update();
    }

    QList<QLabel*> m_parts;
};

StatusLine::StatusLine(QStatusBar* bar, QObject* parent)
    : QObject(parent)
    , m_bar(bar)
    , m_row(new Row(bar))
{
    m_bar->setObjectName(QStringLiteral("statusLine"));
    m_bar->setSizeGripEnabled(false);
    m_bar->addWidget(m_row, 1);
    Port = AddPart(QStringLiteral("statusPort"));
    Port->setText(ClosedText());
    Counters = AddPart(QStringLiteral("statusCounters"));
    static_cast<Part*>(Counters)->SetShortening(Qt::ElideRight);  // the first counters matter most
    Capture = AddPart(QStringLiteral("statusCapture"));
    Capture->hide();
}

StatusLine::~StatusLine()
{
    delete m_row;
}

QLabel* StatusLine::AddPart(const QString& objectName)
{
    auto* label = new Part(m_row);
    label->setObjectName(objectName);
    m_row->Add(label);
    return label;
}

QString StatusLine::PortText(const QString& portText, const QString& device, const QString& settings,
                             const QString& stationAddr)
{
    QString text = portText.trimmed();
    if (!device.isEmpty() && device != text)
        text += QStringLiteral(" → ") + device;
    return text + QStringLiteral("  ") + settings + tr("  站号 ") + stationAddr;
}

QString StatusLine::NetworkPortText(const QString& description, bool connecting, const QString& settings,
                                    const QString& stationAddr)
{
    QString text = description;
    if (connecting)
        text += tr("  连接中…");
    return text + tr("  帧计时 ") + settings + tr("  站号 ") + stationAddr;
}

QString StatusLine::ClosedText(const QString& where, const QString& why)
{
    return tr("未打开 — %1：%2").arg(where.trimmed(), why);
}

} // namespace kv

#include "moc_statusline.cpp"
