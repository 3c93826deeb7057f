#include "TestDatabase.h"

#include "ChannelFileKind.h"
#include "ChannelModel.h"
#include "FieldValue.h"
#include "JetConversion.h"
#include "JetReader.h"
#include "JetTable.h"
#include "ChannelFrame.h"

#include <QtEndian>
#include <QtTest>

#include <glib.h>
#include <mdbtools.h>

// A fixture copied into a folder of its own, as char4.mdb unless named otherwise.
static QString copyFixture(const QTemporaryDir &dir, const char *fixture, const char *as = "char4.mdb")
{
    const QString target = dir.filePath(QString::fromLatin1(as));
    QFile::copy(QStringLiteral(QT7020_TEST_DATA "/") + QString::fromLatin1(fixture), target);
    QFile::setPermissions(target, QFile::ReadOwner | QFile::WriteOwner);
    return target;
}

static QStringList framesOf(ChannelModel &model)
{
    QStringList frames;
    for (int row = 0; const ChannelRow *r = model.rowAt(row); ++row) {
        const ChannelFrame f = ChannelFrame::encode(*r);
        frames << (f.isValid() ? f.text() : f.errorMessage());
    }
    return frames;
}

class TestJet : public QObject
{
    Q_OBJECT
private slots:
    void kindsFromTheFirstBytes();
    void readsTheFixtureTables();
    void singleDoubleAndCurrencyReadAsPrinted();
    void conversionKeepsEveryValueAndFrame();
    void failedConversionChangesNothing();
    void readerFailuresBecomeMessages_data();
    void readerFailuresBecomeMessages();
    void damagedCopiesEndWithinTheLimit();
};

// The processes this test has started and not yet reaped (QProcess forks from the main thread).
static QByteArray children()
{
    QFile f(QStringLiteral("/proc/self/task/%1/children").arg(QCoreApplication::applicationPid()));
    f.open(QIODevice::ReadOnly);
    return f.readAll().trimmed();
}

void TestJet::kindsFromTheFirstBytes()
{
    QTemporaryDir dir;
    QCOMPARE(channelFileKind(copyFixture(dir, "jet3-access97.mdb", "a.mdb")), ChannelFileKind::Jet3);
    QCOMPARE(channelFileKind(copyFixture(dir, "jet4-chinese-text.mdb", "b.mdb")), ChannelFileKind::Jet4);
    TestDatabase sqlite;
    QCOMPARE(channelFileKind(sqlite.path()), ChannelFileKind::SQLite);
    QByteArray ace(0x40, '\0');
    ace.replace(4, 15, "Standard Jet DB");
    ace[0x14] = 3;
    const struct { QByteArray bytes; ChannelFileKind kind; } heads[] = {
        { ace, ChannelFileKind::Ace }, { ace.left(10), ChannelFileKind::Unknown },
        { QByteArray(100, 'x'), ChannelFileKind::Unknown }, { {}, ChannelFileKind::Empty },
    };
    for (const auto &head : heads) {
        QFile f(dir.filePath(QStringLiteral("head.mdb")));
        f.open(QIODevice::WriteOnly | QIODevice::Truncate);
        f.write(head.bytes);
        f.close();
        QCOMPARE(channelFileKind(f.fileName()), head.kind);
    }
}

void TestJet::readsTheFixtureTables()
{
    QTemporaryDir dir;
    JetTable table;
    QVERIFY2(table.read(copyFixture(dir, "jet3-access97.mdb", "97.mdb"), QStringLiteral("Table1")),
             qPrintable(table.errorString()));
    QCOMPARE(table.fieldNames(), QStringList({ "A", "B", "C", "D", "E", "F", "G", "H", "I" }));
    QCOMPARE(table.rows().size(), 2);
    const QVariantList second = table.rows().at(1);
    QCOMPARE(second.at(0), QVariant(QStringLiteral("abcdefg")));
    QCOMPARE(second.at(2), QVariant(qlonglong(2)));
    QCOMPARE(second.at(3), QVariant(qlonglong(222)));
    QCOMPARE(second.at(4), QVariant(qlonglong(333333333)));
    QCOMPARE(second.at(5).typeId(), QMetaType::Double);
    QCOMPARE(FieldValue::fieldText(second.at(5)), QStringLiteral("444.555"));
    QCOMPARE(second.at(6), QVariant(QStringLiteral("1974-09-21 00:00:00")));
    QCOMPARE(FieldValue::fieldText(second.at(7)), QStringLiteral("3.5"));
    QCOMPARE(second.at(8), QVariant(1));

    QVERIFY(table.read(copyFixture(dir, "jet4-chinese-columns.mdb", "cn.mdb"), QStringLiteral("Sheet1")));
    QCOMPARE(table.fieldNames().mid(0, 2), QStringList({ QStringLiteral("字段1"), QStringLiteral("字段2") }));
    QCOMPARE(table.rows().size(), 1770);
    QCOMPARE(table.rows().at(0).at(0), QVariant(QStringLiteral("代\u00A0\u00A0\u00A0\u00A0码")));
    QVERIFY(!table.rows().at(0).at(1).isValid());
    QCOMPARE(table.rows().at(1).at(4), QVariant(QStringLiteral("农、林、牧、渔业")));
    // The header of `student` says 3 rows; 2 are alive.
    QVERIFY(table.read(dir.filePath(QStringLiteral("cn.mdb")), QStringLiteral("student")));
    QCOMPARE(table.rows().size(), 2);
    QCOMPARE(table.rows().at(0).at(1), QVariant(QStringLiteral("张三")));

    QVERIFY(table.read(copyFixture(dir, "jet4-chinese-text.mdb", "users.mdb"), QStringLiteral("Users")));
    QCOMPARE(table.rows().at(2).at(1), QVariant(QStringLiteral("张三")));
    QCOMPARE(table.rows().at(2).at(2), QVariant(QStringLiteral("男")));
    QVERIFY(table.read(copyFixture(dir, "jet4-unicode-compression.mdb", "u.mdb"), QStringLiteral("Table")));
    QCOMPARE(table.rows().at(2).at(1), QVariant(QStringLiteral("Мир")));
    QCOMPARE(table.rows().at(3).at(1).toString().normalized(QString::NormalizationForm_C),
             QStringLiteral("ϰαὶ τότ' ἐγὼ Κύϰλωπα").normalized(QString::NormalizationForm_C));

    QVERIFY(!table.read(dir.filePath(QStringLiteral("users.mdb")), QStringLiteral("信道表")));
    QCOMPARE(table.errorString(), QStringLiteral("缺少信道表"));
}

void TestJet::singleDoubleAndCurrencyReadAsPrinted()
{
    // Raw little-endian values as Jet stores them, and the text each must read as.
    auto text = [](int type, auto value) {
        char raw[sizeof value];
        qToLittleEndian(value, raw);
        return FieldValue::fieldText(JetTable::value(type, raw, int(sizeof value), QString()));
    };
    QCOMPARE(text(MDB_FLOAT, 145.0125f), QStringLiteral("145.0125"));   // mdbtools' own: 145.013
    QCOMPARE(text(MDB_FLOAT, 150.025f), QStringLiteral("150.025"));
    QCOMPARE(text(MDB_FLOAT, 1699.121f), QStringLiteral("1699.121"));
    QCOMPARE(text(MDB_DOUBLE, 0.1 + 0.2), QStringLiteral("0.3"));
    QCOMPARE(text(MDB_DOUBLE, 1677.7215), QStringLiteral("1677.7215"));
    QCOMPARE(text(MDB_MONEY, qint64(1450125)), QStringLiteral("145.0125"));
    QCOMPARE(text(MDB_MONEY, qint64(-35000)), QStringLiteral("-3.5"));
}

void TestJet::conversionKeepsEveryValueAndFrame()
{
    QTemporaryDir dir;
    const QString path = copyFixture(dir, "jet4-chinese-columns.mdb");
    const QByteArray original = fileDigest(path);
    JetTable jet;
    QVERIFY(jet.read(path, QStringLiteral("Sheet1")));
    ChannelModel before;
    QVERIFY(before.open(path, QStringLiteral("Sheet1")));
    const QStringList frames = framesOf(before);

    QString backup, error;
    QVERIFY2(JetConversion::convert(path, &backup, &error, QStringLiteral("Sheet1")), qPrintable(error));
    QCOMPARE(backup, dir.filePath(QStringLiteral("char4.jet.mdb")));
    QCOMPARE(fileDigest(backup), original);
    QCOMPARE(channelFileKind(path), ChannelFileKind::SQLite);
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden).size(), 2);

    ChannelModel after;
    QVERIFY2(after.open(path), qPrintable(after.errorString()));
    QVERIFY(!after.isReadOnly());
    QCOMPARE(framesOf(after), frames);
    // Every field of every row, with its kind, including the columns past the fifth.
    const QVector<QVariantList> stored = TestDatabase::readAll(path);
    QCOMPARE(stored.size(), jet.rows().size());
    for (int r = 0; r < stored.size(); ++r)
        QCOMPARE(stored.at(r), jet.rows().at(r));

    // A second conversion of another Access file finds the first backup taken.
    copyFixture(dir, "jet4-chinese-columns.mdb", "char4.mdb.new");
    QFile::remove(path);
    QFile::rename(dir.filePath(QStringLiteral("char4.mdb.new")), path);
    QVERIFY(JetConversion::convert(path, &backup, &error, QStringLiteral("Sheet1")));
    QCOMPARE(backup, dir.filePath(QStringLiteral("char4.jet.2.mdb")));
}

void TestJet::failedConversionChangesNothing()
{
    QTemporaryDir dir;
    const QString path = copyFixture(dir, "jet4-chinese-text.mdb");
    const QByteArray original = fileDigest(path);
    QString backup, error;
    QVERIFY(!JetConversion::convert(path, &backup, &error));   // it has no 信道表
    QCOMPARE(error, QStringLiteral("缺少信道表"));
    QCOMPARE(fileDigest(path), original);
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList(QStringLiteral("char4.mdb")));

    // A file that only claims to be Access.
    QFile fake(path);
    QVERIFY(fake.open(QIODevice::WriteOnly));
    QByteArray bytes(4096, '\x7f');
    bytes.replace(4, 15, "Standard Jet DB");
    bytes[0x14] = 1;
    fake.write(bytes);
    fake.close();
    QVERIFY(!JetConversion::convert(path, &backup, &error));
    QCOMPARE(fileDigest(path), QCryptographicHash::hash(bytes, QCryptographicHash::Sha256));
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList(QStringLiteral("char4.mdb")));

    TestDatabase sqlite;
    QVERIFY(!JetConversion::convert(sqlite.path(), &backup, &error));
    QCOMPARE(error, QStringLiteral("不是 Access 格式的文件"));
}

void TestJet::readerFailuresBecomeMessages_data()
{
    QTest::addColumn<QString>("reader");
    QTest::addColumn<QString>("message");
    QTest::newRow("hangs") << "sh -c \"sleep 60\"" << "文件已损坏（读取超过 0.5 秒仍未结束）";
    QTest::newRow("crashes") << "sh -c \"kill -SEGV $$\"" << "文件已损坏（读取程序异常终止，信号 11）";
    QTest::newRow("nonsense") << "sh -c \"printf '\\000\\000\\000\\011garbage..'\"" << "文件已损坏（读取结果无法识别）";
    // A well-formed head that promises four thousand million rows.
    QTest::newRow("huge count") << "sh -c \"printf '\\000\\000\\000\\021JET1\\001\\377\\377\\377\\377\\000\\000\\000\\000\\377\\377\\377\\377'\""
                                << "文件已损坏（读取结果无法识别）";
    QTest::newRow("fails") << "sh -c \"exit 3\"" << "文件已损坏（读取程序出错退出，代码 3）";
    QTest::newRow("missing") << "/nonexistent/reader" << "文件已损坏（无法启动读取程序";
}

void TestJet::readerFailuresBecomeMessages()
{
    QFETCH(QString, reader);
    QFETCH(QString, message);
    QTemporaryDir dir;
    const QString path = copyFixture(dir, "jet3-access97.mdb");
    const QByteArray program = qgetenv("QT7020_JET_READER");
    qputenv("QT7020_JET_READER", reader.toUtf8());
    const auto restore = qScopeGuard([&] { qputenv("QT7020_JET_READER", program); });
    JetReader jet;
    jet.setTimeLimit(500);
    QElapsedTimer clock;
    clock.start();
    QVERIFY(!jet.read(path, QStringLiteral("Table1")));
    QVERIFY2(jet.errorString().startsWith(message), qPrintable(jet.errorString()));
    QVERIFY(jet.rows().isEmpty());
    QVERIFY(clock.elapsed() < 3000);

    // The same through the command line, which says so and fails (a hang
    // there waits the full ten seconds: left out).
    if (reader.contains(QLatin1String("sleep")))
        return;
    QProcess frames;
    frames.start(QString::fromUtf8(program), { "--frames", "--db", path });
    QVERIFY(frames.waitForFinished(15000));
    QCOMPARE(frames.exitCode(), 1);
    QVERIFY2(QString::fromUtf8(frames.readAllStandardError()).contains(message.left(8)), qPrintable(reader));
    QVERIFY(children().isEmpty());
}

// Copies of the fixtures with pages or bytes overwritten, or cut short, all
// read at once in pairs of readers: each ends with rows or a message in time,
// and no reader process is left behind.
void TestJet::damagedCopiesEndWithinTheLimit()
{
    const char *fixtures[][2] = { { "jet3-access97.mdb", "Table1" }, { "jet4-chinese-text.mdb", "Users" },
                                  { "jet4-unicode-compression.mdb", "Table" }, { "jet4-chinese-columns.mdb", "student" } };
    const int copies = 300, limitMs = 2000;
    QTemporaryDir dir;
    QRandomGenerator random(7020);
    QElapsedTimer clock;
    clock.start();
    int next = 0, ended = 0, withRows = 0, timedOut = 0, crashed = 0, slowest = 0;
    std::function<void()> startOne = [&] {
        const int n = next++;
        QFile copy(copyFixture(dir, fixtures[n % 4][0], qPrintable(QStringLiteral("%1.mdb").arg(n))));
        copy.open(QIODevice::ReadWrite);
        const int kind = random.bounded(3), at = random.bounded(int(copy.size()));
        if (kind == 2) {
            copy.resize(at);   // cut short
        } else {   // a page of noise past the header, or a few bytes anywhere
            QByteArray noise(kind == 0 ? 4096 : 1 + random.bounded(16), '\0');
            for (char &c : noise)
                c = char(random.bounded(256));
            copy.seek(kind == 0 ? qMax(4096, at / 4096 * 4096) : at);
            copy.write(noise);
        }
        copy.close();
        auto *jet = new JetReader(this);
        jet->setTimeLimit(limitMs);
        connect(jet, &JetReader::finished, this, [&, jet, started = clock.elapsed()](bool ok) {
            ++ended;
            slowest = qMax(slowest, int(clock.elapsed() - started));
            withRows += ok && !jet->rows().isEmpty();
            timedOut += jet->errorString().contains(QStringLiteral("未结束"));
            crashed += jet->errorString().contains(QStringLiteral("异常终止"));
            QVERIFY(ok || jet->errorString().size() > 0);
            jet->deleteLater();
            if (next < copies)
                startOne();
        });
        jet->start(copy.fileName(), QString::fromLatin1(fixtures[n % 4][1]));
    };
    startOne();   // two readers at a time
    startOne();
    QTRY_COMPARE_WITH_TIMEOUT(ended, copies, copies * limitMs);
    qInfo("%d damaged copies: %d ended cleanly (%d with rows, %d with a message: %d timed out, %d crashed), "
          "slowest %d ms", copies, ended, withRows, ended - withRows, timedOut, crashed, slowest);
    QVERIFY(slowest < limitMs + 1000);
    QTRY_VERIFY(children().isEmpty());
}

QTEST_GUILESS_MAIN(TestJet)
#include "tst_jet.moc"
