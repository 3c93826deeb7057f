#include "TestDatabase.h"

#include "ChannelModel.h"
#include "Tsv.h"

#include <QSignalSpy>
#include <QtTest>
#include <functional>

using Operation = std::function<bool(ChannelModel &)>;
Q_DECLARE_METATYPE(Operation)

// Each row as another program sees it: natural order, every value with its kind.
static QStringList natural(const QString &path)
{
    QStringList rows;
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("reader"));
    db.setDatabaseName(path);
    db.open();
    {
        QSqlQuery q(QStringLiteral("SELECT quote(记录编号)||' '||quote(信道号)||' '||quote(接收频率)||' '||"
                                   "quote(发送频率)||' '||quote(备注) FROM 信道表"), db);
        while (q.next())
            rows << q.value(0).toString();
    }
    db.close();
    db = QSqlDatabase();
    QSqlDatabase::removeDatabase(QStringLiteral("reader"));
    return rows;
}

// The grid shows what the file holds, kinds included.
static bool modelMatchesFile(ChannelModel &model, const QString &path)
{
    ChannelModel fresh;
    fresh.open(path);
    if (fresh.allRows().size() != model.allRows().size())
        return false;
    for (int r = 0; r < fresh.rowCount(); ++r)
        for (int c = 0; c < ChannelRow::fieldCount; ++c) {
            const QVariant &a = model.rowAt(r)->values[c];
            const QVariant &b = fresh.rowAt(r)->values[c];
            if (a.isValid() != b.isValid() || (a.isValid() && (a != b || a.typeId() != b.typeId())))
                return false;
        }
    return true;
}

class TestRowCommands : public QObject
{
    Q_OBJECT
private slots:
    void commandUndoRedo_data();
    void commandUndoRedo();
    void refusedWriteRollsTheCommandBack();
    void readOnlyAndBusyRefuseEveryCommand();
    void keyedTableKeepsItsOrder();
    void clipboardShapes_data();
    void clipboardShapes();
};

static const QString A = QStringLiteral("1 5 438.5 438.5 '甲'");
static const QString B = QStringLiteral("2.5 7 145.0 '145' '乙'");
static const QString D = QStringLiteral("'12' NULL NULL NULL ''");

void TestRowCommands::commandUndoRedo_data()
{
    QTest::addColumn<Operation>("operation");
    QTest::addColumn<QStringList>("after");
    const QString added = QStringLiteral("13 NULL NULL NULL NULL");
    auto rows = [](std::initializer_list<int> list) { return QList<int>(list); };
    QTest::newRow("insert above twin") << Operation([](ChannelModel &m) { return m.insertRowAbove(2); })
                                      << QStringList{ A, B, added, A, D };
    QTest::newRow("insert at end") << Operation([](ChannelModel &m) { return m.insertRowAbove(4); })
                                   << QStringList{ A, B, A, D, added };
    QTest::newRow("insert second") << Operation([](ChannelModel &m) { return m.insertRowAbove(1); })
                                   << QStringList{ A, added, B, A, D };
    QTest::newRow("insert first") << Operation([](ChannelModel &m) { return m.insertRowAbove(0); })
                                  << QStringList{ added, A, B, A, D };
    QTest::newRow("duplicate") << Operation([=](ChannelModel &m) { return m.duplicateRows(rows({ 2, 0 })); })
                               << QStringList{ A, B, A, "13 5 438.5 438.5 '甲'", "14 5 438.5 438.5 '甲'", D };
    QTest::newRow("delete twin") << Operation([=](ChannelModel &m) { return m.deleteRows(rows({ 0, 2 })); })
                                 << QStringList{ B, D };
    QTest::newRow("up") << Operation([=](ChannelModel &m) { return m.moveRowsBy(rows({ 2, 3 }), -1); })
                        << QStringList{ A, A, D, B };
    QTest::newRow("down") << Operation([=](ChannelModel &m) { return m.moveRowsBy(rows({ 0, 1 }), 1); })
                          << QStringList{ A, A, B, D };
    QTest::newRow("clear") << Operation([](ChannelModel &m) {
        return m.clearCells({ m.index(1, 2), m.index(1, 4), m.index(3, 2) });
    }) << QStringList{ A, "2.5 7 NULL '145' NULL", A, D };
    QTest::newRow("paste past end") << Operation([](ChannelModel &m) {
        int dropped = 0;
        const bool ok = m.paste(3, 1, Tsv::read("9\t150.025\tabc\t 备 \textra\r\n\t1e3\r\n"), &dropped);
        return ok && dropped == 1;
    }) << QStringList{ A, B, A, "'12' 9 150.025 'abc' ' 备 '", "NULL NULL 1000.0 NULL NULL" };
    QTest::newRow("typed edit") << Operation([](ChannelModel &m) {
        return m.setData(m.index(2, 3), QStringLiteral("439")) && m.history()->count() == 1;
    }) << QStringList{ A, B, "1 5 438.5 439 '甲'", D };
}

void TestRowCommands::commandUndoRedo()
{
    QFETCH(Operation, operation);
    QFETCH(QStringList, after);
    TestDatabase file({ { 1, 5, 438.5, 438.5, "甲" }, { 2.5, 7, 145.0, "145", "乙" },
                        { 1, 5, 438.5, 438.5, "甲" }, { "12", QVariant(), QVariant(), QVariant(), "" } });
    ChannelModel model;
    QVERIFY(model.open(file.path()));
    const QStringList before = natural(file.path());
    QCOMPARE(before, QStringList({ A, B, A, D }));
    QVERIFY(operation(model));
    for (int round = 0; round < 2; ++round) {
        QCOMPARE(natural(file.path()), after);
        QVERIFY(modelMatchesFile(model, file.path()));
        QVERIFY(model.undo());
        QCOMPARE(natural(file.path()), before);
        QVERIFY(modelMatchesFile(model, file.path()));
        QVERIFY(model.redo());
    }
}

void TestRowCommands::refusedWriteRollsTheCommandBack()
{
    TestDatabase file(TestDatabase::numberedRows(3));
    ChannelModel model;
    QVERIFY(model.open(file.path()));
    QSignalSpy failures(&model, &ChannelModel::saveFailed);
    const QStringList before = natural(file.path());

    // The file refuses the second added row after the cells were written.
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("trigger"));
        db.setDatabaseName(file.path());
        db.open();
        QSqlQuery(QStringLiteral("CREATE TRIGGER no BEFORE INSERT ON 信道表 WHEN NEW.备注 = 'x' "
                                 "BEGIN SELECT RAISE(ABORT, 'refused'); END"), db);
        db.close();
    }
    QSqlDatabase::removeDatabase(QStringLiteral("trigger"));
    QVERIFY(!model.paste(2, 0, Tsv::read("7\r\n8\t1\t2\t3\tok\r\n9\t1\t2\t3\tx\r\n")));
    QCOMPARE(natural(file.path()), before);
    QVERIFY(modelMatchesFile(model, file.path()));
    QCOMPARE(model.history()->count(), 0);

    // Another program holds the file: neither the command nor an undo gets in.
    QVERIFY(model.deleteRows({ 0 }));
    const QStringList deleted = natural(file.path());
    QSqlDatabase other = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("locker"));
    other.setDatabaseName(file.path());
    QVERIFY(other.open());
    QSqlQuery lock(other);
    QVERIFY(lock.exec(QStringLiteral("BEGIN EXCLUSIVE")));
    QVERIFY(!model.insertRowAbove(0));
    QVERIFY(!model.undo());
    QCOMPARE(model.history()->index(), 1);
    QCOMPARE(model.rowCount(), 2);
    QVERIFY(lock.exec(QStringLiteral("ROLLBACK")));
    QCOMPARE(natural(file.path()), deleted);
    QCOMPARE(failures.count(), 3);
    QVERIFY2(failures.last().at(0).toString().contains(QStringLiteral("撤销删除行")),
             qPrintable(failures.last().at(0).toString()));
    QVERIFY(failures.first().at(0).toString().contains(QStringLiteral("信道表保持原样")));
    QVERIFY(model.undo());
    QCOMPARE(natural(file.path()), before);
    lock = QSqlQuery();
    other.close();
    other = QSqlDatabase();
    QSqlDatabase::removeDatabase(QStringLiteral("locker"));
}

void TestRowCommands::readOnlyAndBusyRefuseEveryCommand()
{
    TestDatabase file(TestDatabase::numberedRows(3));
    ChannelModel model;
    QVERIFY(model.open(file.path()));
    QVERIFY(model.deleteRows({ 1 }));
    model.setBusy(QStringLiteral("正在传送"));
    QSignalSpy refusals(&model, &ChannelModel::refused);
    const QStringList before = natural(file.path());
    QVERIFY(!model.insertRowAbove(0));
    QVERIFY(!model.duplicateRows({ 0 }));
    QVERIFY(!model.deleteRows({ 0 }));
    QVERIFY(!model.moveRowsBy({ 1 }, -1));
    QVERIFY(!model.clearCells({ model.index(0, 0) }));
    QVERIFY(!model.paste(0, 0, { { "1" } }));
    QVERIFY(!model.undo());
    QVERIFY(!(model.flags(model.index(0, 0)) & Qt::ItemIsEditable));
    QCOMPARE(refusals.count(), 7);
    QCOMPARE(natural(file.path()), before);
    model.setBusy(QString());
    QVERIFY(model.undo());
}

void TestRowCommands::keyedTableKeepsItsOrder()
{
    TestDatabase file(TestDatabase::numberedRows(3),
                      QStringLiteral("CREATE TABLE 信道表 (记录编号 INTEGER PRIMARY KEY, 信道号, 接收频率, 发送频率, 备注)"));
    ChannelModel model;
    QVERIFY(model.open(file.path()));
    QSignalSpy refusals(&model, &ChannelModel::refused);
    const QStringList before = natural(file.path());
    QVERIFY(!model.insertRowAbove(1));
    QVERIFY(!model.moveRowsBy({ 1 }, 1));
    QVERIFY(!model.paste(0, 0, { { "9" } }));
    QVERIFY(!model.setData(model.index(0, 0), QStringLiteral("9")));
    QCOMPARE(refusals.count(), 3);
    QVERIFY(refusals.at(0).at(0).toString().contains(QStringLiteral("“记录编号”是主键")));
    QVERIFY(model.deleteRows({ 1 }));
    QVERIFY(model.setData(model.index(1, 4), QStringLiteral("改")));
    QVERIFY(model.undo() && model.undo());
    QCOMPARE(natural(file.path()), before);
    QVERIFY(modelMatchesFile(model, file.path()));
}

void TestRowCommands::clipboardShapes_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QVector<QStringList>>("cells");
    QTest::newRow("calc, quoted tab and line end")
            << QStringLiteral("1\t\"a\tb\"\t\"two\nlines\"\r\n2\t\t\"say \"\"hi\"\"\"\r\n")
            << QVector<QStringList>{ { "1", "a\tb", "two\nlines" }, { "2", "", "say \"hi\"" } };
    QTest::newRow("excel, no trailing line end")
            << QStringLiteral("438.5\t145\r\n\t")
            << QVector<QStringList>{ { "438.5", "145" }, { "", "" } };
    QTest::newRow("single column, LF") << QStringLiteral("1\n2\n\n")
                                       << QVector<QStringList>{ { "1" }, { "2" }, { "" } };
    QTest::newRow("quote inside a cell") << QStringLiteral("5\"\t\"x\"y\r\n")
                                         << QVector<QStringList>{ { "5\"", "xy" } };
}

void TestRowCommands::clipboardShapes()
{
    QFETCH(QString, text);
    QFETCH(QVector<QStringList>, cells);
    QCOMPARE(Tsv::read(text), cells);
    // What we write reads back as the same cells, each line ending in CRLF.
    const QString written = Tsv::write(cells);
    QVERIFY(written.endsWith(QStringLiteral("\r\n")));
    QCOMPARE(Tsv::read(written), cells);
}

QTEST_MAIN(TestRowCommands)
#include "tst_rowcommands.moc"
