#include "Fixtures.h"

#include "ChannelFields.h"
#include "ChannelSheet.h"
#include "FleetReport.h"
#include "TablePages.h"

#include <QPdfWriter>
#include <QtTest>

class TestSheet : public QObject
{
    Q_OBJECT
private slots:
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
        QCOMPARE(run({ "--pdf", pdf, "--db", file.path() }), 0);
        QString text, fonts;
        QCOMPARE(run({ "-layout", pdf, "-" }, {}, &text, QStringLiteral("pdftotext")), 0);
        const QDate today = QDate::currentDate();
        for (const QString &expected : { QStringLiteral("QT7020 信道表"), QStringLiteral("文件：char4.mdb"),
                                         QStringLiteral("日期：%1年%2月%3日").arg(today.year()).arg(today.month()).arg(today.day()), QStringLiteral("第 120 行"),
                                         QStringLiteral("以下各行不传送"), QStringLiteral("第 3 页，共 3 页"),
                                         // sha256sum of the 51 frames, row 2's 01EA593E007A2443 among them
                                         QStringLiteral("传送校验 SHA-256: 2bc909f90e92ac189d0c35dc9c3731e4cf89f117f55c4783e0e9291e0e75389a") })
            QVERIFY2(text.contains(expected), qPrintable(expected));
        QCOMPARE(text.count(QStringLiteral("传送校验 SHA-256: 2bc9")), 3);
        QVERIFY(text.contains(QRegularExpression(QStringLiteral("\\b2 +2 +1 +430\\.0250 +440\\.0250 +\\+10\\.0000 +是 +警告 "))));
        QCOMPARE(text.count(QStringLiteral("警告")), 1);
        QCOMPARE(text.count(QStringLiteral("记录编号")), 3);   // the heading on every page
        QCOMPARE(text.count(QStringLiteral(" 是 ")), 51);      // the rows a transfer sends
        const QString first = text.section(u'\f', 0, 0);        // on one page, with the rule under them
        QVERIFY(first.contains(QRegularExpression(QStringLiteral("\\b51 +51 +51 "))) && first.contains(QStringLiteral("以下各行不传送")));
        QVERIFY(text.contains(QRegularExpression(QStringLiteral("\\b51 +51 +51 +430\\.6375 +440\\.6375 +\\+10\\.0000 +是"))));
        QCOMPARE(run({ pdf }, {}, &fonts, QStringLiteral("pdffonts")), 0);
        const QStringList fontLines = fonts.split(u'\n', Qt::SkipEmptyParts).mid(2);
        QVERIFY(!fontLines.isEmpty());
        for (const QString &font : fontLines) {   // columns … emb sub uni object ID
            const QStringList columns = font.split(u' ', Qt::SkipEmptyParts);
            QCOMPARE(columns.value(columns.size() - 5), QStringLiteral("yes"));
        }
    }

    // Loads of three radios and unlabelled ones, interleaved in time as the
    // journal has them: on paper grouped by radio, newest first within each,
    // the heading on every page.
    void fleetReportPages()
    {
        const QString radios[] = { "巡逻 02", "", "巡逻 01", "指挥车" };
        QVector<TransferJournal::Entry> entries;
        for (int i = 0; i < 80; ++i) {
            TransferJournal::Entry e;
            e.time = QDateTime(QDate(2026, 3, 1), QTime(8, 0)).addSecs(-60 * i);   // newest first
            e.radio = radios[i % 4];
            e.framesSent = i;
            e.warnings = i == 2 ? 3 : -1;   // the operator let 3 go; the others were not asked
            entries << e;
        }
        const FleetReport report(entries, {}, QDate(2026, 3, 2));
        QCOMPARE(std::pair(report.radioCount(), report.loadCount()), std::pair(3, 80));
        QTemporaryDir dir;
        QString error, text;
        QVERIFY(report.writePdf(dir.filePath(QStringLiteral("r.pdf")), &error));
        QCOMPARE(run({ "-layout", dir.filePath(QStringLiteral("r.pdf")), "-" }, {}, &text, QStringLiteral("pdftotext")), 0);
        QVERIFY(text.contains(QStringLiteral("电台 3 部，传送 80 次")));
        QCOMPARE(text.count(QStringLiteral("序号")), 2);
        QVERIFY(text.contains(QRegularExpression(QStringLiteral("帧数 +警告 +结果"))));
        QVERIFY(text.contains(QRegularExpression(QStringLiteral("巡逻 01 .* 2 +3 +失败"))));
        QVERIFY(text.contains(QStringLiteral("第 2 页，共 2 页")));
        // Frames sent stand for the loads: 2, 6, … of 巡逻 01 first, the unlabelled ones (1, 5, …) last.
        QStringList order;
        for (const QString &line : text.split(u'\n'))
            if (line.contains(QRegularExpression(QStringLiteral("^ *\\d+ +\\S"))))
                order << line.simplified().section(u' ', 1, 1) + line.simplified().section(u' ', -4, -4);
        QCOMPARE(order.mid(0, 2), QStringList({ "巡逻2", "巡逻6" }));
        QCOMPARE(order.mid(20, 2), QStringList({ "巡逻0", "巡逻4" }));
        QCOMPARE(order.mid(40, 2), QStringList({ "指挥车3", "指挥车7" }));
        QCOMPARE(order.mid(60, 2), QStringList({ "-1", "-5" }));
        QCOMPARE(order.size(), 80);
    }

    // What takes a row's place on a page: the foot's second line; rows kept
    // together are drawn closer, one more and the page is full.
    void tablePages()
    {
        const TablePages::Column columns[] = { { u"行号", 0.4, Qt::AlignRight }, { u"内容", 0.6, Qt::AlignLeft } };
        const auto table = [&](int rows, const QString &above, int kept) {
            TablePages pages(QStringLiteral("表"), QString(), QDate(2026, 3, 2), { std::begin(columns), std::end(columns) });
            for (int r = 1; r <= rows; ++r)
                pages.addRow({ QString::number(r), QStringLiteral("第 %1 行").arg(r) }, r % 10 == 1);
            pages.keepTogether(kept);
            pages.setFoot(QStringLiteral("脚注"), above);
            return pages;
        };
        QTemporaryDir dir;
        QPdfWriter writer(dir.filePath(QStringLiteral("count.pdf")));
        int full = 1;   // the rows a page holds
        while (table(full + 1, {}, 0).pageCount(&writer) == 1)
            ++full;
        QVERIFY(full > 30);
        QCOMPARE(table(0, {}, 0).pageCount(&writer), 1);
        QCOMPARE(table(full, QStringLiteral("链头"), 0).pageCount(&writer), 2);
        QCOMPARE(table(full + 10, {}, full + 10).pageCount(&writer), 1);
        QCOMPARE(table(full + 11, {}, full + 10).pageCount(&writer), 2);

        TablePages pages = table(full, QStringLiteral("链头甲，链头乙"), 0);
        pages.addDivider(QStringLiteral("以下另起"));
        QString error, text;
        QVERIFY(pages.writePdf(dir.filePath(QStringLiteral("t.pdf")), QStringLiteral("表"), &error));
        QCOMPARE(run({ "-layout", dir.filePath(QStringLiteral("t.pdf")), "-" }, {}, &text, QStringLiteral("pdftotext")), 0);
        const QStringList pageTexts = text.split(u'\f', Qt::SkipEmptyParts);
        QCOMPARE(pageTexts.size(), 2);
        QVERIFY(pageTexts.at(1).contains(QRegularExpression(QStringLiteral("\\b%1 +第 %1 行").arg(full))));
        QVERIFY(pageTexts.at(1).contains(QStringLiteral("以下另起")));
        for (const QString &page : pageTexts)
            QVERIFY(page.contains(QRegularExpression(QStringLiteral("行号 +内容"))) && page.contains(QStringLiteral("链头甲，链头乙\n"))
                    && page.contains(QRegularExpression(QStringLiteral("脚注 +第 \\d 页，共 2 页"))));
    }
};

QTEST_MAIN(TestSheet)
#include "tst_sheet.moc"
