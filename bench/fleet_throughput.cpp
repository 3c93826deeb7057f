// 连续传送 through its dialog, N radios one after the other on a link that
// drains at once, each Enter given the moment the dialog is ready again, as a
// quick operator (or a scanner) would. Timer1 runs at a short interval so
// that 200 radios take seconds, not the 17 minutes of the real pacing. Per
// radio, the time from one Enter to the next less the paced frames (51
// ticks) is what the run adds of its own: two journal lines synced to the
// disk, the verdict, the dialog's table and counts. Memory is read at radio
// 10 and at the last, and must not grow with the run.
//
//   fleet_throughput [radios] [interval-ms]      (200 radios, 1 ms by default)
//
// Target: overhead within 100 ms per radio (one frame's pacing), memory flat.

#include "BenchTable.h"
#include "ChannelStore.h"
#include "FleetDialog.h"
#include "FleetRun.h"
#include "PortList.h"
#include "SerialLink.h"
#include "TransferController.h"
#include "TransferSequence.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QLineEdit>
#include <QSettings>
#include <QTemporaryDir>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <unistd.h>

// A line whose far end takes every byte the moment it is written.
class InstantLink : public SerialLink
{
public:
    int portNumber() const override { return 1; }
    bool setPortNumber(int number) override { return number == 1; }
    bool open() override { return m_open = true; }
    void close() override { m_open = false; }
    bool isOpen() const override { return m_open; }
    bool write(const QByteArray &text) override
    {
        bytes += text.size();
        return m_open;
    }
    qint64 bytesQueued() const override { return 0; }
    QString errorString() const override { return {}; }
    QString openFailureCause() const override { return {}; }
    QString deviceName() const override { return QStringLiteral("/dev/bench-instant"); }

    qint64 bytes = 0;

private:
    bool m_open = false;
};

// An on-board port: the run knows it by its path, no device list is asked.
struct NoAdapters : PortList
{
    QList<PortEntry> ports() const override { return {}; }
};

static double residentMb()
{
    long pages = 0, resident = 0;
    if (FILE *statm = std::fopen("/proc/self/statm", "r")) {
        if (std::fscanf(statm, "%ld %ld", &pages, &resident) != 2)
            resident = 0;
        std::fclose(statm);
    }
    return double(resident) * double(sysconf(_SC_PAGESIZE)) / (1024.0 * 1024.0);
}

static qint64 percentile(QVector<qint64> values, double p)
{
    std::sort(values.begin(), values.end());
    return values.isEmpty() ? 0 : values.at(std::min<qsizetype>(values.size() - 1, qsizetype(p * double(values.size()))));
}

int main(int argc, char *argv[])
{
    QTemporaryDir dir;
    // The bench's loads and settings stay in a folder of its own.
    qputenv("XDG_DATA_HOME", dir.filePath(QStringLiteral("data")).toLocal8Bit());
    qputenv("XDG_CONFIG_HOME", dir.filePath(QStringLiteral("config")).toLocal8Bit());
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QCoreApplication::setOrganizationName(QStringLiteral("qt7020"));
    QCoreApplication::setApplicationName(QStringLiteral("qt7020"));
    const int radios = argc > 1 ? std::max(1, std::atoi(argv[1])) : 200;
    const int intervalMs = argc > 2 ? std::max(1, std::atoi(argv[2])) : 1;

    ChannelStore store;
    if (!store.open(makeBenchTable(dir))) {
        std::fprintf(stderr, "table: %s\n", qPrintable(store.errorString()));
        return 1;
    }
    InstantLink link;
    link.open();
    TransferController transfer(&store, &link);
    transfer.findChild<TransferSequence *>()->timer()->setInterval(intervalMs);
    NoAdapters ports;
    FleetDialog::setSoundOn(false);
    auto *run = new FleetRun(&transfer, &store, &link, &ports, transfer.prepare(), 0);
    FleetDialog dialog(run, &transfer, store.path(), QStringLiteral("COM1"));
    dialog.show();
    auto *label = dialog.findChild<QLineEdit *>(QStringLiteral("电台"));

    QElapsedTimer clock;
    QVector<qint64> enters, lastFrames;
    QObject::connect(&transfer, &TransferController::frameSent, [&](int row) {
        if (row == transfer.framesPlanned() - 1)
            lastFrames << clock.elapsed();
    });
    double rssAt10 = 0;
    auto enter = [&] {
        enters << clock.elapsed();
        emit label->returnPressed();
    };
    QObject::connect(run, &FleetRun::changed, [&] {
        if (run->state() != FleetRun::State::Ready || run->radios().size() != enters.size())
            return;
        if (run->radios().size() == 10)
            rssAt10 = residentMb();
        if (run->radios().size() == radios) {
            enters << clock.elapsed();   // the run is over: the last cycle ends here
            QCoreApplication::exit(0);
            return;
        }
        QTimer::singleShot(0, run, enter);   // the operator's Enter comes as an event of its own
    });
    clock.start();
    QTimer::singleShot(0, run, enter);
    QCoreApplication::exec();

    const qint64 paced = qint64(LoadPlan::rowsSent) * intervalMs;
    QVector<qint64> cycle, verdict, pacing;
    int done = 0;
    for (int i = 0; i < run->radios().size(); ++i) {
        cycle << enters.at(i + 1) - enters.at(i) - paced;
        verdict << run->radios().at(i).elapsedMs - paced;
        pacing << lastFrames.value(i) - enters.at(i) - paced;
        done += run->radios().at(i).result == LoadResult::Done ? 1 : 0;
    }
    const double rssAtEnd = residentMb();
    std::printf("%d radios, %d done, %lld bytes on the line, Timer1 %d ms (paced frames %lld ms a radio), %.1f s in all\n",
                int(run->radios().size()), done, qlonglong(link.bytes), intervalMs, qlonglong(paced),
                double(enters.last()) / 1000.0);
    std::printf("overhead per radio, Enter to next Enter: median %lld ms, 95th %lld ms, worst %lld ms\n",
                qlonglong(percentile(cycle, 0.5)), qlonglong(percentile(cycle, 0.95)), qlonglong(percentile(cycle, 1.0)));
    std::printf("of it Enter to verdict: median %lld ms, worst %lld ms; of that Enter to the last frame written, "
                "beyond the paced frames: median %lld ms, worst %lld ms\n",
                qlonglong(percentile(verdict, 0.5)), qlonglong(percentile(verdict, 1.0)),
                qlonglong(percentile(pacing, 0.5)), qlonglong(percentile(pacing, 1.0)));
    std::printf("resident memory: %.1f MB at radio 10, %.1f MB at radio %d; journal %lld bytes\n", rssAt10, rssAtEnd,
                int(run->radios().size()), qlonglong(QFileInfo(dir.filePath(QStringLiteral("data/qt7020/transfers.log"))).size()));
    return done == radios && percentile(cycle, 1.0) <= 100 ? 0 : 1;
}
