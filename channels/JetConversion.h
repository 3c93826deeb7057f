#pragma once

#include "ChannelDatabase.h"

#include <QString>

// Turns an Access (Jet) char4.mdb into our SQLite char4.mdb under the same name.
// The Access file is renamed to char4.jet.mdb (char4.jet.2.mdb, … when taken)
// and never modified or deleted. Either the new file is in place with every row
// and field, or nothing changed: the Access file is back under its name and no
// half-written file is left.
class JetConversion
{
public:
    // On success `backup` is the Access file's new path.
    static bool convert(const QString &path, QString *backup, QString *error,
                        const QString &table = ChannelDatabase::tableName);
};
