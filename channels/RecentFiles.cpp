#include "RecentFiles.h"

#include <QFileInfo>
#include <QSettings>

namespace RecentFiles {

static const QString key = QStringLiteral("files/recent");

static QSettings settings()
{
    return QSettings(QSettings::NativeFormat, QSettings::UserScope, QStringLiteral("qt7020"),
                     QStringLiteral("qt7020"));
}

QStringList list()
{
    return settings().value(key).toStringList();
}

void add(const QString &path)
{
    const QString absolute = QFileInfo(path).absoluteFilePath();
    QStringList files = list();
    files.removeAll(absolute);
    files.prepend(absolute);
    settings().setValue(key, QStringList(files.mid(0, limit)));
}

} // namespace RecentFiles
