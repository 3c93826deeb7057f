#pragma once

#include <QString>

// One thing the port doctor noticed: how bad it is, a short sentence for the
// operator and the shell command that sets it right (empty when there is
// nothing to run).
struct PortFinding
{
    // A note is what the doctor saw and leaves the verdict clear; a warning
    // may spoil a transfer; a fault keeps the port from opening.
    enum Severity { Note, Warning, Fault };

    Severity severity = Note;
    QString text;
    QString remedy;

    bool isProblem() const { return severity != Note; }

    // "说明", "注意", "问题": the tag in front of the text.
    QString label() const
    {
        switch (severity) {
        case Note: return QStringLiteral("说明");
        case Warning: return QStringLiteral("注意");
        case Fault: return QStringLiteral("问题");
        }
        return QString();
    }
};
