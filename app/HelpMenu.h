#pragma once

#include <QObject>
#include <QPointer>

class QDialog;
class QMenuBar;
class QWidget;

// 帮助: 使用说明 (also F1 anywhere in the window) and 关于. The manual is the
// HTML page the package installs, built into the program so that the two are
// one text.
class HelpMenu : public QObject
{
    Q_OBJECT
public:
    HelpMenu(QMenuBar *bar, QWidget *window);

    static QString manualHtml();
    // The manual's window: one, shown again when asked again.
    QDialog *showManual();
    void showAbout();

private:
    QWidget *m_window;
    QPointer<QDialog> m_manual;
};
