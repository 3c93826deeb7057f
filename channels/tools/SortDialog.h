#pragma once

#include "ToolDialog.h"

class QCheckBox;
class QComboBox;

// 排序: the field to sort the file's rows by and the direction; it starts on
// `column`, the grid's current one (信道号 when there is none).
class SortDialog : public ToolDialog
{
    Q_OBJECT
public:
    explicit SortDialog(int column = -1, QWidget *parent = nullptr);
    int column() const;
    bool descending() const;

private:
    QComboBox *m_column;
    QCheckBox *m_descending;
};
