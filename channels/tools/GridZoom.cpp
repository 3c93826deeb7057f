#include "GridZoom.h"

#include <QHeaderView>
#include <QTableView>

#include <algorithm>
#include <cmath>

GridZoom::GridZoom(QTableView *grid)
    : QObject(grid)
    , m_grid(grid)
{
}

void GridZoom::setFactor(double factor)
{
    factor = std::clamp(std::round(factor * 10) / 10, 0.5, 3.0);
    if (factor == m_factor)
        return;
    // The designed sizes are taken when first zoomed, after the grid laid
    // itself out; widths the operator dragged meanwhile count as designed.
    QHeaderView *captions = m_grid->horizontalHeader();
    if (m_factor == 1.0) {
        m_font = m_grid->font();
        m_captionFont = captions->font();
        m_captionHeight = captions->height();
        m_rowHeight = m_grid->verticalHeader()->defaultSectionSize();
        m_widths.clear();
        for (int i = 0; i < m_grid->horizontalHeader()->count(); ++i)
            m_widths << m_grid->columnWidth(i);
    }
    m_factor = factor;
    QFont font = m_font;
    font.setPointSizeF(m_font.pointSizeF() * factor);
    m_grid->setFont(font);
    // The captions keep their three lines, or 接收频率 wraps into "接收频/率".
    font = m_captionFont;
    font.setPointSizeF(m_captionFont.pointSizeF() * factor);
    captions->setFont(font);
    captions->setFixedHeight(qRound(m_captionHeight * factor));
    m_grid->verticalHeader()->setDefaultSectionSize(qRound(m_rowHeight * factor));
    for (int i = 0; i < m_widths.size(); ++i)
        m_grid->setColumnWidth(i, qRound(m_widths.at(i) * factor));
}
