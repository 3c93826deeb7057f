#include "FakeSerialLink.h"
#include "MessageBoxes.h"
#include "TestDatabase.h"

#include "app/MainWindow.h"
#include "app/Twips.h"
#include "channels/ChannelCursor.h"
#include "channels/ChannelFileKind.h"
#include "channels/ChannelGrid.h"
#include "channels/ChannelModel.h"
#include "transfer/TransferSequence.h"

#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QProgressBar>
#include <QtTest>

class TestMainWindow : public QObject
{
    Q_OBJECT
private slots:
    void dateLine();
    void designInTwips();
    void menuCaptionsInOrder();
    void loadWithFreePortShowsNoMessage();
    void loadWithBusyPortWarnsAfterTheWindowIsShown();
    void loadWithoutDatabaseNamesTheFileAndStillOpensThePort();
    void transferRunsFromTheMenu();
    void exitDuringTransferSendsNothingMore();
    void exitKeepsEditsTheFileRefused();
    void accessFileIsReadOnlyUntilConverted();
};

void TestMainWindow::dateLine()
{
    QCOMPARE(MainWindow::dateLine(QDate(2004, 6, 8)), QStringLiteral("2004年6月8日"));
    QCOMPARE(MainWindow::dateLine(QDate(2010, 1, 5)), QStringLiteral("2010年1月5日"));
    QCOMPARE(MainWindow::dateLine(QDate(2026, 12, 31)), QStringLiteral("2026年12月31日"));
}

void TestMainWindow::designInTwips()
{
    QCOMPARE(Twips::toPixels(11880, 96), 792);
    QCOMPARE(Twips::toPixels(7860, 96), 524);
    QCOMPARE(Twips::toPixels(1094.74, 96), 73);
    QCOMPARE(Twips::toPixels(11880, 120), 990);
    TestDatabase file(TestDatabase::numberedRows(3));
    MainWindow window(new FakeSerialLink, file.path());
    const int dpi = window.logicalDpiX();
    QCOMPARE(window.centralWidget()->size(), QSize(Twips::toPixels(11880, dpi), Twips::toPixels(7860, dpi)));
    auto *grid = window.findChild<ChannelGrid *>(QStringLiteral("DataGrid1"));
    QCOMPARE(grid->geometry(), QRect(Twips::toPixels(2520, dpi), Twips::toPixels(2400, dpi),
                                     Twips::toPixels(7695, dpi), Twips::toPixels(5055, dpi)));
    QCOMPARE(grid->columnWidth(2), Twips::toPixels(1964.98, dpi));
    QCOMPARE(window.findChild<QLabel *>(QStringLiteral("Label1"))->text(), QStringLiteral("信道设置系统"));
    QCOMPARE(window.findChild<QLabel *>(QStringLiteral("Label3"))->text(), QStringLiteral("(QT_7020)"));
    QCOMPARE(window.findChild<QLabel *>(QStringLiteral("Label2"))->text(), QStringLiteral(" "));
    QCOMPARE(window.windowTitle(), QStringLiteral("QT7020"));
    // Only the grid takes the keyboard focus.
    for (QWidget *w : window.centralWidget()->findChildren<QWidget *>(Qt::FindDirectChildrenOnly))
        QCOMPARE(w->focusPolicy() != Qt::NoFocus, w == grid);
}

void TestMainWindow::menuCaptionsInOrder()
{
    TestDatabase file;
    MainWindow window(new FakeSerialLink, file.path());
    QStringList bar;
    for (QAction *a : window.menuBar()->actions())
        bar << a->objectName() + u'=' + a->text();
    QCOMPARE(bar, QStringList({
                          QStringLiteral("型号=") + QString(22, u' ') + QStringLiteral("对讲机型号(&D)"),
                          QStringLiteral("传送=") + QString(8, u' ') + QStringLiteral("数据传送(&S)"),
                          QStringLiteral("系统=") + QString(8, u' ') + QStringLiteral("系统设置(&X)"),
                          QStringLiteral("退出=") + QString(7, u' ') + QStringLiteral("退出系统(&T)"),
                          QStringLiteral("帮助=") + QString(7, u' ') + QStringLiteral("帮助(&B)"),
                  }));
    QStringList system;
    for (QAction *a : window.findChild<QAction *>(QStringLiteral("系统"))->menu()->actions())
        system << a->objectName() + u'=' + a->text();
    QCOMPARE(system.mid(0, 2), QStringList({ QStringLiteral("端口=选择端口"), QStringLiteral("波特率=波特率") }));
}

void TestMainWindow::loadWithFreePortShowsNoMessage()
{
    TestDatabase file(TestDatabase::numberedRows(60));
    auto *port = new FakeSerialLink;
    MainWindow window(port, file.path());
    MessageBoxes boxes;
    window.load(QDate(2004, 6, 8));
    QTest::qWait(30);
    QVERIFY(boxes.seen.isEmpty());
    QCOMPARE(window.findChild<QLabel *>(QStringLiteral("Label8"))->text(), QStringLiteral("2004年6月8日"));
    QCOMPARE(window.findChild<ChannelCursor *>()->currentRow(), 0);
    QVERIFY(port->isOpen());
    QCOMPARE(port->portNumber(), 1);
    QCOMPARE(port->calls, QStringList({ QStringLiteral("number 1"), QStringLiteral("open 1") }));

    // The items without an action do nothing.
    for (const char *name : { "型号", "波特率", "帮助" })
        window.findChild<QAction *>(QString::fromUtf8(name))->trigger();
    QTest::qWait(30);
    QVERIFY(boxes.seen.isEmpty());
    QCOMPARE(port->calls.size(), 2);
    QVERIFY(!window.transfer()->isRunning());
    QVERIFY(window.isVisible());
}

void TestMainWindow::loadWithBusyPortWarnsAfterTheWindowIsShown()
{
    TestDatabase file(TestDatabase::numberedRows(60));
    auto *port = new FakeSerialLink;
    port->busy = { 1 };
    MainWindow window(port, file.path());
    MessageBoxes boxes;
    boxes.probe = [&window] { return window.isVisible(); };
    window.load(QDate(2010, 1, 5));
    QCOMPARE(boxes.seen, QStringList(systemWarning(QStringLiteral("串行端口 1已被其它设备使用，请选择 COM2 "))));
    QCOMPARE(boxes.probes, QList<bool>({ true }));
    QCOMPARE(window.findChild<QLabel *>(QStringLiteral("Label8"))->text(), QStringLiteral("2010年1月5日"));
    QVERIFY(!port->isOpen());
    QCOMPARE(port->portNumber(), 1);
    QVERIFY(window.findChild<QAction *>(QStringLiteral("传送"))->isEnabled());

    // A transfer now is refused with the port named, not sent into nothing.
    window.findChild<QAction *>(QStringLiteral("传送"))->trigger();
    QTRY_COMPARE(boxes.seen.size(), 2);
    QVERIFY(boxes.texts().at(1).startsWith(QStringLiteral("串行端口 1（/dev/fake1）未打开")));
    QVERIFY(port->written.isEmpty());
}

void TestMainWindow::loadWithoutDatabaseNamesTheFileAndStillOpensThePort()
{
    QTemporaryDir dir;
    auto *port = new FakeSerialLink;
    MainWindow window(port, dir.filePath(QStringLiteral("char4.mdb")));
    MessageBoxes boxes;
    window.load();
    QCOMPARE(boxes.seen.size(), 1);
    const QString text = boxes.texts().at(0);
    QVERIFY2(text.contains(QStringLiteral("char4.mdb")) && text.contains(QDir::toNativeSeparators(dir.path()))
                     && text.contains(QStringLiteral("文件不存在")),
             qPrintable(text));
    QVERIFY(!QFile::exists(dir.filePath(QStringLiteral("char4.mdb"))));
    QVERIFY(port->isOpen());

    window.findChild<QAction *>(QStringLiteral("传送"))->trigger();
    QTRY_COMPARE(boxes.seen.size(), 2);
    QVERIFY(boxes.texts().at(1).contains(QStringLiteral("未打开")));
    QVERIFY(port->written.isEmpty());
}

void TestMainWindow::transferRunsFromTheMenu()
{
    TestDatabase file(TestDatabase::numberedRows(60));
    auto *port = new FakeSerialLink;
    MainWindow window(port, file.path());
    window.load();
    auto *status = window.findChild<QLabel *>(QStringLiteral("Label2"));
    auto *bar = window.findChild<QProgressBar *>(QStringLiteral("ProgressBar1"));
    window.findChild<QAction *>(QStringLiteral("传送"))->trigger();
    QCOMPARE(status->text(), QStringLiteral("正在传送数据,,,,,,,"));
    TransferSequence *transfer = window.transfer();
    transfer->timer()->stop();   // ticks by hand from here
    transfer->timer()->start(1000000);
    for (int i = 0; i < 51; ++i)
        transfer->tick();
    QCOMPARE(bar->value(), 100);
    QCOMPARE(status->text(), QStringLiteral("数据传送完毕!!!"));
    QCOMPARE(port->written.size(), 816);
    for (int i = 0; i < 14; ++i)
        transfer->tick();
    QCOMPARE(bar->value(), 0);
    QCOMPARE(status->text(), QString());
    QCOMPARE(window.findChild<ChannelCursor *>()->currentRow(), 0);
}

void TestMainWindow::exitDuringTransferSendsNothingMore()
{
    TestDatabase file(TestDatabase::numberedRows(60));
    auto *port = new FakeSerialLink;
    QPointer<MainWindow> window = new MainWindow(port, file.path());
    window->load();
    QSignalSpy sent(window->transfer(), &TransferSequence::frameSent);
    window->findChild<QAction *>(QStringLiteral("传送"))->trigger();
    QTRY_VERIFY(sent.count() >= 3);
    QSignalSpy gone(port, &QObject::destroyed);
    window->findChild<QAction *>(QStringLiteral("退出"))->trigger();
    QTRY_VERIFY(!window);
    QCOMPARE(gone.count(), 1);   // the port went with the window
    QTest::qWait(250);
}

void TestMainWindow::exitKeepsEditsTheFileRefused()
{
    TestDatabase file(TestDatabase::numberedRows(5));
    QPointer<MainWindow> window = new MainWindow(new FakeSerialLink, file.path());
    window->load();
    auto *grid = window->findChild<ChannelGrid *>(QStringLiteral("DataGrid1"));
    MessageBoxes boxes(QMessageBox::Cancel);

    QSqlDatabase other = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("locker"));
    other.setDatabaseName(file.path());
    QVERIFY(other.open());
    QSqlQuery lock(other);
    QVERIFY(lock.exec(QStringLiteral("BEGIN IMMEDIATE")));

    // An edit still open in its cell when the operator exits.
    const QModelIndex cell = grid->model()->index(2, 4);
    grid->setCurrentIndex(cell);
    grid->edit(cell);
    QTRY_VERIFY(QApplication::focusWidget() && grid->viewport()->isAncestorOf(QApplication::focusWidget()));
    auto *editor = qobject_cast<QLineEdit *>(QApplication::focusWidget());
    QVERIFY(editor);
    editor->setText(QStringLiteral("改"));
    window->close();
    // The refusal of the edit is reported, then the exit asks what to do with it.
    QTRY_COMPARE(boxes.seen.size(), 2);
    QVERIFY2(boxes.texts().at(0).startsWith(QStringLiteral("第 3 行“备注”的修改未能保存到 char4.mdb")),
             qPrintable(boxes.texts().at(0)));
    QVERIFY2(boxes.texts().at(1).startsWith(QStringLiteral("有 1 处修改未能保存到 char4.mdb")),
             qPrintable(boxes.texts().at(1)));
    QVERIFY(window);   // Cancel: the window stays, the edit with it
    QCOMPARE(grid->model()->index(2, 4).data().toString(), QStringLiteral("改"));

    QVERIFY(lock.exec(QStringLiteral("ROLLBACK")));
    window->close();
    QTRY_VERIFY(!window);
    QCOMPARE(file.stored(3, QStringLiteral("备注")), QVariant(QStringLiteral("改")));
    other.close();
}

void TestMainWindow::accessFileIsReadOnlyUntilConverted()
{
    // The Access 97 fixture with its Table1 renamed to 信道表: in GBK the new
    // name has the same six bytes, so the file stays intact.
    QTemporaryDir dir;
    QFile fixture(QStringLiteral(QT7020_TEST_DATA "/jet3-access97.mdb"));
    QVERIFY(fixture.open(QIODevice::ReadOnly));
    QByteArray bytes = fixture.readAll();
    bytes.replace("Table1", QByteArray::fromHex("d0c5b5c0b1ed"));
    const QString path = dir.filePath(QStringLiteral("char4.mdb"));
    QFile jet(path);
    QVERIFY(jet.open(QIODevice::WriteOnly));
    jet.write(bytes);
    jet.close();

    auto *port = new FakeSerialLink;
    MainWindow window(port, path);
    MessageBoxes boxes;
    window.load();
    QTest::qWait(30);
    QVERIFY(boxes.seen.isEmpty());
    auto *grid = window.findChild<ChannelGrid *>(QStringLiteral("DataGrid1"));
    QCOMPARE(grid->model()->rowCount(), 2);
    QCOMPARE(grid->model()->index(1, 1).data().toString(), QStringLiteral("hijklmnop"));

    // Typing into it is refused with a pointer to the conversion.
    QTest::keyClick(grid->viewport(), Qt::Key_5);
    QTRY_COMPARE(boxes.seen.size(), 1);
    QVERIFY2(boxes.texts().at(0).contains(QStringLiteral("转换为新格式")), qPrintable(boxes.texts().at(0)));
    QCOMPARE(grid->model()->index(0, 1).data().toString(), QStringLiteral("b"));

    // It sends like any other file: its channel fields hold letters, so null frames.
    window.findChild<QAction *>(QStringLiteral("传送"))->trigger();
    window.transfer()->timer()->start(1000000);
    for (int i = 0; i < 3; ++i)
        window.transfer()->tick();
    QCOMPARE(port->written, QByteArray(32, '0'));
    window.transfer()->abort(QString());
    QTRY_COMPARE(boxes.seen.size(), 2);

    window.findChild<QAction *>(QStringLiteral("转换"))->trigger();
    QTRY_COMPARE(boxes.seen.size(), 3);
    QVERIFY2(boxes.texts().at(2).contains(QStringLiteral("char4.jet.mdb")), qPrintable(boxes.texts().at(2)));
    QCOMPARE(channelFileKind(path), ChannelFileKind::SQLite);
    QVERIFY(grid->model()->flags(grid->model()->index(0, 1)) & Qt::ItemIsEditable);
    QCOMPARE(grid->model()->index(1, 1).data().toString(), QStringLiteral("hijklmnop"));
    QCOMPARE(window.findChild<ChannelCursor *>()->currentRow(), 0);

    window.findChild<QAction *>(QStringLiteral("转换"))->trigger();
    QTRY_COMPARE(boxes.seen.size(), 4);
    QVERIFY(boxes.texts().at(3).contains(QStringLiteral("不需要转换")));
}

QTEST_MAIN(TestMainWindow)
#include "tst_mainwindow.moc"
