#pragma once

#include <QString>
#include <QVariant>
#include <optional>

// How a stored channel field looks as text, and how an operator's typing is stored.
// The frame encoder reads numbers through the text form, so the grid and the
// transfer must agree on it: both use fieldText().
namespace FieldValue {

// The database null is an invalid QVariant throughout the program.
inline bool isNull(const QVariant &value) { return !value.isValid() || value.isNull(); }

// Text form of a value: whole numbers in decimal, doubles with at most 15
// significant digits and no trailing zeros (150.025, never 150.02500000000001),
// texts unchanged, null as the empty string.
QString fieldText(const QVariant &value);

// What the operator typed into column `position`, as it goes into the table:
// empty is null; in the four numeric columns a complete number is stored as a
// number, anything else as the text typed; the remark is always text.
QVariant fromInput(int position, const QString &typed);

// What a person typed or pasted into a cell, as it is stored, and how it was
// read when that is not the text as written: in 信道号 and the two
// frequencies, full-width digits and punctuation count as their ASCII forms,
// and in the frequencies a comma is the decimal point, never a thousands
// separator ("430,175" is 430.175). Elsewhere it is fromInput().
struct Typed
{
    QVariant value;
    QString note;   // "按 430.175 读取（输入的是 430,175）", or empty
};
Typed fromTyping(int position, const QString &typed);

// A decimal number as typed ("438.5125", "-0.0125", "12.5", "−5") as a whole
// count of 10^-decimals: exactDecimal("438.5125", 4) is 4385125. None when it
// is no number or has a digit past the last decimal (438.51255 to 4), so that
// a tool never rounds what the operator asked for.
std::optional<qint64> exactDecimal(const QString &typed, int decimals);

// Values as the grid shows them: a number stored as text is the same value.
inline bool sameValue(const QVariant &a, const QVariant &b)
{
    return isNull(a) == isNull(b) && fieldText(a) == fieldText(b);
}

} // namespace FieldValue
