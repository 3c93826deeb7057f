#include "Fixtures.h"

#include "ChannelDatabase.h"
#include "ChannelGrid.h"
#include "MainWindow.h"
#include "RecentFiles.h"
#include "TransferController.h"

#include <QElapsedTimer>
#include <QMenu>
#include <QTimer>
#include <QtTest>

class TestFiles : public QObject
{
    Q_OBJECT
private slots:
    // The plan file deleted under the window is said within a second; the
    // rows no file holds are not sent, and 另存为… makes a file of them that
    // sends again.
    void deletedPlanIsSaidAndSavedAgain()
    {
        const OwnHome home;
        TestDatabase file(TestDatabase::numberedRows(60));
        auto *port = new FakeSerialLink;
        MainWindow window(std::unique_ptr<SerialLink>(port), file.path());
        MessageBoxes boxes;
        boxes.answerText = QStringLiteral("关闭");
        window.load();
        QVERIFY(QFile::remove(file.path()));
        QElapsedTimer clock;
        clock.start();
        QTRY_COMPARE_WITH_TIMEOUT(boxes.texts().size(), 1, 3000);
        QVERIFY2(clock.elapsed() < 1500, qPrintable(QString::number(clock.elapsed())));
        QVERIFY(boxes.texts().first().startsWith(QStringLiteral("信道文件已被删除或移走：%1。").arg(file.path())));
        QCOMPARE(boxes.buttons.first(), QStringLiteral("另存为…/关闭"));
        menuItem(&window, "传送")->trigger();
        QCOMPARE(boxes.texts().size(), 2);
        QVERIFY(boxes.texts().last().startsWith(QStringLiteral("信道文件已被删除或移走")));
        QVERIFY(port->written.isEmpty() && !window.transfer()->isRunning());

        const QString saved = home.path(QStringLiteral("saved.mdb"));
        QTimer answer;
        connect(&answer, &QTimer::timeout, &window, [&] { answerFileDialog(saved); });
        answer.start(10);
        boxes.answerText = QStringLiteral("另存为…");
        menuItem(&window, "传送")->trigger();
        QTRY_COMPARE(window.databasePath(), saved);
        QCOMPARE(TestDatabase::readAll(saved), TestDatabase::numberedRows(60));
        menuItem(&window, "传送")->trigger();
        QVERIFY(window.transfer()->isRunning());
    }

    void titleNewOpenAndRecentFiles()
    {
        const OwnHome home;
        TestDatabase first(TestDatabase::numberedRows(3));
        {   // char4.mdb in the working folder goes unnamed
            const QString before = QDir::currentPath();
            QDir::setCurrent(first.dir());
            MainWindow usual(std::unique_ptr<SerialLink>(new FakeSerialLink), QStringLiteral("char4.mdb"));
            QCOMPARE(usual.windowTitle(), QStringLiteral("QT7020"));
            QDir::setCurrent(before);
        }
        MainWindow window(std::unique_ptr<SerialLink>(new FakeSerialLink), first.path());
        MessageBoxes boxes;
        window.load();
        QCOMPARE(RecentFiles::list(), QStringList({ first.path() }));
        const QString plan = home.path(QStringLiteral("plan.mdb"));
        QVERIFY(window.newFile(plan.chopped(4)));   // named without .mdb
        QCOMPARE(TestDatabase::readAll(plan).size(), 0);
        ChannelDatabase made;
        QVERIFY(made.open(plan));
        QCOMPARE(made.fieldNames(), QStringList({ "记录编号", "信道号", "接收频率", "发送频率", "备注" }));
        QCOMPARE(window.windowTitle(), QStringLiteral("QT7020 - plan.mdb"));

        // An existing file is never made anew.
        const QByteArray digest = fileDigest(first.path());
        QVERIFY(!window.newFile(first.path()));
        QCOMPARE(fileDigest(first.path()), digest);
        QCOMPARE(boxes.texts().size(), 1);   // load() found the port free
        QVERIFY(boxes.texts().first().contains(QStringLiteral("文件已存在")));

        QVERIFY(window.openFile(first.path()));
        QCOMPARE(window.findChild<ChannelGrid *>(QStringLiteral("DataGrid1"))->model()->rowCount(), 3);
        QCOMPARE(RecentFiles::list(), QStringList({ first.path(), plan }));
        QMenu *recent = window.findChild<QAction *>(QStringLiteral("最近"))->menu();
        QCOMPARE(recent->actions().size(), 2);
        QCOMPARE(recent->actions().at(1)->text(), QStringLiteral("&2 ") + QDir::toNativeSeparators(plan));
        recent->actions().at(1)->trigger();
        QCOMPARE(window.databasePath(), plan);

        // A file that cannot be used is said so and stays out of the list.
        QVERIFY(!window.openFile(home.path(QStringLiteral("none.mdb"))));
        QCOMPARE(window.databasePath(), plan);
        QCOMPARE(boxes.texts().size(), 2);
        QVERIFY(boxes.texts().last().contains(QStringLiteral("文件不存在")));
        for (int i = 0; i < 10; ++i)
            RecentFiles::add(home.path(QStringLiteral("%1.mdb").arg(i)));
        QCOMPARE(RecentFiles::list().size(), RecentFiles::limit);
        QCOMPARE(RecentFiles::list().first(), home.path(QStringLiteral("9.mdb")));

        // An edit the file refuses: leaving the file asks, and 放弃 drops the edit and leaves.
        QVERIFY(window.openFile(first.path()));
        {
            FileLock lock(first.path());
            auto *model = window.findChild<ChannelGrid *>(QStringLiteral("DataGrid1"))->model();
            QVERIFY(model->setData(model->index(0, 4), QStringLiteral("改")));
            QTRY_COMPARE(boxes.texts().size(), 3);
            boxes.setAnswer(QMessageBox::Discard);
            QVERIFY(window.openFile(plan));
        }
        QVERIFY(boxes.texts().last().startsWith(QStringLiteral("有 1 处修改未能保存到 char4.mdb")));
        QCOMPARE(first.stored()[0][4], QVariant(QStringLiteral("第 1 行")));
        // Another program puts a file with no channel table in its place: the window says so.
        QCOMPARE(std::rename(qPrintable(TestDatabase({}, QStringLiteral("CREATE TABLE 其它 (x)")).path()), qPrintable(plan)), 0);
        QTRY_VERIFY(boxes.texts().last().startsWith(QStringLiteral("plan.mdb 已被其他程序换成了不能使用的文件")));
    }

    // 导出信道表…: the file type picked in the dialog is the format written.
    void exportWritesTheTypePicked()
    {
        OwnHome home;
        TestDatabase file(TestDatabase::numberedRows(3));
        MainWindow window(std::make_unique<FakeSerialLink>(), file.path());
        window.load();
        MessageBoxes boxes;
        for (const QString type : { "信道表 CSV (*.csv)", "CHIRP CSV (*.csv)" }) {
            const QString out = home.path(type.left(5) + QStringLiteral(".csv"));
            QTimer chooser;
            connect(&chooser, &QTimer::timeout, &window, [&] {
                if (auto *files = qobject_cast<QFileDialog *>(QApplication::activeModalWidget()))
                    files->selectNameFilter(type);
                answerFileDialog(out);
            });
            chooser.start(10);
            menuItem(&window, "导出")->trigger();
            QFile written(out);
            QVERIFY(written.open(QIODevice::ReadOnly));
            QCOMPARE(written.readLine().startsWith("Location,"), type.startsWith(u"CHIRP"));
        }
    }
};

QTEST_MAIN(TestFiles)
#include "tst_files.moc"
