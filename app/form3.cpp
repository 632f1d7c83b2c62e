#include "app/form3.h"

#include <QLabel>
#include <QPixmap>

Form3::Form3(QWidget* parent)
    : QWidget(parent, Qt::Window)
{
    setObjectName(QStringLiteral("Form3"));
    setWindowTitle(tr("微信扫码加好友"));
    resize(253, 236);  // 3795 x 3540 twips
    m_picture = new QLabel(this);
    m_picture->setObjectName(QStringLiteral("Picture1"));
    m_picture->setGeometry(0, 8, 249, 233);  // 0, 120, 3735 x 3495 twips
    m_picture->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    m_picture->setPixmap(QPixmap(QStringLiteral(":/images/form3.jpg")));
}

#include "moc_form3.cpp"
