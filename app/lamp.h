// A circular lamp: a filled circle in a 0x00BBGGRR colour.
#pragma once

#include <QWidget>

namespace kv {

class Lamp : public QWidget {
    Q_OBJECT
public:
    explicit Lamp(QWidget* parent = nullptr);

    qint32 FillColor() const { return m_fillColor; }
    void setFillColor(qint32 bgr);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    qint32 m_fillColor = 0xFFFFFF;
};

} // namespace kv
