#include "app/form1.h"

Form1::Form1(QWidget* parent)
    : QMainWindow(parent)
{
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(QStringLiteral("KOLVEN调试助手 专业ORVEX传动服务(加微信:tiaoshi0000) V1.0"));
    resize(959, 432);
}
