// The help and picture windows.
#include "app/auxwindows.h"
#include "app/form2.h"
#include "app/form3.h"

#include <QLabel>
#include <QTest>

using namespace kv;

class TestAuxWindows : public QObject {
    Q_OBJECT
private slots:
    void guideText();
    void helpWindowOpensOnceWithThirteenLines();
    void reopeningWritesTheLinesOnceOnACleanSurface();
    void textSurvivesBeingCovered();
    void pictureWindow();
};

void TestAuxWindows::guideText()
{
    const QStringList& lines = Form2::GuideLines();
    QCOMPARE(lines.size(), 13);
    QCOMPARE(lines[0], QStringLiteral(" "));
    QCOMPARE(lines[1], QStringLiteral("  1 变频器参数设置:"));
    QCOMPARE(lines[7], QStringLiteral("    1102=0 1001=10  1103=8 1604=8"));
    QVERIFY(lines[8].contains(QStringLiteral("10个以上,每个")));
    QVERIFY(lines[8].contains(QStringLiteral("数据接  收，")));
    QVERIFY(lines[12].endsWith(QStringLiteral("敬请谅解。")));
}

void TestAuxWindows::helpWindowOpensOnceWithThirteenLines()
{
    AuxWindows aux;
    Form2* f = aux.ShowHelp();
    QVERIFY(f);
    QCOMPARE(f->objectName(), QStringLiteral("Form2"));
    QCOMPARE(f->windowTitle(), QStringLiteral("使用教程"));
    QCOMPARE(f->size(), QSize(708, 253));
    QVERIFY(f->isVisible());
    QCOMPARE(f->WrittenLines(), Form2::GuideLines());
    // Choosing the item again brings the same window forward without writing again.
    QCOMPARE(aux.ShowHelp(), f);
    QCOMPARE(f->WrittenLines().size(), 13);
}

void TestAuxWindows::reopeningWritesTheLinesOnceOnACleanSurface()
{
    AuxWindows aux;
    Form2* f = aux.ShowHelp();
    const QImage first = f->Surface();
    f->close();
    QVERIFY(!f->isVisible());
    QCOMPARE(aux.ShowHelp(), f);
    QCOMPARE(f->WrittenLines(), Form2::GuideLines());
    // The same picture as the first load: nothing of the earlier text doubled.
    QCOMPARE(f->Surface(), first);
}

void TestAuxWindows::textSurvivesBeingCovered()
{
    AuxWindows aux;
    Form2* f = aux.ShowHelp();
    const QImage surface = f->Surface();
    // Some pixels of the second line are text-coloured.
    bool inked = false;
    const QRgb background = surface.pixel(surface.width() - 1, surface.height() - 1);
    const int lineHeight = QFontMetrics(f->font()).height();
    for (int y = lineHeight; y < 2 * lineHeight && !inked; ++y)
        for (int x = 0; x < 200 && !inked; ++x)
            inked = surface.pixel(x, y) != background;
    QVERIFY(inked);
    // A repaint (as after being covered) shows the same surface.
    const QImage grabbed = f->grab().toImage().convertToFormat(QImage::Format_RGB32);
    QCOMPARE(grabbed.pixel(5, lineHeight + lineHeight / 2), surface.pixel(5, lineHeight + lineHeight / 2));
}

void TestAuxWindows::pictureWindow()
{
    AuxWindows aux;
    Form3* f = aux.ShowPicture();
    QCOMPARE(f->objectName(), QStringLiteral("Form3"));
    QCOMPARE(f->windowTitle(), QStringLiteral("微信扫码加好友"));
    QCOMPARE(f->size(), QSize(253, 236));
    QLabel* pic = f->findChild<QLabel*>(QStringLiteral("Picture1"));
    QVERIFY(pic);
    QCOMPARE(pic->geometry(), QRect(0, 8, 249, 233));
    QVERIFY(!pic->pixmap().isNull());
    QCOMPARE(pic->pixmap().size(), QSize(249, 233));
    QCOMPARE(aux.ShowPicture(), f);
    QCOMPARE(f->findChildren<QLabel*>().size(), 1);
}

QTEST_MAIN(TestAuxWindows)
#include "test_auxwindows.moc"
