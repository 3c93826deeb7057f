#include "FakeSerialLink.h"
#include "MessageBoxes.h"
#include "TestDatabase.h"

#include "ChannelGrid.h"
#include "MainWindow.h"

#include <QLineEdit>
#include <QtTest>

// The operator types into a cell while another program writes the same cell.
class TestFileSyncWindow : public QObject
{
    Q_OBJECT
private slots:
    void editorSurvivesAndTheOperatorChooses_data();
    void editorSurvivesAndTheOperatorChooses();
};

void TestFileSyncWindow::editorSurvivesAndTheOperatorChooses_data()
{
    QTest::addColumn<int>("answer");
    QTest::addColumn<QString>("kept");
    QTest::newRow("使用我的值") << int(QMessageBox::Yes) << "我的";
    QTest::newRow("保留文件中的值") << int(QMessageBox::No) << "他人";
}

void TestFileSyncWindow::editorSurvivesAndTheOperatorChooses()
{
    QFETCH(int, answer);
    QFETCH(QString, kept);
    TestDatabase file(TestDatabase::numberedRows(3));
    MainWindow window(std::unique_ptr<SerialLink>(new FakeSerialLink), file.path());
    window.load();
    auto *grid = window.findChild<ChannelGrid *>(QStringLiteral("DataGrid1"));
    const QModelIndex cell = grid->model()->index(1, 4);
    grid->setCurrentIndex(cell);
    grid->edit(cell);
    QTRY_VERIFY(qobject_cast<QLineEdit *>(QApplication::focusWidget()));
    auto *editor = qobject_cast<QLineEdit *>(QApplication::focusWidget());
    editor->setText(QStringLiteral("我的"));
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("other"));
        db.setDatabaseName(file.path());
        QVERIFY(db.open());
        QVERIFY(QSqlQuery(db).exec(QStringLiteral("UPDATE 信道表 SET 备注 = '他人' WHERE rowid = 2")));
    }
    QSqlDatabase::removeDatabase(QStringLiteral("other"));
    QTRY_COMPARE(cell.data().toString(), QStringLiteral("他人"));
    QCOMPARE(editor->text(), QStringLiteral("我的"));

    MessageBoxes boxes{ QMessageBox::StandardButton(answer) };
    QStringList buttons;
    boxes.probe = [&] {
        auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
        buttons << box->button(QMessageBox::Yes)->text() << box->button(QMessageBox::No)->text();
        return true;
    };
    grid->commitPendingEdit();
    QTRY_COMPARE(boxes.seen.size(), 1);
    QVERIFY(boxes.seen.first().startsWith(QStringLiteral("系统信息|")));
    QVERIFY(boxes.texts().first().contains(QStringLiteral("文件中的值为“他人”，您的值为“我的”")));
    QCOMPARE(buttons, QStringList({ QStringLiteral("使用我的值"), QStringLiteral("保留文件中的值") }));
    QTRY_COMPARE(file.stored().at(1).at(4).toString(), kept);
    QTRY_COMPARE(cell.data().toString(), kept);
}

QTEST_MAIN(TestFileSyncWindow)
#include "tst_filesyncwindow.moc"
