#pragma once

#include <QWidget>

class FleetLabels;
class QLabel;
class QListWidget;

// The radios of the list a 连续传送 run loads (导入电台清单…): each label, the
// ones loaded whole in this run ticked (✓), those whose load failed crossed
// (✗), the one loading now marked (▶), and how far the run is ("12 / 20").
// A click on a label makes it the next one.
class RadioListPanel : public QWidget
{
    Q_OBJECT
public:
    explicit RadioListPanel(QWidget *parent = nullptr);

    void present(const FleetLabels &labels);
    // Selects these labels (those never loaded, when the summary asks).
    void selectLabels(const QStringList &labels);
    // Asks for the file, and for its column when it has several; what was
    // read is said in `said`, empty when the operator gave up.
    QStringList importList(QString *said);

signals:
    void labelPicked(const QString &label);

private:
    QLabel *m_progress;
    QListWidget *m_list;
};
