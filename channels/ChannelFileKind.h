#pragma once

#include <QString>

// What a channel file is, told by its first bytes: our SQLite database, or an
// Access file the operator brings along (Jet 3 from Access 97, Jet 4 from Access
// 2000-2003, ACE from Access 2007 on), which we only ever read.
enum class ChannelFileKind { Missing, NotAFile, Empty, SQLite, Jet3, Jet4, Ace, Unknown };

ChannelFileKind channelFileKind(const QString &path);

inline bool isJet(ChannelFileKind kind)
{
    return kind == ChannelFileKind::Jet3 || kind == ChannelFileKind::Jet4 || kind == ChannelFileKind::Ace;
}

// Why a file of this kind cannot hold a channel table at all; empty when it may.
QString unusableReason(ChannelFileKind kind);
