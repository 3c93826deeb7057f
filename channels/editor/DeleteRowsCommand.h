#pragma once

#include "RowCommand.h"

// 删除行: `rows` (ascending, in the table) out of the file; undo brings them
// back under their old keys.
class DeleteRowsCommand : public RowCommand
{
public:
    explicit DeleteRowsCommand(const QList<int> &rows)
        : RowCommand(QStringLiteral("删除行"))
    {
        m_change.removed = QVector<int>(rows.begin(), rows.end());
    }
};
