#pragma once

#include "ChannelStore.h"
#include "RowChange.h"

#include <QUndoCommand>
#include <memory>
#include <vector>

// A step of the editor's history. Each command is a subclass that works out,
// from the rows as they are when the operator gives it, the changes it makes
// (RowChange: cells, an order, swaps, removals, an insertion); redo() puts them
// into the file and the rows in one transaction and undo() takes them out.
//
// The editor tries a step with apply() and moves the history only once the
// file has taken it, rather than letting QUndoStack call redo() and undo() and
// marking a refused step obsolete: the stack moves its index whatever undo()
// did, drops an obsolete step, and push() cuts off the steps to redo before it
// looks. A refused undo would lose its step, a refused new step the steps to
// redo, and a conflicting one the change the operator is asked about. A step
// already where it is asked to go does nothing, so the stack's own call after
// a try finds no work left.
class RowCommand : public QUndoCommand
{
public:
    using Outcome = ChannelStore::Outcome;

    // Does (`forward`) or undoes the step; Written at once when it is so
    // already. `checked`: the file must first hold what the rows show.
    Outcome apply(bool forward, bool checked = true);
    void redo() override { apply(true); }
    void undo() override { apply(false); }
    // How the file differed when apply() last met a conflict.
    QString conflict() const { return m_conflict; }

    // False when the command has nothing to do (its reason already said).
    bool isReady() const { return m_ready; }
    bool touchesKey(int keyField) const;
    // Cells changed or rows moved: what a tool reports.
    int count() const;

protected:
    RowCommand(ChannelStore &store, const QString &text)
        : QUndoCommand(text)
        , m_store(store)
    {
    }
    // In the order they are done.
    void add(std::unique_ptr<RowChange> change) { m_changes.push_back(std::move(change)); }

    ChannelStore &m_store;
    bool m_ready = true;

private:
    std::vector<std::unique_ptr<RowChange>> m_changes;
    bool m_done = false;
    QString m_conflict;
};
