#pragma once

#include <QFont>
#include <QObject>
#include <QVector>

class QTableView;

// 放大 / 缩小 / 原始大小: the grid's cells, rows, columns and column captions
// drawn larger or smaller in steps of a tenth, from half to three times the
// designed size; the designed layout is the start, and 原始大小 goes back to it.
class GridZoom : public QObject
{
    Q_OBJECT
public:
    explicit GridZoom(QTableView *grid);
    void zoomIn() { setFactor(m_factor + 0.1); }
    void zoomOut() { setFactor(m_factor - 0.1); }
    void reset() { setFactor(1.0); }
    double factor() const { return m_factor; }

private:
    void setFactor(double factor);

    QTableView *m_grid;
    double m_factor = 1.0;
    QFont m_font;
    QFont m_captionFont;
    int m_captionHeight = 0;
    int m_rowHeight = 0;
    QVector<int> m_widths;
};
