#include "FrequencyUnits.h"

#include "FieldValue.h"

#include <QRegularExpression>
#include <cmath>

namespace FrequencyUnits {

std::optional<qint64> parse(const QString &typed, int decimals)
{
    static const QRegularExpression number(QStringLiteral(R"(^\s*([+\-−]?)(\d{0,12})(?:\.(\d*))?\s*$)"));
    const QRegularExpressionMatch match = number.match(typed);
    const QString whole = match.captured(2), fraction = match.captured(3);
    if (!match.hasMatch() || (whole.isEmpty() && fraction.isEmpty()))
        return std::nullopt;
    for (int i = decimals; i < fraction.size(); ++i)
        if (fraction.at(i) != u'0')
            return std::nullopt;
    qint64 units = whole.toLongLong();
    for (int i = 0; i < decimals; ++i)
        units = units * 10 + (i < fraction.size() ? fraction.at(i).digitValue() : 0);
    return match.captured(1).isEmpty() || match.captured(1) == u"+" ? units : -units;
}

std::optional<qint64> ofFrequency(const QVariant &stored)
{
    // A real times 10^4 is within far less than half a unit of the whole
    // number its shortest decimal gives, for any frequency a radio has.
    if (stored.typeId() == QMetaType::Double && std::isfinite(stored.toDouble()) && std::abs(stored.toDouble()) < 1e9)
        return std::llround(stored.toDouble() * perMHz);
    if (stored.typeId() == QMetaType::LongLong || stored.typeId() == QMetaType::Int)
        return stored.toLongLong() * perMHz;
    // The text form has at most 15 significant digits, so a real read from
    // the file as 438.51250000000005 is "438.5125" here and parses exactly.
    const QString shown = FieldValue::fieldText(stored);
    if (const auto exact = parse(shown, 4))
        return exact;
    bool ok = false;
    const double mhz = shown.trimmed().toDouble(&ok);
    if (!ok || !std::isfinite(mhz) || std::abs(mhz) > 1e9)
        return std::nullopt;
    return std::llround(mhz * perMHz);
}

QVariant frequency(qint64 units)
{
    // Both are exact in a double and division rounds once, to the double
    // nearest the decimal, whose shortest text is that decimal.
    return double(units) / double(perMHz);
}

QString text(qint64 units)
{
    const qint64 size = units < 0 ? -units : units;
    QString digits = QString::number(size % perMHz).rightJustified(4, u'0');
    while (digits.endsWith(u'0'))
        digits.chop(1);
    return (units < 0 ? QStringLiteral("-") : QString()) + QString::number(size / perMHz)
            + (digits.isEmpty() ? QString() : u'.' + digits);
}

} // namespace FrequencyUnits
