#pragma once

#include "RowChange.h"

#include <QUndoCommand>

class ChannelStore;

// A step of the editor's history: the change one command makes to the rows.
// Each command is a subclass that works out its change from the rows as they
// are when the operator gives it.
//
// Its redo() and undo() do nothing: the editor writes the change itself and
// moves the history only when the file has taken it, so a refused undo leaves
// the history where it was.
class RowCommand : public QUndoCommand
{
public:
    RowChange &change() { return m_change; }
    // False when the command has nothing to do (its reason already said).
    bool isReady() const { return m_ready; }

    void redo() override {}
    void undo() override {}

protected:
    explicit RowCommand(const QString &text)
        : QUndoCommand(text)
    {
    }

    RowChange m_change;
    bool m_ready = true;
};
