#pragma once

#include <QVariant>
#include <QtGlobal>
#include <array>

// One row of 信道表: its storage key and its five fields by position
// (记录编号, 信道号, 接收频率, 发送频率, 备注). A null field is an invalid QVariant.
struct ChannelRow
{
    static constexpr int fieldCount = 5;

    qint64 key = 0;   // SQLite rowid: edits address exactly this row
    std::array<QVariant, fieldCount> values;
};
