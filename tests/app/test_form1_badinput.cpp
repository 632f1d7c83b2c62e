// Hostile input everywhere on the main window: every text box and editable list
// gets the same hostile text, then every button is pressed, with the port closed
// and with it open on a pseudo-terminal. Nothing may crash, nothing the user
// typed is lost, no value reaches the chart as an infinity or NaN, and every
// message shown is one of the tool's own texts. Bytes that are not UTF-8 arrive
// from the line in text mode as well.
#include "app/form1.h"
#include "app/logbox.h"
#include "chart/chartmodel.h"
#include "chart/curvegraph.h"
#include "common/intervaltimer.h"
#include "drive/polling.h"
#include "serial/framecodec.h"
#include "serial/mscomm.h"
#include "tests/support/fakes.h"
#include "tests/support/pty.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSet>
#include <QTest>

#include <algorithm>
#include <cmath>
#include <memory>
#include <poll.h>
#include <unistd.h>

using namespace kv;

namespace {

const QString kReply = QStringLiteral("01030C01F4000A021C03E8012C00018409");

// Every text the main window's handlers show in a message box.
const QSet<QString>& OwnMessages()
{
    static const QSet<QString> texts = {
        QStringLiteral("请打开串口"),
        QStringLiteral("无效端口号"),
        QStringLiteral("没有勾选需要查看的参数"),
        QStringLiteral("你真的想退出吗？ "),
        QStringLiteral("您确定要停止运行吗？"),
        QStringLiteral("串口已断开，请检查连接后重新打开串口"),
        QStringLiteral("发送失败，串口不可用"),
    };
    return texts;
}

QString ControlCharacters()
{
    QString s;
    for (ushort c = 1; c < 0x20; ++c)
        s += QChar(c);
    s += QChar(0x7F);
    s += QStringLiteral("\x1b[2J");
    return s;
}

} // namespace

class TestForm1BadInput : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanup();
    void hostileTextEverywhere_data();
    void hostileTextEverywhere();
    void invalidUtf8InTextMode();

private:
    // The boxes a user can type into: text boxes and editable lists, by name.
    QList<QLineEdit*> textBoxes() const;
    QList<QComboBox*> editableLists() const;
    QList<QPushButton*> buttons() const;
    // Every sample the chart holds, its limits and its curve settings are finite.
    void verifyChartFinite() const;
    void verifyOwnMessagesOnly() const;
    // Takes what the tool has put on the line so far, without waiting.
    QByteArray drainLine() const;

    std::unique_ptr<test::Pty> pty;
    std::unique_ptr<test::RecordingMessageBoxes> boxes;
    std::unique_ptr<test::FakePlatform> platform;
    std::unique_ptr<Form1> form;
};

void TestForm1BadInput::initTestCase()
{
    // One line for every case that needs an open port.
    pty = std::make_unique<test::Pty>();
    QVERIFY(pty->isValid());
}

void TestForm1BadInput::init()
{
    boxes = std::make_unique<test::RecordingMessageBoxes>();
    platform = std::make_unique<test::FakePlatform>();
    form = std::make_unique<Form1>(*boxes, *platform);
    form->Form_Load();
}

void TestForm1BadInput::cleanup()
{
    form.reset();
    boxes.reset();
    platform.reset();
    (void)pty->readAvailable(50, 20);  // nothing of one case reaches the next
}

QList<QLineEdit*> TestForm1BadInput::textBoxes() const
{
    QList<QLineEdit*> out;
    for (QLineEdit* e : form->findChildren<QLineEdit*>()) {
        // A combo box's own editor is typed into through the combo box.
        if (!e->objectName().isEmpty() && !qobject_cast<QComboBox*>(e->parentWidget()) && !e->isReadOnly())
            out.append(e);
    }
    return out;
}

QList<QComboBox*> TestForm1BadInput::editableLists() const
{
    QList<QComboBox*> out;
    for (QComboBox* c : form->findChildren<QComboBox*>()) {
        if (c->isEditable())
            out.append(c);
    }
    return out;
}

QList<QPushButton*> TestForm1BadInput::buttons() const
{
    QList<QPushButton*> out;
    for (QPushButton* b : form->findChildren<QPushButton*>()) {
        if (!b->objectName().isEmpty() && b != form->CommandOpenMSC)
            out.append(b);
    }
    return out;
}

void TestForm1BadInput::verifyChartFinite() const
{
    const CurveGraph* g = form->CurveGraph1;
    QVERIFY(std::isfinite(g->MaxVertical()));
    QVERIFY(std::isfinite(g->MinVertical()));
    QVERIFY(g->MinVertical() < g->MaxVertical());
    QVERIFY(g->HorizontalSplits() >= 1);
    QVERIFY(g->VerticalSplits() >= 1);
    const ChartModel& m = g->Model();
    for (short c = 1; c <= m.CurveCount(); ++c) {
        for (float v : m.CurveBuffers(c).Values)
            QVERIFY2(std::isfinite(v), qPrintable(QStringLiteral("curve %1 holds %2").arg(c).arg(v)));
    }
}

void TestForm1BadInput::verifyOwnMessagesOnly() const
{
    for (const QString& text : boxes->texts())
        QVERIFY2(OwnMessages().contains(text), qPrintable(QStringLiteral("unexpected message: ") + text));
}

QByteArray TestForm1BadInput::drainLine() const
{
    QByteArray out;
    for (;;) {
        pollfd p{pty->masterFd(), POLLIN, 0};
        if (::poll(&p, 1, 0) <= 0 || !(p.revents & POLLIN))
            return out;
        char buf[4096];
        const ssize_t n = ::read(pty->masterFd(), buf, sizeof buf);
        if (n <= 0)
            return out;
        out.append(buf, n);
    }
}

void TestForm1BadInput::hostileTextEverywhere_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("open");
    const QList<QPair<const char*, QString>> texts = {
        {"empty", QString()},
        {"blanks", QStringLiteral("  \t \r\n ")},
        {"huge number", QStringLiteral("99999999999999999999999999999999999999999999")},
        {"1e309", QStringLiteral("1e309")},
        {"-1e309", QStringLiteral("-1e309")},
        {"single overflow", QStringLiteral("3.5e38")},
        {"underflow", QStringLiteral("1e-400")},
        {"-0", QStringLiteral("-0")},
        {"NaN", QStringLiteral("NaN")},
        {"-inf", QStringLiteral("-Infinity")},
        {"&HFFFFFFFF", QStringLiteral("&HFFFFFFFF")},
        {"&O overflow", QStringLiteral("&O7777777777777777777777777")},
        {"10000 digits", QString(10000, u'9')},
        {"10000 letters", QString(10000, u'F')},
        {"control characters", ControlCharacters()},
        {"lone surrogate and emoji", QString(QChar(0xD800)) + QStringLiteral("😀1")},
    };
    for (const auto& [name, text] : texts) {
        QTest::addRow("%s, port closed", name) << text << false;
        QTest::addRow("%s, port open", name) << text << true;
    }
}

void TestForm1BadInput::hostileTextEverywhere()
{
    QFETCH(QString, text);
    QFETCH(bool, open);

    if (open) {
        // The station number is read at the moment of opening.
        form->Combo2->setEditText(text);
        form->ComboMSCPort->setEditText(pty->slavePath());
        form->CommandOpenMSC->click();
        QVERIFY2(form->MSComm->PortOpen(), qPrintable(boxes->texts().join(u'|')));
        QCOMPARE(form->StationAddr.size(), 2);
        form->Commandgraphstart->click();  // polling runs
    }

    for (QLineEdit* box : textBoxes()) {
        box->setText(text);
        QCOMPARE(box->text(), text);  // kept as typed
    }
    for (QComboBox* list : editableLists()) {
        list->setEditText(text);
        QCOMPARE(list->currentText(), text);
    }
    // A short printable piece typed key by key too.
    const QString piece = text.left(8);
    if (std::all_of(piece.begin(), piece.end(), [](QChar c) { return c.isPrint() && c.unicode() < 0x80; })) {
        QTest::keyClicks(form->Text3, piece);
        QTest::keyClicks(form->textquxian1, piece);
    }

    // Values reach the chart through the hostile factors and limits.
    form->HandlePollReply(kReply);
    if (open) {
        const qint64 before = form->PollRepliesDecoded();
        QVERIFY(pty->write(QByteArray::fromHex(kReply.toLatin1())));
        QTRY_COMPARE(form->PollRepliesDecoded(), before + 1);
    }
    verifyChartFinite();

    form->List1->item(0)->setCheckState(Qt::Checked);
    QByteArray line;
    for (QPushButton* b : buttons()) {
        b->click();
        form->Timer1_Timer();
        verifyChartFinite();
        line += drainLine();
    }
    form->HandlePollReply(kReply);
    verifyChartFinite();
    if (open) {
        QVERIFY(form->MSComm->PortOpen());
        // The poll requests went on the line, addressed to the station read at the open.
        QVERIFY(line.contains(HexFrameToBytes(PollRequestText(form->StationAddr))));
    } else {
        QVERIFY(boxes->texts().contains(QStringLiteral("请打开串口")));
    }

    // Open/close with the hostile port and line settings: closes an open port,
    // then refuses to open with "无效端口号" or opens; either way no crash.
    form->CommandOpenMSC->click();
    QVERIFY(!form->MSComm->PortOpen());
    form->CommandOpenMSC->click();
    if (!form->MSComm->PortOpen())
        QCOMPARE(boxes->texts().last(), QStringLiteral("无效端口号"));
    form->Timer1_Timer();
    verifyChartFinite();
    verifyOwnMessagesOnly();
}

void TestForm1BadInput::invalidUtf8InTextMode()
{
    form->ComboMSCPort->setEditText(pty->slavePath());
    form->CommandOpenMSC->click();
    QVERIFY(form->MSComm->PortOpen());
    form->Chkreceive16->setChecked(false);
    QCOMPARE(form->MSComm->InputMode(), 0);

    // Stray continuation bytes, an overlong form, a cut sequence, bytes never valid.
    // Read as one chunk.
    QVERIFY(pty->writeAndWaitAtPort(QByteArray("\x80\xbf\xc0\xaf\xe2\x28\xa1\xff\xfe\xf8\x88\x80\x80\x80", 14)));
    QTRY_VERIFY(form->Text2->Text().contains(QStringLiteral("接收: ")));
    QVERIFY(form->Text2->Text().contains(QChar(0xFFFD)));

    // 17 pairs of a broken lead byte and "(": 34 characters of text, which the
    // receive path hands to the poll decoding like any 34-character chunk; its
    // registers read as no number, so the chart gets zeros, never garbage.
    QByteArray pairs;
    for (int i = 0; i < 17; ++i)
        pairs += QByteArray("\xc3(", 2);
    form->Command3->click();
    QVERIFY(pty->writeAndWaitAtPort(pairs));
    QTRY_VERIFY(form->Text2->Text().contains(QString(QChar(0xFFFD)) + QStringLiteral("(")));
    verifyChartFinite();

    // The parameter browser takes broken text as its UTF-16 bytes: a raw row.
    form->List1->item(0)->setCheckState(Qt::Checked);
    // Written before the click with no event handled in between: the read takes it.
    QVERIFY(pty->writeAndWaitAtPort(QByteArray("\xff\xc3", 2)));
    form->CmdViewPram->click();
    QVERIFY(!form->List2->item(0)->text().isEmpty());
    verifyOwnMessagesOnly();
    QVERIFY(boxes->shown.isEmpty());
}

QTEST_MAIN(TestForm1BadInput)
#include "test_form1_badinput.moc"
