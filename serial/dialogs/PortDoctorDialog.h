#pragma once

#include "PortHolder.h"

#include <QDialog>

class QComboBox;
class QLabel;
class QVBoxLayout;
struct PortFinding;

// Dialog "串口诊断…": what keeps a device (or any USB cable) from working, one
// finding a line with the command that fixes it in a field that can be
// selected or copied at the press of 复制. 重新检查 looks again, after the
// operator ran a command or plugged the cable in.
class PortDoctorDialog : public QDialog
{
    Q_OBJECT
public:
    // `device` first in the list, empty for every USB cable; `paths` as PortDoctor takes it.
    explicit PortDoctorDialog(const QString &device, const SystemPaths &paths = {}, QWidget *parent = nullptr);

    QComboBox *deviceBox() const { return m_device; }
    QLabel *summaryLabel() const { return m_summary; }
    // Looks again at the device chosen; what 重新检查 does.
    void examine();

private:
    QWidget *findingRow(const PortFinding &finding);

    SystemPaths m_paths;
    QComboBox *m_device;
    QVBoxLayout *m_findings;
    QLabel *m_summary;
};
