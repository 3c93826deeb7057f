#include "FrequencyCommand.h"

#include "ChannelStore.h"
#include "FrequencyUnits.h"

FrequencyCommand::FrequencyCommand(ChannelStore &store, const QList<QPair<int, int>> &cells, int source,
                                   qint64 offset)
    : RowCommand(QStringLiteral("频率计算"))
{
    for (const auto &[row, column] : cells) {
        const ChannelRow *values = store.rowAt(row);
        const bool frequency = column == ChannelFields::Receive || column == ChannelFields::Transmit;
        if (!values || !frequency)
            continue;
        const auto from = FrequencyUnits::ofFrequency(values->values[source < 0 ? column : source]);
        if (!from || *from + offset <= 0) {
            ++m_skipped;
            continue;
        }
        const QVariant before = values->values[column], after = FrequencyUnits::frequency(*from + offset);
        if (before.typeId() != after.typeId() || before != after)
            m_change.cells.append({ row, column, before, after });
    }
    m_ready = !m_change.cells.isEmpty();
}
