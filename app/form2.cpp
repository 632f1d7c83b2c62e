#include "app/form2.h"

#include <QPainter>
#include <QResizeEvent>

Form2::Form2(QWidget* parent)
    : QWidget(parent, Qt::Window)
{
    setObjectName(QStringLiteral("Form2"));
    setWindowTitle(tr("使用教程"));
    resize(708, 253);
    setAttribute(Qt::WA_OpaquePaintEvent);
}

QStringList Form2::GuideLines()
{
    static const char* const lines[] = {
        " ",
        QT_TR_NOOP("  1 变频器参数设置:"),
        QT_TR_NOOP("    通讯设置"),
        "    9802=1 5302=1 5305=0 5303=9600 5304=0",
        QT_TR_NOOP("    读取参数设置"),
        "    5310=103 5311=104 5312=107 5313=120 5314=121 5315=5320",
        QT_TR_NOOP("    外部控制设置"),
        "    1102=0 1001=10  1103=8 1604=8",
        QT_TR_NOOP("  2 查看参数的时候尽量不要同时查看10个以上,每个参数都有个延迟等待数据接  收，一次性查看太多，延迟时间过长"),
        QT_TR_NOOP("    显示的值为内存数据，转换工程数据需要乘以最小分辨率，比如电流最小分辨率是0.1，查看的数据时25，真实数据时2.5A"),
        QT_TR_NOOP("    如果分辨率是百分比，最小分辨率是0.1%，AI1内存值是30，真实工程数据是30*0.1%*(%100代表的值,10V)=3V"),
        QT_TR_NOOP("    最小分辨率可以在说明书完整参数表里查询"),
        QT_TR_NOOP("  3 本人水平有限，错误在所难免，有ORVEX传动的问题欢迎交流，敬请谅解。"),
    };
    QStringList out;
    for (const char* line : lines)
        out.append(tr(line));
    return out;
}

void Form2::Form_Load()
{
    m_surface = QImage(size().expandedTo(QSize(1, 1)), QImage::Format_RGB32);
    m_surface.fill(palette().color(QPalette::Window));
    m_written.clear();
    m_currentY = 0;
    for (const QString& line : GuideLines())
        Print(line);
    update();
}

void Form2::Print(const QString& line)
{
    // Text goes on the window's own surface, so it survives being covered; a
    // line longer than the window is cut at the edge, never wrapped.
    QPainter p(&m_surface);
    p.setFont(font());
    p.setPen(palette().color(QPalette::WindowText));
    const QFontMetrics fm(font());
    p.drawText(0, m_currentY + fm.ascent(), line);
    m_currentY += fm.height();
    m_written.append(line);
}

void Form2::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.fillRect(rect(), palette().color(QPalette::Window));
    p.drawImage(0, 0, m_surface);
}

void Form2::resizeEvent(QResizeEvent* event)
{
    // Growing the window keeps what was written; the new area is blank.
    if (!m_surface.isNull() && (event->size().width() > m_surface.width() || event->size().height() > m_surface.height())) {
        QImage bigger(event->size().expandedTo(m_surface.size()), QImage::Format_RGB32);
        bigger.fill(palette().color(QPalette::Window));
        QPainter(&bigger).drawImage(0, 0, m_surface);
        m_surface = bigger;
    }
    QWidget::resizeEvent(event);
}

#include "moc_form2.cpp"
