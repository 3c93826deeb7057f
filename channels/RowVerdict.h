#pragma once

#include "ChannelRow.h"

#include <QString>
#include <QVector>
#include <functional>

// One thing to say about one field of a row. An error keeps the row from
// being sent at all (the encoder refuses the value); the other kinds are
// warnings about fields that are sent, but perhaps not as the operator meant.
struct RowFinding
{
    enum Kind {
        Unsendable,      // the encoder refuses the value
        ReadInPart,      // "438,5" goes out as 438
        NullFrame,       // no channel number on a row with frequencies
        ZeroFrequency,   // a frequency sent as 000000
        NotWhole,        // a channel number that is rounded
        OffRaster,       // off both the 5 kHz and the 6.25 kHz raster
        OutOfBand,       // outside the band plan
        SetApart,        // inside a range the band plan sets apart for others
        OffBandRaster,   // off the band plan's own channels
        Split,           // a transmit/receive split the band plan does not allow
        Duplicate,       // a channel number an earlier row sends too
    };
    static constexpr int kindCount = Duplicate + 1;

    int field = 0;
    Kind kind = Unsendable;
    // An error names its field ("接收频率 超出范围: 99.5"); a warning does not
    // ("“438,5”只读作 438"): it stands in the cell it is about.
    QString text;

    bool isError() const { return kind == Unsendable; }
};

// What a row will send: its frame, and what there is to say about its fields.
// The grid tints and explains cells from it; a load refuses a row that has
// no frame.
struct RowVerdict
{
    QString frame;   // empty when the row cannot be sent
    QVector<RowFinding> findings;

    bool sendable() const { return !frame.isEmpty(); }
    // The errors, or the warnings, about one field, joined for a tooltip.
    QString problems(int field) const;
    QString warnings(int field) const;
};

using RowCheck = std::function<RowVerdict(const ChannelRow &)>;
