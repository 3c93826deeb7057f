#include <QCoreApplication>

// Every suite reads and writes the settings as the program does, under its
// names: QSettings without them reads and writes nothing.
[[maybe_unused]] static const bool named = [] {
    QCoreApplication::setOrganizationName(QStringLiteral("qt7020"));
    QCoreApplication::setApplicationName(QStringLiteral("qt7020"));
    return true;
}();
