// The interface in English: the choice kept, nothing left in Chinese, the
// window working with its English captions against the simulated drive, and
// every text fitting its control in both languages.
#include "app/form2.h"
#include "app/form3.h"
#include "app/language.h"
#include "app/lineready.h"
#include "app/logbox.h"
#include "app/parameditdialog.h"
#include "app/parametermenu.h"
#include "app/tracewindow.h"
#include "drive/paramsetrunner.h"
#include "common/intervaltimer.h"
#include "modbus/rtu.h"
#include "modbus/statistics.h"
#include "serial/mscomm.h"
#include "tests/e2e/simprocess.h"
#include "tests/support/pty.h"
#include "tests/support/tool.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QScrollBar>
#include <QStyle>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>

using namespace kv;

namespace {

// Every text the window shows or holds ready: captions, list rows, menus, tooltips.
QStringList TextsOf(QWidget* window)
{
    QStringList texts{window->windowTitle()};
    for (QWidget* w : window->findChildren<QWidget*>()) {
        texts << w->toolTip() << w->windowTitle();
        if (auto* l = qobject_cast<QLabel*>(w))
            texts << l->text();
        if (auto* b = qobject_cast<QAbstractButton*>(w))
            texts << b->text();
        if (auto* g = qobject_cast<QGroupBox*>(w))
            texts << g->title();
        if (auto* e = qobject_cast<QLineEdit*>(w))
            texts << e->text() << e->placeholderText();
        if (auto* p = qobject_cast<QPlainTextEdit*>(w))
            texts << p->toPlainText();
        if (auto* m = qobject_cast<QMenu*>(w)) {
            texts << m->title();
            for (QAction* a : m->actions())
                texts << a->text() << a->toolTip();
        }
        if (auto* c = qobject_cast<QComboBox*>(w))
            for (int i = 0; i < c->count(); ++i)
                texts << c->itemText(i);
        if (auto* list = qobject_cast<QListWidget*>(w))
            for (int i = 0; i < list->count(); ++i)
                texts << list->item(i)->text();
    }
    return texts;
}

// The texts holding a Chinese character, joined; empty when there is none.
QString Chinese(const QStringList& texts)
{
    static const QRegularExpression cjk(QStringLiteral("[\\x{3000}-\\x{303F}\\x{3400}-\\x{9FFF}\\x{FF00}-\\x{FFEF}]"));
    QStringList found;
    for (const QString& t : texts)
        if (t.contains(cjk))
            found << t;
    return found.join(QStringLiteral(" | "));
}

// The width a control's text needs: a button's text with its frame and
// margins, a box's with its indicator, a caption's or a list box's size hint.
int NeededWidth(const QWidget* w)
{
    const QStyle* style = w->style();
    const auto* box = qobject_cast<const QComboBox*>(w);
    const auto* label = qobject_cast<const QLabel*>(w);
    if (const auto* button = qobject_cast<const QPushButton*>(w))
        return button->fontMetrics().horizontalAdvance(button->text()) +
               2 * (style->pixelMetric(QStyle::PM_ButtonMargin) + style->pixelMetric(QStyle::PM_DefaultFrameWidth));
    if (const auto* check = qobject_cast<const QCheckBox*>(w))
        return check->fontMetrics().horizontalAdvance(check->text()) + style->pixelMetric(QStyle::PM_IndicatorWidth) +
               style->pixelMetric(QStyle::PM_CheckBoxLabelSpacing);
    if ((label && !label->text().isEmpty()) || (box && !box->isEditable()))
        return w->sizeHint().width();
    return 0;
}

// Where a widget shows something: a caption only where its letters are (the
// box of a caption may run past the end of its text), any other the whole box.
QRect Occupied(const QWidget* w)
{
    const auto* label = qobject_cast<const QLabel*>(w);
    if (!label || label->text().isEmpty() || !(label->alignment() & Qt::AlignLeft))
        return w->geometry();
    const QRect ink = label->fontMetrics().tightBoundingRect(label->text());
    return QRect(w->x() + ink.left(), w->y(), ink.width(), w->height());
}

} // namespace

class TestLanguage : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void choiceIsKeptForTheNextStart();
    void englishLeavesNoChinese();
    void englishWindowWorksWithTheDrive();
    void textsFitTheirControls_data();
    void textsFitTheirControls();

private:
    void build(const QString& language);

    std::unique_ptr<test::Tool> m_tool;  // every file dialog cancelled
};

void TestLanguage::init()
{
}

void TestLanguage::cleanup()
{
    m_tool.reset();
    QCOMPARE(InstallLanguage(QStringLiteral("zh")), QStringLiteral("zh"));
}

void TestLanguage::build(const QString& language)
{
    QCOMPARE(InstallLanguage(language), language);
    m_tool = std::make_unique<test::Tool>();  // the window sets its texts as it is built
}

void TestLanguage::choiceIsKeptForTheNextStart()
{
    build(QStringLiteral("zh"));
    auto* menu = m_tool->form->findChild<QMenu*>(QStringLiteral("LanguageMenu"));
    QVERIFY(menu);
    QCOMPARE(menu->title(), QStringLiteral("语言 / Language"));
    auto* chinese = m_tool->add->findChild<QAction*>(QStringLiteral("LanguageChinese"));
    auto* english = m_tool->add->findChild<QAction*>(QStringLiteral("LanguageEnglish"));
    QVERIFY(chinese->isChecked() && !english->isChecked());

    english->trigger();
    QCOMPARE(m_tool->prefs->Language(), QStringLiteral("en"));
    QVERIFY(english->isChecked() && !chinese->isChecked());
    QCOMPARE(m_tool->boxes.texts(), QStringList{QStringLiteral("界面语言将在程序下次启动时切换。")});
    QCOMPARE(ActiveLanguage(), QStringLiteral("zh"));  // not before the next start
    chinese->trigger();  // back to the language in effect: nothing to say
    QCOMPARE(m_tool->prefs->Language(), QStringLiteral("zh"));
    QCOMPARE(m_tool->boxes.shown.size(), 1);

    m_tool->prefs->SetValue(QStringLiteral("interface/language"), QStringLiteral("fr"));
    QCOMPARE(m_tool->prefs->Language(), QStringLiteral("zh"));
}

void TestLanguage::englishLeavesNoChinese()
{
    build(QStringLiteral("en"));
    QStringList texts;
    for (int g = 0; g < m_tool->form->Combo1->count(); ++g) {
        m_tool->form->Combo1->setCurrentIndex(g);
        texts += TextsOf(m_tool->form.get());
    }
    QCOMPARE(m_tool->form->Combo1->itemText(0), QStringLiteral("99 Motor data"));
    m_tool->form->Combo1->setCurrentIndex(0);
    QCOMPARE(m_tool->form->List1->item(3)->text(), QStringLiteral("9906----Motor nominal current"));
    m_tool->form->txtVerMin->setText(QStringLiteral("200"));  // the limits' tooltip
    Form2* help = m_tool->form->AuxWindows().ShowHelp();
    texts += TextsOf(help) + help->WrittenLines();
    texts += TextsOf(m_tool->form->AuxWindows().ShowPicture());
    // The windows of the additions, with the parameter table's rows and headers.
    for (const char* item : {"ParamSet", "ResponseTimeout", "TriggerSettings"})
        m_tool->add->findChild<QAction*>(QString::fromLatin1(item))->trigger();
    m_tool->Piece<ParameterMenu>().ParamEditor()->show();  // "修改参数"
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w->isVisible() && w != m_tool->form.get())
            texts += TextsOf(w);
    QTableWidget* table = nullptr;
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w->objectName() == QStringLiteral("ParameterSetWindow"))
            table = w->findChild<QTableWidget*>(QStringLiteral("Table"));
    QVERIFY(table);
    for (int c = 0; c < table->columnCount(); ++c)
        texts << table->horizontalHeaderItem(c)->text();
    for (int r = 0; r < table->rowCount(); ++r)
        for (int c = 0; c < table->columnCount(); ++c)
            texts << table->item(r, c)->text() << table->item(r, c)->toolTip();

    // The trace window with a capture on show (its fault record not read),
    // its tables' headers and rows, and its picture's names.
    m_tool->add->findChild<QAction*>(QStringLiteral("TraceOpen"))->trigger();
    TraceWindow* trace = m_tool->Piece<TraceMenu>().Window();
    TraceCapture capture;
    capture.id = 1;
    capture.cause = QStringLiteral("Fault ↑");
    capture.samples = std::make_shared<SampleHistory>();
    capture.faultRecordError = QStringLiteral("no reply");
    trace->AddCapture(capture);
    trace->ShowCapture(0);
    texts += TextsOf(trace) << trace->CaptureList->item(0)->text() << CaptureTitle(capture);
    for (QTableWidget* t : {trace->CursorTable, trace->FaultRecord}) {
        for (int c = 0; c < t->columnCount(); ++c)
            texts << t->horizontalHeaderItem(c)->text();
        for (int r = 0; r < t->rowCount(); ++r)
            for (int c = 0; c < t->columnCount(); ++c)
                if (QTableWidgetItem* item = t->item(r, c))
                    texts << item->text() << item->toolTip();
    }
    const HistorySource names(m_tool->session->History());
    for (int k = 0; k < names.CurveCount(); ++k)
        texts << names.Curve(k).name;
    for (int i = 0; i < names.LaneCount(); ++i)
        texts << names.LaneName(i);
    texts << QCoreApplication::translate("kv::TraceRenderer", "暂无数据");
    trace->ShowLive();
    texts += TextsOf(trace);

    // Messages and their titles.
    m_tool->boxes.answers = {MsgAnswer::No, MsgAnswer::No};
    int cancel = 0;
    m_tool->form->Form_Unload(cancel);
    m_tool->form->exit1_Click();
    m_tool->form->Command_start_Click();
    m_tool->form->CmdViewPram_Click();
    LineReady(*m_tool->session, m_tool->boxes);
    m_tool->add->findChild<QAction*>(QStringLiteral("LanguageChinese"))->trigger();
    m_tool->form->ComboMSCPort->setEditText(QStringLiteral("COM"));
    m_tool->form->CommandOpenMSC_Click();
    for (const MessageRequest& r : m_tool->boxes.shown)
        texts << r.text << r.title;
    QCOMPARE(m_tool->boxes.shown.size(), 7);
    texts << ApplicationTitle();

    // A restore's summary with every kind of outcome, and the recording's status part.
    RestoreSummary summary;
    for (const auto kind : {WriteReport::Verified, WriteReport::Refused, WriteReport::Mismatch, WriteReport::Failed,
                            WriteReport::PortLost, WriteReport::Cancelled}) {
        WriteReport report;
        report.kind = kind;
        report.code = 2202;
        report.error = mb::ExceptionMessage(3);
        summary.reports.append(report);
        texts << report.Text();
    }
    summary.unchanged = summary.readOnly = summary.unread = 1;
    summary.notWritten = {2203};
    summary.stopReason = ParameterSetRunner::StopText(ParameterSetRunner::Stop::NoAnswer);
    texts << summary.Text();
    m_tool->files.path = m_tool->dir.filePath(QStringLiteral("live.csv"));
    m_tool->Action(QStringLiteral("RecordStart"))->trigger();
    texts << m_tool->Part(QStringLiteral("statusRecording"))->text();
    m_tool->Action(QStringLiteral("RecordStop"))->trigger();
    m_tool->files.path.clear();
    m_tool->Action(QStringLiteral("TriggerArm"))->trigger();  // the trigger's status part
    texts << m_tool->Part(QStringLiteral("statusTrigger"))->text();
    m_tool->Action(QStringLiteral("TriggerArm"))->trigger();

    // What the engine, the statistics and the capture say.
    for (int o = 0; o <= static_cast<int>(mb::Outcome::Invalid); ++o)
        texts << mb::OutcomeText(static_cast<mb::Outcome>(o));
    for (quint8 code : {0x01, 0x02, 0x03, 0x04, 0x05, 0x06, 0x08, 0x0A, 0x0B, 0x20})
        texts << mb::ExceptionMessage(code);
    const QByteArray read = mb::Request::Read(1, 4, 6).Frame();
    const QByteArray write = mb::Request::Write(1, 0, 0x047F).Frame();
    texts << mb::Request::Read(1, 4, 6).Describe() << mb::Request::Write(1, 0, 0x047F).Describe()
          << mb::DescribeFrame(read, true) << mb::DescribeFrame(write, true)
          << mb::DescribeFrame(QByteArray::fromHex("018302C0F1"), false)
          << mb::DescribeFrame(QByteArray::fromHex("010302000AFFFF"), false)  // a bad CRC
          << mb::DescribeFrame(QByteArray::fromHex("010302000A3843"), false);
    m_tool->session->Statistics().OnAttempt(mb::Outcome::Exception, 2);
    m_tool->session->Statistics().OnDropped(3);
    texts << m_tool->session->Statistics().Summary();

    QVERIFY2(Chinese(texts).isEmpty(), qPrintable(Chinese(texts)));
}

void TestLanguage::englishWindowWorksWithTheDrive()
{
    test::SimProcess sim;
    QVERIFY2(sim.start({QStringLiteral("--seed"), QStringLiteral("3")}), qPrintable(sim.error()));
    build(QStringLiteral("en"));
    Form1& f = *m_tool->form;

    f.ComboMSCPort->setEditText(sim.path());
    f.CommandOpenMSC->click();
    QCOMPARE(f.CommandOpenMSC->text(), QStringLiteral("Close port"));
    QVERIFY(f.MSComm->PortOpen());

    // A parameter read on the quiet line: 5302, the station.
    f.Combo1->setCurrentIndex(f.Combo1->findText(QStringLiteral("53 Embedded fieldbus")));
    f.List1->item(1)->setCheckState(Qt::Checked);
    m_tool->platform.onSleep = [&](int) { QVERIFY(test::WaitForBytesAtPort(sim.path(), 7, 10000)); };
    f.CmdViewPram->click();
    m_tool->platform.onSleep = nullptr;
    QCOMPARE(f.List2->item(1)->text(), QStringLiteral("1"));

    // The terminal and a drive command, logged with English prefixes.
    f.Text1->setText(QStringLiteral("010300040006"));
    f.ChkCRC16->setChecked(true);
    f.Command1->click();
    QTRY_VERIFY_WITH_TIMEOUT(f.Text2->Text().contains(QStringLiteral("Received: 01030C")), 20000);
    QVERIFY(f.Text2->Text().contains(QStringLiteral("14:05:33 Sent: 0103000400068409\r\n")));
    f.Command_stop->click();
    QVERIFY(f.Text2->Text().contains(QStringLiteral("14:05:33 Output: 01060000047")));

    // Polling starts and pauses on the button's English captions; each poll
    // waits for its reply, as the window does on a real clock.
    m_tool->platform.realSleep = true;
    f.Commandgraphstart->click();
    QCOMPARE(f.Commandgraphstart->text(), QStringLiteral("Pause"));
    QTRY_VERIFY_WITH_TIMEOUT(f.PollRepliesDecoded() >= 2, 20000);
    f.Commandgraphstart->click();
    QCOMPARE(f.Commandgraphstart->text(), QStringLiteral("Start"));
    QCOMPARE(f.Timer1->Interval(), 0);

    f.CommandOpenMSC->click();
    QCOMPARE(f.CommandOpenMSC->text(), QStringLiteral("Open port"));
    QVERIFY(!f.MSComm->PortOpen());
    QCOMPARE(m_tool->boxes.texts(), QStringList());
    const QString left = Chinese(TextsOf(m_tool->form.get()));
    QVERIFY2(left.isEmpty(), qPrintable(left));
    QCOMPARE(sim.stop(), 0);
}

void TestLanguage::textsFitTheirControls_data()
{
    QTest::addColumn<QString>("language");
    QTest::newRow("Chinese") << QStringLiteral("zh");
    QTest::newRow("English") << QStringLiteral("en");
}

void TestLanguage::textsFitTheirControls()
{
    QFETCH(QString, language);
    build(language);
    m_tool->form->show();
    QWidget* client = m_tool->form->centralWidget();
    QList<QWidget*> shown;  // the window's controls, not the parts of a list or a box
    for (QWidget* w : client->findChildren<QWidget*>()) {
        const QWidget* parent = w->parentWidget();
        if (w->isVisibleTo(m_tool->form.get()) && w->objectName() != u"Text7" && !parent->inherits("QAbstractScrollArea") &&
            !parent->inherits("QComboBox"))
            shown << w;
    }
    for (QWidget* w : shown) {
        QVERIFY2(NeededWidth(w) <= w->width(), qPrintable(w->objectName() + u' ' + w->metaObject()->className()));
        QVERIFY2(w->parentWidget()->rect().contains(w->geometry()), qPrintable(w->objectName()));
        for (QWidget* other : shown)
            if (other != w && other->parentWidget() == w->parentWidget())
                QVERIFY2(!Occupied(w).intersects(Occupied(other)), qPrintable(w->objectName() + u'/' + other->objectName()));
    }
    // Every parameter row shows whole, without scrolling sideways; the Chinese
    // list keeps the original width, where a few rows need the scroll bar
    // (0144, 4507, 5102-5126, ...).
    QStringList scrolled;
    for (int g = 0; g < m_tool->form->Combo1->count(); ++g) {
        m_tool->form->Combo1->setCurrentIndex(g);
        QApplication::processEvents();
        if (m_tool->form->List1->horizontalScrollBar()->maximum() > 0)
            scrolled << m_tool->form->Combo1->currentText().left(2);
    }
    if (language == u"en")
        QCOMPARE(scrolled, QStringList());
    else
        qInfo("Chinese parameter groups with rows wider than the list: %s", qPrintable(scrolled.join(u' ')));
    Form2* help = m_tool->form->AuxWindows().ShowHelp();
    for (const QString& line : help->WrittenLines())
        QVERIFY2(help->fontMetrics().horizontalAdvance(line) <= help->width(), qPrintable(line));
}

QTEST_MAIN(TestLanguage)
#include "test_language.moc"
