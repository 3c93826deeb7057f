#include "FillSeriesCommand.h"

#include "ChannelStore.h"
#include "FrequencyUnits.h"

FillSeriesCommand::FillSeriesCommand(ChannelStore &store, const QList<int> &rows, int column, qint64 start,
                                     qint64 step)
    : RowCommand(QStringLiteral("填充序列"))
{
    m_ready = column >= ChannelFields::Record && column <= ChannelFields::Transmit;
    for (int k = 0; m_ready && k < rows.size(); ++k) {
        const ChannelRow *row = store.rowAt(rows.at(k));
        if (!row)
            break;
        const QVariant before = row->values[column], after = valueAt(column, start, step, k);
        if (before.typeId() != after.typeId() || before != after)
            m_change.cells.append({ rows.at(k), column, before, after });
    }
    m_ready = !m_change.cells.isEmpty();
}

QVariant FillSeriesCommand::valueAt(int column, qint64 start, qint64 step, int k)
{
    const qint64 units = start + step * k;
    return column == ChannelFields::Receive || column == ChannelFields::Transmit
            ? FrequencyUnits::frequency(units)
            : QVariant(units);
}
