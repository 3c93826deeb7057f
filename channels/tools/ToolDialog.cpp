#include "ToolDialog.h"

#include "FitToText.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

ToolDialog::ToolDialog(const QString &title, QWidget *parent)
    : QDialog(parent)
    , m_form(new QFormLayout)
    , m_note(new QLabel(this))
    , m_buttons(new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this))
{
    setWindowTitle(title);
    m_note->setWordWrap(true);
    m_note->setObjectName(QStringLiteral("note"));
    m_buttons->button(QDialogButtonBox::Ok)->setText(QStringLiteral("确定"));
    m_buttons->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("取消"));
    connect(m_buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(m_buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(m_form);
    layout->addWidget(m_note);
    layout->addWidget(m_buttons);
    setMinimumWidth(420);
}

void ToolDialog::setNote(const QString &text)
{
    m_note->setText(text);
    fitToText(this);
}

void ToolDialog::setAcceptable(bool acceptable)
{
    m_buttons->button(QDialogButtonBox::Ok)->setEnabled(acceptable);
}
