#include "RowCommand.h"

RowCommand::Outcome RowCommand::apply(bool forward, bool checked)
{
    if (m_done == forward)
        return Outcome::Written;
    QList<RowChange *> changes;
    for (const auto &change : m_changes)
        changes << change.get();
    const Outcome outcome = m_store.write(changes, forward, checked, &m_conflict);
    if (outcome == Outcome::Written)
        m_done = forward;
    return outcome;
}

bool RowCommand::touchesKey(int keyField) const
{
    for (const auto &change : m_changes)
        if (change->touchesKey(keyField))
            return true;
    return false;
}

int RowCommand::count() const
{
    int total = 0;
    for (const auto &change : m_changes)
        total += change->count();
    return total;
}
