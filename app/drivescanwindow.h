// "设置" → "查找驱动器…": a window of its own that finds the drive on the
// line. It scans a range of stations at the port's settings, or sweeps the
// baud rates and parities for a few stations, through the line's engine (the
// window's polling waits meanwhile), and lists what answered with what it
// says of itself (group 33). "取消" ends the scan at once. "使用" puts the
// found drive's station, baud rate, parity and stop bits into the main
// window's boxes and opens the port with them, as a user would.
#pragma once

#include "app/windowport.h"
#include "session/drivescanner.h"

#include <QObject>
#include <QPointer>
#include <QWidget>

class QAction;
class QLabel;
class QLineEdit;
class QMenu;
class QProgressBar;
class QPushButton;
class QRadioButton;
class QTableWidget;

namespace kv {

class LineGate;
class LineSession;
class MessageBoxes;
class WindowPort;

class DriveScanWindow : public QWidget {
    Q_OBJECT
public:
    enum Column { ColStation, ColBaud, ColParity, ColStopBits, ColReplyTime, ColIdentity, ColumnCount };

    DriveScanWindow(mb::TransactionEngine& engine, LineGate* gate, WindowPort& port, MessageBoxes& boxes,
                    QWidget* parent = nullptr);

    void Start_Click();
    void Cancel_Click();
    void Use_Click();

    bool Scanning() const { return m_scanner.Running(); }
    DriveScanner& Scanner() { return m_scanner; }
    // What "使用" puts into the main window's boxes for row `row`.
    PortChoice ChoiceOfRow(int row) const;

    QRadioButton* ModeStations = nullptr;  // "按站号查找（当前串口设置）"
    QRadioButton* ModeSweep = nullptr;     // "按波特率和校验位查找"
    QLineEdit* Stations = nullptr;         // "1-247", "1-4"
    QPushButton* StartScan = nullptr;      // "开始查找"
    QPushButton* Cancel = nullptr;         // "取消"
    QPushButton* Use = nullptr;            // "使用"
    QProgressBar* Progress = nullptr;
    QLabel* ProgressText = nullptr;        // "已查找 12 / 247，约剩 9 秒"
    QTableWidget* Table = nullptr;

signals:
    void ScanFinished(kv::DriveScanner::Stop stop);

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void OnModeChanged();
    void OnProgress(int done, int total, qint64 msLeft);
    void OnFound(const FoundDevice& device);
    void OnFinished(DriveScanner::Stop stop);
    void UpdateButtons();

    mb::TransactionEngine& m_engine;
    WindowPort& m_port;
    MessageBoxes& m_boxes;
    DriveScanner m_scanner;
};

// The menu item "查找驱动器…" and its window, made when first needed.
class DriveScanMenu : public QObject {
    Q_OBJECT
public:
    DriveScanMenu(LineSession& session, WindowPort& port, QMenu* menu, MessageBoxes& boxes, QWidget* window,
                  QObject* parent = nullptr);
    ~DriveScanMenu() override;

    QAction* FindDrive = nullptr;  // "查找驱动器…"
    DriveScanWindow* Window();
    void FindDrive_Click();

private:
    LineSession& m_session;
    WindowPort& m_port;
    MessageBoxes& m_boxes;
    QWidget* m_window;
    QPointer<DriveScanWindow> m_scanWindow;
};

} // namespace kv
