#pragma once

#include "TransferJournal.h"

#include <QDialog>

class QTableWidget;

// 传送记录…: one row per load, newest first, every text whole (the checksum
// above all, which is compared digit by digit with a printed sheet). Ctrl+C
// copies the selected rows, tab-separated, for a mail or a spreadsheet.
class JournalDialog : public QDialog
{
    Q_OBJECT
public:
    explicit JournalDialog(const QVector<TransferJournal::Entry> &entries, QWidget *parent = nullptr);
    // The journal over `parent`, or a word that there is none yet.
    static void showJournal(QWidget *parent);

private:
    void copyRows();

    QTableWidget *m_table;
};
