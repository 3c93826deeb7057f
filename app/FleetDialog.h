#pragma once

#include <QDialog>

class ChannelStore;
class FleetRun;
class LoadPlan;
class PortCommands;
class QFormLayout;
class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;
class QTableWidget;
class TransferController;

// 连续传送…: the open plan into radio after radio on one cable. The operator
// types or scans each radio's label (or takes the one offered) and presses
// Enter; the table lists every load with its time and verdict, and a radio
// that failed is loaded again by picking its row. The plan stays locked while
// the dialog is open; closing during a load asks first.
class FleetDialog : public QDialog
{
    Q_OBJECT
public:
    FleetDialog(FleetRun *run, TransferController *transfer, const QString &file, const QString &port,
                QWidget *parent = nullptr);

    // Opens the dialog over `window` for a run of `plan`, which the window
    // has worked out and asked about as 数据传送 does.
    static FleetDialog *open(QWidget *window, TransferController *transfer, const LoadPlan &plan,
                             ChannelStore *store, PortCommands *ports);

    FleetRun *run() const { return m_run; }
    void reject() override;

private:
    QFormLayout *factsOfTheRun(const QString &file, const QString &port);
    void load();
    void stop();
    void refresh();
    QString stateText() const;
    void pick();

    FleetRun *m_run;
    TransferController *m_transfer;
    QString m_port;
    QString m_ended;
    QLineEdit *m_label;
    QPushButton *m_load;
    QPushButton *m_stop;
    QLabel *m_state;
    QProgressBar *m_progress;
    QTableWidget *m_table;
};
