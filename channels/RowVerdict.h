#pragma once

#include "ChannelRow.h"

#include <QString>
#include <array>
#include <functional>

// What a row will send: its frame, or for each field that keeps it from being
// sent, why. The grid tints those cells; the transfer refuses such a row.
// Warnings name fields that are sent, but not as the operator may think.
struct RowVerdict
{
    QString frame;
    std::array<QString, ChannelRow::fieldCount> problems;
    std::array<QString, ChannelRow::fieldCount> warnings;

    bool sendable() const { return !frame.isEmpty(); }
};

using RowCheck = std::function<RowVerdict(const ChannelRow &)>;
