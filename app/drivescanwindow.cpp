#include "app/drivescanwindow.h"

#include "common/messageboxes.h"
#include "modbus/engine.h"
#include "modbus/rtu.h"
#include "serial/transport.h"
#include "session/linesession.h"

#include <QAction>
#include <QCloseEvent>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QTableWidget>
#include <QVBoxLayout>

#include <algorithm>
#include <cmath>

namespace kv {

namespace {

const QString kStationsDefault = QStringLiteral("1-247");
const QString kSweepDefault = QStringLiteral("1-4");

QPushButton* ScanButton(QWidget* parent, const char* name, const QString& caption)
{
    auto* b = new QPushButton(caption, parent);
    b->setObjectName(QString::fromLatin1(name));
    return b;
}

// The texts of the main window's boxes for these settings.
QString ParityBoxText(QSerialPort::Parity parity)
{
    switch (parity) {
    case QSerialPort::EvenParity: return QStringLiteral("Even");
    case QSerialPort::OddParity: return QStringLiteral("Odd");
    default: return QStringLiteral("None");
    }
}

QString StopBitsBoxText(QSerialPort::StopBits stopBits)
{
    switch (stopBits) {
    case QSerialPort::TwoStop: return QStringLiteral("2");
    case QSerialPort::OneAndHalfStop: return QStringLiteral("1.5");
    default: return QStringLiteral("1");
    }
}

} // namespace

DriveScanWindow::DriveScanWindow(mb::TransactionEngine& engine, LineGate* gate, WindowPort& port,
                                 MessageBoxes& boxes, QWidget* parent)
    : QWidget(parent, Qt::Window)
    , m_engine(engine)
    , m_port(port)
    , m_boxes(boxes)
    , m_scanner(engine, gate)
{
    setObjectName(QStringLiteral("DriveScanWindow"));
    setWindowTitle(tr("查找驱动器"));

    ModeStations = new QRadioButton(tr("按站号查找（当前串口设置）"), this);
    ModeStations->setObjectName(QStringLiteral("ModeStations"));
    ModeStations->setChecked(true);
    ModeSweep = new QRadioButton(tr("按波特率和校验位查找"), this);
    ModeSweep->setObjectName(QStringLiteral("ModeSweep"));
    ModeSweep->setToolTip(tr("波特率 1200..115200，校验位 N、E、O，停止位按主窗口"));
    auto* stationsLabel = new QLabel(tr("站号范围"), this);
    Stations = new QLineEdit(kStationsDefault, this);
    Stations->setObjectName(QStringLiteral("Stations"));
    Stations->setMaximumWidth(100);
    StartScan = ScanButton(this, "StartScan", tr("开始查找"));
    Cancel = ScanButton(this, "Cancel", tr("取消"));
    Use = ScanButton(this, "Use", tr("使用"));
    Progress = new QProgressBar(this);
    Progress->setObjectName(QStringLiteral("Progress"));
    Progress->setRange(0, 1);
    Progress->setValue(0);
    Progress->setTextVisible(false);
    ProgressText = new QLabel(this);
    ProgressText->setObjectName(QStringLiteral("ProgressText"));

    Table = new QTableWidget(0, ColumnCount, this);
    Table->setObjectName(QStringLiteral("Table"));
    Table->setHorizontalHeaderLabels(
        {tr("站号"), tr("波特率"), tr("校验位"), tr("停止位"), tr("应答时间"), tr("驱动器信息")});
    Table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    Table->setSelectionBehavior(QAbstractItemView::SelectRows);
    Table->setSelectionMode(QAbstractItemView::SingleSelection);
    Table->verticalHeader()->setVisible(false);
    Table->horizontalHeader()->setStretchLastSection(true);

    auto* modes = new QHBoxLayout;
    modes->addWidget(ModeStations);
    modes->addWidget(ModeSweep);
    modes->addStretch(1);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(stationsLabel);
    buttons->addWidget(Stations);
    buttons->addWidget(StartScan);
    buttons->addWidget(Cancel);
    buttons->addStretch(1);
    buttons->addWidget(Use);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(modes);
    layout->addLayout(buttons);
    layout->addWidget(Progress);
    layout->addWidget(ProgressText);
    layout->addWidget(Table, 1);
    resize(760, 420);

    connect(ModeSweep, &QRadioButton::toggled, this, &DriveScanWindow::OnModeChanged);
    connect(StartScan, &QPushButton::clicked, this, &DriveScanWindow::Start_Click);
    connect(Cancel, &QPushButton::clicked, this, &DriveScanWindow::Cancel_Click);
    connect(Use, &QPushButton::clicked, this, &DriveScanWindow::Use_Click);
    connect(Table, &QTableWidget::itemSelectionChanged, this, &DriveScanWindow::UpdateButtons);
    connect(Table, &QTableWidget::cellDoubleClicked, this, [this] { Use_Click(); });
    connect(&m_scanner, &DriveScanner::Progress, this, &DriveScanWindow::OnProgress);
    connect(&m_scanner, &DriveScanner::DeviceFound, this, &DriveScanWindow::OnFound);
    connect(&m_scanner, &DriveScanner::Finished, this, &DriveScanWindow::OnFinished);
    UpdateButtons();
}

void DriveScanWindow::OnModeChanged()
{
    // The range the user has not changed follows the mode.
    const bool sweep = ModeSweep->isChecked();
    if (Stations->text() == (sweep ? kStationsDefault : kSweepDefault))
        Stations->setText(sweep ? kSweepDefault : kStationsDefault);
}

void DriveScanWindow::Start_Click()
{
    if (Scanning())
        return;
    const std::optional<StationRange> range = ParseStationRange(Stations->text());
    if (!range) {
        Tell(m_boxes, tr("站号范围应为 1..247 之间的 N 或 A-B，如 1-247：%1").arg(Stations->text()));
        return;
    }
    const LineSettings line = m_engine.Line().Settings();
    const ScanPlan plan = ModeSweep->isChecked() ? ScanPlan::Sweep(line, *range) : ScanPlan::Stations(line, *range);
    Table->setRowCount(0);
    QString why;
    if (!m_scanner.Start(plan, &why)) {
        Tell(m_boxes, why);
        return;
    }
    UpdateButtons();
}

void DriveScanWindow::Cancel_Click()
{
    m_scanner.Cancel();
}

PortChoice DriveScanWindow::ChoiceOfRow(int row) const
{
    const QList<FoundDevice>& found = m_scanner.Found();
    if (row < 0 || row >= found.size())
        return {};
    const FoundDevice& d = found[row];
    PortChoice choice = m_port.OpenedWith();
    choice.baud = QString::number(d.settings.baud);
    choice.parity = ParityBoxText(d.settings.parity);
    choice.dataBits = QString::number(static_cast<int>(d.settings.dataBits));
    choice.stopBits = StopBitsBoxText(d.settings.stopBits);
    choice.station = QString::number(d.station);
    return choice;
}

void DriveScanWindow::Use_Click()
{
    const int row = Table->currentRow();
    if (Scanning() || row < 0 || row >= m_scanner.Found().size())
        return;
    const PortChoice choice = ChoiceOfRow(row);
    // As a user would: close the port, put the texts in the boxes, open it.
    m_port.ClosePort();
    m_port.OpenPortAs(choice);
}

void DriveScanWindow::OnProgress(int done, int total, qint64 msLeft)
{
    Progress->setRange(0, std::max(1, total));
    Progress->setValue(done);
    const qint64 seconds = (msLeft + 999) / 1000;
    ProgressText->setText(tr("已查找 %1 / %2，约剩 %3 秒").arg(done).arg(total).arg(seconds));
}

void DriveScanWindow::OnFound(const FoundDevice& d)
{
    const int row = Table->rowCount();
    Table->insertRow(row);
    QString what;
    if (d.identity)
        what = d.identity->Text();
    else if (d.exceptionCode)
        what = mb::ExceptionMessage(*d.exceptionCode);
    else
        what = tr("未读到 33 组信息");
    const QStringList texts{QString::number(d.station), QString::number(d.settings.baud),
                            ParityBoxText(d.settings.parity), StopBitsBoxText(d.settings.stopBits),
                            tr("%1 ms").arg(d.replyMs), what};
    for (int c = 0; c < ColumnCount; ++c)
        Table->setItem(row, c, new QTableWidgetItem(texts[c]));
    if (row == 0)
        Table->selectRow(0);
    Table->resizeColumnsToContents();
}

void DriveScanWindow::OnFinished(DriveScanner::Stop stop)
{
    const int found = static_cast<int>(m_scanner.Found().size());
    QString text = found > 0 ? tr("查找结束：找到 %1 个设备").arg(found) : tr("查找结束：没有设备应答");
    if (stop != DriveScanner::Stop::Done)
        text = tr("查找中止（%1）：找到 %2 个设备").arg(m_scanner.StopText(stop)).arg(found);
    ProgressText->setText(text);
    UpdateButtons();
    emit ScanFinished(stop);
}

void DriveScanWindow::UpdateButtons()
{
    const bool scanning = Scanning();
    StartScan->setEnabled(!scanning);
    Cancel->setEnabled(scanning);
    ModeStations->setEnabled(!scanning);
    ModeSweep->setEnabled(!scanning);
    Stations->setEnabled(!scanning);
    Use->setEnabled(!scanning && Table->currentRow() >= 0);
}

void DriveScanWindow::closeEvent(QCloseEvent* event)
{
    m_scanner.Cancel();
    QWidget::closeEvent(event);
}

// ---- the menu item -----------------------------------------------------------

DriveScanMenu::DriveScanMenu(LineSession& session, WindowPort& port, QMenu* menu, MessageBoxes& boxes,
                             QWidget* window, QObject* parent)
    : QObject(parent)
    , m_session(session)
    , m_port(port)
    , m_boxes(boxes)
    , m_window(window)
{
    FindDrive = new QAction(tr("查找驱动器…"), this);
    FindDrive->setObjectName(QStringLiteral("FindDrive"));
    menu->addAction(FindDrive);
    connect(FindDrive, &QAction::triggered, this, &DriveScanMenu::FindDrive_Click);
}

DriveScanMenu::~DriveScanMenu()
{
    // The window works through the engine; it goes with the menu that made it.
    delete m_scanWindow.data();
}

DriveScanWindow* DriveScanMenu::Window()
{
    if (!m_scanWindow)
        m_scanWindow = new DriveScanWindow(m_session.Engine(), &m_session, m_port, m_boxes, m_window);
    return m_scanWindow;
}

void DriveScanMenu::FindDrive_Click()
{
    DriveScanWindow* w = Window();
    w->show();
    w->raise();
    w->activateWindow();
}

} // namespace kv

#include "moc_drivescanwindow.cpp"
