#pragma once

#include <QTableWidget>

class FleetRun;

// 连续传送's table: one line per load with its radio, time and verdict, and a
// line wherever the plan changed or something happened beside the loads (a
// cable pulled, a port fault). A failed load is tinted until its radio is
// loaded again (已重传). Clicks pick, the keys stay with the label field.
class FleetTable : public QTableWidget
{
    Q_OBJECT
public:
    explicit FleetTable(QWidget *parent = nullptr);

    // The run's lines as they are now.
    void present(const FleetRun &run);
    // The radio of a line, -1 for a line that is no load.
    int radioAt(int row) const;
    // Selects the lines of these loads (indexes into the run's radios).
    void selectLoads(const QVector<int> &radios);
    // Every line with its heading, as a spreadsheet pastes them.
    QString asTsv() const;

signals:
    // A load's line was clicked: its radio's label for the next Enter.
    void labelPicked(const QString &label);

private:
    QVector<int> m_radioOfRow;
};
