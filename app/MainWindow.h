#pragma once

#include "BandProfile.h"
#include "LoadPlan.h"
#include "LoadResult.h"

#include <QDate>
#include <QMainWindow>
#include <QPointer>
#include <memory>
#include <optional>

class ChannelCursor;
class ChannelGrid;
class ChannelEditor;
class ChannelStore;
class ChannelTableModel;
class FileMenu;
class FileSession;
class FleetDialog;
class PortCommands;
class PortDialog;
class PortList;
class QAction;
class QLabel;
class QProgressBar;
class SerialLink;
class TransferController;
class WindowMenus;

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
    QString databasePath() const;

    TransferController *transfer() const { return m_transfer; }
    // The serial devices present; the system's own unless a test puts in another.
    void setPortList(std::unique_ptr<PortList> list);
    PortDialog *portDialog() const;

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    friend class WindowMenus;   // the menus run the window's commands

    void buildControls();
    void refreshFileMenu();
    void updateTitle();
    bool mayLeaveFile();
    void switched();
    void tableReady();
    void startTransfer();
    void startFleet();
    std::optional<LoadPlan> planToSend();
    void applyBand(const BandProfile &band);
    void followLoad(bool sending);
    void say(const QString &message);   // a 系统信息 box, or a line in 连续传送 while it is open
    void fileLost(const QString &message);
    void offerSaveAs(const QString &message);
    void refuseChange(const QString &reason);
    void resolveConflict(const QString &message);
    void showLastResult(LoadResult result);
    void checkTable();
    void saveAs(const QString &path);
    void openLoopbackDialog();
    void convertFile();
    void importTable();
    bool idleOrSayWhy();
    void writeSideFile(bool last = false);
    void endOnSignal(int signal);
    bool maybeClose();

    std::unique_ptr<SerialLink> m_port;
    FileSession *m_session;
    ChannelStore *m_store;
    ChannelEditor *m_editor;
    ChannelTableModel *m_table;
    ChannelCursor *m_cursor;
    TransferController *m_transfer;
    ChannelGrid *m_grid = nullptr;
    QLabel *m_date = nullptr;
    QLabel *m_status = nullptr;
    QLabel *m_lastResult = nullptr;
    QProgressBar *m_progress = nullptr;
    QAction *m_send = nullptr;
    WindowMenus *m_menus = nullptr;
    FileMenu *m_files = nullptr;
    PortCommands *m_ports;
    QPointer<FleetDialog> m_fleet;   // open: nothing interrupts the run with a box
    QString m_bandNotice;   // a band setting this program does not know, said once at start
    bool m_loaded = false;
    bool m_ending = false;   // a signal asked the program to end
};
