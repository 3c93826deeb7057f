#include "FleetTable.h"

#include "DesignColours.h"
#include "FleetRun.h"
#include "FleetSummary.h"
#include "Tsv.h"

#include <QHeaderView>

using Event = FleetRun::Event;

FleetTable::FleetTable(QWidget *parent)
    : QTableWidget(0, 3, parent)
{
    setObjectName(QStringLiteral("电台表"));
    setHorizontalHeaderLabels({ QStringLiteral("电台"), QStringLiteral("时间"), QStringLiteral("结果") });
    horizontalHeader()->setStretchLastSection(true);
    verticalHeader()->hide();
    verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 8);   // twenty radios in view
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::ExtendedSelection);
    setFocusPolicy(Qt::NoFocus);
    connect(this, &QTableWidget::cellClicked, this, [this](int row) {
        if (radioAt(row) >= 0)
            emit labelPicked(item(row, 0)->text());
    });
}

static QString resultOf(const FleetRun::Radio &radio, bool retried)
{
    if (!radio.concluded)
        return QStringLiteral("正在传送");
    QString text = resultText(radio.result);
    if (radio.nothingSent && radio.result == LoadResult::Failed)
        text += QStringLiteral("（没有传送）");
    if (!radio.cause.isEmpty())
        text += QStringLiteral("：") + radio.cause;
    return retried ? QStringLiteral("已重传，") + text : text;
}

void FleetTable::present(const FleetRun &run)
{
    const FleetSummary summary(run);
    const QVector<Event> &events = run.events();
    setRowCount(int(events.size()));
    m_radioOfRow.fill(-1, events.size());
    for (int row = 0; row < events.size(); ++row) {
        const Event &event = events.at(row);
        QStringList cells{ QString(), event.time.toString(QStringLiteral("HH:mm:ss")), event.text };
        QColor tint;
        if (event.kind == Event::Kind::Load) {
            const FleetRun::Radio &radio = run.radios().at(event.radio);
            m_radioOfRow[row] = event.radio;
            const bool retried = summary.isRetried(event.radio);
            cells[0] = radio.label;
            cells[2] = resultOf(radio, retried);
            if (radio.concluded && radio.result != LoadResult::Done)
                tint = retried ? DesignColours::radioRetried : DesignColours::radioNotLoaded;
        } else if (event.kind == Event::Kind::PlanChange) {
            cells[0] = QStringLiteral("信道表");
            tint = DesignColours::warningCell;
        }
        for (int column = 0; column < cells.size(); ++column) {
            auto *cell = new QTableWidgetItem(cells.at(column));
            cell->setToolTip(cells.at(column));   // a long cause is cut in its cell
            if (tint.isValid())
                cell->setBackground(tint);
            setItem(row, column, cell);
        }
    }
    if (!events.isEmpty())
        scrollToBottom();
}

int FleetTable::radioAt(int row) const
{
    return m_radioOfRow.value(row, -1);
}

void FleetTable::selectLoads(const QVector<int> &radios)
{
    clearSelection();
    for (int row = 0; row < rowCount(); ++row)
        if (radios.contains(radioAt(row)))
            selectionModel()->select(model()->index(row, 0), QItemSelectionModel::Select | QItemSelectionModel::Rows);
    const QList<QTableWidgetItem *> picked = selectedItems();
    if (!picked.isEmpty())
        scrollToItem(picked.first());
}

QString FleetTable::asTsv() const
{
    QVector<QStringList> rows{ { QStringLiteral("电台"), QStringLiteral("时间"), QStringLiteral("结果") } };
    for (int row = 0; row < rowCount(); ++row)
        rows << QStringList{ item(row, 0)->text(), item(row, 1)->text(), item(row, 2)->text() };
    return Tsv::write(rows);
}
