#pragma once

#include <QString>
#include <QStringList>

// The channel files opened last, newest first, at most eight, kept in the
// user's qt7020 settings (group "files") beside the port mapping. Paths are
// stored absolute, so a file opened from another folder is found again.
namespace RecentFiles {

constexpr int limit = 8;

QStringList list();
// Puts `path` first, dropping an older mention of it and the ninth file.
void add(const QString &path);

} // namespace RecentFiles
