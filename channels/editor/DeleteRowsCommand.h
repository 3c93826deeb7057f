#pragma once

#include "RemoveChange.h"
#include "RowCommand.h"

// 删除行: `rows` (ascending, in the table) out of the file; undo brings them
// back under their old keys.
class DeleteRowsCommand : public RowCommand
{
public:
    DeleteRowsCommand(ChannelStore &store, const QList<int> &rows)
        : RowCommand(store, QStringLiteral("删除行"))
    {
        add(std::make_unique<RemoveChange>(QVector<int>(rows.begin(), rows.end())));
    }
};
