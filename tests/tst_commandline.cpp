#include "Fixtures.h"
#include "Plans.h"
#include "Pty.h"

#include "BandProfiles.h"
#include "CommandLine.h"
#include "LoadPlan.h"
#include "TransferJournal.h"

#include <QSerialPortInfo>
#include <QtTest>

class TestCommandLine : public QObject
{
    Q_OBJECT
    // --list-ports: a line of path, description, vendor:product and COM for each
    // serial device the system has, as Qt finds them; with no choice made,
    // /dev/ttyS0 stands for COM1 and /dev/ttyS1 for COM2.
    static void listsEverySerialDevice(const QString &dir)
    {
        QString output;
        QCOMPARE(run({ QStringLiteral("--list-ports") }, dir, &output), 0);
        QStringList expected;
        for (const QSerialPortInfo &info : QSerialPortInfo::availablePorts())
            expected << info.systemLocation();
        QStringList listed;
        for (const QString &line : output.split(u'\n', Qt::SkipEmptyParts)) {
            const QStringList fields = line.split(u'\t');
            QVERIFY2(fields.size() == 4 && !fields.contains(QString()), qPrintable(line));
            const QString com = fields.at(0) == QStringLiteral("/dev/ttyS0")   ? QStringLiteral("COM1")
                    : fields.at(0) == QStringLiteral("/dev/ttyS1")             ? QStringLiteral("COM2")
                                                                                 : QStringLiteral("-");
            QCOMPARE(fields.at(3), com);
            listed << fields.at(0);
        }
        QCOMPARE(listed, expected);
    }

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
        QTest::newRow("diff, B is FILE") << QStringList{ "--diff", "journal:1", "b.mdb" } << int(N::Nothing) << -1 << "b.mdb";
        QTest::newRow("journal report") << QStringList{ "--journal", "--pdf", "o.pdf", "--since", "2026-01-31" }
                                        << int(N::Fonts) << -1 << "char4.mdb";
        QTest::newRow("report and csv") << QStringList{ "--journal", "--csv", "--pdf", "o.pdf" } << int(N::Fonts) << 2 << "";
        QTest::newRow("since, no date") << QStringList{ "--journal", "--since", "31.01.2026" } << int(N::Nothing) << 2 << "";
        QTest::newRow("since, not of the journal") << QStringList{ "--check", "--since", "2026-01-31" } << int(N::Nothing)
                                                   << 2 << "";
        QTest::newRow("radio, not of a send") << QStringList{ "--check", "--radio", "A1" } << int(N::Nothing) << 2 << "";
        QTest::newRow("radio, empty") << QStringList{ "--send", "/dev/x", "--radio", " " } << int(N::Nothing) << 2 << "";
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
            { { "--check" }, here, 0, "^频段规划：无\n传送校验 SHA-256: d3bd7d894765510a8fb2b52cf8dfdac2c3fe4426cd4f04ee6052c5f2ad7cdedd\n$" },
            { { "--check", "--db", bad.path() }, none, 1, "^频段规划：无\n第 21 行（记录编号 21）错误：接收频率(?![\\s\\S]*SHA-256)" },
            { { "--check", "--db", warned.path() }, none, 1, "^频段规划：无\n第 21 行（记录编号 21）警告：接收频率 “438,5”只读作 438\n"
                                                             "传送校验 SHA-256: e04496aefe7604cee18d9bac2b5485ca4ed7e57c128d6ca6ec08c3fe036d081b\n$" },
            // Export and import, the CHIRP way; the imported file sends.
            { { "--export", csv, "--chirp" }, here, 0, "已导出 55 行" },
            { { "--import", csv, "--db", bad.path() }, none, 0, "" },
            { { "--frames", "--db", bad.path() }, none, 0, "" },
            { { "--import", csv, "--db", "fresh.mdb" }, none, 0, "" },
            { { "--send", radio.device() }, here, 0, "数据传送完毕!!!" },
            // What the system says went wrong, in Chinese: never strerror()'s or QFile's English.
            { { "--send", "/dev/qt7020-none" }, here, 1, "^(?![\\s\\S]*(No such|denied|directory))[\\s\\S]*文件或文件夹不存在" },
            { { "--pdf", "/proc/qt7020.pdf" }, here, 1, "^(?![\\s\\S]*(No such|denied|directory|QPainter))[\\s\\S]*文件或文件夹不存在" },
            { { "--export", "/sys/plan.csv" }, here, 1, "^(?![\\s\\S]*(No such|denied|directory))[\\s\\S]*没有访问权限" },
            { { "--export", none }, here, 1, "^(?![\\s\\S]*(No such|denied|directory))[\\s\\S]*这是文件夹，不是文件" },
            { { "--send", "/dev/null" }, here, 1, "^(?![\\s\\S]*已被其它程序使用)[\\s\\S]*不是串口设备" },
            { { "--loopback", cable.device() }, here, 1, "没有回波" },   // nothing joined at its far end
            { { "--loopback" }, here, 2, "" },
        };
        for (const auto &step : steps) {
            QString output;
            const int status = run(step.arguments, step.dir, &output);
            QVERIFY2(status == step.status && output.contains(QRegularExpression(QString::fromUtf8(step.output))),
                     qPrintable(QStringLiteral("%1: %2\n%3").arg(step.arguments.join(u' ')).arg(status).arg(output)));
        }
        listsEverySerialDevice(here);
        if (QTest::currentTestFailed())
            return;
        QVERIFY(!QFile::exists(empty.filePath(QStringLiteral("char4.mdb"))));   // looked for, never made
        QVERIFY(QFile::exists(bad.path() + QStringLiteral(".bak")));
        // Into a file that was not there: made with the rows, nothing to copy.
        QCOMPARE(TestDatabase::readAll(empty.filePath(QStringLiteral("fresh.mdb"))), TestDatabase::readAll(bad.path()));
        QVERIFY(!QFile::exists(empty.filePath(QStringLiteral("fresh.mdb.bak"))));
        QCOMPARE(radio.read(817, 1000), TestDatabase::sentFrames(1, 51));
    }

    // The plans of the table through the commands a script uses: --check
    // warns and sums as the table says, --frames lists or refuses, --send
    // puts those very bytes on the line (or nothing, saying why), and --diff
    // finds the file and the load just journaled the same.
    void planTableOnTheCommandLine()
    {
        const OwnHome home;
        for (const PlanCase &c : planCases()) {
            BandProfiles::save(c.band);
            const TestDatabase file(c.rows);
            QString check, frames, send;
            const int checked = run({ "--check", "--db", file.path() }, {}, &check);
            QCOMPARE(checked, c.warnings.isEmpty() && c.refusal.isEmpty() ? 0 : 1);
            QVERIFY2(check.startsWith(QStringLiteral("频段规划：%1\n").arg(BandProfiles::find(c.band)->name)), c.name);
            for (const QString &warning : c.warnings)
                QVERIFY2(check.contains(warning + u'\n'), qPrintable(check));
            QCOMPARE(check.contains(QStringLiteral("传送校验 SHA-256: ") + c.checksum + u'\n'), !c.checksum.isEmpty());
            QCOMPARE(check.contains(QStringLiteral("SHA-256")), !c.checksum.isEmpty());

            QCOMPARE(run({ "--frames", "--db", file.path() }, {}, &frames), c.refusal.isEmpty() ? 0 : 2);
            QCOMPARE(c.refusal.isEmpty() ? frames.count(u'\n') : int(frames.contains(c.refusal)), c.refusal.isEmpty() ? c.frames : 1);
            if (c.frames > 5)
                continue;   // a whole load takes five seconds: the short plans stand for it
            Pty radio;
            QCOMPARE(run({ "--send", radio.device(), "--force", "--db", file.path() }, {}, &send), c.refusal.isEmpty() ? 0 : 1);
            const QByteArray received = radio.read(16 * c.frames + 1, 1000);
            QCOMPARE(LoadPlan::checksumOf(received), c.checksum.isEmpty() ? LoadPlan::checksumOf({}) : c.checksum);
            QVERIFY2(send.contains(c.refusal), qPrintable(send));
            if (c.refusal.isEmpty())
                QCOMPARE(run({ "--diff", "journal:1", file.path() }), 0);
        }
    }

    // --diff over plan files and journal entries: each row gives A, B, the
    // exit status and the lines before the summary, then how the summary starts.
    void loadsCompared()
    {
        const OwnHome home;
        QVector<QVariantList> rows = TestDatabase::numberedRows(55);   // rows 52-55 never go out
        const TestDatabase longer(rows), same(rows.mid(0, 51)), shorter(rows.mid(0, 49));
        rows[2][2] = 438.5;       // 417.1 MHz below 21.4 is 3FA4F8
        rows[4][1] = 9;
        rows[4][3] = QVariant();  // an empty transmit frequency goes out as 000000
        const TestDatabase changed(rows.mid(0, 51));
        // A line of the first journal, which kept no frames, then a load broken
        // off after ten frames and a whole one.
        QVERIFY(QDir().mkpath(QFileInfo(TransferJournal::path()).absolutePath()));
        writeFile(TransferJournal::path(), "2023-05-04T10:11:12\t/home/a/char4.mdb\t1a2b3c4d\t7\t完成\n");
        TransferJournal::Entry load;
        load.frames = TestDatabase::sentFrames(1, 51);
        load.radio = QStringLiteral("巡逻 01");
        for (qint64 bytes : { 160, 816 }) {
            QVERIFY(TransferJournal::open(load));
            load.bytesDrained = bytes;
            QVERIFY(TransferJournal::close(load));
        }
        // Rows first..last of numberedRows as a side alone sends them.
        const auto only = [](int first, int last, const char *side) {
            QString lines;
            for (int row = first; row <= last; ++row)
                lines += QStringLiteral("第 %1 行 信道 %1：只在 %2 中（接收频率 %3，发送频率 %4，帧 %5）\n")
                                 .arg(row).arg(QLatin1String(side), QString::number(430 + row * 0.0125, 'f', 4),
                                               QString::number(440 + row * 0.0125, 'f', 4),
                                               QLatin1String(TestDatabase::sentFrames(row, row)));
            return lines;
        };
        const struct { QString a, b; int status; QString lines; const char *summary; } cases[] = {
            { longer.path(), same.path(), 0, {}, "相同：51 帧逐字节一致，传送校验 SHA-256: d3bd7d89" },
            { same.path(), changed.path(), 1,
              "第 3 行 信道 3：接收频率 430.0375 → 438.5000\n第 3 行 信道 3：帧 03675A3E00F72443 → 03F8A43F00F72443\n"
              "第 5 行 信道 5：信道号 5 → 9\n第 5 行 信道 5：发送频率 440.0625 → 无\n"
              "第 5 行 信道 5：帧 05615B3E00F12543 → 09615B3E00000000\n",
              "不同：2 行的帧不同（3 处字段改变），0 行只在 A 中，0 行只在 B 中。" },
            { shorter.path(), longer.path(), 1, only(50, 51, "B"),
              "不同：0 行的帧不同（0 处字段改变），0 行只在 A 中，2 行只在 B 中。" },
            { same.path(), shorter.path(), 1, only(50, 51, "A"),
              "不同：0 行的帧不同（0 处字段改变），2 行只在 A 中，0 行只在 B 中。" },
            { "journal:1", same.path(), 0, {}, "相同：51 帧" },
            { "journal:2", same.path(), 1, only(11, 51, "B"), "不同：0 行的帧不同（0 处字段改变），0 行只在 A 中，41 行只在 B 中。A 为 journal:2（巡逻 01，" },
            { "journal:3", same.path(), 2, {}, "journal:3（2023-05-04 10:11）没有记下发送的帧，不能比较。" },
            { "journal:4", same.path(), 2, {}, "传送记录中只有 3 次传送，没有 journal:4。" },
            { same.path(), shorter.dir() + "/none.mdb", 2, {}, "信道文件 " },
        };
        for (const auto &c : cases) {
            QString output;
            const int status = run({ "--diff", c.a, c.b }, {}, &output);
            QVERIFY2(status == c.status && output.startsWith(c.lines + QString::fromUtf8(c.summary)),
                     qPrintable(QStringLiteral("%1 %2: %3\n%4").arg(c.a, c.b).arg(status).arg(output)));
        }
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
        send.start(QStringLiteral(QT7020_BINARY), { "--send", pty.device(), "--force", "--radio", "巡逻 04" });
        const QByteArray received = pty.read(160, 3000);   // ten frames, a second of the load
        send.terminate();
        QVERIFY(send.waitForFinished(5000));
        QCOMPARE(send.exitCode(), 1);
        const QVector<TransferJournal::Entry> entries = TransferJournal::entries();
        QCOMPARE(entries.size(), before + 1);
        QCOMPARE(std::pair(entries.first().result, entries.first().detail),
                 std::pair(LoadResult::Interrupted, QStringLiteral("收到 SIGTERM（终止），传送中断")));
        QVERIFY(received.startsWith("016D593E00FD2343"));
        QCOMPARE(entries.first().framesSent, (received + pty.read(816, 200)).size() / 16);
        QCOMPARE(entries.first().warnings, 1);
        QCOMPARE(entries.first().radio, QStringLiteral("巡逻 04"));

        // The cable pulled out halfway: why the load stopped, in Chinese.
        send.start(QStringLiteral(QT7020_BINARY), { "--send", pty.device(), "--force" });
        QCOMPARE(pty.read(32, 3000).size(), 32);
        pty.closeMaster();
        QVERIFY(send.waitForFinished(5000));
        const QString said = QString::fromUtf8(send.readAllStandardOutput() + send.readAllStandardError());
        QVERIFY2(said.contains(QRegularExpression(QStringLiteral("出现故障，已关闭：\\p{Han}")))
                         && !said.contains(QRegularExpression(QStringLiteral("[A-Za-z]+ [a-z]+"))),
                 qPrintable(said));
    }
};

QTEST_GUILESS_MAIN(TestCommandLine)
#include "tst_commandline.moc"
