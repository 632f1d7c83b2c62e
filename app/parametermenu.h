// Menu "参数" → "参数备份与恢复…", and "修改参数" on a double-click of a
// parameter (or of its result row) in the window's parameter lists. The two
// windows are made when first needed and work through the drive link.
#pragma once

#include <QObject>
#include <QPointer>

class QAction;
class QListWidget;
class QMenu;
class QWidget;

namespace kv {

class DriveLink;
class FileChooser;
class MessageBoxes;
class ParameterEditDialog;
class ParameterSetWindow;

class ParameterMenu : public QObject {
    Q_OBJECT
public:
    // `list` and `results` are the window's parameter list and its result list.
    ParameterMenu(DriveLink& link, QMenu* menu, QListWidget* list, QListWidget* results, MessageBoxes& boxes,
                  FileChooser& files, QWidget* window, QObject* parent = nullptr);
    ~ParameterMenu() override;

    QAction* ParamSet = nullptr;  // "参数备份与恢复…"

    ParameterSetWindow* ParamSetWindow();
    ParameterEditDialog* ParamEditor();

    void ParamSet_Click();
    // A double-click on row `row` of the parameter list or of its result
    // list: the window "修改参数" for that parameter.
    void EditParameterRow(int row);

private:
    // A result row on show takes the value the drive now holds.
    void ShowWritten(int code, quint16 value);

    DriveLink& m_link;
    QListWidget* m_list;
    QListWidget* m_results;
    MessageBoxes& m_boxes;
    FileChooser& m_files;
    QWidget* m_window;
    QPointer<ParameterSetWindow> m_setWindow;
    QPointer<ParameterEditDialog> m_editor;
};

} // namespace kv
