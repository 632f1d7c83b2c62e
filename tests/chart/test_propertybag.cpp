// The stored property set: case-insensitive names, defaults not stored, order of
// writing, typed reads, and the byte image a host keeps.
#include "chart/propertybag.h"

#include <QFont>
#include <QtTest>

class TestPropertyBag : public QObject {
    Q_OBJECT

private slots:
    void defaultsAreNotStored_data();
    void defaultsAreNotStored();
    void namesIgnoreCase();
    void orderOfWriting();
    void writingTheDefaultDropsTheValue();
    void readsConvertToTheDefaultsType();
    void wrongTypeIsAnError();
    void bytesRoundTrip();
    void damagedBytesAreAnError();
    void damagedFontFamilyCount_data();
    void damagedFontFamilyCount();
    void fontWithoutFamilies();
    void onlyKeptKindsOfValue();
};

void TestPropertyBag::defaultsAreNotStored_data()
{
    QTest::addColumn<QVariant>("value");
    QTest::addColumn<QVariant>("defaultValue");
    QTest::addColumn<bool>("stored");
    QTest::newRow("bool at default") << QVariant(true) << QVariant(true) << false;
    QTest::newRow("bool changed") << QVariant(false) << QVariant(true) << true;
    QTest::newRow("16-bit 0 against 32-bit 0") << QVariant::fromValue<short>(0) << QVariant(0) << false;
    QTest::newRow("16-bit 1 against 32-bit 0") << QVariant::fromValue<short>(1) << QVariant(0) << true;
    QTest::newRow("single at default") << QVariant(9.0f) << QVariant(9.0f) << false;
    QTest::newRow("single changed") << QVariant(9.5f) << QVariant(9.0f) << true;
    QTest::newRow("text at default") << QVariant("hh:mm:ss") << QVariant("hh:mm:ss") << false;
    QTest::newRow("no default") << QVariant(0) << QVariant() << true;
}

void TestPropertyBag::defaultsAreNotStored()
{
    QFETCH(QVariant, value);
    QFETCH(QVariant, defaultValue);
    QFETCH(bool, stored);
    PropertyBag bag;
    bag.WriteProperty("Key", value, defaultValue);
    QCOMPARE(bag.Contains("key"), stored);
    QCOMPARE(bag.ReadProperty("Key", defaultValue.isValid() ? defaultValue : value), value);
}

void TestPropertyBag::namesIgnoreCase()
{
    PropertyBag bag;
    bag.WriteProperty("LegendFont", QStringLiteral("A"));
    QVERIFY(bag.Contains("legendfont"));
    QCOMPARE(bag.ReadProperty("LEGENDFONT", QString()).toString(), QStringLiteral("A"));
    bag.WriteProperty("legendFONT", QStringLiteral("B"));
    QCOMPARE(bag.Count(), 1);
    QCOMPARE(bag.Names(), QStringList{"legendfont"});
    QCOMPARE(bag.ReadProperty("LegendFont", QString()).toString(), QStringLiteral("B"));
}

void TestPropertyBag::orderOfWriting()
{
    PropertyBag bag;
    bag.WriteProperty("Zeta", 1, 0);
    bag.WriteProperty("Alpha", 2, 0);
    bag.WriteProperty("Mid", 0, 0);  // default: not stored
    bag.WriteProperty("Beta", 3, 0);
    QCOMPARE(bag.Names(), (QStringList{"zeta", "alpha", "beta"}));
}

void TestPropertyBag::writingTheDefaultDropsTheValue()
{
    PropertyBag bag;
    bag.WriteProperty("MovingGrid", 1, 2);
    QVERIFY(bag.Contains("MovingGrid"));
    bag.WriteProperty("MovingGrid", 2, 2);
    QVERIFY(!bag.Contains("MovingGrid"));
    QCOMPARE(bag.ReadProperty("MovingGrid", 2).toInt(), 2);
}

void TestPropertyBag::readsConvertToTheDefaultsType()
{
    PropertyBag bag;
    bag.WriteProperty("BorderStyle", QVariant::fromValue<short>(1), 0);
    const QVariant v = bag.ReadProperty("BorderStyle", 0);
    QCOMPARE(v.metaType(), QMetaType::fromType<int>());
    QCOMPARE(v.toInt(), 1);
    QCOMPARE(bag.ReadProperty("Missing", 7).toInt(), 7);
}

void TestPropertyBag::wrongTypeIsAnError()
{
    PropertyBag bag;
    bag.WriteProperty("CurveCount", QStringLiteral("three"));
    QVERIFY_THROWS_EXCEPTION(PropertyBag::TypeError, bag.ReadProperty("CurveCount", 1));
}

void TestPropertyBag::bytesRoundTrip()
{
    PropertyBag bag;
    bag.WriteProperty("BackColor", 0x102030, 0);
    bag.WriteProperty("MaxVertical", 100.0f, 9.0f);
    bag.WriteProperty("xBarNowTimeFormat", QStringLiteral("mm:ss"), QStringLiteral("hh:mm:ss"));
    const PropertyBag back = PropertyBag::FromBytes(bag.ToBytes());
    QCOMPARE(back.Names(), bag.Names());
    QCOMPARE(back.ReadProperty("BackColor", 0).toInt(), 0x102030);
    QCOMPARE(back.ReadProperty("MaxVertical", 9.0f).toFloat(), 100.0f);
    QCOMPARE(back.ReadProperty("xBarNowTimeFormat", QString()).toString(), QStringLiteral("mm:ss"));
    QVERIFY(PropertyBag::FromBytes(PropertyBag().ToBytes()).IsEmpty());
}

void TestPropertyBag::damagedBytesAreAnError()
{
    PropertyBag bag;
    bag.WriteProperty("BackColor", 0x102030, 0);
    QByteArray bytes = bag.ToBytes();
    bytes.chop(3);
    QVERIFY_THROWS_EXCEPTION(PropertyBag::TypeError, PropertyBag::FromBytes(bytes));
    QVERIFY_THROWS_EXCEPTION(PropertyBag::TypeError, PropertyBag::FromBytes(QByteArray("\xff\xff\xff\xff", 4)));
}

void TestPropertyBag::damagedFontFamilyCount_data()
{
    QTest::addColumn<quint32>("count");
    QTest::addColumn<bool>("readable");
    QTest::newRow("as written") << quint32(1) << true;
    QTest::newRow("none") << quint32(0) << false;  // Qt could not write it again
    QTest::newRow("more than the bytes left") << quint32(5) << false;
    QTest::newRow("billions") << quint32(0x60000000) << false;
    QTest::newRow("all bits") << quint32(0xFFFFFFFF) << false;
}

void TestPropertyBag::damagedFontFamilyCount()
{
    // A font's image ends with its list of families; a damaged count there must
    // be refused before anything makes room for that many names (it once asked
    // for 39 GB).
    QFETCH(quint32, count);
    QFETCH(bool, readable);
    const QString family = QStringLiteral("Sans Serif");
    QFont font(family, 9);
    font.setFamilies({family});
    PropertyBag bag;
    bag.WriteProperty("LegendFont", font);
    QByteArray bytes = bag.ToBytes();
    QByteArray list;
    {
        QDataStream out(&list, QIODevice::WriteOnly);
        out.setVersion(QDataStream::Qt_6_4);
        out << QStringList{family};
    }
    QVERIFY(bytes.endsWith(list));
    const qsizetype at = bytes.size() - list.size();
    for (int i = 0; i < 4; ++i)
        bytes[at + i] = static_cast<char>(count >> (24 - 8 * i));
    if (count == 0)
        bytes.truncate(at + 4);
    if (readable) {
        const PropertyBag back = PropertyBag::FromBytes(bytes);
        QCOMPARE(back.ReadProperty("LegendFont", QFont()).value<QFont>().pointSize(), 9);
    } else {
        QVERIFY_THROWS_EXCEPTION(PropertyBag::TypeError, PropertyBag::FromBytes(bytes));
    }
}

void TestPropertyBag::fontWithoutFamilies()
{
    // Qt writes a font's first family without checking that it has one.
    QFont font;
    font.setFamilies({});
    font.setPointSize(13);
    PropertyBag bag;
    bag.WriteProperty("AxesFont", font);
    const PropertyBag back = PropertyBag::FromBytes(bag.ToBytes());
    const QFont read = back.ReadProperty("AxesFont", QFont()).value<QFont>();
    QCOMPARE(read.pointSize(), 13);
    QCOMPARE(read.families().size(), 1);
    // And the font read back can be written again.
    QVERIFY(!back.ToBytes().isEmpty());
}

void TestPropertyBag::onlyKeptKindsOfValue()
{
    PropertyBag bag;
    bag.WriteProperty("Points", QVariant::fromValue(QStringList{"a"}));
    QVERIFY_THROWS_EXCEPTION(PropertyBag::TypeError, bag.ToBytes());

    // A byte image that names another kind of value (here a picture) is refused
    // before anything of that kind is made.
    QByteArray bytes;
    {
        QDataStream out(&bytes, QIODevice::WriteOnly);
        out.setVersion(QDataStream::Qt_6_4);
        out << quint32(0x4B565042) << quint32(1) << quint32(1) << QStringLiteral("picture")
            << quint32(QMetaType::QPixmap) << quint32(0);
    }
    QVERIFY_THROWS_EXCEPTION(PropertyBag::TypeError, PropertyBag::FromBytes(bytes));
}

QTEST_GUILESS_MAIN(TestPropertyBag)
#include "test_propertybag.moc"
