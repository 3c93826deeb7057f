#include "FileFollower.h"

#include "ChannelStore.h"

#include <QFile>

#include <sys/stat.h>

// Which file the name stands for now: another file moved in under the same
// name is another device and inode.
static QByteArray fileIdentity(const QString &path)
{
    struct stat info;
    if (::stat(QFile::encodeName(path).constData(), &info) != 0)
        return {};
    return QByteArray::number(quint64(info.st_dev)) + ':' + QByteArray::number(quint64(info.st_ino));
}

FileFollower::FileFollower(ChannelStore *store, QObject *parent)
    : QObject(parent)
    , m_store(store)
{
    m_poll.setInterval(500);
    connect(&m_poll, &QTimer::timeout, this, &FileFollower::check);
    connect(&m_watcher, &QFileSystemWatcher::fileChanged, this, &FileFollower::check);
    connect(store, &ChannelStore::modelReset, this, &FileFollower::restart);
    connect(store, &ChannelStore::released, this, &FileFollower::recheck);
    restart();
}

// A file opened anew: follow it, or stop following the last one when it is
// not an SQLite file (an Access file is read once).
void FileFollower::restart()
{
    m_poll.stop();
    if (!m_watcher.files().isEmpty())
        m_watcher.removePaths(m_watcher.files());
    if (!m_store->isOpen() || m_store->kind() != ChannelFileKind::SQLite)
        return;
    m_identity = fileIdentity(m_store->path());
    if (!m_store->dataVersion(&m_version))
        m_version = -1;
    m_watcher.addPath(m_store->path());
    m_poll.start();
}

// Whatever the file holds now, changed or not.
void FileFollower::recheck()
{
    m_version = -1;
    check();
}

bool FileFollower::check()
{
    // While the operator decides a conflict, the grid stays what the question is about.
    const QString path = m_store->path();
    if (!m_store->isOpen() || m_store->kind() != ChannelFileKind::SQLite || m_store->isHeld())
        return false;
    const QByteArray identity = fileIdentity(path);
    if (identity.isEmpty()) {
        // Gone at one look may be a file being swapped for another; gone at
        // the next (about half a second on) it was deleted or moved away.
        if (++m_absentLooks >= 2)
            m_store->becomeMissing();
        return false;
    }
    m_absentLooks = 0;
    if (!m_watcher.files().contains(path))
        m_watcher.addPath(path);
    if (identity != m_identity || m_store->isMissing()) {
        // The identity is kept until a channel table arrives, so each poll tries again.
        QString error;
        if (!m_store->reopen(&error)) {
            m_store->becomeStale(error);
            return false;
        }
        m_identity = identity;
        m_store->dataVersion(&m_version);
    } else {
        qint64 version = -1;
        if (!m_store->dataVersion(&version) || version == m_version)
            return false;
        m_version = version;
    }
    m_store->reload();
    return true;
}
