// Start-up time and memory: from starting the process to its window being mapped
// on the X display, and the peak resident memory once it has painted; for a bare
// Qt table window, qt7020 on the sample char4.mdb, and qt7020 on a 100 000-row
// table.
//
//   startup QT7020_BINARY BARE_BINARY SAMPLE_DB [runs]
//
// Uses $DISPLAY, or starts Xvfb :97 when there is none.
// Targets: sample <= 1.15 x bare in time and memory; 100 000 rows <= 1.5 x sample.

#include "ChannelCsv.h"
#include "ChannelDatabase.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <xcb/xcb.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <vector>

#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

using Clock = std::chrono::steady_clock;

struct Sample
{
    double mapMs = 0;
    long peakKb = 0;
};

static long peakKb(pid_t pid)
{
    QFile status(QStringLiteral("/proc/%1/status").arg(pid));
    if (!status.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray &line : status.readAll().split('\n'))
        if (line.startsWith("VmHWM:"))
            return line.mid(6).trimmed().split(' ').value(0).toLong();
    return 0;
}

static bool waitForMap(xcb_connection_t *x, int timeoutMs)
{
    const auto deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
    while (Clock::now() < deadline) {
        while (xcb_generic_event_t *event = xcb_poll_for_event(x)) {
            const bool mapped = (event->response_type & 0x7f) == XCB_MAP_NOTIFY;
            free(event);
            if (mapped)
                return true;
        }
        pollfd p{ xcb_get_file_descriptor(x), POLLIN, 0 };
        poll(&p, 1, 2);
    }
    return false;
}

static Sample launch(xcb_connection_t *x, const QByteArray &binary, const QString &dir, const char *port)
{
    while (xcb_generic_event_t *event = xcb_poll_for_event(x))
        free(event);
    const auto start = Clock::now();
    const pid_t pid = fork();
    if (pid == 0) {
        if (chdir(QFile::encodeName(dir).constData()) != 0)
            _exit(127);
        setenv("QT7020_COM1", port, 1);
        setenv("QT_QPA_PLATFORM", "xcb", 1);
        const int null = open("/dev/null", O_WRONLY);
        dup2(null, STDERR_FILENO);
        execl(binary.constData(), binary.constData(), static_cast<char *>(nullptr));
        _exit(127);
    }
    Sample sample;
    if (waitForMap(x, 10000))
        sample.mapMs = std::chrono::duration<double, std::milli>(Clock::now() - start).count();
    usleep(300 * 1000);   // let it paint and settle
    sample.peakKb = peakKb(pid);
    kill(pid, SIGKILL);
    waitpid(pid, nullptr, 0);
    return sample;
}

static void makeLargeTable(const QString &path, int count)
{
    QVector<QVariantList> rows;
    rows.reserve(count);
    for (int i = 1; i <= count; ++i)
        rows.append({ i, (i - 1) % 255 + 1, 400.0 + (i % 5000) * 0.0125, 405.0 + (i % 5000) * 0.0125,
                      QStringLiteral("第%1行").arg(i) });
    QString error;
    if (!ChannelDatabase::create(path, ChannelCsv::header(), rows, &error))
        std::fprintf(stderr, "table: %s\n", qPrintable(error));
}

static Sample median(std::vector<Sample> samples)
{
    Sample m;
    std::sort(samples.begin(), samples.end(), [](const Sample &a, const Sample &b) { return a.mapMs < b.mapMs; });
    m.mapMs = samples[samples.size() / 2].mapMs;
    std::sort(samples.begin(), samples.end(), [](const Sample &a, const Sample &b) { return a.peakKb < b.peakKb; });
    m.peakKb = samples[samples.size() / 2].peakKb;
    return m;
}

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    if (argc < 4) {
        std::fprintf(stderr, "usage: startup QT7020_BINARY BARE_BINARY SAMPLE_DB [runs]\n");
        return 2;
    }
    const QByteArray qt7020 = QFile::encodeName(QDir(QString::fromLocal8Bit(argv[1])).absolutePath());
    const QByteArray bare = QFile::encodeName(QDir(QString::fromLocal8Bit(argv[2])).absolutePath());
    const int runs = argc > 4 ? std::max(1, std::atoi(argv[4])) : 9;

    pid_t xvfb = 0;
    if (!qEnvironmentVariableIsSet("DISPLAY")) {
        xvfb = fork();
        if (xvfb == 0) {
            execlp("Xvfb", "Xvfb", ":97", "-screen", "0", "1024x768x24", static_cast<char *>(nullptr));
            _exit(127);
        }
        setenv("DISPLAY", ":97", 1);
        usleep(800 * 1000);
    }
    xcb_connection_t *x = xcb_connect(nullptr, nullptr);
    if (xcb_connection_has_error(x)) {
        std::fprintf(stderr, "no X display\n");
        return 1;
    }
    xcb_screen_t *screen = xcb_setup_roots_iterator(xcb_get_setup(x)).data;
    const uint32_t mask = XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY;
    xcb_change_window_attributes(x, screen->root, XCB_CW_EVENT_MASK, &mask);
    xcb_flush(x);

    int master = -1, slave = -1;
    char port[256] = {};
    openpty(&master, &slave, port, nullptr, nullptr);

    QTemporaryDir sampleDir, largeDir;
    QFile::copy(QString::fromLocal8Bit(argv[3]), sampleDir.filePath(QStringLiteral("char4.mdb")));
    makeLargeTable(largeDir.filePath(QStringLiteral("char4.mdb")), 100000);

    struct Case { const char *name; QByteArray binary; QString dir; std::vector<Sample> samples; };
    Case cases[] = {
        { "bare Qt table window", bare, sampleDir.path(), {} },
        { "qt7020, sample", qt7020, sampleDir.path(), {} },
        { "qt7020, 100000 rows", qt7020, largeDir.path(), {} },
    };
    launch(x, bare, sampleDir.path(), port);   // warm the file cache
    for (int r = 0; r < runs; ++r)
        for (Case &c : cases)
            c.samples.push_back(launch(x, c.binary, c.dir, port));

    Sample results[3];
    for (int i = 0; i < 3; ++i) {
        results[i] = median(cases[i].samples);
        std::printf("%-22s map %7.1f ms   peak RSS %6.1f MB   (median of %d)\n", cases[i].name,
                    results[i].mapMs, results[i].peakKb / 1024.0, runs);
    }
    std::printf("sample / bare:        time %.2f x   memory %.2f x   (target <= 1.15 x)\n",
                results[1].mapMs / results[0].mapMs, double(results[1].peakKb) / results[0].peakKb);
    std::printf("100000 rows / sample: time %.2f x   memory %.2f x   (target <= 1.5 x)\n",
                results[2].mapMs / results[1].mapMs, double(results[2].peakKb) / results[1].peakKb);

    xcb_disconnect(x);
    if (xvfb > 0) {
        kill(xvfb, SIGTERM);
        waitpid(xvfb, nullptr, 0);
    }
    return 0;
}
