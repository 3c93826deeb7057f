#pragma once

#include "ChannelRow.h"

#include <QVector>

// The rows a store has loaded, as a change shows itself in them once the file
// has taken it. Values and keys are changed in place and then announced;
// rows come and go through insertLoaded() and removeLoaded(), which announce
// themselves, so that the views keep their current row and open editors.
class LoadedRows
{
public:
    virtual QVector<ChannelRow> &loaded() = 0;
    virtual void rowsChanged(int first, int last) = 0;
    virtual void insertLoaded(int at, const QVector<ChannelRow> &rows) = 0;
    // `positions` ascending.
    virtual void removeLoaded(const QVector<int> &positions) = 0;

protected:
    ~LoadedRows() = default;
};
