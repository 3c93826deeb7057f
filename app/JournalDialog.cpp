#include "JournalDialog.h"

#include "SystemMessage.h"
#include "TransferJournal.h"
#include "Twips.h"

#include <QPlainTextEdit>
#include <QVBoxLayout>

JournalDialog::JournalDialog(const QStringList &lines, QWidget *parent)
    : QDialog(parent)
{
    setWindowTitle(QStringLiteral("传送记录"));
    auto *text = new QPlainTextEdit(lines.join(u'\n'), this);
    text->setReadOnly(true);
    text->setLineWrapMode(QPlainTextEdit::NoWrap);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(text);
    resize(Twips::toPixels(11000, this), Twips::toPixels(5000, this));
}

void JournalDialog::showJournal(QWidget *parent)
{
    const QStringList lines = TransferJournal::lines();
    if (lines.isEmpty())
        showSystemMessage(parent, QStringLiteral("还没有传送记录。"));
    else
        JournalDialog(lines, parent).exec();
}
