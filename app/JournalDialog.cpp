#include "JournalDialog.h"

#include "SystemMessage.h"
#include "Tsv.h"
#include "Twips.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QDialogButtonBox>
#include <QHeaderView>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

#include <algorithm>

static QString known(qint64 value)
{
    return value < 0 ? QString() : QString::number(value);
}

JournalDialog::JournalDialog(const QVector<TransferJournal::Entry> &entries, QWidget *parent)
    : QDialog(parent)
    , m_table(new QTableWidget(int(entries.size()), 8, this))
{
    setWindowTitle(QStringLiteral("传送记录"));
    m_table->setHorizontalHeaderLabels({ QStringLiteral("时间"), QStringLiteral("信道文件"),
                                         QStringLiteral("校验 SHA-256"), QStringLiteral("设备"), QStringLiteral("帧数"),
                                         QStringLiteral("字节"), QStringLiteral("警告"), QStringLiteral("结果") });
    for (int row = 0; row < entries.size(); ++row) {
        const TransferJournal::Entry &e = entries.at(row);
        const QString result = TransferJournal::resultText(e.result)
                + (e.detail.isEmpty() ? QString() : QStringLiteral("：") + e.detail);
        const QStringList cells{ e.time.toString(Qt::ISODate), e.file, e.sha256, e.device,
                                 QString::number(e.framesSent), known(e.bytesDrained), known(e.warnings), result };
        for (int column = 0; column < cells.size(); ++column) {
            auto *item = new QTableWidgetItem(cells.at(column));
            item->setToolTip(cells.at(column));
            m_table->setItem(row, column, item);
        }
    }
    m_table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_table->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_table->setSelectionMode(QAbstractItemView::ExtendedSelection);
    m_table->setTextElideMode(Qt::ElideNone);
    m_table->setWordWrap(false);
    m_table->verticalHeader()->hide();
    m_table->resizeColumnsToContents();   // then the operator's to drag
    m_table->horizontalHeader()->setStretchLastSection(true);

    auto *copy = new QAction(this);
    copy->setShortcut(QKeySequence::Copy);
    copy->setShortcutContext(Qt::WidgetWithChildrenShortcut);
    connect(copy, &QAction::triggered, this, &JournalDialog::copyRows);
    m_table->addAction(copy);

    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    buttons->button(QDialogButtonBox::Close)->setText(QStringLiteral("关闭"));
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_table);
    layout->addWidget(buttons);
    resize(Twips::toPixels(14000, this), Twips::toPixels(5000, this));
}

// Whole rows in the table's order, whatever order they were picked in, as
// a spreadsheet pastes them: a device text may hold a line break.
void JournalDialog::copyRows()
{
    QList<int> picked;
    for (const QModelIndex &index : m_table->selectionModel()->selectedRows())
        picked << index.row();
    std::sort(picked.begin(), picked.end());
    QVector<QStringList> rows;
    for (int row : picked) {
        QStringList cells;
        for (int column = 0; column < m_table->columnCount(); ++column)
            cells << m_table->item(row, column)->text();
        rows << cells;
    }
    if (!rows.isEmpty())
        QApplication::clipboard()->setText(Tsv::write(rows));
}

void JournalDialog::showJournal(QWidget *parent)
{
    const QVector<TransferJournal::Entry> entries = TransferJournal::entries();
    if (entries.isEmpty())
        showSystemMessage(parent, QStringLiteral("还没有传送记录。"));
    else
        JournalDialog(entries, parent).exec();
}
