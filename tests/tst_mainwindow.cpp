#include "FakeSerialLink.h"
#include "MessageBoxes.h"
#include "TestDatabase.h"

#include "MainWindow.h"
#include "Twips.h"
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

    item(window, "退出")->trigger();
    // The refusal of the edit is reported, then the exit asks what to do with it.
    QTRY_COMPARE(boxes.seen.size(), 2);
    QVERIFY(boxes.texts().at(0).startsWith(QStringLiteral("第 56 行“备注”的修改未能保存到 char4.mdb")));
    QVERIFY(boxes.texts().at(1).startsWith(QStringLiteral("有 1 处修改未能保存到 char4.mdb")));
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
    QCOMPARE(grid->model()->index(1, 1).data().toString(), QStringLiteral("hijklmnop"));

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

QTEST_MAIN(TestMainWindow)
#include "tst_mainwindow.moc"
