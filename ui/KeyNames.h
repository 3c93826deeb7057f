#pragma once

#include <QTranslator>

// Key names in shortcut texts as a Chinese keyboard's caps print them and
// Chinese menus write them: Alt+↑ rather than Qt's "Alt+上方向". Installed
// over Qt's own translations, it answers for the arrow keys only.
class KeyNames : public QTranslator
{
    Q_OBJECT
public:
    using QTranslator::QTranslator;

    QString translate(const char *context, const char *sourceText, const char *disambiguation = nullptr,
                      int n = -1) const override;
    bool isEmpty() const override { return false; }
};
