#pragma once

#include <QObject>
#include <QVector>

class ChannelGrid;

// The grid's column widths as the operator dragged them, kept per plan file
// (settings group columnWidths, keyed by the file's path) and given back when
// that file is opened again; a file without any gets the designed widths.
class ColumnWidths : public QObject
{
    Q_OBJECT
public:
    explicit ColumnWidths(ChannelGrid *grid);

    static QString key(const QString &path);

private:
    void restore();
    void keep();

    ChannelGrid *m_grid;
    QVector<int> m_designed;
    bool m_restoring = false;
};
