#pragma once

#include "ChannelStore.h"

#include <QItemSelectionModel>

// The one current row of 信道表. It is the grid's own selection model, so the
// row the operator sees marked and the row the transfer reads are the same:
// moving either moves the other. Past the last row the cursor is at the end.
//
// It selects in the model the grid shows (the store itself where no grid is),
// whose rows are the store's rows one for one.
class ChannelCursor : public QItemSelectionModel
{
    Q_OBJECT
public:
    explicit ChannelCursor(ChannelStore *store, QAbstractItemModel *shown = nullptr, QObject *parent = nullptr);

    // False when the table is not open or has no row; the cursor is then at the end.
    bool moveFirst();
    void moveNext();
    void moveTo(int row);
    bool atEnd() const { return currentRow() < 0; }
    int currentRow() const;

private:
    ChannelStore *m_store;
};
