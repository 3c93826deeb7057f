#include "FieldValue.h"

#include "ChannelFields.h"

#include <QLocale>
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

} // namespace FieldValue
