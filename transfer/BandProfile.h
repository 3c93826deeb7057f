#pragma once

#include "Frequency.h"

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

    // What is wrong with one frequency, in the operator's words.
    struct Warning
    {
        enum Kind { Outside, SetApart, OffRaster };
        Kind kind;
        QString text;
    };

    // The radio carries frequencies in steps of 100 Hz: a channel centre
    // between two steps (446.00625 MHz) goes out as the nearer one, at most
    // this far from it. A frequency as carried is judged within this slack.
    static constexpr qint64 carriedSlackHz = 50;
    // `carried` is a frame's rendering of offset + n × step.
    static bool onRaster(Frequency carried, qint64 stepHz, qint64 offsetHz = 0);

    bool isNone() const { return bands.isEmpty(); }
    // For a frequency as a frame carries it; empty when it fits.
    QVector<Warning> frequencyWarnings(Frequency carried) const;
    // What is wrong with the pair; empty when the split fits.
    QString splitWarning(Frequency receive, Frequency transmit) const;

private:
    const Band *bandOf(qint64 hz) const;
};
