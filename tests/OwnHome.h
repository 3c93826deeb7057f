#pragma once

#include <QSettings>
#include <QTemporaryDir>

// Settings and the transfer journal in a folder of the test's own, for this
// process and the programs it starts: a user who never chose a port or a file.
class OwnHome
{
public:
    OwnHome()
    {
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, path(QStringLiteral("config")));
        qputenv("XDG_CONFIG_HOME", path(QStringLiteral("config")).toUtf8());
        qputenv("XDG_DATA_HOME", path(QStringLiteral("data")).toUtf8());
        qunsetenv("QT7020_COM1");
        qunsetenv("QT7020_COM2");
    }
    QString path(const QString &name) const { return m_dir.filePath(name); }

private:
    QTemporaryDir m_dir;
};
