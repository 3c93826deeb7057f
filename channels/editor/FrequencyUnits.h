#pragma once

#include <QString>
#include <QVariant>
#include <optional>

// Frequencies as whole numbers of 100 Hz, so that sums and series are exact:
// 438.5 MHz + 12.5 kHz is 4385000 + 125 units, stored as 438.5125, never as
// 438.51250000000005. Channel and record numbers use the same arithmetic with
// a unit of 1.
namespace FrequencyUnits {

constexpr qint64 perMHz = 10000;
constexpr qint64 perKHz = 10;

// A decimal number as typed ("438.5125", "-0.0125", "12.5", "−5") in units
// of 10^-decimals: parse("438.5125", 4) is 4385125. None when it is no
// number or has a digit past the unit (438.51255 is finer than 100 Hz).
std::optional<qint64> parse(const QString &typed, int decimals);

// A stored frequency in 100 Hz units, rounded to the nearest; none when the
// cell is empty or holds no number.
std::optional<qint64> ofFrequency(const QVariant &stored);
// What a frequency of `units` is stored as: a real whose text is the exact decimal.
QVariant frequency(qint64 units);
// The text of `units` in MHz, as the grid shows it: "438.5125", "-0.0125", "5".
QString text(qint64 units);

} // namespace FrequencyUnits
