#include "FakeSerialLink.h"
#include "MessageBoxes.h"
#include "TestDatabase.h"

#include "MainWindow.h"
#include "Twips.h"
#include "ChannelCsv.h"
#include "ChannelCursor.h"
#include "ChannelFileKind.h"
#include "ChannelGrid.h"
#include "TransferSequence.h"

#include <QClipboard>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QProgressBar>
#include <QtTest>

#include <csignal>

static QAction *item(QWidget *window, const char *name)
{
    return window->findChild<QAction *>(QString::fromUtf8(name));
}

// Ticks by hand: the timer stays active (so the sequence runs) but never fires.
static void ticks(MainWindow &window, int n)
{
    window.transfer()->timer()->start(1000000);
    for (int i = 0; i < n; ++i)
        window.transfer()->tick();
}

class TestMainWindow : public QObject
{
    Q_OBJECT
private slots:
    void designAndMenu();
    void loadOrderAndTheCom1Warning();
    void transferRunsFromTheMenu();
    void exitStopsTheTransferAndKeepsRefusedEdits();
    void accessFileIsReadOnlyUntilConverted();
    void longRemarkIsEditedWhole();
    void gridKeysActOnTheSelection();
    void signalKeepsRefusedEditsForTheNextStart();
    void damagedAccessFileLeavesTheWindowUsable();
};

void TestMainWindow::designAndMenu()
{
    QCOMPARE(Twips::toPixels(11880, 96), 792);
    QCOMPARE(Twips::toPixels(7860, 96), 524);
    QCOMPARE(Twips::toPixels(11880, 120), 990);
    TestDatabase file(TestDatabase::numberedRows(3));
    MainWindow window(std::unique_ptr<SerialLink>(new FakeSerialLink), file.path());
    const int dpi = window.logicalDpiX();
    QCOMPARE(window.centralWidget()->size(), QSize(Twips::toPixels(11880, dpi), Twips::toPixels(7860, dpi)));
    auto *grid = window.findChild<ChannelGrid *>(QStringLiteral("DataGrid1"));
    for (QWidget *w : window.centralWidget()->findChildren<QWidget *>(Qt::FindDirectChildrenOnly))
        QCOMPARE(w->focusPolicy() != Qt::NoFocus, w == grid);   // only the grid takes the focus

    QStringList bar;
    for (QAction *a : window.menuBar()->actions())
        bar << a->objectName() + u'=' + a->text();
    QCOMPARE(bar, QStringList({ QStringLiteral("型号=") + QString(22, u' ') + QStringLiteral("对讲机型号(&D)"),
                                QStringLiteral("传送=") + QString(8, u' ') + QStringLiteral("数据传送(&S)"),
                                QStringLiteral("系统=") + QString(8, u' ') + QStringLiteral("系统设置(&X)"),
                                QStringLiteral("退出=") + QString(7, u' ') + QStringLiteral("退出系统(&T)"),
                                QStringLiteral("帮助=") + QString(7, u' ') + QStringLiteral("帮助(&B)") }));
    QStringList system;
    for (QAction *a : item(&window, "系统")->menu()->actions())
        system << a->objectName();
    QCOMPARE(system, QStringList({ "端口", "波特率", "串口设备", "检测数据线", "", "导入", "导出", "转换", "", "检查",
                                   "", "新建", "打开", "最近", "", "打印", "传送记录" }));
}

void TestMainWindow::loadOrderAndTheCom1Warning()
{
    for (bool busy : { false, true }) {
        TestDatabase file(TestDatabase::numberedRows(60));
        auto *port = new FakeSerialLink;
        if (busy)
            port->busy = { 1 };
        MainWindow window(std::unique_ptr<SerialLink>(port), file.path());
        MessageBoxes boxes;
        boxes.probe = [&window] { return window.isVisible(); };
        window.load(busy ? QDate(2010, 1, 5) : QDate(2004, 6, 8));
        QCOMPARE(window.findChild<QLabel *>(QStringLiteral("Label8"))->text(),
                 busy ? QStringLiteral("2010年1月5日") : QStringLiteral("2004年6月8日"));
        QCOMPARE(window.findChild<ChannelCursor *>()->currentRow(), 0);
        QCOMPARE(port->calls, QStringList({ "number 1", "open 1" }));
        QCOMPARE(port->isOpen(), !busy);
        QVERIFY(item(&window, "传送")->isEnabled());
        for (const char *name : { "型号", "波特率", "帮助" })   // items with no action
            item(&window, name)->trigger();
        QTest::qWait(30);
        if (!busy) {
            QVERIFY(boxes.seen.isEmpty());
            continue;
        }
        QCOMPARE(boxes.seen, QStringList(systemWarning(QStringLiteral("串行端口 1已被其它设备使用，请选择 COM2 "))));
        QCOMPARE(boxes.probes, QList<bool>({ true }));   // the window was up before the box
        item(&window, "传送")->trigger();
        QTRY_COMPARE(boxes.seen.size(), 2);
        QVERIFY(boxes.texts().at(1).startsWith(QStringLiteral("串行端口 1（/dev/fake1）未打开")));
        QVERIFY(port->written.isEmpty());
    }
}

void TestMainWindow::transferRunsFromTheMenu()
{
    TestDatabase file(TestDatabase::numberedRows(60));
    auto *port = new FakeSerialLink;
    MainWindow window(std::unique_ptr<SerialLink>(port), file.path());
    window.load();
    auto *status = window.findChild<QLabel *>(QStringLiteral("Label2"));
    auto *bar = window.findChild<QProgressBar *>(QStringLiteral("ProgressBar1"));
    item(&window, "传送")->trigger();
    QCOMPARE(status->text(), QStringLiteral("正在传送数据,,,,,,,"));
    // 数据传送 again while it runs asks first; No leaves the transfer alone, Yes starts over.
    ticks(window, 10);
    MessageBoxes boxes(QMessageBox::No);
    item(&window, "传送")->trigger();
    QTRY_COMPARE(boxes.seen.size(), 1);
    QVERIFY(boxes.texts().at(0).startsWith(QStringLiteral("正在传送数据（已发送 10 帧，共 51 帧）。")));
    QCOMPARE(window.transfer()->counter(), 20);
    boxes.setAnswer(QMessageBox::Yes);
    item(&window, "传送")->trigger();
    QTRY_COMPARE(boxes.seen.size(), 2);
    QCOMPARE(window.transfer()->counter(), 0);
    port->written.clear();
    ticks(window, 51);
    QCOMPARE(bar->value(), 100);
    QCOMPARE(status->text(), QStringLiteral("数据传送完毕!!!"));
    QCOMPARE(port->written.size(), 816);
    ticks(window, 14);
    QCOMPARE(bar->value(), 0);
    QCOMPARE(status->text(), QString());
    QCOMPARE(window.findChild<ChannelCursor *>()->currentRow(), 0);
}

void TestMainWindow::exitStopsTheTransferAndKeepsRefusedEdits()
{
    TestDatabase file(TestDatabase::numberedRows(60));
    auto *port = new FakeSerialLink;
    QPointer<MainWindow> window = new MainWindow(std::unique_ptr<SerialLink>(port), file.path());
    window->load();
    auto *grid = window->findChild<ChannelGrid *>(QStringLiteral("DataGrid1"));
    MessageBoxes boxes(QMessageBox::Cancel);
    QSignalSpy sent(window->transfer(), &TransferSequence::frameSent);

    // Another program holds the file, and an edit is still open in its cell
    // when the transfer starts; while it runs the grid takes no edit.
    QSqlDatabase other = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("locker"));
    other.setDatabaseName(file.path());
    QVERIFY(other.open());
    QSqlQuery lock(other);
    QVERIFY(lock.exec(QStringLiteral("BEGIN IMMEDIATE")));
    const QModelIndex cell = grid->model()->index(55, 4);
    grid->setCurrentIndex(cell);
    grid->edit(cell);
    QTRY_VERIFY(qobject_cast<QLineEdit *>(QApplication::focusWidget()));
    qobject_cast<QLineEdit *>(QApplication::focusWidget())->setText(QStringLiteral("改"));
    item(window, "传送")->trigger();
    QTRY_VERIFY(sent.count() >= 3);
    QVERIFY(!(grid->model()->flags(cell) & Qt::ItemIsEditable));
    // Starting committed the edit, which the locked file refused.
    QTRY_COMPARE(boxes.seen.size(), 1);
    QVERIFY(boxes.texts().at(0).startsWith(QStringLiteral("第 56 行“备注”的修改未能保存到 char4.mdb")));

    // The exit during a transfer asks first: No, and it goes on.
    auto transferAnswer = QMessageBox::No;
    boxes.probe = [&] {
        boxes.setAnswer(boxes.seen.last().contains(QStringLiteral("正在传送数据")) ? transferAnswer : QMessageBox::Cancel);
        return true;
    };
    window->close();
    QTRY_COMPARE(boxes.seen.size(), 2);
    QVERIFY(boxes.texts().at(1).startsWith(QStringLiteral("正在传送数据（已发送 ")));
    QVERIFY(window && window->transfer()->isRunning());
    // Yes to that, and the exit asks what to do with the refused edit.
    transferAnswer = QMessageBox::Yes;
    item(window, "退出")->trigger();
    QTRY_COMPARE(boxes.seen.size(), 4);
    QVERIFY(boxes.texts().at(2).startsWith(QStringLiteral("正在传送数据（已发送 ")));
    QVERIFY(boxes.texts().at(3).startsWith(QStringLiteral("有 1 处修改未能保存到 char4.mdb")));
    QVERIFY(window);   // Cancel: the window stays, the edit with it
    QCOMPARE(grid->model()->index(55, 4).data().toString(), QStringLiteral("改"));

    QVERIFY(lock.exec(QStringLiteral("ROLLBACK")));
    QSignalSpy gone(port, &QObject::destroyed);
    item(window, "退出")->trigger();
    QTRY_VERIFY(!window);
    QCOMPARE(gone.count(), 1);   // the port went with the window
    const int sentAtExit = sent.count();
    QTest::qWait(250);
    QCOMPARE(sent.count(), sentAtExit);
    QCOMPARE(file.stored()[55][4], QVariant(QStringLiteral("改")));
    other.close();
}

void TestMainWindow::accessFileIsReadOnlyUntilConverted()
{
    // The Access 97 fixture with its Table1 renamed to 信道表: in GBK the new
    // name has the same six bytes, so the file stays intact.
    QTemporaryDir dir;
    QFile fixture(QStringLiteral(QT7020_TEST_DATA "/jet3-access97.mdb"));
    QVERIFY(fixture.open(QIODevice::ReadOnly));
    const QString path = dir.filePath(QStringLiteral("char4.mdb"));
    QFile jet(path);
    QVERIFY(jet.open(QIODevice::WriteOnly));
    jet.write(fixture.readAll().replace("Table1", QByteArray::fromHex("d0c5b5c0b1ed")));
    jet.close();

    auto *port = new FakeSerialLink;
    MainWindow window(std::unique_ptr<SerialLink>(port), path);
    MessageBoxes boxes;
    window.load();
    auto *grid = window.findChild<ChannelGrid *>(QStringLiteral("DataGrid1"));
    QTRY_COMPARE(grid->model()->index(1, 1).data().toString(), QStringLiteral("hijklmnop"));   // read in the background

    QTest::keyClick(grid->viewport(), Qt::Key_5);   // typing is refused, pointing to the conversion
    QTRY_COMPARE(boxes.seen.size(), 1);
    QVERIFY(boxes.texts().at(0).contains(QStringLiteral("转换为新格式")));
    QCOMPARE(grid->model()->index(0, 1).data().toString(), QStringLiteral("b"));

    // It sends like any other file: its channel fields hold letters, so null frames.
    item(&window, "传送")->trigger();
    ticks(window, 3);
    QCOMPARE(port->written, QByteArray(32, '0'));
    window.transfer()->abort(QString());
    QTRY_COMPARE(boxes.seen.size(), 2);

    item(&window, "转换")->trigger();
    QTRY_COMPARE(boxes.seen.size(), 3);
    QVERIFY(boxes.texts().at(2).contains(QStringLiteral("char4.jet.mdb")));
    QCOMPARE(channelFileKind(path), ChannelFileKind::SQLite);
    QVERIFY(grid->model()->flags(grid->model()->index(0, 1)) & Qt::ItemIsEditable);
    QCOMPARE(grid->model()->index(1, 1).data().toString(), QStringLiteral("hijklmnop"));
    item(&window, "转换")->trigger();
    QTRY_COMPARE(boxes.seen.size(), 4);
    QVERIFY(boxes.texts().at(3).contains(QStringLiteral("不需要转换")));
}

void TestMainWindow::longRemarkIsEditedWhole()
{
    // Longer than a line editor holds: leaving the cell must not cut it.
    const QString remark = QString(40000, u'长') + QStringLiteral("尾");
    TestDatabase file({ { 1, 1, 145.0, 145.0, remark } });
    MainWindow window(std::unique_ptr<SerialLink>(new FakeSerialLink), file.path());
    window.load();
    auto *grid = window.findChild<ChannelGrid *>(QStringLiteral("DataGrid1"));
    grid->setCurrentIndex(grid->model()->index(0, 4));
    grid->edit(grid->currentIndex());
    QTRY_VERIFY(grid->viewport()->isAncestorOf(QApplication::focusWidget()));
    grid->commitPendingEdit();
    QCOMPARE(file.stored()[0][4], QVariant(remark));
}

void TestMainWindow::gridKeysActOnTheSelection()
{
    TestDatabase file(TestDatabase::numberedRows(5));
    ChannelModel model;
    QVERIFY(model.open(file.path()));
    ChannelCursor cursor(&model);
    ChannelGrid grid;
    grid.setCursor(&cursor);
    grid.show();
    grid.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&grid));
    auto rows = [&] {
        QList<int> selected;
        for (const QModelIndex &index : cursor.selectedRows())
            selected << index.row();
        std::sort(selected.begin(), selected.end());
        return selected;
    };
    auto records = [&] {
        QStringList numbers;
        for (int r = 0; r < model.rowCount(); ++r)
            numbers << model.index(r, 0).data().toString();
        return numbers.join(u' ');
    };
    // Cells of rows 2 and 3 selected: the copies follow them and become the selection.
    cursor.setCurrentIndex(model.index(1, 1), QItemSelectionModel::NoUpdate);
    cursor.select(QItemSelection(model.index(1, 1), model.index(2, 2)), QItemSelectionModel::ClearAndSelect);
    QTest::keyClick(&grid, Qt::Key_D, Qt::ControlModifier);
    QCOMPARE(records(), QStringLiteral("1 2 3 6 7 4 5"));
    QCOMPARE(rows(), QList<int>({ 3, 4 }));
    QCOMPARE(cursor.currentRow(), 3);
    QTest::keyClick(&grid, Qt::Key_Up, Qt::AltModifier);
    QCOMPARE(records(), QStringLiteral("1 2 6 7 3 4 5"));
    QCOMPARE(rows(), QList<int>({ 2, 3 }));
    QTest::keyClick(&grid, Qt::Key_C, Qt::ControlModifier);
    QCOMPARE(QGuiApplication::clipboard()->text().count(QStringLiteral("\r\n")), 2);
    QTest::keyClick(&grid, Qt::Key_Delete, Qt::ControlModifier);
    QCOMPARE(records(), QStringLiteral("1 2 3 4 5"));
    cursor.setCurrentIndex(model.index(4, 0), QItemSelectionModel::ClearAndSelect);
    QTest::keyClick(&grid, Qt::Key_V, Qt::ControlModifier);   // the two rows again, past the end
    QCOMPARE(records(), QStringLiteral("1 2 3 4 6 7"));
    QTest::keyClick(&grid, Qt::Key_Z, Qt::ControlModifier);
    QTest::keyClick(&grid, Qt::Key_Insert);
    QCOMPARE(records(), QStringLiteral("1 2 3 4 6 5"));
    QCOMPARE(cursor.currentRow(), 4);
    QTest::keyClick(&grid, Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(records(), QStringLiteral("1 2 3 4 5"));
    QTest::keyClick(&grid, Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
    QCOMPARE(records(), QStringLiteral("1 2 3 4 6 5"));
    QTest::keyClick(&grid, Qt::Key_Z, Qt::ControlModifier);
    QTest::keyClick(&grid, Qt::Key_Y, Qt::ControlModifier);
    QCOMPARE(records(), QStringLiteral("1 2 3 4 6 5"));
}

void TestMainWindow::signalKeepsRefusedEditsForTheNextStart()
{
    TestDatabase file(TestDatabase::numberedRows(5));
    const QString side = file.path() + QStringLiteral(".unsaved.csv");
    QSqlDatabase other = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("holder"));
    other.setDatabaseName(file.path());
    QVERIFY(other.open());
    QSqlQuery lock(other);
    QVERIFY(lock.exec(QStringLiteral("BEGIN IMMEDIATE")));
    MessageBoxes boxes(QMessageBox::Yes);
    {
        MainWindow window(std::make_unique<FakeSerialLink>(), file.path());
        window.load();
        auto *grid = window.findChild<ChannelGrid *>(QStringLiteral("DataGrid1"));
        QVERIFY(grid->model()->setData(grid->model()->index(2, 4), QStringLiteral("未存")));
        QTRY_COMPARE(boxes.seen.size(), 1);   // the refusal
        QVERIFY(!QFile::exists(side));
        // The program's event loop ends on the signal, after the edit went beside the file.
        ::raise(SIGTERM);
        QTimer guard;
        connect(&guard, &QTimer::timeout, [] { QCoreApplication::exit(1); });
        guard.start(5000);
        QCOMPARE(QCoreApplication::exec(), 0);
        QVERIFY(QFile::exists(side));
    }
    QFile kept(side);
    ImportedRows rows;
    QString error;
    QVERIFY(kept.open(QIODevice::ReadOnly) && ChannelCsv::read(kept.readAll(), &rows, &error));
    QCOMPARE(rows.rows, QVector<QVariantList>({ { 3LL, 3LL, 430.0375, 440.0375, QStringLiteral("未存") } }));

    // The next start offers them; the file takes them now, and the side file goes.
    QVERIFY(lock.exec(QStringLiteral("ROLLBACK")));
    other.close();
    MainWindow next(std::make_unique<FakeSerialLink>(), file.path());
    next.load();
    QTRY_COMPARE(boxes.seen.size(), 3);
    QVERIFY(boxes.texts().at(1).startsWith(QStringLiteral("上次退出时，有修改未能保存到 char4.mdb，已另存在 char4.mdb.unsaved.csv。")));
    QCOMPARE(boxes.texts().at(2), QStringLiteral("已把 1 行修改写入 char4.mdb。"));
    QCOMPARE(file.stored()[2][4], QVariant(QStringLiteral("未存")));
    QVERIFY(!QFile::exists(side));
}

// The Access file is read by a reader that hangs, then by one that crashes: the
// window is up and answers meanwhile, and the crash becomes a message.
void TestMainWindow::damagedAccessFileLeavesTheWindowUsable()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("char4.mdb"));
    QVERIFY(QFile::copy(QStringLiteral(QT7020_TEST_DATA "/jet3-access97.mdb"), path));
    const QByteArray program = qgetenv("QT7020_JET_READER");
    const auto restore = qScopeGuard([&] { qputenv("QT7020_JET_READER", program); });
    MessageBoxes boxes;
    {
        qputenv("QT7020_JET_READER", "sh -c \"sleep 60\"");
        MainWindow window(std::make_unique<FakeSerialLink>(), path);
        window.load();
        QCOMPARE(window.findChild<QLabel *>(QStringLiteral("Label2"))->text(), QStringLiteral("正在读取 char4.mdb……"));
        item(&window, "传送")->trigger();   // the menu answers: not open yet
        QTRY_COMPARE(boxes.seen.size(), 1);
        QVERIFY(boxes.texts().at(0).contains(QStringLiteral("未打开")));
    }   // and the reader goes with the window
    qputenv("QT7020_JET_READER", "sh -c \"kill -SEGV $$\"");
    MainWindow window(std::make_unique<FakeSerialLink>(), path);
    window.load();
    QTRY_COMPARE(boxes.seen.size(), 2);
    QCOMPARE(boxes.texts().at(1), QStringLiteral("信道数据库 char4.mdb 不能使用（查找位置：%1）：文件已损坏（读取程序异常终止，信号 11）。")
                                          .arg(QDir::toNativeSeparators(dir.path())));
}

QTEST_MAIN(TestMainWindow)
#include "tst_mainwindow.moc"
