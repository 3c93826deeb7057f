#include "RecordItems.h"

#include "ChannelGrid.h"
#include "FileSession.h"
#include "JournalDialog.h"
#include "TransferController.h"

#include <QMenu>

RecordItems::RecordItems(QMenu *system, ChannelGrid *grid, FileSession *session, TransferController *transfer,
                         QWidget *window)
    : QObject(window)
{
    QAction *print = system->addAction(QStringLiteral("打印信道表…"));
    print->setObjectName(QStringLiteral("打印"));
    QAction *journal = system->addAction(QStringLiteral("传送记录…"));
    journal->setObjectName(QStringLiteral("传送记录"));

    // The sheet shows what the file holds: a cell still being typed goes in first.
    connect(print, &QAction::triggered, this, [grid, session, transfer] {
        grid->commitPendingEdit();
        session->printSheet(transfer->prepare());
    });
    connect(journal, &QAction::triggered, this, [window, session] { JournalDialog::showJournal(window, session->path()); });
}
