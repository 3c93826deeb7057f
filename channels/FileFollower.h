#pragma once

#include <QByteArray>
#include <QFileSystemWatcher>
#include <QObject>
#include <QTimer>

class ChannelStore;

// Keeps a store on what its file holds while other programs write to it: the
// file is watched, and SQLite's data_version polled twice a second for what the
// watcher misses (a file replaced under its name, a watch lost with the old
// file). A change reads the loaded rows again; another file under the name is
// opened anew, or leaves the store stale when it holds no channel table; no
// file under the name at all leaves it missing until one is back.
class FileFollower : public QObject
{
    Q_OBJECT
public:
    explicit FileFollower(ChannelStore *store, QObject *parent = nullptr);

    // Reads the file again if another program changed or replaced it since;
    // cheap when nothing did. True when rows were read again.
    bool check();

private:
    void restart();
    void recheck();

    ChannelStore *m_store;
    QFileSystemWatcher m_watcher;
    QTimer m_poll;
    qint64 m_version = -1;
    QByteArray m_identity;
    int m_absentLooks = 0;
};
