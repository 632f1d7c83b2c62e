// The picture window: one stored picture, nothing else.
#pragma once

#include <QWidget>

class QLabel;

class Form3 : public QWidget {
    Q_OBJECT
public:
    explicit Form3(QWidget* parent = nullptr);
    QLabel* Picture1() const { return m_picture; }

private:
    QLabel* m_picture;
};
