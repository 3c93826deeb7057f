#pragma once

#include "channels/ChannelRow.h"

#include <QString>
#include <QVariant>

// One channel as the radio receives it: 16 uppercase hexadecimal characters,
//   channel number (2) | receive value (6) | "00" | transmit value (6),
// each frequency in units of 100 Hz with its three bytes least significant first;
// the receive value lies 21.4 MHz below the receive frequency.
//
// A row that cannot be sent as such a frame (channel outside 1-255, a frequency
// value that does not fill exactly six digits, a value that is no finite number)
// gives no frame at all but an error naming the field, so the radio is never
// programmed with a truncated or shifted frequency.
class ChannelFrame
{
public:
    // Field positions in a channel row; the encoder reads 1 to 3.
    enum Field { NoField = 0, Channel = 1, Receive = 2, Transmit = 3 };

    static ChannelFrame encode(const QVariant &channel, const QVariant &receive,
                               const QVariant &transmit);
    // The frame of a table row: its fields 1 to 3.
    static ChannelFrame encode(const ChannelRow &row)
    {
        return encode(row.values[Channel], row.values[Receive], row.values[Transmit]);
    }

    static const QString nullFrame;   // sent for a row without a channel number

    bool isValid() const { return m_errorField == NoField; }
    QString text() const { return m_text; }            // empty when invalid
    Field errorField() const { return m_errorField; }
    QString errorMessage() const { return m_error; }   // "接收频率 超出范围: 99.5"

    static QString fieldName(int position);            // "信道号", "接收频率", …

private:
    QString m_text;
    Field m_errorField = NoField;
    QString m_error;
};
