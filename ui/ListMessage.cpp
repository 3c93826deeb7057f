#include "ListMessage.h"

#include <QApplication>
#include <QClipboard>
#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QScreen>
#include <QStyle>
#include <QVBoxLayout>

#include <algorithm>

ListMessage::ListMessage(const QString &title, QWidget *parent)
    : QDialog(parent)
    , m_summary(new QLabel(this))
    , m_list(new QListWidget(this))
    , m_question(new QLabel(this))
    , m_buttons(new QDialogButtonBox(this))
{
    setWindowTitle(title);
    setSizeGripEnabled(true);
    auto *icon = new QLabel(this);
    icon->setPixmap(style()->standardIcon(QStyle::SP_MessageBoxWarning).pixmap(32, 32));
    icon->setAlignment(Qt::AlignTop);
    m_summary->setObjectName(QStringLiteral("summary"));
    m_summary->setWordWrap(true);
    m_summary->setTextInteractionFlags(Qt::TextSelectableByMouse);
    m_list->setWordWrap(true);
    m_list->setTextElideMode(Qt::ElideNone);
    m_list->setResizeMode(QListView::Adjust);
    m_list->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_list->setSelectionMode(QAbstractItemView::ExtendedSelection);
    m_question->setVisible(false);
    auto *copy = new QPushButton(QStringLiteral("复制"), this);
    copy->setObjectName(QStringLiteral("复制"));
    copy->setAutoDefault(false);
    connect(copy, &QPushButton::clicked, this, &ListMessage::copy);
    connect(m_buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(m_buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto *top = new QHBoxLayout;
    top->addWidget(icon);
    top->addWidget(m_summary, 1);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(m_list, 1);
    layout->addWidget(m_question);
    // 复制 apart from the answers, on the side of the list it copies.
    auto *bottom = new QHBoxLayout;
    bottom->addWidget(copy);
    bottom->addStretch();
    bottom->addWidget(m_buttons);
    layout->addLayout(bottom);
}

void ListMessage::setSummary(const QString &summary)
{
    m_summary->setText(summary);
}

void ListMessage::setLines(const QStringList &lines)
{
    m_list->clear();
    m_list->addItems(lines);
}

void ListMessage::setQuestion(const QString &question)
{
    m_question->setText(question);
    m_question->setVisible(!question.isEmpty());
}

QString ListMessage::text() const
{
    QStringList lines{ m_summary->text() };
    for (int i = 0; i < m_list->count(); ++i)
        lines << m_list->item(i)->text();
    const QString question = m_question->text();
    return lines.join(u'\n') + (question.isEmpty() ? QString() : QStringLiteral("\n\n") + question);
}

void ListMessage::copy()
{
    QGuiApplication::clipboard()->setText(text());
}

void ListMessage::showEvent(QShowEvent *event)
{
    fitScreen();
    QDialog::showEvent(event);
}

// As wide as the longest line wants, as high as the whole list, but never
// past a 1024×768 screen (or a smaller one) with its task bar and frame: the
// list scrolls instead, the buttons stay in sight.
void ListMessage::fitScreen()
{
    const QScreen *screen = parentWidget() ? parentWidget()->screen() : this->screen();
    const QSize room = screen->availableGeometry().size().boundedTo(QSize(1024, 768)) - QSize(40, 80);
    int wanted = fontMetrics().horizontalAdvance(m_summary->text()) + 80;
    for (int i = 0; i < std::min(m_list->count(), 500); ++i)
        wanted = std::max(wanted, m_list->fontMetrics().horizontalAdvance(m_list->item(i)->text()) + 60);
    resize(std::clamp(wanted, 480, room.width()), std::min(height(), room.height()));
    layout()->activate();
    int rows = 2 * m_list->frameWidth();
    for (int i = 0; i < m_list->count() && rows < room.height(); ++i)
        rows += m_list->sizeHintForRow(i);
    const int others = layout()->totalSizeHint().height() - m_list->sizeHint().height();
    resize(width(), std::clamp(others + rows, minimumSizeHint().height(), room.height()));
}

bool ListMessage::ask(QWidget *parent, const QString &summary, const QStringList &lines, const QString &question,
                      const QString &yes)
{
    ListMessage message(QStringLiteral("系统信息"), parent);
    message.setSummary(summary);
    message.setLines(lines);
    message.setQuestion(question);
    QDialogButtonBox *buttons = message.buttons();
    buttons->addButton(QDialogButtonBox::Yes)->setText(yes);
    QPushButton *cancel = buttons->addButton(QDialogButtonBox::No);
    cancel->setText(QStringLiteral("取消"));
    cancel->setDefault(true);
    cancel->setFocus();
    return message.exec() == QDialog::Accepted;
}

void ListMessage::tell(QWidget *parent, const QString &text)
{
    ListMessage message(QStringLiteral("系统信息"), parent);
    QStringList lines = text.split(u'\n');
    message.setSummary(lines.takeFirst());
    message.setLines(lines);
    QPushButton *ok = message.buttons()->addButton(QDialogButtonBox::Ok);
    ok->setText(QStringLiteral("确定"));
    ok->setDefault(true);
    ok->setFocus();
    message.exec();
}
