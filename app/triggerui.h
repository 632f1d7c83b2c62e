// "分析" → "触发设置…" and "触发准备": the trigger's settings window and its
// switch, both kept between runs, and the status line's part while it is
// armed: "触发：等待", "触发：已触发 12:03:41.250", with the captures so far
// ("（已捕获 2 次）"). The trigger itself is the line session's.
#pragma once

#include <QObject>

class QAction;
class QLabel;
class QMenu;
class QWidget;

namespace kv {

class CaptureTrigger;
class FileChooser;
class Preferences;
class StatusLine;
class TriggerDialog;

class TriggerUi : public QObject {
    Q_OBJECT
public:
    TriggerUi(CaptureTrigger& trigger, QMenu* analysisMenu, StatusLine& status, Preferences& prefs,
              FileChooser& files, QWidget* window, QObject* parent = nullptr);
    ~TriggerUi() override;

    QAction* TriggerSettings = nullptr;  // "触发设置…"
    QAction* TriggerArm = nullptr;       // "触发准备", checked while armed
    QLabel* Part = nullptr;              // the status line's part, while armed

    void TriggerSettings_Click();
    // The settings window, once it has been opened.
    TriggerDialog* Dialog() const { return m_dialog; }

private:
    void Refresh();

    CaptureTrigger& m_trigger;
    Preferences& m_prefs;
    FileChooser& m_files;
    QWidget* m_window;
    TriggerDialog* m_dialog = nullptr;
};

} // namespace kv
