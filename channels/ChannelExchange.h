#pragma once

#include "ImportedRows.h"

#include <QString>

class ChannelStore;

// Export, import and conversion of 信道表 as use cases: each returns whether it
// worked and the message for the operator, naming the file actually open. The
// window and the command line only present them.
namespace ChannelExchange {

enum class Format { Ours, Chirp };

struct Outcome
{
    bool ok = false;
    QString message;
};

// An import file read but not yet applied; `message` is why it cannot be
// used, or what was read and how ("按 UTF-8 编码读取了 55 行，跳过 1 行：…").
struct Import
{
    bool ok = false;
    QString message;
    ImportedRows rows;
};

Outcome exportTo(ChannelStore &store, const QString &file, Format format);

// Reads our CSV or CHIRP's (told apart by the header) without touching the table.
Import read(const QString &file);
// What to ask before the table is replaced, naming the copy that will be made.
QString question(ChannelStore &store, const Import &import);
// Replaces the table by the import's rows in one transaction, after a copy.
Outcome apply(ChannelStore &store, const Import &import);

// Turns the Access file at `path` into our format; the store is not involved.
Outcome convert(const QString &path);

} // namespace ChannelExchange
