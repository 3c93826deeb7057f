#include "FrequencyCommand.h"

#include "CellsChange.h"

FrequencyCommand::FrequencyCommand(ChannelStore &store, const QList<QPair<int, int>> &cells, int source,
                                   Frequency offset)
    : RowCommand(store, QStringLiteral("频率计算"))
{
    QVector<CellsChange::Cell> computed;
    for (const auto &[row, column] : cells) {
        const ChannelRow *values = store.rowAt(row);
        const bool frequency = column == ChannelFields::Receive || column == ChannelFields::Transmit;
        if (!values || !frequency)
            continue;
        const auto from = Frequency::ofCell(values->values[source < 0 ? column : source]);
        if (!from || (*from + offset).units() <= 0) {
            ++m_skipped;
            continue;
        }
        const QVariant before = values->values[column], after = (*from + offset).stored();
        if (before.typeId() != after.typeId() || before != after)
            computed.append({ row, column, before, after });
    }
    m_ready = !computed.isEmpty();
    add(std::make_unique<CellsChange>(std::move(computed)));
}
