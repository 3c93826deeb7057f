#include "FieldValue.h"

#include "ChannelFields.h"

#include <QLocale>
#include <QRegularExpression>
#include <cmath>

namespace FieldValue {

QString fieldText(const QVariant &value)
{
    if (isNull(value))
        return QString();
    switch (value.typeId()) {
    case QMetaType::Double:
    case QMetaType::Float:
        return QString::number(value.toDouble(), 'g', 15);
    case QMetaType::QByteArray:
        return QString::fromUtf8(value.toByteArray());
    default:
        return value.toString();
    }
}

// Full-width forms (U+FF01–U+FF5E) as their ASCII counterparts, the
// ideographic space as a blank, and the ideographic full stop as a point.
static QString halfWidth(const QString &text)
{
    QString plain = text;
    for (QChar &c : plain) {
        const char16_t u = c.unicode();
        if (u >= 0xFF01 && u <= 0xFF5E)
            c = QChar(char16_t(u - 0xFEE0));
        else if (u == 0x3000)
            c = u' ';
        else if (u == 0x3002)
            c = u'.';
    }
    return plain;
}

// A number as a person writes it: no thousands separators, and in a
// frequency one comma and no point is a decimal comma.
static QVariant number(int position, QString text)
{
    if (position != ChannelFields::Channel && text.count(u',') == 1 && !text.contains(u'.'))
        text.replace(u',', u'.');
    bool ok = false;
    const qlonglong whole = text.toLongLong(&ok);
    if (ok)
        return whole;
    QLocale c = QLocale::c();
    c.setNumberOptions(QLocale::RejectGroupSeparator);
    const double value = c.toDouble(text, &ok);
    return ok && std::isfinite(value) ? QVariant(value) : QVariant();
}

Typed fromTyping(int position, const QString &typed)
{
    if (!ChannelFields::isFrameField(position))
        return { fromInput(position, typed), QString() };
    const QString text = typed.trimmed();
    if (text.isEmpty())
        return {};
    const QVariant read = number(position, halfWidth(text));
    if (!read.isValid())
        return { typed, QString() };
    const QString stored = fieldText(read);
    const bool asWritten = text == stored || fromInput(position, text) == read;
    return { read, asWritten ? QString() : QStringLiteral("按 %1 读取（输入的是 %2）").arg(stored, text) };
}

QVariant fromInput(int position, const QString &typed)
{
    const QString text = typed.trimmed();
    if (text.isEmpty())
        return QVariant();
    if (position == ChannelFields::Remark)
        return typed;
    bool ok = false;
    const qlonglong whole = text.toLongLong(&ok);
    if (ok)
        return whole;
    const double number = QLocale::c().toDouble(text, &ok);
    if (ok && std::isfinite(number))
        return number;
    return typed;
}

std::optional<qint64> exactDecimal(const QString &typed, int decimals)
{
    static const QRegularExpression number(QStringLiteral(R"(^\s*([+\-−]?)(\d{0,12})(?:\.(\d*))?\s*$)"));
    const QRegularExpressionMatch match = number.match(typed);
    const QString whole = match.captured(2), fraction = match.captured(3);
    if (!match.hasMatch() || (whole.isEmpty() && fraction.isEmpty()))
        return std::nullopt;
    for (int i = decimals; i < fraction.size(); ++i)
        if (fraction.at(i) != u'0')
            return std::nullopt;
    qint64 count = whole.toLongLong();
    for (int i = 0; i < decimals; ++i)
        count = count * 10 + (i < fraction.size() ? fraction.at(i).digitValue() : 0);
    return match.captured(1).isEmpty() || match.captured(1) == u"+" ? count : -count;
}

} // namespace FieldValue
