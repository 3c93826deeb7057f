#include "HeaderRow.h"

#include "ChannelFields.h"
#include "FieldValue.h"

#include <QRegularExpression>

namespace HeaderRow {

static QString bare(QString text)
{
    static const QRegularExpression unit(QStringLiteral("[(（]\\s*MHz\\s*[)）]"),
                                         QRegularExpression::CaseInsensitiveOption);
    text.remove(unit);
    text.remove(QRegularExpression(QStringLiteral("\\s")));
    return text;
}

static bool isNumber(int field, const QString &cell)
{
    const QVariant value = FieldValue::fromTyping(field, cell).value;
    return value.typeId() == QMetaType::LongLong || value.typeId() == QMetaType::Double;
}

static bool allNames(const QStringList &line)
{
    QStringList names;
    for (int i = 0; i < ChannelFields::count; ++i)
        names << bare(ChannelFields::name(i)) << bare(ChannelFields::caption(i));
    bool any = false;
    for (const QString &cell : line) {
        if (bare(cell).isEmpty())
            continue;
        if (!names.contains(bare(cell)))
            return false;
        any = true;
    }
    return any;
}

// Text on top of a column whose every other cell is a number.
static bool textOverNumbers(const QVector<QStringList> &block, int column)
{
    const QStringList &first = block.first();
    for (int j = 0; j < first.size(); ++j) {
        const int field = column + j;
        if (!ChannelFields::isFrameField(field) || first.at(j).trimmed().isEmpty() || isNumber(field, first.at(j)))
            continue;
        int numbers = 0;
        bool onlyNumbers = true;
        for (int i = 1; i < block.size(); ++i) {
            const QString cell = block.at(i).value(j);
            if (cell.trimmed().isEmpty())
                continue;
            onlyNumbers = onlyNumbers && isNumber(field, cell);
            ++numbers;
        }
        if (onlyNumbers && numbers > 0)
            return true;
    }
    return false;
}

bool isHeader(const QVector<QStringList> &block, int column)
{
    if (block.isEmpty())
        return false;
    return allNames(block.first()) || (block.size() > 1 && textOverNumbers(block, column));
}

} // namespace HeaderRow
