#include "MoveRowsCommand.h"

MoveRowsCommand::MoveRowsCommand(const QList<int> &rows, int step)
    : RowCommand(step < 0 ? QStringLiteral("上移行") : QStringLiteral("下移行"))
{
    // Each row trades places with its neighbour, the leading row first, so a
    // block moves whole and the neighbour ends up on the other side of it.
    if (step < 0) {
        for (int row : rows)
            m_change.swaps.append({ row - 1, row });
    } else {
        for (auto row = rows.crbegin(); row != rows.crend(); ++row)
            m_change.swaps.append({ *row, *row + 1 });
    }
}
