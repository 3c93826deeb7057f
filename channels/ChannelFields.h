#pragma once

#include <QString>
#include <QStringList>

// The five fields of 信道表 in the order the table delivers them. The transfer
// reads fields by position, so this order is part of every channel file.
namespace ChannelFields {

enum Field { Record = 0, Channel = 1, Receive = 2, Transmit = 3, Remark = 4 };
constexpr int count = 5;

// The field's name in the file and in our CSV header: "记录编号", "信道号", …
QString name(int position);
QStringList names();
// The grid's column caption: "接收频率  (MHz)", two blanks before the unit.
QString caption(int position);

// The three fields a channel frame is made of.
inline bool isFrameField(int position) { return position >= Channel && position <= Transmit; }

} // namespace ChannelFields
