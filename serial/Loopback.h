#pragma once

#include <QByteArray>
#include <QObject>
#include <QTimer>

class QSerialPort;

// Cable self-test: with the cable's data-out joined to its data-in, what is
// sent must come back unchanged. Opens the device at the transfer's line
// settings (1200 8N1), sends a pattern in which every bit is both 0 and 1, and
// waits up to 2 s after the last write for the echo. The only place the
// program reads from a serial device.
class Loopback : public QObject
{
    Q_OBJECT
public:
    enum Result { Passed, NoEcho, Garbled, CannotOpen };
    Q_ENUM(Result)

    static constexpr int echoWaitMs = 2000;
    static QByteArray pattern();

    explicit Loopback(QObject *parent = nullptr);
    ~Loopback() override;

    // Starts the test; finished() follows, also when the device cannot be opened.
    void start(const QString &device);
    bool isRunning() const;

signals:
    // `message`: the result for the operator, with what to check when it failed.
    void finished(Loopback::Result result, const QString &message);

private:
    void received();
    void timedOut();
    void finish(Result result, const QString &message);

    QSerialPort *m_port = nullptr;
    QByteArray m_echo;
    QTimer m_wait;
};
