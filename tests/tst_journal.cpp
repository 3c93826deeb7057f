#include "Fixtures.h"

#include "ChannelCursor.h"
#include "ChannelStore.h"
#include "TransferJournal.h"
#include "TransferSequence.h"

#include <QtTest>

class TestJournal : public QObject
{
    Q_OBJECT
private slots:
    void journalOfTransfers()
    {
        const OwnHome home;
        TestDatabase file(TestDatabase::numberedRows(60));
        ChannelStore model;
        QVERIFY(model.open(file.path()));
        ChannelCursor cursor(&model);
        FakeSerialLink port;
        TransferSequence sequence(&cursor, &port);
        TransferJournal journal(&sequence, [&file] { return file.path(); });
        QVERIFY(port.open());
        QVERIFY(sequence.start());
        for (int i = 0; i < 70 && sequence.isRunning(); ++i)
            sequence.tick();
        QVERIFY(!sequence.isRunning());

        // The other front end, on a device that is not there.
        QCOMPARE(run({ "--send", "/dev/qt7020-none", "--db", file.path() }), 1);

        QString printed;
        QCOMPARE(run({ "--journal" }, {}, &printed), 0);
        const QStringList lines = printed.split(u'\n', Qt::SkipEmptyParts);
        QCOMPARE(lines, TransferJournal::lines());
        QCOMPARE(lines.size(), 2);
        const QString checksum = QString::fromLatin1(QCryptographicHash::hash(port.written, QCryptographicHash::Sha256)
                                                             .toHex().left(8));
        QCOMPARE(lines.at(1).section(u'\t', 1), QStringList({ file.path(), checksum, "51", "完成" }).join(u'\t'));
        QVERIFY(QDateTime::fromString(lines.at(1).section(u'\t', 0, 0), Qt::ISODate).isValid());
        QCOMPARE(lines.at(0).section(u'\t', 2, 3), QStringLiteral("-\t0"));
        QCOMPARE(lines.at(0).section(u'\t', 4),
                 QStringLiteral("失败：不能打开串行端口 /dev/qt7020-none：设备不存在（文件或文件夹不存在）"));
    }
};

QTEST_GUILESS_MAIN(TestJournal)
#include "tst_journal.moc"
