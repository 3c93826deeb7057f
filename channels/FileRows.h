#pragma once

#include "ChannelRow.h"

#include <QVector>

class ChannelDatabase;

// The file as a change writes it, inside the store's transaction. Rows are
// addressed by the keys of the rows as loaded, so two identical rows stay two.
struct FileRows
{
    ChannelDatabase &db;
    const QVector<ChannelRow> &loaded;
    // Every row of the file is loaded, so room for new keys may be made below
    // an insertion as well as above it.
    bool complete;

    qint64 key(int row) const { return loaded.at(row).key; }
};
