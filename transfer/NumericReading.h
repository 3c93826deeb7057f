#pragma once

#include <QString>

// The leading number of a text, read the way the radio's channel files have always
// been read: blanks (space, tab, line feed) anywhere are skipped, an optional sign
// and exponent belong to the number, "." is the decimal point whatever the locale,
// "&H" and "&O" start hexadecimal and octal digits, reading stops at the first
// character that cannot continue the number, and no number at all reads as 0.
// Too large a number reads as an infinity, which the encoder rejects.
namespace NumericReading {
double read(const QString &text);
}
