#include "TestDatabase.h"

#include "ChannelCsv.h"
#include "CellSearch.h"
#include "ChannelCursor.h"
#include "ChannelExchange.h"
#include "Channels.h"
#include "GridRig.h"
#include "ChannelGrid.h"
#include "FieldValue.h"
#include "FillDialog.h"
#include "FindReplaceDialog.h"
#include "Frequency.h"
#include "FrequencyDialog.h"
#include "HeaderRow.h"
#include "MessageBoxes.h"
#include "PlanTools.h"
#include "RowMerge.h"
#include "Tsv.h"
#include "UnsavedEdits.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QSignalSpy>
#include <QtTest>
#include <functional>

#include <csignal>
#include <sys/wait.h>
#include <unistd.h>

using Operation = std::function<bool(Channels &)>;
Q_DECLARE_METATYPE(Operation)

// Each row as another program sees it: natural order, every value with its kind.
static QStringList natural(const QString &path)
{
    QStringList rows;
    TestDatabase::withFile(path, [&rows](QSqlQuery &q) {
        q.exec(QStringLiteral("SELECT quote(记录编号)||' '||quote(信道号)||' '||quote(接收频率)||' '||"
                              "quote(发送频率)||' '||quote(备注) FROM 信道表"));
        while (q.next())
            rows << q.value(0).toString();
    });
    return rows;
}

// The grid shows what the file holds, kinds included, and knows each row by the
// key the file has for it, or the next edit would land on another row.
static bool storeMatchesFile(Channels &rig, const QString &path)
{
    ChannelStore fresh;
    fresh.open(path);
    if (fresh.allRows().size() != rig.store.allRows().size())
        return false;
    for (int r = 0; r < fresh.rowCount(); ++r)
        for (int c = 0; c < ChannelRow::fieldCount; ++c) {
            const QVariant &a = rig.store.rowAt(r)->values[c];
            const QVariant &b = fresh.rowAt(r)->values[c];
            if (rig.store.rowAt(r)->key != fresh.rowAt(r)->key || a.isValid() != b.isValid()
                || (a.isValid() && (a != b || a.typeId() != b.typeId())))
                return false;
        }
    return true;
}

// Each row as the grid shows it.
static QStringList shownRows(const ChannelStore &store)
{
    QStringList rows;
    for (int r = 0; r < store.rowCount(); ++r) {
        QStringList cells;
        for (int c = 0; c < ChannelRow::fieldCount; ++c)
            cells << store.index(r, c).data().toString();
        rows << cells.join(u'|');
    }
    return rows;
}

// Views repaint only what they hear of: with as many rows as `before`, each
// row that shows something else must be inside a dataChanged() of `changed`.
static bool viewsHeard(const QStringList &before, const ChannelStore &store, const QSignalSpy &changed)
{
    const QStringList now = shownRows(store);
    for (int r = 0; now.size() == before.size() && r < now.size(); ++r) {
        bool heard = now.at(r) == before.at(r);
        for (const QList<QVariant> &signal : changed)
            heard = heard || (signal.at(0).toModelIndex().row() <= r && r <= signal.at(1).toModelIndex().row());
        if (!heard)
            return false;
    }
    return true;
}

static const QString A = QStringLiteral("1 5 438.5 438.5 '甲'");
static const QString B = QStringLiteral("2.5 7 145.0 '145' '乙'");
static const QString D = QStringLiteral("'12' NULL NULL NULL ''");

// The plan tools, each one step: a sort keeps the keys in place and moves the values.
static void addToolRows()
{
    auto rows = [](std::initializer_list<int> list) { return QList<int>(list); };
    QTest::newRow("sort by channel") << Operation([](Channels &rig) { return rig.editor.sortRows(1, false); })
                                     << QStringList{ A, A, B, D };
    QTest::newRow("sort by record, descending, text '12' as 12")
            << Operation([](Channels &rig) { return rig.editor.sortRows(0, true); }) << QStringList{ D, B, A, A };
    QTest::newRow("sort by remark, an empty text with the empty cells")
            << Operation([](Channels &rig) { return rig.editor.sortRows(4, false); }) << QStringList{ B, A, A, D };
    QTest::newRow("fill channel numbers") << Operation([=](Channels &rig) {
        return rig.editor.fillSeries(rows({ 3, 0, 1 }), 1, 10, 5);
    }) << QStringList{ "1 10 438.5 438.5 '甲'", "2.5 15 145.0 '145' '乙'", A, "'12' 20 NULL NULL ''" };
    QTest::newRow("fill frequencies by 12.5 kHz") << Operation([=](Channels &rig) {
        return rig.editor.fillSeries(rows({ 0, 1, 2, 3 }), 2, 4385000, 125);
    }) << QStringList{ A, "2.5 7 438.5125 '145' '乙'", "1 5 438.525 438.5 '甲'", "'12' NULL 438.5375 NULL ''" };
    QTest::newRow("transmit = receive + 5 MHz") << Operation([](Channels &rig) {
        int changed = 0, skipped = 0;
        return rig.editor.computeFrequencies({ { 0, 3 }, { 1, 3 }, { 3, 3 } }, 2, Frequency::fromUnits(50000),
                                             &changed, &skipped)
                && changed == 2 && skipped == 1;
    }) << QStringList{ "1 5 438.5 443.5 '甲'", "2.5 7 145.0 150.0 '乙'", A, D };
    QTest::newRow("all -12.5 kHz") << Operation([](Channels &rig) {
        const QList<QPair<int, int>> cells{ { 0, 2 }, { 0, 3 }, { 1, 3 }, { 1, 4 } };
        return rig.editor.computeFrequencies(cells, -1, Frequency::fromUnits(-125));
    }) << QStringList{ "1 5 438.4875 438.4875 '甲'", "2.5 7 145.0 144.9875 '乙'", A, D };
    QTest::newRow("replace all") << Operation([](Channels &rig) {
        int changed = 0;
        return rig.editor.replaceAll(CellSearch(QStringLiteral("438.5"), true, false), QStringLiteral("439"), &changed)
                && changed == 4;
    }) << QStringList{ "1 5 439 439 '甲'", B, "1 5 439 439 '甲'", D };
    QTest::newRow("replace all, typed in full-width digits") << Operation([](Channels &rig) {
        return rig.editor.replaceAll(CellSearch(QStringLiteral("438.5"), true, true), QStringLiteral("４３９"))
                && rig.editor.readingNote(2, 3) == QStringLiteral("按 439 读取（输入的是 ４３９）");
    }) << QStringList{ "1 5 439 439 '甲'", B, "1 5 439 439 '甲'", D };
    QTest::newRow("replace whole cells") << Operation([](Channels &rig) {
        return rig.editor.replaceAll(CellSearch(QStringLiteral("145"), true, true), QStringLiteral("145,5"));
    }) << QStringList{ A, "2.5 7 145.5 145.5 '乙'", A, D };
}

class TestRowCommands : public QObject
{
    Q_OBJECT
private slots:
    // Another program's change as steps over the loaded rows, by key: runs
    // gone, runs added (also between rows already placed), rows kept.
    void mergeStepsFollowTheKeys()
    {
        const auto rows = [](std::initializer_list<qint64> keys) {
            QVector<ChannelRow> list;
            for (qint64 key : keys)
                list.append(ChannelRow{ key, {} });
            return list;
        };
        const char *kinds = "-+=";   // Remove, Insert, Update
        const struct { QVector<ChannelRow> loaded, fresh; const char *steps; } cases[] = {
            { rows({ 1, 2, 4 }), rows({ 1, 2, 3, 4 }), "=0<0 =1<1 +2<2x1 =3<3" },
            { rows({ 1, 2, 3 }), rows({ 1, 3 }), "=0<0 -1x1 =1<1" },
            { rows({ 1, 2 }), rows({ 3, 4, 5 }), "-0x2 +0<0x3" },
            { rows({ 5 }), rows({ 1, 2, 5, 7, 8 }), "+0<0x2 =2<2 +3<3x2" },
            { {}, {}, "" },
        };
        for (const auto &c : cases) {
            QStringList steps;
            for (const RowMerge::Step &s : RowMerge::plan(c.loaded, c.fresh))
                steps << QStringLiteral("%1%2").arg(QChar::fromLatin1(kinds[s.kind])).arg(s.at)
                                 + (s.kind == RowMerge::Step::Remove ? QString() : QStringLiteral("<%1").arg(s.from))
                                 + (s.kind == RowMerge::Step::Update ? QString() : QStringLiteral("x%1").arg(s.count));
            QCOMPARE(steps.join(u' '), QString::fromLatin1(c.steps));
        }
    }

    void commandUndoRedo_data()
    {
        QTest::addColumn<Operation>("operation");
        QTest::addColumn<QStringList>("after");
        const QString added = QStringLiteral("13 NULL NULL NULL NULL");
        auto rows = [](std::initializer_list<int> list) { return QList<int>(list); };
        QTest::newRow("insert above twin") << Operation([](Channels &rig) { return rig.editor.insertRowAbove(2); })
                                          << QStringList{ A, B, added, A, D };
        QTest::newRow("insert at end") << Operation([](Channels &rig) { return rig.editor.insertRowAbove(4); })
                                       << QStringList{ A, B, A, D, added };
        QTest::newRow("insert first") << Operation([](Channels &rig) { return rig.editor.insertRowAbove(0); })
                                      << QStringList{ added, A, B, A, D };
        QTest::newRow("duplicate") << Operation([=](Channels &rig) { return rig.editor.duplicateRows(rows({ 2, 0 })); })
                                   << QStringList{ A, B, A, "13 5 438.5 438.5 '甲'", "14 5 438.5 438.5 '甲'", D };
        QTest::newRow("delete twin") << Operation([=](Channels &rig) { return rig.editor.deleteRows(rows({ 0, 2 })); })
                                     << QStringList{ B, D };
        QTest::newRow("up") << Operation([=](Channels &rig) { return rig.editor.moveRowsBy(rows({ 2, 3 }), -1); })
                            << QStringList{ A, A, D, B };
        QTest::newRow("down") << Operation([=](Channels &rig) { return rig.editor.moveRowsBy(rows({ 0, 1 }), 1); })
                              << QStringList{ A, A, B, D };
        QTest::newRow("clear") << Operation([](Channels &rig) {
            return rig.editor.clearCells({ rig.store.index(1, 2), rig.store.index(1, 4), rig.store.index(3, 2) });
        }) << QStringList{ A, "2.5 7 NULL '145' NULL", A, D };
        QTest::newRow("paste past end") << Operation([](Channels &rig) {
            int dropped = 0;
            const bool ok = rig.editor.paste(3, 1, Tsv::read("9\t150.025\tabc\t 备 \textra\r\n\t1e3\r\n"), &dropped);
            return ok && dropped == 1;
        }) << QStringList{ A, B, A, "'12' 9 150.025 'abc' ' 备 '", "NULL NULL 1000.0 NULL NULL" };
        QTest::newRow("paste under a header") << Operation([](Channels &rig) {
            bool skipped = false;
            return rig.editor.paste(3, 1, Tsv::read("信道号\t接收频率 (MHz)\r\n9\t430,175\r\n"), nullptr, &skipped)
                    && skipped && rig.editor.readingNote(3, 2) == QStringLiteral("按 430.175 读取（输入的是 430,175）");
        }) << QStringList{ A, B, A, "'12' 9 430.175 NULL ''" };
        QTest::newRow("typed edit") << Operation([](Channels &rig) {
            return rig.table.setData(rig.store.index(2, 3), QStringLiteral("439")) && rig.editor.history()->count() == 1;
        }) << QStringList{ A, B, "1 5 438.5 439 '甲'", D };
        addToolRows();
    }

    void commandUndoRedo()
    {
        QFETCH(Operation, operation);
        QFETCH(QStringList, after);
        TestDatabase file({ { 1, 5, 438.5, 438.5, "甲" }, { 2.5, 7, 145.0, "145", "乙" },
                            { 1, 5, 438.5, 438.5, "甲" }, { "12", QVariant(), QVariant(), QVariant(), "" } });
        Channels rig;
        QVERIFY(rig.store.open(file.path()));
        const QStringList before = natural(file.path());
        QCOMPARE(before, QStringList({ A, B, A, D }));
        QSignalSpy changed(&rig.store, &QAbstractItemModel::dataChanged);
        const auto heard = [&](const std::function<bool()> &step) {
            const QStringList shown = shownRows(rig.store);
            changed.clear();
            return step() && viewsHeard(shown, rig.store, changed);
        };
        QVERIFY(heard([&] { return operation(rig); }));
        for (int round = 0; round < 2; ++round) {
            QCOMPARE(natural(file.path()), after);
            QVERIFY(storeMatchesFile(rig, file.path()));
            QVERIFY(heard([&] { return rig.editor.undo(); }));
            QCOMPARE(natural(file.path()), before);
            QVERIFY(storeMatchesFile(rig, file.path()));
            QVERIFY(heard([&] { return rig.editor.redo(); }));
        }
    }

    // An import replaces the table in a transaction of its own; every row
    // command is one change written in one transaction, so the commands here
    // are those that reach each kind of statement in it: cells and rows added
    // at the end (paste), keys made between rows (duplicate), rows removed,
    // keys swapped (move).
    void killedCommandLeavesBeforeOrAfter_data()
    {
        QTest::addColumn<Operation>("operation");
        QList<int> all;
        QVector<QStringList> block;
        for (int i = 0; i < 5000; ++i) {
            all << i;
            block << QStringList{ QString::number(i), "9", "438.5", "438.5", "贴" };
        }
        QTest::newRow("import") << Operation([](Channels &rig) {
            ChannelExchange::Import import;
            import.rows.rows = TestDatabase::numberedRows(20000);
            return ChannelExchange::apply(rig.store, import).ok;
        });
        QTest::newRow("paste") << Operation([block](Channels &rig) { return rig.editor.paste(2500, 0, block); });
        QTest::newRow("duplicate") << Operation([all](Channels &rig) { return rig.editor.duplicateRows(all); });
        QTest::newRow("delete") << Operation([all](Channels &rig) { return rig.editor.deleteRows(all); });
        QTest::newRow("move") << Operation([all](Channels &rig) { return rig.editor.moveRowsBy(all.mid(1), -1); });
        QTest::newRow("sort") << Operation([](Channels &rig) { return rig.editor.sortRows(0, true); });
    }

    // Each command run by a child process that is killed (SIGKILL) as soon as
    // its rollback journal appears, then a quarter, half and three quarters of
    // the way through: the file holds exactly what it held before or what the
    // whole command leaves, and SQLite finds it sound.
    void killedCommandLeavesBeforeOrAfter()
    {
        QFETCH(Operation, operation);
        const TestDatabase original(TestDatabase::numberedRows(5000)), whole(original.stored());
        QElapsedTimer took;
        auto run = [&operation, &took](const QString &path) {
            Channels rig;
            rig.store.open(path);
            rig.store.rowAt(5000);
            took.start();
            return operation(rig);
        };
        QVERIFY(run(whole.path()));
        const qint64 tookUs = took.nsecsElapsed() / 1000;
        const QVector<QVariantList> before = original.stored(), after = whole.stored();
        int asBefore = 0, asAfter = 0, midWrite = 0;
        for (const qint64 delayUs : { qint64(0), tookUs / 4, tookUs / 2, tookUs * 3 / 4 }) {
            QTemporaryDir dir;
            const QString path = dir.filePath(QStringLiteral("char4.mdb")), journal = path + QStringLiteral("-journal");
            QVERIFY(QFile::copy(original.path(), path));
            const pid_t child = fork();
            if (child == 0)
                _exit(run(path) ? 0 : 1);
            pid_t ended = 0;
            while (!QFile::exists(journal) && (ended = waitpid(child, nullptr, WNOHANG)) == 0)
                usleep(50);
            if (ended == 0) {   // still running: a reaped child's number may be another's by now
                usleep(useconds_t(delayUs));
                ::kill(child, SIGKILL);
                waitpid(child, nullptr, 0);
            }
            midWrite += QFile::exists(journal);
            TestDatabase::withFile(path, [](QSqlQuery &q) {
                QVERIFY(q.exec(QStringLiteral("PRAGMA integrity_check")) && q.next());
                QCOMPARE(q.value(0).toString(), QStringLiteral("ok"));
            });
            const QVector<QVariantList> left = TestDatabase::readAll(path);
            asBefore += left == before;
            asAfter += left == after;
        }
        qInfo("%lld µs: %d killed mid-write, %d left as before, %d as after", tookUs, midWrite, asBefore, asAfter);
        QCOMPARE(asBefore + asAfter, 4);   // never anything in between
        QVERIFY(midWrite >= 1);
    }

    void refusedWriteRollsTheCommandBack()
    {
        TestDatabase file(TestDatabase::numberedRows(3));
        Channels rig;
        QVERIFY(rig.store.open(file.path()));
        QSignalSpy failures(&rig.editor, &ChannelEditor::saveFailed);
        const QStringList before = natural(file.path());

        // The file refuses the second added row after the cells were written.
        TestDatabase::withFile(file.path(), [](QSqlQuery &q) {
            QVERIFY(q.exec(QStringLiteral("CREATE TRIGGER no BEFORE INSERT ON 信道表 WHEN NEW.备注 = 'x' "
                                          "BEGIN SELECT RAISE(ABORT, 'refused'); END")));
        });
        QVERIFY(!rig.editor.paste(2, 0, Tsv::read("7\r\n8\t1\t2\t3\tok\r\n9\t1\t2\t3\tx\r\n")));
        QCOMPARE(natural(file.path()), before);
        QVERIFY(storeMatchesFile(rig, file.path()));
        QCOMPARE(rig.editor.history()->count(), 0);

        // Another program holds the file: neither the command nor an undo gets in.
        QVERIFY(rig.editor.deleteRows({ 0 }));
        const QStringList deleted = natural(file.path());
        FileLock lock(file.path(), QStringLiteral("BEGIN EXCLUSIVE"));
        QVERIFY(!rig.editor.insertRowAbove(0));
        QVERIFY(!rig.editor.undo());
        QCOMPARE(rig.editor.history()->index(), 1);
        QCOMPARE(rig.store.rowCount(), 2);
        lock.release();
        QCOMPARE(natural(file.path()), deleted);
        QCOMPARE(failures.count(), 3);
        QVERIFY2(failures.last().at(0).toString().contains(QStringLiteral("撤销删除行")),
                 qPrintable(failures.last().at(0).toString()));
        QVERIFY(failures.first().at(0).toString().contains(QStringLiteral("信道表保持原样")));
        QVERIFY(rig.editor.undo());
        QCOMPARE(natural(file.path()), before);

        // Undone, the step stays to be redone: neither a refused redo nor a
        // refused new command moves or cuts the history.
        FileLock again(file.path(), QStringLiteral("BEGIN EXCLUSIVE"));
        QVERIFY(!rig.editor.redo());
        QVERIFY(!rig.editor.deleteRows({ 1 }));
        QCOMPARE(rig.editor.history()->index(), 0);
        QCOMPARE(rig.editor.history()->count(), 1);
        again.release();
        QVERIFY(rig.editor.redo());
        QCOMPARE(natural(file.path()), deleted);
    }

    void readOnlyAndBusyRefuseEveryCommand()
    {
        TestDatabase file(TestDatabase::numberedRows(3));
        Channels rig;
        QVERIFY(rig.store.open(file.path()));
        QVERIFY(rig.editor.deleteRows({ 1 }));
        ChannelStore::Lock busy = rig.store.lock(QStringLiteral("正在传送"));
        QSignalSpy refusals(&rig.editor, &ChannelEditor::refused);
        const QStringList before = natural(file.path());
        QVERIFY(!rig.editor.insertRowAbove(0));
        QVERIFY(!rig.editor.duplicateRows({ 0 }));
        QVERIFY(!rig.editor.deleteRows({ 0 }));
        QVERIFY(!rig.editor.moveRowsBy({ 1 }, -1));
        QVERIFY(!rig.editor.clearCells({ rig.store.index(0, 0) }));
        QVERIFY(!rig.editor.paste(0, 0, { { "1" } }));
        QVERIFY(!rig.editor.sortRows(0, true));
        QVERIFY(!rig.editor.undo());
        QVERIFY(!(rig.table.flags(rig.store.index(0, 0)) & Qt::ItemIsEditable));
        QCOMPARE(refusals.count(), 8);
        QCOMPARE(natural(file.path()), before);
        busy.release();
        QVERIFY(rig.editor.undo());
        // Rows and columns outside the table are no command at all.
        QVERIFY(!rig.editor.duplicateRows({ 0, 99 }) && !rig.editor.paste(0, ChannelRow::fieldCount, { { "1" } }));
        QCOMPARE(natural(file.path()).size(), 3);
    }

    void keyedTableKeepsItsOrder()
    {
        TestDatabase file(TestDatabase::numberedRows(3),
                          QStringLiteral("CREATE TABLE 信道表 (记录编号 INTEGER PRIMARY KEY, 信道号, 接收频率, 发送频率, 备注)"));
        Channels rig;
        QVERIFY(rig.store.open(file.path()));
        QSignalSpy refusals(&rig.editor, &ChannelEditor::refused);
        const QStringList before = natural(file.path());
        QVERIFY(!rig.editor.insertRowAbove(1));
        QVERIFY(!rig.editor.moveRowsBy({ 1 }, 1));
        QVERIFY(!rig.editor.paste(0, 0, { { "9" } }));
        QVERIFY(!rig.table.setData(rig.store.index(0, 0), QStringLiteral("9")));
        QVERIFY(!rig.editor.sortRows(0, true));
        QCOMPARE(refusals.count(), 4);
        QVERIFY(refusals.at(0).at(0).toString().contains(QStringLiteral("“记录编号”是主键")));
        QVERIFY(rig.editor.deleteRows({ 1 }));
        QVERIFY(rig.table.setData(rig.store.index(1, 4), QStringLiteral("改")));
        QVERIFY(rig.editor.undo() && rig.editor.undo());
        QCOMPARE(natural(file.path()), before);
        QVERIFY(storeMatchesFile(rig, file.path()));
    }

    // 频率计算 in whole 100 Hz units: what is stored is the exact decimal,
    // whatever binary fraction the file held before.
    void frequencyArithmetic_data()
    {
        QTest::addColumn<QVariant>("receive");
        QTest::addColumn<QString>("offset");   // typed in MHz
        QTest::addColumn<QString>("stored");   // the transmit field as SQLite quotes it
        QTest::newRow("+12.5 kHz") << QVariant(438.5) << "0.0125" << "438.5125";
        QTest::newRow("negative shift") << QVariant(438.5125) << "-0.0125" << "438.5";
        QTest::newRow("unicode minus") << QVariant(145.0) << "−0.6" << "144.4";
        QTest::newRow("repeater +5") << QVariant(438.5) << "5" << "443.5";
        QTest::newRow("binary fraction in the file") << QVariant(0.1 + 0.2) << "+.0001" << "0.3001";
        QTest::newRow("text number") << QVariant(QStringLiteral("430.125")) << "0" << "430.125";
        QTest::newRow("finer than 100 Hz rounds") << QVariant(438.51255) << "0" << "438.5126";
        // A shift by nothing leaves what the radio gets as it was: halves to even, as the frame.
        QTest::newRow("half step as the frame") << QVariant(446.00625) << "0" << "446.0062";
        QTest::newRow("half step text as the frame") << QVariant(QStringLiteral("446.00625")) << "0" << "446.0062";
        QTest::newRow("comma text is no number") << QVariant(QStringLiteral("438,5")) << "1" << "NULL";
        QTest::newRow("result not above 0") << QVariant(430.0) << "-430" << "NULL";
        QTest::newRow("offset finer than 100 Hz") << QVariant(430.0) << "0.00001" << "refused";
        QTest::newRow("offset no number") << QVariant(430.0) << "5 MHz" << "refused";
    }

    void frequencyArithmetic()
    {
        QFETCH(QVariant, receive);
        QFETCH(QString, offset);
        QFETCH(QString, stored);
        TestDatabase file({ { 1, 1, receive, QVariant(), QStringLiteral("") } });
        Channels rig;
        QVERIFY(rig.store.open(file.path()));
        const std::optional<Frequency> amount = Frequency::parse(offset);
        QCOMPARE(amount.has_value(), stored != QStringLiteral("refused"));
        if (!amount)
            return;
        QVERIFY(rig.editor.computeFrequencies({ { 0, 3 } }, 2, *amount));
        QCOMPARE(natural(file.path()).value(0).split(u' ').value(3), stored);
        QCOMPARE(rig.store.index(0, 3).data().toString(), stored == QStringLiteral("NULL") ? QString() : stored);
    }

    // 查找 walks the cells as shown, row by row, and round from the top.
    void searchFindsCellsAsShown()
    {
        TestDatabase file({ { 1, 5, 438.5, 438.5, "甲a" }, { 2, 7, 145.0, "145", "乙" }, { 3, 5, 438.51, 438.5, "甲A" } });
        Channels rig;
        QVERIFY(rig.store.open(file.path()));
        const auto at = [&rig](const CellSearch &search, int row, int column) {
            const auto [r, c] = search.next(rig.store, row, column);
            return QStringLiteral("%1,%2").arg(r).arg(c);
        };
        QCOMPARE(at(CellSearch(QStringLiteral("438.5"), false, true), 0, 2), QStringLiteral("0,3"));
        QCOMPARE(at(CellSearch(QStringLiteral("438.5"), false, true), 0, 3), QStringLiteral("2,3"));   // not 438.51
        QCOMPARE(at(CellSearch(QStringLiteral("438.5"), false, false), 0, 3), QStringLiteral("2,2"));
        QCOMPARE(at(CellSearch(QStringLiteral("145"), false, true), 1, 2), QStringLiteral("1,3"));   // a text and a real
        QCOMPARE(at(CellSearch(QStringLiteral("甲a"), true, false), 0, 4), QStringLiteral("0,4"));   // round the file
        QCOMPARE(at(CellSearch(QStringLiteral("甲a"), false, false), 0, 4), QStringLiteral("2,4"));
        QCOMPARE(at(CellSearch(QStringLiteral("丙"), false, false), 0, 0), QStringLiteral("-1,-1"));
        QCOMPARE(CellSearch(QStringLiteral("a"), false, false).replaced(QStringLiteral("aAb"), QStringLiteral("x")),
                 QStringLiteral("xxb"));
    }

    // Down on the last row adds an empty one, one step, as a spreadsheet does.
    void downPastTheLastRowAddsOne()
    {
        GridRig rig(TestDatabase::numberedRows(3));
        QVERIFY(rig.opened);
        rig.grid.setCurrentIndex(rig.table.index(1, 2));
        QTest::keyClick(&rig.grid, Qt::Key_Down);
        QCOMPARE(rig.store.rowCount(), 3);
        QTest::keyClick(&rig.grid, Qt::Key_Down);
        QTest::keyClick(&rig.grid, Qt::Key_Down, Qt::KeypadModifier);
        QCOMPARE(natural(rig.file.path()).mid(3), QStringList({ "4 NULL NULL NULL NULL", "5 NULL NULL NULL NULL" }));
        QCOMPARE(rig.grid.currentIndex(), rig.table.index(4, 2));
        QCOMPARE(rig.editor.history()->count(), 2);
        QVERIFY(rig.editor.undo() && rig.editor.undo());
        QCOMPARE(natural(rig.file.path()).size(), 3);
    }

    // The tools as the operator reaches them: an action of the grid, a
    // dialog filled in, one step of the history for what it changed.
    void toolsFromTheGrid()
    {
        GridRig rig(TestDatabase::numberedRows(4));
        QVERIFY(rig.opened);
        new PlanTools(&rig.grid);   // the grid owns it
        QStringList notes;   // what each dialog said it would do, and the sort's column
        QStringList titles;
        auto trigger = [&rig, &notes, &titles](const char *name, const QHash<QString, QString> &typed) {
            QTimer::singleShot(0, [typed, &notes, &titles] {
                auto *dialog = qobject_cast<QDialog *>(QApplication::activeModalWidget());
                titles << dialog->windowTitle();
                for (auto [child, text] : typed.asKeyValueRange()) {
                    if (auto *edit = dialog->findChild<QLineEdit *>(child))
                        edit->setText(text);
                    else
                        dialog->findChild<QAbstractButton *>(child)->setChecked(text == QStringLiteral("on"));
                }
                auto *column = dialog->findChild<QComboBox *>(QStringLiteral("column"));
                notes << (column ? column->currentText() : dialog->findChild<QLabel *>(QStringLiteral("note"))->text());
                dialog->accept();
            });
            rig.grid.findChild<QAction *>(QString::fromLatin1(name))->trigger();
        };
        auto column = [&rig](int field) {
            QStringList values;
            for (const QVariantList &row : rig.file.stored())
                values << FieldValue::fieldText(row.at(field));
            return values.join(u' ');
        };
        auto select = [&](int top, int left, int bottom, int right) {
            rig.grid.selectionModel()->select(QItemSelection(rig.table.index(top, left), rig.table.index(bottom, right)),
                                          QItemSelectionModel::ClearAndSelect);
        };
        select(0, 2, 3, 2);
        trigger("fill", { { "start", "145.5" }, { "step", "-25" } });
        QCOMPARE(column(2), QStringLiteral("145.5 145.475 145.45 145.425"));
        select(1, 1, 2, 4);
        trigger("frequencies", {});   // 发送 = 接收 + 5 on the rows of the selection
        QCOMPARE(column(3), QStringLiteral("440.0125 150.475 150.45 440.05"));
        trigger("frequencies", { { "shift", "on" }, { "amount", "-0.0125" } });   // 1.1 and 2.4 are not frequencies
        QCOMPARE(column(3), QStringLiteral("440.0125 150.4625 150.4375 440.05"));
        trigger("frequencies", { { "fromTransmit", "on" }, { "amount", "-10" } });   // 接收 = 发送 − 10
        QCOMPARE(column(2), QStringLiteral("145.5 140.4625 140.4375 145.425"));
        rig.grid.setCurrentIndex(rig.table.index(0, 1));   // 排序… starts on the current column
        trigger("sort", { { "descending", "on" } });
        QCOMPARE(column(1), QStringLiteral("4 3 2 1"));
        QCOMPARE(rig.editor.history()->count(), 5);
        QCOMPARE(notes.size(), 5);
        QVERIFY(notes.at(1).startsWith(QStringLiteral("将改变 2 个单元格。")));
        QVERIFY(notes.at(2).startsWith(QStringLiteral("将改变 4 个单元格。")));   // both frequencies of two rows
        QCOMPARE(notes.at(4), QStringLiteral("信道号"));
        rig.grid.setCurrentIndex(rig.table.index(0, 4));
        trigger("sort", {});
        QCOMPARE(notes.at(5), QStringLiteral("备注"));
        QCOMPARE(titles, QStringList({ "填充序列", "频率计算", "频率计算", "频率计算", "排序", "排序" }));
        {
            MessageBoxes boxes;
            select(0, 1, 0, 2);
            rig.grid.findChild<QAction *>(QStringLiteral("fill"))->trigger();
            QCOMPARE(boxes.texts(), QStringList({ QStringLiteral("请选择同一列中要填充的单元格。") }));
        }
    }

    void findReplaceAndZoomFromTheGrid()
    {
        GridRig rig(TestDatabase::numberedRows(4));
        QVERIFY(rig.opened);
        auto *tools = new PlanTools(&rig.grid);
        auto column = [&rig](int field) {
            QStringList values;
            for (const QVariantList &row : rig.file.stored())
                values << FieldValue::fieldText(row.at(field));
            return values.join(u' ');
        };
        tools->openFind(true);
        auto *find = rig.grid.window()->findChild<FindReplaceDialog *>();
        QVERIFY(find && find->windowTitle() == QStringLiteral("替换"));
        find->findChild<QLineEdit *>(QStringLiteral("find"))->setText(QStringLiteral("第"));
        find->findChild<QLineEdit *>(QStringLiteral("replace"))->setText(QStringLiteral("甲"));
        tools->replaceAll();
        QCOMPARE(find->findChild<QLabel *>(QStringLiteral("result"))->text(), QStringLiteral("已替换 4 处。"));
        QCOMPARE(column(4), QStringLiteral("甲 1 行 甲 2 行 甲 3 行 甲 4 行"));
        const auto texts = [&rig] {
            return rig.grid.findChild<QAction *>(QStringLiteral("undo"))->text() + u'|'
                    + rig.grid.findChild<QAction *>(QStringLiteral("redo"))->text();
        };
        QCOMPARE(texts(), QStringLiteral("撤销 全部替换(&U)|重做(&R)"));   // naming the step
        QVERIFY(rig.editor.undo());
        QCOMPARE(texts(), QStringLiteral("撤销(&U)|重做 全部替换(&R)"));
        QCOMPARE(column(4), QStringLiteral("第 1 行 第 2 行 第 3 行 第 4 行"));

        // A match is never under the dialog, wherever the dialog was.
        rig.grid.resize(900, 300);   // the whole row in sight: the cell does not move
        rig.grid.show();
        QVERIFY(QTest::qWaitForWindowExposed(&rig.grid));
        const QModelIndex third = rig.table.index(2, 4);
        const QRect cell(rig.grid.viewport()->mapToGlobal(rig.grid.visualRect(third).topLeft()), rig.grid.visualRect(third).size());
        find->move(cell.center() - QPoint(find->width() / 2, find->height() / 2));
        QVERIFY(find->frameGeometry().intersects(cell));
        find->findChild<QLineEdit *>(QStringLiteral("find"))->setText(QStringLiteral("第 3"));
        tools->findNext();
        QCOMPARE(rig.grid.currentIndex(), third);
        QTRY_VERIFY(!find->frameGeometry().intersects(cell));

        // The captions grow with the cells, and 原始大小 is the design again.
        QHeaderView *captions = rig.grid.horizontalHeader();
        const auto sizes = [&] {
            return QList<double>({ rig.grid.font().pointSizeF(), captions->font().pointSizeF(), double(captions->height()) });
        };
        const QList<double> designed = sizes();
        for (const char *step : { "zoomIn", "zoomIn", "zoomOut" })
            rig.grid.findChild<QAction *>(QString::fromLatin1(step))->trigger();
        QCOMPARE(sizes(), QList<double>({ designed[0] * 1.1, designed[1] * 1.1, double(qRound(designed[2] * 1.1)) }));
        rig.grid.findChild<QAction *>(QStringLiteral("zoomReset"))->trigger();
        QCOMPARE(sizes(), designed);
    }

    // A note on how typing was read names its cell by row key, and a sort moves
    // the values under the keys: one that moves rows drops the notes, one that
    // moves none keeps them.
    void sortDropsReadingNotesWhenRowsMove()
    {
        TestDatabase file(TestDatabase::numberedRows(3));
        Channels rig;
        QVERIFY(rig.store.open(file.path()));
        const QString note = QStringLiteral("按 439 读取（输入的是 ４３９）");
        QVERIFY(rig.editor.editCell(0, 2, QStringLiteral("４３９")));
        QCOMPARE(rig.editor.readingNote(0, 2), note);
        int changed = -1;
        QVERIFY(rig.editor.sortRows(0, false, &changed));
        QCOMPARE(changed, 0);
        QCOMPARE(rig.editor.readingNote(0, 2), note);
        QVERIFY(rig.editor.sortRows(0, true, &changed));
        QCOMPARE(changed, 2);   // the middle row stays
        QVERIFY(rig.editor.readingNote(0, 2).isEmpty() && rig.editor.readingNote(2, 2).isEmpty());
    }

    // A tool over many rows reads them in one go to check them: a row another
    // program changed or removed among them still stops the whole tool.
    void toolsOverManyRowsCheckTheFile_data()
    {
        QTest::addColumn<Operation>("operation");
        QTest::addColumn<QString>("other");   // what another program did first
        QTest::addColumn<QString>("said");
        QList<int> rows;
        for (int i = 0; i < 40; ++i)
            rows << i;
        QTest::newRow("sort, a remark changed") << Operation([](Channels &rig) { return rig.editor.sortRows(1, true); })
                                                << "UPDATE 信道表 SET 备注 = '他人' WHERE rowid = 30"
                                                << "第 30 行“备注”：文件中的值为“他人”，您的值为“第 30 行”。";
        QTest::newRow("fill, a row removed") << Operation([rows](Channels &rig) {
            return rig.editor.fillSeries(rows, 1, 2, 1);
        }) << "DELETE FROM 信道表 WHERE rowid = 25" << "第 25 行已被其他程序删除。";
        QTest::newRow("fill, a frequency changed") << Operation([rows](Channels &rig) {
            return rig.editor.fillSeries(rows, 2, 4385000, 125);
        }) << "UPDATE 信道表 SET 接收频率 = 1 WHERE rowid = 40" << "第 40 行“接收频率  (MHz)”：文件中的值为“1”";
    }

    void toolsOverManyRowsCheckTheFile()
    {
        QFETCH(Operation, operation);
        QFETCH(QString, other);
        QFETCH(QString, said);
        TestDatabase file(TestDatabase::numberedRows(40));
        Channels rig;
        QVERIFY(rig.store.open(file.path()));
        rig.store.fetchAll();
        TestDatabase::withFile(file.path(), [&other](QSqlQuery &q) { QVERIFY(q.exec(other)); });
        const QStringList changed = natural(file.path());
        QSignalSpy conflicts(&rig.editor, &ChannelEditor::conflicted);
        QVERIFY(!operation(rig));
        QCOMPARE(conflicts.count(), 1);
        QVERIFY2(conflicts.first().at(0).toString().contains(said), qPrintable(conflicts.first().at(0).toString()));
        QCOMPARE(natural(file.path()), changed);
        rig.editor.keepFileValues();
        QCOMPARE(rig.editor.history()->count(), 0);
    }

    // The dialogs take numbers to 100 Hz (frequencies in MHz, steps in kHz)
    // or whole numbers, and refuse anything finer.
    void dialogsReadAmountsExactly_data()
    {
        QTest::addColumn<int>("column");   // -1: 频率计算
        QTest::addColumn<QString>("start");
        QTest::addColumn<QString>("step");
        QTest::addColumn<QString>("units");   // start,step; or empty when 确定 is off
        QTest::newRow("frequency by 12.5 kHz") << 2 << "438.5" << "12.5" << "4385000,125";
        QTest::newRow("frequency down by 6.25 kHz") << 3 << "145.0000" << "-6.25" << "";
        QTest::newRow("frequency down by 6.2 kHz") << 3 << "145" << "-6.2" << "1450000,-62";
        QTest::newRow("frequency finer than 100 Hz") << 2 << "438.51255" << "12.5" << "";
        QTest::newRow("channels") << 1 << "1" << "2" << "1,2";
        QTest::newRow("channel not whole") << 1 << "1.5" << "1" << "";
        QTest::newRow("shift") << -1 << "" << "-0.0125" << "0,-125";
        QTest::newRow("shift with a unit") << -1 << "" << "5MHz" << "";
    }

    void dialogsReadAmountsExactly()
    {
        QFETCH(int, column);
        QFETCH(QString, start);
        QFETCH(QString, step);
        QFETCH(QString, units);
        std::unique_ptr<QDialog> dialog;
        if (column < 0)
            dialog = std::make_unique<FrequencyDialog>();
        else
            dialog = std::make_unique<FillDialog>(column, QString(), 4);
        if (column >= 0)
            dialog->findChild<QLineEdit *>(QStringLiteral("start"))->setText(start);
        dialog->findChild<QLineEdit *>(QString::fromLatin1(column < 0 ? "amount" : "step"))->setText(step);
        const bool ok = dialog->findChild<QDialogButtonBox *>()->button(QDialogButtonBox::Ok)->isEnabled();
        QCOMPARE(ok, !units.isEmpty());
        if (!ok)
            return;
        const auto *fill = qobject_cast<FillDialog *>(dialog.get());
        const qint64 first = fill ? fill->start() : 0;
        const qint64 by = fill ? fill->step() : static_cast<FrequencyDialog *>(dialog.get())->offset().units();
        QCOMPARE(QStringLiteral("%1,%2").arg(first).arg(by), units);
    }

    void clipboardShapes_data()
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

    void clipboardShapes()
    {
        QFETCH(QString, text);
        QFETCH(QVector<QStringList>, cells);
        QCOMPARE(Tsv::read(text), cells);
        // What we write reads back as the same cells, each line ending in CRLF.
        const QString written = Tsv::write(cells);
        QVERIFY(written.endsWith(QStringLiteral("\r\n")));
        QCOMPARE(Tsv::read(written), cells);
    }

    void valuesKeepTheirKindAndNulls()
    {
        // Columns bound by position whatever the table calls them, with the grid's captions.
        const QVariant null;
        TestDatabase file({ { QStringLiteral("A7"), 3000000000LL, 150.025, 0.1 + 0.2, QStringLiteral("438.5") },
                            { null, null, null, null, null } },
                          QStringLiteral("CREATE TABLE 信道表 (a, b, c, d, e)"));
        Channels rig;
        QVERIFY2(rig.store.open(file.path()), qPrintable(rig.store.errorString()));
        QStringList captions, texts;
        for (int i = 0; i < rig.store.columnCount(); ++i) {
            captions << rig.table.headerData(i, Qt::Horizontal, Qt::DisplayRole).toString();
            texts << rig.store.index(0, i).data().toString();   // the text form the encoder reads
        }
        QCOMPARE(captions, QStringList({ "记录编号", "信道号", "接收频率  (MHz)", "发送频率  (MHz)", "备注" }));
        QCOMPARE(texts, QStringList({ "A7", "3000000000", "150.025", "0.3", "438.5" }));
        QCOMPARE(rig.store.rowAt(0)->values[2].typeId(), QMetaType::Double);
        QCOMPARE(rig.store.rowAt(0)->values[4].typeId(), QMetaType::QString);
        for (const QVariant &v : rig.store.rowAt(1)->values)
            QVERIFY(!v.isValid());
        QVERIFY(!rig.store.rowAt(2));
    }

    // What a person types is stored as meant: full-width forms as ASCII, a
    // comma in a frequency as the decimal point, with a note where the
    // reading is not the text as written.
    void typingIsReadAsWritten_data()
    {
        QTest::addColumn<int>("field");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QVariant>("stored");
        QTest::addColumn<QString>("note");
        const QString none;
        QTest::newRow("comma decimal") << 2 << "430,175" << QVariant(430.175) << "按 430.175 读取（输入的是 430,175）";
        QTest::newRow("short comma") << 3 << "438,5" << QVariant(438.5) << "按 438.5 读取（输入的是 438,5）";
        QTest::newRow("full-width") << 2 << "４３０．１２５" << QVariant(430.125) << "按 430.125 读取（输入的是 ４３０．１２５）";
        QTest::newRow("full-width channel") << 1 << "５" << QVariant(5LL) << "按 5 读取（输入的是 ５）";
        QTest::newRow("plain") << 2 << " 438.5 " << QVariant(438.5) << none;
        QTest::newRow("exponent") << 3 << "1e3" << QVariant(1000.0) << none;
        QTest::newRow("two commas stay text") << 2 << "1,430,175" << QVariant(QStringLiteral("1,430,175")) << none;
        QTest::newRow("channel comma is text") << 1 << "5,0" << QVariant(QStringLiteral("5,0")) << none;
        QTest::newRow("remark as typed") << 4 << "４３０,５" << QVariant(QStringLiteral("４３０,５")) << none;
    }

    void typingIsReadAsWritten()
    {
        QFETCH(int, field);
        QFETCH(QString, typed);
        QFETCH(QVariant, stored);
        QFETCH(QString, note);
        const FieldValue::Typed reading = FieldValue::fromTyping(field, typed);
        QCOMPARE(reading.value, stored);
        QCOMPARE(reading.value.typeId(), stored.typeId());
        QCOMPARE(reading.note, note);
    }

    // The first line of a paste is a header when a spreadsheet put one there.
    void headerRowsAreNotChannels_data()
    {
        QTest::addColumn<QString>("clipboard");
        QTest::addColumn<int>("column");
        QTest::addColumn<bool>("header");
        QTest::newRow("LibreOffice, captions") << "信道号\t接收频率  (MHz)\t发送频率  (MHz)\n1\t438.5\t438.5\n" << 1 << true;
        QTest::newRow("Excel, names, CRLF, quoted") << "\"记录编号\"\t备注\t\"信道号\"\r\n1\tx\t5\r\n" << 0 << true;
        QTest::newRow("WPS, other names") << "Ch\tRX\tTX\r\n1\t438.5\t438.5\r\n2\t439\t439\r\n" << 1 << true;
        QTest::newRow("no header") << "1\t438.5\t438.5\r\n2\t439\t439\r\n" << 1 << false;
        QTest::newRow("text rows") << "甲\t乙\r\n丙\t丁\r\n" << 4 << false;
        QTest::newRow("one line") << "Ch\tRX\r\n" << 1 << false;
    }

    void headerRowsAreNotChannels()
    {
        QFETCH(QString, clipboard);
        QFETCH(int, column);
        QFETCH(bool, header);
        QCOMPARE(HeaderRow::isHeader(Tsv::read(clipboard), column), header);
    }

    void cursorWalksALargeTableFetchedLazily()
    {
        TestDatabase file(TestDatabase::numberedRows(1000));
        Channels rig;
        QVERIFY(rig.store.open(file.path()));
        QVERIFY(rig.store.rowCount() < 1000 && rig.store.canFetchMore());
        ChannelCursor cursor(&rig.store, &rig.table);
        auto record = [&] { return rig.store.rowAt(cursor.currentRow())->values[0].toInt(); };
        QVERIFY(cursor.atEnd());
        QVERIFY(cursor.moveFirst());
        QVERIFY(cursor.isRowSelected(0, {}));
        for (int i = 1; i < 700; ++i)
            cursor.moveNext();
        QCOMPARE(record(), 700);
        for (int i = 700; i < 1001; ++i)
            cursor.moveNext();
        QVERIFY(cursor.atEnd());
        QCOMPARE(rig.store.rowCount(), 1000);
        // The grid moving the current row moves the cursor, and its column stays.
        cursor.setCurrentIndex(rig.store.index(1, 2), QItemSelectionModel::ClearAndSelect);
        QCOMPARE(record(), 2);
        QVERIFY(cursor.moveFirst());
        QCOMPARE(cursor.currentIndex().column(), 2);

        TestDatabase emptyTable;
        QVERIFY(rig.store.open(emptyTable.path()));
        QVERIFY(!cursor.moveFirst());
        QVERIFY(cursor.atEnd());
    }

    void refusedEditIsKeptAndReported()
    {
        TestDatabase file(TestDatabase::numberedRows(2));
        Channels rig;
        QVERIFY(rig.store.open(file.path()));
        QSignalSpy failures(&rig.editor, &ChannelEditor::saveFailed);

        FileLock lock(file.path());
        QVERIFY(rig.table.setData(rig.store.index(0, 2), QStringLiteral("439.5")));
        QCOMPARE(failures.count(), 1);
        QVERIFY(rig.table.index(0, 2).data(Qt::BackgroundRole).isValid());
        // The transfer reads what the operator sees.
        QCOMPARE(rig.store.rowAt(0)->values[2].toDouble(), 439.5);
        // Neither beside the file (a folder holds the name) nor in the state
        // folder (its path runs through a file) can it be kept: it is said lost.
        QVERIFY(QDir(file.dir()).mkdir(QStringLiteral("char4.mdb.unsaved.csv")));
        const QByteArray stateHome = qgetenv("XDG_STATE_HOME");
        qputenv("XDG_STATE_HOME", file.path().toUtf8());
        const ChannelExchange::Outcome lost = UnsavedEdits::writeSideFile(rig.store);
        qputenv("XDG_STATE_HOME", stateHome);
        QVERIFY(!lost.ok);
        QVERIFY2(lost.message.startsWith(QStringLiteral("有 1 处修改未能保存到 char4.mdb，也不能另存"))
                         && lost.message.endsWith(QStringLiteral("这些修改已丢失。")),
                 qPrintable(lost.message));
        lock.release();

        // The lock is gone: the next edit also writes the one that was refused.
        QVERIFY(rig.table.setData(rig.store.index(1, 4), QStringLiteral("新")));
        QCOMPARE(rig.store.unsavedCount(), 0);
        QCOMPARE(file.stored()[0][2], QVariant(439.5));
        QCOMPARE(file.stored()[1][4], QVariant(QStringLiteral("新")));
        QVERIFY(!rig.store.index(0, 2).data(Qt::BackgroundRole).isValid());

        // A side file of whole rows, as earlier versions kept them, is still written.
        const QString old = file.dir() + QStringLiteral("/old.unsaved.csv");
        QVariantList row(rig.store.rowAt(1)->values.begin(), rig.store.rowAt(1)->values.end());
        row[4] = QStringLiteral("旧格式");
        QFile kept(old);
        QVERIFY(kept.open(QIODevice::WriteOnly) && kept.write(ChannelCsv::write({ row })) > 0);
        kept.close();
        const auto outcome = UnsavedEdits::apply(rig.editor, old, [](const QStringList &) { return false; });
        QCOMPARE(outcome.message, QStringLiteral("已把 1 处修改写入 char4.mdb。"));
        QCOMPARE(file.stored()[1][4], QVariant(QStringLiteral("旧格式")));
        QVERIFY(!QFile::exists(old));
    }

    // A kept edit is written later only over the value it replaced: another
    // program's change meanwhile is a conflict, and the rows stay as they are
    // until the operator decides.
    void keptEditDoesNotOverwriteAnotherProgram()
    {
        TestDatabase file(TestDatabase::numberedRows(2));
        Channels rig;
        QVERIFY(rig.store.open(file.path()));
        {
            FileLock lock(file.path());
            QVERIFY(rig.table.setData(rig.store.index(0, 2), QStringLiteral("439.5")));
        }
        otherProgram(file.path(), QStringLiteral("UPDATE 信道表 SET 接收频率 = 440 WHERE rowid = 1"));
        QSignalSpy conflicts(&rig.editor, &ChannelEditor::conflicted);
        QVERIFY(!rig.editor.saveUnsaved());
        QCOMPARE(conflicts.count(), 1);
        QVERIFY(rig.store.isHeld());
        QCOMPARE(file.stored()[0][2], QVariant(440));
    }
};

QTEST_MAIN(TestRowCommands)
#include "tst_rowcommands.moc"
