#include "FakeSerialLink.h"
#include "MessageBoxes.h"
#include "Pty.h"
#include "TestDatabase.h"

#include "MainWindow.h"
#include "ChannelCursor.h"
#include "ChannelModel.h"
#include "PortDialog.h"
#include "QtSerialLink.h"
#include "ChannelFrame.h"
#include "RowCheck.h"
#include "TransferSequence.h"

#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QRandomGenerator>
#include <QtTest>

class TestFaults : public QObject
{
    Q_OBJECT
private slots:
    void deviceVanishesMidTransfer();
    void damagedChannelFileAtStartUp_data();
    void damagedChannelFileAtStartUp();
    void randomRowsAreJudgedLikeTheEncoder();
};

void TestFaults::deviceVanishesMidTransfer()
{
    auto com1 = std::make_unique<Pty>();
    Pty com2;
    qputenv("QT7020_COM1", com1->device().toLocal8Bit());
    qputenv("QT7020_COM2", com2.device().toLocal8Bit());
    TestDatabase file(TestDatabase::numberedRows(60));
    auto *link = new QtSerialLink;
    MainWindow window(std::unique_ptr<SerialLink>(link), file.path());
    MessageBoxes boxes;
    window.load();
    QVERIFY(link->isOpen());

    QSignalSpy sent(window.transfer(), &TransferSequence::frameSent);
    window.findChild<QAction *>(QStringLiteral("传送"))->trigger();
    QVERIFY(com1->read(16 * 5).size() >= 16 * 5);
    com1->closeMaster();   // the adapter is pulled out
    QTRY_COMPARE_WITH_TIMEOUT(boxes.seen.size(), 1, 3000);
    QVERIFY2(boxes.texts().at(0).startsWith(QStringLiteral("串行端口 1（%1）出现故障，已关闭").arg(com1->device())),
             qPrintable(boxes.texts().at(0)));
    QVERIFY2(boxes.texts().at(0).endsWith(QStringLiteral("数据传送已停止。\n已发送 %1 帧（第 1–%1 行），其余未发送")
                                                  .arg(sent.count())),
             qPrintable(boxes.texts().at(0)));
    QVERIFY(!window.transfer()->isRunning());
    QVERIFY(!link->isOpen());
    QCOMPARE(window.findChild<QLabel *>(QStringLiteral("Label2"))->text(), QString());
    QCOMPARE(window.findChild<ChannelCursor *>()->currentRow(), 0);
    const int sentBefore = sent.count();
    QTest::qWait(300);
    QCOMPARE(sent.count(), sentBefore);

    // COM2 works: a whole transfer there.
    window.findChild<QAction *>(QStringLiteral("端口"))->trigger();
    PortDialog *dialog = window.portDialog();
    dialog->findChild<QRadioButton *>(QStringLiteral("Option2"))->setChecked(true);
    dialog->findChild<QPushButton *>(QStringLiteral("OKButton"))->click();
    QVERIFY(link->isOpen());
    QSignalSpy finished(window.transfer(), &TransferSequence::finished);
    window.findChild<QAction *>(QStringLiteral("传送"))->trigger();
    QCOMPARE(com2.read(816, 10000).size(), 816);
    QVERIFY(finished.wait(3000));
    QCOMPARE(boxes.seen.size(), 1);
}

void TestFaults::damagedChannelFileAtStartUp_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("cause");
    QTest::newRow("missing") << "missing" << "文件不存在";
    QTest::newRow("garbage") << "garbage" << "不是信道数据库";
    QTest::newRow("empty") << "empty" << "文件是空的";
    QTest::newRow("directory") << "directory" << "不是文件";
    QTest::newRow("no table") << "no table" << "缺少信道表";
    QTest::newRow("truncated") << "truncated" << "database disk image is malformed";
    QTest::newRow("short table") << "short table" << "信道表的字段少于五个";
}

void TestFaults::damagedChannelFileAtStartUp()
{
    QFETCH(QString, kind);
    QFETCH(QString, cause);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("char4.mdb"));
    auto write = [&](const QByteArray &bytes) {
        QFile f(path);
        f.open(QIODevice::WriteOnly);
        f.write(bytes);
    };
    if (kind == u"missing") {
    } else if (kind == u"garbage") {
        write(QByteArray(8192, '\x5a'));
    } else if (kind == u"empty") {
        write({});
    } else if (kind == u"directory") {
        QDir(dir.path()).mkdir(QStringLiteral("char4.mdb"));
    } else if (kind == u"truncated") {
        TestDatabase whole(TestDatabase::numberedRows(3000));
        QFile f(whole.path());
        f.open(QIODevice::ReadOnly);
        write(f.read(f.size() / 2));
    } else {
        TestDatabase made({}, kind == u"no table" ? QStringLiteral("CREATE TABLE other (a)")
                                                  : QStringLiteral("CREATE TABLE 信道表 (a, b)"));
        QFile::copy(made.path(), path);
    }
    const QByteArray before = QFileInfo(path).isFile() ? fileDigest(path) : QByteArray();
    const QStringList filesBefore = QDir(dir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden);

    auto *port = new FakeSerialLink;
    MainWindow window(std::unique_ptr<SerialLink>(port), path);
    MessageBoxes boxes;
    window.load();
    QCOMPARE(boxes.seen.size(), 1);
    const QString text = boxes.texts().at(0);
    QVERIFY2(text.contains(QStringLiteral("char4.mdb")) && text.contains(QDir::toNativeSeparators(dir.path()))
                     && text.contains(cause),
             qPrintable(text));
    QVERIFY(port->isOpen());   // the port is opened all the same
    if (!before.isEmpty())
        QCOMPARE(fileDigest(path), before);
    QCOMPARE(QDir(dir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden), filesBefore);

    window.findChild<QAction *>(QStringLiteral("传送"))->trigger();
    QTRY_COMPARE(boxes.seen.size(), 2);
    QVERIFY(port->written.isEmpty());
}

void TestFaults::randomRowsAreJudgedLikeTheEncoder()
{
    QRandomGenerator random(8);
    auto anyValue = [&random]() -> QVariant {
        switch (random.bounded(9)) {
        case 0: return QVariant();
        case 1: return qlonglong(random.bounded(-300, 600));
        case 2: return random.bounded(2000.0) - 200;
        case 3: return QStringLiteral("%1").arg(random.bounded(100, 500) + random.bounded(1.0));
        case 4: return std::ldexp(random.generateDouble(), random.bounded(-1100, 1100));
        case 5: return QStringLiteral("NaN");
        case 6: return QStringLiteral("&H%1").arg(random.generate(), 0, 16);
        case 7: return QStringLiteral("1e%1").arg(random.bounded(-400, 400));
        default: return QStringLiteral("%1 %2").arg(random.bounded(10)).arg(random.bounded(10));
        }
    };
    QVector<QVariantList> rows;
    for (int i = 0; i < 10000; ++i)
        rows << QVariantList{ i + 1, anyValue(), anyValue(), anyValue(), QString() };
    TestDatabase file(rows);
    ChannelModel model;
    QVERIFY(model.open(file.path()));

    int firstBad = -1;
    for (int row = 0; const ChannelRow *r = model.rowAt(row); ++row) {
        const ChannelFrame frame = ChannelFrame::encode(*r);
        const RowVerdict verdict = checkRow(*r);
        QCOMPARE(verdict.sendable(), frame.isValid());
        if (frame.isValid()) {
            QCOMPARE(verdict.frame, frame.text());
            QVERIFY(QRegularExpression(QStringLiteral("^[0-9A-F]{16}$")).match(frame.text()).hasMatch());
        } else {
            QVERIFY(!verdict.problems[frame.errorField()].isEmpty());
            if (firstBad < 0 && row < TransferSequence::frameCount)
                firstBad = row;
        }
    }
    QCOMPARE(model.rowCount(), 10000);
    const QString problem = TransferSequence::checkTable(&model);
    QCOMPARE(problem.isEmpty(), firstBad < 0);
    if (firstBad >= 0)
        QVERIFY2(problem.startsWith(QStringLiteral("第 %1 行").arg(firstBad + 1)), qPrintable(problem));
}

QTEST_MAIN(TestFaults)
#include "tst_faults.moc"
