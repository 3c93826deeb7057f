#pragma once

#include "ChannelCsv.h"
#include "ChannelDatabase.h"

#include <QTemporaryDir>
#include <QVariantList>
#include <QVector>

#include <cstdio>

// The 60-row plan the transfer benches load: char4.mdb in `dir`.
inline QString makeBenchTable(const QTemporaryDir &dir)
{
    const QString path = dir.filePath(QStringLiteral("char4.mdb"));
    QVector<QVariantList> rows;
    for (int i = 1; i <= 60; ++i)
        rows.append({ i, i, 438.0 + i * 0.0125, 443.0 + i * 0.0125, QStringLiteral("bench") });
    QString error;
    if (!ChannelDatabase::create(path, ChannelCsv::header(), rows, &error))
        std::fprintf(stderr, "table: %s\n", qPrintable(error));
    return path;
}
