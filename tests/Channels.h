#pragma once

#include "ChannelEditor.h"
#include "ChannelStore.h"
#include "ChannelTableModel.h"
#include "FileFollower.h"

// 信道表 put together as the window puts it: the store, the editor that changes
// it, the follower that keeps it on the file, and the grid's table model.
struct Channels
{
    ChannelStore store;
    ChannelEditor editor{ &store };
    FileFollower follower{ &store };
    ChannelTableModel table{ &editor };
};
