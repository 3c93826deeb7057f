#include "ChannelCsv.h"

#include "ChannelRow.h"
#include "Csv.h"
#include "FieldValue.h"

#include <QLocale>
#include <cmath>

QStringList ChannelCsv::header()
{
    return ChannelFields::names();
}

QString ChannelCsv::value(const QVariant &value)
{
    if (FieldValue::isNull(value))
        return QString();
    switch (value.typeId()) {
    case QMetaType::Double:
    case QMetaType::Float: {
        // "438.0", not "438": a real number must not come back as a whole one.
        const QString text = QString::number(value.toDouble(), 'g', QLocale::FloatingPointShortest);
        return text.contains(u'.') || text.contains(u'e') ? text : text + QStringLiteral(".0");
    }
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
        return value.toString();
    default:
        return Csv::field(FieldValue::fieldText(value), true);
    }
}

QByteArray ChannelCsv::write(const QVector<QVariantList> &rows)
{
    QString text = QChar(0xFEFF) + Csv::line(header());
    for (const QVariantList &row : rows) {
        QStringList fields;
        for (int i = 0; i < ChannelRow::fieldCount; ++i)
            fields << value(row.value(i));
        text += Csv::line(fields);
    }
    return text.toUtf8();
}

bool ChannelCsv::read(const QByteArray &bytes, ImportedRows *out, QString *error)
{
    QVector<Csv::Record> records;
    if (!Csv::parse(bytes, &records, error))
        return false;
    if (records.isEmpty() || records.first().fields != header()) {
        *error = QStringLiteral("第 1 行：表头应为 %1").arg(header().join(u','));
        return false;
    }
    ImportedRows result;
    for (int r = 1; r < records.size(); ++r) {
        const Csv::Record &record = records.at(r);
        if (record.fields.size() != ChannelRow::fieldCount) {
            *error = QStringLiteral("第 %1 行：应有 5 个字段，实有 %2 个").arg(record.line).arg(record.fields.size());
            return false;
        }
        QVariantList row;
        for (int c = 0; c < ChannelRow::fieldCount; ++c) {
            const QString &text = record.fields.at(c);
            if (record.quoted.at(c)) {
                row << text;
            } else if (text.trimmed().isEmpty()) {
                row << QVariant();
            } else if (c == ChannelFields::Remark) {
                row << text;
            } else {
                const QVariant number = FieldValue::fromInput(c, text);
                if (number.typeId() == QMetaType::QString) {
                    *error = QStringLiteral("第 %1 行第 %2 列（%3）：数值无法识别: %4")
                                     .arg(record.line).arg(c + 1).arg(header().at(c), text);
                    return false;
                }
                row << number;
            }
        }
        result.rows << row;
    }
    *out = result;
    return true;
}
