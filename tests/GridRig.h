#pragma once

#include "Channels.h"
#include "TestDatabase.h"

#include "ChannelCursor.h"
#include "ChannelGrid.h"

// A channel file in the grid as the window shows it, without the window:
// the store and its editor, the cursor that moves over them, the grid.
struct GridRig : Channels
{
    explicit GridRig(const QVector<QVariantList> &rows) : file(rows)
    {
        opened = store.open(file.path());
        grid.setCursor(&cursor);
    }

    TestDatabase file;
    bool opened = false;
    ChannelCursor cursor{ &store, &table };
    ChannelGrid grid;
};
