#include "ChannelEditor.h"

#include "ChannelStore.h"
#include "CellSearch.h"
#include "ClearCellsCommand.h"
#include "DeleteRowsCommand.h"
#include "DuplicateRowsCommand.h"
#include "EditCellCommand.h"
#include "FieldValue.h"
#include "FillSeriesCommand.h"
#include "FrequencyCommand.h"
#include "InsertRowCommand.h"
#include "MoveRowsCommand.h"
#include "PasteCommand.h"
#include "ReplaceCellsCommand.h"
#include "SortRowsCommand.h"

#include <algorithm>

using Outcome = ChannelStore::Outcome;

static QList<int> sortedUnique(QList<int> rows)
{
    std::sort(rows.begin(), rows.end());
    rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
    return rows;
}

ChannelEditor::ChannelEditor(ChannelStore *store, QObject *parent)
    : QObject(parent)
    , m_store(store)
{
    connect(store, &ChannelStore::modelReset, this, &ChannelEditor::forget);
    connect(store, &ChannelStore::rowsRelocated, &m_history, &QUndoStack::clear);
    connect(store, &ChannelStore::saveFailed, this, &ChannelEditor::saveFailed);
}

// Another file, or the same one read anew: nothing done before applies to it.
void ChannelEditor::forget()
{
    m_history.clear();
    m_conflict.reset();
    m_notes.clear();
}

QString ChannelEditor::readingNote(int row, int column) const
{
    const ChannelRow *values = row >= 0 && row < m_store->rowCount() ? m_store->rowAt(row) : nullptr;
    return values ? m_notes.value(values->key).value(column) : QString();
}

void ChannelEditor::noteReading(int row, int column, const QString &note)
{
    const ChannelRow *values = m_store->rowAt(row);
    if (!values)
        return;
    if (note.isEmpty())
        m_notes[values->key].remove(column);
    else
        m_notes[values->key].insert(column, note);
}

RowCommand *ChannelEditor::step(int index) const
{
    return const_cast<RowCommand *>(static_cast<const RowCommand *>(m_history.command(index)));
}

bool ChannelEditor::mayChange()
{
    const QString why = m_store->refusalReason();
    if (!why.isEmpty())
        emit refused(why);
    return why.isEmpty();
}

QString ChannelEditor::notSaved(const QString &name) const
{
    return QStringLiteral("“%1”未能保存到 %2：%3\n信道表保持原样。").arg(name, m_store->fileName(), m_store->saveError());
}

// A command moves rows and values under the cells still waiting to be
// written: they go to the file first, or the command waits.
bool ChannelEditor::unsavedWritten(const QString &name)
{
    if (m_store->unsavedCount() == 0 || saveUnsaved())
        return true;
    if (m_conflict)
        return false;
    emit saveFailed(QStringLiteral("“%1”没有进行：先前的修改仍未能保存到 %2：%3")
                            .arg(name, m_store->fileName(), m_store->saveError()));
    return false;
}

// In a table keyed by one of the five fields, that field is the row's place:
// rows cannot be put elsewhere, nor the key changed under the grid.
QString ChannelEditor::keyRefusal(const RowCommand &command) const
{
    const int key = m_store->keyField();
    if (key < 0 || !command.touchesKey(key))
        return QString();
    return QStringLiteral("%1 的“%2”是主键，行的顺序由它决定：不能插入、复制或移动行，也不能修改该列。")
            .arg(m_store->fileName(), m_store->fieldNames().value(key));
}

bool ChannelEditor::run(std::unique_ptr<RowCommand> command)
{
    if (!command->isReady() || !mayChange() || !unsavedWritten(command->text()))
        return false;
    const QString keyed = keyRefusal(*command);
    if (!keyed.isEmpty()) {
        emit refused(keyed);
        return false;
    }
    const QString name = command->text();
    if (writeStep(std::move(command)))
        return true;
    if (!m_conflict)
        emit saveFailed(notSaved(name));
    return false;
}

// A new step: in the history once the file has it (done already, the push's
// redo() finds nothing to do), held when it conflicts.
bool ChannelEditor::writeStep(std::unique_ptr<RowCommand> command)
{
    const Outcome outcome = command->apply(true);
    if (outcome == Outcome::Written) {
        m_history.push(command.release());
    } else if (outcome == Outcome::Conflict) {
        const QString conflict = command->conflict();
        holdConflict({ std::move(command), true, -1, std::nullopt }, conflict);
    }
    return outcome == Outcome::Written;
}

bool ChannelEditor::undo()
{
    return replay(m_history.index() - 1, false);
}

bool ChannelEditor::redo()
{
    return replay(m_history.index(), true);
}

bool ChannelEditor::replay(int index, bool forward)
{
    if (index < 0 || index >= m_history.count() || !mayChange())
        return false;
    RowCommand *command = step(index);
    const QString name = (forward ? QStringLiteral("重做%1") : QStringLiteral("撤销%1")).arg(command->text());
    if (!unsavedWritten(name))
        return false;
    const Outcome outcome = command->apply(forward);
    if (outcome == Outcome::Written) {
        forward ? m_history.redo() : m_history.undo();   // the step is there already: only the index moves
        return true;
    }
    if (outcome == Outcome::Conflict)
        holdConflict({ nullptr, forward, index, std::nullopt }, command->conflict());
    else
        emit saveFailed(notSaved(name));
    return false;
}

bool ChannelEditor::insertRowAbove(int row)
{
    return mayChange() && run(std::make_unique<InsertRowCommand>(*m_store, row));
}

bool ChannelEditor::duplicateRows(const QList<int> &selected)
{
    const QList<int> rows = sortedUnique(selected);
    if (rows.isEmpty() || rows.first() < 0 || rows.last() >= m_store->rowCount() || !mayChange())
        return false;
    return run(std::make_unique<DuplicateRowsCommand>(*m_store, rows));
}

bool ChannelEditor::deleteRows(const QList<int> &selected)
{
    const QList<int> rows = sortedUnique(selected);
    if (rows.isEmpty() || rows.first() < 0 || rows.last() >= m_store->rowCount())
        return false;
    return run(std::make_unique<DeleteRowsCommand>(*m_store, rows));
}

bool ChannelEditor::moveRowsBy(const QList<int> &selected, int step)
{
    const QList<int> rows = sortedUnique(selected);
    if (rows.isEmpty() || rows.first() < 0 || (step != 1 && step != -1))
        return false;
    if ((step < 0 && rows.first() == 0) || (step > 0 && !m_store->rowAt(rows.last() + 1)))
        return false;
    return run(std::make_unique<MoveRowsCommand>(*m_store, rows, step));
}

bool ChannelEditor::clearCells(const QModelIndexList &cells)
{
    auto command = std::make_unique<ClearCellsCommand>(*m_store, cells);
    if (!mayChange())
        return false;
    return !command->isReady() || run(std::move(command));
}

bool ChannelEditor::runTool(std::unique_ptr<RowCommand> command, int *changed)
{
    const int count = command->count();
    if (changed)
        *changed = 0;
    if (!command->isReady())
        return true;
    if (!run(std::move(command)))
        return false;
    if (changed)
        *changed = count;
    return true;
}

bool ChannelEditor::sortRows(int column, bool descending, int *changed)
{
    if (column < 0 || column >= ChannelRow::fieldCount || !mayChange())
        return false;
    // Notes on how typing was read belong to a row's key, and a sort moves
    // the values under the keys: the notes would name the wrong cells.
    if (!runTool(std::make_unique<SortRowsCommand>(*m_store, column, descending), changed))
        return false;
    if (changed == nullptr || *changed > 0)
        m_notes.clear();
    return true;
}

bool ChannelEditor::fillSeries(const QList<int> &rows, int column, qint64 start, qint64 step, int *changed)
{
    if (!mayChange())
        return false;
    return runTool(std::make_unique<FillSeriesCommand>(*m_store, sortedUnique(rows), column, start, step), changed);
}

bool ChannelEditor::computeFrequencies(const QList<QPair<int, int>> &cells, int source, Frequency offset, int *changed,
                                       int *skipped)
{
    if (!mayChange())
        return false;
    auto command = std::make_unique<FrequencyCommand>(*m_store, cells, source, offset);
    if (skipped)
        *skipped = command->skipped();
    return runTool(std::move(command), changed);
}

bool ChannelEditor::replaceAll(const CellSearch &search, const QString &with, int *changed)
{
    if (search.isEmpty() || !mayChange())
        return false;
    auto command = std::make_unique<ReplaceCellsCommand>(*m_store, search, with);
    const auto notes = command->notes();
    if (!runTool(std::move(command), changed))
        return false;
    for (auto note = notes.cbegin(); note != notes.cend(); ++note)
        noteReading(note.key().first, note.key().second, note.value());
    return true;
}

bool ChannelEditor::paste(int row, int column, const QVector<QStringList> &block, int *dropped, bool *skippedHeader)
{
    if (dropped)
        *dropped = 0;
    if (block.isEmpty() || row < 0 || column < 0 || column >= ChannelRow::fieldCount || !mayChange())
        return false;
    auto command = std::make_unique<PasteCommand>(*m_store, row, column, block);
    if (dropped)
        *dropped = command->dropped();
    if (skippedHeader)
        *skippedHeader = command->skippedHeader();
    const auto notes = command->notes();
    if (!run(std::move(command)))
        return false;
    for (auto note = notes.cbegin(); note != notes.cend(); ++note)
        noteReading(note.key().first, note.key().second, note.value());
    return true;
}

bool ChannelEditor::editCell(int row, int column, const QString &typed, const QString *shown)
{
    // An editor left as it opened changes nothing, whatever the file did meanwhile.
    if (shown && typed == *shown)
        return true;
    const ChannelRow *current = m_store->rowAt(row);
    if (!current || !m_store->refusalReason().isEmpty() || column == m_store->keyField())
        return false;
    const QVariant stored = current->values[column];
    const FieldValue::Typed reading = FieldValue::fromTyping(column, typed);
    const QVariant &value = reading.value;
    noteReading(row, column, reading.note);
    // The file changed the cell while it was being edited: the edit replaces
    // what the operator saw, and the file no longer holds that.
    const QVariant before = shown && FieldValue::fieldText(stored) != *shown
            ? FieldValue::fromInput(column, *shown)
            : stored;
    const bool same = FieldValue::sameValue(stored, value) && stored.typeId() == value.typeId();
    if (same && !m_store->isUnsaved(row, column))
        return true;
    const CellsChange::Cell cell{ row, column, before, value };
    if (m_store->unsavedCount() == 0 && writeStep(std::make_unique<EditCellCommand>(*m_store, cell)))
        return true;
    if (m_conflict)
        return false;
    m_store->markRefused(row, column, value, before);
    if (!saveUnsaved() && !m_conflict)
        emit saveFailed(QStringLiteral("第 %1 行“%2”的修改未能保存到 %3：%4")
                                .arg(row + 1)
                                .arg(ChannelFields::caption(column), m_store->fileName(), m_store->saveError()));
    return true;
}

bool ChannelEditor::saveUnsaved()
{
    QString conflict;
    CellsChange::Cell failed{};
    const Outcome outcome = m_store->writeUnsaved(&conflict, &failed);
    if (outcome == Outcome::Conflict)
        holdConflict({ std::make_unique<EditCellCommand>(*m_store, failed), true, -1,
                       std::pair(failed.row, failed.column) },
                     conflict);
    return outcome == Outcome::Written;
}

void ChannelEditor::holdConflict(Conflict conflict, const QString &message)
{
    m_conflict = std::move(conflict);
    m_store->hold(true);
    emit conflicted(message);
}

RowCommand *ChannelEditor::conflictStep() const
{
    return m_conflict->fresh ? m_conflict->fresh.get() : step(m_conflict->replayIndex);
}

void ChannelEditor::keepFileValues()
{
    if (m_conflict && m_conflict->unsaved)
        m_store->dropUnsaved(m_conflict->unsaved->first, m_conflict->unsaved->second);
    m_conflict.reset();
    m_store->hold(false);
}

bool ChannelEditor::useMine()
{
    if (!m_conflict)
        return false;
    RowCommand *command = conflictStep();
    Conflict conflict = std::move(*m_conflict);
    m_conflict.reset();
    const bool written = command->apply(conflict.forward, false) == Outcome::Written;
    if (written) {
        if (conflict.unsaved)
            m_store->dropUnsaved(conflict.unsaved->first, conflict.unsaved->second);
        if (conflict.fresh)
            m_history.push(conflict.fresh.release());
        else
            conflict.forward ? m_history.redo() : m_history.undo();
    } else {
        emit saveFailed(notSaved(command->text()));
    }
    // Whatever else the other program changed comes in now.
    m_store->hold(false);
    return written;
}
