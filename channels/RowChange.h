#pragma once

class ChangeCheck;
class LoadedRows;
struct FileRows;

// One kind of change to 信道表 (cells, an order, swaps, removals, an insertion)
// with what the optimistic check needs of it, its write to the file and its
// show in the loaded rows side by side, so that a new kind is one subclass. The
// store runs a command's changes in one transaction (ChannelStore::write()):
// all checked first, then written in order (undone, the other way round), then,
// once the file has them all, shown in the same order.
//
// Positions name the rows as the command found them (undone, as it left them),
// and every write is addressed by the keys of the rows as loaded, which move
// only once the whole command is shown: a change that removes or inserts rows
// comes last in its command.
class RowChange
{
public:
    virtual ~RowChange() = default;

    // What the file must still hold for the change to be done (`forward`) or
    // undone: checked before anything of the command is written.
    virtual void expect(ChangeCheck &check, bool forward) const = 0;
    // Inside the store's transaction; false when the file refused.
    virtual bool write(FileRows &file, bool forward) = 0;
    // Once the file has taken the whole command.
    virtual void show(LoadedRows &rows, bool forward) const = 0;

    // A table keyed by one of the five fields (`keyField`) is in the order of
    // that field: the change may not move or add rows there, nor write the field.
    virtual bool touchesKey(int keyField) const = 0;
    // Cells it changes, or rows it moves, adds or removes: what a tool reports.
    virtual int count() const = 0;
};
