#include "CommandLine.h"
#include "DesignFonts.h"
#include "MainWindow.h"
#include "QtSerialLink.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    const CommandLine commandLine(arguments);
    if (commandLine.finished())
        return commandLine.exitCode();
    if (commandLine.command() != CommandLine::None) {
        QCoreApplication app(argc, argv);
        return commandLine.run();
    }

    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("qt7020"));
    QApplication::setApplicationVersion(QStringLiteral(QT7020_VERSION));
    DesignFonts::installSubstitutes();
    auto *window = new MainWindow(std::make_unique<QtSerialLink>(), commandLine.database());
    window->load();
    return app.exec();
}
