#include "DuplicateRowsCommand.h"

#include "InsertChange.h"

DuplicateRowsCommand::DuplicateRowsCommand(ChannelStore &store, const QList<int> &rows)
    : RowCommand(store, QStringLiteral("复制行"))
{
    if (!store.rowAt(rows.last() + 1))
        store.fetchAll();
    QVector<QVariant> numbers;
    m_ready = store.nextRecordNumbers(int(rows.size()), &numbers);
    if (!m_ready)
        return;
    QVector<ChannelRow::Values> copies;
    for (int i = 0; i < rows.size(); ++i) {
        ChannelRow::Values copy = store.rowAt(rows.at(i))->values;
        copy[ChannelFields::Record] = numbers.at(i);
        copies << copy;
    }
    add(std::make_unique<InsertChange>(rows.last() + 1, std::move(copies)));
}
