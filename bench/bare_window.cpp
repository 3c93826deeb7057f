// The yardstick for start-up: a plain Qt Widgets table window of the same size
// with the same Chinese content in the same fonts (Kai title and cells, the
// model name in Song), so both CJK fonts are loaded as in the real window, and
// nothing else.
#include <QApplication>
#include <QLabel>
#include <QStandardItemModel>
#include <QTableView>
#include <QVBoxLayout>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QStandardItemModel model(60, 5);
    model.setHorizontalHeaderLabels({ "记录编号", "信道号", "接收频率", "发送频率", "备注" });
    for (int row = 0; row < 60; ++row) {
        for (int column = 0; column < 4; ++column)
            model.setItem(row, column, new QStandardItem(QString::number(438.0 + row * 0.0125)));
        model.setItem(row, 4, new QStandardItem(QStringLiteral("第 %1 行").arg(row + 1)));
    }
    QWidget window;
    window.setWindowTitle(QStringLiteral("bare"));
    auto *title = new QLabel(QStringLiteral("信道设置系统"));
    QFont kai;
    kai.setFamilies({ QStringLiteral("AR PL UKai CN") });
    kai.setPointSizeF(26.25);
    title->setFont(kai);
    auto *name = new QLabel(QStringLiteral("(QT_7020)"));
    QFont song;
    song.setFamilies({ QStringLiteral("AR PL UMing CN") });
    song.setPointSizeF(15.75);
    name->setFont(song);
    auto *view = new QTableView;
    kai.setPointSizeF(15.75);
    view->setFont(kai);
    view->setModel(&model);
    auto *layout = new QVBoxLayout(&window);
    layout->addWidget(title);
    layout->addWidget(name);
    layout->addWidget(view);
    window.resize(792, 524);
    window.show();
    return app.exec();
}
