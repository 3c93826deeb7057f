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
#include <QFileInfo>
#include <QHeaderView>
#include <QLabel>
#include <QScreen>
#include <QScrollBar>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

#include <algorithm>

static constexpr int resultColumn = 2;

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
    m_copy = buttons->addButton(QStringLiteral("复制"), QDialogButtonBox::ActionRole);
    QPushButton *others = buttons->addButton(QStringLiteral("打开其他电脑的传送记录…"), QDialogButtonBox::ActionRole);
    for (QPushButton *button : { m_compareTwo, m_compareWithPlan, report, m_copy, others })
        button->setObjectName(button->text());
    connect(m_copy, &QPushButton::clicked, this, &JournalDialog::copyRows);
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
    fitWidth();
}

// Shown short, so that the table fits beside the window with 结果 in sight;
// whole in the tooltip and in what Ctrl+C and 复制 copy.
struct JournalCell
{
    QString shown;
    QString whole;
};

static QVector<JournalCell> cellsOf(const TransferJournal::Entry &e)
{
    const QString why = e.isLoad() ? e.detail : e.problem;
    const QString result = e.resultWords()
            + (e.standing == TransferJournal::Entry::Standing::Legacy ? QStringLiteral("（旧记录，无校验链）") : QString())
            + (why.isEmpty() ? QString() : u'：' + why);
    const QDateTime local = e.time.toLocalTime();
    return { { local.toString(QStringLiteral("yyyy-MM-dd HH:mm")), e.time.toString(Qt::ISODate) },
             { e.radio, e.radio },
             { result, result },
             { QFileInfo(e.file).fileName(), e.file },
             { e.sha256.left(16), e.sha256 },   // as many as the fleet report prints
             { QString::number(e.framesSent), QString::number(e.framesSent) },
             { known(e.bytesDrained), known(e.bytesDrained) },
             { known(e.warnings), known(e.warnings) },
             { e.device.section(u'\n', 0, 0), e.device },
             { e.host, e.host } };
}

void JournalDialog::fillTable()
{
    m_table->setHorizontalHeaderLabels({ QStringLiteral("时间"), QStringLiteral("电台"), QStringLiteral("结果"),
                                         QStringLiteral("信道文件"), QStringLiteral("校验"), QStringLiteral("帧数"),
                                         QStringLiteral("字节"), QStringLiteral("警告"), QStringLiteral("设备"),
                                         QStringLiteral("电脑") });
    for (int row = 0; row < m_entries.size(); ++row) {
        const QVector<JournalCell> cells = cellsOf(m_entries.at(row));
        for (int column = 0; column < cells.size(); ++column) {
            auto *item = new QTableWidgetItem(cells.at(column).shown);
            item->setData(Qt::UserRole, cells.at(column).whole);
            item->setToolTip(cells.at(column).whole);
            m_table->setItem(row, column, item);
        }
    }
    m_table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_table->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_table->setSelectionMode(QAbstractItemView::ExtendedSelection);
    m_table->setWordWrap(false);
    m_table->verticalHeader()->hide();
    m_table->resizeColumnsToContents();   // then the operator's to drag
    // A long cause of a failure would push the columns after it out of sight.
    const int twelveCharacters = fontMetrics().horizontalAdvance(QString(12, u'中'));
    m_table->setColumnWidth(resultColumn, std::min(m_table->columnWidth(resultColumn), twelveCharacters));
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
            cells << m_table->item(row, column)->data(Qt::UserRole).toString();
        rows << cells;
    }
    if (!rows.isEmpty())
        QApplication::clipboard()->setText(Tsv::write(rows));
}

void JournalDialog::updateButtons()
{
    const qsizetype picked = m_table->selectionModel()->selectedRows().size();
    m_compareTwo->setEnabled(picked == 2);
    m_copy->setEnabled(picked > 0);
    m_compareWithPlan->setEnabled(picked == 1 && !m_openPlan.isEmpty());
}

// A load as the operator knows it: "上次传送（巡逻 02，12-07 09:12）" rather
// than the command line's journal:1.
static QString loadName(const TransferJournal::Entry &entry, int number)
{
    QStringList about;
    if (!entry.radio.isEmpty())
        about << entry.radio;
    about << entry.time.toLocalTime().toString(QStringLiteral("MM-dd HH:mm"));
    return QStringLiteral("%1（%2）").arg(number == 1 ? QStringLiteral("上次传送") : QStringLiteral("传送"),
                                         about.join(u'，'));
}

// As --diff A B would: the lines, or why one side cannot be compared.
static void showComparison(QWidget *parent, const LoadSource &a, const QString &aName, const LoadSource &b,
                           const QString &bName)
{
    for (const LoadSource *side : { &a, &b }) {
        if (!side->isValid()) {
            showSystemMessage(parent, side->error());
            return;
        }
    }
    const LoadComparison comparison(a.frames(), b.frames());
    (new ComparisonDialog(comparison.text(aName, bName), parent))->open();
}

// The older load is A: the lines read as what changed since.
void JournalDialog::compareTwo()
{
    const QList<int> picked = pickedRows();
    if (picked.size() != 2)
        return;
    const int older = picked.at(1), newer = picked.at(0);
    showComparison(this, LoadSource(m_entries.at(older), older + 1), loadName(m_entries.at(older), older + 1),
                   LoadSource(m_entries.at(newer), newer + 1), loadName(m_entries.at(newer), newer + 1));
}

void JournalDialog::compareWithPlan()
{
    const QList<int> picked = pickedRows();
    if (picked.size() != 1 || m_openPlan.isEmpty())
        return;
    const int load = picked.at(0);
    showComparison(this, LoadSource(m_entries.at(load), load + 1), loadName(m_entries.at(load), load + 1),
                   LoadSource(m_openPlan), QStringLiteral("当前信道表 %1").arg(QFileInfo(m_openPlan).fileName()));
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

// Every column in sight when there is room, never wider than the window it
// opens over, so 结果 is on screen however wide the device column is.
void JournalDialog::fitWidth()
{
    const QWidget *over = parentWidget() ? parentWidget()->window() : nullptr;
    const int room = over ? over->width() : screen()->availableGeometry().width();
    const int wanted = m_table->horizontalHeader()->length() + 2 * m_table->frameWidth()
            + m_table->verticalScrollBar()->sizeHint().width() + layout()->contentsMargins().left()
            + layout()->contentsMargins().right();
    resize(std::min(wanted, room), Twips::toPixels(5000, this));
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
