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

    // What rows first..last of numberedRows send (up to row 51), worked out by
    // hand and not by the encoder under test: per row the channel, the receive
    // frequency less 21.4 MHz, 00, the transmit frequency; a frequency is three
    // bytes in units of 100 Hz, low byte first.
    static QByteArray sentFrames(int first, int last)
    {
        static const QByteArray all =
                "016D593E00FD234302EA593E007A244303675A3E00F7244304E45A3E0074254305615B3E00F1254306DE5B3E006E2643"
                "075B5C3E00EB264308D85C3E0068274309555D3E00E527430AD25D3E006228430B4F5E3E00DF28430CCC5E3E005C2943"
                "0D495F3E00D929430EC65F3E00562A430F43603E00D32A4310C0603E00502B43113D613E00CD2B4312BA613E004A2C43"
                "1337623E00C72C4314B4623E00442D431531633E00C12D4316AE633E003E2E43172B643E00BB2E4318A8643E00382F43"
                "1925653E00B52F431AA2653E003230431B1F663E00AF30431C9C663E002C31431D19673E00A931431E96673E00263243"
                "1F13683E00A332432090683E00203343210D693E009D3343228A693E001A344323076A3E0097344324846A3E00143543"
                "25016B3E00913543267E6B3E000E364327FB6B3E008B364328786C3E0008374329F56C3E008537432A726D3E00023843"
                "2BEF6D3E007F38432C6C6E3E00FC38432DE96E3E007939432E666F3E00F639432FE36F3E00733A433060703E00F03A43"
                "31DD703E006D3B43325A713E00EA3B4333D7713E00673C43";
        return all.mid(16 * (first - 1), 16 * (last - first + 1));
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
