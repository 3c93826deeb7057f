#include "FakeSerialLink.h"
#include "MessageBoxes.h"
#include "TestDatabase.h"

#include "ChannelCursor.h"
#include "ChannelDatabase.h"
#include "ChannelFields.h"
#include "ChannelGrid.h"
#include "ChannelSheet.h"
#include "CommandLine.h"
#include "JournalDialog.h"
#include "MainWindow.h"
#include "QtTranslations.h"
#include "RecentFiles.h"
#include "TransferController.h"
#include "TransferJournal.h"
#include "TransferSequence.h"
#include "Tsv.h"

#include <QClipboard>
#include <QLineEdit>
#include <QMenu>
#include <QProcess>
#include <QSettings>
#include <QTableWidget>
#include <QtTest>

// Runs a program and returns what it wrote to standard output.
static QString run(const QString &program, const QStringList &arguments, int *exitCode = nullptr)
{
    QProcess process;
    process.start(program, arguments);
    process.waitForFinished(20000);
    if (exitCode)
        *exitCode = process.exitCode();
    return QString::fromUtf8(process.readAllStandardOutput());
}

class TestDesktop : public QObject
{
    Q_OBJECT
private slots:
    // The program, the settings and the journal in a folder of the test's own.
    void init()
    {
        QVERIFY(m_home.isValid());
        QCoreApplication::setOrganizationName(QStringLiteral("qt7020"));
        QCoreApplication::setApplicationName(QStringLiteral("qt7020"));
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, m_home.filePath(QStringLiteral("config")));
        qputenv("XDG_CONFIG_HOME", m_home.filePath(QStringLiteral("config")).toUtf8());
        qputenv("XDG_DATA_HOME", m_home.filePath(QStringLiteral("data")).toUtf8());
        QFile::remove(TransferJournal::path());
        QSettings(QSettings::NativeFormat, QSettings::UserScope, QStringLiteral("qt7020"), QStringLiteral("qt7020")).clear();
    }

    void commandLine_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<int>("needs");
        QTest::addColumn<int>("exitCode");   // -1: goes on to the window or the command
        QTest::addColumn<QString>("database");
        using N = CommandLine::Needs;
        QTest::newRow("file") << QStringList{ "plan.mdb" } << int(N::Window) << -1 << "plan.mdb";
        QTest::newRow("qt options") << QStringList{ "-platform", "offscreen", "-reverse", "plan.mdb" } << int(N::Window)
                                    << -1 << "plan.mdb";
        QTest::newRow("qt options, a command") << QStringList{ "-platform", "offscreen", "--frames", "p.mdb" }
                                               << int(N::Nothing) << -1 << "p.mdb";
        QTest::newRow("pdf") << QStringList{ "--pdf", "o.pdf", "--db", "p.mdb" } << int(N::Fonts) << -1 << "p.mdb";
        QTest::newRow("two files") << QStringList{ "a.mdb", "b.mdb" } << int(N::Window) << 2 << "";
        QTest::newRow("file and --db") << QStringList{ "a.mdb", "--db", "b.mdb" } << int(N::Window) << 2 << "";
        QTest::newRow("unknown") << QStringList{ "--bogus" } << int(N::Nothing) << 2 << "";
        QTest::newRow("csv, not of the journal") << QStringList{ "--csv", "--check" } << int(N::Nothing) << 2 << "";
    }

    void commandLine()
    {
        QFETCH(QStringList, arguments);
        QFETCH(int, needs);
        QFETCH(int, exitCode);
        QFETCH(QString, database);
        arguments.prepend(QStringLiteral("qt7020"));
        QCOMPARE(int(CommandLine::needs(arguments)), needs);
        const CommandLine line(arguments);
        QCOMPARE(line.finished() ? line.exitCode() : -1, exitCode);
        if (!line.finished())
            QCOMPARE(line.database(), database);
    }

    void windowTitleNamesTheFile()
    {
        TestDatabase file(TestDatabase::numberedRows(2));
        const QString before = QDir::currentPath();
        QDir::setCurrent(file.dir());
        MainWindow usual(std::unique_ptr<SerialLink>(new FakeSerialLink), QStringLiteral("char4.mdb"));
        QCOMPARE(usual.windowTitle(), QStringLiteral("QT7020"));
        QDir::setCurrent(before);
    }

    void newOpenAndRecentFiles()
    {
        TestDatabase first(TestDatabase::numberedRows(3));
        MainWindow window(std::unique_ptr<SerialLink>(new FakeSerialLink), first.path());
        MessageBoxes boxes;
        window.load();
        QCOMPARE(RecentFiles::list(), QStringList({ first.path() }));
        const QString plan = m_home.filePath(QStringLiteral("plan.mdb"));
        QVERIFY(window.newFile(m_home.filePath(QStringLiteral("plan"))));   // named without .mdb
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
        QCOMPARE(recent->actions().at(1)->text(), QDir::toNativeSeparators(plan));
        recent->actions().at(1)->trigger();
        QCOMPARE(window.databasePath(), plan);

        // A file that cannot be used is said so and stays out of the list.
        QVERIFY(!window.openFile(m_home.filePath(QStringLiteral("none.mdb"))));
        QCOMPARE(window.databasePath(), plan);
        QCOMPARE(boxes.texts().size(), 2);
        QVERIFY(boxes.texts().last().contains(QStringLiteral("文件不存在")));
        for (int i = 0; i < 10; ++i)
            RecentFiles::add(m_home.filePath(QStringLiteral("%1.mdb").arg(i)));
        QCOMPARE(RecentFiles::list().size(), RecentFiles::limit);
        QCOMPARE(RecentFiles::list().first(), m_home.filePath(QStringLiteral("9.mdb")));
    }

    void printedSheet()
    {
        // What the frame carries: 100 Hz steps, halves to even (145.00025 is 1450002.5 steps).
        const struct { QVariantList row; const char *receive, *transmit, *offset; } printed[] = {
            { { 1, 1, 438.5, 443.5, {} }, "438.5000", "443.5000", "+5.0000" },
            { { 1, 1, 145.0, 144.4, {} }, "145.0000", "144.4000", "-0.6000" },
            { { 1, 1, 145.00015, 145.00025, {} }, "145.0002", "145.0002", "0.0000" },
            { { 1, 1, "438,5", 0, {} }, "438.0000", "0.0000", "-438.0000" },
            { { 1, 1, 145.0, "x", {} }, "145.0000", "x", "" },
            { { 1, 1, "nan", "inf", {} }, "nan", "inf", "" },
            { { 1, 1, 99.5, 1e300, {} }, "99.5000", "1e+300", "" },
        };
        for (const auto &p : printed)
            QCOMPARE(QStringList({ ChannelSheet::frequency(p.row, ChannelFields::Receive),
                                   ChannelSheet::frequency(p.row, ChannelFields::Transmit), ChannelSheet::offset(p.row) }),
                     QStringList({ p.receive, p.transmit, p.offset }));

        QVector<QVariantList> rows = TestDatabase::numberedRows(120);
        rows[1][1] = 1;   // the radio keeps one channel 1
        TestDatabase file(rows);
        const QString pdf = file.dir() + QStringLiteral("/sheet.pdf");
        int exitCode = -1;
        run(QStringLiteral(QT7020_BINARY), { "--pdf", pdf, "--db", file.path() }, &exitCode);
        QCOMPARE(exitCode, 0);
        const QString text = run(QStringLiteral("pdftotext"), { "-layout", pdf, "-" });
        const QString today = MainWindow::dateLine(QDate::currentDate());
        for (const QString &expected : { QStringLiteral("QT7020 信道表"), QStringLiteral("文件：char4.mdb"),
                                         QStringLiteral("日期：") + today, QStringLiteral("第 120 行"),
                                         QStringLiteral("以下各行不传送"), QStringLiteral("第 3 页，共 3 页"),
                                         // sha256sum of the 51 frames, row 2's 01EA593E007A2443 among them
                                         QStringLiteral("传送校验 SHA-256: 2bc909f90e92ac189d0c35dc9c3731e4cf89f117f55c4783e0e9291e0e75389a") })
            QVERIFY2(text.contains(expected), qPrintable(expected));
        QCOMPARE(text.count(QStringLiteral("传送校验 SHA-256: 2bc9")), 3);
        QVERIFY(text.contains(QRegularExpression(QStringLiteral("\\b2 +2 +1 +430\\.0250 +440\\.0250 +\\+10\\.0000 +是 +警告 "))));
        QCOMPARE(text.count(QStringLiteral("警告")), 1);
        QCOMPARE(text.count(QStringLiteral("记录编号")), 3);   // the heading on every page
        QCOMPARE(text.count(QStringLiteral(" 是 ")), 51);      // the rows a transfer sends
        QVERIFY(text.contains(QRegularExpression(QStringLiteral("\\b51 +51 +51 +430\\.6375 +440\\.6375 +\\+10\\.0000 +是"))));
        const QStringList fonts = run(QStringLiteral("pdffonts"), { pdf }).split(u'\n', Qt::SkipEmptyParts).mid(2);
        QVERIFY(!fonts.isEmpty());
        for (const QString &font : fonts) {   // columns … emb sub uni object ID
            const QStringList columns = font.split(u' ', Qt::SkipEmptyParts);
            QCOMPARE(columns.value(columns.size() - 5), QStringLiteral("yes"));
        }
    }

    void journalOfTransfers()
    {
        // A line of the first journal, as operators' machines still hold them.
        QDir().mkpath(QFileInfo(TransferJournal::path()).absolutePath());
        QFile first(TransferJournal::path());
        QVERIFY(first.open(QIODevice::WriteOnly));
        first.write("2023-05-04T10:11:12\t/home/a/char4.mdb\t1a2b3c4d\t7\t失败：写入失败：I/O error\n");
        first.close();

        TestDatabase file(TestDatabase::numberedRows(60));
        ChannelStore model;
        QVERIFY(model.open(file.path()));
        ChannelCursor cursor(&model);
        FakeSerialLink port;
        TransferController controller(&cursor, &port);
        QVERIFY(port.open());
        QVERIFY(controller.start());
        for (int i = 0; i < 70 && controller.isRunning(); ++i)
            controller.sequence()->tick();
        QVERIFY(!controller.isRunning());

        // The other front end, on a device that is not there.
        int exitCode = -1;
        run(QStringLiteral(QT7020_BINARY), { "--send", "/dev/qt7020-none", "--db", file.path() }, &exitCode);
        QCOMPARE(exitCode, 1);

        // Every field as a load gives it; texts with a comma, quotes, a line break.
        TransferJournal::Entry given;
        given.time = QDateTime(QDate(2024, 6, 1), QTime(8, 30), Qt::OffsetFromUTC, 8 * 3600);
        given.file = m_home.filePath(QStringLiteral("a,\"b\".mdb"));
        given.device = QStringLiteral("/dev/ttyUSB0 0403:6001 A9\nXY");
        given.frames = "0120DC1200803716";
        given.framesSent = 1;
        given.bytesDrained = 16;
        given.warnings = 2;
        given.result = TransferJournal::Result::Interrupted;
        given.detail = QStringLiteral("传送期间文件已改动");
        QVERIFY(TransferJournal::append(given));

        const QVector<TransferJournal::Entry> entries = TransferJournal::entries();
        QCOMPARE(entries.size(), 4);
        const auto fields = [](const TransferJournal::Entry &e) {
            return std::tuple(e.time, e.file, e.device, e.sha256, e.frames, e.framesSent, e.bytesDrained, e.warnings,
                              TransferJournal::resultText(e.result), e.detail);
        };
        TransferJournal::Entry refused, sent, old;
        refused.time = entries.at(1).time;
        refused.file = sent.file = file.path();
        refused.detail = QStringLiteral("不能打开串行端口 /dev/qt7020-none：设备不存在（文件或文件夹不存在）");
        sent.time = entries.at(2).time;
        sent.frames = port.written;
        sent.device = QStringLiteral("/dev/fake1");
        sent.framesSent = 51;
        sent.bytesDrained = 816;
        sent.warnings = 0;
        sent.result = TransferJournal::Result::Completed;
        old.time = QDateTime(QDate(2023, 5, 4), QTime(10, 11, 12));
        old.file = QStringLiteral("/home/a/char4.mdb");
        old.sha256 = QStringLiteral("1a2b3c4d");
        old.framesSent = 7;
        old.detail = QStringLiteral("写入失败：I/O error");
        // sha256sum of the one frame, and of the 51 numbered rows' 816 bytes.
        given.sha256 = QStringLiteral("f30c5a5e31fa90fa97f3f62563cb85bf2aac95117ebbfa8aa2d884480c4b6cc2");
        sent.sha256 = QStringLiteral("d3bd7d894765510a8fb2b52cf8dfdac2c3fe4426cd4f04ee6052c5f2ad7cdedd");
        const TransferJournal::Entry expected[] = { given, refused, sent, old };
        for (int i = 0; i < 4; ++i) {
            QCOMPARE(fields(entries.at(i)), fields(expected[i]));
            QVERIFY(entries.at(i).time.toString(Qt::ISODate).contains(QRegularExpression("(Z|[+-]\\d\\d:\\d\\d)$")));
        }
        QVERIFY(qAbs(entries.at(1).time.secsTo(QDateTime::currentDateTime())) < 60);
        const QString text = run(QStringLiteral(QT7020_BINARY), { "--journal" });
        QVERIFY(text.startsWith(QStringLiteral("2024-06-01T08:30:00+08:00  中断\n")));
        QVERIFY(text.contains(QStringLiteral("\n  校验 SHA-256：") + sent.sha256 + u'\n'));
        const QString csv = run(QStringLiteral(QT7020_BINARY), { "--journal", "--csv" });
        QCOMPARE(csv.section(QStringLiteral("\r\n"), 0, 1),
                 QStringLiteral("time,file,sha256,radio,device,frames,bytes,warnings,result\r\n"
                                "2024-06-01T08:30:00+08:00,\"%1/a,\"\"b\"\".mdb\",%2,,\"/dev/ttyUSB0 0403:6001 A9\nXY\",1,16,2,中断")
                         .arg(m_home.path(), given.sha256));
        QCOMPARE(csv.count(QStringLiteral("\r\n")), 5);
        QVERIFY(csv.endsWith(QStringLiteral("/home/a/char4.mdb,1a2b3c4d,,,7,,,失败\r\n")));

        // 传送记录…: whole checksums; Ctrl+C copies the rows picked, in the table's order.
        JournalDialog dialog(entries);
        auto *table = dialog.findChild<QTableWidget *>();
        dialog.show();
        QVERIFY(QTest::qWaitForWindowActive(&dialog));
        QVERIFY(table->columnWidth(2) >= table->fontMetrics().horizontalAdvance(sent.sha256));
        for (int row : { 3, 0 })
            table->selectionModel()->select(table->model()->index(row, 0),
                                            QItemSelectionModel::Select | QItemSelectionModel::Rows);
        QTest::keySequence(table, QKeySequence::Copy);
        QCOMPARE(Tsv::read(QGuiApplication::clipboard()->text()),
                 QVector<QStringList>({ { "2024-06-01T08:30:00+08:00", given.file, given.sha256, given.device, "1", "16",
                                          "2", "中断：传送期间文件已改动" },
                                        { entries.at(3).time.toString(Qt::ISODate), old.file, "1a2b3c4d", "", "7", "", "",
                                          "失败：写入失败：I/O error" } }));
    }

    void qtSpeaksChinese()
    {
        QVERIFY(installQtTranslations(*QCoreApplication::instance()));
        QMessageBox box(QMessageBox::Warning, QString(), QString(), QMessageBox::Ok);
        QCOMPARE(box.button(QMessageBox::Ok)->text(), QStringLiteral("确定"));
    }
private:
    QTemporaryDir m_home;
};

QTEST_MAIN(TestDesktop)
#include "tst_desktop.moc"
