#include "Plans.h"
#include "TransferRig.h"

#include "BandProfiles.h"
#include "ChannelFrame.h"
#include "FileFollower.h"
#include "Frequency.h"
#include "LoadComparison.h"
#include "LoadPlan.h"
#include "NumericReading.h"
#include "RadioList.h"
#include "RowCheck.h"
#include "TransferJournal.h"

#include <QElapsedTimer>
#include <QSignalSpy>
#include <QtTest>

// A load of `rows` started and ticked by hand, with what it says.
struct Run : TransferRig
{
    explicit Run(const QVector<QVariantList> &rows) : TransferRig(rows) {}
    bool start() { return controller.start(controller.prepare()); }
    bool atRest()
    {
        return !sequence()->isRunning() && sequence()->status().isEmpty() && sequence()->progress() == 0
                && sequence()->counter() == 0 && !controller.isSending();
    }
    QList<int> rowsSent() const
    {
        QList<int> rows;
        for (const QList<QVariant> &signal : sent)
            rows << signal.first().toInt();
        return rows;
    }

    QSignalSpy sent{ &controller, &TransferController::frameSent };
    QSignalSpy sending{ &controller, &TransferController::sendingChanged };
    QSignalSpy reports{ &controller, &TransferController::report };
};

static QList<int> range(int first, int last)
{
    QList<int> rows;
    for (int row = first; row <= last; ++row)
        rows << row;
    return rows;
}

class TestTransfer : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase()
    {
        QVERIFY(m_home.isValid());
        qputenv("XDG_DATA_HOME", m_home.path().toUtf8());
    }

    void fullTransferFollowsTheTimeLine()
    {
        QVector<QVariantList> rows = TestDatabase::numberedRows(60);
        rows[0][1] = QVariant();   // the first row has no channel number
        Run run(rows);
        QVERIFY(run.start());
        QCOMPARE(run.sequence()->timer()->interval(), 100);
        QCOMPARE(run.sequence()->status(), QStringLiteral("正在传送数据,,,,,,,"));
        QCOMPARE(run.sending.count(), 1);
        QVERIFY(run.port.written.isEmpty());   // the first frame waits for the first tick

        for (int tick = 1; tick <= 64; ++tick) {
            run.ticks(1);
            QCOMPARE(run.port.written.size(), 16 * qMin(tick, 51));
            QCOMPARE(run.sequence()->progress(), 2 * (qMin(tick, 51) - 1));
            QCOMPARE(run.sequence()->status(), tick < 51 ? TransferSequence::sendingText : TransferSequence::finishedText);
            QCOMPARE(run.sequence()->counter(), 2 * tick);
            QVERIFY(run.controller.isSending());
        }
        run.ticks(1);
        QVERIFY(run.atRest());
        QCOMPARE(run.rowsSent(), range(0, 50));
        QCOMPARE(run.sending.count(), 2);
        QCOMPARE(run.port.written, QByteArray(16, '0') + TestDatabase::sentFrames(2, 51));

        // A table of three rows sends them, then ends with the usual tail.
        Run shortTable(TestDatabase::numberedRows(3));
        QVERIFY(shortTable.start());
        QCOMPARE(shortTable.controller.framesPlanned(), 3);
        shortTable.ticks(4);
        QCOMPARE(shortTable.sequence()->progress(), 100);
        QCOMPARE(shortTable.sequence()->status(), TransferSequence::finishedText);
        shortTable.ticks(13);
        QVERIFY(shortTable.controller.isSending());
        shortTable.ticks(1);
        QVERIFY(shortTable.atRest());
        QCOMPARE(shortTable.port.written, TestDatabase::sentFrames(1, 3));
    }

    void everyStartIsAWholeTransfer()
    {
        // Started again while sending (tick 20) and in the idle tail (tick 55).
        for (int restartAfter : { 20, 55 }) {
            Run run(TestDatabase::numberedRows(60));
            QVERIFY(run.start());
            run.ticks(restartAfter);
            QVERIFY(run.start());
            QCOMPARE(run.sequence()->counter(), 0);
            run.ticks(65);
            QVERIFY(run.atRest());
            QCOMPARE(run.port.written, TestDatabase::sentFrames(1, qMin(restartAfter, 51)) + TestDatabase::sentFrames(1, 51));
            QCOMPARE(run.rowsSent(), range(0, qMin(restartAfter, 51) - 1) + range(0, 50));
        }
    }

    // A load that cannot start, or that meets a failing device, says why
    // once and is back at rest, with only the frames before the fault sent.
    void refusedOrBrokenOff()
    {
        const QVector<QVariantList> rows = TestDatabase::numberedRows(60);
        QVector<QVariantList> row52 = rows;
        row52[51][1] = 999;   // never sent, so no reason to refuse
        const QString writeFailed = QStringLiteral("串口 1（/dev/fake1）写入失败，数据传送已停止：设备读写出错\n");
        const struct { QVector<QVariantList> rows; bool portOpen; int failAfter; bool starts; QString reason; int sent; } cases[] = {
            { rows, false, -1, false, QStringLiteral("串口 1（/dev/fake1）未打开，数据没有传送。\n请在“选择端口”中选择串口。"), 0 },
            { row52, true, -1, true, QString(), 11 },
            { rows, true, 9, true, writeFailed + QStringLiteral("已发送 9 帧（第 1–9 行），其余未发送"), 9 },
            { rows.mid(0, 3), true, 0, true, writeFailed + QStringLiteral("没有发送任何帧"), 0 },
        };
        for (const auto &c : cases) {
            Run run(c.rows);
            if (!c.portOpen)
                run.port.close();
            QCOMPARE(run.start(), c.starts);
            run.ticks(c.failAfter);
            run.port.refuseWrites = c.failAfter >= 0;
            run.ticks(11 - qMax(c.failAfter, 0));
            QCOMPARE(run.reports, c.reason.isEmpty() ? QList<QList<QVariant>>() : QList<QList<QVariant>>({ { c.reason } }));
            QCOMPARE(run.port.written, TestDatabase::sentFrames(1, c.sent));
            QVERIFY(c.reason.isEmpty() ? run.controller.isSending() : run.atRest());
            QCOMPARE(run.store.refusalReason().isEmpty(), !run.controller.isSending());
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
        QTest::newRow("drained") << 0 << int(LoadResult::Done) << 51 << 816 << "";
        QTest::newRow("stuck") << 216 << int(LoadResult::Failed) << 37 << 600
                               << "数据没有全部送出：已送出 600 字节，共 816 字节";
        QTest::newRow("broken off") << -1 << int(LoadResult::Interrupted) << 20 << 320 << "退出系统";
    }

    void verdictWaitsForTheLine()
    {
        QFETCH(int, left);
        QFETCH(int, result);
        QFETCH(int, sent);
        QFETCH(int, drained);
        QFETCH(QString, detail);
        Run run(TestDatabase::numberedRows(60));
        QSignalSpy verdicts(&run.controller, &TransferController::concluded);
        QVERIFY(run.controller.start(run.controller.prepare(), 2));
        for (int tick = 1; tick <= (left < 0 ? 20 : 51); ++tick) {
            run.port.queued = tick == 51 ? 216 : 0;   // the backlog right after the last write
            run.ticks(1);
        }
        if (left < 0)
            run.controller.interrupt(QStringLiteral("退出系统"));
        else
            QVERIFY(verdicts.isEmpty() && run.controller.isRunning());   // written is not sent
        run.port.queued = std::max(left, 0);
        QTRY_COMPARE_WITH_TIMEOUT(verdicts.count(), 1, 4000);
        QCOMPARE(verdicts.first().first().value<LoadResult>(), LoadResult(result));
        if (left < 0)   // broken off, the plan may be edited again at once
            QCOMPARE(run.store.refusalReason(), QString());
        run.controller.interrupt(QStringLiteral("退出系统"));
        QCOMPARE(verdicts.count(), 1);
        const TransferJournal::Entry entry = TransferJournal::entries().first();
        QCOMPARE(std::tuple(int(entry.result), entry.framesSent, entry.bytesDrained, entry.warnings, entry.detail),
                 std::tuple(result, sent, qint64(drained), 2, detail));
        QCOMPARE(std::pair(entry.device, entry.file), std::pair(QStringLiteral("/dev/fake1"), run.file.path()));
        QCOMPARE(entry.sha256, QStringLiteral("d3bd7d894765510a8fb2b52cf8dfdac2c3fe4426cd4f04ee6052c5f2ad7cdedd"));
    }

    // Another program holding the file locked for the whole load: the store
    // is followed as ever, yet no tick waits for the file.
    void lockedFileDoesNotSlowTheLine()
    {
        Run run(TestDatabase::numberedRows(60));
        FileFollower follower(&run.store);
        FileLock other(run.file.path(), QStringLiteral("BEGIN EXCLUSIVE"));
        QElapsedTimer clock;
        QVector<qint64> writes;
        connect(&run.controller, &TransferController::frameSent, this, [&] { writes << clock.elapsed(); });
        clock.start();
        QVERIFY(run.start());
        QTRY_VERIFY_WITH_TIMEOUT(!run.controller.isSending(), 20000);
        QCOMPARE(writes.size(), 51);
        // A tick waiting out the file's 500 ms busy timeout shows as a gap of
        // half a second or more; a busy machine may stretch one or two.
        int slow = 0;
        for (int i = 1; i < writes.size(); ++i)
            slow += writes.at(i) - writes.at(i - 1) > 400;
        QVERIFY2(slow < 3 && writes.last() < 8000, qPrintable(QStringLiteral("%1 slow gaps, last frame at %2 ms")
                                                                     .arg(slow).arg(writes.last())));
    }

    // One plan, worked out once: what it refuses, what it warns of, what it
    // sends and its checksum, for each plan of the table.
    void planOfEachTable()
    {
        for (const PlanCase &c : planCases()) {
            TestDatabase file(c.rows);
            ChannelStore store;
            QVERIFY(store.open(file.path()));
            const LoadPlan plan = LoadPlan::of(store, *BandProfiles::find(c.band));
            QCOMPARE(plan.refusal(), c.refusal);
            QCOMPARE(plan.warningLines(), c.warnings);
            QCOMPARE(plan.checksum(), c.checksum);
            QCOMPARE(plan.frames().size(), c.frames);
            QCOMPARE(LoadPlan::checksumOf(plan.bytes()), c.checksum.isEmpty() ? LoadPlan::checksumOf({}) : c.checksum);
        }
    }

    // What keeps the rows a load would send from going out, besides the rows
    // themselves: the first row that cannot is where the mending starts.
    void planRefusesWhatTheStoreCannotVouchFor()
    {
        QVector<QVariantList> rows = TestDatabase::numberedRows(60);
        rows[29][0] = QStringLiteral("R30");
        rows[29][2] = 99.5;
        TestDatabase bad(rows);
        ChannelStore store;
        QVERIFY(store.open(bad.path()));
        const LoadPlan refused = LoadPlan::of(store, BandProfiles::none());
        QCOMPARE(std::pair(refused.refusal(), refused.firstBadRow()),
                 std::pair(QStringLiteral("第 30 行（记录编号 R30）：接收频率 超出范围: 99.5\n数据没有传送。"), 29));

        TestDatabase good(TestDatabase::numberedRows(60));
        QVERIFY(store.open(good.path()));
        store.markRefused(2, 2, 431.0, store.data(store.index(2, 2)));
        QCOMPARE(LoadPlan::of(store, BandProfiles::none()).refusal(),
                 QStringLiteral("有 1 处修改还没有写入文件 char4.mdb：%1\n数据没有传送。").arg(store.saveError()));
        ChannelStore missing;
        QVERIFY(!missing.open(good.dir() + QStringLiteral("/missing.mdb")));
        const LoadPlan none = LoadPlan::of(missing, BandProfiles::none());
        QCOMPARE(std::pair(none.refusal(), none.firstBadRow()),
                 std::pair(QStringLiteral("信道文件 missing.mdb 未打开，无法传送数据。"), -1));
    }

    // Each holder keeps the rows locked until it lets go, in whatever order
    // the holders end.
    void locksAreCounted()
    {
        ChannelStore store;
        TestDatabase file(TestDatabase::numberedRows(3));
        QVERIFY(store.open(file.path()));
        for (bool fleetFirst : { false, true }) {
            ChannelStore::Lock load = store.lock(QStringLiteral("传送"));
            ChannelStore::Lock fleet = store.lock(QStringLiteral("连续传送"));
            QCOMPARE(store.refusalReason(), QStringLiteral("连续传送"));
            (fleetFirst ? fleet : load).release();
            QCOMPARE(store.refusalReason(), fleetFirst ? QStringLiteral("传送") : QStringLiteral("连续传送"));
            ChannelStore::Lock moved = std::move(fleetFirst ? load : fleet);
            QVERIFY(!store.refusalReason().isEmpty());
            moved.release();
            QCOMPARE(store.refusalReason(), QString());
        }
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
        QTest::newRow("transmit half up to even") << QVariant(1) << QVariant(145) << QVariant(145.00035) << "0120DC1200142016";
        // The receive value's count passes through its 15-digit text, the
        // transmit's does not: 1236008.5000000002 is a half, 1450008.5000000002 is not.
        QTest::newRow("receive half after its text") << QVariant(1) << QVariant(145.00085) << QVariant(145.00085) << "0128DC1200192016";
        QTest::newRow("receive half up after its text") << QVariant(1) << QVariant(145.00175) << QVariant(145.00175) << "0132DC1200212016";
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

    // A frequency's texts where no message, sheet or comparison of the
    // program reaches: below 1 MHz, below 0, band edges between 100 Hz steps.
    void frequencyTexts()
    {
        const struct { QString text; const char *expected; } texts[] = {
            { Frequency::fromUnits(4300000).text(), "430" },
            { Frequency::fromUnits(-4380125).text(), "-438.0125" },
            { Frequency::fromUnits(-125).text(), "-0.0125" },
            { Frequency::fromUnits(5).fixedText(), "0.0005" },
            { Frequency::fromUnits(-125).fixedText(), "-0.0125" },
            { Frequency::megahertz(446006250), "446.00625" },
            { Frequency::megahertz(5700000), "5.7" },
            { Frequency::megahertz(-1), "-0.000001" },
        };
        for (const auto &t : texts)
            QCOMPARE(t.text, QString::fromUtf8(t.expected));
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

    // A radio list as the operator keeps it: lines of a text file taken
    // whole, a CSV file's column; a heading, blanks and repeats left out.
    void radioLists()
    {
        QTemporaryDir dir;
        const struct { const char *name; QByteArray bytes; int column; QStringList labels; const char *said; } lists[] = {
            { "a.txt", "电台\n巡逻01\n\n 巡逻02 \r\n巡逻01\n巡逻,03\n", 0, { "巡逻01", "巡逻02", "巡逻,03" },
              "读入 3 台电台（UTF-8 编码），略去 1 个重复。" },
            { "b.csv", "车牌,编号\n京A1,A-1\n京A2,\"A\t2\"\n", 1, { "A-1" }, "读入 1 台电台（UTF-8 编码），略去 1 个带控制字符的电台。" },
            { "c.csv", QByteArrayLiteral("\xff\xfe" "A\0,\0B\0\n\0""1\0,\0""2\0"), 0, { "1" }, "读入 1 台电台（UTF-16LE 编码）。" },
            { "d.txt", QByteArray("ab\0", 3), 0, {}, "电台清单 d.txt 不能读取：第 1 行：不是文本文件" },
        };
        for (const auto &l : lists) {
            const RadioList list(writeFile(dir.filePath(QString::fromUtf8(l.name)), l.bytes));
            QCOMPARE(list.isValid() ? list.labels(list.likelyColumn()) : QStringList(), l.labels);
            QCOMPARE(list.isValid() ? list.account(l.column) : list.error(), QString::fromUtf8(l.said));
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
        // Judged as the frame carries it, to 100 Hz.
        QTest::newRow("rounded onto the raster") << QVariantList{ 5, 430.012501, 430.0125 } << 2 << QString() << "none";
        QTest::newRow("rounded off the raster") << QVariantList{ 5, 438.51256, 438.5 } << 2
                                                << "438.5126 不在 5 kHz" << "none";
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
        QTest::newRow("public, 1 Hz apart") << QVariantList{ 1, 409.750001, 409.75 } << 3 << QString() << "public";
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
        ChannelRow row;
        for (int i = 0; i < 3; ++i)
            row.values[i + 1] = fields.at(i);
        const RowVerdict verdict = checkRow(row, *BandProfiles::find(band));
        if (warning.isEmpty()) {
            QCOMPARE(verdict.findings.size(), 0);
            return;
        }
        QVERIFY2(verdict.warnings(field).startsWith(warning), qPrintable(verdict.warnings(field)));
    }

    // A band plan this program does not know is said, and checked as none.
    void unknownBandSetting()
    {
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, m_home.filePath(QStringLiteral("config")));
        QString notice;
        QSettings().setValue(QStringLiteral("plan/band"), QStringLiteral("amateur"));   // as earlier versions kept it
        QCOMPARE(BandProfiles::saved(&notice).id, QStringLiteral("amateur"));
        QVERIFY(!QSettings().contains(QStringLiteral("plan/band")));
        BandProfiles::save(QStringLiteral("pmr446"));
        QCOMPARE(BandProfiles::saved(&notice).name, QStringLiteral("PMR446"));
        BandProfiles::save(QStringLiteral("cb27"));
        QCOMPARE(BandProfiles::saved(&notice).id, QStringLiteral("none"));
        QCOMPARE(notice, QStringLiteral("频段设置 “cb27” 无法识别，按“无”检查。"));
    }

private:
    QTemporaryDir m_home;
};

QTEST_GUILESS_MAIN(TestTransfer)
#include "tst_transfer.moc"
