#include "RecentFiles.h"

#include <QSettings>

#include <QFileInfo>

namespace RecentFiles {

static const QString key = QStringLiteral("files/recent");

QStringList list()
{
    return QSettings().value(key).toStringList();
}

// The file opened at every start is first already: the settings file is
// written (locked, copied and renamed) only when the list changes.
void add(const QString &path)
{
    const QString absolute = QFileInfo(path).absoluteFilePath();
    const QStringList before = list();
    QStringList files = before;
    files.removeAll(absolute);
    files.prepend(absolute);
    files = files.mid(0, limit);
    if (files != before)
        QSettings().setValue(key, files);
}

} // namespace RecentFiles
