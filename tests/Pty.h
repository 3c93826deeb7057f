#pragma once

#include <QByteArray>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QString>

#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <termios.h>
#include <unistd.h>

// A pseudo-terminal pair standing in for a serial line: the program opens
// `device()`, the test reads what arrives at the master end.
class Pty
{
public:
    Pty()
    {
        char name[256] = {};
        if (::openpty(&m_master, &m_slave, name, nullptr, nullptr) == 0) {
            m_device = QString::fromLocal8Bit(name);
            // A program the test starts holds only the device it opens: with the
            // master end inherited, it would never see its line hang up.
            ::fcntl(m_master, F_SETFD, FD_CLOEXEC);
            ::fcntl(m_slave, F_SETFD, FD_CLOEXEC);
            termios raw;
            ::tcgetattr(m_master, &raw);
            ::cfmakeraw(&raw);
            ::tcsetattr(m_master, TCSANOW, &raw);
        }
    }
    ~Pty()
    {
        closeMaster();
        if (m_slave >= 0)
            ::close(m_slave);
    }
    Pty(const Pty &) = delete;
    Pty &operator=(const Pty &) = delete;

    QString device() const { return m_device; }
    int slave() const { return m_slave; }
    int master() const { return m_master; }

    // The other end goes away: the program's side hangs up.
    void closeMaster()
    {
        if (m_master >= 0)
            ::close(m_master);
        m_master = -1;
    }

    // Reads until `count` bytes came or `ms` passed, keeping the event loop going
    // so that the program's serial port can write.
    QByteArray read(int count, int ms = 3000)
    {
        QByteArray data;
        QElapsedTimer clock;
        clock.start();
        while (data.size() < count && !clock.hasExpired(ms)) {
            QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
            pollfd p{ m_master, POLLIN, 0 };
            if (::poll(&p, 1, 10) > 0 && (p.revents & POLLIN)) {
                char buffer[1024];
                const ssize_t n = ::read(m_master, buffer, sizeof buffer);
                if (n > 0)
                    data.append(buffer, int(n));
            }
        }
        return data;
    }

private:
    int m_master = -1;
    int m_slave = -1;
    QString m_device;
};
