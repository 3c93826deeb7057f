// A real load as the window runs it (controller, real timer, the file
// followed), real serial port on a pseudo-terminal: when does each frame
// arrive at the other end, measured against k x 100 ms after the start?
//
//   transfer_timing [runs] [--locked]
//
// --locked: another connection holds the file in BEGIN EXCLUSIVE for the whole
// load, as another program writing to it would; the frames must not care.
//
// Targets: worst deviation <= 5 ms on an idle machine, reset at 6500 +- 20 ms,
// 816 bytes.

#include "BandProfiles.h"
#include "BenchTable.h"
#include "ChannelCsv.h"
#include "ChannelStore.h"
#include "FileFollower.h"
#include "QtSerialLink.h"
#include "TransferController.h"
#include "TransferSequence.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <mutex>
#include <thread>
#include <vector>

#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <termios.h>
#include <unistd.h>

using Clock = std::chrono::steady_clock;

struct Run
{
    std::vector<double> arrivals;   // ms after start, one per complete frame
    double resetMs = 0;
    long bytes = 0;
};

// Another program's write transaction on `path`, held for `ms`.
static void holdLocked(const QString &path, int ms)
{
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("other program"));
        db.setDatabaseName(path);
        db.open();
        QSqlQuery q(db);
        q.exec(QStringLiteral("BEGIN EXCLUSIVE"));
        q.exec(QStringLiteral("UPDATE 信道表 SET 备注 = '锁住' WHERE rowid = 1"));
        std::this_thread::sleep_for(std::chrono::milliseconds(ms));
        q.exec(QStringLiteral("COMMIT"));
    }
    QSqlDatabase::removeDatabase(QStringLiteral("other program"));
}

static Run measure(ChannelStore &store, bool locked)
{
    int master = -1, slave = -1;
    char name[256] = {};
    if (openpty(&master, &slave, name, nullptr, nullptr) != 0) {
        std::perror("openpty");
        std::exit(1);
    }
    termios raw;
    tcgetattr(master, &raw);
    cfmakeraw(&raw);
    tcsetattr(master, TCSANOW, &raw);
    qputenv("QT7020_COM1", name);

    QtSerialLink link;
    if (!link.open()) {
        std::fprintf(stderr, "open %s: %s\n", name, qPrintable(link.errorString()));
        std::exit(1);
    }
    TransferController transfer(&store, &link);
    FileFollower follower(&store);

    Run run;
    std::atomic<bool> stop{ false };
    std::mutex lock;
    Clock::time_point start;
    std::thread reader([&] {
        long total = 0;
        while (!stop) {
            pollfd p{ master, POLLIN, 0 };
            if (poll(&p, 1, 5) <= 0)
                continue;
            char buffer[256];
            const ssize_t n = read(master, buffer, sizeof buffer);
            if (n <= 0)
                continue;
            const auto now = Clock::now();
            std::lock_guard<std::mutex> guard(lock);
            for (ssize_t i = 0; i < n; ++i)
                if (++total % 16 == 0)
                    run.arrivals.push_back(std::chrono::duration<double, std::milli>(now - start).count());
            run.bytes = total;
        }
    });

    QObject::connect(&transfer, &TransferController::sendingChanged, [&](bool sending) {
        if (sending)
            return;
        run.resetMs = std::chrono::duration<double, std::milli>(Clock::now() - start).count();
        QCoreApplication::exit(0);
    });
    QObject::connect(&transfer, &TransferController::report, [](const QString &m) {
        std::fprintf(stderr, "report: %s\n", qPrintable(m));
    });
    std::thread other;
    if (locked) {
        other = std::thread(holdLocked, store.path(), 8000);
        std::this_thread::sleep_for(std::chrono::milliseconds(200));
    }
    const LoadPlan plan = transfer.prepare();
    {
        std::lock_guard<std::mutex> guard(lock);
        start = Clock::now();
    }
    transfer.start(plan);
    QCoreApplication::exec();
    if (other.joinable())
        other.join();
    QElapsedTimer settle;
    settle.start();
    while (!settle.hasExpired(300))
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    stop = true;
    reader.join();
    link.close();
    close(master);
    close(slave);
    return run;
}

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const QStringList arguments = app.arguments();
    const bool locked = arguments.contains(QStringLiteral("--locked"));
    const int runs = argc > 1 && arguments.at(1) != QLatin1String("--locked") ? std::max(1, std::atoi(argv[1])) : 3;
    QTemporaryDir dir;
    // The bench's loads go into a journal of its own, not the user's.
    qputenv("XDG_DATA_HOME", dir.filePath(QStringLiteral("data")).toLocal8Bit());
    ChannelStore store;
    if (!store.open(makeBenchTable(dir))) {
        std::fprintf(stderr, "table: %s\n", qPrintable(store.errorString()));
        return 1;
    }

    double worstOverall = 0;
    for (int r = 1; r <= runs; ++r) {
        const Run run = measure(store, locked);
        std::vector<double> deviations;
        if (r == 1)
            std::printf("frame  arrival ms  deviation ms\n");
        for (size_t k = 0; k < run.arrivals.size(); ++k) {
            const double deviation = run.arrivals[k] - 100.0 * double(k + 1);
            deviations.push_back(std::abs(deviation));
            if (r == 1)
                std::printf("%5zu  %10.2f  %+12.2f\n", k + 1, run.arrivals[k], deviation);
        }
        std::sort(deviations.begin(), deviations.end());
        const double median = deviations.empty() ? 0 : deviations[deviations.size() / 2];
        const double worst = deviations.empty() ? 0 : deviations.back();
        worstOverall = std::max(worstOverall, worst);
        double widestGap = run.arrivals.empty() ? 0 : run.arrivals.front();
        for (size_t k = 1; k < run.arrivals.size(); ++k)
            widestGap = std::max(widestGap, run.arrivals[k] - run.arrivals[k - 1]);
        std::printf("run %d%s: frames %zu, bytes %ld, median deviation %.2f ms, worst %.2f ms, widest gap %.1f ms, "
                    "reset at %.1f ms\n",
                    r, locked ? " (file locked)" : "", run.arrivals.size(), run.bytes, median, worst, widestGap,
                    run.resetMs);
    }
    std::printf("worst deviation over %d runs: %.2f ms (target <= 5 ms)\n", runs, worstOverall);
    return 0;
}
