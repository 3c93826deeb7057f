#include "FleetLabels.h"

#include <QRegularExpression>

#include <algorithm>

int FleetLabels::doneOfList() const
{
    return int(std::count_if(m_list.cbegin(), m_list.cend(), [this](const QString &label) { return isDone(label); }));
}

// A label scanned twice waits once.
void FleetLabels::enqueue(const QString &label)
{
    if (!label.isEmpty() && !m_queue.contains(label))
        m_queue.append(label);
}

void FleetLabels::started(const QString &label)
{
    m_queue.removeOne(label);
    if (!m_loaded.contains(label))
        m_loaded.append(label);
    m_loading = label;
}

void FleetLabels::concluded(const QString &label, bool done)
{
    m_loading.clear();
    if (done)
        m_done.insert(label);
    else
        m_done.remove(label);   // loaded again and failed: the radio no longer holds a whole plan
}

void FleetLabels::putBack(const QString &label)
{
    m_queue.removeOne(label);
    m_queue.prepend(label);
}

QString FleetLabels::next() const
{
    return m_queue.isEmpty() ? fresh() : m_queue.first();
}

QString FleetLabels::fresh() const
{
    for (const QString &label : m_list)
        if (!m_loaded.contains(label) && !m_queue.contains(label))
            return label;
    // Past the end of the list a radio not on it is loaded only when typed.
    if (!m_list.isEmpty())
        return QString();
    // Labels in the order they were first seen, the queue's new ones after.
    QStringList seen = m_loaded;
    for (const QString &label : m_queue)
        if (!seen.contains(label))
            seen.append(label);
    static const QRegularExpression numbered(QStringLiteral("^(.*?)(\\d+)$"));
    const QRegularExpressionMatch match = numbered.match(seen.value(seen.size() - 1));
    if (!match.hasMatch())
        return QStringLiteral("电台 %1").arg(seen.size() + 1);
    const QString digits = match.captured(2);
    return match.captured(1) + QString::number(digits.toLongLong() + 1).rightJustified(digits.size(), u'0');
}
