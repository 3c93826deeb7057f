#include "FakeSerialLink.h"
#include "TestDatabase.h"

#include "ChannelCursor.h"
#include "ChannelFrame.h"
#include "FieldValue.h"
#include "TransferSequence.h"

#include <QSignalSpy>
#include <QSqlError>
#include <QtTest>
#include <cstdio>

// Another program writing the file: its own connection, statements ';'-separated.
static void otherProgram(const QString &path, const QString &statements)
{
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("other"));
        db.setDatabaseName(path);
        QVERIFY(db.open());
        QSqlQuery q(db);
        for (const QString &sql : statements.split(u';'))
            QVERIFY2(q.exec(sql), qPrintable(q.lastError().text()));
    }
    QSqlDatabase::removeDatabase(QStringLiteral("other"));
}

static QString remark(ChannelModel &model, int row)
{
    return model.index(row, ChannelFields::Remark).data().toString();
}

class TestFileSync : public QObject
{
    Q_OBJECT
private slots:
    void gridFollowsTheFile_data();
    void gridFollowsTheFile();
    void conflictWritesNothingUntilChosen_data();
    void conflictWritesNothingUntilChosen();
    void transferSendsWhatTheFileHolds_data();
    void transferSendsWhatTheFileHolds();
};

void TestFileSync::gridFollowsTheFile_data()
{
    QTest::addColumn<QString>("change");    // SQL, or "replace" for a file moved in over it
    QTest::addColumn<int>("rows");
    QTest::addColumn<int>("currentAt");     // where the current row (key 4, or a neighbour) is afterwards
    QTest::addColumn<QString>("remark4");   // and what it shows
    QTest::newRow("cell") << "UPDATE 信道表 SET 备注 = '外' WHERE rowid = 4" << 5 << 3 << "外";
    QTest::newRow("rows removed above") << "DELETE FROM 信道表 WHERE rowid < 3" << 3 << 1 << "第 4 行";
    QTest::newRow("rows added") << "INSERT INTO 信道表 (rowid, 备注) VALUES (0, 'a');"
                                   "INSERT INTO 信道表 (备注) VALUES ('b')" << 7 << 4 << "第 4 行";
    QTest::newRow("file replaced") << "replace" << 2 << 1 << "第 2 行";
}

void TestFileSync::gridFollowsTheFile()
{
    QFETCH(QString, change);
    QFETCH(int, rows);
    QFETCH(int, currentAt);
    QFETCH(QString, remark4);
    TestDatabase file(TestDatabase::numberedRows(5));
    ChannelModel model;
    QVERIFY(model.open(file.path()));
    ChannelCursor cursor(&model);
    cursor.setCurrentIndex(model.index(3, 0), QItemSelectionModel::ClearAndSelect);
    QSignalSpy resets(&model, &QAbstractItemModel::modelReset);
    if (change == u"replace") {
        TestDatabase other(TestDatabase::numberedRows(2));
        QCOMPARE(std::rename(qPrintable(other.path()), qPrintable(file.path())), 0);
    } else {
        otherProgram(file.path(), change);
    }
    // Nobody asks: the watch and the poll notice on their own.
    QTRY_VERIFY(model.rowCount() == rows && remark(model, cursor.currentRow()) == remark4);
    QCOMPARE(cursor.currentRow(), currentAt);
    QCOMPARE(resets.count(), 0);
    QCOMPARE(model.refresh(), false);   // nothing new since
}

void TestFileSync::conflictWritesNothingUntilChosen_data()
{
    QTest::addColumn<QString>("action");
    QTest::addColumn<bool>("mine");
    QTest::addColumn<QString>("fileAfter");   // row 2's remark in the file, "-" when the row is gone
    for (const bool mine : { false, true }) {
        const char *choice = mine ? " mine" : " file's";
        QTest::newRow(qPrintable(QStringLiteral("edit") + choice)) << "edit" << mine << (mine ? "我的" : "他人");
        QTest::newRow(qPrintable(QStringLiteral("edit under editor") + choice))
                << "editor" << mine << (mine ? "我的" : "他人");
        QTest::newRow(qPrintable(QStringLiteral("delete") + choice)) << "delete" << mine << (mine ? "-" : "他人");
    }
}

void TestFileSync::conflictWritesNothingUntilChosen()
{
    QFETCH(QString, action);
    QFETCH(bool, mine);
    TestDatabase file(TestDatabase::numberedRows(5));
    ChannelModel model;
    QVERIFY(model.open(file.path()));
    QSignalSpy conflicts(&model, &ChannelModel::conflicted);
    QSignalSpy failures(&model, &ChannelModel::saveFailed);
    otherProgram(file.path(), QStringLiteral("UPDATE 信道表 SET 备注 = '他人' WHERE rowid = 2"));
    const QModelIndex cell = model.index(1, ChannelFields::Remark);
    if (action == u"editor") {
        // The grid caught up while the editor was open on the old text.
        QVERIFY(model.refresh());
        model.setData(cell, QStringLiteral("第 2 行"), ChannelModel::ShownRole);
    }
    const QByteArray before = fileDigest(file.path());
    if (action == u"delete")
        QVERIFY(!model.deleteRows({ 1 }));
    else
        QVERIFY(!model.setData(cell, QStringLiteral("我的")));
    QCOMPARE(fileDigest(file.path()), before);
    QCOMPARE(conflicts.count(), 1);
    const QString message = conflicts.first().first().toString();
    QVERIFY2(message.contains(action == u"delete" ? QStringLiteral("文件中的值为“他人”，您的值为“第 2 行”")
                                                  : QStringLiteral("文件中的值为“他人”，您的值为“我的”")),
             qPrintable(message));

    if (mine)
        QVERIFY(model.useMine());
    else
        model.keepFileValues();
    QFETCH(QString, fileAfter);
    const QVector<QVariantList> stored = file.stored();
    QCOMPARE(stored.size(), fileAfter == u"-" ? 4 : 5);
    if (fileAfter != u"-")
        QCOMPARE(stored.at(1).at(ChannelFields::Remark).toString(), fileAfter);
    QCOMPARE(model.rowCount(), stored.size());
    QCOMPARE(remark(model, 1), stored.at(1).at(ChannelFields::Remark).toString());
    QCOMPARE(failures.count(), 0);
    QVERIFY(!model.hasConflict());
}

void TestFileSync::transferSendsWhatTheFileHolds_data()
{
    QTest::addColumn<int>("ticksBefore");   // frames already out when the rows go
    QTest::addColumn<int>("kept");
    QTest::newRow("cut before the start") << 0 << 4;
    QTest::newRow("cut during the transfer") << 3 << 3;
}

void TestFileSync::transferSendsWhatTheFileHolds()
{
    QFETCH(int, ticksBefore);
    QFETCH(int, kept);
    TestDatabase file(TestDatabase::numberedRows(51));
    ChannelModel model;
    QVERIFY(model.open(file.path()));
    ChannelCursor cursor(&model);
    FakeSerialLink port;
    port.open();
    TransferSequence sequence(&cursor, &port);
    QSignalSpy finished(&sequence, &TransferSequence::finished);
    if (ticksBefore == 0)
        otherProgram(file.path(), QStringLiteral("DELETE FROM 信道表 WHERE rowid > %1").arg(kept));
    QVERIFY(sequence.start());
    for (int tick = 0; tick < TransferSequence::endAt / TransferSequence::step; ++tick) {
        if (tick == ticksBefore && ticksBefore > 0)
            otherProgram(file.path(), QStringLiteral("DELETE FROM 信道表 WHERE rowid > %1").arg(kept));
        sequence.tick();
    }
    QCOMPARE(finished.count(), 1);
    QByteArray expected;
    for (const QVariantList &values : file.stored()) {
        ChannelRow row;
        std::copy(values.begin(), values.begin() + ChannelRow::fieldCount, row.values.begin());
        expected += ChannelFrame::encode(row).text().toLatin1();
    }
    QCOMPARE(file.stored().size(), kept);
    QCOMPARE(port.written, expected);
}

QTEST_GUILESS_MAIN(TestFileSync)
#include "tst_filesync.moc"
