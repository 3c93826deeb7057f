#include "ChannelCursor.h"

ChannelCursor::ChannelCursor(ChannelStore *store, QAbstractItemModel *shown, QObject *parent)
    : QItemSelectionModel(shown ? shown : store, parent)
    , m_store(store)
{
}

int ChannelCursor::currentRow() const
{
    const QModelIndex current = currentIndex();
    return current.isValid() ? current.row() : -1;
}

void ChannelCursor::moveTo(int row)
{
    if (!m_store->rowAt(row)) {
        clear();
        return;
    }
    const int column = currentIndex().isValid() ? currentIndex().column() : 0;
    setCurrentIndex(model()->index(row, column), ClearAndSelect | Rows);
}

bool ChannelCursor::moveFirst()
{
    moveTo(0);
    return !atEnd();
}

void ChannelCursor::moveNext()
{
    if (!atEnd())
        moveTo(currentRow() + 1);
}
