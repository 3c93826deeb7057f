#pragma once

#include "ChannelModel.h"

#include <QItemSelectionModel>

// The one current row of 信道表. It is the grid's own selection model, so the
// row the operator sees marked and the row the transfer reads are the same:
// moving either moves the other. Past the last row the cursor is at the end.
class ChannelCursor : public QItemSelectionModel
{
    Q_OBJECT
public:
    explicit ChannelCursor(ChannelModel *model, QObject *parent = nullptr);

    ChannelModel *channels() const { return m_channels; }

    // False when the table is not open or has no row; the cursor is then at the end.
    bool moveFirst();
    void moveNext();
    bool atEnd() const { return currentRow() < 0; }
    int currentRow() const;

private:
    void moveTo(int row);

    ChannelModel *m_channels;
};
