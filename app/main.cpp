#include "app/form1.h"
#include "app/qtmessageboxes.h"

#include <QApplication>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QApplication::setOrganizationName(QStringLiteral("KOLVEN"));
    QApplication::setApplicationName(QStringLiteral("kolven-assistant"));
    QApplication::setApplicationDisplayName(QStringLiteral("KOLVEN调试助手"));
    QApplication::setFont(Form1::PreferredWindowFont());
    kv::QtMessageBoxes boxes;
    Form1 form(boxes, kv::SystemPlatform());
    boxes.setParent(&form);
    form.Form_Load();
    form.ShowCentered();
    return app.exec();
}
