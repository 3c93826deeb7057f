#include "FleetDialog.h"

#include "ChannelStore.h"
#include "FleetReport.h"
#include "FleetRun.h"
#include "FleetSummary.h"
#include "FleetTable.h"
#include "JournalReading.h"
#include "PlanChangePanel.h"
#include "PortCommands.h"
#include "RadioLabel.h"
#include "RadioListPanel.h"
#include "SerialLink.h"
#include "TransferController.h"
#include "TransferQuestions.h"
#include <QSettings>

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QFileDialog>
#include <QFontDatabase>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QSet>
#include <QVBoxLayout>

using State = FleetRun::State;

static const QString soundKey = QStringLiteral("fleet/sound");

// No button takes the keys: Enter and the scanner's text are the label field's.
static QPushButton *button(const QString &text, const char *name, QWidget *parent)
{
    auto *b = new QPushButton(text, parent);
    b->setObjectName(QString::fromUtf8(name));
    b->setAutoDefault(false);
    b->setFocusPolicy(Qt::NoFocus);
    return b;
}

FleetDialog::FleetDialog(FleetRun *run, TransferController *transfer, const QString &file, const QString &port,
                         QWidget *parent)
    : QDialog(parent)
    , m_run(run)
    , m_transfer(transfer)
    , m_file(file)
    , m_port(port)
    , m_label(new QLineEdit(this))
    , m_checksum(nullptr)
    , m_queue(new QLabel(this))
    , m_load(button(QStringLiteral("传送"), "传送", this))
    , m_stop(button(QStringLiteral("停止"), "停止", this))
    , m_state(new QLabel(this))
    , m_said(new QLabel(this))
    , m_progress(new QProgressBar(this))
    , m_table(new FleetTable(this))
    , m_list(new RadioListPanel(this))
    , m_change(new PlanChangePanel(this))
    , m_summary(new QLabel(this))
    , m_sound(new QCheckBox(QStringLiteral("提示音"), this))
{
    run->setParent(this);
    setObjectName(QStringLiteral("连续传送"));
    setWindowTitle(QStringLiteral("连续传送"));
    layOut(factsOfTheRun(file, port));
    resize(780, 580);

    connect(m_label, &QLineEdit::returnPressed, this, &FleetDialog::load);
    connect(m_load, &QPushButton::clicked, this, &FleetDialog::load);
    connect(m_stop, &QPushButton::clicked, this, &FleetDialog::stop);
    connect(m_table, &FleetTable::labelPicked, this, &FleetDialog::offer);
    connect(m_list, &RadioListPanel::labelPicked, this, &FleetDialog::offer);
    connect(m_change, &PlanChangePanel::continueRequested, this, &FleetDialog::continueWithNewPlan);
    connect(m_summary, &QLabel::linkActivated, this, &FleetDialog::showSummaryRows);
    connect(transfer, &TransferController::progressChanged, m_progress, &QProgressBar::setValue);
    connect(run, &FleetRun::changed, this, &FleetDialog::refresh);
    connect(run, &FleetRun::concluded, this, &FleetDialog::concluded);
    connect(run, &FleetRun::ended, this, [this](const QString &message) {
        m_ended = message;
        refresh();
    });
    offer(run->nextLabel());
    refresh();
}

// From the top: what the run is about, the label field, what is going on,
// the loads beside the list, a changed plan, the counts, the buttons.
void FleetDialog::layOut(QFormLayout *facts)
{
    m_label->setObjectName(QStringLiteral("电台"));
    m_label->setPlaceholderText(QStringLiteral("如 巡逻01，可扫码"));
    auto *entry = new QHBoxLayout;
    entry->addWidget(new QLabel(QStringLiteral("电台："), this));
    entry->addWidget(m_label, 1);
    entry->addWidget(m_load);
    entry->addWidget(m_stop);
    const struct { QLabel *label; const char *name; } lines[] = {
        { m_queue, "下一台" }, { m_state, "状态" }, { m_said, "说明" }, { m_summary, "小结" } };
    for (const auto &line : lines) {
        line.label->setObjectName(QString::fromUtf8(line.name));
        line.label->setWordWrap(true);
    }
    m_summary->setTextInteractionFlags(Qt::LinksAccessibleByMouse);
    m_progress->setRange(0, 100);
    m_progress->setTextVisible(false);
    auto *loads = new QHBoxLayout;
    loads->addWidget(m_table, 3);
    loads->addWidget(m_list, 1);

    auto *layout = new QVBoxLayout(this);
    layout->addLayout(facts);
    layout->addLayout(entry);
    for (QWidget *widget : std::initializer_list<QWidget *>{ m_queue, m_state, m_said, m_progress })
        layout->addWidget(widget);
    layout->addLayout(loads, 2);
    layout->addWidget(m_change, 1);
    layout->addWidget(m_summary);
    layout->addLayout(buttonRow());
}

// What the whole run is about, selectable so that the checksum can be
// compared with a printed sheet or copied.
QFormLayout *FleetDialog::factsOfTheRun(const QString &file, const QString &port)
{
    auto *facts = new QFormLayout;
    const QStringList names = { QStringLiteral("信道文件："), QStringLiteral("传送校验："), QStringLiteral("数据线：") };
    const QStringList values = { QDir::toNativeSeparators(file), m_run->checksum(), port };
    for (int i = 0; i < names.size(); ++i) {
        auto *value = new QLabel(values.at(i), this);
        value->setObjectName(names.at(i).chopped(1));
        value->setTextInteractionFlags(Qt::TextSelectableByMouse);
        if (i == 1) {
            value->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
            m_checksum = value;
        }
        facts->addRow(names.at(i), value);
    }
    return facts;
}

QLayout *FleetDialog::buttonRow()
{
    QPushButton *list = button(QStringLiteral("导入电台清单…"), "导入电台清单", this);
    QPushButton *copy = button(QStringLiteral("复制"), "复制", this);
    QPushButton *print = button(QStringLiteral("打印本次报告…"), "打印本次报告", this);
    QPushButton *close = button(QStringLiteral("关闭"), "关闭", this);
    m_sound->setObjectName(QStringLiteral("提示音"));
    m_sound->setFocusPolicy(Qt::NoFocus);
    m_sound->setChecked(soundOn());
    connect(list, &QPushButton::clicked, this, &FleetDialog::importList);
    connect(copy, &QPushButton::clicked, this, &FleetDialog::copyTable);
    connect(print, &QPushButton::clicked, this, &FleetDialog::printReport);
    connect(close, &QPushButton::clicked, this, &FleetDialog::reject);
    connect(m_sound, &QCheckBox::toggled, this, &FleetDialog::setSoundOn);
    auto *row = new QHBoxLayout;
    row->addWidget(list);
    row->addWidget(m_sound);
    row->addStretch(1);
    row->addWidget(copy);
    row->addWidget(print);
    row->addWidget(close);
    return row;
}

FleetDialog *FleetDialog::open(QWidget *window, TransferController *transfer, const LoadPlan &plan,
                               ChannelStore *store, PortCommands *ports)
{
    SerialLink *port = ports->port();
    auto *run = new FleetRun(transfer, store, port, ports->portList(), plan, plan.warningCount());
    auto *dialog = new FleetDialog(run, transfer, store->path(),
                                   QStringLiteral("COM%1  %2").arg(port->portNumber()).arg(run->adapter()), window);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->QDialog::open();
    return dialog;
}

bool FleetDialog::soundOn()
{
    return QSettings().value(soundKey, true).toBool();
}

void FleetDialog::setSoundOn(bool on)
{
    QSettings().setValue(soundKey, on);
}

// The label in the field starts its radio's load, or during a load waits as
// the next one; a cable that is out or busy keeps it there for the next Enter.
void FleetDialog::load()
{
    if (const QString refusal = RadioLabel::refusal(m_label->text()); !refusal.isEmpty()) {
        m_note = refusal;
        refresh();
        return;
    }
    const bool queued = m_run->state() == State::Loading;
    if (m_run->load(m_label->text())) {
        m_note.clear();
        m_table->clearSelection();
    } else if (!queued) {
        return;
    }
    offer(m_run->labels().fresh());
    refresh();
}

// Breaking a load off is the operator's own word: no question. The radio is
// still on the cable, so its label is offered again.
void FleetDialog::stop()
{
    m_run->stop(QStringLiteral("连续传送已停止"));
}

void FleetDialog::continueWithNewPlan()
{
    const QString checksum = m_change->shownChecksum();
    const QStringList warnings = m_run->newPlan().warningLines();
    if (m_run->newPlan().checksum() != checksum || !TransferQuestions::warningsAccepted(this, warnings))
        return;
    if (m_run->continueWithNewPlan(checksum, int(warnings.size())))
        m_checksum->setText(m_run->checksum());
    m_label->setFocus();
}

void FleetDialog::importList()
{
    QString said;
    const QStringList labels = m_list->importList(&said);
    if (!labels.isEmpty())
        m_run->setList(labels);
    m_note = said;
    if (m_label->text() == m_offered)
        offer(m_run->state() == State::Loading ? m_run->labels().fresh() : m_run->nextLabel());
    refresh();
}

// The bell tells a verdict to an operator who is busy with the next radio.
void FleetDialog::concluded(int radio)
{
    if (soundOn() && m_run->radios().at(radio).result != LoadResult::Interrupted)
        QApplication::beep();
    if (m_label->text() == m_offered)   // what the operator typed meanwhile stays
        offer(m_run->nextLabel());
}

void FleetDialog::offer(const QString &label)
{
    m_offered = label;
    m_label->setText(label);
    m_label->selectAll();
    m_label->setFocus();
}

void FleetDialog::showSummaryRows(const QString &kind)
{
    const FleetSummary summary(*m_run);
    const FleetSummary::Kind which = FleetSummary::kinds[qBound(0, kind.toInt(), 3)];
    if (which == FleetSummary::Kind::NotLoaded)
        m_list->selectLabels(summary.notLoaded());
    else
        m_table->selectLoads(summary.loadsOf(which));
    m_label->setFocus();
}

// This run's loads as --journal --pdf prints loads, found in the journal by
// their names, with the journal's chain head as it is now.
void FleetDialog::printReport()
{
    QSet<QString> records;
    for (const FleetRun::Radio &radio : m_run->radios())
        if (!radio.record.isEmpty())
            records.insert(radio.record);
    const JournalReading journal;
    QVector<TransferJournal::Entry> entries;
    for (const TransferJournal::Entry &entry : journal.entries())
        if (records.contains(entry.id))
            entries << entry;
    QString error = journal.isReadable() ? QString() : journal.error();
    if (entries.isEmpty() && error.isEmpty())
        error = QStringLiteral("这次连续传送还没有传送记录。");
    const QString suggested = QFileInfo(m_file).absoluteDir().filePath(
            QDateTime::currentDateTime().toString(QStringLiteral("'连续传送报告-'yyyyMMdd-HHmm'.pdf'")));
    const QString path = error.isEmpty() ? QFileDialog::getSaveFileName(this, QStringLiteral("打印本次报告"), suggested,
                                                                       QStringLiteral("PDF 文件 (*.pdf)"))
                                         : QString();
    if (!path.isEmpty()) {
        FleetReport report(entries, QDate(), QDate::currentDate());
        report.setChainHead(journal.head());
        if (report.writePdf(path, &error))
            m_note = QStringLiteral("已把本次 %1 部电台的 %2 次传送打印到 %3。")
                             .arg(report.radioCount()).arg(report.loadCount()).arg(QDir::toNativeSeparators(path));
    }
    if (!error.isEmpty())
        m_note = error;
    refresh();
    m_label->setFocus();
}

void FleetDialog::copyTable()
{
    QApplication::clipboard()->setText(m_table->asTsv());
    m_note = QStringLiteral("表格的 %1 行已复制，可以粘贴到表格软件或邮件中。").arg(m_table->rowCount());
    refresh();
}

void FleetDialog::report(const QString &message)
{
    const QVector<FleetRun::Radio> &radios = m_run->radios();
    m_note = message;
    // A load's own verdict is in its line already.
    if (radios.isEmpty() || radios.last().cause != message.section(u'\n', 0, 0))
        m_run->note(QString(message).replace(u'\n', u' '));
    refresh();
}

// The first 关闭 ends the run and shows what it came to; the second closes.
void FleetDialog::reject()
{
    if (!m_over && !m_run->radios().isEmpty()) {
        if (m_run->state() == State::Loading
            && !TransferQuestions::mayBreak(this, m_transfer, QStringLiteral("现在关闭，这台电台中的信道将不完整。\n仍要关闭吗？")))
            return;
        m_run->stop(QStringLiteral("连续传送已关闭"));
        m_run->finish();
        m_over = true;
        refresh();
        return;
    }
    m_run->stop(QStringLiteral("连续传送已关闭"));
    m_run->finish();
    QDialog::reject();
}

QString FleetDialog::stateText() const
{
    if (m_over)
        return QStringLiteral("连续传送结束：%1。点下面的数字可看对应的电台，“打印本次报告…”打印这次的传送，“关闭”退出。")
                .arg(FleetSummary(*m_run).text());
    const FleetLabels &labels = m_run->labels();
    switch (m_run->state()) {
    case State::Ready:
        if (m_run->cableBack())
            return QStringLiteral("数据线已接好，按回车传送 %1。").arg(m_label->text());
        if (!labels.list().isEmpty() && labels.doneOfList() == labels.list().size())
            return QStringLiteral("清单上的 %1 台电台都已传送完成。").arg(labels.list().size());
        return QStringLiteral("接上下一台电台，在“电台”中输入或扫码后按回车。");
    case State::Loading:
        return QStringLiteral("正在传送 %1…（现在输入或扫描的电台排在下一台）").arg(m_run->radios().last().label);
    case State::WaitingForCable:
        return QStringLiteral("请插上数据线…（%1）").arg(m_port);
    case State::PortBusy:
        return QStringLiteral("数据线被占用，等它空出来…\n%1").arg(m_run->portCause());
    case State::PlanChanged:
        return QStringLiteral("信道表已改动，连续传送暂停。");
    case State::Ended:
        return m_ended;
    }
    return QString();
}

void FleetDialog::refresh()
{
    const State state = m_run->state();
    const bool open = !m_over && state != State::Ended;
    const bool waiting = state == State::WaitingForCable || state == State::PortBusy;
    m_state->setText(stateText());
    m_said->setText(m_note);
    m_said->setVisible(!m_note.isEmpty());
    const QStringList &queued = m_run->labels().queued();
    m_queue->setText(QStringLiteral("下一台：%1").arg(queued.join(u'、')));
    m_queue->setVisible(open && !queued.isEmpty());
    m_load->setEnabled(open && (state == State::Ready || waiting));
    m_stop->setEnabled(open && (state == State::Loading || waiting));
    m_label->setEnabled(open);
    m_change->setVisible(open && state == State::PlanChanged);
    if (m_change->isVisibleTo(this))
        m_change->present(m_run->plan(), m_run->newPlan());
    m_table->present(*m_run);
    m_list->present(m_run->labels());

    const FleetSummary summary(*m_run);
    QStringList counts;
    for (int i = 0; i < 4; ++i) {
        const FleetSummary::Kind kind = FleetSummary::kinds[i];
        const int n = summary.count(kind);
        if (kind == FleetSummary::Kind::NotLoaded && !summary.hasList())
            continue;
        const QString text = QStringLiteral("%1 %2").arg(FleetSummary::name(kind)).arg(n);
        counts << (n ? QStringLiteral("<a href=\"%1\">%2</a>").arg(i).arg(text) : text);
    }
    m_summary->setText(counts.join(QStringLiteral("，")));
    QFont font = this->font();
    font.setBold(m_over);   // the run is over: what it came to is what matters now
    font.setPointSizeF(font.pointSizeF() * (m_over ? 1.5 : 1.0));
    m_summary->setFont(font);
}
