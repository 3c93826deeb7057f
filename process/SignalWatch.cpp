#include "SignalWatch.h"

#include <QSocketNotifier>

#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <unistd.h>

static volatile sig_atomic_t writeEnd = -1;
static const int watched[] = { SIGTERM, SIGINT, SIGHUP };

static void onSignal(int signal)
{
    const int saved = errno;
    const unsigned char number = static_cast<unsigned char>(signal);
    if (writeEnd >= 0)
        (void)::write(writeEnd, &number, 1);
    errno = saved;
}

SignalWatch::SignalWatch(QObject *parent)
    : QObject(parent)
{
    if (::pipe2(m_pipe, O_CLOEXEC | O_NONBLOCK) != 0)
        return;
    m_notifier = new QSocketNotifier(m_pipe[0], QSocketNotifier::Read, this);
    connect(m_notifier, &QSocketNotifier::activated, this, &SignalWatch::readPipe);
    writeEnd = m_pipe[1];
    struct sigaction action = {};
    action.sa_handler = onSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (int signal : watched)
        sigaction(signal, &action, nullptr);
}

SignalWatch::~SignalWatch()
{
    if (writeEnd == m_pipe[1] && m_pipe[1] >= 0) {
        for (int signal : watched)
            std::signal(signal, SIG_DFL);
        writeEnd = -1;
    }
    for (int fd : m_pipe)
        if (fd >= 0)
            ::close(fd);
}

void SignalWatch::readPipe()
{
    unsigned char number;
    while (::read(m_pipe[0], &number, 1) == 1)
        emit received(number);
}

QString SignalWatch::describe(int signal)
{
    switch (signal) {
    case SIGTERM: return QStringLiteral("SIGTERM（终止）");
    case SIGINT: return QStringLiteral("SIGINT（Ctrl+C）");
    case SIGHUP: return QStringLiteral("SIGHUP（终端已关闭）");
    default: return QStringLiteral("信号 %1").arg(signal);
    }
}
