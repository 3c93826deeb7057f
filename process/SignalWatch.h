#pragma once

#include <QObject>

class QSocketNotifier;

// SIGTERM, SIGINT and SIGHUP (logout, shutdown, Ctrl+C, a closed terminal) as
// events of the event loop: the handler only writes the signal's number to a
// pipe, and a socket notifier reads it back on the user-interface thread, where
// the program may do what it likes before it ends. The newest watch receives the
// signals; when it goes, the defaults come back.
class SignalWatch : public QObject
{
    Q_OBJECT
public:
    explicit SignalWatch(QObject *parent = nullptr);
    ~SignalWatch() override;

    // "SIGTERM（终止）": the signal as the journal and the terminal name it.
    static QString describe(int signal);

signals:
    void received(int signal);

private:
    void readPipe();

    int m_pipe[2] = { -1, -1 };
    QSocketNotifier *m_notifier = nullptr;
};
