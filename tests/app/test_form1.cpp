// The main window: start-up state, exit questions, port open and close, the
// terminal and the receive path on real pseudo-terminals, the chart panel.
#include "app/form1.h"
#include "app/lamp.h"
#include "app/logbox.h"
#include "chart/curvegraph.h"
#include "common/colors.h"
#include "common/intervaltimer.h"
#include "drive/catalogue.h"
#include "serial/mscomm.h"
#include "serial/portsettings.h"
#include "tests/support/fakes.h"
#include "tests/support/pty.h"

#include <QAbstractItemView>
#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFontDatabase>
#include <QRawFont>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

using namespace kv;

namespace {

// Records what the receive path hands to the poll decoding.
class RecordingForm : public Form1 {
public:
    using Form1::Form1;
    void HandlePollReply(const QString& replyText) override { pollReplies.append(replyText); }
    QStringList pollReplies;
};

const QString kReply = QStringLiteral("01030C01F4000A021C03E8012C00018409");

} // namespace

class TestForm1 : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanup();

    void designValuesBeforeLoad();
    void windowFontHasChineseGlyphs();
    void startupTexts_data();
    void startupTexts();
    void startupLists_data();
    void startupLists();
    void startupLayout_data();
    void startupLayout();
    void lampsStandInDescendingOrder();
    void menu_data();
    void menu();
    void startupChart();
    void startupParameterList();
    void groupSelection_data();
    void groupSelection();
    void choosingAGroupFromTheList();

    void closeQuestion_data();
    void closeQuestion();
    void exitQuestion_data();
    void exitQuestion();
    void noLeavesAnOpenPortOpen();

    void openWithDefaultsOnCom3();
    void typedPortTextStaysAsTyped();
    void comTenFromTheList();
    void stationAddress_data();
    void stationAddress();
    void openFailures_data();
    void openFailures();
    void closeKeepsStationAndTick();
    void receiveModeFollowsTheTick();

    void sendClosedPort();
    void send_data();
    void send();
    void sendToAVanishedPort();
    void pollReplyWhole();
    void pollReplySplit();
    void twoRepliesInOneRead();
    void chunkBeginningWithFIsDropped();
    void chunkBeginningWith0FIsLogged();
    void textModeChunks();
    void logLimit_data();
    void logLimit();
    void clearLog();
    void userTypesInTheLog();
    void portVanishing();

    void untickAndTickCurve2();
    void untickCurve1();
    void sourceOfCurve1ChangesWhileTicked();
    void colourOfCurve2();
    void typingTheMaximum();
    void limitsClearTheChart_data();
    void limitsClearTheChart();
    void extremeLimitsKeepTheChartWorking();
    void invalidLimitsMarkTheBoxes();
    void scaleFactorsClearTheChart_data();
    void scaleFactorsClearTheChart();
    void divisionsDoNotClearTheChart_data();
    void divisionsDoNotClearTheChart();
    void clearButton();

private:
    template <typename T>
    T* child(const QString& name) const
    {
        T* w = form->findChild<T*>(name);
        if (!w)
            qWarning("no child %s", qPrintable(name));
        return w;
    }
    // Opens the port on the pseudo-terminal by naming its device in the port box.
    bool openOn(const test::Pty& pty);
    QString linkFolder() const { return PortLinkFolder(); }
    void linkPort(int number, const QString& device);
    // Gives the chart samples, so that clearing it shows.
    void feedChart();
    bool chartCleared() const;

    QTemporaryDir m_data;
    std::unique_ptr<test::RecordingMessageBoxes> boxes;
    std::unique_ptr<test::FakePlatform> platform;
    std::unique_ptr<RecordingForm> form;
};

void TestForm1::initTestCase()
{
    QVERIFY(m_data.isValid());
    // The port links live under the application data folder: keep them in a temporary one.
    qputenv("XDG_DATA_HOME", m_data.path().toLocal8Bit());
    QVERIFY(linkFolder().startsWith(m_data.path()));
    QVERIFY(QDir().mkpath(linkFolder()));
}

void TestForm1::init()
{
    boxes = std::make_unique<test::RecordingMessageBoxes>();
    platform = std::make_unique<test::FakePlatform>();
    form = std::make_unique<RecordingForm>(*boxes, *platform);
    form->Form_Load();
    form->show();
    QVERIFY(QTest::qWaitForWindowExposed(form.get()));
}

void TestForm1::cleanup()
{
    form.reset();
    QDir links(linkFolder());
    for (const QString& name : links.entryList(QDir::System | QDir::Files))
        links.remove(name);
}

bool TestForm1::openOn(const test::Pty& pty)
{
    form->ComboMSCPort->setEditText(pty.slavePath());
    form->CommandOpenMSC->click();
    return form->MSComm->PortOpen();
}

void TestForm1::linkPort(int number, const QString& device)
{
    QVERIFY(QFile::link(device, linkFolder() + QStringLiteral("/COM%1").arg(number)));
}

void TestForm1::feedChart()
{
    for (short i = 1; i <= 3; ++i)
        form->CurveGraph1->AddValue(10.0f, i);
    QVERIFY(!chartCleared());
}

bool TestForm1::chartCleared() const
{
    const CurveGraph* g = form->CurveGraph1;
    return g->LastEmptyIndex() == qMax(0, g->PointCount() - 1) && !g->CurveHasData(2) && !g->CurveHasData(3);
}

// ---- start-up -----------------------------------------------------------------

void TestForm1::designValuesBeforeLoad()
{
    // Before the load nothing has run: the design values stand as they are.
    test::RecordingMessageBoxes quiet;
    test::FakePlatform fake;
    Form1 fresh(quiet, fake);
    QCOMPARE(fresh.ComboMSCPort->currentText(), QStringLiteral("COM 3"));
    QCOMPARE(fresh.ComboMSCPort->count(), 0);
    QCOMPARE(fresh.Combo1->currentText(), QStringLiteral("参数列表"));
    QCOMPARE(fresh.Combo1->count(), 0);
    QCOMPARE(fresh.List1->count(), 0);
    QVERIFY(!fresh.ChkSend16->isChecked());
    QVERIFY(fresh.chkShowCurve[0]->isChecked());
    QVERIFY(!fresh.chkShowCurve[1]->isChecked());
    QVERIFY(!fresh.chkShowCurve[2]->isChecked());
    QCOMPARE(fresh.comCurveColor[0]->count(), 0);
    QCOMPARE(fresh.comCurveColor[0]->currentIndex(), -1);
    QCOMPARE(fresh.CurveGraph1->CurveCount(), short(1));
    QCOMPARE(fresh.CurveGraph1->HorizontalSplits(), 9);
    QCOMPARE(fresh.CurveGraph1->VerticalSplits(), 9);
    QCOMPARE(fresh.CurveGraph1->MaxVertical(), 9.0f);
    QCOMPARE(fresh.CurveGraph1->LegendMarker(), QStringLiteral("— "));
    QVERIFY(quiet.shown.isEmpty());
}

void TestForm1::windowFontHasChineseGlyphs()
{
    const QStringList cjk{QStringLiteral("WenQuanYi Micro Hei"), QStringLiteral("Noto Sans CJK SC"),
                          QStringLiteral("SimSun"), QStringLiteral("Microsoft YaHei")};
    bool installed = false;
    for (const QString& family : cjk)
        installed = installed || QFontDatabase::families().contains(family);
    if (!installed)
        QSKIP("no font with Chinese glyphs on this machine");
    const QRawFont raw = QRawFont::fromFont(form->font());
    QVERIFY(raw.supportsCharacter(QChar(u'串')));
    QVERIFY(raw.supportsCharacter(QChar(u'调')));
    QCOMPARE(form->font().pointSizeF(), 9.0);
}

void TestForm1::startupTexts_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("enabled");
    QTest::addColumn<int>("checked");  // -1: not a check box

    auto row = [](const char* name, const QString& text, bool enabled = true, int checked = -1) {
        QTest::newRow(name) << QString::fromLatin1(name) << text << enabled << checked;
    };
    row("CommandOpenMSC", QStringLiteral("打开串口"));
    row("Text1", QStringLiteral("02060000000F"));
    row("Command1", QStringLiteral("发送"));
    row("Command3", QStringLiteral("清空"));
    row("ChkCRC16", QStringLiteral("添加CRC16校验码"), true, 0);
    row("ChkSend16", QStringLiteral("16进制发送"), true, 1);
    row("Chkreceive16", QStringLiteral("16进制显示接收"), false, 0);
    row("CmdViewPram", QStringLiteral("查看参数"));
    row("Command_start", QStringLiteral("启动"));
    row("Command_stop", QStringLiteral("停止"));
    row("Text3", QStringLiteral("25"));
    row("Label9", QStringLiteral("HZ"));
    row("Command_set", QStringLiteral("设置频率"));
    row("Command2", QStringLiteral("故障复位"));
    row("chkShowCurve0", QStringLiteral("显示 1"), true, 1);
    row("chkShowCurve1", QStringLiteral("显示 2"), true, 1);
    row("chkShowCurve2", QStringLiteral("显示 3"), true, 1);
    row("textquxian1", QStringLiteral("1"));
    row("Text5", QStringLiteral("1"));
    row("Text6", QStringLiteral("0.1"));
    row("txtHorSplits", QStringLiteral("9"));
    row("txtVerSplits", QStringLiteral("15"));
    row("txtVerMin", QStringLiteral("-50"));
    row("txtVerMax", QStringLiteral("100"));
    row("Commandgraphclear", QStringLiteral("清除曲线"));
    row("Commandgraphstart", QStringLiteral("开始"));
    row("Command4", QStringLiteral("清除状态"));
    row("Label24", QStringLiteral("状态指示"));
    row("Label23", QStringLiteral("外信号 外1/2  超极限   远程   到达    报警  禁合闸   OFF3   OFF2   故障  准给定  准运行 准合闸  "));
    row("FrameMSC", QStringLiteral("串口设置"));
    row("Frame1", QStringLiteral("调试"));
    row("Frame3", QStringLiteral("参数列表"));
    row("Frame2", QStringLiteral("实时动态曲线"));
}

void TestForm1::startupTexts()
{
    QFETCH(QString, name);
    QFETCH(QString, text);
    QFETCH(bool, enabled);
    QFETCH(int, checked);
    QWidget* w = child<QWidget>(name);
    QVERIFY(w);
    QString shown;
    if (auto* b = qobject_cast<QAbstractButton*>(w))
        shown = b->text();
    else if (auto* e = qobject_cast<QLineEdit*>(w))
        shown = e->text();
    else if (auto* l = qobject_cast<QLabel*>(w))
        shown = l->text();
    else if (auto* g = qobject_cast<QGroupBox*>(w))
        shown = g->title();
    QCOMPARE(shown, text);
    QCOMPARE(w->isEnabled(), enabled);
    if (checked >= 0)
        QCOMPARE(qobject_cast<QCheckBox*>(w)->isChecked(), checked == 1);
}

void TestForm1::startupLists_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QStringList>("items");
    QTest::addColumn<bool>("editable");
    QTest::addColumn<bool>("enabled");

    QStringList ports;
    for (int n = 1; n <= 10; ++n)
        ports << QStringLiteral("COM%1").arg(n);
    const QStringList colours{QStringLiteral("绿色"), QStringLiteral("白色"), QStringLiteral("红色")};
    const QStringList sources{QStringLiteral("频率"), QStringLiteral("电流"), QStringLiteral("直流电压"),
                              QStringLiteral("AI1"), QStringLiteral("AI2")};
    QTest::newRow("port, not a row of its list") << "ComboMSCPort" << "COM 3" << ports << true << true;
    QTest::newRow("baud") << "ComboMSCBaudrate" << "9600" << QStringList() << true << true;
    QTest::newRow("parity") << "ComboParity" << "None"
                            << QStringList{QStringLiteral("Odd"), QStringLiteral("Even"), QStringLiteral("None")} << true
                            << true;
    QTest::newRow("data bits") << "ComboDatabits" << "8" << QStringList() << true << true;
    QTest::newRow("stop bits") << "ComboStopbit" << "1" << QStringList() << true << true;
    QTest::newRow("station") << "Combo2" << "1" << QStringList() << true << true;
    QTest::newRow("groups, motor data first") << "Combo1" << "99 电机数据" << ParameterGroups() << true << true;
    QTest::newRow("colour 1") << "comCurveColor0" << "绿色" << colours << false << true;
    QTest::newRow("colour 2") << "comCurveColor1" << "白色" << colours << false << true;
    QTest::newRow("colour 3") << "comCurveColor2" << "红色" << colours << false << true;
    // "显示 1" is ticked in the design, so only the other two boxes ran their handling.
    QTest::newRow("source 1 enabled") << "comCurveType0" << "频率" << sources << false << true;
    QTest::newRow("source 2 disabled") << "comCurveType1" << "电流" << sources << false << false;
    QTest::newRow("source 3 disabled") << "comCurveType2" << "直流电压" << sources << false << false;
}

void TestForm1::startupLists()
{
    QFETCH(QString, name);
    QFETCH(QString, text);
    QFETCH(QStringList, items);
    QFETCH(bool, editable);
    QFETCH(bool, enabled);
    auto* box = child<QComboBox>(name);
    QVERIFY(box);
    QCOMPARE(box->currentText(), text);
    QStringList listed;
    for (int i = 0; i < box->count(); ++i)
        listed << box->itemText(i);
    // The port list goes on with the ports this machine reports.
    if (name == u"ComboMSCPort")
        listed = listed.mid(0, 10);
    QCOMPARE(listed, items);
    QCOMPARE(box->isEditable(), editable);
    QCOMPARE(box->isEnabled(), enabled);
}

void TestForm1::startupLayout_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QRect>("rect");  // pixels, relative to the parent
    QTest::addColumn<bool>("visible");
    QTest::newRow("FrameMSC") << "FrameMSC" << QRect(8, 8, 161, 419) << true;
    QTest::newRow("Frame1 hidden over Frame3") << "Frame1" << QRect(176, 8, 257, 313) << false;
    QTest::newRow("Frame3") << "Frame3" << QRect(176, 8, 257, 313) << true;
    QTest::newRow("Frame2") << "Frame2" << QRect(440, 8, 513, 417) << true;
    QTest::newRow("CurveGraph1") << "CurveGraph1" << QRect(8, 16, 481, 169) << true;
    QTest::newRow("Frame4") << "Frame4" << QRect(8, 192, 481, 92) << true;
    QTest::newRow("txtHorSplits") << "txtHorSplits" << QRect(96, 293, 33, 18) << true;
    QTest::newRow("txtVerMax") << "txtVerMax" << QRect(248, 325, 33, 18) << true;
    QTest::newRow("Commandgraphclear") << "Commandgraphclear" << QRect(328, 288, 73, 25) << true;
    QTest::newRow("Commandgraphstart") << "Commandgraphstart" << QRect(328, 320, 73, 25) << true;
    QTest::newRow("chkShowCurve2") << "chkShowCurve2" << QRect(24, 68, 57, 17) << true;
    QTest::newRow("Text6") << "Text6" << QRect(408, 64, 57, 18) << true;
    QTest::newRow("CmdViewPram") << "CmdViewPram" << QRect(344, 344, 89, 28) << true;
    QTest::newRow("Text7 below the client area") << "Text7" << QRect(176, 440, 257, 81) << true;
}

void TestForm1::startupLayout()
{
    QFETCH(QString, name);
    QFETCH(QRect, rect);
    QFETCH(bool, visible);
    QCOMPARE(form->windowTitle(), QStringLiteral("KOLVEN调试助手 专业ORVEX传动服务(加微信:tiaoshi0000) V1.0"));
    QCOMPARE(form->centralWidget()->size(), QSize(959, 432));
    QWidget* w = child<QWidget>(name);
    QVERIFY(w);
    QCOMPARE(w->geometry(), rect);
    QCOMPARE(w->isVisibleTo(form.get()), visible);
}

void TestForm1::lampsStandInDescendingOrder()
{
    for (int i = 0; i < 13; ++i) {
        auto* lamp = child<Lamp>(QStringLiteral("Shape1_%1").arg(i));
        QVERIFY(lamp);
        QCOMPARE(lamp, form->Shape1[i]);
        QCOMPARE(lamp->FillColor(), kLightBlue);
        if (i > 0)
            QVERIFY2(lamp->x() < form->Shape1[i - 1]->x(), "Shape1(12) leftmost, Shape1(0) rightmost");
    }
    QCOMPARE(form->Shape1[12]->parentWidget(), form->Frame5);
}

void TestForm1::menu_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QString>("menu");
    QTest::newRow("debug1") << "debug1" << "调试助手" << "Menu";
    QTest::newRow("Instruction") << "Instruction" << "使用教程" << "Menu";
    QTest::newRow("regsvr32") << "regsvr32" << "注册控件" << "zuce";
    QTest::newRow("regsvr32u") << "regsvr32u" << "卸载控件" << "zuce";
    QTest::newRow("about") << "about" << "微信扫码加好友" << "Menu";
    QTest::newRow("exit1") << "exit1" << "退出" << "Menu";
}

void TestForm1::menu()
{
    QFETCH(QString, name);
    QFETCH(QString, caption);
    QFETCH(QString, menu);
    auto* action = form->findChild<QAction*>(name);
    QVERIFY(action);
    QCOMPARE(action->text(), caption);
    QVERIFY(!action->isChecked());
    auto* owner = form->findChild<QMenu*>(menu);
    QVERIFY(owner);
    QVERIFY(owner->actions().contains(action));
    QCOMPARE(form->Menu->title(), QStringLiteral("开始"));
    QCOMPARE(form->zuce->title(), QStringLiteral("注册MSCOMM控件"));
    QCOMPARE(form->menuBar()->actions(), QList<QAction*>{form->Menu->menuAction()});
    const QList<QAction*> order = form->Menu->actions();
    QCOMPARE(order, (QList<QAction*>{form->debug1, form->Instruction, form->zuce->menuAction(), form->about,
                                     form->exit1}));
}

void TestForm1::startupChart()
{
    const CurveGraph* g = form->CurveGraph1;
    QCOMPARE(g->CurveCount(), short(3));
    QCOMPARE(g->HorizontalSplits(), 9);
    QCOMPARE(g->VerticalSplits(), 15);
    QCOMPARE(g->MinVertical(), -50.0f);
    QCOMPARE(g->MaxVertical(), 100.0f);
    QCOMPARE(g->xBarNowTimeFormat(), QStringLiteral("hh:mm:ss"));
    QCOMPARE(g->AxesFont(), form->font());
    const QStringList legends{QStringLiteral("— 频率"), QStringLiteral("— 电流"), QStringLiteral("— 直流电压")};
    const qint32 colours[] = {kGreen, kWhite, kRed};
    for (short i = 1; i <= 3; ++i) {
        QCOMPARE(g->CurveLineColor(i), colours[i - 1]);
        QVERIFY(g->Model().ShowLegendSwitch(i));
        auto* label = g->findChild<QLabel*>(QStringLiteral("lblLegend%1").arg(i));
        QVERIFY(label);
        QCOMPARE(label->text(), legends[i - 1]);
        QCOMPARE(label->palette().color(QPalette::WindowText), BgrToQColor(colours[i - 1]));
    }
    QCOMPARE(form->Timer1->Interval(), 0);
    QVERIFY(!form->MSComm->PortOpen());
    QVERIFY(form->StationAddr.isEmpty());
}

void TestForm1::startupParameterList()
{
    QCOMPARE(form->List1->count(), 8);
    QCOMPARE(form->List1->item(0)->text(), QStringLiteral("9901----语言"));
    QCOMPARE(form->List1->item(7)->text(), QStringLiteral("9915----电机功率因数"));
    for (int i = 0; i < 8; ++i)
        QCOMPARE(form->List1->item(i)->checkState(), Qt::Unchecked);
    QCOMPARE(form->List2->count(), 0);
    QCOMPARE(form->Text7->toPlainText().count(u'\n'), 415);
}

void TestForm1::groupSelection_data()
{
    QTest::addColumn<QString>("group");
    QTest::addColumn<int>("rows");
    QTest::addColumn<QString>("first");
    QTest::newRow("options") << "98 可选件" << 1 << "9802----通讯选择";
    QTest::newRow("operating data") << "01 运行数据" << 54 << "0101----转速与方向";
    QTest::newRow("limits") << "20 限幅" << 5 << "2003----最大电流";
    QTest::newRow("communication module") << "51 外部通讯模块" << 9 << "5101----总线适配器类型";
}

void TestForm1::groupSelection()
{
    QFETCH(QString, group);
    QFETCH(int, rows);
    QFETCH(QString, first);
    form->List2->addItem(QStringLiteral("earlier result"));
    form->List1->item(0)->setCheckState(Qt::Checked);
    form->Combo1->setCurrentIndex(form->Combo1->findText(group));
    QCOMPARE(form->List1->count(), rows);
    QCOMPARE(form->List1->item(0)->text(), first);
    for (int i = 0; i < rows; ++i) {
        QCOMPARE(form->List1->item(i)->checkState(), Qt::Unchecked);
        QVERIFY(form->List1->item(i)->text().startsWith(group.left(2)));
    }
    if (group.startsWith(u"51"))
        QCOMPARE(form->List1->item(1)->text(), QStringLiteral("5102-5126\t总线参数226"));
    QCOMPARE(form->List2->count(), 1);  // not touched
}

void TestForm1::choosingAGroupFromTheList()
{
    // The user picks an entry of the open list with the keyboard.
    auto choose = [this](int row) {
        form->Combo1->showPopup();
        QAbstractItemView* view = form->Combo1->view();
        view->setCurrentIndex(view->model()->index(row, 0));
        QTest::keyClick(view, Qt::Key_Return);
    };
    QSignalSpy rebuilt(form->List1->model(), &QAbstractItemModel::modelReset);
    // The group already shown, chosen again: the list is rebuilt and the ticks cleared.
    form->List1->item(0)->setCheckState(Qt::Checked);
    choose(0);
    QCOMPARE(rebuilt.size(), 1);
    QCOMPARE(form->List1->item(0)->checkState(), Qt::Unchecked);
    // Another group: one rebuild for the one choice.
    choose(1);
    QCOMPARE(form->Combo1->currentIndex(), 1);
    QCOMPARE(rebuilt.size(), 2);
    QVERIFY(form->List1->item(0)->text().startsWith(form->Combo1->currentText().left(2)));
    // An index set in code runs the handler once; the next choice of that entry runs it again.
    form->Combo1->setCurrentIndex(2);
    QCOMPARE(rebuilt.size(), 3);
    QCoreApplication::processEvents();
    choose(2);
    QCOMPARE(rebuilt.size(), 4);
}

// ---- shutdown -------------------------------------------------------------------

void TestForm1::closeQuestion_data()
{
    QTest::addColumn<int>("answer");
    QTest::addColumn<bool>("ends");
    QTest::newRow("yes") << int(MsgAnswer::Yes) << true;
    QTest::newRow("no") << int(MsgAnswer::No) << false;
}

void TestForm1::closeQuestion()
{
    QFETCH(int, answer);
    QFETCH(bool, ends);
    boxes->answers = {MsgAnswer(answer)};
    form->close();
    QCOMPARE(boxes->shown.size(), 1);
    QCOMPARE(boxes->shown[0].text, QStringLiteral("你真的想退出吗？ "));
    QCOMPARE(boxes->shown[0].title, QStringLiteral("退出提示 "));
    QCOMPARE(boxes->shown[0].buttons, MsgButtons::YesNo);
    QCOMPARE(form->ProgramEnded(), ends);
    QCOMPARE(form->isVisible(), !ends);
}

void TestForm1::exitQuestion_data()
{
    QTest::addColumn<int>("answer");
    QTest::addColumn<bool>("ends");
    QTest::newRow("yes") << int(MsgAnswer::Yes) << true;
    QTest::newRow("no") << int(MsgAnswer::No) << false;
}

void TestForm1::exitQuestion()
{
    QFETCH(int, answer);
    QFETCH(bool, ends);
    boxes->answers = {MsgAnswer(answer)};
    form->exit1->trigger();
    QCOMPARE(boxes->shown.size(), 1);  // the close question is not asked as well
    QCOMPARE(boxes->shown[0].text, QStringLiteral("您确定要停止运行吗？"));
    QCOMPARE(boxes->shown[0].title, QString());
    QCOMPARE(boxes->shown[0].buttons, MsgButtons::YesNo);
    QCOMPARE(boxes->shown[0].icon, MsgIcon::Question);
    QVERIFY(boxes->shown[0].foreground);
    QCOMPARE(form->ProgramEnded(), ends);
}

void TestForm1::noLeavesAnOpenPortOpen()
{
    test::Pty pty;
    QVERIFY(openOn(pty));
    form->Timer1->setInterval(500);
    boxes->answers = {MsgAnswer::No, MsgAnswer::No};
    form->exit1->trigger();
    form->close();
    QCOMPARE(boxes->shown.size(), 2);
    QVERIFY(form->MSComm->PortOpen());
    QCOMPARE(form->CommandOpenMSC->text(), QStringLiteral("关闭串口"));
    QCOMPARE(form->Timer1->Interval(), 500);
    QVERIFY(form->isVisible());
    // The line still works.
    form->Command1->click();
    QCOMPARE(pty.read(6), QByteArray::fromHex("02060000000F"));
}

// ---- port open and close -------------------------------------------------------------

void TestForm1::openWithDefaultsOnCom3()
{
    test::Pty pty;
    linkPort(3, pty.slavePath());
    QCOMPARE(form->ComboMSCPort->currentText(), QStringLiteral("COM 3"));
    form->CommandOpenMSC->click();
    QVERIFY2(boxes->shown.isEmpty(), qPrintable(boxes->texts().join(u',')));
    QVERIFY(form->MSComm->PortOpen());
    QCOMPARE(form->MSComm->CommPort(), short(3));
    QCOMPARE(form->MSComm->DevicePath(), pty.slavePath());
    QCOMPARE(form->MSComm->Settings(), QStringLiteral("9600,N,8,1"));
    QCOMPARE(form->MSComm->InputMode(), 1);
    QCOMPARE(form->MSComm->RThreshold(), short(1));
    QCOMPARE(form->StationAddr, QStringLiteral("01"));
    QCOMPARE(form->CommandOpenMSC->text(), QStringLiteral("关闭串口"));
    QCOMPARE(form->ShapeMSC->FillColor(), kGreen);
    QVERIFY(form->Chkreceive16->isChecked());
    QVERIFY(form->Chkreceive16->isEnabled());
}

void TestForm1::typedPortTextStaysAsTyped()
{
    // No completion from the list: "COM" stays "COM" (and fails), never becomes COM1.
    form->ComboMSCPort->lineEdit()->clear();
    QTest::keyClicks(form->ComboMSCPort->lineEdit(), QStringLiteral("COM"));
    QCOMPARE(form->ComboMSCPort->currentText(), QStringLiteral("COM"));
    form->CommandOpenMSC->click();
    QCOMPARE(boxes->texts(), QStringList{QStringLiteral("无效端口号")});
}

void TestForm1::comTenFromTheList()
{
    test::Pty pty;
    linkPort(10, pty.slavePath());
    form->ComboMSCPort->setCurrentIndex(9);
    QCOMPARE(form->ComboMSCPort->currentText(), QStringLiteral("COM10"));
    form->CommandOpenMSC->click();
    QVERIFY(form->MSComm->PortOpen());
    QCOMPARE(form->MSComm->CommPort(), short(10));
    QCOMPARE(form->MSComm->DevicePath(), pty.slavePath());
}

void TestForm1::stationAddress_data()
{
    QTest::addColumn<QString>("station");
    QTest::addColumn<QString>("addr");
    QTest::newRow("10") << "10" << "0A";
    QTest::newRow("99") << "99" << "63";
    QTest::newRow("empty") << "" << "01";
    QTest::newRow("0") << "0" << "00";
    QTest::newRow("247") << "247" << "F7";
    QTest::newRow("100") << "100" << "64";
}

void TestForm1::stationAddress()
{
    QFETCH(QString, station);
    QFETCH(QString, addr);
    test::Pty pty;
    form->Combo2->setEditText(station);
    QVERIFY(openOn(pty));
    QCOMPARE(form->StationAddr, addr);
}

void TestForm1::openFailures_data()
{
    QTest::addColumn<QString>("port");
    QTest::addColumn<QString>("parity");
    QTest::newRow("no digit at the end") << "COM" << "None";
    QTest::newRow("port without a device") << "COM 200" << "None";
    QTest::newRow("port 0") << "COM 0" << "None";
    QTest::newRow("port beyond 255") << "COM256" << "None";
    QTest::newRow("missing device path") << "/dev/kv-no-such-port" << "None";
    QTest::newRow("blank parity letter") << "" << " Odd";
    QTest::newRow("unknown parity letter") << "" << "Xodd";
}

void TestForm1::openFailures()
{
    QFETCH(QString, port);
    QFETCH(QString, parity);
    test::Pty pty;
    form->ComboMSCPort->setEditText(port.isEmpty() ? pty.slavePath() : port);
    form->ComboParity->setEditText(parity);
    form->Combo2->setEditText(QStringLiteral("10"));
    form->CommandOpenMSC->click();
    QCOMPARE(boxes->shown.size(), 1);
    QCOMPARE(boxes->shown[0].text, QStringLiteral("无效端口号"));
    QCOMPARE(boxes->shown[0].title, QStringLiteral("串口调试助手"));
    QCOMPARE(boxes->shown[0].icon, MsgIcon::Exclamation);
    QCOMPARE(boxes->shown[0].buttons, MsgButtons::Ok);
    QCOMPARE(form->CommandOpenMSC->text(), QStringLiteral("打开串口"));
    QCOMPARE(form->ShapeMSC->FillColor(), kRed);
    QVERIFY(!form->MSComm->PortOpen());
    QVERIFY(!form->Chkreceive16->isEnabled());
    QCOMPARE(form->StationAddr, QStringLiteral("0A"));  // done before the failure, stays done

    // The next attempt with good settings opens.
    boxes->shown.clear();
    form->ComboParity->setEditText(QStringLiteral("None"));
    QVERIFY(openOn(pty));
    QVERIFY(boxes->shown.isEmpty());
}

void TestForm1::closeKeepsStationAndTick()
{
    test::Pty pty;
    QVERIFY(openOn(pty));
    form->CommandOpenMSC->click();
    QVERIFY(!form->MSComm->PortOpen());
    QCOMPARE(form->CommandOpenMSC->text(), QStringLiteral("打开串口"));
    QCOMPARE(form->ShapeMSC->FillColor(), kRed);
    QVERIFY(!form->Chkreceive16->isEnabled());
    QVERIFY(form->Chkreceive16->isChecked());
    QCOMPARE(form->StationAddr, QStringLiteral("01"));
    // The next open replaces it.
    form->Combo2->setEditText(QStringLiteral("5"));
    form->CommandOpenMSC->click();
    QCOMPARE(form->StationAddr, QStringLiteral("05"));
    QVERIFY(boxes->shown.isEmpty());
}

void TestForm1::receiveModeFollowsTheTick()
{
    test::Pty pty;
    QVERIFY(openOn(pty));
    form->Chkreceive16->setChecked(false);
    QCOMPARE(form->MSComm->InputMode(), 0);
    QVERIFY(pty.write("abc"));
    QTRY_VERIFY(form->Text2->Text().contains(QStringLiteral("接收: abc\r\n")));
    // Closing and opening again ticks it again.
    form->CommandOpenMSC->click();
    form->CommandOpenMSC->click();
    QVERIFY(form->Chkreceive16->isChecked());
    QCOMPARE(form->MSComm->InputMode(), 1);
}

// ---- terminal -------------------------------------------------------------------

void TestForm1::sendClosedPort()
{
    form->Command1->click();
    QCOMPARE(boxes->texts(), QStringList{QStringLiteral("请打开串口")});
    QCOMPARE(boxes->shown[0].title, QString());
    QCOMPARE(boxes->shown[0].buttons, MsgButtons::Ok);
    QVERIFY(form->Text2->Text().isEmpty());
}

void TestForm1::send_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("hex");
    QTest::addColumn<bool>("crc");
    QTest::addColumn<QByteArray>("line");
    QTest::addColumn<QString>("log");
    QTest::newRow("defaults") << "02060000000F" << true << false << QByteArray::fromHex("02060000000F")
                              << "14:05:33 发送: 02060000000F\r\n";
    QTest::newRow("with CRC") << "010300000001" << true << true << QByteArray::fromHex("010300000001840A")
                              << "14:05:33 发送: 010300000001840A\r\n";
    QTest::newRow("odd length") << "0103000" << true << false << QByteArray::fromHex("010300")
                                << "14:05:33 发送: 0103000\r\n";
    QTest::newRow("blanks between pairs") << "01 03" << true << true << QByteArray::fromHex("01003402")
                                          << "14:05:33 发送: 01 034021\r\n";
    QTest::newRow("text") << "abc" << false << true << QByteArray("abc") << "14:05:33 发送: abc\r\n";
    QTest::newRow("one hex digit sends nothing") << "1" << true << false << QByteArray() << "";
    QTest::newRow("empty hex with CRC") << "" << true << true << QByteArray::fromHex("FFFF")
                                        << "14:05:33 发送: FFFF\r\n";
}

void TestForm1::send()
{
    QFETCH(QString, text);
    QFETCH(bool, hex);
    QFETCH(bool, crc);
    QFETCH(QByteArray, line);
    QFETCH(QString, log);
    test::Pty pty;
    QVERIFY(openOn(pty));
    form->Text1->setText(text);
    form->ChkSend16->setChecked(hex);
    form->ChkCRC16->setChecked(crc);
    form->Command1->click();
    QCOMPARE(pty.readAvailable(line.isEmpty() ? 200 : 2000), line);
    QCOMPARE(form->Text2->Text(), log);
    QVERIFY(boxes->shown.isEmpty());
}

void TestForm1::sendToAVanishedPort()
{
    test::Pty pty;
    QVERIFY(openOn(pty));
    pty.closeMaster();
    form->Command1->click();
    // The program goes on, says so, and shows the port closed.
    QTRY_COMPARE(form->CommandOpenMSC->text(), QStringLiteral("打开串口"));
    QTest::qWait(100);
    QVERIFY2(boxes->shown.size() == 1, qPrintable(boxes->texts().join(u'|')));  // told once
    QCOMPARE(boxes->shown[0].icon, MsgIcon::Exclamation);
    QVERIFY(!boxes->texts().contains(QStringLiteral("无效端口号")));
    QVERIFY(!form->Text2->Text().contains(QStringLiteral("发送")));
    QCOMPARE(form->ShapeMSC->FillColor(), kRed);
    QVERIFY(!form->Chkreceive16->isEnabled());
}

// ---- receive path ----------------------------------------------------------------

void TestForm1::pollReplyWhole()
{
    test::Pty pty;
    QVERIFY(openOn(pty));
    QVERIFY(pty.write(QByteArray::fromHex(kReply.toLatin1())));
    QTRY_COMPARE(form->pollReplies, QStringList{kReply});
    QCOMPARE(form->Text2->Text(), QStringLiteral("14:05:33 接收: ") + kReply + QStringLiteral("\r\n"));
}

void TestForm1::pollReplySplit()
{
    test::Pty pty;
    QVERIFY(openOn(pty));
    const QByteArray reply = QByteArray::fromHex(kReply.toLatin1());
    QVERIFY(pty.write(reply.left(5)));
    QTRY_VERIFY(!form->Text2->Text().isEmpty());
    QVERIFY(pty.write(reply.mid(5)));
    QTRY_COMPARE(form->Text2->Text().count(QStringLiteral("\r\n")), 2);
    QCOMPARE(form->Text2->Text(), QStringLiteral("14:05:33 接收: ") + kReply.left(10) + QStringLiteral("\r\n")
                                      + QStringLiteral("14:05:33 接收: ") + kReply.mid(10) + QStringLiteral("\r\n"));
    QTest::qWait(50);
    QVERIFY(form->pollReplies.isEmpty());
}

void TestForm1::twoRepliesInOneRead()
{
    test::Pty pty;
    QVERIFY(openOn(pty));
    // Bytes that arrive while a handler blocks are read together by the next event.
    QVERIFY(pty.write(QByteArray::fromHex((kReply + kReply).toLatin1())));
    QTRY_VERIFY(form->Text2->Text().contains(kReply + kReply));
    QCOMPARE(form->Text2->Text().count(QStringLiteral("\r\n")), 1);
    QVERIFY(form->pollReplies.isEmpty());
}

void TestForm1::chunkBeginningWithFIsDropped()
{
    test::Pty pty;
    QVERIFY(openOn(pty));
    QString fromF0 = kReply;
    fromF0.replace(0, 2, QStringLiteral("F0"));
    QSignalSpy events(form->MSComm, &MSComm::OnComm);  // after the window's handling
    // The whole chunk waits before the event loop runs; the receive path takes it
    // alone, and drops it, before the next one is written.
    QVERIFY(pty.writeAndWaitAtPort(QByteArray::fromHex(fromF0.toLatin1())));
    QTRY_COMPARE(events.size(), 1);
    QVERIFY(pty.write(QByteArray::fromHex("0103")));
    QTRY_VERIFY(!form->Text2->Text().isEmpty());
    QCOMPARE(form->Text2->Text(), QStringLiteral("14:05:33 接收: 0103\r\n"));
    QVERIFY(form->pollReplies.isEmpty());
}

void TestForm1::chunkBeginningWith0FIsLogged()
{
    test::Pty pty;
    QVERIFY(openOn(pty));
    QString from0F = kReply;
    from0F.replace(0, 2, QStringLiteral("0F"));
    QVERIFY(pty.write(QByteArray::fromHex(from0F.toLatin1())));
    QTRY_COMPARE(form->pollReplies, QStringList{from0F});
    QVERIFY(form->Text2->Text().contains(QStringLiteral("接收: ") + from0F));
}

void TestForm1::textModeChunks()
{
    test::Pty pty;
    QVERIFY(openOn(pty));
    form->Chkreceive16->setChecked(false);
    QSignalSpy events(form->MSComm, &MSComm::OnComm);  // after the window's handling
    QVERIFY(pty.writeAndWaitAtPort("Fault"));
    QTRY_COMPARE(events.size(), 1);  // taken alone, and dropped
    const QByteArray text34(34, 'a');
    QVERIFY(pty.write(text34));
    QTRY_COMPARE(form->pollReplies, QStringList{QString::fromLatin1(text34)});
    QCOMPARE(form->Text2->Text(), QStringLiteral("14:05:33 接收: ") + QString::fromLatin1(text34) + QStringLiteral("\r\n"));
}

void TestForm1::logLimit_data()
{
    QTest::addColumn<int>("before");
    QTest::addColumn<bool>("emptied");
    // A received byte logs "14:05:33 接收: 01" and CR LF: 17 characters.
    QTest::newRow("1990 + 17 passes 2000") << 1990 << true;
    QTest::newRow("1983 + 17 is 2000") << 1983 << false;
    QTest::newRow("1984 + 17 is 2001") << 1984 << true;
}

void TestForm1::logLimit()
{
    QFETCH(int, before);
    QFETCH(bool, emptied);
    test::Pty pty;
    QVERIFY(openOn(pty));
    form->Text2->setText(QString(before, u'x'));
    QVERIFY(pty.write(QByteArray::fromHex("01")));
    if (emptied) {
        QTRY_VERIFY(form->Text2->Text().isEmpty());
    } else {
        QTRY_COMPARE(form->Text2->Text().size(), 2000);
        QVERIFY(form->Text2->Text().endsWith(QStringLiteral("14:05:33 接收: 01\r\n")));
    }
}

void TestForm1::clearLog()
{
    form->AppendLogLine(QStringLiteral("line"));
    QCOMPARE(form->Text2->Text(), QStringLiteral("14:05:33 line\r\n"));
    form->Command3->click();
    QCOMPARE(form->Text2->Text(), QString());
}

void TestForm1::userTypesInTheLog()
{
    QVERIFY(!form->Text2->isReadOnly());
    form->AppendLogLine(QStringLiteral("line"));
    // Typing goes after the last entry; what the program appends follows it.
    QTest::keyClicks(form->Text2, QStringLiteral("mark"));
    QTest::keyClick(form->Text2, Qt::Key_Return);
    QCOMPARE(form->Text2->Text(), QStringLiteral("14:05:33 line\r\nmark\r\n"));
    form->AppendLogLine(QStringLiteral("next"));
    QCOMPARE(form->Text2->Text(), QStringLiteral("14:05:33 line\r\nmark\r\n14:05:33 next\r\n"));
    // A part deleted before saving it stays deleted.
    QTest::keyClick(form->Text2, Qt::Key_Home, Qt::ControlModifier);
    for (int i = 0; i < QStringLiteral("14:05:33 line\n").size(); ++i)
        QTest::keyClick(form->Text2, Qt::Key_Delete);
    form->AppendLogLine(QStringLiteral("last"));
    QCOMPARE(form->Text2->Text(), QStringLiteral("mark\r\n14:05:33 next\r\n14:05:33 last\r\n"));
}

void TestForm1::portVanishing()
{
    test::Pty pty;
    QVERIFY(openOn(pty));
    pty.closeMaster();
    QTRY_COMPARE(form->CommandOpenMSC->text(), QStringLiteral("打开串口"));
    QTest::qWait(100);
    QCOMPARE(boxes->shown.size(), 1);  // told once
    QCOMPARE(form->ShapeMSC->FillColor(), kRed);
    QVERIFY(form->Text2->Text().isEmpty());
}

// ---- chart panel ---------------------------------------------------------------------

void TestForm1::untickAndTickCurve2()
{
    CurveGraph* g = form->CurveGraph1;
    feedChart();
    auto* label2 = g->findChild<QLabel*>(QStringLiteral("lblLegend2"));
    QVERIFY(label2->isVisibleTo(g));

    form->chkShowCurve[1]->click();
    QVERIFY(chartCleared());
    QVERIFY(!g->Model().ShowLegendSwitch(2));
    QVERIFY(!label2->isVisibleTo(g));
    QVERIFY(form->comCurveType[1]->isEnabled());
    QCOMPARE(label2->text(), QStringLiteral("— 电流"));  // unticking does not rename

    form->comCurveType[1]->setCurrentIndex(3);  // AI1
    feedChart();
    form->chkShowCurve[1]->click();
    QVERIFY(chartCleared());
    QVERIFY(g->Model().ShowLegendSwitch(2));
    QCOMPARE(label2->text(), QStringLiteral("— AI1"));
    QVERIFY(!form->comCurveType[1]->isEnabled());
    g->AddValue(1.0f, 2);
    QVERIFY(label2->isVisibleTo(g));
}

void TestForm1::untickCurve1()
{
    CurveGraph* g = form->CurveGraph1;
    feedChart();
    form->chkShowCurve[0]->click();
    QVERIFY(chartCleared());
    QVERIFY(!g->Model().ShowLegendSwitch(1));
    QVERIFY(!g->findChild<QLabel*>(QStringLiteral("lblLegend1"))->isVisibleTo(g));
    QVERIFY(form->comCurveType[0]->isEnabled());
}

void TestForm1::sourceOfCurve1ChangesWhileTicked()
{
    CurveGraph* g = form->CurveGraph1;
    QVERIFY(form->comCurveType[0]->isEnabled());
    feedChart();
    form->comCurveType[0]->setCurrentIndex(1);
    QVERIFY(!chartCleared());
    QCOMPARE(g->findChild<QLabel*>(QStringLiteral("lblLegend1"))->text(), QStringLiteral("— 频率"));
    form->chkShowCurve[0]->click();
    form->chkShowCurve[0]->click();
    QCOMPARE(g->findChild<QLabel*>(QStringLiteral("lblLegend1"))->text(), QStringLiteral("— 电流"));
}

void TestForm1::colourOfCurve2()
{
    CurveGraph* g = form->CurveGraph1;
    feedChart();
    form->comCurveColor[1]->setCurrentIndex(2);
    QCOMPARE(g->CurveLineColor(2), kRed);
    QCOMPARE(g->findChild<QLabel*>(QStringLiteral("lblLegend2"))->palette().color(QPalette::WindowText),
             QColor(Qt::red));
    QVERIFY(!chartCleared());
    form->comCurveColor[1]->setCurrentIndex(-1);  // no selection: nothing changes
    QCOMPARE(g->CurveLineColor(2), kRed);
}

void TestForm1::typingTheMaximum()
{
    CurveGraph* g = form->CurveGraph1;
    QList<float> applied;
    QList<bool> cleared;
    // Connected after the window's own handling, so it sees what each keystroke applied.
    connect(form->txtVerMax, &QLineEdit::textChanged, this, [&] {
        applied.append(g->MaxVertical());
        cleared.append(chartCleared());
        feedChart();
    });
    feedChart();
    form->txtVerMax->clear();
    QTest::keyClicks(form->txtVerMax, QStringLiteral("120"));
    QCOMPARE(applied, (QList<float>{1.0f, 1.0f, 12.0f, 120.0f}));
    QCOMPARE(cleared, (QList<bool>{true, true, true, true}));
}

void TestForm1::limitsClearTheChart_data()
{
    QTest::addColumn<QString>("box");
    QTest::addColumn<QString>("text");
    QTest::addColumn<float>("min");
    QTest::addColumn<float>("max");
    QTest::newRow("minimum -20") << "txtVerMin" << "-20" << -20.0f << 100.0f;
    QTest::newRow("minimum empty") << "txtVerMin" << "" << 0.0f << 100.0f;
    QTest::newRow("minimum above maximum") << "txtVerMin" << "200" << 99.0f << 100.0f;
    QTest::newRow("minimum with trailing text") << "txtVerMin" << "-7.5V" << -7.5f << 100.0f;
    QTest::newRow("maximum 60") << "txtVerMax" << "60" << -50.0f << 60.0f;
    QTest::newRow("maximum abc") << "txtVerMax" << "abc" << -50.0f << 1.0f;
    QTest::newRow("maximum beyond single") << "txtVerMax" << "1e300" << -50.0f << std::numeric_limits<float>::max();
}

void TestForm1::limitsClearTheChart()
{
    QFETCH(QString, box);
    QFETCH(QString, text);
    QFETCH(float, min);
    QFETCH(float, max);
    feedChart();
    child<QLineEdit>(box)->setText(text);
    QVERIFY(chartCleared());
    QCOMPARE(form->CurveGraph1->MinVertical(), min);
    QCOMPARE(form->CurveGraph1->MaxVertical(), max);
}

void TestForm1::extremeLimitsKeepTheChartWorking()
{
    CurveGraph* g = form->CurveGraph1;
    form->txtVerMax->setText(QStringLiteral("1e300"));
    form->txtVerMin->setText(QStringLiteral("-1e300"));
    QCOMPARE(g->MaxVertical(), std::numeric_limits<float>::max());
    QCOMPARE(g->MinVertical(), -std::numeric_limits<float>::max());
    // Their distance does not fit a single: every sample is refused with an
    // overflow the caller can take, before anything changed.
    const qint32 last = g->LastEmptyIndex();
    for (float v : {0.0f, 1.0e38f, -1.0e38f})
        QVERIFY_THROWS_EXCEPTION(std::overflow_error, g->AddValue(v, 1));
    QCOMPARE(g->LastEmptyIndex(), last);
    // Sound limits again: the chart takes values and draws them. 25 lies half-way
    // between -50 and 100: row 83 of the 166 rows, at the right edge.
    form->txtVerMax->setText(QStringLiteral("100"));
    form->txtVerMin->setText(QStringLiteral("-50"));
    QCOMPARE(g->PlotHeight(), 166);
    g->AddValue(25.0f, 1);
    g->AddValue(25.0f, 1);
    g->DrawGridCurve();
    QCOMPARE(g->Picture().pixelColor(g->PointCount() - 1, 83), kv::BgrToQColor(g->CurveLineColor(1)));
}

void TestForm1::invalidLimitsMarkTheBoxes()
{
    const CurveGraph* g = form->CurveGraph1;
    // Text colour and tooltip of both limit boxes.
    auto marks = [this] {
        QStringList out;
        for (const QLineEdit* box : {form->txtVerMin, form->txtVerMax})
            out << box->palette().color(QPalette::Text).name() + u' ' + box->toolTip();
        return out;
    };
    const QStringList clear(2, form->palette().color(QPalette::Text).name() + u' ');
    const QStringList marked(2, QStringLiteral("#ff0000 最小值必须小于最大值"));
    QVERIFY(clear != marked);
    form->txtVerMin->setText(QStringLiteral("50"));
    QCOMPARE(marks(), clear);
    form->txtVerMax->setText(QStringLiteral("50"));  // equal
    QCOMPARE(g->MinVertical(), 50.0f);
    QCOMPARE(g->MaxVertical(), 50.0f);
    QCOMPARE(marks(), marked);
    form->txtVerMax->setText(QStringLiteral("10"));  // reversed
    QCOMPARE(marks(), marked);
    form->txtVerMin->setText(QStringLiteral("5"));  // valid again
    QCOMPARE(marks(), clear);
}

void TestForm1::scaleFactorsClearTheChart_data()
{
    QTest::addColumn<QString>("box");
    QTest::addColumn<QString>("text");
    QTest::newRow("factor 1") << "textquxian1" << "2";
    QTest::newRow("factor 2 abc") << "Text5" << "abc";
    QTest::newRow("factor 3 empty") << "Text6" << "";
}

void TestForm1::scaleFactorsClearTheChart()
{
    QFETCH(QString, box);
    QFETCH(QString, text);
    QLineEdit* factor = child<QLineEdit>(box);
    // Connected after the window's own handling: each keystroke has cleared the chart.
    QList<bool> cleared;
    connect(factor, &QLineEdit::textChanged, this, [&] {
        cleared.append(chartCleared());
        feedChart();
    });
    feedChart();
    factor->clear();
    QTest::keyClicks(factor, text);
    QCOMPARE(cleared, QList<bool>(text.size() + 1, true));
}

void TestForm1::divisionsDoNotClearTheChart_data()
{
    QTest::addColumn<QString>("box");
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("horizontal");
    QTest::addColumn<int>("vertical");
    QTest::newRow("horizontal 12") << "txtHorSplits" << "12" << 12 << 15;
    QTest::newRow("horizontal 4") << "txtHorSplits" << "4" << 4 << 15;
    QTest::newRow("horizontal half to even") << "txtHorSplits" << "6.5" << 6 << 15;
    QTest::newRow("horizontal abc") << "txtHorSplits" << "abc" << 1 << 15;
    QTest::newRow("horizontal huge is limited") << "txtHorSplits" << "3e9" << 1000 << 15;
    QTest::newRow("vertical 5") << "txtVerSplits" << "5" << 9 << 5;
    QTest::newRow("vertical negative") << "txtVerSplits" << "-3" << 9 << 1;
}

void TestForm1::divisionsDoNotClearTheChart()
{
    QFETCH(QString, box);
    QFETCH(QString, text);
    QFETCH(int, horizontal);
    QFETCH(int, vertical);
    feedChart();
    form->CurveGraph1->DrawGridCurve();
    const QImage before = form->CurveGraph1->Picture().copy();
    child<QLineEdit>(box)->setText(text);
    QVERIFY(!chartCleared());
    QCOMPARE(form->CurveGraph1->HorizontalSplits(), horizontal);
    QCOMPARE(form->CurveGraph1->VerticalSplits(), vertical);
    // The next drawing shows the new grid.
    form->CurveGraph1->DrawGridCurve();
    QVERIFY(form->CurveGraph1->Picture() != before);
}

void TestForm1::clearButton()
{
    feedChart();
    form->Commandgraphclear->click();
    QVERIFY(chartCleared());
}

QTEST_MAIN(TestForm1)
#include "test_form1.moc"
