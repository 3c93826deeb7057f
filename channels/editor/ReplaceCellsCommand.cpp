#include "ReplaceCellsCommand.h"

#include "CellSearch.h"
#include "ChannelStore.h"
#include "FieldValue.h"

ReplaceCellsCommand::ReplaceCellsCommand(ChannelStore &store, const CellSearch &search, const QString &with)
    : RowCommand(QStringLiteral("全部替换"))
{
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
            m_change.cells.append({ row, column, before, typed.value });
            if (!typed.note.isEmpty())
                m_notes.insert({ row, column }, typed.note);
        }
    }
    m_ready = !m_change.cells.isEmpty();
}
