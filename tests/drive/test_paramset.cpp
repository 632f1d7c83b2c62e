// The parameter set without a line: the block plan over the catalogue, the
// values as typed, the order and rules of a restore, and the parameter-set
// file against hostile files.
#include "drive/catalogue.h"
#include "drive/paramset.h"
#include "drive/paramsetfile.h"

#include <QTemporaryDir>
#include <QTest>

using namespace kv;

using Values = QMap<int, quint16>;
using DriveValues = QMap<int, int>;

class TestParamSet : public QObject {
    Q_OBJECT
private slots:
    void blockPlan_data();
    void blockPlan();
    void catalogueInRuns();
    void registerValues_data();
    void registerValues();
    void restorePlan_data();
    void restorePlan();
    void fileWrittenAndReadBack();
    void hostileFiles_data();
    void hostileFiles();
};

void TestParamSet::blockPlan_data()
{
    QTest::addColumn<QList<int>>("codes");
    QTest::addColumn<QList<ReadBlock>>("blocks");
    QList<int> long130;
    for (int c = 1; c <= 130; ++c)
        long130.append(c);
    QTest::newRow("one run") << QList<int>{101, 102, 103} << QList<ReadBlock>{{100, 3}};
    QTest::newRow("a gap") << QList<int>{114, 115, 118} << QList<ReadBlock>{{113, 2}, {117, 1}};
    QTest::newRow("descending codes do not join") << QList<int>{3, 2} << QList<ReadBlock>{{2, 1}, {1, 1}};
    QTest::newRow("125 at most") << long130 << QList<ReadBlock>{{0, 125}, {125, 5}};
}

void TestParamSet::blockPlan()
{
    QFETCH(QList<int>, codes);
    QFETCH(QList<ReadBlock>, blocks);
    QCOMPARE(PlanBlockReads(codes), blocks);
}

void TestParamSet::catalogueInRuns()
{
    const QList<int> codes = CatalogueParameterCodes();
    const QList<ReadBlock> blocks = PlanBlockReads(codes);
    QCOMPARE(blocks.size(), 48);
    int next = 0;
    for (const ReadBlock& b : blocks) {
        QVERIFY(b.count >= 1 && b.count <= 125);
        for (int i = 0; i < b.count; ++i)
            QCOMPARE(int(b.address) + i + 1, codes[next++]);
    }
    QCOMPARE(next, 415);
}

void TestParamSet::registerValues_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("value");  // -1: refused
    QTest::newRow("decimal") << "1460" << 1460;
    QTest::newRow("highest") << "65535" << 65535;
    QTest::newRow("negative") << "-1" << 0xFFFF;
    QTest::newRow("lowest") << "-32768" << 0x8000;
    QTest::newRow("typographic minus, blanks") << QStringLiteral(" \u22122 ") << 0xFFFE;
    QTest::newRow("hex") << "0x05b4" << 0x05B4;
    QTest::newRow("above") << "65536" << -1;
    QTest::newRow("below") << "-32769" << -1;
    QTest::newRow("hex above") << "0x10000" << -1;
    QTest::newRow("bare 0x") << "0x" << -1;
    QTest::newRow("exponent") << "1e3" << -1;
    QTest::newRow("fraction") << "1.5" << -1;
    QTest::newRow("empty") << "" << -1;
}

void TestParamSet::registerValues()
{
    QFETCH(QString, text);
    QFETCH(int, value);
    const std::optional<quint16> v = ParseRegisterValue(text);
    QCOMPARE(v.has_value() ? int(*v) : -1, value);
}

void TestParamSet::restorePlan_data()
{
    QTest::addColumn<Values>("file");
    QTest::addColumn<DriveValues>("drive");  // value, -1 failed; missing: unread
    QTest::addColumn<QList<int>>("order");
    QTest::newRow("9902, then group 99, then catalogue order")
        << Values{{2202, 1}, {1102, 4}, {9906, 2}, {9901, 5}, {9902, 3}}
        << DriveValues{{2202, 0}, {1102, 0}, {9906, 0}, {9901, 0}, {9902, 0}}
        << QList<int>{9902, 9901, 9906, 1102, 2202};
    QTest::newRow("read-only, equal, unread and failed left alone")
        << Values{{103, 1}, {401, 2}, {3301, 3}, {5306, 4}, {2202, 50}, {2008, 1}, {1102, 4}}
        << DriveValues{{103, 0}, {401, 0}, {3301, 0}, {5306, 0}, {2202, 50}, {1102, -1}}
        << QList<int>{};
}

void TestParamSet::restorePlan()
{
    QFETCH(Values, file);
    QFETCH(DriveValues, drive);
    QFETCH(QList<int>, order);
    QMap<int, Reading> readings;
    for (auto it = drive.begin(); it != drive.end(); ++it)
        readings.insert(it.key(), *it < 0 ? Reading{Reading::Failed, 0, QStringLiteral("无应答")}
                                          : Reading{Reading::Read, quint16(*it), QString()});
    QList<int> codes;
    for (const WriteStep& s : PlanRestore(file, readings)) {
        QCOMPARE(s.value, file.value(s.code));
        codes.append(s.code);
    }
    QCOMPARE(codes, order);
}

void TestParamSet::fileWrittenAndReadBack()
{
    QMap<int, quint16> values;
    for (const ParameterInfo& p : ParameterTable())
        values.insert(p.code, quint16(p.code * 7));
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("set.csv"));
    QString error;
    QVERIFY(SaveParameterSetFile(path, values, &error));
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray bytes = file.readAll();
    QVERIFY(bytes.startsWith("\xEF\xBB\xBF" "代码,名称,寄存器,值\r\n9901,语言,0x26AC,3771\r\n9902,应用宏,0x26AD,3778\r\n"));
    QVERIFY(bytes.contains("\r\n0101,转速与方向,0x0064,707\r\n"));
    const ParameterSetLoad load = LoadParameterSetFile(path);
    QVERIFY2(load.Ok(), qPrintable(load.error));
    QCOMPARE(load.values, values);
}

void TestParamSet::hostileFiles_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("error");  // empty: read, giving 9902 = 2 and 2202 = 100
    const QByteArray head = "代码,名称,寄存器,值\r\n";
    QTest::newRow("edited in a spreadsheet: no mark, LF, quotes, short code")
        << QByteArray("代码,名称,寄存器,值\n\"2202\",\"加速,时间\"\"1\"\"\",0x0899,100\n9902,,0x26ad,0x2\n")
        << QString();
    QTest::newRow("wrong header") << QByteArray("code,name,register,value\r\n9902,x,0x26AD,2\r\n")
                                  << "第 1 行：表头应为“代码,名称,寄存器,值”";
    QTest::newRow("missing column") << head + "9902,x,0x26AD,2\r\n2202,x,0x0899\r\n"
                                    << "第 3 行：应有 4 列，实有 3 列";
    QTest::newRow("extra column") << head + "9902,x,0x26AD,2,7\r\n" << "第 2 行：应有 4 列，实有 5 列";
    QTest::newRow("value out of range") << head + "9902,x,0x26AD,65536\r\n"
                                        << "第 2 行：值“65536”不是 -32768..65535 的整数";
    QTest::newRow("unknown code") << head + "1234,x,0x04D1,1\r\n" << "第 2 行：参数目录中没有代码“1234”";
    QTest::newRow("not a code") << head + "99O2,x,0x26AD,1\r\n" << "第 2 行：代码“99O2”不是参数代码";
    QTest::newRow("duplicate code") << head + "9902,x,0x26AD,2\r\n\r\n9902,x,0x26AD,3\r\n"
                                    << "第 4 行：参数 9902 重复（第 2 行已有）";
    QTest::newRow("register of another code") << head + "9902,x,0x26AC,2\r\n"
                                              << "第 2 行：寄存器“0x26AC”与参数 9902 的寄存器 0x26AD 不符";
    QTest::newRow("quote never closed") << head + "9902,\"x,0x26AD,2\r\n2202,x,0x0899,1\r\n"
                                        << "第 2 行：引号没有结束";
    QTest::newRow("binary") << head + QByteArray("9902,x,0x26AD,2\r\n\x00\x01\x02\xFF", 21)
                            << "第 3 行：含有二进制数据，不是文本的参数集文件";
    QTest::newRow("not UTF-8") << head + "9902,\xB5\xE7,0x26AD,2\r\n" << "第 2 行：含有二进制数据，不是文本的参数集文件";
    QTest::newRow("huge") << head + QByteArray(kMaxParameterSetFileBytes, ' ')
                          << "文件过大（超过 1 MB），不是参数集文件";
    QTest::newRow("empty") << QByteArray() << "第 1 行：文件是空的";
    QTest::newRow("header only") << head << "第 2 行：文件中没有参数";
}

void TestParamSet::hostileFiles()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, error);
    const ParameterSetLoad load = ParseParameterSetFile(bytes);
    QCOMPARE(load.error, error);
    if (error.isEmpty())
        QCOMPARE(load.values, (Values{{9902, 2}, {2202, 100}}));
    else
        QVERIFY(load.values.isEmpty());
}

QTEST_GUILESS_MAIN(TestParamSet)
#include "test_paramset.moc"
