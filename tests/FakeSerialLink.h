#pragma once

#include "SerialLink.h"

#include <QSet>
#include <QStringList>

// A serial line that records what it is asked to do. Ports in `busy` refuse to
// open; `refuseWrites` makes every write fail as a broken device would.
class FakeSerialLink : public SerialLink
{
    Q_OBJECT
public:
    QByteArray written;
    QSet<int> busy;
    bool refuseWrites = false;
    QStringList calls;   // "open 1", "close", "number 2", …
    QString cause;       // what openFailureCause() says
    DeviceState::Kind failure = DeviceState::InUse;   // and openFailureKind()
    qint64 queued = 0;   // what bytesQueued() says: a line that has not drained

    int portNumber() const override { return m_number; }
    bool setPortNumber(int number) override
    {
        calls << QStringLiteral("number %1").arg(number);
        if (m_open || (number != 1 && number != 2))
            return false;
        m_number = number;
        return true;
    }
    bool open() override
    {
        calls << QStringLiteral("open %1").arg(m_number);
        if (busy.contains(m_number)) {
            m_error = QStringLiteral("busy");
            return false;
        }
        m_open = true;
        return true;
    }
    void close() override
    {
        calls << QStringLiteral("close");
        m_open = false;
    }
    bool isOpen() const override { return m_open; }
    bool write(const QByteArray &text) override
    {
        if (!m_open || refuseWrites) {
            m_error = m_open ? QStringLiteral("Input/output error") : QStringLiteral("串口未打开");
            return false;
        }
        written += text;
        return true;
    }
    qint64 bytesQueued() const override { return m_open ? queued : 0; }
    QString errorString() const override { return m_error; }
    QString openFailureCause() const override { return cause; }
    DeviceState::Kind openFailureKind() const override { return failure; }
    QString deviceName() const override { return QStringLiteral("/dev/fake%1").arg(m_number); }

private:
    int m_number = 1;
    bool m_open = false;
    QString m_error;
};
