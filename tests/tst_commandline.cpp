#include "Fixtures.h"
#include "Pty.h"

#include "CommandLine.h"
#include "TransferJournal.h"

#include <QtTest>

class TestCommandLine : public QObject
{
    Q_OBJECT
private slots:
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

    // The program as a script runs it, step after step: the arguments, the
    // working folder, the exit status and a pattern the output must match.
    void programRuns()
    {
        const OwnHome home;   // no port chosen, none named in the environment
        QVector<QVariantList> rows = TestDatabase::numberedRows(55);
        const TestDatabase file(rows);
        rows[20][2] = 99.5;
        const TestDatabase bad(rows);
        rows[20][2] = QStringLiteral("438,5");
        const TestDatabase warned(rows);
        QTemporaryDir empty;
        Pty radio, cable;
        const QString here = file.dir(), none = empty.path(), csv = file.dir() + QStringLiteral("/plan.csv");
        const struct { QStringList arguments; QString dir; int status; const char *output; } steps[] = {
            { { "--frames" }, here, 0, "^1\t1\t016D593E00FD2343\n(.+\n){49}51\t51\t33D7713E00673C43\n$" },
            { { "--frames" }, none, 1, "char4.mdb" },
            { { "--nonsense" }, none, 2, "" },
            { { "--frames", "--db", bad.path() }, none, 2, "第 21 行" },
            // A plan that can go out ends with the SHA-256 of its bytes, as sha256sum gives it.
            { { "--check" }, here, 0, "^传送校验 SHA-256: d3bd7d894765510a8fb2b52cf8dfdac2c3fe4426cd4f04ee6052c5f2ad7cdedd\n$" },
            { { "--check", "--db", bad.path() }, none, 1, "^第 21 行（记录编号 21）错误：接收频率(?![\\s\\S]*SHA-256)" },
            { { "--check", "--db", warned.path() }, none, 1, "^第 21 行（记录编号 21）警告：接收频率 “438,5”只读作 438\n"
                                                             "传送校验 SHA-256: e04496aefe7604cee18d9bac2b5485ca4ed7e57c128d6ca6ec08c3fe036d081b\n$" },
            // Export and import, the CHIRP way; the imported file sends.
            { { "--export", csv, "--chirp" }, here, 0, "已导出 55 行" },
            { { "--import", csv, "--db", bad.path() }, none, 0, "" },
            { { "--frames", "--db", bad.path() }, none, 0, "" },
            { { "--import", csv, "--db", "fresh.mdb" }, none, 0, "" },
            { { "--send", radio.device() }, here, 0, "数据传送完毕!!!" },
            { { "--send", "/dev/null" }, here, 1, "^(?![\\s\\S]*已被其它程序使用)[\\s\\S]*不是串行设备" },
            { { "--loopback", cable.device() }, here, 1, "没有回波" },   // nothing joined at its far end
            { { "--loopback" }, here, 2, "" },
            // Path, description, vendor:product and COM, whatever the machine has;
            // with no choice made, /dev/ttyS0 is COM1.
            { { "--list-ports" }, here, 0, "^((?!/dev/ttyS0\t.*\t-\n)/dev/[^\t\n]+(\t[^\t\n]+){2}\t(COM1|COM2|-)\n)*$" },
        };
        for (const auto &step : steps) {
            QString output;
            const int status = run(step.arguments, step.dir, &output);
            QVERIFY2(status == step.status && output.contains(QRegularExpression(QString::fromUtf8(step.output))),
                     qPrintable(QStringLiteral("%1: %2\n%3").arg(step.arguments.join(u' ')).arg(status).arg(output)));
        }
        QVERIFY(!QFile::exists(empty.filePath(QStringLiteral("char4.mdb"))));   // looked for, never made
        QVERIFY(QFile::exists(bad.path() + QStringLiteral(".bak")));
        // Into a file that was not there: made with the rows, nothing to copy.
        QCOMPARE(TestDatabase::readAll(empty.filePath(QStringLiteral("fresh.mdb"))), TestDatabase::readAll(bad.path()));
        QVERIFY(!QFile::exists(empty.filePath(QStringLiteral("fresh.mdb.bak"))));
        QCOMPARE(radio.read(817, 1000), TestDatabase::sentFrames(1, 51));
    }

    // --send as a technician's script runs it: a plan with warnings needs
    // --force, and a load cut off by a signal leaves exactly one line saying so.
    void sendEndsInOneJournalLine()
    {
        QVector<QVariantList> rows = TestDatabase::numberedRows(51);
        rows[4][2] = QStringLiteral("438,5");   // read only in part: a warning
        TestDatabase file(rows);
        const OwnHome home;   // the program's journal, read here too
        Pty pty;
        QString output;
        QCOMPARE(run({ "--send", pty.device() }, file.dir(), &output), 1);
        QVERIFY(output.contains(QStringLiteral("第 5 行（记录编号 5）警告：接收频率")));
        QCOMPARE(TransferJournal::entries().first().detail, QStringLiteral("有 1 处警告，数据没有传送；确认无误后加 --force 再传送。"));
        QCOMPARE(pty.read(1, 100), QByteArray());

        const int before = int(TransferJournal::entries().size());
        QProcess send;
        send.setWorkingDirectory(file.dir());
        send.start(QStringLiteral(QT7020_BINARY), { "--send", pty.device(), "--force" });
        const QByteArray received = pty.read(160, 3000);   // ten frames, a second of the load
        send.terminate();
        QVERIFY(send.waitForFinished(5000));
        QCOMPARE(send.exitCode(), 1);
        const QVector<TransferJournal::Entry> entries = TransferJournal::entries();
        QCOMPARE(entries.size(), before + 1);
        QCOMPARE(std::pair(entries.first().result, entries.first().detail),
                 std::pair(TransferJournal::Result::Interrupted, QStringLiteral("收到 SIGTERM（终止），传送中断")));
        QVERIFY(received.startsWith("016D593E00FD2343"));
        QCOMPARE(entries.first().framesSent, (received + pty.read(816, 200)).size() / 16);
        QCOMPARE(entries.first().warnings, 1);
    }
};

QTEST_GUILESS_MAIN(TestCommandLine)
#include "tst_commandline.moc"
