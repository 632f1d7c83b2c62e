// The parameter set window (menu "参数" → "参数备份与恢复…"): reads every
// catalogue parameter from the drive, saves them as a parameter-set file,
// opens one and compares it with the drive, and writes what differs to the
// drive. All line work runs through the engine (ParameterSetRunner), so the
// window answers the user throughout; "取消" stops after the current request.
#pragma once

#include "drive/paramsetrunner.h"

#include <QElapsedTimer>
#include <QMap>
#include <QWidget>

class QCheckBox;
class QLabel;
class QProgressBar;
class QPushButton;
class QTableWidget;

namespace kv {

class DriveLink;
class FileChooser;
class MessageBoxes;

class ParameterSetWindow : public QWidget {
    Q_OBJECT
public:
    enum Column { ColCode, ColName, ColRegister, ColDrive, ColFile, ColStatus, ColumnCount };

    ParameterSetWindow(DriveLink& link, MessageBoxes& boxes, FileChooser& files, QWidget* parent = nullptr);

    void ReadAll_Click();
    void Cancel_Click();
    void Save_Click();
    void Open_Click();
    void WriteDrive_Click();
    void OnlyDifferent_Click();

    bool Working() const { return m_runner.Running(); }
    const QMap<int, Reading>& DriveValues() const { return m_drive; }
    const QMap<int, quint16>& FileValues() const { return m_file; }
    // The code of each table row whose status reads "不同".
    QList<int> DifferentCodes() const;

    QPushButton* ReadAll = nullptr;     // "读取全部"
    QPushButton* Cancel = nullptr;      // "取消"
    QPushButton* Save = nullptr;        // "保存…"
    QPushButton* Open = nullptr;        // "打开…"
    QPushButton* WriteDrive = nullptr;  // "写入驱动器"
    QCheckBox* OnlyDifferent = nullptr; // "只显示不同"
    QProgressBar* Progress = nullptr;
    QLabel* ProgressText = nullptr;     // "已读取 120 / 415 个参数，约剩 2 秒"
    QLabel* FileText = nullptr;         // the file opened or saved
    QTableWidget* Table = nullptr;

signals:
    // The work on the line has ended (for tests and the status line).
    void WorkFinished(kv::ParameterSetRunner::Stop stop);

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    enum class Job { None, ReadAll, Prepare, Restore };

    void Start(Job job);
    void OnProgress(ParameterSetRunner::Phase phase, int done, int total);
    void OnRead(int code, const Reading& reading);
    void OnFinished(ParameterSetRunner::Stop stop);
    void AfterPrepare();
    void UpdateRow(int row);
    void UpdateAllRows();
    void UpdateButtons();
    void Tell(const QString& text, bool warning);

    DriveLink& m_link;
    MessageBoxes& m_boxes;
    FileChooser& m_files;
    ParameterSetRunner m_runner;
    Job m_job = Job::None;
    QElapsedTimer m_clock;
    QMap<int, Reading> m_drive;
    QMap<int, quint16> m_file;
};

} // namespace kv
