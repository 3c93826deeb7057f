#include "Fixtures.h"

#include "ChannelCursor.h"
#include "ChannelStore.h"
#include "ComparisonDialog.h"
#include "JournalDialog.h"
#include "TransferController.h"
#include "TransferJournal.h"
#include "TransferSequence.h"
#include "Tsv.h"

#include <QClipboard>
#include <QFileDialog>
#include <QHeaderView>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QtTest>

class TestJournal : public QObject
{
    Q_OBJECT
private slots:
    void journalOfTransfers()
    {
        const OwnHome home;
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
        controller.setRadio(QStringLiteral("指挥车"));
        QVERIFY(port.open());
        QVERIFY(controller.start());
        for (int i = 0; i < 70 && controller.isRunning(); ++i)
            controller.sequence()->tick();
        QVERIFY(!controller.isRunning());

        // The other front end, on a device that is not there.
        QCOMPARE(run({ "--send", "/dev/qt7020-none", "--db", file.path(), "--radio", " 巡逻 02 " }), 1);

        // Every field as a load gives it; texts with a comma, quotes, a line break.
        TransferJournal::Entry given;
        given.time = QDateTime(QDate(2024, 6, 1), QTime(8, 30), Qt::OffsetFromUTC, 8 * 3600);
        given.file = home.path(QStringLiteral("a,\"b\".mdb"));
        given.device = QStringLiteral("/dev/ttyUSB0 0403:6001 A9\nXY");
        given.frames = "0120DC1200803716";
        given.radio = QStringLiteral("巡逻 01");
        given.framesSent = 1;
        given.bytesDrained = 16;
        given.warnings = 2;
        given.result = TransferJournal::Result::Interrupted;
        given.detail = QStringLiteral("传送期间文件已改动");
        QVERIFY(TransferJournal::append(given));

        const QVector<TransferJournal::Entry> entries = TransferJournal::entries();
        QCOMPARE(entries.size(), 4);
        const auto fields = [](const TransferJournal::Entry &e) {
            return std::tuple(e.time, e.file, e.device, e.radio, e.sha256, e.frames, e.framesSent, e.bytesDrained, e.warnings,
                              TransferJournal::resultText(e.result), e.detail);
        };
        TransferJournal::Entry refused, sent, old;
        refused.time = entries.at(1).time;
        refused.file = sent.file = file.path();
        refused.radio = QStringLiteral("巡逻 02");
        refused.detail = QStringLiteral("不能打开串行端口 /dev/qt7020-none：设备不存在（文件或文件夹不存在）");
        sent.time = entries.at(2).time;
        sent.frames = port.written;
        sent.device = QStringLiteral("/dev/fake1");
        sent.radio = QStringLiteral("指挥车");
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
        QString text, csv;
        QCOMPARE(run({ "--journal" }, {}, &text), 0);
        QVERIFY(text.startsWith(QStringLiteral("2024-06-01T08:30:00+08:00  中断\n")));
        QVERIFY(text.contains(QStringLiteral("\n  电台：指挥车\n  信道文件：") + file.path() + u'\n'));
        QVERIFY(text.contains(QStringLiteral("\n  校验 SHA-256：") + sent.sha256 + u'\n'));
        QCOMPARE(run({ "--journal", "--csv" }, {}, &csv), 0);
        QCOMPARE(csv.section(QStringLiteral("\r\n"), 0, 1),
                 QStringLiteral("time,file,sha256,radio,device,frames,bytes,warnings,result\r\n"
                                "2024-06-01T08:30:00+08:00,\"%1/a,\"\"b\"\".mdb\",%2,巡逻 01,\"/dev/ttyUSB0 0403:6001 A9\nXY\",1,16,2,中断")
                         .arg(QFileInfo(given.file).absolutePath(), given.sha256));
        QCOMPARE(csv.count(QStringLiteral("\r\n")), 5);
        QVERIFY(csv.endsWith(QStringLiteral("/home/a/char4.mdb,1a2b3c4d,,,7,,,失败\r\n")));

        // On paper by radio, labelled ones first, from --since on: the line of 2023 is left out.
        const QString pdf = home.path(QStringLiteral("fleet.pdf"));
        QCOMPARE(run({ "--journal", "--pdf", pdf, "--since", "2024-06-01" }, {}, &text), 0);
        QVERIFY(text.startsWith(QStringLiteral("已把 3 部电台的 3 次传送打印到 %1。\n").arg(pdf)));
        QCOMPARE(run({ "-layout", pdf, "-" }, {}, &text, QStringLiteral("pdftotext")), 0);
        const QString lines[] = {
            QStringLiteral("自 2024-06-01 起，电台 3 部，传送 3 次"),
            QStringLiteral("1 +巡逻 01 +%1 +a,\"b\".mdb +f30c5a5e31fa90fa +1 +2 +中断：传送期间文件")
                    .arg(given.time.toLocalTime().toString("yyyy-MM-dd HH:mm")),
            QStringLiteral("2 +巡逻 02 +[-0-9: ]{16} +char4.mdb +- +0 +- +失败：不能打开串行"),
            QStringLiteral("3 +指挥车 +[-0-9: ]{16} +char4.mdb +d3bd7d894765510a +51 +0 +完成"),
        };
        for (const QString &line : lines)
            QVERIFY2(text.contains(QRegularExpression(line)), qPrintable(line + u'\n' + text));
        QVERIFY(!text.contains(QStringLiteral("2023-05-04")));

        // 传送记录… over the window, within its width with 结果 in sight: local
        // times, short checksums and file names, whole on hover; Ctrl+C and 复制
        // copy the rows picked whole, in the table's order.
        QWidget window;
        window.resize(792, 524);
        JournalDialog dialog(entries, {}, &window);
        auto *table = dialog.findChild<QTableWidget *>();
        dialog.show();
        QVERIFY(QTest::qWaitForWindowActive(&dialog));
        QVERIFY(table->height() > dialog.height() / 2 && table->width() > dialog.width() / 2);   // the dialog is the table
        QVERIFY(dialog.width() <= window.width());
        QVERIFY(table->horizontalHeader()->sectionViewportPosition(2) + table->columnWidth(2) <= table->viewport()->width());
        const auto cell = [table](int column) { return std::pair(table->item(2, column)->text(), table->item(2, column)->toolTip()); };
        QCOMPARE(cell(0), std::pair(sent.time.toLocalTime().toString("yyyy-MM-dd HH:mm"), sent.time.toString(Qt::ISODate)));
        QCOMPARE(cell(3), std::pair(QStringLiteral("char4.mdb"), file.path()));
        QCOMPARE(cell(4), std::pair(sent.sha256.left(16), sent.sha256));
        const QVector<QStringList> copied{ { "2024-06-01T08:30:00+08:00", "巡逻 01", "中断：传送期间文件已改动", given.file,
                                             given.sha256, "1", "16", "2", given.device },
                                           { entries.at(3).time.toString(Qt::ISODate), "", "失败：写入失败：I/O error", old.file,
                                             "1a2b3c4d", "7", "", "", "" } };
        pick(table, { 3, 0 });
        QTest::keySequence(table, QKeySequence::Copy);
        QCOMPARE(Tsv::read(QGuiApplication::clipboard()->text()), copied);
        QGuiApplication::clipboard()->clear();
        button(&dialog, "复制")->click();
        QCOMPARE(Tsv::read(QGuiApplication::clipboard()->text()), copied);

        // The buttons do what --diff does, in the same words, but name the
        // loads as the operator knows them: two loads, the older as A; one load
        // against the plan open in the window.
        const QString sentName = QStringLiteral("传送（指挥车，%1）").arg(sent.time.toLocalTime().toString("MM-dd HH:mm"));
        const QString lastName = QStringLiteral("上次传送（巡逻 01，%1）").arg(given.time.toLocalTime().toString("MM-dd HH:mm"));
        const struct { QString openPlan; QList<int> rows; const char *button; QStringList diff; QString names; } comparisons[] = {
            { {}, { 2, 0 }, "比较所选的两次", { "journal:3", "journal:1" }, QStringLiteral("A 为 %1，B 为 %2。").arg(sentName, lastName) },
            { file.path(), { 2 }, "与当前信道表比较", { "journal:3", file.path() },
              QStringLiteral("A 为 %1，B 为 当前信道表 char4.mdb。").arg(sentName) },
        };
        for (const auto &c : comparisons) {
            JournalDialog journal(entries, c.openPlan);
            journal.show();
            pick(journal.findChild<QTableWidget *>(), c.rows);
            QCOMPARE(button(&journal, "比较所选的两次")->isEnabled(), c.rows.size() == 2);
            QCOMPARE(button(&journal, "与当前信道表比较")->isEnabled(), c.rows.size() == 1);
            button(&journal, c.button)->click();
            auto *shown = journal.findChild<ComparisonDialog *>();
            QVERIFY(shown && shown->isVisible());
            QCOMPARE(run(QStringList{ "--diff" } + c.diff, {}, &text), c.rows.size() == 2 ? 1 : 0);
            QCOMPARE(shown->text().section(QStringLiteral("A 为 "), 0, 0), text.section(QStringLiteral("A 为 "), 0, 0));
            QVERIFY2(shown->text().endsWith(c.names), qPrintable(shown->text()));
            QVERIFY(shown->findChild<QPlainTextEdit *>()->height() > shown->height() / 2);   // the dialog is its text
        }

        // 打印车队报告…: every load, as --journal --pdf prints them.
        const QString report = home.path(QStringLiteral("report.pdf"));
        QTimer chooser;
        connect(&chooser, &QTimer::timeout, &dialog, [&] { answerFileDialog(report); });
        chooser.start(10);
        button(&dialog, "打印车队报告…")->click();
        QCOMPARE(run({ "-layout", report, "-" }, {}, &text, QStringLiteral("pdftotext")), 0);
        for (const char *line : { "电台 3 部，传送 4 次", " 巡逻 01 ", " 巡逻 02 ", " 指挥车 ", "2023-05-04" })
            QVERIFY2(text.contains(QString::fromUtf8(line)), line);
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
