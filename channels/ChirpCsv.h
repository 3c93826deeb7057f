#pragma once

#include "ImportedRows.h"

#include <QByteArray>

// CHIRP's generic CSV, so that a plan can travel to and from the radios CHIRP
// programs. Location is the channel number, Frequency the receive frequency,
// Duplex/Offset give the transmit frequency ("+"/"-" add or subtract Offset,
// "split" takes it as the transmit frequency, empty is simplex, "off" is no
// transmit at all); Name and Comment make the remark. Tones, mode and step are
// CHIRP's alone: written with neutral values, ignored on reading.
class ChirpCsv
{
public:
    // Rows CHIRP cannot hold (no channel number, no receive frequency) are left
    // out and named in `skipped`.
    static QByteArray write(const QVector<QVariantList> &rows, QStringList *skipped);
    static bool read(const QByteArray &bytes, ImportedRows *out, QString *error);
    static QStringList header();
};
