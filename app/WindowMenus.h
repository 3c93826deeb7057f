#pragma once

#include <QObject>

class FileMenu;
class GridStretch;
class HelpPages;
class MainWindow;
class QAction;
class QMenu;

// The window's menu bar, built from one table. The designed items come first,
// in their places, with their texts, blanks and access keys: 系统设置 opens on
// 选择端口, so Alt+X, Enter still opens it. What the program added since comes
// after them, by topic, in submenus short enough to read at a glance, each
// item with an access key. Every item is found by its name (传送, 端口, 检查 …).
class WindowMenus : public QObject
{
    Q_OBJECT
public:
    explicit WindowMenus(MainWindow *window);

    QAction *item(const char *name) const;
    FileMenu *files() const { return m_files; }

    struct Entry;   // one line of the table

private:
    static const Entry table[];

    void build();
    QMenu *menuUnder(QMenu *parent, const QString &text, const char *name);

    // What the items do that is not the grid's own command.
    void send();
    void choosePort();
    void loadFleet();
    void checkPlan();
    void chooseBand();
    void showDevices();
    void testCable();
    void diagnosePort();
    void newFile();
    void openFile();
    void saveAs();
    void importTable();
    void exportTable();
    void convertFile();
    void printSheet();
    void showJournal();
    void exit();
    void showManual();
    void showAbout();
    void stretchGrid();

    MainWindow *m_window;
    FileMenu *m_files = nullptr;
    HelpPages *m_help;
    GridStretch *m_stretch;
};
