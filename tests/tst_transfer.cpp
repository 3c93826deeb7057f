#include "FakeSerialLink.h"
#include "TestDatabase.h"

#include "channels/ChannelCursor.h"
#include "transfer/ChannelFrame.h"
#include "transfer/TransferSequence.h"

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
    QByteArray framesOfRows(int first, int last)
    {
        QByteArray bytes;
        for (int row = first; row <= last; ++row) {
            const ChannelRow *r = model.rowAt(row - 1);
            bytes += ChannelFrame::encode(r->values[1], r->values[2], r->values[3]).text().toLatin1();
        }
        return bytes;
    }
    void ticks(int n)
    {
        for (int i = 0; i < n; ++i)
            sequence.tick();
    }

    TestDatabase file;
    ChannelModel model;
    ChannelCursor cursor{ &model };
    FakeSerialLink port;
    TransferSequence sequence{ &cursor, &port };
};

class TestTransfer : public QObject
{
    Q_OBJECT
private slots:
    void fullTransferFollowsTheTimeLine();
    void restartSendsEveryRowAgain();
    void shortTableSendsWhatThereIsAndEndsNormally();
    void startIsRefusedWithAReason();
    void transferStopsAtTheFirstFault();
};

void TestTransfer::fullTransferFollowsTheTimeLine()
{
    QVector<QVariantList> rows = TestDatabase::numberedRows(60);
    rows[0][1] = QVariant();   // first row without a channel number
    Rig rig(rows);
    QSignalSpy progress(&rig.sequence, &TransferSequence::progressChanged);
    QSignalSpy finished(&rig.sequence, &TransferSequence::finished);
    rig.cursor.moveNext();

    QVERIFY(rig.sequence.start());
    QVERIFY(rig.sequence.isRunning());
    QCOMPARE(rig.sequence.timer()->interval(), 100);
    QCOMPARE(rig.sequence.status(), QStringLiteral("正在传送数据,,,,,,,"));
    QCOMPARE(rig.cursor.currentRow(), 0);
    QVERIFY(rig.port.written.isEmpty());   // the first frame waits for the first tick

    for (int tick = 1; tick <= 65; ++tick) {
        rig.sequence.tick();
        if (tick <= 51) {
            QCOMPARE(rig.port.written.size(), 16 * tick);
            QCOMPARE(rig.sequence.progress(), 2 * (tick - 1));
            QCOMPARE(rig.cursor.currentRow(), tick);
        }
        if (tick < 51)
            QCOMPARE(rig.sequence.status(), TransferSequence::sendingText);
        if (tick >= 51 && tick < 65) {
            QCOMPARE(rig.sequence.status(), TransferSequence::finishedText);
            QCOMPARE(rig.sequence.progress(), 100);
            QVERIFY(rig.sequence.isRunning());
            QCOMPARE(rig.sequence.counter(), 2 * tick);
        }
    }
    QCOMPARE(rig.port.written.left(16), ChannelFrame::nullFrame.toLatin1());
    QCOMPARE(rig.port.written, rig.framesOfRows(1, 51));
    QCOMPARE(rig.port.written.size(), 816);
    QCOMPARE(finished.count(), 1);
    QVERIFY(!rig.sequence.isRunning());
    QCOMPARE(rig.sequence.status(), QString());
    QCOMPARE(rig.sequence.progress(), 0);
    QCOMPARE(rig.sequence.counter(), 0);
    QCOMPARE(rig.cursor.currentRow(), 0);
    int highest = 0;
    for (const auto &args : progress)
        highest = qMax(highest, args.at(0).toInt());
    QCOMPARE(highest, 100);

    // At rest again, the next start sends the same 51 frames.
    rig.port.written.clear();
    QVERIFY(rig.sequence.start());
    rig.ticks(65);
    QCOMPARE(rig.port.written, rig.framesOfRows(1, 51));
    QCOMPARE(finished.count(), 2);
}

void TestTransfer::restartSendsEveryRowAgain()
{
    Rig rig(TestDatabase::numberedRows(60));
    QVERIFY(rig.sequence.start());
    rig.ticks(20);
    QVERIFY(rig.sequence.start());
    QCOMPARE(rig.sequence.counter(), 0);
    QCOMPARE(rig.cursor.currentRow(), 0);
    rig.ticks(65);
    QCOMPARE(rig.port.written, rig.framesOfRows(1, 20) + rig.framesOfRows(1, 51));
    QVERIFY(!rig.sequence.isRunning());

    // Restarting in the idle tail is a whole new transfer too.
    rig.port.written.clear();
    QVERIFY(rig.sequence.start());
    rig.ticks(55);
    QVERIFY(rig.sequence.start());
    rig.ticks(65);
    QCOMPARE(rig.port.written, rig.framesOfRows(1, 51) + rig.framesOfRows(1, 51));
}

void TestTransfer::shortTableSendsWhatThereIsAndEndsNormally()
{
    Rig rig(TestDatabase::numberedRows(3));
    QSignalSpy finished(&rig.sequence, &TransferSequence::finished);
    QSignalSpy stopped(&rig.sequence, &TransferSequence::stopped);
    QVERIFY(rig.sequence.start());
    rig.ticks(3);
    QCOMPARE(rig.sequence.progress(), 4);
    rig.sequence.tick();
    QCOMPARE(rig.sequence.progress(), 100);
    QCOMPARE(rig.sequence.status(), TransferSequence::finishedText);
    rig.ticks(13);
    QVERIFY(rig.sequence.isRunning());   // the usual idle tail
    rig.sequence.tick();
    QVERIFY(!rig.sequence.isRunning());
    QCOMPARE(rig.port.written, rig.framesOfRows(1, 3));
    QCOMPARE(finished.count(), 1);
    QCOMPARE(stopped.count(), 0);
}

void TestTransfer::startIsRefusedWithAReason()
{
    auto refusal = [](Rig &rig) {
        QSignalSpy stopped(&rig.sequence, &TransferSequence::stopped);
        const bool started = rig.sequence.start();
        const bool running = rig.sequence.isRunning();
        rig.ticks(3);
        return (started || running || !rig.port.written.isEmpty() || stopped.count() != 1)
                ? QStringLiteral("<started>") : stopped.at(0).at(0).toString();
    };
    {
        Rig rig({});
        QCOMPARE(refusal(rig), QStringLiteral("信道表中没有数据，无法传送。"));
    }
    {
        QVector<QVariantList> rows = TestDatabase::numberedRows(60);
        rows[29][2] = 99.5;
        rows[29][0] = QStringLiteral("R30");
        Rig rig(rows);
        QCOMPARE(refusal(rig), QStringLiteral("第 30 行（记录编号 R30）：接收频率 超出范围: 99.5\n数据没有传送。"));
    }
    {
        QVector<QVariantList> rows = TestDatabase::numberedRows(60);
        rows[51][1] = 999;   // row 52 is never sent, so it does not matter
        Rig rig(rows);
        QVERIFY(rig.sequence.start());
    }
    {
        Rig rig(TestDatabase::numberedRows(60));
        rig.port.close();
        QVERIFY(refusal(rig).startsWith(QStringLiteral("串行端口 1（/dev/fake1）未打开")));
    }
    {
        Rig rig(TestDatabase::numberedRows(60));
        rig.model.open(rig.file.dir() + QStringLiteral("/missing.mdb"));
        QVERIFY(refusal(rig).contains(QStringLiteral("未打开")));
    }
}

void TestTransfer::transferStopsAtTheFirstFault()
{
    {
        // The device fails on the tenth write: nine frames went out, no more,
        // and the window is back to rest.
        Rig rig(TestDatabase::numberedRows(60));
        QSignalSpy stopped(&rig.sequence, &TransferSequence::stopped);
        QSignalSpy finished(&rig.sequence, &TransferSequence::finished);
        QVERIFY(rig.sequence.start());
        rig.ticks(9);
        rig.port.refuseWrites = true;
        rig.sequence.tick();
        QCOMPARE(stopped.count(), 1);
        QCOMPARE(stopped.at(0).at(0).toString(),
                 QStringLiteral("串行端口 1（/dev/fake1）写入失败，数据传送已停止：I/O error"));
        QCOMPARE(rig.port.written, rig.framesOfRows(1, 9));
        QVERIFY(!rig.sequence.isRunning());
        QCOMPARE(rig.sequence.status(), QString());
        QCOMPARE(rig.sequence.progress(), 0);
        QCOMPARE(rig.sequence.counter(), 0);
        QCOMPARE(rig.cursor.currentRow(), 0);
        QCOMPARE(finished.count(), 0);
    }
    {
        // A row edited into an unsendable value while the transfer runs.
        Rig rig(TestDatabase::numberedRows(60));
        QSignalSpy stopped(&rig.sequence, &TransferSequence::stopped);
        QVERIFY(rig.sequence.start());
        rig.ticks(5);
        QVERIFY(rig.model.setData(rig.model.index(9, 3), QStringLiteral("2000")));
        rig.ticks(5);
        QCOMPARE(stopped.count(), 1);
        QVERIFY(stopped.at(0).at(0).toString().startsWith(QStringLiteral("第 10 行（记录编号 10）：发送频率 超出范围: 2000")));
        QCOMPARE(rig.port.written, rig.framesOfRows(1, 9));
        QVERIFY(!rig.sequence.isRunning());
    }
    {
        // The port closed under a running transfer (a failed port switch).
        Rig rig(TestDatabase::numberedRows(60));
        QSignalSpy stopped(&rig.sequence, &TransferSequence::stopped);
        QVERIFY(rig.sequence.start());
        rig.ticks(2);
        rig.port.close();
        rig.sequence.tick();
        QCOMPARE(stopped.count(), 1);
        QCOMPARE(rig.port.written.size(), 32);
    }
}

QTEST_GUILESS_MAIN(TestTransfer)
#include "tst_transfer.moc"
