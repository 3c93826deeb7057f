#include "InsertRowCommand.h"

#include "ChannelStore.h"

#include <algorithm>

InsertRowCommand::InsertRowCommand(ChannelStore &store, int row)
    : RowCommand(QStringLiteral("插入行"))
{
    row = std::clamp(row, 0, store.rowCount());
    if (!store.rowAt(row))
        store.fetchAll();
    QVector<QVariant> numbers;
    m_ready = store.nextRecordNumbers(1, &numbers);
    if (!m_ready)
        return;
    m_change.insertAt = std::min(row, store.rowCount());
    m_change.inserted.resize(1);
    m_change.inserted[0][ChannelFields::Record] = numbers.at(0);
}
