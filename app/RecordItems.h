#pragma once

#include <QObject>

class ChannelGrid;
class FileSession;
class QMenu;
class TransferController;
class QWidget;

// The items of 系统设置 for what a plan and its loads leave on record:
// 打印信道表… (the sheet of the open file) and 传送记录… (the journal).
class RecordItems : public QObject
{
    Q_OBJECT
public:
    // Adds the items to `system`; `window` owns the dialogs they open.
    RecordItems(QMenu *system, ChannelGrid *grid, FileSession *session, TransferController *transfer,
                QWidget *window);
};
