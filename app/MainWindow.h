#pragma once

#include <QDate>
#include <QMainWindow>
#include <QPointer>
#include <memory>

class ChannelCursor;
class ChannelGrid;
class ChannelEditor;
class ChannelStore;
class ChannelTableModel;
class FileFollower;
class JetReader;
class PortDialog;
class PortList;
class QAction;
class QLabel;
class QMenu;
class QProgressBar;
class SerialLink;
class TransferController;
class TransferSequence;

// 启动窗体: the program's one permanent window. It holds the channel grid, the
// serial line, the transfer with its progress bar and status line, and the menu.
class MainWindow : public QMainWindow
{
    Q_OBJECT
public:
    static const QString port1InUse;   // the start-up warning about COM1

    // `databasePath` is char4.mdb in the working folder unless --db names another.
    MainWindow(std::unique_ptr<SerialLink> port, const QString &databasePath);
    ~MainWindow() override;

    // Start-up: show the window, date line, first row, transfer item, COM1.
    void load(const QDate &today = QDate::currentDate());

    static QString dateLine(const QDate &date);   // 2004年6月8日

    // Another channel file in place of the open one, after the pending edits
    // are settled as on exit; false when the operator kept the old one or the
    // new one cannot be used (said in a message; the old one stays open). The
    // file goes first into 最近的文件. An Access file is read in the background
    // and takes the old one's place only once read: true means it is on its way.
    bool openFile(const QString &path);
    // Makes an empty 信道表 at `path` (no file there yet) and opens it.
    bool newFile(const QString &path);
    QString databasePath() const { return m_databasePath; }

    TransferSequence *transfer() const;
    // The serial devices present; the system's own unless a test puts in another.
    void setPortList(std::unique_ptr<PortList> list);
    PortDialog *portDialog() const;

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    void buildControls();
    void buildMenu();
    void buildFileMenu(QMenu *system);
    void fillRecentMenu();
    void updateTitle();
    bool mayLeaveFile();
    bool switchTo(const QString &path);
    bool refuseFile(const QString &path, const QString &cause);
    void switched();
    void chooseFileToOpen();
    void chooseNewFile();
    void printSheet();
    void showJournal();
    void openDatabase();
    void readInBackground(const QString &path);
    QString waitForReading() const;   // said while an Access file is read
    void jetRead();
    void tableReady();
    void startTransfer();
    void say(const QString &message);   // a 系统信息 box
    void refuseChange(const QString &reason);
    void checkTable();
    void openPortDialog();
    void openDeviceDialog();
    void openLoopbackDialog();
    bool portLooksRight();
    void convertFile();
    void exportTable();
    void importTable();
    bool idleOrSayWhy();
    bool mayBreakTransfer(const QString &consequence);
    void keepUnsaved();
    void endOnSignal();
    void offerKeptEdits();
    bool maybeClose();

    QString m_databasePath;
    QString m_switchingTo;   // an Access file being read before it replaces the open one
    std::unique_ptr<SerialLink> m_port;
    ChannelStore *m_channels;
    ChannelEditor *m_editor;
    FileFollower *m_follower;
    ChannelTableModel *m_table;
    ChannelCursor *m_cursor;
    TransferController *m_transfer;
    ChannelGrid *m_grid = nullptr;
    QLabel *m_date = nullptr;
    QLabel *m_status = nullptr;
    QProgressBar *m_progress = nullptr;
    QAction *m_send = nullptr;
    QMenu *m_recent = nullptr;
    QPointer<PortDialog> m_dialog;
    std::unique_ptr<PortList> m_portList;
    bool m_askedAboutPort = false;
    JetReader *m_jetReader;
    bool m_loaded = false;
    bool m_ending = false;   // a signal asked the program to end
    bool m_unsavedDropped = false;   // the operator chose to drop refused edits
};
