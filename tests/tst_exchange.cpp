#include "Pty.h"
#include "TestDatabase.h"

#include "ChannelExchange.h"
#include "ChannelCsv.h"
#include "ChannelModel.h"
#include "ChirpCsv.h"
#include "ChannelFrame.h"
#include "RowCheck.h"

#include <QProcess>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QThread>
#include <QtTest>

#include <csignal>

static QStringList framesOf(const QVector<QVariantList> &rows)
{
    QStringList frames;
    for (const QVariantList &r : rows)
        frames << ChannelFrame::encode(r.value(1), r.value(2), r.value(3)).text();
    return frames;
}

// Runs the program itself, in `dir`, and returns its exit status.
static int qt7020(const QStringList &arguments, const QString &dir, QByteArray *output = nullptr)
{
    QProcess process;
    process.setWorkingDirectory(dir);
    process.start(QStringLiteral(QT7020_BINARY), arguments);
    process.waitForFinished(20000);
    if (output)
        *output = process.readAllStandardOutput() + process.readAllStandardError();
    return process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
}

class TestExchange : public QObject
{
    Q_OBJECT
private slots:
    void ourCsvRoundTripKeepsValuesAndKinds();
    void chirpCsvAsChirpWritesIt();
    void tableThroughChirpAndBack();
    void badFilesAreNamedAndChangeNothing_data();
    void badFilesAreNamedAndChangeNothing();
    void encodingsOfSpreadsheets_data();
    void encodingsOfSpreadsheets();
    void rowCheckMarksExactlyTheOffendingCells();
    void commandLine();
    void killedImportLeavesBeforeOrAfter();
};

void TestExchange::ourCsvRoundTripKeepsValuesAndKinds()
{
    const QVariant null;
    const QVector<QVariantList> rows = {
        { 1, 5, 438.5, 438.0, QStringLiteral("调度, \"一\"组\n第二行") },
        { 2, QStringLiteral("12"), 145.2, 0.1 + 0.2, QString() },
        { null, null, null, null, null },
        { QStringLiteral("R4"), 3000000000LL, 1e-7, -145.5, QStringLiteral("145.5") },
    };
    const QByteArray csv = ChannelCsv::write(rows);
    QVERIFY(csv.startsWith("\xEF\xBB\xBF"));
    QVERIFY(csv.contains("145.2,0.30000000000000004"));
    QVERIFY(!csv.contains("145.19999"));
    ImportedRows back;
    QString error;
    QVERIFY2(ChannelCsv::read(csv, &back, &error), qPrintable(error));
    QCOMPARE(back.rows.size(), rows.size());
    for (int r = 0; r < rows.size(); ++r) {
        for (int c = 0; c < 5; ++c) {
            const QVariant &was = rows[r][c];
            const QVariant &is = back.rows[r][c];
            QCOMPARE(is.isValid(), was.isValid());
            QCOMPARE(is.typeId() == QMetaType::QString, was.typeId() == QMetaType::QString);
            QCOMPARE(is.typeId() == QMetaType::Double, was.typeId() == QMetaType::Double);
            QCOMPARE(is, was);
        }
    }
    // Without the byte-order mark and with LF line ends, as other tools write it.
    QByteArray plain = csv.mid(3);
    plain.replace("\r\n", "\n");
    QVERIFY(ChannelCsv::read(plain, &back, &error));
    QCOMPARE(back.rows.size(), rows.size());

    // Through a database file and back.
    TestDatabase file;
    ChannelModel model;
    QVERIFY(model.open(file.path()));
    const ChannelExchange::Import import{ true, QString(), back };
    // The question and the report name the copy that is really made.
    for (const QString backup : { "char4.mdb.bak", "char4.mdb.bak.2" }) {
        QVERIFY(ChannelExchange::question(model, import).endsWith(QStringLiteral("原文件会先复制为 %1。").arg(backup)));
        const ChannelExchange::Outcome outcome = ChannelExchange::apply(model, import);
        QVERIFY(outcome.ok);
        QVERIFY(outcome.message.endsWith(QStringLiteral("原文件已复制为 %1。").arg(backup)));
        QVERIFY(QFile::exists(file.dir() + u'/' + backup));
        QCOMPARE(model.allRows(), rows);
    }
}

void TestExchange::chirpCsvAsChirpWritesIt()
{
    const QByteArray csv =
            "Location,Name,Frequency,Duplex,Offset,Tone,rToneFreq,cToneFreq,DtcsCode,DtcsPolarity,Mode,TStep,Skip,Comment,URCALL,RPT1CALL,RPT2CALL\n"
            "1,CALL,146.520000,,0.600000,,88.5,88.5,023,NN,FM,5.00,,Simplex calling,,,\n"
            "2,RPT+,147.000000,+,0.600000,Tone,100.0,88.5,023,NN,FM,5.00,,,,,\n"
            "3,RPT-,146.940000,-,0.600000,Tone,100.0,88.5,023,NN,FM,5.00,,\"North, hill\",,,\n"
            "4,XBAND,438.500000,split,145.500000,,88.5,88.5,023,NN,FM,5.00,,,,,\n"
            "5,RXONLY,162.550000,off,0.000000,,88.5,88.5,023,NN,FM,5.00,,NOAA,,,\n"
            "6,,0.000000,,0.000000,,88.5,88.5,023,NN,FM,5.00,,,,,\n";
    ImportedRows rows;
    QString error;
    QVERIFY2(ChirpCsv::read(csv, &rows, &error), qPrintable(error));
    QCOMPARE(rows.rows.size(), 5);
    QCOMPARE(rows.skipped, QStringList(QStringLiteral("第 7 行：没有频率")));
    const QVariant null;
    const QVector<QVariantList> expected = {
        { 1LL, 1LL, 146.52, 146.52, QStringLiteral("CALL Simplex calling") },
        { 2LL, 2LL, 147.0, 147.6, QStringLiteral("RPT+") },
        { 3LL, 3LL, 146.94, 146.34, QStringLiteral("RPT- North, hill") },
        { 4LL, 4LL, 438.5, 145.5, QStringLiteral("XBAND") },
        { 5LL, 5LL, 162.55, null, QStringLiteral("RXONLY NOAA") },
    };
    QCOMPARE(rows.rows, expected);
}

void TestExchange::tableThroughChirpAndBack()
{
    const QVariant null;
    const QVector<QVariantList> table = {
        { 1, 1, 438.5125, 443.5125, QStringLiteral("调度，一组") },
        { 2, 2, 150.025, 145.425, null },
        { 3, null, 145.0, 145.0, QStringLiteral("没有信道号") },
        { 4, 4, 438.5, 145.5, QStringLiteral("跨段, \"中继\"") },
        { 5, 5, 162.55, null, QStringLiteral("只收") },
    };
    QStringList skipped;
    const QByteArray csv = ChirpCsv::write(table, &skipped);
    QCOMPARE(skipped, QStringList(QStringLiteral("第 3 行：没有信道号")));
    QVERIFY(csv.contains(",438.512500,+,5.000000,"));
    QVERIFY(csv.contains(",150.025000,-,4.600000,"));
    QVERIFY(csv.contains(",438.500000,split,145.500000,"));
    QVERIFY(csv.contains(",162.550000,off,"));
    ImportedRows back;
    QString error;
    QVERIFY2(ChirpCsv::read(csv, &back, &error), qPrintable(error));
    QVector<QVariantList> sendable = table;
    sendable.remove(2);
    QCOMPARE(framesOf(back.rows), framesOf(sendable));
    for (int r = 0; r < sendable.size(); ++r)
        QCOMPARE(back.rows[r].mid(2), sendable[r].mid(2));   // frequencies to the bit, and the remark
}

void TestExchange::badFilesAreNamedAndChangeNothing_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("message");
    const QByteArray header = "记录编号,信道号,接收频率,发送频率,备注\r\n";
    const QByteArray chirp = "Location,Name,Frequency,Duplex,Offset\n";
    QTest::newRow("wrong header") << QByteArray("Name,Freq\nx,146.52\n") << "第 1 行：不是 CHIRP 的表头（缺少 Location）";
    QTest::newRow("our header misspelt") << QByteArray("\xEF\xBB\xBF记录编号,信道,接收频率,发送频率,备注\n")
                                         << "第 1 行：表头应为";
    QTest::newRow("unreadable number") << header + "1,2,438.5,44x.5,\"a\"\r\n"
                                       << "第 2 行第 4 列（发送频率）：数值无法识别: 44x.5";
    QTest::newRow("field count") << header + "1,2,438.5\r\n" << "第 2 行：应有 5 个字段，实有 3 个";
    QTest::newRow("open quote") << header + "1,2,438.5,438.5,\"没有结束\r\n2,2,2,2,2\r\n"
                                << "第 2 行第 5 列：引号没有结束";
    QTest::newRow("not text") << header + QByteArray("1,2,\0\0,4,5\n", 11) << "第 2 行：不是文本文件";
    QTest::newRow("not UTF-8 nor GBK") << header + "1,2,3,4,\"\xFF\xFE\xFF\"\n" << "第 2 行：不是 UTF-8 或 GBK 文本";
    QTest::newRow("chirp location") << chirp + "A,x,146.52,,0\n" << "第 2 行第 1 列（Location）：数值无法识别: A";
    QTest::newRow("chirp duplex") << chirp + "1,x,146.52,up,0.6\n" << "第 2 行第 4 列（Duplex）：无法识别: up";
}

void TestExchange::badFilesAreNamedAndChangeNothing()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, message);
    TestDatabase file(TestDatabase::numberedRows(3));
    const QString csv = file.dir() + QStringLiteral("/bad.csv");
    QFile out(csv);
    QVERIFY(out.open(QIODevice::WriteOnly));
    out.write(bytes);
    out.close();
    const ChannelExchange::Import import = ChannelExchange::read(csv);
    QVERIFY(!import.ok);
    QVERIFY2(import.message.contains(message), qPrintable(import.message));

    const QByteArray before = fileDigest(file.path());
    QByteArray output;
    QCOMPARE(qt7020({ "--import", csv }, file.dir(), &output), 1);
    QVERIFY2(QString::fromUtf8(output).contains(message), output.constData());
    QCOMPARE(fileDigest(file.path()), before);
    QVERIFY(!QFile::exists(file.path() + QStringLiteral(".bak")));
}

void TestExchange::encodingsOfSpreadsheets_data()
{
    QTest::addColumn<QByteArray>("bom");
    QTest::addColumn<QByteArray>("encoding");
    QTest::addColumn<QString>("named");
    QTest::newRow("UTF-8") << QByteArray() << QByteArray("UTF-8") << "按 UTF-8 编码";
    QTest::newRow("UTF-8 with BOM") << QByteArray("\xEF\xBB\xBF") << QByteArray("UTF-8") << "按 UTF-8（带 BOM） 编码";
    QTest::newRow("UTF-16LE") << QByteArray("\xFF\xFE") << QByteArray("UTF-16LE") << "按 UTF-16LE 编码";
    QTest::newRow("UTF-16BE") << QByteArray("\xFE\xFF") << QByteArray("UTF-16BE") << "按 UTF-16BE 编码";
    QTest::newRow("GBK") << QByteArray() << QByteArray("GBK") << "按 GBK/GB18030 编码";
}

void TestExchange::encodingsOfSpreadsheets()
{
    QFETCH(QByteArray, bom);
    QFETCH(QByteArray, encoding);
    QFETCH(QString, named);
    const QVector<QVariantList> rows{ { 1, 2, 438.5, 443.5, QStringLiteral("调度一组") },
                                      { 2, 3, 439.0, 439.0, QStringLiteral("仓库") } };
    QTemporaryDir dir;
    QFile csv(dir.filePath(QStringLiteral("plan.csv")));
    QVERIFY(csv.open(QIODevice::WriteOnly));
    QStringEncoder encode(encoding.constData());
    QVERIFY(encode.isValid());
    csv.write(bom + QByteArray(encode(QString::fromUtf8(ChannelCsv::write(rows)).remove(QChar(0xFEFF)))));
    csv.close();
    const ChannelExchange::Import import = ChannelExchange::read(csv.fileName());
    QVERIFY2(import.ok, qPrintable(import.message));
    QVERIFY2(import.message.startsWith(named + QStringLiteral("读取了 2 行")), qPrintable(import.message));
    QCOMPARE(import.rows.rows, rows);
}

void TestExchange::rowCheckMarksExactlyTheOffendingCells()
{
    const QVariant null;
    TestDatabase file({ { 1, 1, 438.5, 438.5, null },
                        { 2, 300, 99.5, 2000, null },
                        { 3, 3, 99.5, 2000, null },
                        { 4, null, 99.5, 2000, null } });
    ChannelModel model;
    QVERIFY(model.open(file.path()));
    model.setRowCheck(checkRow);
    auto marked = [&](int row) {
        QString cells;
        for (int c = 0; c < 5; ++c) {
            const QVariant tint = model.index(row, c).data(Qt::BackgroundRole);
            // x: cannot be sent (red); w: sent, with a warning (amber)
            cells += !tint.isValid() ? u'.' : tint.value<QBrush>().color().green() < 210 ? u'x' : u'w';
        }
        return cells;
    };
    QCOMPARE(marked(0), QStringLiteral("....."));
    QCOMPARE(marked(1), QStringLiteral(".x..."));   // the channel alone decides
    QCOMPARE(marked(2), QStringLiteral("..xx."));
    QCOMPARE(marked(3), QStringLiteral(".w..."));   // no channel: the null frame, said so
    QCOMPARE(model.index(2, 2).data(Qt::ToolTipRole).toString(), QStringLiteral("接收频率 超出范围: 99.5"));
    QCOMPARE(model.index(2, 3).data(Qt::ToolTipRole).toString(), QStringLiteral("发送频率 超出范围: 2000"));
    QCOMPARE(model.headerData(0, Qt::Vertical, Qt::ToolTipRole).toString(), QStringLiteral("发送: 01F8A43F00E8E842"));
    QCOMPARE(model.headerData(2, Qt::Vertical, Qt::ToolTipRole).toString(), QStringLiteral("此行不能传送"));

    QSignalSpy changed(&model, &QAbstractItemModel::dataChanged);
    QVERIFY(model.setData(model.index(2, 2), QStringLiteral("145")));
    QCOMPARE(changed.count(), 1);
    QCOMPARE(changed.at(0).at(0).toModelIndex().column(), 0);
    QCOMPARE(changed.at(0).at(1).toModelIndex().column(), 4);
    QCOMPARE(marked(2), QStringLiteral("...x."));
    QVERIFY(model.setData(model.index(2, 1), QStringLiteral("")));
    QCOMPARE(marked(2), QStringLiteral(".w..."));
}

void TestExchange::commandLine()
{
    QVector<QVariantList> rows = TestDatabase::numberedRows(55);
    const QVector<QVariantList> original = rows;
    TestDatabase file(rows);
    QByteArray output;
    QCOMPARE(qt7020({ "--frames" }, file.dir(), &output), 0);
    const QList<QByteArray> lines = output.trimmed().split('\n');
    QCOMPARE(lines.size(), 51);
    for (int i = 0; i < 51; ++i) {
        const QString frame = ChannelFrame::encode(rows[i][1], rows[i][2], rows[i][3]).text();
        QCOMPARE(lines[i], QStringLiteral("%1\t%1\t%2").arg(i + 1).arg(frame).toUtf8());
    }

    QTemporaryDir empty;
    QCOMPARE(qt7020({ "--frames" }, empty.path(), &output), 1);
    QVERIFY(output.contains("char4.mdb"));
    QVERIFY(!QFile::exists(empty.filePath(QStringLiteral("char4.mdb"))));
    QCOMPARE(qt7020({ "--nonsense" }, empty.path()), 2);

    rows[20][2] = 99.5;
    TestDatabase bad(rows);
    QCOMPARE(qt7020({ "--frames", "--db", bad.path() }, empty.path(), &output), 2);
    QVERIFY(output.contains("第 21 行"));

    // The check: clean, warnings only, an error.
    QCOMPARE(qt7020({ "--check" }, file.dir(), &output), 0);
    QVERIFY(output.isEmpty());
    QCOMPARE(qt7020({ "--check", "--db", bad.path() }, empty.path(), &output), 2);
    QVERIFY(output.startsWith("第 21 行（记录编号 21）错误：接收频率"));
    rows[20][2] = QStringLiteral("438,5");
    TestDatabase warned(rows);
    QCOMPARE(qt7020({ "--check", "--db", warned.path() }, empty.path(), &output), 1);
    QCOMPARE(output.trimmed(), QByteArray("第 21 行（记录编号 21）警告：接收频率 “438,5”只读作 438"));

    // Export and import through the program, the CHIRP way too.
    const QString csv = file.dir() + QStringLiteral("/plan.csv");
    QCOMPARE(qt7020({ "--export", csv, "--chirp" }, file.dir(), &output), 0);
    QVERIFY(output.contains("已导出 55 行"));
    QCOMPARE(qt7020({ "--import", csv, "--db", bad.path() }, empty.path(), &output), 0);
    QVERIFY(QFile::exists(bad.path() + QStringLiteral(".bak")));
    QCOMPARE(qt7020({ "--frames", "--db", bad.path() }, empty.path(), &output), 0);
    // Into a file that is not there yet: made with the rows, nothing to copy.
    QCOMPARE(qt7020({ "--import", csv, "--db", "fresh.mdb" }, empty.path(), &output), 0);
    QCOMPARE(TestDatabase::readAll(empty.filePath(QStringLiteral("fresh.mdb"))), TestDatabase::readAll(bad.path()));
    QVERIFY(!QFile::exists(empty.filePath(QStringLiteral("fresh.mdb.bak"))));

    // A whole transfer on a pseudo-terminal, paced as in the window.
    Pty pty;
    QProcess send;
    send.setWorkingDirectory(file.dir());
    send.start(QStringLiteral(QT7020_BINARY), { "--send", pty.device() });
    const QByteArray received = pty.read(816, 10000);
    QVERIFY(send.waitForFinished(5000));
    QCOMPARE(send.exitCode(), 0);
    QVERIFY(send.readAllStandardOutput().contains("数据传送完毕!!!"));
    QCOMPARE(received, framesOf(original.mid(0, 51)).join(QString()).toLatin1());
    QCOMPARE(qt7020({ "--send", "/dev/qt7020-none" }, file.dir(), &output), 1);
    QVERIFY(output.contains("不能打开串行端口 /dev/qt7020-none：设备不存在"));
    QCOMPARE(qt7020({ "--send", "/dev/null" }, file.dir(), &output), 1);
    QVERIFY(QString::fromUtf8(output).contains(QStringLiteral("不是串行设备")) && !output.contains("已被其它程序使用"));

    // The cable self-test: a silent line fails, a missing argument is usage.
    QCOMPARE(qt7020({ "--loopback", pty.device() }, file.dir(), &output), 1);
    QVERIFY(QString::fromUtf8(output).contains(QStringLiteral("没有回波")));
    QCOMPARE(qt7020({ "--loopback" }, file.dir()), 2);
    QCOMPARE(qt7020({ "--list-ports" }, file.dir()), 0);
}

// `qt7020 --import` of 200 000 rows killed (SIGKILL) while it writes: once as
// soon as its rollback journal appears, then later and later. Each time the
// file holds exactly the old rows or exactly the new ones, and SQLite finds it sound.
void TestExchange::killedImportLeavesBeforeOrAfter()
{
    const int newRows = 200000;
    const QVector<QVariantList> before = TestDatabase::numberedRows(3);
    QTemporaryDir dir;
    QFile csv(dir.filePath(QStringLiteral("big.csv")));
    QVERIFY(csv.open(QIODevice::WriteOnly));
    csv.write(ChannelCsv::write(TestDatabase::numberedRows(newRows)));
    csv.close();
    int asBefore = 0, asAfter = 0, midWrite = 0;
    for (int delayMs : { 0, 0, 20, 100, 300, 600 }) {
        TestDatabase file(before);
        const QString journal = file.path() + QStringLiteral("-journal");
        QProcess import;
        import.start(QStringLiteral(QT7020_BINARY), { "--db", file.path(), "--import", csv.fileName() });
        QVERIFY(import.waitForStarted());
        while (!QFile::exists(journal) && import.state() == QProcess::Running)
            QThread::usleep(200);
        QThread::msleep(delayMs);
        ::kill(pid_t(import.processId()), SIGKILL);
        QVERIFY(import.waitForFinished(5000));
        midWrite += QFile::exists(journal);

        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), file.path());
        db.setDatabaseName(file.path());
        QSqlQuery q(db);
        QVERIFY(db.open() && q.exec(QStringLiteral("PRAGMA integrity_check")) && q.next());
        QCOMPARE(q.value(0).toString(), QStringLiteral("ok"));
        QVERIFY(q.exec(QStringLiteral("SELECT count(*), max(记录编号) FROM 信道表")) && q.next());
        const int count = q.value(0).toInt();
        asBefore += count == before.size() && file.stored() == before;
        asAfter += count == newRows && q.value(1).toInt() == newRows;
    }
    qInfo("killed imports: %d left the old rows, %d the new, %d were killed with the journal open",
          asBefore, asAfter, midWrite);
    QCOMPARE(asBefore + asAfter, 6);   // never anything in between
    QVERIFY(midWrite >= 1);
}

QTEST_GUILESS_MAIN(TestExchange)
#include "tst_exchange.moc"
