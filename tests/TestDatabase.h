#pragma once

#include <QCryptographicHash>
#include <QFile>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QString>
#include <QTemporaryDir>
#include <QVariantList>
#include <QVector>
#include <QtTest>

// A throw-away char4.mdb in its own folder, filled with the given rows.
class TestDatabase
{
public:
    explicit TestDatabase(const QVector<QVariantList> &rows = {},
                          const QString &schema = QStringLiteral(
                                  "CREATE TABLE 信道表 (记录编号, 信道号, 接收频率, 发送频率, 备注)"))
    {
        m_path = m_dir.filePath(QStringLiteral("char4.mdb"));
        withFile(m_path, [&](QSqlQuery &q) {
            q.exec(schema);
            q.exec(QStringLiteral("BEGIN"));
            q.prepare(QStringLiteral("INSERT INTO 信道表 VALUES (?, ?, ?, ?, ?)"));
            for (const QVariantList &row : rows) {
                for (const QVariant &v : row)
                    q.addBindValue(v.isValid() ? v : QVariant(QMetaType::fromType<QString>()));
                q.exec();
            }
            q.exec(QStringLiteral("COMMIT"));
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

    // Every row of 信道表 in any file, as another program reads it: each field with its stored kind.
    static QVector<QVariantList> readAll(const QString &path)
    {
        QVector<QVariantList> rows;
        withFile(path, [&](QSqlQuery &q) {
            q.exec(QStringLiteral("SELECT * FROM 信道表 ORDER BY rowid"));
            while (q.next()) {
                QVariantList row;
                for (int i = 0; i < q.record().count(); ++i)
                    row << (q.isNull(i) ? QVariant() : q.value(i));
                rows.append(row);
            }
        });
        return rows;
    }

    QVector<QVariantList> stored() const { return readAll(m_path); }
    QString path() const { return m_path; }
    QString dir() const { return m_dir.path(); }

    // Runs `f` on a connection of its own to the file at `path`, as another program would.
    template <typename F>
    static void withFile(const QString &path, F f)
    {
        const QString name = QStringLiteral("test-file");
        {
            QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
            db.setDatabaseName(path);
            db.open();
            QSqlQuery q(db);
            f(q);
        }
        QSqlDatabase::removeDatabase(name);
    }

private:
    QTemporaryDir m_dir;
    QString m_path;
};

inline QByteArray readFile(const QString &path)
{
    QFile f(path);
    f.open(QIODevice::ReadOnly);
    return f.readAll();
}

// A file's bytes in short, to show that nothing touched it.
inline QByteArray fileDigest(const QString &path)
{
    return QCryptographicHash::hash(readFile(path), QCryptographicHash::Sha256);
}

inline QString writeFile(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    f.open(QIODevice::WriteOnly | QIODevice::Truncate);
    f.write(bytes);
    return path;
}

// Another program writing the file over its own connection.
inline void otherProgram(const QString &path, const QString &statements)
{
    TestDatabase::withFile(path, [&statements](QSqlQuery &q) {
        for (const QString &sql : statements.split(u';'))
            QVERIFY(q.exec(sql));
    });
}

// Another program holding a write transaction on the file until release(),
// which rolls it back.
class FileLock
{
public:
    explicit FileLock(const QString &path, const QString &begin = QStringLiteral("BEGIN IMMEDIATE"))
        : m_name(QStringLiteral("lock %1").arg(quintptr(this)))
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), m_name);
        db.setDatabaseName(path);
        QVERIFY(db.open() && QSqlQuery(db).exec(begin));
    }
    ~FileLock()
    {
        release();
        QSqlDatabase::removeDatabase(m_name);
    }
    FileLock(const FileLock &) = delete;
    FileLock &operator=(const FileLock &) = delete;
    void release() { QSqlDatabase::database(m_name, false).close(); }

private:
    QString m_name;
};
