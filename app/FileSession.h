#pragma once

#include "ChannelStore.h"

#include <QObject>
#include <QString>

class ChannelEditor;
class FileFollower;
class JetReader;
class LoadPlan;
class QWidget;

// The channel file the window works on: which one it is, opening it (an
// Access file in the background, so that a damaged one cannot freeze the
// window), switching to another or a new one, the recent files, and the
// operator's edits the file has not taken yet, settled before a file is left
// and kept beside it when the program ends without the operator.
//
// What cannot be done is said in a 系统信息 box over `window`.
class FileSession : public QObject
{
    Q_OBJECT
public:
    FileSession(const QString &path, QWidget *window);

    ChannelStore *store() const { return m_store; }
    ChannelEditor *editor() const { return m_editor; }
    FileFollower *follower() const { return m_follower; }
    QString path() const { return m_path; }

    // An Access file is being read; what the window says meanwhile.
    bool isReading() const;
    QString waitForReading() const;

    // The file named at start; ready() follows once an Access file is read.
    void openFirst();
    // The same file read anew, after it was converted.
    void reopen();
    // Another file in place of the open one; false when it cannot be used
    // (said; the old one stays open). An Access file takes the old one's place
    // only once read: true means it is on its way.
    bool switchTo(const QString &path);
    // Makes an empty 信道表 at `path` (no file there yet) and switches to it.
    bool create(const QString &path);
    // The rows as the window shows them into a new file at `path`, which is
    // then the open one: the way back when the open file was deleted.
    bool saveAs(const QString &path);

    // True when the file may be left: every edit is in it, or the operator
    // chose to drop those it refuses.
    bool settleEdits();
    // The program ends without the operator: edits the file still refuses go
    // to a side file rather than nowhere. `last`: nothing is kept after this.
    void writeSideFile(bool last = false);
    // Edits kept from a run that ended before the file took them; cells another
    // program changed since are written only when the operator says so.
    void offerKeptEdits();
    // Why the file named at start gives no row, naming where it was looked for.
    QString unusableMessage() const;

    // The exchange commands, each choosing its file and saying how it went;
    // true when the rows were replaced.
    void exportTable();
    bool importTable();
    bool convert();
    // 打印信道表…: the sheet of every row, in a print preview, marked and
    // summed as `plan` finds the rows a load sends.
    void printSheet(const LoadPlan &plan);

signals:
    // The file named at start has been read, or could not be.
    void ready();
    // Another file is open now.
    void switched();
    // What the status line shows while a file is read in the background.
    void statusChanged(const QString &text);

private:
    bool make(const QString &named, const QStringList &fields, const QVector<QVariantList> &rows);
    void readInBackground(const QString &path);
    void jetRead();
    bool refuse(const QString &path, const QString &cause);
    void openedAs(const QString &path);

    QWidget *m_window;
    QString m_path;
    QString m_switchingTo;   // an Access file being read before it replaces the open one
    ChannelStore *m_store;
    ChannelEditor *m_editor;
    FileFollower *m_follower;
    JetReader *m_jetReader;
    ChannelStore::Lock m_readingLock;   // the rows shown are about to go
    bool m_unsavedDropped = false;   // the operator chose to drop refused edits
};
