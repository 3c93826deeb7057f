#pragma once

#include "RowCommand.h"

#include <QHash>
#include <QPair>
#include <QStringList>

// 粘贴: typed texts from (row, column) right and down, stored as typing would
// store them; rows past the end are added, columns past the last field are
// dropped and counted in dropped(). A spreadsheet's header line on top is
// left out (skippedHeader()).
class PasteCommand : public RowCommand
{
public:
    PasteCommand(ChannelStore &store, int row, int column, QVector<QStringList> block);
    int dropped() const { return m_dropped; }
    bool skippedHeader() const { return m_skippedHeader; }
    // How cells were read where that is not as written, by (row, field).
    QHash<QPair<int, int>, QString> notes() const { return m_notes; }

private:
    int m_dropped = 0;
    bool m_skippedHeader = false;
    QHash<QPair<int, int>, QString> m_notes;
};
