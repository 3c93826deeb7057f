#include "FileMenu.h"

#include "RecentFiles.h"

#include <QDir>
#include <QFileDialog>
#include <QMenu>

#include "SystemMessage.h"

static const QString channelFiles = QStringLiteral("信道文件 (*.mdb *.accdb *.db *.sqlite *.sqlite3);;"
                                                  "Access 信道文件 (*.mdb *.accdb);;"
                                                  "SQLite 信道文件 (*.mdb *.db *.sqlite *.sqlite3);;所有文件 (*)");

FileMenu::FileMenu(QMenu *recent, QWidget *window)
    : QObject(window)
    , m_window(window)
    , m_recent(recent)
{
    connect(m_recent, &QMenu::aboutToShow, this, &FileMenu::refresh);
    refresh();
}

void FileMenu::refresh()
{
    m_recent->clear();
    int number = 0;
    for (const QString &path : RecentFiles::list()) {
        const QString shown = QDir::toNativeSeparators(path).replace(u'&', QStringLiteral("&&"));
        QAction *action = m_recent->addAction(QStringLiteral("&%1 %2").arg(++number).arg(shown));
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
