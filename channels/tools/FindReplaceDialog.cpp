#include "FindReplaceDialog.h"

#include "FitToText.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

FindReplaceDialog::FindReplaceDialog(QWidget *parent)
    : QDialog(parent)
    , m_find(new QLineEdit(this))
    , m_replace(new QLineEdit(this))
    , m_replaceLabel(new QLabel(QStringLiteral("替换为："), this))
    , m_matchCase(new QCheckBox(QStringLiteral("区分大小写"), this))
    , m_wholeCell(new QCheckBox(QStringLiteral("单元格完全匹配"), this))
    , m_replaceOne(new QPushButton(QStringLiteral("替换"), this))
    , m_replaceAll(new QPushButton(QStringLiteral("全部替换"), this))
    , m_result(new QLabel(this))
{
    m_find->setObjectName(QStringLiteral("find"));
    m_replace->setObjectName(QStringLiteral("replace"));
    m_result->setObjectName(QStringLiteral("result"));
    auto *next = new QPushButton(QStringLiteral("查找下一个"), this);
    auto *close = new QPushButton(QStringLiteral("关闭"), this);
    next->setDefault(true);
    auto *layout = new QGridLayout(this);
    layout->addWidget(new QLabel(QStringLiteral("查找内容："), this), 0, 0);
    layout->addWidget(m_find, 0, 1);
    layout->addWidget(m_replaceLabel, 1, 0);
    layout->addWidget(m_replace, 1, 1);
    layout->addWidget(m_matchCase, 2, 1);
    layout->addWidget(m_wholeCell, 3, 1);
    layout->addWidget(m_result, 4, 0, 1, 2);
    auto *buttons = new QDialogButtonBox(Qt::Vertical, this);
    for (QPushButton *button : { next, m_replaceOne, m_replaceAll, close })
        buttons->addButton(button, QDialogButtonBox::ActionRole);
    layout->addWidget(buttons, 0, 2, 5, 1);
    connect(next, &QPushButton::clicked, this, &FindReplaceDialog::findNextRequested);
    connect(m_replaceOne, &QPushButton::clicked, this, &FindReplaceDialog::replaceRequested);
    connect(m_replaceAll, &QPushButton::clicked, this, &FindReplaceDialog::replaceAllRequested);
    connect(close, &QPushButton::clicked, this, &QDialog::close);
    connect(m_find, &QLineEdit::textChanged, m_result, &QLabel::clear);
    setReplacing(false);
}

void FindReplaceDialog::setReplacing(bool replacing)
{
    setWindowTitle(replacing ? QStringLiteral("替换") : QStringLiteral("查找"));
    for (QWidget *part : { static_cast<QWidget *>(m_replace), static_cast<QWidget *>(m_replaceLabel),
                           static_cast<QWidget *>(m_replaceOne), static_cast<QWidget *>(m_replaceAll) })
        part->setVisible(replacing);
    m_find->setFocus();
    m_find->selectAll();
}

CellSearch FindReplaceDialog::search() const
{
    return CellSearch(m_find->text(), m_matchCase->isChecked(), m_wholeCell->isChecked());
}

QString FindReplaceDialog::replacement() const
{
    return m_replace->text();
}

void FindReplaceDialog::showResult(const QString &text)
{
    m_result->setText(text);
    fitToText(this);
}
