#include "FrequencyCommand.h"

#include "CellsChange.h"
#include "FrequencyUnits.h"

FrequencyCommand::FrequencyCommand(ChannelStore &store, const QList<QPair<int, int>> &cells, int source,
                                   qint64 offset)
    : RowCommand(store, QStringLiteral("频率计算"))
{
    QVector<CellsChange::Cell> computed;
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
            computed.append({ row, column, before, after });
    }
    m_ready = !computed.isEmpty();
    add(std::make_unique<CellsChange>(std::move(computed)));
}
