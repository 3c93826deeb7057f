#pragma once

class CommandLine;

// One function per command, each in a file of its own; each returns the
// program's exit status.
int framesCommand(const CommandLine &line);
int sendCommand(const CommandLine &line);
int exportCommand(const CommandLine &line);
int importCommand(const CommandLine &line);
int convertCommand(const CommandLine &line);
int loopbackCommand(const CommandLine &line);
int listPortsCommand(const CommandLine &line);
int checkCommand(const CommandLine &line);
int pdfCommand(const CommandLine &line);
int journalCommand(const CommandLine &line);
int doctorCommand(const CommandLine &line);
int fleetReportCommand(const CommandLine &line);
int diffCommand(const CommandLine &line);
