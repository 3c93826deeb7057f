#include "Frequency.h"

#include "FieldValue.h"

#include <QLocale>
#include <cmath>

static constexpr qint64 hertzPerMHz = 1000000;

double Frequency::steps(double megahertz, Frequency from)
{
    double value = megahertz * unitsPerMHz - double(from.m_units);
    if (!std::isfinite(value))
        return value;
    if (from.m_units != 0)
        value = QLocale::c().toDouble(QString::number(value, 'g', 15));
    return std::nearbyint(value);
}

std::optional<Frequency> Frequency::nearest(double megahertz)
{
    if (!std::isfinite(megahertz) || std::fabs(megahertz) > 1e12)
        return std::nullopt;
    return fromUnits(qint64(steps(megahertz, Frequency())));
}

std::optional<Frequency> Frequency::ofCell(const QVariant &cell)
{
    if (cell.typeId() == QMetaType::LongLong || cell.typeId() == QMetaType::Int)
        return fromUnits(cell.toLongLong() * unitsPerMHz);
    if (cell.typeId() == QMetaType::Double)
        if (const auto rounded = nearest(cell.toDouble()))
            return rounded;
    // The text form has at most 15 significant digits, so a real read from
    // the file as 438.51250000000005 is "438.5125" here and parses exactly.
    const QString shown = FieldValue::fieldText(cell);
    if (const auto exact = parse(shown))
        return exact;
    bool ok = false;
    const double megahertz = shown.trimmed().toDouble(&ok);
    return ok ? nearest(megahertz) : std::nullopt;
}

std::optional<Frequency> Frequency::parse(const QString &typed, Unit unit)
{
    const auto units = FieldValue::exactDecimal(typed, unit == Unit::MHz ? 4 : 1);
    return units ? std::optional(fromUnits(*units)) : std::nullopt;
}

QVariant Frequency::stored() const
{
    // Both are exact in a double and division rounds once, to the double
    // nearest the decimal, whose shortest text is that decimal.
    return double(m_units) / double(unitsPerMHz);
}

QString Frequency::fixedText() const
{
    const qint64 size = qAbs(m_units);
    return QStringLiteral("%1%2.%3")
            .arg(m_units < 0 ? QStringLiteral("-") : QString())
            .arg(size / unitsPerMHz)
            .arg(size % unitsPerMHz, 4, 10, QLatin1Char('0'));
}

QString Frequency::megahertz(qint64 hertz)
{
    const qint64 size = qAbs(hertz);
    QString fraction = QString::number(size % hertzPerMHz).rightJustified(6, u'0');
    while (fraction.endsWith(u'0'))
        fraction.chop(1);
    return (hertz < 0 ? QStringLiteral("-") : QString()) + QString::number(size / hertzPerMHz)
            + (fraction.isEmpty() ? QString() : u'.' + fraction);
}
