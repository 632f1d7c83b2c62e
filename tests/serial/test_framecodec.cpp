#include <QTest>
class T : public QObject { Q_OBJECT private slots: void a() { QVERIFY(true); } };
QTEST_GUILESS_MAIN(T)
#include "test_framecodec.moc"
