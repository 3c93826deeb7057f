#include "app/CommandLine.h"
#include "app/Fonts.h"
#include "app/MainWindow.h"
#include "serial/QtSerialLink.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    CommandLine commandLine(arguments);
    if (commandLine.finished())
        return commandLine.exitCode();
    if (commandLine.hasAction()) {
        QCoreApplication app(argc, argv);
        return commandLine.run();
    }

    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("qt7020"));
    QApplication::setApplicationVersion(QStringLiteral(QT7020_VERSION));
    Fonts::installSubstitutes();
    auto *window = new MainWindow(new QtSerialLink, commandLine.database());
    window->load();
    return app.exec();
}
