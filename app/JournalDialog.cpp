#include "JournalDialog.h"

#include "ComparisonDialog.h"
#include "FleetReport.h"
#include "JournalReading.h"
#include "JournalSet.h"
#include "LoadComparison.h"
#include "LoadSource.h"
#include "SystemMessage.h"
#include "Tsv.h"
#include "Twips.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

#include <algorithm>

static QString known(qint64 value)
{
    return value < 0 ? QString() : QString::number(value);
}

JournalDialog::JournalDialog(const QVector<TransferJournal::Entry> &entries, const QString &openPlan, QWidget *parent)
    : QDialog(parent)
    , m_entries(entries)
    , m_openPlan(openPlan)
    , m_table(new QTableWidget(int(entries.size()), 10, this))
    , m_head(new QLabel(this))
{
    setWindowTitle(QStringLiteral("传送记录"));
    fillTable();

    auto *copy = new QAction(this);
    copy->setShortcut(QKeySequence::Copy);
    copy->setShortcutContext(Qt::WidgetWithChildrenShortcut);
    connect(copy, &QAction::triggered, this, &JournalDialog::copyRows);
    m_table->addAction(copy);

    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    buttons->button(QDialogButtonBox::Close)->setText(QStringLiteral("关闭"));
    m_compareTwo = buttons->addButton(QStringLiteral("比较所选的两次"), QDialogButtonBox::ActionRole);
    m_compareWithPlan = buttons->addButton(QStringLiteral("与当前信道表比较"), QDialogButtonBox::ActionRole);
    QPushButton *report = buttons->addButton(QStringLiteral("打印车队报告…"), QDialogButtonBox::ActionRole);
    QPushButton *others = buttons->addButton(QStringLiteral("打开其他电脑的传送记录…"), QDialogButtonBox::ActionRole);
    for (QPushButton *button : { m_compareTwo, m_compareWithPlan, report, others })
        button->setObjectName(button->text());
    connect(others, &QPushButton::clicked, this, &JournalDialog::openOthers);
    connect(m_compareTwo, &QPushButton::clicked, this, &JournalDialog::compareTwo);
    connect(m_compareWithPlan, &QPushButton::clicked, this, &JournalDialog::compareWithPlan);
    connect(report, &QPushButton::clicked, this, &JournalDialog::printReport);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(m_table->selectionModel(), &QItemSelectionModel::selectionChanged, this, &JournalDialog::updateButtons);
    updateButtons();
    m_head->setObjectName(QStringLiteral("校验链头"));
    m_head->setTextInteractionFlags(Qt::TextSelectableByMouse);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_table);
    layout->addWidget(m_head);
    layout->addWidget(buttons);
    resize(Twips::toPixels(15000, this), Twips::toPixels(5000, this));
}

void JournalDialog::fillTable()
{
    m_table->setHorizontalHeaderLabels({ QStringLiteral("时间"), QStringLiteral("电台"), QStringLiteral("信道文件"),
                                         QStringLiteral("校验 SHA-256"), QStringLiteral("设备"), QStringLiteral("帧数"),
                                         QStringLiteral("字节"), QStringLiteral("警告"), QStringLiteral("结果"),
                                         QStringLiteral("电脑") });
    for (int row = 0; row < m_entries.size(); ++row) {
        const TransferJournal::Entry &e = m_entries.at(row);
        const QString why = e.isLoad() ? e.detail : e.problem;
        const QString result = e.resultWords()
                + (e.standing == TransferJournal::Entry::Standing::Legacy ? QStringLiteral("（旧记录，无校验链）") : QString())
                + (why.isEmpty() ? QString() : QStringLiteral("：") + why);
        const QStringList cells{ e.time.toString(Qt::ISODate), e.radio, e.file, e.sha256, e.device,
                                 QString::number(e.framesSent), known(e.bytesDrained), known(e.warnings), result, e.host };
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
}

// In the table's order, whatever order they were picked in.
QList<int> JournalDialog::pickedRows() const
{
    QList<int> picked;
    for (const QModelIndex &index : m_table->selectionModel()->selectedRows())
        picked << index.row();
    std::sort(picked.begin(), picked.end());
    return picked;
}

// Whole rows, as a spreadsheet pastes them: a device text may hold a line break.
void JournalDialog::copyRows()
{
    QVector<QStringList> rows;
    for (int row : pickedRows()) {
        QStringList cells;
        for (int column = 0; column < m_table->columnCount(); ++column)
            cells << m_table->item(row, column)->text();
        rows << cells;
    }
    if (!rows.isEmpty())
        QApplication::clipboard()->setText(Tsv::write(rows));
}

void JournalDialog::updateButtons()
{
    const qsizetype picked = m_table->selectionModel()->selectedRows().size();
    m_compareTwo->setEnabled(picked == 2);
    m_compareWithPlan->setEnabled(picked == 1 && !m_openPlan.isEmpty());
}

// As --diff A B would: the lines, or why one side cannot be compared.
static void showComparison(QWidget *parent, const LoadSource &a, const LoadSource &b)
{
    for (const LoadSource *side : { &a, &b }) {
        if (!side->isValid()) {
            showSystemMessage(parent, side->error());
            return;
        }
    }
    const LoadComparison comparison(a.frames(), b.frames());
    (new ComparisonDialog(comparison.text(a.label(), b.label()), parent))->open();
}

// The older load is A: the lines read as what changed since.
void JournalDialog::compareTwo()
{
    const QList<int> picked = pickedRows();
    if (picked.size() == 2)
        showComparison(this, LoadSource(m_entries.at(picked.at(1)), picked.at(1) + 1),
                       LoadSource(m_entries.at(picked.at(0)), picked.at(0) + 1));
}

void JournalDialog::compareWithPlan()
{
    const QList<int> picked = pickedRows();
    if (picked.size() == 1 && !m_openPlan.isEmpty())
        showComparison(this, LoadSource(m_entries.at(picked.at(0)), picked.at(0) + 1), LoadSource(m_openPlan));
}

// Every load in the journal, as --journal --pdf without --since prints it.
void JournalDialog::printReport()
{
    const QString path = QFileDialog::getSaveFileName(this, QStringLiteral("打印车队报告"), QString(),
                                                      QStringLiteral("PDF 文件 (*.pdf)"));
    if (path.isEmpty())
        return;
    FleetReport report(m_entries, QDate(), QDate::currentDate());
    report.setChainHead(m_chainHead);
    QString error;
    if (!report.writePdf(path, &error))
        showSystemMessage(this, error);
}

// The newest line's hash: on paper with the report, it shows later whether
// the file was changed since.
void JournalDialog::setChainHead(const QString &head)
{
    m_chainHead = head;
    // Several journals' heads come shortened already, each with its PC.
    m_head->setText(QStringLiteral("校验链头：%1（车队报告上印有同样的数字，可以日后对照）")
                            .arg(head.size() == 64 ? head.left(16) : head));
    m_head->setToolTip(head);
}

void JournalDialog::showJournal(QWidget *parent, const QString &openPlan)
{
    const JournalReading journal;
    if (!journal.isReadable()) {
        showSystemMessage(parent, journal.error());
    } else if (journal.entries().isEmpty()) {
        showSystemMessage(parent, QStringLiteral("还没有传送记录。"));
    } else {
        JournalDialog dialog(journal.entries(), openPlan, parent);
        dialog.setChainHead(journal.head());
        dialog.exec();
    }
}

// 打开其他电脑的传送记录…: the journals picked join this PC's; each is checked
// on its own, and one that is not as written is said.
void JournalDialog::openOthers()
{
    const QStringList files = QFileDialog::getOpenFileNames(this, QStringLiteral("打开其他电脑的传送记录"), QString(),
                                                            QStringLiteral("传送记录 (*.log);;所有文件 (*)"));
    if (files.isEmpty())
        return;
    const JournalSet journals(m_others + files);
    if (!journals.error().isEmpty()) {
        showSystemMessage(this, journals.error());
        return;
    }
    m_others += files;
    m_entries = journals.entries();
    m_table->clearContents();
    m_table->setRowCount(int(m_entries.size()));
    fillTable();
    setChainHead(journals.heads());
    if (!journals.damage().isEmpty())
        showSystemMessage(this, journals.damage().join(u'\n'));
}
