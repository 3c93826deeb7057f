#include "ComparisonDialog.h"

#include "Twips.h"

#include <QDialogButtonBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

ComparisonDialog::ComparisonDialog(const QString &text, QWidget *parent)
    : QDialog(parent)
    , m_text(new QPlainTextEdit(text, this))
{
    setWindowTitle(QStringLiteral("比较传送"));
    setAttribute(Qt::WA_DeleteOnClose);
    m_text->setReadOnly(true);
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    buttons->button(QDialogButtonBox::Close)->setText(QStringLiteral("关闭"));
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_text);
    layout->addWidget(buttons);
    resize(Twips::toPixels(10000, this), Twips::toPixels(4000, this));
}

QString ComparisonDialog::text() const
{
    return m_text->toPlainText();
}
