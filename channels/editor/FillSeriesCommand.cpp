#include "FillSeriesCommand.h"

#include "CellsChange.h"
#include "Frequency.h"

FillSeriesCommand::FillSeriesCommand(ChannelStore &store, const QList<int> &rows, int column, qint64 start,
                                     qint64 step)
    : RowCommand(store, QStringLiteral("填充序列"))
{
    const bool numbered = column >= ChannelFields::Record && column <= ChannelFields::Transmit;
    QVector<CellsChange::Cell> cells;
    for (int k = 0; numbered && k < rows.size(); ++k) {
        const ChannelRow *row = store.rowAt(rows.at(k));
        if (!row)
            break;
        const QVariant before = row->values[column], after = valueAt(column, start, step, k);
        if (before.typeId() != after.typeId() || before != after)
            cells.append({ rows.at(k), column, before, after });
    }
    m_ready = !cells.isEmpty();
    add(std::make_unique<CellsChange>(std::move(cells)));
}

QVariant FillSeriesCommand::valueAt(int column, qint64 start, qint64 step, int k)
{
    const qint64 units = start + step * k;
    return column == ChannelFields::Receive || column == ChannelFields::Transmit
            ? Frequency::fromUnits(units).stored()
            : QVariant(units);
}
