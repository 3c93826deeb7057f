#pragma once

#include "RowCommand.h"

#include <QHash>
#include <QPair>

class CellSearch;

// 全部替换: in every cell of the file that `search` finds, the text shown
// with the match replaced, stored as typing it would store it. The key field
// of a keyed table is left alone; replacing nothing is no step.
class ReplaceCellsCommand : public RowCommand
{
public:
    ReplaceCellsCommand(ChannelStore &store, const CellSearch &search, const QString &with);
    // How replaced cells were read where that is not as written, by (row, field),
    // as a typed cell's note says it.
    QHash<QPair<int, int>, QString> notes() const { return m_notes; }

private:
    QHash<QPair<int, int>, QString> m_notes;
};
