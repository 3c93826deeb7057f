// The yardstick for start-up: a plain Qt Widgets table window of the same size
// with the same 60 x 5 cells, and nothing else.
#include <QApplication>
#include <QStandardItemModel>
#include <QTableView>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QStandardItemModel model(60, 5);
    for (int row = 0; row < 60; ++row)
        for (int column = 0; column < 5; ++column)
            model.setItem(row, column, new QStandardItem(QString::number(438.0 + row * 0.0125)));
    QTableView view;
    view.setWindowTitle(QStringLiteral("bare"));
    view.setModel(&model);
    view.resize(792, 524);
    view.show();
    return app.exec();
}
