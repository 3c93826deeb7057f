#include "Fixtures.h"

#include "ChannelCursor.h"
#include "ChannelDatabase.h"
#include "ChannelGrid.h"
#include "ChannelSheet.h"
#include "CommandLine.h"
#include "MainWindow.h"
#include "QtTranslations.h"
#include "RecentFiles.h"
#include "TransferJournal.h"
#include "TransferSequence.h"

#include <QMenu>
#include <QtTest>

class TestDesktop : public QObject
{
    Q_OBJECT
private slots:
    void init() { m_home = std::make_unique<OwnHome>(); }

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
        const QString plan = m_home->path(QStringLiteral("plan.mdb"));
        QVERIFY(window.newFile(plan));
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
        QVERIFY(!window.openFile(m_home->path(QStringLiteral("none.mdb"))));
        QCOMPARE(window.databasePath(), plan);
        QCOMPARE(boxes.texts().size(), 2);
        QVERIFY(boxes.texts().last().contains(QStringLiteral("文件不存在")));
        for (int i = 0; i < 10; ++i)
            RecentFiles::add(m_home->path(QStringLiteral("%1.mdb").arg(i)));
        QCOMPARE(RecentFiles::list().size(), RecentFiles::limit);
        QCOMPARE(RecentFiles::list().first(), m_home->path(QStringLiteral("9.mdb")));
    }

    void printedSheet()
    {
        QCOMPARE(ChannelSheet::offset({ 1, 1, 438.5, 443.5, {} }), QStringLiteral("+5.0000"));
        QCOMPARE(ChannelSheet::offset({ 1, 1, 145.0, 144.4, {} }), QStringLiteral("-0.6000"));
        QCOMPARE(ChannelSheet::offset({ 1, 1, 145.0, 145.0, {} }), QStringLiteral("0.0000"));
        QCOMPARE(ChannelSheet::offset({ 1, 1, 145.0, QStringLiteral("x"), {} }), QString());

        TestDatabase file(TestDatabase::numberedRows(120));
        const QString pdf = file.dir() + QStringLiteral("/sheet.pdf");
        QCOMPARE(run({ "--pdf", pdf, "--db", file.path() }), 0);
        QString text, fonts;
        QCOMPARE(run({ "-layout", pdf, "-" }, {}, &text, QStringLiteral("pdftotext")), 0);
        const QString today = MainWindow::dateLine(QDate::currentDate());
        for (const QString &expected : { QStringLiteral("QT7020 信道表"), QStringLiteral("文件：char4.mdb"),
                                         QStringLiteral("日期：") + today, QStringLiteral("第 120 行"),
                                         QStringLiteral("以下各行不传送"), QStringLiteral("第 3 页，共 3 页") })
            QVERIFY2(text.contains(expected), qPrintable(expected));
        QCOMPARE(text.count(QStringLiteral("记录编号")), 3);   // the heading on every page
        QCOMPARE(text.count(QStringLiteral(" 是 ")), 51);      // the rows a transfer sends
        QVERIFY(text.contains(QRegularExpression(QStringLiteral("\\b51 +51 +51 +430\\.6375 +440\\.6375 +\\+10\\.0000 +是"))));
        QCOMPARE(run({ pdf }, {}, &fonts, QStringLiteral("pdffonts")), 0);
        const QStringList fontLines = fonts.split(u'\n', Qt::SkipEmptyParts).mid(2);
        QVERIFY(!fontLines.isEmpty());
        for (const QString &font : fontLines) {   // columns … emb sub uni object ID
            const QStringList columns = font.split(u' ', Qt::SkipEmptyParts);
            QCOMPARE(columns.value(columns.size() - 5), QStringLiteral("yes"));
        }
    }

    void journalOfTransfers()
    {
        TestDatabase file(TestDatabase::numberedRows(60));
        ChannelStore model;
        QVERIFY(model.open(file.path()));
        ChannelCursor cursor(&model);
        FakeSerialLink port;
        TransferSequence sequence(&cursor, &port);
        TransferJournal journal(&sequence, [&file] { return file.path(); });
        QVERIFY(port.open());
        QVERIFY(sequence.start());
        for (int i = 0; i < 70 && sequence.isRunning(); ++i)
            sequence.tick();
        QVERIFY(!sequence.isRunning());

        // The other front end, on a device that is not there.
        QCOMPARE(run({ "--send", "/dev/qt7020-none", "--db", file.path() }), 1);

        QString printed;
        QCOMPARE(run({ "--journal" }, {}, &printed), 0);
        const QStringList lines = printed.split(u'\n', Qt::SkipEmptyParts);
        QCOMPARE(lines, TransferJournal::lines());
        QCOMPARE(lines.size(), 2);
        const QString checksum = QString::fromLatin1(QCryptographicHash::hash(port.written, QCryptographicHash::Sha256)
                                                             .toHex().left(8));
        QCOMPARE(lines.at(1).section(u'\t', 1), QStringList({ file.path(), checksum, "51", "完成" }).join(u'\t'));
        QVERIFY(QDateTime::fromString(lines.at(1).section(u'\t', 0, 0), Qt::ISODate).isValid());
        QCOMPARE(lines.at(0).section(u'\t', 2, 3), QStringLiteral("-\t0"));
        QCOMPARE(lines.at(0).section(u'\t', 4),
                 QStringLiteral("失败：不能打开串行端口 /dev/qt7020-none：设备不存在（文件或文件夹不存在）"));
    }

    void qtSpeaksChinese()
    {
        QVERIFY(installQtTranslations(*QCoreApplication::instance()));
        QMessageBox box(QMessageBox::Warning, QString(), QString(), QMessageBox::Ok);
        QCOMPARE(box.button(QMessageBox::Ok)->text(), QStringLiteral("确定"));
    }
private:
    std::unique_ptr<OwnHome> m_home;
};

QTEST_MAIN(TestDesktop)
#include "tst_desktop.moc"
