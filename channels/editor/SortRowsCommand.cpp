#include "SortRowsCommand.h"

#include "FieldValue.h"
#include "ReorderChange.h"

#include <algorithm>
#include <numeric>

namespace {

// What a cell sorts by, worked out once per row rather than per comparison.
struct SortKey
{
    int kind;   // 0 a number, 1 a text, 2 empty
    double number;
    QString text;
};

// A cell that shows nothing sorts with the empty ones, whether the file holds
// NULL or an empty text there.
SortKey sortKey(const QVariant &value)
{
    const QString text = FieldValue::isNull(value) ? QString() : FieldValue::fieldText(value);
    if (text.trimmed().isEmpty())
        return { 2, 0, {} };
    bool ok = false;
    const double number = text.trimmed().toDouble(&ok);
    return ok ? SortKey{ 0, number, {} } : SortKey{ 1, 0, text };
}

} // namespace

SortRowsCommand::SortRowsCommand(ChannelStore &store, int column, bool descending)
    : RowCommand(store, QStringLiteral("排序"))
{
    store.fetchAll();
    const int count = store.rowCount();
    QVector<SortKey> keys(count);
    for (int row = 0; row < count; ++row)
        keys[row] = sortKey(store.rowAt(row)->values[column]);
    QVector<int> order(count);
    std::iota(order.begin(), order.end(), 0);
    std::stable_sort(order.begin(), order.end(), [&keys, descending](int a, int b) {
        const SortKey &x = keys.at(a), &y = keys.at(b);
        if (x.kind != y.kind)
            return x.kind < y.kind;
        if (x.kind == 0 && x.number != y.number)
            return descending ? x.number > y.number : x.number < y.number;
        if (x.kind == 1)
            return descending ? y.text < x.text : x.text < y.text;
        return false;
    });
    m_ready = !std::is_sorted(order.cbegin(), order.cend());
    add(std::make_unique<ReorderChange>(std::move(order)));
}
