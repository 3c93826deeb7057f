#pragma once

#include <QDialog>

class ChannelStore;
class FleetRun;
class FleetTable;
class LoadPlan;
class PlanChangePanel;
class PortCommands;
class QCheckBox;
class QFormLayout;
class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;
class RadioListPanel;
class TransferController;

// 连续传送…: the open plan into radio after radio on one cable, one Enter (or
// one scan) per radio. The label field offers the next radio: the next of an
// imported list, a label entered during the last load, or the last one
// counted up. The table lists every load with its time and verdict; a radio
// that failed is loaded again by clicking its line. A plan changed under the
// run is shown and waits for 继续. The counts below the table pick their
// lines; 打印本次报告… and 复制 take the run away on paper or as text.
//
// Nothing the window has to say interrupts the run: its reports come here
// (report()), the keys stay in the label field, and only closing during a
// load asks. The first 关闭 ends the run and shows what it came to.
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
    // What the window would have said in a message box: said here, in the
    // status lines and the table.
    void report(const QString &message);
    void reject() override;

    // The setting that rings the bell at each verdict.
    static bool soundOn();
    static void setSoundOn(bool on);

private:
    QFormLayout *factsOfTheRun(const QString &file, const QString &port);
    void layOut(QFormLayout *facts);
    QLayout *buttonRow();
    void load();
    void stop();
    void continueWithNewPlan();
    void importList();
    void concluded(int radio);
    void offer(const QString &label);
    void showSummaryRows(const QString &kind);
    void printReport();
    void copyTable();
    void refresh();
    QString stateText() const;

    FleetRun *m_run;
    TransferController *m_transfer;
    QString m_file;
    QString m_port;
    QString m_ended;
    QString m_note;       // the last thing the window reported
    QString m_offered;    // the label last put in the field; anything else is the operator's
    bool m_over = false;  // 关闭 was pressed once: the run is over, its summary shown
    QLineEdit *m_label;
    QLabel *m_checksum;
    QLabel *m_queue;
    QPushButton *m_load;
    QPushButton *m_stop;
    QLabel *m_state;
    QLabel *m_said;
    QProgressBar *m_progress;
    FleetTable *m_table;
    RadioListPanel *m_list;
    PlanChangePanel *m_change;
    QLabel *m_summary;
    QCheckBox *m_sound;
};
