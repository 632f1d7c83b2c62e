// The main window: the port settings, the terminal, the parameter browser, the
// drive buttons and the real-time chart panel, with the serial control, the
// poll timer and the chart it owns for its whole life.
//
// Controls carry their names as members and as objectName. Handlers are named
// after the control and the event; a selection or tick set in code runs the
// control's handler exactly as a user's action does (currentIndexChanged,
// toggled, textChanged). The window's design values are in place before any
// handler is connected; Form_Load then sets what the start-up sets in code.
//
// The class is spread over files by area: form1.cpp (construction, layout,
// load and shutdown), form1_port.cpp, form1_terminal.cpp, form1_chartpanel.cpp,
// form1_params.cpp, and the files of the drive commands, polling and menus.
#pragma once

#include "app/auxwindows.h"
#include "app/windowport.h"
#include "common/messageboxes.h"
#include "drive/livesample.h"
#include "drive/polling.h"
#include "common/platform.h"
#include "common/trtext.h"

#include <QMainWindow>
#include <QString>
#include <QStringList>

#include <array>
#include <exception>
#include <functional>

class CurveGraph;
class QAction;
class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QMenu;
class QPlainTextEdit;
class QPushButton;

namespace kv {
class IntervalTimer;
class Lamp;
class LineGate;
class LogBox;
class MSComm;
class Transport;
} // namespace kv

class Form1 : public QMainWindow, public kv::WindowPort {
    Q_OBJECT
public:
    // The captions of the open/close button, which are the port's open state.
    // They read in the language of the interface, when set and when compared.
    static constexpr kv::TrText kCaptionOpenPort{"Form1", QT_TRANSLATE_NOOP("Form1", "打开串口")};   // port closed
    static constexpr kv::TrText kCaptionClosePort{"Form1", QT_TRANSLATE_NOOP("Form1", "关闭串口")};  // port open
    // The captions of the chart's start button, which are the polling state.
    static constexpr kv::TrText kCaptionStart{"Form1", QT_TRANSLATE_NOOP("Form1", "开始")};  // polling stopped
    static constexpr kv::TrText kCaptionPause{"Form1", QT_TRANSLATE_NOOP("Form1", "暂停")};  // polling runs

    // A window whose serial control has a serial port of its own.
    Form1(kv::MessageBoxes& boxes, kv::PlatformServices& platform, QWidget* parent = nullptr);
    // A window whose serial control works over a line someone else owns (the
    // line session's), which outlives the window.
    Form1(kv::MessageBoxes& boxes, kv::PlatformServices& platform, kv::Transport& line, QWidget* parent = nullptr);
    ~Form1() override;

    // A font with Chinese glyphs when the machine has one (9 points).
    static QFont PreferredWindowFont();

    // Start-up: fills the lists and sets the defaults. Runs once, before the window is shown.
    void Form_Load();
    // Closing the window: asks; Cancel is set to 1 when the user answers No.
    void Form_Unload(int& Cancel);
    void exit1_Click();
    // Shows the window centred on its screen.
    void ShowCentered();
    // Whether the program has been ended by one of the exit questions.
    bool ProgramEnded() const { return m_programEnded; }
    // Poll replies decoded since the window was created.
    qint64 PollRepliesDecoded() const { return m_pollRepliesDecoded; }
    // The help and picture windows of the menu.
    kv::AuxWindows& AuxWindows() { return m_aux; }
    // ---- What the window says of its state, for the work beside it ----
    bool PortIsOpen() const override;
    kv::PortChoice OpenedWith() const override { return m_openedWith; }
    QString OpenedSettings() const override;
    void OpenPortAs(const kv::PortChoice& choice) override;
    void ClosePort() override;
    // The chart's start button reads "暂停".
    bool PollingRunning() const;
    // The station of StationAddr as a number (1 when it is none).
    quint8 Station() const;

    // ---- What the work beside the window asks of it ----
    // Before a handler of the window puts bytes on the line it asks the gate,
    // which may hold the line for other work (none: the line is the window's).
    void SetLineGate(kv::LineGate* gate) { m_lineGate = gate; }
    // The line is lent to other work for a while: the poll timer pauses, and
    // resumes as the chart's button says when the line comes back.
    void SetLineLent(bool lent);
    // Polling is done elsewhere (a faster sampler): the poll timer stays off;
    // the switch of the chart's button is told through PollingSwitched.
    void SetPollingTakenOver(bool takenOver);
    // Shows a live sample: the chosen values on the curves, the lamps.
    void ShowSample(const kv::LiveSample& sample);

    // Port (form1_port.cpp).
    void CommandOpenMSC_Click();
    void Chkreceive16_Click();

    // Terminal and receive path (form1_terminal.cpp).
    void Command1_Click();
    void Command3_Click();
    void AppendLogLine(const QString& line);
    void MSComm_OnComm();
    // A 34-digit chunk from the receive path: the live-value poll reply.
    virtual void HandlePollReply(const QString& replyText);

    // Chart panel (form1_chartpanel.cpp).
    void chkShowCurve_Click(int Index);
    void comCurveColor_Click(int Index);
    void textquxian1_Change();
    void Text5_Change();
    void Text6_Change();
    void txtHorSplits_Change();
    void txtVerSplits_Change();
    void txtVerMin_Change();
    void txtVerMax_Change();
    void Commandgraphclear_Click();

    // Parameter groups (form1_params.cpp).
    void Combo1_Click();

    // Handlers built with the drive commands, the polling, the parameter read
    // and the menus; declared here so that each lands in its own file.
    void Command_start_Click();
    void Command_stop_Click();
    void Command_set_Click();
    void Command2_Click();
    void Timer1_Timer();
    void Commandgraphstart_Click();
    void Command4_Click();
    void CmdViewPram_Click();
    void debug1_Click();
    void Instruction_Click();
    void regsvr32_Click();
    void regsvr32u_Click();
    void about_Click();

    // ---- Window-wide state ----
    // The drive's station address, two upper-case hexadecimal digits; set on every port open.
    QString StationAddr;

    // ---- Owned for the window's whole life ----
    kv::MSComm* MSComm = nullptr;
    kv::IntervalTimer* Timer1 = nullptr;
    CurveGraph* CurveGraph1 = nullptr;

    // ---- Menu ----
    QMenu* Menu = nullptr;
    QAction* debug1 = nullptr;
    QAction* Instruction = nullptr;
    QMenu* zuce = nullptr;
    QAction* regsvr32 = nullptr;
    QAction* regsvr32u = nullptr;
    QAction* about = nullptr;
    QAction* exit1 = nullptr;

    // ---- Serial settings ----
    QGroupBox* FrameMSC = nullptr;
    QComboBox* ComboMSCPort = nullptr;
    QComboBox* ComboMSCBaudrate = nullptr;
    QComboBox* ComboParity = nullptr;
    QComboBox* ComboDatabits = nullptr;
    QComboBox* ComboStopbit = nullptr;
    QComboBox* Combo2 = nullptr;
    kv::Lamp* ShapeMSC = nullptr;
    QPushButton* CommandOpenMSC = nullptr;
    QLabel* Picture1 = nullptr;

    // ---- Terminal ----
    QGroupBox* Frame1 = nullptr;
    QLineEdit* Text1 = nullptr;
    QPushButton* Command1 = nullptr;
    kv::LogBox* Text2 = nullptr;
    QCheckBox* ChkCRC16 = nullptr;
    QCheckBox* ChkSend16 = nullptr;
    QCheckBox* Chkreceive16 = nullptr;
    QPushButton* Command3 = nullptr;

    // ---- Parameter browser ----
    QGroupBox* Frame3 = nullptr;
    QComboBox* Combo1 = nullptr;
    QListWidget* List1 = nullptr;
    QListWidget* List2 = nullptr;
    QPushButton* CmdViewPram = nullptr;
    QPlainTextEdit* Text7 = nullptr;

    // ---- Drive buttons ----
    QPushButton* Command_start = nullptr;
    QPushButton* Command_stop = nullptr;
    QLineEdit* Text3 = nullptr;
    QLabel* Label9 = nullptr;
    QPushButton* Command_set = nullptr;
    QPushButton* Command2 = nullptr;

    // ---- Chart panel ----
    QGroupBox* Frame2 = nullptr;
    QGroupBox* Frame4 = nullptr;
    std::array<QCheckBox*, 3> chkShowCurve{};
    std::array<QComboBox*, 3> comCurveColor{};
    std::array<QComboBox*, 3> comCurveType{};
    QLineEdit* textquxian1 = nullptr;
    QLineEdit* Text5 = nullptr;
    QLineEdit* Text6 = nullptr;
    QLineEdit* txtHorSplits = nullptr;
    QLineEdit* txtVerSplits = nullptr;
    QLineEdit* txtVerMin = nullptr;
    QLineEdit* txtVerMax = nullptr;
    QPushButton* Commandgraphclear = nullptr;
    QPushButton* Commandgraphstart = nullptr;
    QPushButton* Command4 = nullptr;
    QLabel* Label24 = nullptr;
    QGroupBox* Frame5 = nullptr;
    std::array<kv::Lamp*, 13> Shape1{};
    QLabel* Label23 = nullptr;

    // The list contents the start-up gives the chart panel's lists.
    static QStringList CurveColorNames();
    static QStringList CurveSourceNames();

signals:
    // A sample has been shown (values as decoded, before scaling).
    void PollReplyHandled(const kv::PollReply& reply);
    // A poll reply of the window's own receive path has been decoded: its text
    // as it came (34 hexadecimal digits, the CRC last), and as a sample.
    void PollReplyDecoded(const QString& replyText, const kv::PollReply& reply);
    void SampleDecoded(const kv::LiveSample& sample);
    // The port was opened, closed, not opened or lost (the window shows it so already).
    void PortChanged(kv::PortEvent event);
    // Polling switched on or off (the chart's button, or a parameter read pausing it).
    void PollingSwitched(bool run);

protected:
    void closeEvent(QCloseEvent* event) override;

    // The port test of the drive commands: true when the open/close button
    // reads "关闭串口", otherwise "请打开串口" is shown.
    bool PortTestOpen();
    // Puts bytes on the line; a failure is reported (a vanished port once) and gives false.
    bool SendToDrive(const QByteArray& bytes);
    // Sends frame text + CRC text and logs "输出：" with it.
    bool SendWithEcho(const QString& frameText);
    // Adds the chosen value x factor of one curve to the chart.
    void FeedCurve(short index, QLineEdit* factorBox, QComboBox* sourceList, const std::array<float, 5>& values);

    kv::MsgAnswer MsgBox(const QString& text, kv::MsgButtons buttons = kv::MsgButtons::Ok,
                         kv::MsgIcon icon = kv::MsgIcon::None, const QString& title = QString(),
                         bool foreground = false);
    // Runs a call on the chart; a failure the chart reports is absorbed so that
    // no handler ends the program.
    template <typename F>
    void ChartCall(F&& call);
    // Marks the two vertical limit boxes (red text and a tooltip) while the
    // chart's minimum is not below its maximum, and clears the mark otherwise.
    void MarkVerticalLimits();
    // The port is gone while the window still shows it open: show it closed and tell the user.
    void PortLost();
    void PortOpenFailed();
    // The port closed without the button (lost, or never connected): the
    // window shows it closed; false when it showed it closed already.
    bool ShowPortClosedBehindUs();
    // Ends the program at once: nothing else runs, nothing is saved.
    void EndProgram();
    // The line is busy with work beside the window: "通讯忙，请稍候" and true.
    bool LineBusyRefused();
    // Whether the window may use the line now (work beside it may make way).
    bool LineFree();
    // Polling on (the poll timer at its interval) or off.
    void SwitchPolling(bool run);
    // The poll timer's interval from what polling wants and what holds the
    // line: the one place that sets it.
    void ApplyPollTimer();

    kv::MessageBoxes& m_boxes;
    kv::PlatformServices& m_platform;

private:
    void Build();
    void BuildMenu();
    void BuildSettingsGroup(QWidget* client);
    void BuildTerminalGroup(QWidget* client);
    void BuildParameterGroup(QWidget* client);
    void BuildDriveButtons(QWidget* client);
    void BuildChartPanel(QWidget* client);
    void ConnectHandlers();
    // A translated interface only, at the end of the start-up (the lists are
    // filled): makes room where a translated text would be cut off (the
    // parameter list, captions, list boxes). The source texts fit as designed.
    void FitTranslatedTexts();

    bool m_loaded = false;
    // Combo1's index changed and the handler ran; an activation that follows at
    // once belongs to the same choice.
    bool m_combo1IndexJustChanged = false;
    bool m_programEnded = false;
    qint64 m_pollRepliesDecoded = 0;
    kv::AuxWindows m_aux;
    kv::LineGate* m_lineGate = nullptr;
    kv::PortChoice m_openedWith;
    bool m_pollWanted = false;
    bool m_lineLent = false;
    bool m_pollTakenOver = false;
};

template <typename F>
void Form1::ChartCall(F&& call)
{
    try {
        call();
    } catch (const std::exception& e) {
        qWarning("chart: %s", e.what());
    }
}
