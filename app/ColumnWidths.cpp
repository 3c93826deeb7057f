#include "ColumnWidths.h"

#include "ChannelEditor.h"
#include "ChannelGrid.h"
#include "ChannelStore.h"
#include <QSettings>

#include <QApplication>
#include <QHeaderView>
#include <QUrl>

ColumnWidths::ColumnWidths(ChannelGrid *grid)
    : QObject(grid)
    , m_grid(grid)
{
    for (int i = 0; i < grid->horizontalHeader()->count(); ++i)
        m_designed << grid->columnWidth(i);
    connect(grid->model(), &QAbstractItemModel::modelReset, this, &ColumnWidths::restore);
    connect(grid->horizontalHeader(), &QHeaderView::sectionResized, this, &ColumnWidths::keep);
    restore();
}

// Percent-encoded, so that the slashes of the path make no settings groups.
QString ColumnWidths::key(const QString &path)
{
    return QStringLiteral("columnWidths/") + QString::fromLatin1(QUrl::toPercentEncoding(path));
}

void ColumnWidths::restore()
{
    const QString path = m_grid->editor()->store()->path();
    const QVariantList kept = path.isEmpty() ? QVariantList() : QSettings().value(key(path)).toList();
    m_restoring = true;
    for (int i = 0; i < m_designed.size(); ++i)
        m_grid->setColumnWidth(i, kept.size() == m_designed.size() ? kept.at(i).toInt() : m_designed.at(i));
    m_restoring = false;
}

// Only widths the operator dragged are kept: the zoom and restoring set
// widths too, and those are not the operator's choice for the file.
void ColumnWidths::keep()
{
    const QString path = m_grid->editor()->store()->path();
    if (m_restoring || path.isEmpty() || !(QApplication::mouseButtons() & Qt::LeftButton))
        return;
    QVariantList widths;
    for (int i = 0; i < m_designed.size(); ++i)
        widths << m_grid->columnWidth(i);
    QSettings().setValue(key(path), widths);
}
