#include "MoveRowsCommand.h"

#include "SwapChange.h"

MoveRowsCommand::MoveRowsCommand(ChannelStore &store, const QList<int> &rows, int step)
    : RowCommand(store, step < 0 ? QStringLiteral("上移行") : QStringLiteral("下移行"))
{
    QVector<std::pair<int, int>> swaps;
    // Each row trades places with its neighbour, the leading row first, so a
    // block moves whole and the neighbour ends up on the other side of it.
    if (step < 0) {
        for (int row : rows)
            swaps.append({ row - 1, row });
    } else {
        for (auto row = rows.crbegin(); row != rows.crend(); ++row)
            swaps.append({ *row, *row + 1 });
    }
    add(std::make_unique<SwapChange>(std::move(swaps)));
}
