#include "PortFinder.h"

PortFinder::PortFinder(const PortList *list, QObject *parent)
    : QObject(parent)
    , m_list(list)
{
    m_poll.setInterval(pollMs);
    m_limit.setSingleShot(true);
    connect(&m_poll, &QTimer::timeout, this, &PortFinder::poll);
    connect(&m_limit, &QTimer::timeout, this, [this] {
        stop();
        emit gaveUp();
    });
}

void PortFinder::start(int limit)
{
    m_present.clear();
    for (const PortEntry &entry : m_list->ports())
        m_present.insert(entry.path);
    m_poll.start();
    m_limit.start(limit);
}

void PortFinder::stop()
{
    m_poll.stop();
    m_limit.stop();
}

// Compared with the last look, not with the start: a cable that was plugged in
// when the search began counts once it has been pulled and put back.
void PortFinder::poll()
{
    const QList<PortEntry> now = m_list->ports();
    QSet<QString> present;
    for (const PortEntry &entry : now) {
        present.insert(entry.path);
        if (!m_present.contains(entry.path)) {
            stop();
            emit found(entry);
            return;
        }
    }
    m_present = present;
}
