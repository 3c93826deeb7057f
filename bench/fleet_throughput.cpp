// 连续传送 on a pseudo-terminal: N radios one after the other, each Enter given
// the moment the last verdict is in, as a quick operator would. Per radio, the
// time from Enter to the verdict (done means drained) less the line time of
// the load (51 frames paced at 100 ms) is what the run adds of its own.
//
//   fleet_throughput [radios]
//
// Target: overhead well under the 100 ms of one frame's pacing.

#include "BenchTable.h"
#include "ChannelCsv.h"
#include "ChannelStore.h"
#include "FleetRun.h"
#include "QtSerialLink.h"
#include "SystemPortList.h"
#include "TransferController.h"
#include "TransferSequence.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QTimer>

#include <atomic>
#include <cstdio>
#include <thread>

#include <poll.h>
#include <pty.h>
#include <termios.h>
#include <unistd.h>

// The radio end of the cable: takes every byte at once, so the line drains
// as fast as the program lets it.
struct FarEnd
{
    int master = -1;
    int slave = -1;
    std::atomic<bool> stop{ false };
    std::atomic<long> bytes{ 0 };
    std::thread reader;

    bool open(char *name)
    {
        if (::openpty(&master, &slave, name, nullptr, nullptr) != 0)
            return false;
        termios raw;
        ::tcgetattr(master, &raw);
        ::cfmakeraw(&raw);
        ::tcsetattr(master, TCSANOW, &raw);
        reader = std::thread([this] {
            char buffer[256];
            while (!stop) {
                pollfd p{ master, POLLIN, 0 };
                if (::poll(&p, 1, 5) > 0) {
                    const ssize_t n = ::read(master, buffer, sizeof buffer);
                    if (n > 0)
                        bytes += n;
                }
            }
        });
        return true;
    }
    ~FarEnd()
    {
        stop = true;
        if (reader.joinable())
            reader.join();
        ::close(master);
        ::close(slave);
    }
};

static const qint64 lineMs = qint64(LoadPlan::rowsSent) * TransferSequence::intervalMs;

// Per radio, what the run took beyond the paced frames; `written` is when
// each load's last frame was written, after its Enter.
static void report(const QVector<FleetRun::Radio> &radios, const QVector<qint64> &written, long bytes)
{
    std::printf("result  Enter→verdict ms  last frame written ms  written→verdict ms  overhead ms  radio\n");
    qint64 worst = 0, total = 0;
    for (int i = 0; i < radios.size(); ++i) {
        const FleetRun::Radio &radio = radios.at(i);
        const qint64 overhead = radio.elapsedMs - lineMs;
        const qint64 last = written.value(i, -1);
        worst = std::max(worst, overhead);
        total += overhead;
        std::printf("%-6s  %16lld  %21lld  %18lld  %11lld  %s\n",
                    radio.result == LoadResult::Done ? "done" : "FAILED", qlonglong(radio.elapsedMs),
                    qlonglong(last), qlonglong(radio.elapsedMs - last), qlonglong(overhead), qPrintable(radio.label));
    }
    std::printf("%d radios, %ld bytes at the far end; overhead per radio: mean %lld ms, worst %lld ms "
                "(line time %lld ms each)\n",
                int(radios.size()), bytes, qlonglong(total / std::max<qsizetype>(1, radios.size())),
                qlonglong(worst), qlonglong(lineMs));
}

int main(int argc, char *argv[])
{
    QTemporaryDir dir;
    // The bench's loads go into a journal of its own, not the user's.
    qputenv("XDG_DATA_HOME", dir.filePath(QStringLiteral("data")).toLocal8Bit());
    QCoreApplication app(argc, argv);
    QCoreApplication::setOrganizationName(QStringLiteral("qt7020"));   // the settings a replugged cable is kept in
    QCoreApplication::setApplicationName(QStringLiteral("qt7020"));
    const int radios = argc > 1 ? std::max(1, std::atoi(argv[1])) : 5;
    FarEnd cable;
    char name[256] = {};
    if (!cable.open(name)) {
        std::perror("openpty");
        return 1;
    }
    qputenv("QT7020_COM1", name);

    ChannelStore store;
    if (!store.open(makeBenchTable(dir))) {
        std::fprintf(stderr, "table: %s\n", qPrintable(store.errorString()));
        return 1;
    }
    QtSerialLink link;
    if (!link.open()) {
        std::fprintf(stderr, "open %s: %s\n", name, qPrintable(link.errorString()));
        return 1;
    }
    TransferController transfer(&store, &link);
    SystemPortList ports;
    FleetRun run(&transfer, &store, &link, &ports, transfer.prepare(), 0);

    // Where the time goes: until the last frame is written (the pacing), then
    // until the line has drained and the verdict is in.
    QElapsedTimer sinceEnter;
    QVector<qint64> written;
    QObject::connect(&transfer, &TransferController::frameSent, [&](int row) {
        if (row == transfer.framesPlanned() - 1)
            written << sinceEnter.elapsed();
    });
    auto enter = [&run, &sinceEnter] {
        sinceEnter.start();
        run.load(QString());
    };
    QObject::connect(&run, &FleetRun::changed, [&] {
        if (run.state() != FleetRun::State::Ready)
            return;
        if (run.radios().size() == radios) {
            QCoreApplication::exit(0);
            return;
        }
        // The operator's Enter comes as an event of its own.
        QTimer::singleShot(0, &run, enter);
    });
    QTimer::singleShot(0, &run, enter);
    QCoreApplication::exec();

    report(run.radios(), written, cable.bytes.load());
    return 0;
}
