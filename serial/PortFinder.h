#pragma once

#include <QObject>
#include <QSet>
#include <QTimer>

#include "PortList.h"

// "Unplug the cable, then plug it in": watches the device list twice a second
// and reports the first device that appears. Gives up after a minute.
class PortFinder : public QObject
{
    Q_OBJECT
public:
    static constexpr int pollMs = 500;
    static constexpr int limitMs = 60000;

    explicit PortFinder(const PortList *list, QObject *parent = nullptr);

    void start(int limit = limitMs);
    void stop();
    bool isRunning() const { return m_poll.isActive(); }
    // One look at the device list; the timer's, or a test's by hand.
    void poll();

signals:
    void found(const PortEntry &entry);
    void gaveUp();

private:

    const PortList *m_list;
    QTimer m_poll;
    QTimer m_limit;
    QSet<QString> m_present;
};
