#pragma once

#include <QStringList>
#include <QVariantList>
#include <QVector>

// Rows read from an exchange file, five fields each in table order, and the
// lines left out on the way, each with the reason.
struct ImportedRows
{
    QVector<QVariantList> rows;
    QStringList skipped;
};
