// "分析" → "触发设置…": a small window of its own, not modal, for what the
// trigger waits for (a status bit changing or a value crossing a level, and
// which way), the times before and after, once or again and again, and the
// folder the captures go to. "确定" hands the settings on (Chosen) and
// closes; "取消" closes.
#pragma once

#include "session/capturetrigger.h"

#include <QDialog>

class QComboBox;
class QDoubleSpinBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace kv {

class FileChooser;

class TriggerDialog : public QDialog {
    Q_OBJECT
public:
    explicit TriggerDialog(FileChooser& files, QWidget* parent = nullptr);

    // Shows the settings in the boxes.
    void Load(const TriggerSettings& settings);
    // The settings as the boxes hold them.
    TriggerSettings Entered() const;

    QComboBox* Kind = nullptr;     // "状态位变化", "数值越过门限"
    QComboBox* Bit = nullptr;      // the 13 status bits, as the lamps name them
    QComboBox* Value = nullptr;    // "频率", "电流", "直流电压", "AI1", "AI2"
    QDoubleSpinBox* Level = nullptr;
    QComboBox* Edge = nullptr;     // "上升", "下降", "双向"
    QDoubleSpinBox* Before = nullptr;  // seconds, 0..60
    QDoubleSpinBox* After = nullptr;
    QComboBox* Mode = nullptr;     // "单次", "连续"
    QLineEdit* Folder = nullptr;
    QPushButton* Browse = nullptr;  // "浏览…": the folder through the file chooser
    QLabel* Condition = nullptr;    // the condition as the status line and the files name it
    QPushButton* Ok = nullptr;
    QPushButton* Cancel = nullptr;

signals:
    void Chosen(const kv::TriggerSettings& settings);

private:
    void Refresh();
    void BrowseFolder();

    FileChooser& m_files;
};

} // namespace kv
