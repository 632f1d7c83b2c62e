#include "app/lamp.h"

#include "common/colors.h"

#include <QPainter>

namespace kv {

Lamp::Lamp(QWidget* parent)
    : QWidget(parent)
{
}

void Lamp::setFillColor(qint32 bgr)
{
    if (bgr == m_fillColor)
        return;
    m_fillColor = bgr;
    update();
}

void Lamp::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(Qt::black, 1));
    p.setBrush(BgrToQColor(m_fillColor));
    const int d = qMin(width(), height()) - 1;
    p.drawEllipse(QRectF((width() - d) / 2.0, (height() - d) / 2.0, d, d));
}

} // namespace kv

#include "moc_lamp.cpp"
