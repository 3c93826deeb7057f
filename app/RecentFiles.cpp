#include "RecentFiles.h"

#include <QSettings>

#include <QFileInfo>

namespace RecentFiles {

static const QString key = QStringLiteral("files/recent");

QStringList list()
{
    return QSettings().value(key).toStringList();
}

void add(const QString &path)
{
    const QString absolute = QFileInfo(path).absoluteFilePath();
    QStringList files = list();
    files.removeAll(absolute);
    files.prepend(absolute);
    QSettings().setValue(key, QStringList(files.mid(0, limit)));
}

} // namespace RecentFiles
