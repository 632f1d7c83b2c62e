// Lenient number reading, rounding and the number formats.
#include "common/colors.h"
#include "common/numbers.h"

#include <QTest>

#include <cfloat>

using namespace kv;

class TestNumbers : public QObject {
    Q_OBJECT
private slots:
    void val_data();
    void val();
    void valNeverInfinite();
    void roundHalfEven_data();
    void roundHalfEven();
    void roundClamps();
    void scaledWholeNumbers_data();
    void scaledWholeNumbers();
    void toSingle_data();
    void toSingle();
    void fixedFormat_data();
    void fixedFormat();
    void generalSigned_data();
    void generalSigned();
    void colours();
};

void TestNumbers::val_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<double>("expected");
    QTest::newRow("plain") << "25" << 25.0;
    QTest::newRow("blank inside") << "2 5" << 25.0;
    QTest::newRow("tab and line feed skipped, carriage return ends") << "\t1\n2\r3" << 12.0;
    QTest::newRow("leading carriage return") << "\r5" << 0.0;
    QTest::newRow("hex stops at carriage return") << "&H1\r2" << 1.0;
    QTest::newRow("leading blanks") << "   9" << 9.0;
    QTest::newRow("hex") << "&H19" << 25.0;
    QTest::newRow("hex lower case") << "&hff" << 255.0;
    QTest::newRow("hex stops at non digit") << "&H1G" << 1.0;
    QTest::newRow("hex unsigned") << "&HFFFF" << 65535.0;
    QTest::newRow("hex 32 bits") << "&HFFFFFFFF" << 4294967295.0;
    QTest::newRow("octal") << "&O17" << 15.0;
    QTest::newRow("octal stops at 8") << "&O178" << 15.0;
    QTest::newRow("ampersand alone") << "&" << 0.0;
    QTest::newRow("ampersand other letter") << "&X5" << 0.0;
    QTest::newRow("decimal point") << "0.1" << 0.1;
    QTest::newRow("full stop whatever the locale") << "2.5" << 2.5;
    QTest::newRow("comma ends the number") << "2,5" << 2.0;
    QTest::newRow("leading point") << ".5" << 0.5;
    QTest::newRow("negative") << "-50" << -50.0;
    QTest::newRow("sign then blank") << "- 5" << -5.0;
    QTest::newRow("plus sign") << "+7" << 7.0;
    QTest::newRow("exponent") << "1e3" << 1000.0;
    QTest::newRow("exponent D") << "1D2" << 100.0;
    QTest::newRow("negative exponent") << "25E-1" << 2.5;
    QTest::newRow("exponent without digits") << "12e" << 12.0;
    QTest::newRow("exponent sign without digits") << "12e-" << 12.0;
    QTest::newRow("trailing text") << "100Hz" << 100.0;
    QTest::newRow("second point ends") << "1.2.3" << 1.2;
    QTest::newRow("empty") << "" << 0.0;
    QTest::newRow("blanks only") << "   " << 0.0;
    QTest::newRow("no number") << "abc" << 0.0;
    QTest::newRow("sign only") << "-" << 0.0;
    QTest::newRow("point only") << "." << 0.0;
    QTest::newRow("NaN text") << "NaN" << 0.0;
    QTest::newRow("inf text") << "inf" << 0.0;
    QTest::newRow("full-width digits are not digits") << "２５" << 0.0;
    QTest::newRow("huge") << "1e309" << DBL_MAX;
    QTest::newRow("huge negative") << "-1e309" << -DBL_MAX;
    QTest::newRow("tiny") << "1e-400" << 0.0;
}

void TestNumbers::val()
{
    QFETCH(QString, text);
    QFETCH(double, expected);
    QCOMPARE(Val(text), expected);
}

void TestNumbers::valNeverInfinite()
{
    const QString many = QString(10000, u'9');
    QVERIFY(std::isfinite(Val(many)));
    QCOMPARE(Val(many), DBL_MAX);
    QVERIFY(std::isfinite(Val(QStringLiteral("&H") + QString(400, u'F'))));
    QCOMPARE(Val(u"-0"), 0.0);
    QVERIFY(std::signbit(Val(u"-0")));
}

void TestNumbers::roundHalfEven_data()
{
    QTest::addColumn<double>("value");
    QTest::addColumn<int>("expected");
    QTest::newRow("0.5") << 0.5 << 0;
    QTest::newRow("1.5") << 1.5 << 2;
    QTest::newRow("2.5") << 2.5 << 2;
    QTest::newRow("3.5") << 3.5 << 4;
    QTest::newRow("-2.5") << -2.5 << -2;
    QTest::newRow("-3.5") << -3.5 << -4;
    QTest::newRow("2.4999") << 2.4999 << 2;
    QTest::newRow("2.5001") << 2.5001 << 3;
    QTest::newRow("9") << 9.0 << 9;
}

void TestNumbers::roundHalfEven()
{
    QFETCH(double, value);
    QFETCH(int, expected);
    QCOMPARE(RoundHalfEven<int>(value), expected);
    QCOMPARE(RoundHalfEven<short>(value), static_cast<short>(expected));
}

void TestNumbers::roundClamps()
{
    QCOMPARE(RoundHalfEven<short>(40000.0), static_cast<short>(32767));
    QCOMPARE(RoundHalfEven<short>(-40000.0), static_cast<short>(-32768));
    QCOMPARE(RoundHalfEven<short>(std::nan("")), static_cast<short>(0));
    QCOMPARE(RoundHalfEven<int>(DBL_MAX), INT_MAX);
    QCOMPARE(RoundHalfEven<quint16>(-1.0), static_cast<quint16>(0));
    QVERIFY(FitsRounded<short>(32767.4));
    QVERIFY(!FitsRounded<short>(32767.5));  // rounds to 32768
    QVERIFY(!FitsRounded<short>(std::nan("")));
    QVERIFY(!FitsRounded<short>(INFINITY));
}

void TestNumbers::scaledWholeNumbers_data()
{
    // The frequency reference: hertz x 400, halves to even.
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("expected");
    QTest::newRow("10.24 Hz") << "10.24" << 4096;
    QTest::newRow("0.03125 Hz") << "0.03125" << 12;
    QTest::newRow("0.09375 Hz") << "0.09375" << 38;
    QTest::newRow("25 Hz") << "25" << 10000;
    QTest::newRow("50 Hz") << "50" << 20000;
    QTest::newRow("hex 25") << "&H19" << 10000;
    QTest::newRow("split 25") << "2 5" << 10000;
}

void TestNumbers::scaledWholeNumbers()
{
    QFETCH(QString, text);
    QFETCH(int, expected);
    QCOMPARE(RoundHalfEven<int>(Val(text) * 400), expected);
}

void TestNumbers::toSingle_data()
{
    QTest::addColumn<double>("value");
    QTest::addColumn<float>("expected");
    QTest::newRow("plain") << 2.5 << 2.5f;
    QTest::newRow("above single") << 1e300 << FLT_MAX;
    QTest::newRow("below single") << -1e300 << -FLT_MAX;
    QTest::newRow("NaN") << std::nan("") << 0.0f;
    QTest::newRow("infinity") << double(INFINITY) << FLT_MAX;
}

void TestNumbers::toSingle()
{
    QFETCH(double, value);
    QFETCH(float, expected);
    QCOMPARE(ToSingle(value), expected);
    QVERIFY(std::isfinite(ToSingle(value)));
}

void TestNumbers::fixedFormat_data()
{
    QTest::addColumn<double>("value");
    QTest::addColumn<QString>("expected");
    QTest::newRow("whole") << 100.0 << "100.0";
    QTest::newRow("one decimal") << 2.5 << "2.5";
    QTest::newRow("two decimals") << 3.14159 << "3.14";
    QTest::newRow("negative") << -50.0 << "-50.0";
    QTest::newRow("zero") << 0.0 << "0.0";
    QTest::newRow("tiny negative") << -0.001 << "0.0";
    QTest::newRow("rounds up") << 9.999 << "10.0";
    QTest::newRow("inner grid value") << 90.0 << "90.0";
}

void TestNumbers::fixedFormat()
{
    QFETCH(double, value);
    QFETCH(QString, expected);
    QCOMPARE(FormatFixed0_0Sharp(value), expected);
}

void TestNumbers::generalSigned_data()
{
    QTest::addColumn<float>("value");
    QTest::addColumn<QString>("expected");
    QTest::newRow("zero") << 0.0f << " 0";
    QTest::newRow("negative") << -50.0f << "-50";
    QTest::newRow("fraction") << 2.5f << " 2.5";
    QTest::newRow("single digits") << 0.1f << " 0.1";
    QTest::newRow("large") << 1e10f << " 1E+10";
}

void TestNumbers::generalSigned()
{
    QFETCH(float, value);
    QFETCH(QString, expected);
    QCOMPARE(FormatGeneralSigned(value), expected);
}

void TestNumbers::colours()
{
    // Red is the low byte.
    QCOMPARE(BgrToQColor(kRed), QColor(255, 0, 0));
    QCOMPARE(BgrToQColor(kGreen), QColor(0, 255, 0));
    QCOMPARE(BgrToQColor(kLightBlue), QColor(0xC0, 0xC0, 0xFF));
    QCOMPARE(QColorToBgr(QColor(0x12, 0x34, 0x56)), 0x563412);
    QCOMPARE(QColorToBgr(BgrToQColor(0x00ABCDEF)), 0x00ABCDEF);
}

QTEST_GUILESS_MAIN(TestNumbers)
#include "test_numbers.moc"
