#include "WindowMenus.h"

#include "BandDialog.h"
#include "ChannelGrid.h"
#include "FileMenu.h"
#include "FileSession.h"
#include "GridStretch.h"
#include "HelpPages.h"
#include "JournalDialog.h"
#include "MainWindow.h"
#include "PortCommands.h"
#include "TransferController.h"

#include <QMenuBar>

struct WindowMenus::Entry
{
    enum Kind { Item, Menu, End, Line, Grid } kind;
    const char *name = nullptr;       // the item's name; for Grid, the grid's command of that name
    const char16_t *text = nullptr;   // none for Grid: the command keeps its own text and key
    int blanks = 0;                   // before the text on the bar, as the design spaces it out
    void (WindowMenus::*run)() = nullptr;
};

using W = WindowMenus;
using E = WindowMenus::Entry;

const WindowMenus::Entry WindowMenus::table[] = {
    // The design: its items, texts, blanks and order, nothing in between.
    { E::Item, "型号", u"对讲机型号(&D)", 22 },
    { E::Item, "传送", u"数据传送(&S)", 8, &W::send },
    { E::Menu, "系统", u"系统设置(&X)", 8 },
    { E::Item, "端口", u"选择端口", 0, &W::choosePort },
    { E::Item, "波特率", u"波特率" },
    // Added since: a plan into radios and its checks, then the serial line,
    // the channel files, and what is kept on record.
    { E::Line },
    { E::Item, "连续传送", u"连续传送(&L)…", 0, &W::loadFleet },
    { E::Item, "检查", u"检查信道表(&K)…", 0, &W::checkPlan },
    { E::Item, "频段", u"频段(&B)…", 0, &W::chooseBand },
    { E::Line },
    { E::Menu, "串口", u"串口与数据线(&C)" },
    { E::Item, "串口设备", u"串口设备(&D)…", 0, &W::showDevices },
    { E::Item, "检测数据线", u"检测数据线(&T)…", 0, &W::testCable },
    { E::Item, "串口诊断", u"串口诊断(&G)…", 0, &W::diagnosePort },
    { E::End },
    { E::Menu, "信道文件", u"信道文件(&F)" },
    { E::Item, "新建", u"新建信道文件(&N)…", 0, &W::newFile },
    { E::Item, "打开", u"打开信道文件(&O)…", 0, &W::openFile },
    { E::Item, "另存为", u"另存为(&S)…", 0, &W::saveAs },
    { E::Menu, "最近", u"最近的文件(&R)" },
    { E::End },
    { E::Line },
    { E::Item, "导入", u"导入信道表(&I)…", 0, &W::importTable },
    { E::Item, "导出", u"导出信道表(&E)…", 0, &W::exportTable },
    { E::Item, "转换", u"转换为新格式(&V)…", 0, &W::convertFile },
    { E::End },
    { E::Item, "打印", u"打印信道表(&P)…", 0, &W::printSheet },
    { E::Item, "传送记录", u"传送记录(&J)…", 0, &W::showJournal },
    { E::End },
    { E::Item, "退出", u"退出系统(&T)", 7, &W::exit },
    { E::Menu, "帮助", u"帮助(&B)", 7 },
    { E::Item, "使用说明", u"使用说明(&M)", 0, &W::showManual },
    { E::Item, "关于", u"关于(&A)", 0, &W::showAbout },
    { E::End },
    // After the design's items, so that none of them is pushed off the bar.
    { E::Menu, "编辑", u"编辑(&E)", 4 },
    { E::Grid, "undo" }, { E::Grid, "redo" }, { E::Line },
    { E::Grid, "cut" }, { E::Grid, "copy" }, { E::Grid, "paste" }, { E::Grid, "clear" }, { E::Line },
    { E::Menu, "行", u"行(&W)" },
    { E::Grid, "insertRow" }, { E::Grid, "duplicateRows" }, { E::Grid, "deleteRows" },
    { E::Grid, "moveUp" }, { E::Grid, "moveDown" },
    { E::End },
    { E::Menu, "工具", u"工具(&O)" },
    { E::Grid, "sort" }, { E::Grid, "fill" }, { E::Grid, "frequencies" }, { E::Line },
    { E::Grid, "find" }, { E::Grid, "replace" },
    { E::End },
    { E::Menu, "显示", u"显示(&V)" },
    { E::Grid, "zoomIn" }, { E::Grid, "zoomOut" }, { E::Grid, "zoomReset" }, { E::Line },
    { E::Item, "stretchGrid", u"表格随窗口放大(&G)", 0, &W::stretchGrid },
    { E::End },
    { E::End },
};

WindowMenus::WindowMenus(MainWindow *window)
    : QObject(window)
    , m_window(window)
    , m_help(new HelpPages(window))
    , m_stretch(new GridStretch(window->m_grid))
{
    build();
    m_files = new FileMenu(item("最近")->menu(), window);
    connect(m_files, &FileMenu::openRequested, window, &MainWindow::openFile);
    connect(m_files, &FileMenu::newRequested, window, &MainWindow::newFile);
    connect(m_files, &FileMenu::saveAsRequested, window, &MainWindow::saveAs);
    QAction *manual = item("使用说明");
    manual->setShortcut(QKeySequence::HelpContents);
    window->addAction(manual);   // the menu is closed when F1 is pressed: the window must know the key itself
    QAction *stretch = item("stretchGrid");
    stretch->setCheckable(true);
    stretch->setChecked(GridStretch::chosen());
}

QAction *WindowMenus::item(const char *name) const
{
    return m_window->menuBar()->findChild<QAction *>(QString::fromUtf8(name));
}

void WindowMenus::build()
{
    QMenuBar *bar = m_window->menuBar();
    QList<QMenu *> open;   // the menus being filled, the innermost last
    for (const Entry &entry : table) {
        const QString name = QString::fromUtf8(entry.name);
        const QString text = QString(entry.blanks, u' ') + QString::fromUtf16(entry.text ? entry.text : u"");
        QAction *action = nullptr;
        switch (entry.kind) {
        case Entry::Menu:
            open << (open.isEmpty() ? bar->addMenu(text) : open.last()->addMenu(text));
            open.last()->setObjectName(name);
            open.last()->menuAction()->setObjectName(name);
            continue;
        case Entry::End:
            open.removeLast();
            continue;
        case Entry::Line:
            open.last()->addSeparator();
            continue;
        case Entry::Grid:
            action = m_window->m_grid->findChild<QAction *>(name, Qt::FindDirectChildrenOnly);
            break;
        case Entry::Item:
            action = new QAction(text, bar);
            action->setObjectName(name);
            break;
        }
        open.isEmpty() ? bar->addAction(action) : open.last()->addAction(action);
        if (entry.run)
            connect(action, &QAction::triggered, this, entry.run);
    }
}

void WindowMenus::send()
{
    m_window->startTransfer();
}

void WindowMenus::choosePort()
{
    m_window->m_ports->openPortDialog();
}

void WindowMenus::loadFleet()
{
    m_window->startFleet();
}

void WindowMenus::checkPlan()
{
    m_window->checkTable();
}

void WindowMenus::chooseBand()
{
    if (const BandProfile *band = BandDialog::choose(m_window, m_window->m_transfer->band().id))
        m_window->applyBand(*band);
}

void WindowMenus::showDevices()
{
    m_window->m_ports->openDeviceDialog();
}

void WindowMenus::testCable()
{
    m_window->openLoopbackDialog();
}

void WindowMenus::diagnosePort()
{
    m_window->m_ports->openDoctorDialog();
}

void WindowMenus::newFile()
{
    m_files->chooseNew();
}

void WindowMenus::openFile()
{
    m_files->chooseToOpen();
}

void WindowMenus::saveAs()
{
    m_files->chooseSaveAs();
}

void WindowMenus::importTable()
{
    m_window->importTable();
}

// What goes out to the file is what the file holds: a cell still being typed goes in first.
void WindowMenus::exportTable()
{
    m_window->m_grid->commitPendingEdit();
    m_window->m_session->exportTable();
}

void WindowMenus::convertFile()
{
    m_window->convertFile();
}

void WindowMenus::printSheet()
{
    m_window->m_grid->commitPendingEdit();
    m_window->m_session->printSheet(m_window->m_transfer->prepare());
}

void WindowMenus::showJournal()
{
    JournalDialog::showJournal(m_window, m_window->m_session->path());
}

void WindowMenus::exit()
{
    m_window->close();
}

void WindowMenus::showManual()
{
    m_help->showManual();
}

void WindowMenus::showAbout()
{
    m_help->showAbout();
}

void WindowMenus::stretchGrid()
{
    m_stretch->choose(item("stretchGrid")->isChecked());
}
