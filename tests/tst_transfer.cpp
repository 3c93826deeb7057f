#include "FakeSerialLink.h"
#include "TestDatabase.h"

#include "ChannelCursor.h"
#include "ChannelFrame.h"
#include "ChannelStore.h"
#include "LoadComparison.h"
#include "NumericReading.h"
#include "BandProfiles.h"
#include "PlanCheck.h"
#include "TransferPlan.h"
#include "TransferController.h"
#include "TransferJournal.h"
#include "TransferSequence.h"

#include <QSignalSpy>
#include <QtTest>

// A table, its cursor, a fake port and the sequence, driven tick by tick.
struct Rig
{
    explicit Rig(const QVector<QVariantList> &rows) : file(rows)
    {
        model.open(file.path());
        port.open();
    }
    void ticks(int n)
    {
        for (int i = 0; i < n; ++i)
            sequence.tick();
    }
    bool atRest() const
    {
        return !sequence.isRunning() && sequence.status().isEmpty() && sequence.progress() == 0
                && sequence.counter() == 0 && cursor.currentRow() == 0;
    }

    TestDatabase file;
    ChannelStore model;
    ChannelCursor cursor{ &model };
    FakeSerialLink port;
    TransferSequence sequence{ &cursor, &port };
    QSignalSpy stopped{ &sequence, &TransferSequence::stopped };
    QSignalSpy finished{ &sequence, &TransferSequence::finished };
};

class TestTransfer : public QObject
{
    Q_OBJECT
private slots:
    void fullTransferFollowsTheTimeLine()
    {
        QVector<QVariantList> rows = TestDatabase::numberedRows(60);
        rows[0][1] = QVariant();   // the first row has no channel number
        Rig rig(rows);
        rig.cursor.moveNext();
        QVERIFY(rig.sequence.start());
        QCOMPARE(rig.sequence.timer()->interval(), 100);
        QCOMPARE(rig.sequence.status(), QStringLiteral("正在传送数据,,,,,,,"));
        QCOMPARE(rig.cursor.currentRow(), 0);
        QVERIFY(rig.port.written.isEmpty());   // the first frame waits for the first tick

        for (int tick = 1; tick <= 64; ++tick) {
            rig.sequence.tick();
            QCOMPARE(rig.port.written.size(), 16 * qMin(tick, 51));
            QCOMPARE(rig.sequence.progress(), 2 * (qMin(tick, 51) - 1));
            QCOMPARE(rig.sequence.status(), tick < 51 ? TransferSequence::sendingText : TransferSequence::finishedText);
            QCOMPARE(rig.sequence.counter(), 2 * tick);
            QVERIFY(rig.sequence.isRunning());
        }
        rig.sequence.tick();
        QVERIFY(rig.atRest());
        QCOMPARE(rig.finished.count(), 1);
        QCOMPARE(rig.port.written, QByteArray(16, '0') + TestDatabase::sentFrames(2, 51));

        // A table of three rows sends them, then ends with the usual tail.
        Rig shortTable(TestDatabase::numberedRows(3));
        QVERIFY(shortTable.sequence.start());
        QCOMPARE(shortTable.sequence.framesExpected(), 3);
        shortTable.ticks(4);
        QCOMPARE(shortTable.sequence.progress(), 100);
        QCOMPARE(shortTable.sequence.status(), TransferSequence::finishedText);
        shortTable.ticks(13);
        QVERIFY(shortTable.sequence.isRunning());
        shortTable.sequence.tick();
        QVERIFY(shortTable.atRest());
        QCOMPARE(shortTable.port.written, TestDatabase::sentFrames(1, 3));
        QCOMPARE(shortTable.finished.count(), 1);
    }

    void everyStartIsAWholeTransfer()
    {
        // Started again while sending (tick 20) and in the idle tail (tick 55).
        for (int restartAfter : { 20, 55 }) {
            Rig rig(TestDatabase::numberedRows(60));
            QVERIFY(rig.sequence.start());
            rig.ticks(restartAfter);
            QVERIFY(rig.sequence.start());
            QCOMPARE(rig.sequence.counter(), 0);
            QCOMPARE(rig.cursor.currentRow(), 0);
            rig.ticks(65);
            QVERIFY(rig.atRest());
            QCOMPARE(rig.port.written, TestDatabase::sentFrames(1, qMin(restartAfter, 51)) + TestDatabase::sentFrames(1, 51));
        }
    }

    // A transfer that cannot start, or that meets a failing device, says why
    // once and is back at rest, with only the frames before the fault sent.
    void refusedOrBrokenOff()
    {
        const QVector<QVariantList> rows = TestDatabase::numberedRows(60);
        QVector<QVariantList> badRow = rows, row52 = rows;
        badRow[29][0] = QStringLiteral("R30");
        badRow[29][2] = 99.5;
        row52[51][1] = 999;   // never sent, so no reason to refuse
        const QString writeFailed = QStringLiteral("串行端口 1（/dev/fake1）写入失败，数据传送已停止：设备读写出错\n");
        const struct { QVector<QVariantList> rows; bool portOpen; int failAfter; bool starts; QString reason; int sent; } cases[] = {
            { {}, true, -1, false, QStringLiteral("信道表中没有数据，无法传送。"), 0 },
            { badRow, true, -1, false, QStringLiteral("第 30 行（记录编号 R30）：接收频率 超出范围: 99.5\n数据没有传送。"), 0 },
            { rows, false, -1, false, QStringLiteral("串行端口 1（/dev/fake1）未打开，数据没有传送。\n请在“选择端口”中选择端口。"), 0 },
            { row52, true, -1, true, QString(), 11 },
            { rows, true, 9, true, writeFailed + QStringLiteral("已发送 9 帧（第 1–9 行），其余未发送"), 9 },
            { rows.mid(0, 3), true, 0, true, writeFailed + QStringLiteral("没有发送任何帧"), 0 },
        };
        for (const auto &c : cases) {
            Rig rig(c.rows);
            if (!c.portOpen)
                rig.port.close();
            QCOMPARE(rig.sequence.start(), c.starts);
            rig.ticks(c.failAfter);
            rig.port.refuseWrites = c.failAfter >= 0;
            rig.ticks(11 - qMax(c.failAfter, 0));
            QCOMPARE(rig.stopped, c.reason.isEmpty() ? QList<QList<QVariant>>() : QList<QList<QVariant>>({ { c.reason } }));
            QCOMPARE(rig.port.written, TestDatabase::sentFrames(1, c.sent));
            QVERIFY(rig.finished.isEmpty() && (c.reason.isEmpty() || (c.starts ? rig.atRest() : !rig.sequence.isRunning())));
        }
    }

    // Every load the controller starts ends in one verdict and one journal
    // line: done only when the last byte has left the line, failed with what
    // did go out when the line stops taking bytes, interrupted when broken off.
    void verdictWaitsForTheLine_data()
    {
        QTest::addColumn<int>("left");   // bytes the line never sends; -1: broken off at frame 20
        QTest::addColumn<int>("result");
        QTest::addColumn<int>("sent");
        QTest::addColumn<int>("drained");
        QTest::addColumn<QString>("detail");
        QTest::newRow("drained") << 0 << int(TransferController::Result::Done) << 51 << 816 << "";
        QTest::newRow("stuck") << 216 << int(TransferController::Result::Failed) << 51 << 600
                               << "数据没有全部送出：已送出 600 字节，共 816 字节";
        QTest::newRow("broken off") << -1 << int(TransferController::Result::Interrupted) << 20 << 320 << "退出系统";
    }

    void verdictWaitsForTheLine()
    {
        QFETCH(int, left);
        QFETCH(int, result);
        QFETCH(int, sent);
        QFETCH(int, drained);
        QFETCH(QString, detail);
        TestDatabase file(TestDatabase::numberedRows(60));
        ChannelStore model;
        model.open(file.path());
        ChannelCursor cursor(&model);
        FakeSerialLink port;
        port.open();
        TransferController controller(&cursor, &port);
        QSignalSpy verdicts(&controller, &TransferController::concluded);
        QVERIFY(controller.start(2));
        for (int tick = 1; tick <= (left < 0 ? 20 : 51); ++tick) {
            port.queued = tick == 51 ? 216 : 0;   // the backlog right after the last write
            controller.sequence()->tick();
        }
        if (left < 0)
            controller.interrupt(QStringLiteral("退出系统"));
        else
            QVERIFY(verdicts.isEmpty() && controller.isRunning());   // written is not sent
        port.queued = std::max(left, 0);
        QTRY_COMPARE_WITH_TIMEOUT(verdicts.count(), 1, 4000);
        QCOMPARE(verdicts.first().first().value<TransferController::Result>(), TransferController::Result(result));
        if (left < 0)   // broken off, the plan may be edited again at once
            QCOMPARE(model.refusalReason(), QString());
        controller.interrupt(QStringLiteral("退出系统"));
        QCOMPARE(verdicts.count(), 1);
        const TransferJournal::Entry entry = TransferJournal::entries().first();
        QCOMPARE(std::tuple(int(entry.result), entry.framesSent, entry.bytesDrained, entry.warnings, entry.detail),
                 std::tuple(result, sent, qint64(drained), 2, detail));
        QCOMPARE(std::pair(entry.device, entry.file), std::pair(QStringLiteral("/dev/fake1"), file.path()));
        QCOMPARE(entry.sha256, QStringLiteral("d3bd7d894765510a8fb2b52cf8dfdac2c3fe4426cd4f04ee6052c5f2ad7cdedd"));
    }

    void numericReading_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<double>("expected");
        QTest::newRow("fraction") << "150.025" << 150.025;
        QTest::newRow("blank inside") << "1 2" << 12.0;
        QTest::newRow("tab and newline") << "\t4\n3 8.5" << 438.5;
        QTest::newRow("signs") << "- 5" << -5.0;
        QTest::newRow("exponent with sign") << "25e-1" << 2.5;
        QTest::newRow("incomplete exponent sign") << "12e+x" << 12.0;
        QTest::newRow("stops at second point") << "1.2.3" << 1.2;
        QTest::newRow("stops at letters") << "438.5MHz" << 438.5;
        QTest::newRow("leading point") << ".5" << 0.5;
        QTest::newRow("hex") << "&HFF" << 255.0;
        QTest::newRow("hex stops") << "&H1G" << 1.0;
        QTest::newRow("lowercase hex") << "&hfa" << 250.0;
        QTest::newRow("octal") << "&O17" << 15.0;
        QTest::newRow("octal stops at 8") << "&O78" << 7.0;
        QTest::newRow("letters") << "abc" << 0.0;
        QTest::newRow("sign only") << "-" << 0.0;
        QTest::newRow("comma is no point") << "145,5" << 145.0;
        QTest::newRow("full-width digits end it") << "１２" << 0.0;
    }

    void numericReading()
    {
        QFETCH(QString, text);
        QFETCH(double, expected);
        QCOMPARE(NumericReading::read(text), expected);
    }

    // A row's frame, or the field that keeps it from being sent and why.
    void frames_data()
    {
        QTest::addColumn<QVariant>("channel");
        QTest::addColumn<QVariant>("receive");
        QTest::addColumn<QVariant>("transmit");
        QTest::addColumn<QString>("frame");
        const QVariant null;
        // The worked rows of the radio's documentation.
        QTest::newRow("UHF simplex") << QVariant(5) << QVariant(438.5) << QVariant(438.5) << "05F8A43F00E8E842";
        QTest::newRow("VHF duplex") << QVariant(12) << QVariant(150.025) << QVariant(155.525) << "0C6AA0130032BB17";
        QTest::newRow("whole MHz") << QVariant(1) << QVariant(145) << QVariant(145) << "0120DC1200102016";
        QTest::newRow("null channel") << null << QVariant(145) << QVariant(145) << "0000000000000000";
        QTest::newRow("zero channel") << QVariant(0) << QVariant(1e9) << QVariant("x") << "0000000000000000";
        QTest::newRow("letters channel") << QVariant("CH") << QVariant(145) << QVariant(145) << "0000000000000000";
        // Fields as texts, the way an operator may have typed them.
        QTest::newRow("texts") << QVariant("1 2") << QVariant("150.025") << QVariant(" 155.525 ") << "0C6AA0130032BB17";
        QTest::newRow("channel 15") << QVariant(15) << QVariant(145) << QVariant(145) << "0F20DC1200102016";
        QTest::newRow("channel 16") << QVariant(16) << QVariant(145) << QVariant(145) << "1020DC1200102016";
        QTest::newRow("channel rounds half to even") << QVariant(2.5) << QVariant(145) << QVariant(145) << "0220DC1200102016";
        QTest::newRow("receive null") << QVariant(1) << null << QVariant(145) << "0100000000102016";
        QTest::newRow("receive zero, no offset") << QVariant(1) << QVariant(0) << QVariant(145) << "0100000000102016";
        QTest::newRow("transmit null") << QVariant(1) << QVariant(145) << null << "0120DC1200000000";
        QTest::newRow("transmit half to even") << QVariant(1) << QVariant(145) << QVariant(145.00025) << "0120DC1200122016";
        QTest::newRow("lowest receive") << QVariant(1) << QVariant(126.2576) << QVariant(145) << "0100001000102016";
        QTest::newRow("highest receive") << QVariant(1) << QVariant(1699.1215) << QVariant(145) << "01FFFFFF00102016";
        QTest::newRow("lowest transmit") << QVariant(1) << QVariant(145) << QVariant(104.8576) << "0120DC1200000010";
        QTest::newRow("highest transmit") << QVariant(1) << QVariant(145) << QVariant(1677.7215) << "0120DC1200FFFFFF";
        // Rows that cannot be sent: the field (1 channel, 2 receive, 3 transmit) and the message.
        QTest::newRow("channel 256") << QVariant(256) << QVariant(145) << QVariant(145) << "1 信道号 超出范围 (1–255): 256";
        QTest::newRow("negative channel") << QVariant(-1) << QVariant(145) << QVariant(145) << "1 信道号 超出范围 (1–255): -1";
        QTest::newRow("channel rounds to 0") << QVariant(0.4) << QVariant(145) << QVariant(145) << "1 信道号 超出范围 (1–255): 0.4";
        QTest::newRow("receive too low") << QVariant(1) << QVariant(99.5) << QVariant(145) << "2 接收频率 超出范围: 99.5";
        QTest::newRow("receive just below six digits") << QVariant(1) << QVariant(126.2575) << QVariant(145) << "2 接收频率 超出范围: 126.2575";
        QTest::newRow("receive seven digits") << QVariant(1) << QVariant(1699.1216) << QVariant(145) << "2 接收频率 超出范围: 1699.1216";
        QTest::newRow("transmit seven digits") << QVariant(1) << QVariant(145) << QVariant(1677.7216) << "3 发送频率 超出范围: 1677.7216";
        QTest::newRow("receive overflow") << QVariant(1) << QVariant("1e400") << QVariant(145) << "2 接收频率 不是有效数值: 1e400";
        QTest::newRow("transmit overflow") << QVariant(1) << QVariant(145) << QVariant(1e305) << "3 发送频率 不是有效数值: 1e+305";
        QTest::newRow("channel overflow") << QVariant("9e999") << QVariant(145) << QVariant(145) << "1 信道号 超出范围 (1–255): 9e999";
    }

    void frames()
    {
        QFETCH(QVariant, channel);
        QFETCH(QVariant, receive);
        QFETCH(QVariant, transmit);
        const ChannelFrame f = ChannelFrame::encode(channel, receive, transmit);
        // A row that cannot be sent has no frame text besides its message.
        QTEST(f.isValid() ? f.text() : QStringLiteral("%1%2 %3").arg(f.text()).arg(int(f.errorField())).arg(f.errorMessage()),
              "frame");
    }

    // Two loads' frames, row by row: the fields as the frames carry them (the
    // worked rows above, the edges of six digits, the null frame), then the frames.
    void comparedLoads()
    {
        const struct { QByteArray first, second; QStringList lines; } cases[] = {
            { "05F8A43F00E8E8420C6AA0130032BB17", "05F8A43F00E8E8420C6AA0130032BB17", {} },
            { "0C6AA0130032BB17", "0D6AA0130032BB17",
              { "第 1 行 信道 12：信道号 12 → 13", "第 1 行 信道 12：帧 0C6AA0130032BB17 → 0D6AA0130032BB17" } },
            { "01FFFFFF00102016", "0100001000000010",
              { "第 1 行 信道 1：接收频率 1699.1215 → 126.2576", "第 1 行 信道 1：发送频率 145.0000 → 104.8576",
                "第 1 行 信道 1：帧 01FFFFFF00102016 → 0100001000000010" } },
            { "0000000000000000", "0120DC1200FFFFFF",
              { "第 1 行 信道 无：信道号 无 → 1", "第 1 行 信道 无：接收频率 无 → 145.0000",
                "第 1 行 信道 无：发送频率 无 → 1677.7215", "第 1 行 信道 无：帧 0000000000000000 → 0120DC1200FFFFFF" } },
            { "0120DC12001020160000000000000000", "0120DC1200102016",
              { "第 2 行 信道 无：只在 A 中（接收频率 无，发送频率 无，帧 0000000000000000）" } },
            { "", "0100000000102016", { "第 1 行 信道 1：只在 B 中（接收频率 无，发送频率 145.0000，帧 0100000000102016）" } },
        };
        for (const auto &c : cases) {
            const LoadComparison comparison(c.first, c.second);
            QStringList lines;
            for (const LoadComparison::Difference &d : comparison.differences())
                lines << LoadComparison::describe(d);
            QCOMPARE(lines, c.lines);
            QCOMPARE(comparison.identical(), c.lines.isEmpty());
        }
    }

    void warnings_data()
    {
        QTest::addColumn<QVariantList>("fields");
        QTest::addColumn<int>("field");
        QTest::addColumn<QString>("warning");   // empty: the row carries none
        QTest::addColumn<QString>("band");      // the band plan chosen
        const QVariant null;
        QTest::newRow("clean") << QVariantList{ 5, 438.5, "438.50" } << 1 << QString() << "none";
        QTest::newRow("hex is whole") << QVariantList{ "&H5", 438.5, 438.5 } << 1 << QString() << "none";
        QTest::newRow("blank slot") << QVariantList{ null, null, 0 } << 1 << QString() << "none";
        QTest::newRow("decimal comma") << QVariantList{ 5, "438,5", 438.5 } << 2 << "“438,5”只读作 438" << "none";
        QTest::newRow("unit") << QVariantList{ 5, 438.5, "145.5MHz" } << 3 << "“145.5MHz”只读作 145.5" << "none";
        QTest::newRow("letters") << QVariantList{ 5, "abc", 438.5 } << 2 << "“abc”只读作 0；为空或为 0：发送 000000" << "none";
        QTest::newRow("full-width") << QVariantList{ "５", 438.5, 438.5 } << 1 << "“５”只读作 0；为空或为 0：此行发送空帧" << "none";
        QTest::newRow("null frame") << QVariantList{ 0, 438.5, null } << 1 << "为空或为 0：此行发送空帧" << "none";
        QTest::newRow("empty frequency") << QVariantList{ 5, 438.5, "" } << 3 << "为空或为 0：发送 000000" << "none";
        QTest::newRow("zero frequency") << QVariantList{ 5, 0, 438.5 } << 2 << "为空或为 0：发送 000000" << "none";
        QTest::newRow("not whole") << QVariantList{ 1.5, 438.5, 438.5 } << 1 << "1.5 不是整数：发送为 2" << "none";
        QTest::newRow("off raster") << QVariantList{ 5, 438.5126, 438.5 } << 2 << "438.5126 不在 5 kHz" << "none";
        QTest::newRow("6.25 kHz") << QVariantList{ 5, 438.50625, 146.005 } << 2 << QString() << "none";
        // Each band plan's edges, as its source gives them.
        const QString publicName = "不在“公众对讲机 409 MHz”的";
        QTest::newRow("public low edge") << QVariantList{ 1, 409.75, 409.75 } << 1 << QString() << "public";
        QTest::newRow("public high edge") << QVariantList{ 1, 409.9875, 409.9875 } << 1 << QString() << "public";
        QTest::newRow("public below") << QVariantList{ 1, 409.7375, 409.7375 } << 2
                                      << "409.7375 " + publicName + "频段内（409.75–409.9875 MHz）" << "public";
        QTest::newRow("public raster") << QVariantList{ 1, 409.755, 409.755 } << 2
                                       << "409.755 " + publicName + " 12.5 kHz 信道上" << "public";
        QTest::newRow("public simplex") << QVariantList{ 1, 409.75, 409.7625 } << 3
                                        << "与接收频率不同：“公众对讲机 409 MHz”只用同频单工" << "public";
        QTest::newRow("VHF split") << QVariantList{ 1, 150.0125, 155.7125 } << 1 << QString() << "dedicated";
        QTest::newRow("UHF split") << QVariantList{ 1, 413.0125, 403.0125 } << 1 << QString() << "dedicated";
        QTest::newRow("VHF top") << QVariantList{ 1, 167.0, 167.0 } << 1 << QString() << "dedicated";
        QTest::newRow("VHF above") << QVariantList{ 1, 167.0125, 167.0125 } << 2
                                   << "167.0125 不在“专用对讲机 150/400 MHz”的频段内（137–167、403–423.5 MHz）" << "dedicated";
        QTest::newRow("amateur in VHF") << QVariantList{ 1, 145.0, 145.0 } << 2
                                        << "145 在 144–146 MHz 内，是业余业务专用频段" << "dedicated";
        QTest::newRow("public in UHF") << QVariantList{ 1, 409.8, 409.8 } << 3
                                       << "409.8 在 409.75–409.9875 MHz 内，是公众对讲机频率" << "dedicated";
        QTest::newRow("wrong split") << QVariantList{ 1, 150.0125, 157.0125 } << 3
                                     << "与接收频率相差 7 MHz：“专用对讲机 150/400 MHz”的双频间隔是 5.7 MHz" << "dedicated";
        QTest::newRow("repeater") << QVariantList{ 1, 438.5, 431.1 } << 1 << QString() << "amateur";
        QTest::newRow("amateur edges") << QVariantList{ 1, 144.0, 148.0 } << 1 << QString() << "amateur";
        QTest::newRow("amateur above") << QVariantList{ 1, 440.0125, 440.0 } << 2 << "440.0125 不在“业余" << "amateur";
        QTest::newRow("PMR446 bottom") << QVariantList{ 1, 446.00625, 446.00625 } << 1 << QString() << "pmr446";
        QTest::newRow("PMR446 top") << QVariantList{ 1, 446.19375, 446.19375 } << 1 << QString() << "pmr446";
        QTest::newRow("PMR446 raster") << QVariantList{ 1, 446.0125, 446.0125 } << 2
                                       << "446.0125 不在“PMR446”的 12.5 kHz 信道上" << "pmr446";
        QTest::newRow("PMR446 below") << QVariantList{ 1, 446.0, 446.0 } << 2 << "446 不在“PMR446”的频段内" << "pmr446";
    }

    void warnings()
    {
        QFETCH(QVariantList, fields);
        QFETCH(int, field);
        QFETCH(QString, warning);
        QFETCH(QString, band);
        BandProfiles::choose(band);
        const auto noPlan = qScopeGuard([] { BandProfiles::choose(QStringLiteral("none")); });
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

    void tableFindingsAndRefusal()
    {
        QVector<QVariantList> rows = TestDatabase::numberedRows(60);
        rows[4][1] = 3;        // row 5 takes row 3's channel
        rows[9][2] = 99.5;     // row 10 cannot be sent
        rows[19][3] = 2000;    // nor row 20
        rows[54][2] = 99.5;    // row 55 is never sent
        TestDatabase file(rows);
        ChannelStore model;
        QVERIFY(model.open(file.path()));
        QStringList lines;
        for (const PlanFinding &finding : PlanCheck::check(model, TransferPlan::rowsSent))
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
};

QTEST_GUILESS_MAIN(TestTransfer)
#include "tst_transfer.moc"
