#pragma once

#include "Frequency.h"
#include "RowCommand.h"

#include <QHash>
#include <QModelIndexList>
#include <QObject>
#include <QStringList>
#include <QUndoStack>
#include <memory>
#include <optional>

class CellSearch;
class ChannelStore;

// The operator's changes to the rows: typed cells and the row commands, each
// one transaction on the file and one step of history(). A command the file
// refuses leaves file, rows and history as they were and is reported through
// saveFailed(). Each command writes itself (RowCommand); the editor tries it
// and moves the history only once the file has taken it. The history starts
// afresh whenever a file is opened, and when other programs add or remove rows
// (its steps name rows by position).
//
// A typed cell the file refuses keeps the operator's value, marked unsaved in
// the store; it is written with the next successful edit or by saveUnsaved().
//
// When the file no longer holds what a change replaces, nothing is written and
// conflicted() asks the operator: keepFileValues() or useMine().
class ChannelEditor : public QObject
{
    Q_OBJECT
public:
    explicit ChannelEditor(ChannelStore *store, QObject *parent = nullptr);

    ChannelStore *store() const { return m_store; }
    QUndoStack *history() { return &m_history; }
    bool undo();
    bool redo();

    // The commands: each returns false, having said why, when nothing changed.
    bool insertRowAbove(int row);
    // Copies of `rows` below the last of them; false when none.
    bool duplicateRows(const QList<int> &rows);
    bool deleteRows(const QList<int> &rows);
    // `rows` one place up (-1) or down (+1); false when one is at the edge.
    bool moveRowsBy(const QList<int> &rows, int step);
    bool clearCells(const QModelIndexList &cells);
    // Typed texts from (row, column) right and down, rows added past the end;
    // columns past the last field are dropped and counted in `dropped`; a
    // spreadsheet's header line on top is left out, and `skippedHeader` says so.
    bool paste(int row, int column, const QVector<QStringList> &block, int *dropped = nullptr,
               bool *skippedHeader = nullptr);

    // The plan tools. Each is one step and one transaction; when nothing
    // changes it is no step and still true. `changed` counts the cells (rows
    // for a sort) it changed.
    bool sortRows(int column, bool descending, int *changed = nullptr);
    // Units as FillSeriesCommand takes them.
    bool fillSeries(const QList<int> &rows, int column, qint64 start, qint64 step, int *changed = nullptr);
    // `skipped` counts the cells without a frequency to start from.
    bool computeFrequencies(const QList<QPair<int, int>> &cells, int source, Frequency offset, int *changed = nullptr,
                            int *skipped = nullptr);
    bool replaceAll(const CellSearch &search, const QString &with, int *changed = nullptr);

    // What the operator typed into a cell. `shown` is the text the cell showed
    // when editing began, which is what the edit replaces, when known.
    bool editCell(int row, int column, const QString &typed, const QString *shown = nullptr);
    // Writes the cells the file refused before; false, having said why, when
    // it still refuses.
    bool saveUnsaved();
    // How the operator's typing in a cell was read, when not as written
    // ("按 430.175 读取（输入的是 430,175）"); kept while the file is open.
    QString readingNote(int row, int column) const;

    // The answers to conflicted(): drop the operator's change and show the
    // file, or write the change over what the file holds.
    void keepFileValues();
    bool useMine();

signals:
    // An edit could not be written; the message says which cell and why.
    void saveFailed(const QString &message);
    // A command was not even tried: the store's refusalReason() says why.
    void refused(const QString &message);
    // Another program changed what an edit or command replaces; nothing was
    // written. The message shows the file's value and the operator's.
    void conflicted(const QString &message);

private:
    struct Conflict
    {
        std::unique_ptr<RowCommand> fresh;   // a new step; null when one is replayed
        bool forward;
        int replayIndex;
        // (row, column) of the refused cell whose writing met the conflict:
        // the operator's answer settles it (useMine() once it is written).
        std::optional<std::pair<int, int>> unsaved;
    };

    bool mayChange();
    bool unsavedWritten(const QString &name);
    QString keyRefusal(const RowCommand &command) const;
    bool run(std::unique_ptr<RowCommand> command);
    bool runTool(std::unique_ptr<RowCommand> command, int *changed);
    bool replay(int index, bool forward);
    bool writeStep(std::unique_ptr<RowCommand> command);
    void holdConflict(Conflict conflict, const QString &message);
    RowCommand *conflictStep() const;
    void forget();
    QString notSaved(const QString &name) const;
    RowCommand *step(int index) const;
    void noteReading(int row, int column, const QString &note);

    ChannelStore *m_store;
    QUndoStack m_history;
    std::optional<Conflict> m_conflict;
    QHash<qint64, QHash<int, QString>> m_notes;   // by row key and column
};
