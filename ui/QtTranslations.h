#pragma once

class QCoreApplication;

// Qt's own dialogs (file chooser, print preview, message box buttons) in
// Chinese like the rest of the program, whatever language the desktop speaks:
// Debian's qt6-translations-l10n, from Qt's translations folder. False when
// they are not installed; Qt's English remains. Shortcut texts name the arrow
// keys by their arrows either way (KeyNames).
bool installQtTranslations(QCoreApplication &app);
