#include "FakeSerialLink.h"
#include "MessageBoxes.h"
#include "TestDatabase.h"

#include "ChannelCursor.h"
#include "ChannelFrame.h"
#include "ChannelGrid.h"
#include "MainWindow.h"
#include "TransferSequence.h"

#include <QLineEdit>
#include <QSignalSpy>
#include <QtTest>
#include <cstdio>

// Another program writing the file over its own connection.
static void otherProgram(const QString &path, const QString &statements)
{
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("other"));
        db.setDatabaseName(path);
        QVERIFY(db.open());
        QSqlQuery q(db);
        for (const QString &sql : statements.split(u';'))
            QVERIFY(q.exec(sql));
    }
    QSqlDatabase::removeDatabase(QStringLiteral("other"));
}

static const QString otherRemark = QStringLiteral("UPDATE 信道表 SET 备注 = '他人' WHERE rowid = 2");

class TestFileSync : public QObject
{
    Q_OBJECT
private slots:
    void gridFollowsTheFile_data();
    void gridFollowsTheFile();
    void conflictWritesNothingUntilChosen();
    void editorKeepsTypingAndTheWindowAsks();
    void transferSendsWhatTheFileHolds();
};

void TestFileSync::gridFollowsTheFile_data()
{
    QTest::addColumn<QString>("change");
    QTest::addColumn<int>("rows");
    QTest::addColumn<int>("currentAt");     // the current row (key 4, or its neighbour) afterwards
    QTest::addColumn<QString>("remark");    // and what it shows
    QTest::newRow("cell") << "UPDATE 信道表 SET 备注 = '外' WHERE rowid = 4" << 5 << 3 << "外";
    QTest::newRow("removed above") << "DELETE FROM 信道表 WHERE rowid < 3" << 3 << 1 << "第 4 行";
    QTest::newRow("added") << "INSERT INTO 信道表 (rowid) VALUES (0);INSERT INTO 信道表 (备注) VALUES ('b')"
                           << 7 << 4 << "第 4 行";
    QTest::newRow("file replaced") << "replace" << 2 << 1 << "第 2 行";
}

void TestFileSync::gridFollowsTheFile()
{
    QFETCH(QString, change);
    QFETCH(int, rows);
    QFETCH(QString, remark);
    TestDatabase file(TestDatabase::numberedRows(5));
    ChannelModel model;
    QVERIFY(model.open(file.path()));
    ChannelCursor cursor(&model);
    cursor.setCurrentIndex(model.index(3, 4), QItemSelectionModel::ClearAndSelect);
    QSignalSpy resets(&model, &QAbstractItemModel::modelReset);
    if (change == u"replace")   // a two-row file moved in under the same name
        QCOMPARE(std::rename(qPrintable(TestDatabase(TestDatabase::numberedRows(2)).path()), qPrintable(file.path())), 0);
    else
        otherProgram(file.path(), change);
    // Nobody asks: the watch and the poll notice on their own.
    QTRY_VERIFY(model.rowCount() == rows && cursor.currentIndex().data().toString() == remark);
    QTEST(cursor.currentRow(), "currentAt");
    QCOMPARE(resets.count(), 0);
}

// A row command (a typed edit in the window test below) on a row another
// program changed since the grid read it.
void TestFileSync::conflictWritesNothingUntilChosen()
{
    for (const bool mine : { false, true }) {   // 保留文件中的值, 使用我的值
        const QString remarkAfter = mine ? QStringLiteral("第 4 行") : QStringLiteral("他人");   // row 2's, in file and grid
        TestDatabase file(TestDatabase::numberedRows(5));
        ChannelModel model;
        QVERIFY(model.open(file.path()));
        QSignalSpy conflicts(&model, &ChannelModel::conflicted);
        otherProgram(file.path(), otherRemark + QStringLiteral(";UPDATE 信道表 SET 信道号 = 9 WHERE rowid = 3"));
        const QByteArray before = fileDigest(file.path());
        QVERIFY(!model.deleteRows({ 1, 2 }));
        QCOMPARE(fileDigest(file.path()), before);
        QCOMPARE(conflicts.count(), 1);
        QVERIFY(conflicts.first().first().toString().endsWith(
                QStringLiteral("第 2 行“备注”：文件中的值为“他人”，您的值为“第 2 行”。\n另有 1 处也已不同。")));

        QCOMPARE(mine ? model.useMine() : (model.keepFileValues(), false), mine);
        QCOMPARE(file.stored().size(), mine ? 3 : 5);
        QCOMPARE(file.stored().at(1).at(4).toString(), remarkAfter);
        QCOMPARE(model.rowCount(), file.stored().size());
        QCOMPARE(model.index(1, 4).data().toString(), remarkAfter);
    }
}

// The editor keeps the typing while the grid follows the file; committing asks.
void TestFileSync::editorKeepsTypingAndTheWindowAsks()
{
    TestDatabase file(TestDatabase::numberedRows(3));
    MainWindow window(std::unique_ptr<SerialLink>(new FakeSerialLink), file.path());
    window.load();
    auto *grid = window.findChild<ChannelGrid *>(QStringLiteral("DataGrid1"));
    const QModelIndex cell = grid->model()->index(1, 4);
    grid->setCurrentIndex(cell);
    grid->edit(cell);
    QLineEdit *editor = nullptr;
    QTRY_VERIFY((editor = qobject_cast<QLineEdit *>(QApplication::focusWidget())));
    editor->setText(QStringLiteral("我的"));
    otherProgram(file.path(), otherRemark);
    QTRY_COMPARE(cell.data().toString(), QStringLiteral("他人"));
    QCOMPARE(editor->text(), QStringLiteral("我的"));

    MessageBoxes boxes(QMessageBox::Yes);
    QStringList buttons;
    boxes.probe = [&] {
        auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
        buttons << box->button(QMessageBox::Yes)->text() << box->button(QMessageBox::No)->text();
        return true;
    };
    grid->commitPendingEdit();
    QTRY_COMPARE(file.stored().at(1).at(4).toString(), QStringLiteral("我的"));
    QCOMPARE(boxes.seen.size(), 1);
    QVERIFY(boxes.seen.first().startsWith(QStringLiteral("系统信息|char4.mdb 已被其他程序修改，没有写入。\n"
                                                         "第 2 行“备注”：文件中的值为“他人”，您的值为“我的”。")));
    QCOMPARE(buttons, QStringList({ QStringLiteral("使用我的值"), QStringLiteral("保留文件中的值") }));
}

void TestFileSync::transferSendsWhatTheFileHolds()
{
    // Rows cut before the start, and during the transfer after 3 frames.
    for (const int cutAt : { 0, 3 }) {
        const int kept = cutAt ? 3 : 4;
        TestDatabase file(TestDatabase::numberedRows(51));
        ChannelModel model;
        QVERIFY(model.open(file.path()));
        ChannelCursor cursor(&model);
        FakeSerialLink port;
        port.open();
        TransferSequence sequence(&cursor, &port);
        const QString cut = QStringLiteral("DELETE FROM 信道表 WHERE rowid > %1").arg(kept);
        if (cutAt == 0)
            otherProgram(file.path(), cut);
        QVERIFY(sequence.start());
        for (int tick = 0; tick < TransferSequence::endAt / TransferSequence::step; ++tick) {
            if (tick == cutAt && cutAt)
                otherProgram(file.path(), cut);
            sequence.tick();
        }
        QByteArray expected;
        for (const QVariantList &values : TestDatabase::numberedRows(kept)) {
            ChannelRow row;
            std::copy(values.begin(), values.end(), row.values.begin());
            expected += ChannelFrame::encode(row).text().toLatin1();
        }
        QCOMPARE(port.written, expected);
    }
}

QTEST_MAIN(TestFileSync)
#include "tst_filesync.moc"
