#include "ChannelFrame.h"
#include "NumericReading.h"

#include <QtTest>

class TestChannelFrame : public QObject
{
    Q_OBJECT
private slots:
    void numericReading_data();
    void numericReading();
    void frames_data();
    void frames();
    void rejectedRows_data();
    void rejectedRows();
};

void TestChannelFrame::numericReading_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<double>("expected");
    QTest::newRow("fraction") << "150.025" << 150.025;
    QTest::newRow("blank inside") << "1 2" << 12.0;
    QTest::newRow("tab and newline") << "\t4\n3 8.5" << 438.5;
    QTest::newRow("signs") << "- 5" << -5.0;
    QTest::newRow("exponent with sign") << "25e-1" << 2.5;
    QTest::newRow("incomplete exponent sign") << "12e+x" << 12.0;
    QTest::newRow("stops at second point") << "1.2.3" << 1.2;
    QTest::newRow("stops at letters") << "438.5MHz" << 438.5;
    QTest::newRow("leading point") << ".5" << 0.5;
    QTest::newRow("hex") << "&HFF" << 255.0;
    QTest::newRow("hex stops") << "&H1G" << 1.0;
    QTest::newRow("octal") << "&O17" << 15.0;
    QTest::newRow("octal stops at 8") << "&O78" << 7.0;
    QTest::newRow("letters") << "abc" << 0.0;
    QTest::newRow("sign only") << "-" << 0.0;
    QTest::newRow("comma is no point") << "145,5" << 145.0;
    QTest::newRow("full-width digits end it") << "１２" << 0.0;
}

void TestChannelFrame::numericReading()
{
    QFETCH(QString, text);
    QFETCH(double, expected);
    QCOMPARE(NumericReading::read(text), expected);
}

void TestChannelFrame::frames_data()
{
    QTest::addColumn<QVariant>("channel");
    QTest::addColumn<QVariant>("receive");
    QTest::addColumn<QVariant>("transmit");
    QTest::addColumn<QString>("frame");
    const QVariant null;
    // The worked rows of the radio's documentation.
    QTest::newRow("UHF simplex") << QVariant(5) << QVariant(438.5) << QVariant(438.5) << "05F8A43F00E8E842";
    QTest::newRow("VHF duplex") << QVariant(12) << QVariant(150.025) << QVariant(155.525) << "0C6AA0130032BB17";
    QTest::newRow("whole MHz") << QVariant(1) << QVariant(145) << QVariant(145) << "0120DC1200102016";
    QTest::newRow("null channel") << null << QVariant(145) << QVariant(145) << ChannelFrame::nullFrame;
    QTest::newRow("zero channel") << QVariant(0) << QVariant(1e9) << QVariant("x") << ChannelFrame::nullFrame;
    QTest::newRow("letters channel") << QVariant("CH") << QVariant(145) << QVariant(145) << ChannelFrame::nullFrame;
    // Fields as texts, the way an operator may have typed them.
    QTest::newRow("texts") << QVariant("1 2") << QVariant("150.025") << QVariant(" 155.525 ") << "0C6AA0130032BB17";
    QTest::newRow("channel 15") << QVariant(15) << QVariant(145) << QVariant(145) << "0F20DC1200102016";
    QTest::newRow("channel 16") << QVariant(16) << QVariant(145) << QVariant(145) << "1020DC1200102016";
    QTest::newRow("channel rounds half to even") << QVariant(2.5) << QVariant(145) << QVariant(145) << "0220DC1200102016";
    QTest::newRow("receive null") << QVariant(1) << null << QVariant(145) << "0100000000102016";
    QTest::newRow("receive zero, no offset") << QVariant(1) << QVariant(0) << QVariant(145) << "0100000000102016";
    QTest::newRow("transmit null") << QVariant(1) << QVariant(145) << null << "0120DC1200000000";
    QTest::newRow("transmit half to even") << QVariant(1) << QVariant(145) << QVariant(145.00025) << "0120DC1200122016";
    QTest::newRow("lowest receive") << QVariant(1) << QVariant(126.2576) << QVariant(145) << "0100001000102016";
    QTest::newRow("highest receive") << QVariant(1) << QVariant(1699.1215) << QVariant(145) << "01FFFFFF00102016";
    QTest::newRow("lowest transmit") << QVariant(1) << QVariant(145) << QVariant(104.8576) << "0120DC1200000010";
    QTest::newRow("highest transmit") << QVariant(1) << QVariant(145) << QVariant(1677.7215) << "0120DC1200FFFFFF";
}

void TestChannelFrame::frames()
{
    QFETCH(QVariant, channel);
    QFETCH(QVariant, receive);
    QFETCH(QVariant, transmit);
    QFETCH(QString, frame);
    const ChannelFrame encoded = ChannelFrame::encode(channel, receive, transmit);
    QVERIFY2(encoded.isValid(), qPrintable(encoded.errorMessage()));
    QCOMPARE(encoded.text(), frame);
}

void TestChannelFrame::rejectedRows_data()
{
    QTest::addColumn<QVariant>("channel");
    QTest::addColumn<QVariant>("receive");
    QTest::addColumn<QVariant>("transmit");
    QTest::addColumn<int>("field");
    QTest::addColumn<QString>("message");
    QTest::newRow("channel 256") << QVariant(256) << QVariant(145) << QVariant(145) << 1 << "信道号 超出范围 (1–255): 256";
    QTest::newRow("negative channel") << QVariant(-1) << QVariant(145) << QVariant(145) << 1 << "信道号 超出范围 (1–255): -1";
    QTest::newRow("channel rounds to 0") << QVariant(0.4) << QVariant(145) << QVariant(145) << 1 << "信道号 超出范围 (1–255): 0.4";
    QTest::newRow("receive too low") << QVariant(1) << QVariant(99.5) << QVariant(145) << 2 << "接收频率 超出范围: 99.5";
    QTest::newRow("receive just below six digits") << QVariant(1) << QVariant(126.2575) << QVariant(145) << 2 << "接收频率 超出范围: 126.2575";
    QTest::newRow("receive seven digits") << QVariant(1) << QVariant(1699.1216) << QVariant(145) << 2 << "接收频率 超出范围: 1699.1216";
    QTest::newRow("transmit seven digits") << QVariant(1) << QVariant(145) << QVariant(1677.7216) << 3 << "发送频率 超出范围: 1677.7216";
    QTest::newRow("receive overflow") << QVariant(1) << QVariant("1e400") << QVariant(145) << 2 << "接收频率 不是有效数值: 1e400";
    QTest::newRow("transmit overflow") << QVariant(1) << QVariant(145) << QVariant(1e305) << 3 << "发送频率 不是有效数值: 1e+305";
    QTest::newRow("channel overflow") << QVariant("9e999") << QVariant(145) << QVariant(145) << 1 << "信道号 超出范围 (1–255): 9e999";
}

void TestChannelFrame::rejectedRows()
{
    QFETCH(QVariant, channel);
    QFETCH(QVariant, receive);
    QFETCH(QVariant, transmit);
    QFETCH(int, field);
    QFETCH(QString, message);
    const ChannelFrame encoded = ChannelFrame::encode(channel, receive, transmit);
    QVERIFY(!encoded.isValid());
    QVERIFY(encoded.text().isEmpty());
    QCOMPARE(int(encoded.errorField()), field);
    QCOMPARE(encoded.errorMessage(), message);
}

QTEST_APPLESS_MAIN(TestChannelFrame)
#include "tst_channelframe.moc"
