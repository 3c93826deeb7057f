#include "Fixtures.h"
#include "Pty.h"

#include "ChannelStore.h"
#include "JournalReading.h"
#include "LoadPlan.h"
#include "ComparisonDialog.h"
#include "JournalDialog.h"
#include "TransferController.h"
#include "TransferJournal.h"
#include "Tsv.h"

#include <QClipboard>
#include <QFileDialog>
#include <QHeaderView>
#include <QJsonDocument>
#include <QJsonObject>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QSysInfo>
#include <QTableWidget>
#include <QtTest>

// A journal of three loads written as the program writes them: 巡逻 01
// broken off after one frame, 巡逻 02 refused before it began, 指挥车 whole.
// Lines 1–2, 3, 4–5.
// A load of 51 frames into `radio` from `file`, journalled as the program does:
// its opening line, then its end, 完成 with every byte out.
static bool wholeLoad(const QString &radio, const QString &file = {})
{
    TransferJournal::Entry load;
    load.file = file;
    load.frames = TestDatabase::sentFrames(1, 51);
    load.radio = radio;
    if (!TransferJournal::open(load))
        return false;
    load.result = LoadResult::Done;
    load.bytesDrained = 816;
    return TransferJournal::close(load);
}

static void threeLoads(const QString &file)
{
    TransferJournal::Entry load;
    load.time = QDateTime(QDate(2024, 6, 1), QTime(8, 30), Qt::OffsetFromUTC, 8 * 3600);
    load.file = file;
    load.device = QStringLiteral("/dev/ttyUSB0 0403:6001 A9");
    load.frames = "0120DC1200803716";
    load.radio = QStringLiteral("巡逻 01");
    load.warnings = 2;
    QVERIFY(TransferJournal::open(load));
    load.result = LoadResult::Interrupted;
    load.bytesDrained = 16;
    load.detail = QStringLiteral("传送期间文件已改动");
    QVERIFY(TransferJournal::close(load));
    TransferJournal::Entry refused;
    refused.file = file;
    refused.radio = QStringLiteral("巡逻 02");
    refused.detail = QStringLiteral("不能打开串口 /dev/qt7020-none：No such file or directory");
    QVERIFY(TransferJournal::refuse(refused));
    QVERIFY(wholeLoad(QStringLiteral("指挥车"), file));
}

// A home of the test's own whose journal holds three loads of a 60-row file:
// one cut short on June 1st 2024, one refused, one whole.
struct ThreeLoads
{
    ThreeLoads()
    {
        threeLoads(file.path());
        entries = TransferJournal::entries();
    }
    const OwnHome home;
    TestDatabase file{ TestDatabase::numberedRows(60) };
    QVector<TransferJournal::Entry> entries;
};

static QList<QByteArray> journalLines()
{
    return readFile(TransferJournal::path()).split('\n');
}

static void writeJournal(const QList<QByteArray> &lines)
{
    writeFile(TransferJournal::path(), lines.join('\n'));
}

class TestJournal : public QObject
{
    Q_OBJECT
private slots:
    // No load without its record: the opening line is on the disk before the
    // first byte goes out, the closing line at the verdict, and frames and
    // bytes agree on it.
    void loadIsOpenedBeforeItsFirstByte()
    {
        const OwnHome home;
        TransferRig rig(TestDatabase::numberedRows(60));
        rig.controller.setRadio(QStringLiteral("指挥车"));
        QVERIFY(rig.controller.start(rig.controller.prepare()));
        QVERIFY(rig.port.written.isEmpty());
        TransferJournal::Entry opened = TransferJournal::entries().first();
        QCOMPARE(std::tuple(opened.resultWords(), opened.radio, opened.sha256, opened.frames),
                 std::tuple(QStringLiteral("中断（记录不完整）"), QStringLiteral("指挥车"),
                            QStringLiteral("d3bd7d894765510a8fb2b52cf8dfdac2c3fe4426cd4f04ee6052c5f2ad7cdedd"),
                            TestDatabase::sentFrames(1, 51)));
        rig.ticks(65);
        const QVector<TransferJournal::Entry> entries = TransferJournal::entries();
        QCOMPARE(entries.size(), 1);
        QCOMPARE(std::tuple(entries.first().resultWords(), entries.first().framesSent, entries.first().bytesDrained,
                            entries.first().device, entries.first().host),
                 std::tuple(QStringLiteral("完成"), 51, qint64(816), QStringLiteral("/dev/fake1"), QSysInfo::machineHostName()));
        QCOMPARE(journalLines().size(), 3);   // two lines and the end of the last

        // The other front end, on a device that is not there: one line, nothing sent, in Chinese.
        QCOMPARE(run({ "--send", "/dev/qt7020-none", "--db", rig.file.path(), "--radio", " 巡逻 02 " }), 1);
        const TransferJournal::Entry refused = TransferJournal::entries().first();
        QCOMPARE(std::tuple(refused.radio, refused.resultWords(), refused.framesSent, refused.bytesDrained, refused.detail),
                 std::tuple(QStringLiteral("巡逻 02"), QStringLiteral("失败"), 0, qint64(0),
                            QStringLiteral("不能打开串口 /dev/qt7020-none：设备不存在（文件或文件夹不存在）")));
    }

    // A journal that cannot be written stops the load before its first byte,
    // and one that fails at the end makes the verdict no "done".
    void unwritableJournalIsNoLoad()
    {
        const OwnHome home;
        TransferRig rig(TestDatabase::numberedRows(3));
        QVERIFY(QDir().mkpath(QFileInfo(TransferJournal::path()).absolutePath()));
        QVERIFY(QFile::link(QStringLiteral("/dev/full"), TransferJournal::path()));
        QSignalSpy reports(&rig.controller, &TransferController::report);
        QVERIFY(!rig.controller.start(rig.controller.prepare()));
        QVERIFY(rig.port.written.isEmpty() && !rig.controller.isRunning());
        QVERIFY2(reports.first().first().toString().startsWith(
                         QStringLiteral("传送记录 %1 不能写入：磁盘已满。没有传送。").arg(TransferJournal::path())),
                 qPrintable(reports.first().first().toString()));
        Pty radio;
        QString said;
        QCOMPARE(run({ "--send", radio.device(), "--db", rig.file.path() }, {}, &said), 1);
        QVERIFY2(said.contains(QStringLiteral("不能写入：磁盘已满。没有传送。")), qPrintable(said));
        QVERIFY(radio.read(1, 300).isEmpty());

        // Opened, then the journal goes: the radio has the plan, the record does not.
        QVERIFY(QFile::remove(TransferJournal::path()));
        QSignalSpy verdicts(&rig.controller, &TransferController::concluded);
        QSignalSpy unrecorded(&rig.controller, &TransferController::recordFailed);
        QVERIFY(rig.controller.start(rig.controller.prepare()));
        QVERIFY(QFile::rename(TransferJournal::path(), home.path(QStringLiteral("moved.log"))));
        QVERIFY(QDir().mkdir(TransferJournal::path()));
        rig.ticks(4);
        QTRY_COMPARE(verdicts.count(), 1);
        QCOMPARE(verdicts.first().first().value<LoadResult>(), LoadResult::Failed);
        QVERIFY2(verdicts.first().at(1).toString().startsWith(QStringLiteral("电台已收到 3 帧，但传送记录没有写入：")),
                 qPrintable(verdicts.first().at(1).toString()));
        QCOMPARE(unrecorded.count(), 1);
    }

    // The chain shows any change made to the journal: each case changes the
    // file of three loads, then --journal --verify and the listing say so.
    void journalShowsChanges_data()
    {
        QTest::addColumn<QString>("change");
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("said");      // what --verify says, in part
        QTest::addColumn<int>("damaged");       // the line listed as damaged; 0: none
        QTest::newRow("untouched") << "" << 0 << "传送记录完好：3 次传送，校验链头 " << 0;
        QTest::newRow("a frame of the newest") << "frame" << 1 << "第 4 行（" << 4;
        QTest::newRow("its checksum alone") << "checksum" << 1 << "：帧与记下的校验不符" << 4;
        QTest::newRow("a result") << "result" << 1 << "第 2 行（" << 2;
        QTest::newRow("a line removed") << "remove" << 1 << "第 2 行（2024-06-01 " << 2;
        QTest::newRow("junk appended") << "junk" << 1 << "第 6 行（时间不明）：不是本程序写的记录" << 6;
        QTest::newRow("old lines before the chain") << "old" << 0 << "（其中 1 次是旧记录，无校验链）" << 0;
        QTest::newRow("an old line slipped in") << "slipped" << 1 << "旧格式的记录夹在校验链中" << 4;
        QTest::newRow("cut off by a power failure") << "unclosed" << 0 << "传送记录完好：3 次传送" << 0;
        QTest::newRow("a folder") << "folder" << 2 << "不能读取" << 0;
    }

    void journalShowsChanges()
    {
        QFETCH(QString, change);
        QFETCH(int, status);
        QFETCH(QString, said);
        QFETCH(int, damaged);
        const OwnHome home;
        const QByteArray old = "2023-05-04T10:11:12\t/home/a/char4.mdb\t1a2b3c4d\t7\t失败：写入失败\n";
        if (change == "old") {   // the journal of an earlier version, appended to
            QVERIFY(QDir().mkpath(QFileInfo(TransferJournal::path()).absolutePath()));
            writeFile(TransferJournal::path(), old);
        }
        threeLoads(home.path(QStringLiteral("char4.mdb")));
        QList<QByteArray> lines = journalLines();
        if (change == "frame")
            lines[3].replace("016D593E00FD2343", "016D593E00FD2344");
        else if (change == "checksum")
            lines[3].replace("\"sha256\":\"d3bd", "\"sha256\":\"e3bd");
        else if (change == "result")
            lines[1].replace("中断", "完成");
        else if (change == "remove")
            lines.removeAt(2);
        else if (change == "junk")
            lines.insert(5, "{\"time\":12,\"frames\":\"ZZ\",\"result\":\"完成\"}");
        else if (change == "slipped")
            lines.insert(3, old.trimmed());
        else if (change == "unclosed")
            lines.removeAt(4);
        if (change == "folder") {
            QVERIFY(QFile::remove(TransferJournal::path()) && QDir().mkdir(TransferJournal::path()));
        } else {
            writeJournal(lines);
        }
        QString verdict, listing;
        QCOMPARE(run({ "--journal", "--verify" }, {}, &verdict), status);
        QVERIFY2(verdict.contains(said), qPrintable(verdict));
        QCOMPARE(run({ "--journal" }, {}, &listing), status == 2 ? 2 : 0);
        const QString mark = QStringLiteral("损坏的记录（第 %1 行）").arg(damaged);
        QVERIFY2(damaged ? listing.contains(mark) : !listing.contains(QStringLiteral("损坏")), qPrintable(listing));
        if (change == "unclosed")
            QVERIFY(listing.contains(QRegularExpression(QStringLiteral("^\\S+  中断（记录不完整）\n"))));
        // A changed load is no load to compare, and 传送记录… lists it as what it is.
        if (change == "frame" || change == "checksum") {
            QCOMPARE(run({ "--diff", "journal:1", home.path(QStringLiteral("none.mdb")) }, {}, &listing), 2);
            JournalDialog dialog(JournalReading().entries());
            QVERIFY(dialog.findChild<QTableWidget *>()->item(0, 2)->text().startsWith(mark + QStringLiteral("：帧与记下的校验不符")));
        }
    }

    // The journal of an earlier version, a folder deeper, is carried over once.
    void oldJournalIsCarriedOver()
    {
        const OwnHome home;
        const QString old = home.path(QStringLiteral("data/qt7020/qt7020/transfers.log"));
        QVERIFY(QDir().mkpath(QFileInfo(old).absolutePath()));
        writeFile(old, "2023-05-04T10:11:12\t/home/a/char4.mdb\t1a2b3c4d\t7\t失败：写入失败\n");
        QCOMPARE(TransferJournal::path(), home.path(QStringLiteral("data/qt7020/transfers.log")));
        QCOMPARE(TransferJournal::entries().size(), 1);
        QVERIFY(!QFile::exists(old));
        QCOMPARE(TransferJournal::entries().first().resultWords(), QStringLiteral("失败"));
    }

    // Labels stay data: a spreadsheet never runs one as a formula, and one
    // with a line break is refused where it is entered.
    void labelsStayData()
    {
        const OwnHome home;
        for (const char *label : { "=HYPERLINK(\"http://x\",\"y\")", "+1+2", "-2", "@SUM(A1)" }) {
            TransferJournal::Entry refused;
            refused.radio = QString::fromUtf8(label);
            QVERIFY(TransferJournal::refuse(refused));
        }
        QString csv;
        QCOMPARE(run({ "--journal", "--csv" }, {}, &csv), 0);
        for (const char *field : { "'@SUM(A1)", "'-2", "'+1+2", "\"'=HYPERLINK(\"\"http://x\"\",\"\"y\"\")\"" })
            QVERIFY2(csv.contains(QStringLiteral(",%1,").arg(QString::fromUtf8(field))), field);
        QString said;
        QCOMPARE(run({ "--send", "/dev/null", "--radio", "巡逻\n01,完成" }, {}, &said), 2);
        QVERIFY(said.contains(QStringLiteral("电台不能含换行")));
    }

    // What --journal, --csv, the report and 传送记录… show of the three loads.
    void journalListing()
    {
        const ThreeLoads loads;
        const TransferJournal::Entry &sent = loads.entries.at(0), &refused = loads.entries.at(1), &given = loads.entries.at(2);
        QCOMPARE(given.sha256, QStringLiteral("f30c5a5e31fa90fa97f3f62563cb85bf2aac95117ebbfa8aa2d884480c4b6cc2"));
        QString text, csv;
        QCOMPARE(run({ "--journal" }, {}, &text), 0);
        QVERIFY(text.startsWith(sent.time.toString(Qt::ISODate) + QStringLiteral("  完成\n  电台：指挥车\n  信道文件：")
                                + loads.file.path() + u'\n'));
        QVERIFY(text.contains(QStringLiteral("\n  校验 SHA-256：d3bd7d894765510a8fb2b52cf8dfdac2c3fe4426cd4f04ee6052c5f2ad7cdedd\n")));
        QVERIFY(text.contains(QStringLiteral("\n  帧数：1  字节：16  警告：2\n  说明：传送期间文件已改动\n")));
        QVERIFY(text.contains(QStringLiteral("说明：不能打开串口 /dev/qt7020-none：文件或文件夹不存在\n")));
        QVERIFY(text.endsWith(QStringLiteral("校验链头：%1\n").arg(JournalReading().head().left(16))));
        QCOMPARE(run({ "--journal", "--csv" }, {}, &csv), 0);
        QCOMPARE(csv.section(QStringLiteral("\r\n"), 0, 0), QStringLiteral("time,file,sha256,radio,device,frames,bytes,warnings,result,detail,host"));
        QVERIFY(csv.endsWith(QStringLiteral("\r\n2024-06-01T08:30:00+08:00,%1,%2,巡逻 01,/dev/ttyUSB0 0403:6001 A9,1,16,2,中断,传送期间文件已改动,%3\r\n")
                                     .arg(loads.file.path(), given.sha256, QSysInfo::machineHostName())));
        QCOMPARE(csv.count(QStringLiteral("\r\n")), 4);
        QVERIFY(qAbs(refused.time.secsTo(QDateTime::currentDateTime())) < 60);
    }

    // On paper by radio, labelled ones first, from --since on: 巡逻 01 of June
    // 1st is left out. 打印车队报告… prints every load the same way.
    void journalOnPaper()
    {
        const ThreeLoads loads;
        const QString pdf = loads.home.path(QStringLiteral("fleet.pdf"));
        QString text;
        QCOMPARE(run({ "--journal", "--pdf", pdf, "--since", "2024-06-02" }, {}, &text), 0);
        QVERIFY(text.startsWith(QStringLiteral("已把 2 部电台的 2 次传送打印到 %1。\n").arg(pdf)));
        QCOMPARE(run({ "-layout", pdf, "-" }, {}, &text, QStringLiteral("pdftotext")), 0);
        const QString lines[] = {
            QStringLiteral("自 2024-06-02 起，电台 2 部，传送 2 次"),
            QStringLiteral("1 +巡逻 02 +[-0-9: ]{16} +char4.mdb +- +0 +- +失败：不能打开串口"),
            QStringLiteral("2 +指挥车 +[-0-9: ]{16} +char4.mdb +d3bd7d894765510a +51 +- +完成"),
            QStringLiteral("传送记录校验链头：%1").arg(JournalReading().head().left(16)),
        };
        for (const QString &line : lines)
            QVERIFY2(text.contains(QRegularExpression(line)), qPrintable(line + u'\n' + text));
        QVERIFY(!text.contains(QStringLiteral("巡逻 01")));

        const QString report = loads.home.path(QStringLiteral("report.pdf"));
        JournalDialog dialog(loads.entries, {});
        dialog.show();
        QTimer chooser;
        connect(&chooser, &QTimer::timeout, &dialog, [&] { answerFileDialog(report); });
        chooser.start(10);
        button(&dialog, "打印车队报告…")->click();
        QCOMPARE(run({ "-layout", report, "-" }, {}, &text, QStringLiteral("pdftotext")), 0);
        for (const char *line : { "电台 3 部，传送 3 次", " 巡逻 01 ", " 巡逻 02 ", " 指挥车 " })
            QVERIFY2(text.contains(QString::fromUtf8(line)), line);
    }

    // 传送记录… over the window, within its width with 结果 in sight: local
    // times, short checksums and file names, whole on hover; Ctrl+C and 复制
    // copy the rows picked whole, in the table's order.
    void journalDialogShowsAndCopies()
    {
        const ThreeLoads loads;
        const TransferJournal::Entry &sent = loads.entries.at(0), &given = loads.entries.at(2);
        QWidget window;
        window.resize(792, 524);
        JournalDialog dialog(loads.entries, {}, &window);
        auto *table = dialog.findChild<QTableWidget *>();
        dialog.show();
        QVERIFY(QTest::qWaitForWindowActive(&dialog));
        QVERIFY(table->height() > dialog.height() / 2 && table->width() > dialog.width() / 2);   // the dialog is the table
        QVERIFY(dialog.width() <= window.width());
        QVERIFY(table->horizontalHeader()->sectionViewportPosition(2) + table->columnWidth(2) <= table->viewport()->width());
        const auto cell = [table](int column) { return std::pair(table->item(0, column)->text(), table->item(0, column)->toolTip()); };
        QCOMPARE(cell(0), std::pair(sent.time.toLocalTime().toString("yyyy-MM-dd HH:mm"), sent.time.toString(Qt::ISODate)));
        QCOMPARE(cell(3), std::pair(QStringLiteral("char4.mdb"), loads.file.path()));
        QCOMPARE(cell(4), std::pair(sent.sha256.left(16), sent.sha256));
        const QString host = QSysInfo::machineHostName();
        const QVector<QStringList> copied{ { sent.time.toString(Qt::ISODate), "指挥车", "完成", loads.file.path(), sent.sha256,
                                             "51", "816", "", "", host },
                                           { "2024-06-01T08:30:00+08:00", "巡逻 01", "中断：传送期间文件已改动", given.file,
                                             given.sha256, "1", "16", "2", given.device, host } };
        pick(table, { 2, 0 });
        QTest::keySequence(table, QKeySequence::Copy);
        QCOMPARE(Tsv::read(QGuiApplication::clipboard()->text()), copied);
        QGuiApplication::clipboard()->clear();
        button(&dialog, "复制")->click();
        QCOMPARE(Tsv::read(QGuiApplication::clipboard()->text()), copied);
    }

    // The buttons do what --diff does, in the same words, but name the loads
    // as the operator knows them: two loads, the older as A; one load against
    // the plan open in the window.
    void journalDialogCompares()
    {
        const ThreeLoads loads;
        const TransferJournal::Entry &sent = loads.entries.at(0), &given = loads.entries.at(2);
        const QString lastName = QStringLiteral("上次传送（指挥车，%1）").arg(sent.time.toLocalTime().toString("MM-dd HH:mm"));
        const QString olderName = QStringLiteral("传送（巡逻 01，%1）").arg(given.time.toLocalTime().toString("MM-dd HH:mm"));
        const QString path = loads.file.path();
        const struct { QString openPlan; QList<int> rows; const char *button; QStringList diff; QString names; } comparisons[] = {
            { {}, { 2, 0 }, "比较所选的两次", { "journal:3", "journal:1" }, QStringLiteral("A 为 %1，B 为 %2。").arg(olderName, lastName) },
            { path, { 0 }, "与当前信道表比较", { "journal:1", path }, QStringLiteral("A 为 %1，B 为 当前信道表 char4.mdb。").arg(lastName) },
        };
        for (const auto &c : comparisons) {
            JournalDialog journal(loads.entries, c.openPlan);
            journal.show();
            pick(journal.findChild<QTableWidget *>(), c.rows);
            QCOMPARE(button(&journal, "比较所选的两次")->isEnabled(), c.rows.size() == 2);
            QCOMPARE(button(&journal, "与当前信道表比较")->isEnabled(), c.rows.size() == 1);
            button(&journal, c.button)->click();
            auto *shown = journal.findChild<ComparisonDialog *>();
            QVERIFY(shown && shown->isVisible());
            QString text;
            QCOMPARE(run(QStringList{ "--diff" } + c.diff, {}, &text), c.rows.size() == 2 ? 1 : 0);
            QCOMPARE(shown->text().section(QStringLiteral("A 为 "), 0, 0), text.section(QStringLiteral("A 为 "), 0, 0));
            QVERIFY2(shown->text().endsWith(c.names), qPrintable(shown->text()));
            QVERIFY(shown->findChild<QPlainTextEdit *>()->height() > shown->height() / 2);   // the dialog is its text
        }
    }

    // What did radio X get: --journal --radio and --diff radio: find one
    // radio's loads, also in journals copied from other PCs (--from, and
    // 打开其他电脑的传送记录…), each checked on its own, each load naming its PC.
    void oneRadioAcrossPCs()
    {
        const OwnHome home;
        TestDatabase file(TestDatabase::numberedRows(60));
        threeLoads(file.path());   // on "pc2": 巡逻 01 broken off, 巡逻 02 refused, 指挥车 whole
        QByteArray previous, copied;
        for (const QByteArray &line : journalLines()) {
            QJsonObject o = QJsonDocument::fromJson(line).object();
            if (o.isEmpty())
                continue;
            if (o.contains(QLatin1String("host")))
                o.insert(QLatin1String("host"), QStringLiteral("pc2"));
            o.insert(QLatin1String("prev"), previous.isEmpty() ? QString() : LoadPlan::checksumOf(previous));
            previous = QJsonDocument(o).toJson(QJsonDocument::Compact);
            copied += previous + '\n';
        }
        const QString other = writeFile(home.path(QStringLiteral("pc2.log")), copied);
        QVERIFY(QFile::remove(TransferJournal::path()));
        QVERIFY(wholeLoad(QStringLiteral("巡逻 01")));   // on this PC: 巡逻 01 again

        QString text;
        QCOMPARE(run({ "--journal", "--radio", "巡逻 01", "--from", other }, {}, &text), 0);
        QVERIFY2(text.count(QStringLiteral("电台：巡逻 01")) == 2 && !text.contains(QStringLiteral("指挥车")), qPrintable(text));
        QVERIFY(text.indexOf(QStringLiteral("电脑：") + QSysInfo::machineHostName()) < text.indexOf(QStringLiteral("电脑：pc2")));
        QCOMPARE(run({ "--journal", "--csv", "--radio", "巡逻 01", "--from", other }, {}, &text), 0);
        QVERIFY(text.endsWith(QStringLiteral(",2,中断,传送期间文件已改动,pc2\r\n")) && text.count(u'\n') == 3);
        QCOMPARE(run({ "--journal", "--radio", "巡逻 09" }, {}, &text), 1);
        QCOMPARE(text, QStringLiteral("传送记录中没有电台 巡逻 09。\n"));
        const struct { QStringList arguments; int status; const char *said; } lookups[] = {
            { { "radio:巡逻 01", file.path() }, 0, "相同：51 帧逐字节一致" },
            { { "radio:指挥车", "radio:巡逻 01", "--from", other }, 0, "A 为 journal:2（指挥车，" },
            { { "radio:巡逻 02", file.path(), "--from", other }, 2, "传送记录中没有电台 巡逻 02 收到帧的传送。" },
            { { "radio:指挥车", file.path() }, 2, "传送记录中没有电台 指挥车 收到帧的传送。" },
        };
        for (const auto &l : lookups) {
            QCOMPARE(run(QStringList{ "--diff" } + l.arguments, {}, &text), l.status);
            QVERIFY2(text.contains(QString::fromUtf8(l.said)) && (l.status || text.contains(u'，' + QStringLiteral("pc2）")) == (l.arguments.size() > 2)),
                     qPrintable(text));
        }

        // On paper across both, each head printed; a copy changed since is named, a missing one refused.
        const QString pdf = home.path(QStringLiteral("all.pdf"));
        QCOMPARE(run({ "--journal", "--pdf", pdf, "--from", other }, {}, &text), 0);
        QCOMPARE(run({ "-layout", pdf, "-" }, {}, &text, QStringLiteral("pdftotext")), 0);
        QVERIFY(text.contains(QStringLiteral("电台 3 部，传送 4 次")) && text.contains(QStringLiteral(" pc2\n")));
        QVERIFY(text.contains(QStringLiteral("，pc2 %1").arg(JournalReading(other).head().left(16))));
        writeFile(other, copied.replace("016D593E00FD2343", "016D593E00FD2344"));
        QCOMPARE(run({ "--journal", "--from", other }, {}, &text), 0);
        QVERIFY(text.contains(QStringLiteral("传送记录 %1（pc2）被改动过：第 4 行").arg(other)));
        QCOMPARE(run({ "--journal", "--verify", "--from", other }, {}, &text), 1);
        QCOMPARE(run({ "--journal", "--from", home.path(QStringLiteral("none.log")) }, {}, &text), 2);

        // 传送记录… reads the copy beside this PC's journal.
        JournalDialog dialog(TransferJournal::entries());
        MessageBoxes boxes;
        QTimer chooser;
        connect(&chooser, &QTimer::timeout, &dialog, [&] { answerFileDialog(other); });
        chooser.start(10);
        button(&dialog, "打开其他电脑的传送记录…")->click();
        auto *table = dialog.findChild<QTableWidget *>();
        QCOMPARE(std::pair(table->rowCount(), table->item(1, 9)->text()), std::pair(4, QStringLiteral("pc2")));
        QVERIFY(boxes.texts().value(0).contains(QStringLiteral("（pc2）被改动过")));
    }

private:
    static void pick(QTableWidget *table, const QList<int> &rows)
    {
        table->clearSelection();
        for (int row : rows)
            table->selectionModel()->select(table->model()->index(row, 0),
                                            QItemSelectionModel::Select | QItemSelectionModel::Rows);
    }
    static QPushButton *button(QWidget *dialog, const char *text)
    {
        return dialog->findChild<QPushButton *>(QString::fromUtf8(text));
    }
};

QTEST_MAIN(TestJournal)
#include "tst_journal.moc"
