#include "ReplaceCellsCommand.h"

#include "CellSearch.h"
#include "CellsChange.h"
#include "FieldValue.h"

ReplaceCellsCommand::ReplaceCellsCommand(ChannelStore &store, const CellSearch &search, const QString &with)
    : RowCommand(store, QStringLiteral("全部替换"))
{
    QVector<CellsChange::Cell> cells;
    store.fetchAll();
    for (int row = 0; row < store.rowCount(); ++row) {
        const ChannelRow *values = store.rowAt(row);
        for (int column = 0; column < ChannelRow::fieldCount; ++column) {
            const QString shown = FieldValue::fieldText(values->values[column]);
            if (column == store.keyField() || !search.matches(shown))
                continue;
            const FieldValue::Typed typed = FieldValue::fromTyping(column, search.replaced(shown, with));
            const QVariant &before = values->values[column];
            if (before.typeId() == typed.value.typeId() && before == typed.value)
                continue;
            cells.append({ row, column, before, typed.value });
            if (!typed.note.isEmpty())
                m_notes.insert({ row, column }, typed.note);
        }
    }
    m_ready = !cells.isEmpty();
    add(std::make_unique<CellsChange>(std::move(cells)));
}
