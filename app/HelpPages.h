#pragma once

#include <QObject>
#include <QPointer>

class QDialog;
class QWidget;

// What 帮助 opens: 使用说明 and 关于. The manual is the HTML page the package
// installs, built into the program so that the two are one text.
class HelpPages : public QObject
{
    Q_OBJECT
public:
    explicit HelpPages(QWidget *window);

    static QString manualHtml();
    // The manual's window: one, shown again when asked again.
    QDialog *showManual();
    void showAbout();

private:
    QWidget *m_window;
    QPointer<QDialog> m_manual;
};
