#include "app/parametermenu.h"

#include "app/lineready.h"
#include "app/parameditdialog.h"
#include "app/paramsetwindow.h"
#include "drive/catalogue.h"
#include "drive/paramset.h"

#include <QAction>
#include <QListWidget>
#include <QMenu>

namespace kv {

ParameterMenu::ParameterMenu(DriveLink& link, QMenu* menu, QListWidget* list, QListWidget* results,
                             MessageBoxes& boxes, FileChooser& files, QWidget* window, QObject* parent)
    : QObject(parent)
    , m_link(link)
    , m_list(list)
    , m_results(results)
    , m_boxes(boxes)
    , m_files(files)
    , m_window(window)
{
    ParamSet = new QAction(tr("参数备份与恢复…"), this);
    ParamSet->setObjectName(QStringLiteral("ParamSet"));
    menu->addAction(ParamSet);
    connect(ParamSet, &QAction::triggered, this, &ParameterMenu::ParamSet_Click);
    connect(list, &QListWidget::itemDoubleClicked, this,
            [this](QListWidgetItem* item) { EditParameterRow(m_list->row(item)); });
    connect(results, &QListWidget::itemDoubleClicked, this,
            [this](QListWidgetItem* item) { EditParameterRow(m_results->row(item)); });
}

ParameterMenu::~ParameterMenu()
{
    // The windows work through the engine; they go with the menu that made them.
    delete m_setWindow.data();
    delete m_editor.data();
}

ParameterSetWindow* ParameterMenu::ParamSetWindow()
{
    if (!m_setWindow)
        m_setWindow = new ParameterSetWindow(m_link, m_boxes, m_files, m_window);
    return m_setWindow;
}

ParameterEditDialog* ParameterMenu::ParamEditor()
{
    if (!m_editor) {
        m_editor = new ParameterEditDialog(m_link, m_boxes, m_window);
        connect(m_editor, &ParameterEditDialog::Written, this, &ParameterMenu::ShowWritten);
    }
    return m_editor;
}

void ParameterMenu::ParamSet_Click()
{
    ParameterSetWindow* w = ParamSetWindow();
    w->show();
    w->raise();
    w->activateWindow();
}

void ParameterMenu::EditParameterRow(int row)
{
    if (row < 0 || row >= m_list->count())
        return;
    const int code = ParameterCodeOfRow(m_list->item(row)->text());
    if (!FindParameter(code) || !LineReady(m_link, m_boxes))
        return;
    ParamEditor()->Edit(code);
}

void ParameterMenu::ShowWritten(int code, quint16 value)
{
    for (int row = 0; row < m_list->count() && row < m_results->count(); ++row) {
        QListWidgetItem* result = m_results->item(row);
        if (ParameterCodeOfRow(m_list->item(row)->text()) == code && !result->text().isEmpty())
            result->setText(QString::number(value));
    }
}

} // namespace kv

#include "moc_parametermenu.cpp"
