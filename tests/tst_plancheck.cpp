#include "TestDatabase.h"

#include "ChannelModel.h"
#include "PlanCheck.h"
#include "TransferSequence.h"

#include <QtTest>

class TestPlanCheck : public QObject
{
    Q_OBJECT
private slots:
    void warnings_data();
    void warnings();
    void tableFindingsAndRefusal();
};

void TestPlanCheck::warnings_data()
{
    QTest::addColumn<QVariantList>("fields");
    QTest::addColumn<int>("field");
    QTest::addColumn<QString>("warning");   // empty: the row carries none
    const QVariant null;
    QTest::newRow("clean") << QVariantList{ 5, 438.5, "438.50" } << 1 << QString();
    QTest::newRow("hex is whole") << QVariantList{ "&H5", 438.5, 438.5 } << 1 << QString();
    QTest::newRow("blank slot") << QVariantList{ null, null, 0 } << 1 << QString();
    QTest::newRow("decimal comma") << QVariantList{ 5, "438,5", 438.5 } << 2 << "“438,5”只读作 438";
    QTest::newRow("unit") << QVariantList{ 5, 438.5, "145.5MHz" } << 3 << "“145.5MHz”只读作 145.5";
    QTest::newRow("letters") << QVariantList{ 5, "abc", 438.5 } << 2 << "“abc”只读作 0；为空或为 0：发送 000000";
    QTest::newRow("full-width") << QVariantList{ "５", 438.5, 438.5 } << 1 << "“５”只读作 0；为空或为 0：此行发送空帧";
    QTest::newRow("null frame") << QVariantList{ 0, 438.5, null } << 1 << "为空或为 0：此行发送空帧";
    QTest::newRow("empty frequency") << QVariantList{ 5, 438.5, "" } << 3 << "为空或为 0：发送 000000";
    QTest::newRow("zero frequency") << QVariantList{ 5, 0, 438.5 } << 2 << "为空或为 0：发送 000000";
    QTest::newRow("not whole") << QVariantList{ 1.5, 438.5, 438.5 } << 1 << "1.5 不是整数：发送为 2";
    QTest::newRow("off raster") << QVariantList{ 5, 438.5126, 438.5 } << 2 << "438.5126 不在 5 kHz";
    QTest::newRow("6.25 kHz") << QVariantList{ 5, 438.50625, 146.005 } << 2 << QString();
}

void TestPlanCheck::warnings()
{
    QFETCH(QVariantList, fields);
    QFETCH(int, field);
    QFETCH(QString, warning);
    ChannelRow row;
    for (int i = 0; i < 3; ++i)
        row.values[i + 1] = fields.at(i);
    const auto found = PlanCheck::rowWarnings(row);
    if (warning.isEmpty()) {
        QCOMPARE(QStringList(found.begin(), found.end()).join(QString()), QString());
        return;
    }
    QVERIFY2(found[field].startsWith(warning), qPrintable(found[field]));
}

void TestPlanCheck::tableFindingsAndRefusal()
{
    QVector<QVariantList> rows = TestDatabase::numberedRows(60);
    rows[4][1] = 3;        // row 5 takes row 3's channel
    rows[9][2] = 99.5;     // row 10 cannot be sent
    rows[19][3] = 2000;    // nor row 20
    rows[54][2] = 99.5;    // row 55 is never sent
    TestDatabase file(rows);
    ChannelModel model;
    QVERIFY(model.open(file.path()));
    QStringList lines;
    for (const PlanFinding &finding : PlanCheck::check(model, TransferSequence::frameCount))
        lines << PlanCheck::describe(finding, model);
    QCOMPARE(lines, QStringList({
            "第 5 行（记录编号 5）警告：信道号 3 与第 3 行相同：电台只保留其中一个",
            "第 10 行（记录编号 10）错误：接收频率 超出范围: 99.5",
            "第 20 行（记录编号 20）错误：发送频率 超出范围: 2000" }));
    int badRow = -1;
    QCOMPARE(TransferSequence::checkTable(&model, &badRow),
             QStringLiteral("第 10 行（记录编号 10）：接收频率 超出范围: 99.5\n"
                            "第 20 行（记录编号 20）：发送频率 超出范围: 2000\n数据没有传送。"));
    QCOMPARE(badRow, 9);
}

QTEST_GUILESS_MAIN(TestPlanCheck)
#include "tst_plancheck.moc"
