#include "TestDatabase.h"

#include "ChannelCursor.h"
#include "ChannelModel.h"

#include <QSignalSpy>
#include <QtTest>

class TestChannelTable : public QObject
{
    Q_OBJECT
private slots:
    void valuesKeepTheirKindAndNulls();
    void cursorWalksTheTableAndStopsAtTheEnd();
    void largeTableIsFetchedLazily();
    void editsReachTheFileAndOnlyTheirRow();
    void refusedEditIsKeptAndReported();
};

void TestChannelTable::valuesKeepTheirKindAndNulls()
{
    // Columns bound by position whatever the table calls them, with the grid's captions.
    const QVariant null;
    TestDatabase file({ { QStringLiteral("A7"), 3000000000LL, 150.025, 0.1 + 0.2, QStringLiteral("438.5") },
                        { null, null, null, null, null } },
                      QStringLiteral("CREATE TABLE 信道表 (a, b, c, d, e)"));
    ChannelModel model;
    QVERIFY2(model.open(file.path()), qPrintable(model.errorString()));
    QStringList captions, texts;
    for (int i = 0; i < model.columnCount(); ++i) {
        captions << model.headerData(i, Qt::Horizontal, Qt::DisplayRole).toString();
        texts << model.index(0, i).data().toString();   // the text form the encoder reads
    }
    QCOMPARE(captions, QStringList({ "记录编号", "信道号", "接收频率  (MHz)", "发送频率  (MHz)", "备注" }));
    QCOMPARE(texts, QStringList({ "A7", "3000000000", "150.025", "0.3", "438.5" }));
    QCOMPARE(model.rowAt(0)->values[2].typeId(), QMetaType::Double);
    QCOMPARE(model.rowAt(0)->values[4].typeId(), QMetaType::QString);
    for (const QVariant &v : model.rowAt(1)->values)
        QVERIFY(!v.isValid());
    QVERIFY(!model.rowAt(2));
}

void TestChannelTable::cursorWalksTheTableAndStopsAtTheEnd()
{
    TestDatabase file(TestDatabase::numberedRows(3));
    ChannelModel model;
    QVERIFY(model.open(file.path()));
    ChannelCursor cursor(&model);
    QVERIFY(cursor.atEnd());
    QVERIFY(!cursor.field(1));
    QVERIFY(cursor.moveFirst());
    QCOMPARE(cursor.currentRow(), 0);
    QVERIFY(cursor.isRowSelected(0, {}));
    QCOMPARE(cursor.field(4)->toString(), QStringLiteral("第 1 行"));
    cursor.moveNext();
    cursor.moveNext();
    QCOMPARE(cursor.field(0)->toInt(), 3);
    cursor.moveNext();
    QVERIFY(cursor.atEnd());
    QVERIFY(!cursor.field(1));
    cursor.moveNext();
    QVERIFY(cursor.atEnd());
    // The grid moving the current row moves the cursor.
    cursor.setCurrentIndex(model.index(1, 2), QItemSelectionModel::ClearAndSelect);
    QCOMPARE(cursor.field(0)->toInt(), 2);
    QVERIFY(cursor.moveFirst());
    QCOMPARE(cursor.currentIndex().column(), 2);

    TestDatabase emptyTable;
    QVERIFY(model.open(emptyTable.path()));
    QVERIFY(!cursor.moveFirst());
    QVERIFY(cursor.atEnd());
}

void TestChannelTable::largeTableIsFetchedLazily()
{
    TestDatabase file(TestDatabase::numberedRows(1000));
    ChannelModel model;
    QVERIFY(model.open(file.path()));
    QVERIFY(model.rowCount() < 1000);
    QVERIFY(model.canFetchMore());
    ChannelCursor cursor(&model);
    QVERIFY(cursor.moveFirst());
    for (int i = 1; i < 700; ++i)
        cursor.moveNext();
    QCOMPARE(cursor.field(0)->toInt(), 700);
    QCOMPARE(model.rowAt(999)->values[0].toInt(), 1000);
    QVERIFY(!model.rowAt(1000));
    QCOMPARE(model.rowCount(), 1000);
}

void TestChannelTable::editsReachTheFileAndOnlyTheirRow()
{
    const QVariantList twin{ 9, 9, 145.0, 145.0, QStringLiteral("同") };
    TestDatabase file({ twin, twin });
    {
        ChannelModel model;
        QVERIFY(model.open(file.path()));
        QVERIFY(model.setData(model.index(1, 2), QStringLiteral("146.5")));
        QVERIFY(model.setData(model.index(1, 4), QStringLiteral("  备用  ")));
        QVERIFY(model.setData(model.index(1, 1), QStringLiteral("")));
        QVERIFY(model.setData(model.index(0, 3), QStringLiteral("abc")));
        QCOMPARE(model.unsavedCount(), 0);
        QCOMPARE(model.index(1, 2).data().toString(), QStringLiteral("146.5"));
    }
    const QVector<QVariantList> expected = { { 9, 9, 145.0, QStringLiteral("abc"), QStringLiteral("同") },
                                             { 9, QVariant(), 146.5, 145.0, QStringLiteral("  备用  ") } };
    QCOMPARE(file.stored(), expected);
}

void TestChannelTable::refusedEditIsKeptAndReported()
{
    TestDatabase file(TestDatabase::numberedRows(2));
    ChannelModel model;
    QVERIFY(model.open(file.path()));
    QSignalSpy failures(&model, &ChannelModel::saveFailed);

    // Another program holds a write transaction on the file.
    const QString locker = QStringLiteral("locker");
    {
        QSqlDatabase other = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), locker);
        other.setDatabaseName(file.path());
        QVERIFY(other.open());
        QSqlQuery q(other);
        QVERIFY(q.exec(QStringLiteral("BEGIN IMMEDIATE")));
        QVERIFY(q.exec(QStringLiteral("UPDATE 信道表 SET 备注 = 'x' WHERE rowid = 2")));

        QVERIFY(model.setData(model.index(0, 2), QStringLiteral("439.5")));
        QCOMPARE(failures.count(), 1);
        const QString message = failures.at(0).at(0).toString();
        QVERIFY2(message.contains(QStringLiteral("第 1 行")) && message.contains(QStringLiteral("接收频率")),
                 qPrintable(message));
        QCOMPARE(model.unsavedCount(), 1);
        QCOMPARE(model.index(0, 2).data().toString(), QStringLiteral("439.5"));
        QVERIFY(model.index(0, 2).data(Qt::BackgroundRole).isValid());
        // The transfer reads what the operator sees.
        QCOMPARE(model.rowAt(0)->values[2].toDouble(), 439.5);
        QVERIFY(!model.saveUnsaved());
        QVERIFY(q.exec(QStringLiteral("ROLLBACK")));
    }
    QSqlDatabase::removeDatabase(locker);

    // The lock is gone: the next edit also writes the one that was refused.
    QVERIFY(model.setData(model.index(1, 4), QStringLiteral("新")));
    QCOMPARE(model.unsavedCount(), 0);
    QCOMPARE(file.stored()[0][2], QVariant(439.5));
    QCOMPARE(file.stored()[1][4], QVariant(QStringLiteral("新")));
    QVERIFY(!model.index(0, 2).data(Qt::BackgroundRole).isValid());
}

QTEST_MAIN(TestChannelTable)
#include "tst_channeltable.moc"
