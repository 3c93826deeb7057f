#include "Fixtures.h"

#include "ChannelSheet.h"

#include <QtTest>

class TestSheet : public QObject
{
    Q_OBJECT
private slots:
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
        const QDate today = QDate::currentDate();
        for (const QString &expected : { QStringLiteral("QT7020 信道表"), QStringLiteral("文件：char4.mdb"),
                                         QStringLiteral("日期：%1年%2月%3日").arg(today.year()).arg(today.month()).arg(today.day()), QStringLiteral("第 120 行"),
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
};

QTEST_GUILESS_MAIN(TestSheet)
#include "tst_sheet.moc"
