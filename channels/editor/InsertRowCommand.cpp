#include "InsertRowCommand.h"

#include "InsertChange.h"

#include <algorithm>

InsertRowCommand::InsertRowCommand(ChannelStore &store, int row)
    : RowCommand(store, QStringLiteral("插入行"))
{
    row = std::clamp(row, 0, store.rowCount());
    if (!store.rowAt(row))
        store.fetchAll();
    QVector<QVariant> numbers;
    m_ready = store.nextRecordNumbers(1, &numbers);
    if (!m_ready)
        return;
    ChannelRow::Values empty;
    empty[ChannelFields::Record] = numbers.at(0);
    add(std::make_unique<InsertChange>(std::min(row, store.rowCount()), QVector<ChannelRow::Values>{ empty }));
}
