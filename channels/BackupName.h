#pragma once

#include <QString>

// Where the untouched copy of a channel file goes before we replace its
// contents: the first free name of a series, so that no earlier copy is
// ever overwritten.
namespace BackupName {

// Before an import: char4.mdb.bak, then char4.mdb.bak.2, char4.mdb.bak.3, …
QString beforeImport(const QString &path);
// An Access original after conversion: char4.jet.mdb, then char4.jet.2.mdb, …
QString accessOriginal(const QString &path);

} // namespace BackupName
