#include "TestDatabase.h"

#include "channels/ChannelCursor.h"
#include "channels/ChannelModel.h"

#include <QFile>
#include <QSignalSpy>
#include <QtTest>

class TestChannelTable : public QObject
{
    Q_OBJECT
private slots:
    void valuesKeepTheirKindAndNulls();
    void openingNeverCreatesAndNamesTheCause();
    void captionsAndColumnOrder();
    void cursorWalksTheTableAndStopsAtTheEnd();
    void largeTableIsFetchedLazily();
    void editsReachTheFileAndOnlyTheirRow();
    void refusedEditIsKeptAndReported();
};

void TestChannelTable::valuesKeepTheirKindAndNulls()
{
    const QVariant null;
    TestDatabase file({ { 1, 5, 438.5, QStringLiteral("438.5"), QStringLiteral("调度，\"一\"组") },
                        { null, null, null, null, null },
                        { QStringLiteral("A7"), 3000000000LL, 150.025, 0.1 + 0.2, 12 } });
    ChannelModel model;
    QVERIFY2(model.open(file.path()), qPrintable(model.errorString()));
    QCOMPARE(model.rowCount(), 3);
    const ChannelRow *first = model.rowAt(0);
    QCOMPARE(first->values[1].toInt(), 5);
    QCOMPARE(first->values[2].typeId(), QMetaType::Double);
    QCOMPARE(first->values[3].typeId(), QMetaType::QString);
    QCOMPARE(first->values[4].toString(), QStringLiteral("调度，\"一\"组"));
    for (const QVariant &v : model.rowAt(1)->values)
        QVERIFY(!v.isValid());
    // The grid shows the text form that the encoder reads.
    QCOMPARE(model.index(2, 0).data().toString(), QStringLiteral("A7"));
    QCOMPARE(model.index(2, 1).data().toString(), QStringLiteral("3000000000"));
    QCOMPARE(model.index(2, 2).data().toString(), QStringLiteral("150.025"));
    QCOMPARE(model.index(2, 3).data().toString(), QStringLiteral("0.3"));
    QCOMPARE(model.index(1, 2).data().toString(), QString());
    QVERIFY(!model.rowAt(3));
}

void TestChannelTable::openingNeverCreatesAndNamesTheCause()
{
    QTemporaryDir dir;
    ChannelModel model;

    const QString missing = dir.filePath(QStringLiteral("char4.mdb"));
    QVERIFY(!model.open(missing));
    QCOMPARE(model.errorString(), QStringLiteral("文件不存在"));
    QVERIFY(!QFile::exists(missing));

    QVERIFY(!model.open(dir.path()));
    QCOMPARE(model.errorString(), QStringLiteral("不是文件"));

    const QString garbage = dir.filePath(QStringLiteral("garbage.mdb"));
    QFile g(garbage);
    QVERIFY(g.open(QIODevice::WriteOnly));
    g.write(QByteArray(4096, 'x'));
    g.close();
    QVERIFY(!model.open(garbage));
    QVERIFY2(model.errorString().startsWith(QStringLiteral("不是信道数据库")), qPrintable(model.errorString()));
    QCOMPARE(QFile(garbage).size(), 4096);

    const QString empty = dir.filePath(QStringLiteral("empty.mdb"));
    QFile(empty).open(QIODevice::WriteOnly);
    QVERIFY(!model.open(empty));
    QCOMPARE(model.errorString(), QStringLiteral("文件是空的"));
    QCOMPARE(QFile(empty).size(), 0);

    TestDatabase other({}, QStringLiteral("CREATE TABLE 其它 (a)"));
    QVERIFY(!model.open(other.path()));
    QCOMPARE(model.errorString(), QStringLiteral("缺少信道表"));

    TestDatabase narrow({}, QStringLiteral("CREATE TABLE 信道表 (a, b, c)"));
    QVERIFY(!model.open(narrow.path()));
    QCOMPARE(model.errorString(), QStringLiteral("信道表的字段少于五个"));
    QCOMPARE(model.rowCount(), 0);
    QVERIFY(!model.canFetchMore());
}

void TestChannelTable::captionsAndColumnOrder()
{
    // Field names differ from the captions: columns are bound by position.
    TestDatabase file({ { 1, 2, 3, 4, 5 } },
                      QStringLiteral("CREATE TABLE 信道表 (a, b, c, d, e)"));
    ChannelModel model;
    QVERIFY(model.open(file.path()));
    QCOMPARE(model.columnCount(), 5);
    QStringList captions;
    for (int i = 0; i < model.columnCount(); ++i)
        captions << model.headerData(i, Qt::Horizontal, Qt::DisplayRole).toString();
    QCOMPARE(captions, QStringList({ QStringLiteral("记录编号"), QStringLiteral("信道号"),
                                     QStringLiteral("接收频率  (MHz)"), QStringLiteral("发送频率  (MHz)"),
                                     QStringLiteral("备注") }));
    for (int i = 0; i < 5; ++i)
        QCOMPARE(model.index(0, i).data().toInt(), i + 1);
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
    QCOMPARE(file.stored(1, QStringLiteral("接收频率")), QVariant(145.0));
    QCOMPARE(file.stored(2, QStringLiteral("接收频率")), QVariant(146.5));
    QCOMPARE(file.stored(2, QStringLiteral("备注")), QVariant(QStringLiteral("  备用  ")));
    QVERIFY(!file.stored(2, QStringLiteral("信道号")).isValid());
    QCOMPARE(file.stored(1, QStringLiteral("信道号")), QVariant(9));
    QCOMPARE(file.stored(1, QStringLiteral("发送频率")), QVariant(QStringLiteral("abc")));
    QCOMPARE(file.stored(2, QStringLiteral("发送频率")), QVariant(145.0));
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
    QCOMPARE(file.stored(1, QStringLiteral("接收频率")), QVariant(439.5));
    QCOMPARE(file.stored(2, QStringLiteral("备注")), QVariant(QStringLiteral("新")));
    QVERIFY(!model.index(0, 2).data(Qt::BackgroundRole).isValid());

    // Discarding puts back what the file holds.
    {
        QSqlDatabase other = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), locker);
        other.setDatabaseName(file.path());
        QVERIFY(other.open());
        QSqlQuery q(other);
        QVERIFY(q.exec(QStringLiteral("BEGIN IMMEDIATE")));
        QVERIFY(model.setData(model.index(1, 2), QStringLiteral("999")));
        QCOMPARE(model.unsavedCount(), 1);
        QVERIFY(q.exec(QStringLiteral("ROLLBACK")));
    }
    QSqlDatabase::removeDatabase(locker);
    model.discardUnsaved();
    QCOMPARE(model.unsavedCount(), 0);
    QCOMPARE(model.index(1, 2).data().toString(), QString::number(430.0 + 2 * 0.0125, 'g', 15));
}

QTEST_MAIN(TestChannelTable)
#include "tst_channeltable.moc"
