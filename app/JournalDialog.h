#pragma once

#include <QDialog>

// 传送记录…: the transfer journal, newest first, whole lines, copyable.
class JournalDialog : public QDialog
{
    Q_OBJECT
public:
    JournalDialog(const QStringList &lines, QWidget *parent = nullptr);
    // The journal over `parent`, or a word that there is none yet.
    static void showJournal(QWidget *parent);
};
