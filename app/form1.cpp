#include "app/form1.h"

#include "app/language.h"
#include "app/lamp.h"
#include "app/logbox.h"
#include "app/panelnumbers.h"
#include "chart/curvegraph.h"
#include "chart/propertybag.h"
#include "common/colors.h"
#include "common/intervaltimer.h"
#include "drive/catalogue.h"
#include "serial/mscomm.h"
#include "serial/portopen.h"
#include "session/drivelink.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QFontDatabase>
#include <QFontMetrics>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QPainter>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QStyle>

#include <algorithm>
#include <map>
#include <utility>

namespace {

// Positions are designed in twips, 15 to a pixel.
int Px(int twips)
{
    return (twips + 7) / 15;
}

QRect Tw(int left, int top, int width, int height)
{
    return QRect(Px(left), Px(top), Px(width), Px(height));
}

constexpr int kComboHeight = 315;

template <typename W>
W* Place(W* widget, const QString& name, const QRect& rect)
{
    widget->setObjectName(name);
    widget->setGeometry(rect);
    return widget;
}

QLabel* Caption(QWidget* parent, const QString& text, int left, int top)
{
    auto* label = new QLabel(text, parent);
    label->adjustSize();
    label->move(Px(left), Px(top));
    return label;
}

QComboBox* EditableCombo(QWidget* parent, const QString& name, const QRect& rect, const QString& text)
{
    auto* box = Place(new QComboBox(parent), name, rect);
    box->setEditable(true);
    box->setInsertPolicy(QComboBox::NoInsert);
    box->setCompleter(nullptr);  // what the user types stays as typed
    box->setEditText(text);
    return box;
}

QComboBox* PickOnlyList(QWidget* parent, const QString& name, const QRect& rect)
{
    auto* box = Place(new QComboBox(parent), name, rect);
    box->setEditable(false);
    return box;
}

QLineEdit* TextBox(QWidget* parent, const QString& name, const QRect& rect, const QString& text)
{
    auto* box = Place(new QLineEdit(parent), name, rect);
    box->setText(text);
    return box;
}

QPushButton* Button(QWidget* parent, const QString& name, const QRect& rect, const QString& caption)
{
    return Place(new QPushButton(caption, parent), name, rect);
}

QCheckBox* CheckBox(QWidget* parent, const QString& name, const QRect& rect, const QString& caption, bool ticked)
{
    auto* box = Place(new QCheckBox(caption, parent), name, rect);
    box->setChecked(ticked);
    return box;
}

QGroupBox* Group(QWidget* parent, const QString& name, const QRect& rect, const QString& caption)
{
    return Place(new QGroupBox(caption, parent), name, rect);
}

// Adds rows to a list as adding rows does on the original form: the box keeps
// its text and its selection, and no handler runs.
void AddItemsKeepingText(QComboBox* box, const QStringList& items)
{
    const QSignalBlocker blocker(box);
    const int index = box->currentIndex();
    const QString text = box->currentText();
    box->addItems(items);
    box->setCurrentIndex(index);
    if (box->isEditable())
        box->setEditText(text);
}

// The logo of the settings group; a neutral drawing when the program's image is missing.
QPixmap LogoPicture()
{
    QPixmap stored(QStringLiteral(":/images/logo.jpg"));
    if (!stored.isNull())
        return stored;
    QPixmap picture(150, 152);
    picture.fill(QColor(0xF0, 0xF0, 0xF0));
    QPainter p(&picture);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(0x30, 0x60, 0xA0), 4));
    p.drawEllipse(QRect(15, 16, 120, 120));
    QFont f = p.font();
    f.setBold(true);
    f.setPixelSize(22);
    p.setFont(f);
    p.drawText(QRect(0, 0, 150, 152), Qt::AlignCenter, QStringLiteral("KOLVEN"));
    return picture;
}

QIcon ProgramIcon()
{
    const QPixmap stored(QStringLiteral(":/images/icon.png"));
    if (!stored.isNull())
        return QIcon(stored);
    QPixmap icon(32, 32);
    icon.fill(Qt::transparent);
    QPainter p(&icon);
    p.setRenderHint(QPainter::Antialiasing);
    p.setBrush(QColor(0x30, 0x60, 0xA0));
    p.setPen(Qt::NoPen);
    p.drawEllipse(QRect(1, 1, 30, 30));
    p.setPen(Qt::white);
    QFont f = p.font();
    f.setBold(true);
    f.setPixelSize(20);
    p.setFont(f);
    p.drawText(QRect(0, 0, 32, 32), Qt::AlignCenter, QStringLiteral("K"));
    return QIcon(icon);
}

// The captions under the status lamps, one word per lamp, left to right; the
// lamps stand over the words.
const char* const kLampCaptions = QT_TRANSLATE_NOOP(
    "Form1", "外信号 外1/2  超极限   远程   到达    报警  禁合闸   OFF3   OFF2   故障  准给定  准运行 准合闸  ");

} // namespace

QStringList Form1::CurveColorNames()
{
    return {tr("绿色"), tr("白色"), tr("红色")};
}

QStringList Form1::CurveSourceNames()
{
    return {tr("频率"), tr("电流"), tr("直流电压"), QStringLiteral("AI1"), QStringLiteral("AI2")};
}

QFont Form1::PreferredWindowFont()
{
    static const char* const kFamilies[] = {
        "SimSun", "宋体", "Microsoft YaHei", "微软雅黑", "WenQuanYi Micro Hei", "文泉驿微米黑",
        "Noto Sans CJK SC", "Noto Sans SC", "Source Han Sans SC", "WenQuanYi Zen Hei", "AR PL UMing CN",
    };
    const QStringList available = QFontDatabase::families();
    QFont font = QApplication::font();
    for (const char* family : kFamilies) {
        const QString name = QString::fromUtf8(family);
        if (available.contains(name, Qt::CaseInsensitive)) {
            font = QFont(name);
            break;
        }
    }
    font.setPointSizeF(9);
    return font;
}

Form1::Form1(kv::MessageBoxes& boxes, kv::PlatformServices& platform, QWidget* parent)
    : QMainWindow(parent)
    , m_boxes(boxes)
    , m_platform(platform)
{
    MSComm = new kv::MSComm(this);
    Build();
}

Form1::Form1(kv::MessageBoxes& boxes, kv::PlatformServices& platform, kv::Transport& line, QWidget* parent)
    : QMainWindow(parent)
    , m_boxes(boxes)
    , m_platform(platform)
{
    MSComm = new kv::MSComm(line, this);
    Build();
}

void Form1::Build()
{
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(tr("KOLVEN调试助手 专业ORVEX传动服务(加微信:tiaoshi0000) V1.0"));
    setWindowIcon(ProgramIcon());
    setFont(PreferredWindowFont());

    MSComm->setObjectName(QStringLiteral("MSComm"));
    Timer1 = new kv::IntervalTimer(this);
    Timer1->setObjectName(QStringLiteral("Timer1"));

    BuildMenu();
    auto* client = new QWidget(this);
    client->setObjectName(QStringLiteral("client"));
    client->setFixedSize(Px(14385), Px(6480));
    setCentralWidget(client);

    BuildSettingsGroup(client);
    BuildParameterGroup(client);
    BuildTerminalGroup(client);
    BuildDriveButtons(client);
    BuildChartPanel(client);
    ConnectHandlers();
    adjustSize();
}

Form1::~Form1() = default;

bool Form1::PortIsOpen() const
{
    return CommandOpenMSC->text() == kCaptionClosePort;
}

QString Form1::OpenedSettings() const
{
    return MSComm->Settings();
}

bool Form1::PollingRunning() const
{
    return Commandgraphstart->text() == kCaptionPause;
}

quint8 Form1::Station() const
{
    bool ok = false;
    const uint station = StationAddr.toUInt(&ok, 16);
    return ok && station <= 247 ? static_cast<quint8>(station) : quint8{1};
}

void Form1::OpenPortAs(const kv::PortChoice& choice)
{
    ComboMSCPort->setCurrentText(choice.port);
    ComboMSCBaudrate->setCurrentText(choice.baud);
    ComboParity->setCurrentText(choice.parity);
    ComboDatabits->setCurrentText(choice.dataBits);
    ComboStopbit->setCurrentText(choice.stopBits);
    Combo2->setCurrentText(choice.station);
    CommandOpenMSC_Click();
}

void Form1::ClosePort()
{
    if (PortIsOpen())
        CommandOpenMSC_Click();
}

void Form1::BuildMenu()
{
    Menu = menuBar()->addMenu(tr("开始"));
    Menu->setObjectName(QStringLiteral("Menu"));
    auto item = [this](QMenu* parentMenu, const QString& name, const QString& caption) {
        auto* action = new QAction(caption, this);
        action->setObjectName(name);
        parentMenu->addAction(action);
        return action;
    };
    debug1 = item(Menu, QStringLiteral("debug1"), tr("调试助手"));
    debug1->setCheckable(true);
    Instruction = item(Menu, QStringLiteral("Instruction"), tr("使用教程"));
    zuce = Menu->addMenu(tr("注册MSCOMM控件"));
    zuce->setObjectName(QStringLiteral("zuce"));
    regsvr32 = item(zuce, QStringLiteral("regsvr32"), tr("注册控件"));
    regsvr32u = item(zuce, QStringLiteral("regsvr32u"), tr("卸载控件"));
    about = item(Menu, QStringLiteral("about"), tr("微信扫码加好友"));
    exit1 = item(Menu, QStringLiteral("exit1"), tr("退出"));
}

void Form1::BuildSettingsGroup(QWidget* client)
{
    FrameMSC = Group(client, QStringLiteral("FrameMSC"), Tw(120, 120, 2415, 6285), tr("串口设置"));
    struct Row {
        QComboBox** box;
        const char* name;
        const char* label;
        const char* text;
    };
    const Row rows[] = {
        {&ComboMSCPort, "ComboMSCPort", QT_TR_NOOP("端  口"), "COM 3"},
        {&ComboMSCBaudrate, "ComboMSCBaudrate", QT_TR_NOOP("波特率"), "9600"},
        {&ComboParity, "ComboParity", QT_TR_NOOP("校验位"), "None"},
        {&ComboDatabits, "ComboDatabits", QT_TR_NOOP("数据位"), "8"},
        {&ComboStopbit, "ComboStopbit", QT_TR_NOOP("停止位"), "1"},
        {&Combo2, "Combo2", QT_TR_NOOP("站号"), "1"},
    };
    int top = 360;
    for (const Row& row : rows) {
        Caption(FrameMSC, tr(row.label), 120, top + 45);
        *row.box = EditableCombo(FrameMSC, QString::fromLatin1(row.name), Tw(960, top, 1335, kComboHeight),
                                 QString::fromUtf8(row.text));
        top += 480;
    }
    AddItemsKeepingText(ComboParity, {QStringLiteral("Odd"), QStringLiteral("Even"), QStringLiteral("None")});

    ShapeMSC = Place(new kv::Lamp(FrameMSC), QStringLiteral("ShapeMSC"), Tw(240, 3285, 375, 375));
    ShapeMSC->setFillColor(kv::kRed);
    CommandOpenMSC = Button(FrameMSC, QStringLiteral("CommandOpenMSC"), Tw(840, 3255, 1455, 420), kCaptionOpenPort);

    Picture1 = Place(new QLabel(FrameMSC), QStringLiteral("Picture1"), Tw(120, 3960, 2175, 2175));
    Picture1->setPixmap(LogoPicture());
    Picture1->setAlignment(Qt::AlignLeft | Qt::AlignTop);
}

void Form1::BuildParameterGroup(QWidget* client)
{
    Frame3 = Group(client, QStringLiteral("Frame3"), Tw(2640, 120, 3855, 4695), tr("参数列表"));
    Combo1 = EditableCombo(Frame3, QStringLiteral("Combo1"), Tw(120, 300, 3615, kComboHeight),
                           tr("参数列表"));
    List1 = Place(new QListWidget(Frame3), QStringLiteral("List1"), Tw(120, 720, 2295, 3855));
    List2 = Place(new QListWidget(Frame3), QStringLiteral("List2"), Tw(2460, 720, 1275, 3855));
    CmdViewPram = Button(client, QStringLiteral("CmdViewPram"), Tw(5160, 5160, 1335, 420), tr("查看参数"));

    // The parameter-name table, kept below the visible client area.
    Text7 = Place(new QPlainTextEdit(client), QStringLiteral("Text7"), Tw(2640, 6600, 3855, 1215));
    Text7->setPlainText(kv::ShownCatalogueText());
    Text7->setReadOnly(true);
}

void Form1::BuildTerminalGroup(QWidget* client)
{
    Frame1 = Group(client, QStringLiteral("Frame1"), Tw(2640, 120, 3855, 4695), tr("调试"));
    Text1 = TextBox(Frame1, QStringLiteral("Text1"), Tw(120, 300, 2535, 330), QStringLiteral("02060000000F"));
    Command1 = Button(Frame1, QStringLiteral("Command1"), Tw(2760, 270, 975, 375), tr("发送"));
    Text2 = Place(new kv::LogBox(Frame1), QStringLiteral("Text2"), Tw(120, 720, 3615, 2895));
    ChkCRC16 = CheckBox(Frame1, QStringLiteral("ChkCRC16"), Tw(120, 3690, 2535, 300), tr("添加CRC16校验码"), false);
    ChkSend16 = CheckBox(Frame1, QStringLiteral("ChkSend16"), Tw(120, 3990, 2535, 300), tr("16进制发送"), false);
    Chkreceive16 = CheckBox(Frame1, QStringLiteral("Chkreceive16"), Tw(120, 4290, 2535, 300),
                            tr("16进制显示接收"), false);
    Command3 = Button(Frame1, QStringLiteral("Command3"), Tw(2760, 3840, 975, 375), tr("清空"));
    // Shown, it covers the parameter group completely, caption included.
    Frame1->setAutoFillBackground(true);
    Frame1->hide();
    Frame1->raise();
}

void Form1::BuildDriveButtons(QWidget* client)
{
    Command_start = Button(client, QStringLiteral("Command_start"), Tw(2640, 4920, 1095, 420), tr("启动"));
    Command_stop = Button(client, QStringLiteral("Command_stop"), Tw(3840, 4920, 1095, 420), tr("停止"));
    Text3 = TextBox(client, QStringLiteral("Text3"), Tw(2640, 5760, 855, 420), QStringLiteral("25"));
    QFont big = font();
    big.setBold(true);
    big.setPointSizeF(14.25);
    Text3->setFont(big);
    Label9 = Place(new QLabel(QStringLiteral("HZ"), client), QStringLiteral("Label9"), Tw(3555, 5835, 480, 300));
    QFont unit = font();
    unit.setBold(true);
    unit.setPointSizeF(12);
    Label9->setFont(unit);
    Label9->setStyleSheet(QStringLiteral("color: #FF0000;"));
    Command_set = Button(client, QStringLiteral("Command_set"), Tw(4080, 5760, 1095, 420), tr("设置频率"));
    Command2 = Button(client, QStringLiteral("Command2"), Tw(5400, 5760, 1095, 420), tr("故障复位"));
}

void Form1::BuildChartPanel(QWidget* client)
{
    Frame2 = Group(client, QStringLiteral("Frame2"), Tw(6600, 120, 7695, 6255), tr("实时动态曲线"));
    CurveGraph1 = new CurveGraph(Frame2);
    CurveGraph1->setObjectName(QStringLiteral("CurveGraph1"));
    CurveGraph1->setGeometry(Tw(120, 240, 7215, 2535));
    // The chart starts from the window's saved layout, which holds only its two
    // fonts ("宋体" 9 pt): every other property keeps the chart's default.
    QFont stored;
    stored.setFamilies({QStringLiteral("宋体"), QStringLiteral("SimSun"), font().family()});
    stored.setPointSizeF(9);
    PropertyBag layout;
    layout.WriteProperty(QStringLiteral("AxesFont"), stored);
    layout.WriteProperty(QStringLiteral("LegendFont"), stored);
    ChartCall([&] { CurveGraph1->ReadProperties(layout); });

    Frame4 = Group(Frame2, QStringLiteral("Frame4"), Tw(120, 2880, 7215, 1380), QString());
    const int checkTops[] = {205, 605, 1020};
    const int labelTops[] = {225, 615, 1035};
    const int listTops[] = {160, 575, 975};
    const int factorLabelTops[] = {225, 615, 1020};
    const int factorTops[] = {160, 560, 960};
    const char* const factorNames[] = {"textquxian1", "Text5", "Text6"};
    const char* const factorTexts[] = {"1", "1", "0.1"};
    QLineEdit** factors[] = {&textquxian1, &Text5, &Text6};
    for (int k = 0; k < 3; ++k) {
        chkShowCurve[k] = CheckBox(Frame4, QStringLiteral("chkShowCurve%1").arg(k), Tw(360, checkTops[k], 855, 255),
                                   tr("显示 %1").arg(k + 1), k == 0);
        Caption(Frame4, tr("颜色："), 1335, labelTops[k]);
        comCurveColor[k] = PickOnlyList(Frame4, QStringLiteral("comCurveColor%1").arg(k),
                                        Tw(1860, listTops[k], 1215, kComboHeight));
        Caption(Frame4, tr("数据源："), 3195, labelTops[k]);
        comCurveType[k] = PickOnlyList(Frame4, QStringLiteral("comCurveType%1").arg(k),
                                       Tw(3840, listTops[k], 1215, kComboHeight));
        Caption(Frame4, tr("比例系数："), 5160, factorLabelTops[k]);
        *factors[k] = TextBox(Frame4, QString::fromLatin1(factorNames[k]), Tw(6120, factorTops[k], 855, 270),
                              QString::fromLatin1(factorTexts[k]));
    }

    Caption(Frame2, tr("水平网格份数："), 240, 4440);
    txtHorSplits = TextBox(Frame2, QStringLiteral("txtHorSplits"), Tw(1440, 4395, 495, 270), QStringLiteral("9"));
    Caption(Frame2, tr("垂直网格份数："), 2040, 4440);
    txtVerSplits = TextBox(Frame2, QStringLiteral("txtVerSplits"), Tw(3240, 4395, 495, 270), QStringLiteral("15"));
    Caption(Frame2, tr("垂直方向最小值："), 240, 4920);
    txtVerMin = TextBox(Frame2, QStringLiteral("txtVerMin"), Tw(1680, 4875, 495, 270), QStringLiteral("-50"));
    Caption(Frame2, tr("垂直方向最大值："), 2280, 4920);
    txtVerMax = TextBox(Frame2, QStringLiteral("txtVerMax"), Tw(3720, 4875, 495, 270), QStringLiteral("100"));
    Commandgraphclear = Button(Frame2, QStringLiteral("Commandgraphclear"), Tw(4920, 4320, 1095, 375),
                               tr("清除曲线"));
    Commandgraphstart = Button(Frame2, QStringLiteral("Commandgraphstart"), Tw(4920, 4800, 1095, 375), kCaptionStart);
    Command4 = Button(Frame2, QStringLiteral("Command4"), Tw(6240, 4320, 1095, 375), tr("清除状态"));
    Label24 = Place(new QLabel(tr("状态指示"), Frame2), QStringLiteral("Label24"), Tw(6240, 4860, 1095, 300));
    QFont bold = font();
    bold.setBold(true);
    Label24->setFont(bold);
    Label24->setStyleSheet(QStringLiteral("color: #FF0000;"));
    Label24->setAlignment(Qt::AlignCenter);

    Frame5 = Group(Frame2, QStringLiteral("Frame5"), Tw(120, 5220, 7455, 915), QString());
    const QString lampCaptions = tr(kLampCaptions);
    Label23 = Place(new QLabel(lampCaptions, Frame5), QStringLiteral("Label23"), Tw(120, 540, 7215, 255));
    QFont small;
    small.setFamilies({QStringLiteral("新宋体"), QStringLiteral("NSimSun"), font().family()});
    small.setPointSizeF(6.75);
    Label23->setFont(small);
    // The lamps stand over their captions: Shape1(12) leftmost, Shape1(0) rightmost.
    const QFontMetrics metrics(small);
    QList<int> centres;
    for (qsizetype i = 0; i < lampCaptions.size();) {
        if (lampCaptions[i] == u' ') {
            ++i;
            continue;
        }
        qsizetype end = i;
        while (end < lampCaptions.size() && lampCaptions[end] != u' ')
            ++end;
        const int left = metrics.horizontalAdvance(lampCaptions.left(i));
        const int width = metrics.horizontalAdvance(lampCaptions.mid(i, end - i));
        centres.append(Label23->x() + left + width / 2);
        i = end;
    }
    const int lampSize = Px(255);
    for (int j = 0; j < 13; ++j) {
        const int index = 12 - j;
        const int centre = j < centres.size() ? centres[j] : Px(240 + 555 * j);
        Shape1[index] = Place(new kv::Lamp(Frame5), QStringLiteral("Shape1_%1").arg(index),
                              QRect(centre - lampSize / 2, Px(195), lampSize, lampSize));
        Shape1[index]->setFillColor(kv::kLightBlue);
    }
}

void Form1::ConnectHandlers()
{
    connect(exit1, &QAction::triggered, this, &Form1::exit1_Click);

    connect(CommandOpenMSC, &QPushButton::clicked, this, &Form1::CommandOpenMSC_Click);
    connect(Chkreceive16, &QCheckBox::toggled, this, &Form1::Chkreceive16_Click);

    connect(Command1, &QPushButton::clicked, this, &Form1::Command1_Click);
    connect(Command3, &QPushButton::clicked, this, &Form1::Command3_Click);
    connect(MSComm, &kv::MSComm::OnComm, this, &Form1::MSComm_OnComm);

    // Choosing an entry runs the handler, also the entry already shown (which
    // changes no index). A choice that changes the entry raises the index change
    // and then the activation, in one go: the handler runs once for both. The
    // mark is taken back once control returns to the event loop, so an index
    // set in code does not swallow a later choice.
    connect(Combo1, &QComboBox::currentIndexChanged, this, [this] {
        m_combo1IndexJustChanged = true;
        QMetaObject::invokeMethod(this, [this] { m_combo1IndexJustChanged = false; }, Qt::QueuedConnection);
        Combo1_Click();
    });
    connect(Combo1, &QComboBox::activated, this, [this] {
        if (!std::exchange(m_combo1IndexJustChanged, false))
            Combo1_Click();
    });

    for (int k = 0; k < 3; ++k) {
        connect(chkShowCurve[k], &QCheckBox::toggled, this, [this, k] { chkShowCurve_Click(k); });
        connect(comCurveColor[k], &QComboBox::currentIndexChanged, this, [this, k] { comCurveColor_Click(k); });
    }
    connect(textquxian1, &QLineEdit::textChanged, this, &Form1::textquxian1_Change);
    connect(Text5, &QLineEdit::textChanged, this, &Form1::Text5_Change);
    connect(Text6, &QLineEdit::textChanged, this, &Form1::Text6_Change);
    connect(txtHorSplits, &QLineEdit::textChanged, this, &Form1::txtHorSplits_Change);
    connect(txtVerSplits, &QLineEdit::textChanged, this, &Form1::txtVerSplits_Change);
    connect(txtVerMin, &QLineEdit::textChanged, this, &Form1::txtVerMin_Change);
    connect(txtVerMax, &QLineEdit::textChanged, this, &Form1::txtVerMax_Change);
    connect(Commandgraphclear, &QPushButton::clicked, this, &Form1::Commandgraphclear_Click);

    connect(Command_start, &QPushButton::clicked, this, &Form1::Command_start_Click);
    connect(Command_stop, &QPushButton::clicked, this, &Form1::Command_stop_Click);
    connect(Command_set, &QPushButton::clicked, this, &Form1::Command_set_Click);
    connect(Command2, &QPushButton::clicked, this, &Form1::Command2_Click);

    connect(Timer1, &kv::IntervalTimer::Timer, this, &Form1::Timer1_Timer);
    connect(Commandgraphstart, &QPushButton::clicked, this, &Form1::Commandgraphstart_Click);
    connect(Command4, &QPushButton::clicked, this, &Form1::Command4_Click);
    connect(CmdViewPram, &QPushButton::clicked, this, &Form1::CmdViewPram_Click);

    // The terminal item carries a check mark; its handler flips it, so the
    // flip Qt makes on a click is undone first.
    connect(debug1, &QAction::triggered, this, [this] {
        debug1->setChecked(!debug1->isChecked());
        debug1_Click();
    });
    connect(Instruction, &QAction::triggered, this, &Form1::Instruction_Click);
    connect(regsvr32, &QAction::triggered, this, &Form1::regsvr32_Click);
    connect(regsvr32u, &QAction::triggered, this, &Form1::regsvr32u_Click);
    connect(about, &QAction::triggered, this, &Form1::about_Click);
}

void Form1::FitTranslatedTexts()
{
    // The middle column (parameter list, terminal, drive buttons) widens until
    // the longest parameter row fits the list without scrolling sideways; what
    // stands right of it moves along.
    QListWidget probe;
    probe.setFont(List1->font());
    for (const QString& row : kv::ShownCatalogueText().split(QStringLiteral("\r\n"), Qt::SkipEmptyParts)) {
        auto* item = new QListWidgetItem(row, &probe);
        item->setCheckState(Qt::Unchecked);
    }
    const int needed = probe.sizeHintForColumn(0) + 2 * List1->frameWidth() +
                       List1->verticalScrollBar()->sizeHint().width() + 2;
    const int grow = std::max(0, needed - List1->width());
    if (grow > 0) {
        for (QWidget* w : std::initializer_list<QWidget*>{Frame3, Frame1, Combo1, List1, Text1, Text2, Text7})
            w->resize(w->width() + grow, w->height());
        for (QWidget* w : std::initializer_list<QWidget*>{List2, Command1, Command3, CmdViewPram, Command2, Frame2})
            w->move(w->x() + grow, w->y());
        QWidget* client = centralWidget();
        client->setFixedSize(client->width() + grow, client->height());
    }

    // In each group, the controls standing at the same left edge form a
    // column. A text that needs more room than its control has gets it (the
    // boxes and buttons of a column grow alike, so that it stays aligned), and
    // the columns to its right on the same rows move right to make way.
    const auto holdsText = [](const QWidget* w) {
        const auto* label = qobject_cast<const QLabel*>(w);
        const auto* box = qobject_cast<const QComboBox*>(w);
        return (label && !label->text().isEmpty()) || qobject_cast<const QAbstractButton*>(w) ||
               (box && !box->isEditable());
    };
    const auto extraForText = [&](const QWidget* w) {
        if (!holdsText(w))
            return 0;
        // The text and what frames it (not the style's least width of a button).
        const QStyle* style = w->style();
        int needed = w->sizeHint().width();
        if (const auto* button = qobject_cast<const QPushButton*>(w))
            needed = button->fontMetrics().horizontalAdvance(button->text()) +
                     2 * (style->pixelMetric(QStyle::PM_ButtonMargin) +
                          style->pixelMetric(QStyle::PM_DefaultFrameWidth));
        else if (const auto* box = qobject_cast<const QCheckBox*>(w))
            needed = box->fontMetrics().horizontalAdvance(box->text()) + style->pixelMetric(QStyle::PM_IndicatorWidth) +
                     style->pixelMetric(QStyle::PM_CheckBoxLabelSpacing);
        return std::max(0, needed - w->width());
    };
    for (QWidget* group : std::initializer_list<QWidget*>{FrameMSC, Frame4, Frame2}) {
        std::map<int, QList<QWidget*>> columns;
        for (QWidget* w : group->findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
            columns[w->x()].append(w);
        for (auto column = columns.begin(); column != columns.end(); ++column) {
            int extra = 0;
            for (const QWidget* w : column->second)
                extra = std::max(extra, extraForText(w));
            for (QWidget* w : column->second) {
                const int grow = qobject_cast<QLabel*>(w) ? extraForText(w) : (holdsText(w) ? extra : 0);
                w->resize(w->width() + grow, w->height());
            }
            for (auto next = std::next(column); next != columns.end(); ++next) {
                int shift = 0;
                for (const QWidget* w : column->second) {
                    for (const QWidget* n : next->second) {
                        const bool sameRow = n->y() <= w->geometry().bottom() && n->geometry().bottom() >= w->y();
                        if (sameRow)
                            shift = std::max(shift, w->geometry().right() + 4 - n->x());
                    }
                }
                for (QWidget* n : next->second)
                    n->move(n->x() + shift, n->y());
            }
        }
    }
    adjustSize();
}

void Form1::Form_Load()
{
    if (m_loaded)
        return;
    m_loaded = true;

    // 1. The port list, COM1 to COM10 and then the ports of this machine; the
    // box keeps its own text "COM 3".
    AddItemsKeepingText(ComboMSCPort, kv::PortListEntries(kv::SystemPortNames()));

    // 2, 3. The parameter groups; selecting the first fills the parameter list.
    AddItemsKeepingText(Combo1, kv::ShownParameterGroups());
    Combo1->setCurrentIndex(0);

    // 4.
    Chkreceive16->setEnabled(false);
    ChkSend16->setChecked(true);

    // 5.
    ChartCall([this] { CurveGraph1->setCurveCount(3); });

    // 6. Curve k: colour row k (raising the colour handling), data source row k.
    for (int k = 0; k < 3; ++k) {
        AddItemsKeepingText(comCurveColor[k], CurveColorNames());
        comCurveColor[k]->setCurrentIndex(k);
        AddItemsKeepingText(comCurveType[k], CurveSourceNames());
        comCurveType[k]->setCurrentIndex(k);
    }

    // 7. Only the boxes not ticked in the design raise their handling.
    for (QCheckBox* box : chkShowCurve)
        box->setChecked(true);

    // 8, 9.
    ChartCall([this] {
        CurveGraph1->setShowLegend(1, chkShowCurve[0]->isChecked());
        if (chkShowCurve[0]->isChecked())
            CurveGraph1->FixLegend(comCurveType[0]->currentText(), 1);
    });

    // 10. From the boxes' texts.
    ChartCall([this] {
        CurveGraph1->setHorizontalSplits(kv::GridSplitsFromText(txtHorSplits->text()));
        CurveGraph1->setVerticalSplits(kv::GridSplitsFromText(txtVerSplits->text()));
        CurveGraph1->setMinVertical(kv::VerticalLimitFromText(txtVerMin->text()));
        CurveGraph1->setMaxVertical(kv::VerticalLimitFromText(txtVerMax->text()));
    });

    // 11.
    ChartCall([this] {
        CurveGraph1->setAxesFont(font());
        CurveGraph1->setxBarNowTimeFormat(QStringLiteral("hh:mm:ss"));
    });

    if (kv::ActiveLanguage() != u"zh")
        FitTranslatedTexts();
}

void Form1::ShowCentered()
{
    adjustSize();
    if (const QScreen* s = screen()) {
        const QRect area = s->availableGeometry();
        move(area.center() - QPoint(width() / 2, height() / 2));
    }
    show();
}

kv::MsgAnswer Form1::MsgBox(const QString& text, kv::MsgButtons buttons, kv::MsgIcon icon, const QString& title,
                            bool foreground)
{
    kv::MessageRequest request;
    request.text = text;
    request.title = title;
    request.buttons = buttons;
    request.icon = icon;
    request.foreground = foreground;
    return m_boxes.Show(request);
}

void Form1::Form_Unload(int& Cancel)
{
    const kv::MsgAnswer answer = MsgBox(tr("你真的想退出吗？ "), kv::MsgButtons::YesNo, kv::MsgIcon::None,
                                        tr("退出提示 "));
    if (answer == kv::MsgAnswer::Yes)
        EndProgram();
    else
        Cancel = 1;
}

void Form1::closeEvent(QCloseEvent* event)
{
    if (m_programEnded) {
        event->accept();
        return;
    }
    int cancel = 0;
    Form_Unload(cancel);
    if (cancel)
        event->ignore();
    else
        event->accept();
}

void Form1::exit1_Click()
{
    const kv::MsgAnswer answer = MsgBox(tr("您确定要停止运行吗？"), kv::MsgButtons::YesNo,
                                        kv::MsgIcon::Question, QString(), true);
    if (answer != kv::MsgAnswer::No)
        EndProgram();
}

void Form1::EndProgram()
{
    // Nothing may run after this: no tick, no serial event. The port is
    // released when the program's objects go.
    m_programEnded = true;
    m_pollWanted = false;
    ApplyPollTimer();
    MSComm->blockSignals(true);
    QCoreApplication::exit(0);
}

#include "moc_form1.cpp"
