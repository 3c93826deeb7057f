#include "ChannelFileKind.h"

#include <QFile>
#include <QFileInfo>

ChannelFileKind channelFileKind(const QString &path)
{
    const QFileInfo info(path);
    if (!info.exists())
        return ChannelFileKind::Missing;
    if (!info.isFile())
        return ChannelFileKind::NotAFile;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return ChannelFileKind::Unknown;
    const QByteArray head = file.read(0x15);
    if (head.isEmpty())
        return ChannelFileKind::Empty;
    if (head.startsWith(QByteArray("SQLite format 3\0", 16)))
        return ChannelFileKind::SQLite;
    if (head.size() == 0x15 && head.mid(4, 15) == "Standard Jet DB") {
        switch (quint8(head.at(0x14))) {
        case 0: return ChannelFileKind::Jet3;
        case 1: return ChannelFileKind::Jet4;
        default: return ChannelFileKind::Ace;
        }
    }
    if (head.size() == 0x15 && head.mid(4, 16) == QByteArray("Standard ACE DB\0", 16))
        return ChannelFileKind::Ace;
    return ChannelFileKind::Unknown;
}

QString unusableReason(ChannelFileKind kind)
{
    switch (kind) {
    case ChannelFileKind::Missing: return QStringLiteral("文件不存在");
    case ChannelFileKind::NotAFile: return QStringLiteral("不是文件");
    case ChannelFileKind::Empty: return QStringLiteral("文件是空的");
    case ChannelFileKind::Unknown: return QStringLiteral("不是信道文件");
    default: return QString();
    }
}
