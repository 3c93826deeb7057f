#include "FileMenu.h"

#include "RecentFiles.h"

#include <QDir>
#include <QFileDialog>
#include <QMenu>

#include "SystemMessage.h"

static const QString channelFiles = QStringLiteral("信道文件 (*.mdb *.accdb *.db *.sqlite *.sqlite3);;"
                                                  "Access 信道文件 (*.mdb *.accdb);;"
                                                  "SQLite 信道文件 (*.mdb *.db *.sqlite *.sqlite3);;所有文件 (*)");

FileMenu::FileMenu(QMenu *system, QWidget *window)
    : QObject(window)
    , m_window(window)
{
    QAction *create = system->addAction(QStringLiteral("新建信道文件…"));
    create->setObjectName(QStringLiteral("新建"));
    QAction *open = system->addAction(QStringLiteral("打开信道文件…"));
    open->setObjectName(QStringLiteral("打开"));
    QAction *saveAs = system->addAction(QStringLiteral("另存为…"));
    saveAs->setObjectName(QStringLiteral("另存为"));
    m_recent = system->addMenu(QStringLiteral("最近的文件"));
    m_recent->menuAction()->setObjectName(QStringLiteral("最近"));
    connect(create, &QAction::triggered, this, &FileMenu::chooseNew);
    connect(open, &QAction::triggered, this, &FileMenu::chooseToOpen);
    connect(saveAs, &QAction::triggered, this, &FileMenu::chooseSaveAs);
    connect(m_recent, &QMenu::aboutToShow, this, &FileMenu::refresh);
    refresh();
}

void FileMenu::refresh()
{
    m_recent->clear();
    for (const QString &path : RecentFiles::list()) {
        QAction *action = m_recent->addAction(QDir::toNativeSeparators(path));
        connect(action, &QAction::triggered, this, [this, path] { emit openRequested(path); });
    }
    if (m_recent->isEmpty())
        m_recent->addAction(QStringLiteral("（无）"))->setEnabled(false);
}

void FileMenu::chooseNew()
{
    const QString path = QFileDialog::getSaveFileName(m_window, QStringLiteral("新建信道文件"), QString(), channelFiles,
                                                      nullptr, QFileDialog::DontConfirmOverwrite);
    if (!path.isEmpty())
        emit newRequested(path);
}

void FileMenu::chooseSaveAs()
{
    const QString path = QFileDialog::getSaveFileName(m_window, QStringLiteral("另存为"), m_folder, channelFiles,
                                                      nullptr, QFileDialog::DontConfirmOverwrite);
    if (!path.isEmpty())
        emit saveAsRequested(path);
}

void FileMenu::chooseToOpen()
{
    const QString path = QFileDialog::getOpenFileName(m_window, QStringLiteral("打开信道文件"), m_folder, channelFiles);
    if (!path.isEmpty())
        emit openRequested(path);
}

void FileMenu::offerAnother(const QString &message)
{
    const int answer = askSystemChoices(m_window, message + QStringLiteral("\n\n可以新建一个信道文件，或打开已有的信道文件。"),
                                        { QStringLiteral("新建信道文件…"), QStringLiteral("打开信道文件…"),
                                          QStringLiteral("关闭") });
    if (answer == 0)
        chooseNew();
    else if (answer == 1)
        chooseToOpen();
}
