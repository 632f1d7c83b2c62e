// The parameter groups: choosing a group lists its parameters.
#include "app/form1.h"

#include "drive/catalogue.h"

#include <QComboBox>
#include <QListWidget>

void Form1::Combo1_Click()
{
    List1->clear();
    for (const QString& row : kv::ShownRowsOfGroup(Combo1->currentText())) {
        auto* item = new QListWidgetItem(row, List1);
        item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsUserCheckable);
        item->setCheckState(Qt::Unchecked);
    }
}
