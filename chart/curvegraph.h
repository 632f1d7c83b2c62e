#pragma once
#include <QWidget>
class CurveGraph : public QWidget {
    Q_OBJECT
public:
    explicit CurveGraph(QWidget* parent = nullptr) : QWidget(parent) {}
};
