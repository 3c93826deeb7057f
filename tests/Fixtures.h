#pragma once

// What the suites that drive the window or the program share: a channel file,
// the grid over it, a fake serial line and the transfer over it, the message
// boxes, the program run as a child, and a home of the test's own.
#include "FakePortList.h"
#include "FakeSerialLink.h"
#include "GridRig.h"
#include "MessageBoxes.h"
#include "OwnHome.h"
#include "TestDatabase.h"
#include "TransferRig.h"

#include <QAbstractItemView>
#include <QAction>
#include <QApplication>
#include <QFileDialog>
#include <QLineEdit>
#include <QProcess>

// Runs the program (qt7020 unless another is named) in `dir` and returns its
// exit status, -1 when it crashed or hung; `output` gets its standard output,
// then its standard error.
inline int run(const QStringList &arguments, const QString &dir = {}, QString *output = nullptr,
               const QString &program = QStringLiteral(QT7020_BINARY))
{
    QProcess process;
    process.setWorkingDirectory(dir);
    process.start(program, arguments);
    process.waitForFinished(20000);
    if (output)
        *output = QString::fromUtf8(process.readAllStandardOutput() + process.readAllStandardError());
    return process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
}

inline QAction *menuItem(QWidget *window, const char *name)
{
    return window->findChild<QAction *>(QString::fromUtf8(name));
}

// Answers the file dialog open now with `path` typed whole into its name
// field, as a person would; false when no file dialog is open. A file its
// list has selected would win over the typed name, so the lists let go first.
inline bool answerFileDialog(const QString &path)
{
    auto *files = qobject_cast<QFileDialog *>(QApplication::activeModalWidget());
    if (!files)
        return false;
    for (QAbstractItemView *view : files->findChildren<QAbstractItemView *>())
        view->clearSelection();
    files->findChild<QLineEdit *>(QStringLiteral("fileNameEdit"))->setText(path);
    QMetaObject::invokeMethod(files, "accept");
    return true;
}
