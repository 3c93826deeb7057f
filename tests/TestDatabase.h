#pragma once

#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QString>
#include <QTemporaryDir>
#include <QVariantList>
#include <QVector>

// A throw-away char4.mdb in its own folder, filled with the given rows.
class TestDatabase
{
public:
    explicit TestDatabase(const QVector<QVariantList> &rows = {},
                          const QString &schema = QStringLiteral(
                                  "CREATE TABLE 信道表 (记录编号, 信道号, 接收频率, 发送频率, 备注)"))
    {
        m_path = m_dir.filePath(QStringLiteral("char4.mdb"));
        run([&](QSqlDatabase &db) {
            QSqlQuery q(db);
            q.exec(schema);
            db.transaction();
            q.prepare(QStringLiteral("INSERT INTO 信道表 VALUES (?, ?, ?, ?, ?)"));
            for (const QVariantList &row : rows) {
                for (const QVariant &v : row)
                    q.addBindValue(v.isValid() ? v : QVariant(QMetaType::fromType<QString>()));
                q.exec();
            }
            db.commit();
        });
    }

    // Numbered rows 1..n with valid UHF frequencies; remark "第 i 行".
    static QVector<QVariantList> numberedRows(int n)
    {
        QVector<QVariantList> rows;
        for (int i = 1; i <= n; ++i)
            rows.append({ i, (i - 1) % 255 + 1, 430.0 + i * 0.0125, 440.0 + i * 0.0125,
                          QStringLiteral("第 %1 行").arg(i) });
        return rows;
    }

    QString path() const { return m_path; }
    QString dir() const { return m_dir.path(); }

    // Runs f on a connection of its own, as another program would.
    template <typename F>
    void run(F f) const
    {
        const QString name = QStringLiteral("test-%1").arg(quintptr(this));
        {
            QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
            db.setDatabaseName(m_path);
            db.open();
            f(db);
            db.close();
        }
        QSqlDatabase::removeDatabase(name);
    }

    QVariant stored(qint64 rowid, const QString &column) const
    {
        QVariant result;
        run([&](QSqlDatabase &db) {
            QSqlQuery q(db);
            q.exec(QStringLiteral("SELECT \"%1\" FROM 信道表 WHERE rowid = %2").arg(column).arg(rowid));
            if (q.next())
                result = q.isNull(0) ? QVariant() : q.value(0);
        });
        return result;
    }

    // Every row of 信道表 in any file, every field with its stored kind.
    static void readAll(const QString &path, QVector<QVariantList> *rows)
    {
        const QString name = QStringLiteral("read-all");
        {
            QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
            db.setDatabaseName(path);
            db.open();
            QSqlQuery q(db);
            q.exec(QStringLiteral("SELECT * FROM 信道表 ORDER BY rowid"));
            while (q.next()) {
                QVariantList row;
                for (int i = 0; i < q.record().count(); ++i)
                    row << (q.isNull(i) ? QVariant() : q.value(i));
                rows->append(row);
            }
        }
        QSqlDatabase::removeDatabase(name);
    }

private:
    QTemporaryDir m_dir;
    QString m_path;
};
