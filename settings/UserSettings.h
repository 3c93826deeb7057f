#pragma once

#include <QSettings>

// The operator's one settings file, ~/.config/qt7020/qt7020.conf: the port
// mapping and the recent files are kept side by side in it, so they must open
// it by the same names.
inline QSettings userSettings()
{
    return QSettings(QSettings::NativeFormat, QSettings::UserScope, QStringLiteral("qt7020"),
                     QStringLiteral("qt7020"));
}
