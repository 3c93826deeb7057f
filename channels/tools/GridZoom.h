#pragma once

#include <QFont>
#include <QObject>
#include <QVector>

class QTableView;

// 放大 / 缩小: the grid's cells, rows and columns drawn larger or smaller in
// steps of a tenth, from half to three times the designed size; the designed
// layout is the start.
class GridZoom : public QObject
{
    Q_OBJECT
public:
    explicit GridZoom(QTableView *grid);
    void zoomIn() { setFactor(m_factor + 0.1); }
    void zoomOut() { setFactor(m_factor - 0.1); }
    double factor() const { return m_factor; }

private:
    void setFactor(double factor);

    QTableView *m_grid;
    double m_factor = 1.0;
    QFont m_font;
    int m_rowHeight = 0;
    QVector<int> m_widths;
};
