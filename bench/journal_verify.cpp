// A long journal as a busy bench leaves it, checked and listed by the
// program as a technician runs it: qt7020 --journal --verify and qt7020
// --journal on N loads (two lines each, 51 frames), wall time and peak memory.
//
//   journal_verify [loads]
//
// Target: --verify on 100 000 loads within 2 s and 400 MB.

#include <QCoreApplication>
#include <QCryptographicHash>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>

#include <cstdio>
#include <sys/resource.h>

static QByteArray sha256(const QByteArray &bytes)
{
    return QCryptographicHash::hash(bytes, QCryptographicHash::Sha256).toHex();
}

// The lines the program writes, made here on their own: the chain is
// followed from whatever wrote it.
static void writeJournal(const QString &path, int loads)
{
    QByteArray frames;
    for (int i = 1; i <= 51; ++i)
        frames += QByteArray::number(0x10000000 + i * 7919, 16).toUpper().repeated(2);
    const QByteArray checksum = sha256(frames);
    QFile file(path);
    file.open(QIODevice::WriteOnly);
    QByteArray previous;
    auto line = [&](QJsonObject object) {
        object.insert(QStringLiteral("prev"), previous.isEmpty() ? QString() : QString::fromLatin1(sha256(previous)));
        previous = QJsonDocument(object).toJson(QJsonDocument::Compact);
        file.write(previous + '\n');
    };
    for (int i = 0; i < loads; ++i) {
        const QString time = QStringLiteral("2026-12-07T09:%1:%2+08:00").arg(i / 60 % 60, 2, 10, QLatin1Char('0'))
                                     .arg(i % 60, 2, 10, QLatin1Char('0'));
        const QString id = QStringLiteral("load-%1").arg(i);
        line({ { "kind", "start" }, { "load", id }, { "time", time }, { "host", "bench" },
                                  { "file", "/home/bench/char4.mdb" }, { "device", "/dev/ttyUSB0 1a86:7523 A50285BI" },
                                  { "radio", QStringLiteral("巡逻%1").arg(i) }, { "warnings", 0 },
                                  { "frames", QString::fromLatin1(frames) }, { "sha256", QString::fromLatin1(checksum) } });
        line({ { "kind", "end" }, { "time", time }, { "load", id }, { "result", QStringLiteral("完成") },
               { "sent", 51 }, { "bytes", 816 }, { "detail", QString() } });
    }
}

static void measure(const QString &program, const QStringList &arguments, const char *what)
{
    QProcess run;
    run.setStandardOutputFile(QProcess::nullDevice());
    QElapsedTimer clock;
    clock.start();
    run.start(program, arguments);
    run.waitForFinished(-1);
    const qint64 ms = clock.elapsed();
    rusage children{};
    ::getrusage(RUSAGE_CHILDREN, &children);
    std::printf("%-22s exit %d, %lld ms, peak memory of any run so far %.0f MB\n", what, run.exitCode(),
                qlonglong(ms), children.ru_maxrss / 1024.0);
}

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const int loads = argc > 1 ? std::max(1, std::atoi(argv[1])) : 100000;
    QTemporaryDir home;
    qputenv("XDG_DATA_HOME", home.path().toLocal8Bit());
    QDir().mkpath(home.filePath(QStringLiteral("qt7020")));
    const QString journal = home.filePath(QStringLiteral("qt7020/transfers.log"));
    writeJournal(journal, loads);
    std::printf("%d loads, %.0f MB of journal\n", loads, QFile(journal).size() / 1e6);
    measure(QStringLiteral(QT7020_BINARY), { QStringLiteral("--journal"), QStringLiteral("--verify") }, "--journal --verify");
    measure(QStringLiteral(QT7020_BINARY), { QStringLiteral("--journal") }, "--journal");
    return 0;
}
