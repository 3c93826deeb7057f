#include "FakeSerialLink.h"
#include "TestDatabase.h"

#include "ChannelCursor.h"
#include "ChannelFrame.h"
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
    QByteArray frames(int first, int last)
    {
        QByteArray bytes;
        for (int row = first; row <= last; ++row) {
            const ChannelRow *r = model.rowAt(row - 1);
            bytes += ChannelFrame::encode(*r).text().toLatin1();
        }
        return bytes;
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
    ChannelModel model;
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
    void fullTransferFollowsTheTimeLine();
    void everyStartIsAWholeTransfer();
    void startIsRefusedWithAReason();
    void transferStopsAtTheFirstFault();
};

void TestTransfer::fullTransferFollowsTheTimeLine()
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
    QCOMPARE(rig.port.written.left(16), ChannelFrame::nullFrame.toLatin1());
    QCOMPARE(rig.port.written, rig.frames(1, 51));

    // A table of three rows sends them, then ends with the usual tail.
    Rig shortTable(TestDatabase::numberedRows(3));
    QVERIFY(shortTable.sequence.start());
    shortTable.ticks(4);
    QCOMPARE(shortTable.sequence.progress(), 100);
    QCOMPARE(shortTable.sequence.status(), TransferSequence::finishedText);
    shortTable.ticks(13);
    QVERIFY(shortTable.sequence.isRunning());
    shortTable.sequence.tick();
    QVERIFY(shortTable.atRest());
    QCOMPARE(shortTable.port.written, shortTable.frames(1, 3));
    QCOMPARE(shortTable.finished.count(), 1);
}

void TestTransfer::everyStartIsAWholeTransfer()
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
        QCOMPARE(rig.port.written, rig.frames(1, qMin(restartAfter, 51)) + rig.frames(1, 51));
    }
}

void TestTransfer::startIsRefusedWithAReason()
{
    QVector<QVariantList> badRow = TestDatabase::numberedRows(60);
    badRow[29][0] = QStringLiteral("R30");
    badRow[29][2] = 99.5;
    QVector<QVariantList> row52 = TestDatabase::numberedRows(60);
    row52[51][1] = 999;   // never sent, so no reason to refuse
    const struct { QVector<QVariantList> rows; bool portOpen; QString reason; } cases[] = {
        { {}, true, QStringLiteral("信道表中没有数据，无法传送。") },
        { badRow, true, QStringLiteral("第 30 行（记录编号 R30）：接收频率 超出范围: 99.5\n数据没有传送。") },
        { TestDatabase::numberedRows(60), false, QStringLiteral("串行端口 1（/dev/fake1）未打开，数据没有传送。\n请在“选择端口”中选择端口。") },
        { row52, true, QString() },
    };
    for (const auto &c : cases) {
        Rig rig(c.rows);
        if (!c.portOpen)
            rig.port.close();
        QCOMPARE(rig.sequence.start(), c.reason.isEmpty());
        if (c.reason.isEmpty())
            continue;
        rig.ticks(3);
        QCOMPARE(rig.stopped.count(), 1);
        QCOMPARE(rig.stopped.at(0).at(0).toString(), c.reason);
        QVERIFY(rig.port.written.isEmpty());
        QVERIFY(!rig.sequence.isRunning());
    }
}

void TestTransfer::transferStopsAtTheFirstFault()
{
    {
        // The device fails on the tenth write: nine frames went out, no more.
        Rig rig(TestDatabase::numberedRows(60));
        QVERIFY(rig.sequence.start());
        rig.ticks(9);
        rig.port.refuseWrites = true;
        rig.ticks(2);
        QCOMPARE(rig.stopped.count(), 1);
        QCOMPARE(rig.stopped.at(0).at(0).toString(),
                 QStringLiteral("串行端口 1（/dev/fake1）写入失败，数据传送已停止：I/O error\n"
                                "已发送 9 帧（第 1–9 行），其余未发送"));
        QCOMPARE(rig.port.written, rig.frames(1, 9));
        QVERIFY(rig.atRest());
        QCOMPARE(rig.finished.count(), 0);
    }
    {
        // A row edited into an unsendable value while the transfer runs.
        Rig rig(TestDatabase::numberedRows(60));
        QVERIFY(rig.sequence.start());
        rig.ticks(5);
        QVERIFY(rig.model.setData(rig.model.index(9, 3), QStringLiteral("2000")));
        rig.ticks(5);
        QCOMPARE(rig.stopped.count(), 1);
        QVERIFY(rig.stopped.at(0).at(0).toString().startsWith(
                QStringLiteral("第 10 行（记录编号 10）：发送频率 超出范围: 2000")));
        QVERIFY(rig.stopped.at(0).at(0).toString().endsWith(QStringLiteral("\n已发送 9 帧（第 1–9 行），其余未发送")));
        QCOMPARE(rig.port.written, rig.frames(1, 9));
        QVERIFY(rig.atRest());
    }
    {
        // A fault before the first frame: nothing went out, and the message says so.
        Rig rig(TestDatabase::numberedRows(3));
        QVERIFY(rig.sequence.start());
        QCOMPARE(rig.sequence.framesExpected(), 3);
        rig.port.refuseWrites = true;
        rig.ticks(1);
        QVERIFY(rig.stopped.at(0).at(0).toString().endsWith(QStringLiteral("\n没有发送任何帧")));
    }
}

QTEST_GUILESS_MAIN(TestTransfer)
#include "tst_transfer.moc"
