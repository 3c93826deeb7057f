#pragma once

#include "ChannelFields.h"

#include <QVariant>
#include <QtGlobal>
#include <array>

// One row of 信道表: its storage key and its five fields by position. A null
// field is an invalid QVariant.
struct ChannelRow
{
    static constexpr int fieldCount = ChannelFields::count;
    using Values = std::array<QVariant, fieldCount>;

    qint64 key = 0;   // SQLite rowid: edits address exactly this row
    Values values;

    const QVariant &operator[](ChannelFields::Field field) const { return values[field]; }
};
