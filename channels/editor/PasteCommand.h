#pragma once

#include "RowCommand.h"

#include <QStringList>

// 粘贴: typed texts from (row, column) right and down, stored as typing would
// store them; rows past the end are added, columns past the last field are
// dropped and counted in dropped().
class PasteCommand : public RowCommand
{
public:
    PasteCommand(ChannelStore &store, int row, int column, const QVector<QStringList> &block);
    int dropped() const { return m_dropped; }

private:
    int m_dropped = 0;
};
