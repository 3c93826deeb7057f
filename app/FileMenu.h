#pragma once

#include <QObject>
#include <QString>

class QMenu;
class QWidget;

// The channel-file items of 系统设置 → 信道文件: 新建信道文件…, 打开信道文件…
// and the list under 最近的文件. It asks for a name; what is done with it is
// the window's.
class FileMenu : public QObject
{
    Q_OBJECT
public:
    // Fills `recent` with the files last used; `window` owns the file dialogs.
    FileMenu(QMenu *recent, QWidget *window);

    // 最近的文件 read again; also done each time it opens, since another
    // window may have opened files since.
    void refresh();
    // Where 打开信道文件… starts looking.
    void setFolder(const QString &folder) { m_folder = folder; }
    // The open plan cannot be used (missing on a new PC, or no channel table):
    // the message, with the way out offered as its buttons.
    void offerAnother(const QString &message);
    void chooseNew();
    void chooseToOpen();
    void chooseSaveAs();

signals:
    void openRequested(const QString &path);
    void newRequested(const QString &path);
    void saveAsRequested(const QString &path);

private:
    QWidget *m_window;
    QMenu *m_recent;
    QString m_folder;
};
