#pragma once

#include "ChannelRow.h"
#include "RowChange.h"

#include <QVector>

// New rows at one place: 插入行, 复制行, a paste past the end. The file's
// order is its keys', so the new rows take keys between their neighbours';
// where there is no room, the rows on the shorter side move aside, and move
// back when the insertion is undone. Undone, the new rows must still be in the
// file as shown.
class InsertChange : public RowChange
{
public:
    InsertChange(int at, QVector<ChannelRow::Values> rows)
        : m_at(at)
        , m_rows(std::move(rows))
    {
    }

    void expect(ChangeCheck &check, bool forward) const override;
    bool write(FileRows &file, bool forward) override;
    void show(LoadedRows &rows, bool forward) const override;
    bool touchesKey(int) const override { return true; }
    int count() const override { return int(m_rows.size()); }

private:
    bool makeRoom(FileRows &file);
    void shiftLoaded(QVector<ChannelRow> &loaded, bool forward) const;

    int m_at;
    QVector<ChannelRow::Values> m_rows;
    QVector<qint64> m_keys;   // the new rows', once written
    // Keys from m_gapFrom to m_gapTo moved m_gapBy on to make room.
    qint64 m_gapFrom = 0;
    qint64 m_gapTo = 0;
    qint64 m_gapBy = 0;
};
