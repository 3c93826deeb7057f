#pragma once

#include "ChannelRow.h"
#include "Frequency.h"

#include <QByteArray>
#include <QString>
#include <QVariant>
#include <optional>

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
    static ChannelFrame encode(const QVariant &channel, const QVariant &receive,
                               const QVariant &transmit);
    // The frame of a table row: its fields 1 to 3.
    static ChannelFrame encode(const ChannelRow &row)
    {
        return encode(row[ChannelFields::Channel], row[ChannelFields::Receive],
                      row[ChannelFields::Transmit]);
    }

    static const QString nullFrame;   // sent for a row without a channel number

    bool isValid() const { return !m_text.isEmpty(); }
    QString text() const { return m_text; }            // empty when invalid
    // The field that keeps the row from being sent; only when invalid.
    ChannelFields::Field errorField() const { return m_errorField; }
    QString errorMessage() const { return m_error; }   // "接收频率 超出范围: 99.5"

    // The frequencies as the frame carries them, after its rounding
    // (430.012501 MHz is carried as 430.0125); 0 where the frame sends
    // 000000. Checks judge these, not the digits typed.
    Frequency receive() const { return m_carried[0]; }
    Frequency transmit() const { return m_carried[1]; }

    // The frequency a frame's text carries in `field` (Receive or Transmit);
    // none where it sends none (no channel number, or 000000).
    static std::optional<Frequency> carriedIn(const QByteArray &frame, ChannelFields::Field field);

private:
    QString m_text;
    Frequency m_carried[2];
    ChannelFields::Field m_errorField = ChannelFields::Channel;
    QString m_error;
};
