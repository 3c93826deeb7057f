#pragma once

#include "ToolDialog.h"

class QCheckBox;
class QComboBox;

// 排序: the field to sort the file's rows by (信道号 first) and the direction.
class SortDialog : public ToolDialog
{
    Q_OBJECT
public:
    explicit SortDialog(QWidget *parent = nullptr);
    int column() const;
    bool descending() const;

private:
    QComboBox *m_column;
    QCheckBox *m_descending;
};
