#pragma once

#include <QString>
#include <QStringList>
#include <QVector>

// A band plan the technician works to: where its channels lie, on which
// raster, and how far transmit sits from receive. Rows off the plan are
// warnings, never refusals: the radio takes what it is given.
struct BandProfile
{
    struct Band
    {
        qint64 lowHz = 0;
        qint64 highHz = 0;
        qint64 duplexHz = 0;   // the one receive/transmit split allowed besides simplex; 0: simplex only
    };
    struct Excluded
    {
        qint64 lowHz = 0;
        qint64 highHz = 0;
        QString why;           // "业余业务专用"
    };

    QString id;                // kept in the settings
    QString name;              // "公众对讲机 409 MHz"
    QString source;            // the document the figures come from, with its date
    QVector<Band> bands;
    QVector<Excluded> excluded;
    qint64 rasterHz = 0;       // 0: any frequency
    qint64 rasterOffsetHz = 0; // channel centres sit at offset + n × raster
    bool anySplit = false;     // repeaters of any split are the plan's own

    bool isNone() const { return bands.isEmpty(); }
    // What is wrong with one frequency, in the operator's words; empty when it fits.
    QStringList frequencyWarnings(qint64 hz) const;
    // What is wrong with the pair; empty when the split fits.
    QString splitWarning(qint64 receiveHz, qint64 transmitHz) const;

private:
    const Band *bandOf(qint64 hz) const;
};
