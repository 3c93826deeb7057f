#include "DuplicateRowsCommand.h"

#include "ChannelStore.h"

DuplicateRowsCommand::DuplicateRowsCommand(ChannelStore &store, const QList<int> &rows)
    : RowCommand(QStringLiteral("复制行"))
{
    if (!store.rowAt(rows.last() + 1))
        store.fetchAll();
    QVector<QVariant> numbers;
    m_ready = store.nextRecordNumbers(int(rows.size()), &numbers);
    if (!m_ready)
        return;
    m_change.insertAt = rows.last() + 1;
    for (int i = 0; i < rows.size(); ++i) {
        RowChange::Values copy = store.rowAt(rows.at(i))->values;
        copy[ChannelFields::Record] = numbers.at(i);
        m_change.inserted << copy;
    }
}
