#pragma once

#include <QPair>
#include <QString>

class ChannelStore;

// 查找/替换 over the cells as the grid shows them (FieldValue::fieldText):
// 438.5 is found by "438.5" whether the file holds a number or a text.
class CellSearch
{
public:
    CellSearch(const QString &text, bool matchCase, bool wholeCell);

    bool isEmpty() const { return m_text.isEmpty(); }
    bool matches(const QString &shown) const;
    // `shown` with every occurrence replaced by `with`, or all of it when
    // whole cells are searched.
    QString replaced(const QString &shown, const QString &with) const;
    // The first matching cell after (row, column), row by row to the end of
    // the file and round from the top; (-1, -1) when no cell matches.
    QPair<int, int> next(ChannelStore &store, int row, int column) const;

private:
    QString m_text;
    Qt::CaseSensitivity m_case;
    bool m_wholeCell;
};
