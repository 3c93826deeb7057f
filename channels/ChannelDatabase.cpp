#include "ChannelDatabase.h"

#include "SystemCause.h"

#include <QAtomicInt>
#include <QFileInfo>
#include <QSqlDatabase>
#include <QSqlDriver>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QUrl>

const QString ChannelDatabase::defaultFileName = QStringLiteral("char4.mdb");
const QString ChannelDatabase::tableName = QStringLiteral("信道表");

static QAtomicInt connectionCount;
static const QString notOpen = QStringLiteral("数据库未打开");

// Our null is an invalid QVariant; a text, even an empty one, stays a text
// (QSQLITE would store a null QString as NULL).
static QVariant bindable(const QVariant &value)
{
    if (!value.isValid())
        return QVariant(QMetaType::fromType<QString>());
    if (value.typeId() == QMetaType::QString && value.toString().isNull())
        return QStringLiteral("");
    return value;
}

// Runs the prepared INSERT once per row, `width` values each; stops at the first failure.
static bool insertRows(QSqlQuery &insert, const QVector<QVariantList> &rows, int width)
{
    for (const QVariantList &row : rows) {
        for (int i = 0; i < width; ++i)
            insert.addBindValue(bindable(row.value(i)));
        if (!insert.exec())
            return false;
    }
    return true;
}

ChannelDatabase::ChannelDatabase()
    : m_connection(QStringLiteral("channels-%1").arg(connectionCount.fetchAndAddRelaxed(1)))
{
}

ChannelDatabase::~ChannelDatabase()
{
    close();
}

bool ChannelDatabase::fail(const QString &cause)
{
    m_error = SystemCause::inChinese(cause);
    return false;
}

void ChannelDatabase::close()
{
    m_open = false;
    m_fields.clear();
    for (auto &update : m_updates)
        update.reset();
    if (QSqlDatabase::contains(m_connection)) {
        QSqlDatabase::database(m_connection, false).close();
        QSqlDatabase::removeDatabase(m_connection);
    }
}

// How long a statement waits for a lock another program holds on the file.
static const int busyTimeoutMs = 500;

bool ChannelDatabase::open(const QString &path)
{
    close();
    m_path = path;
    m_error.clear();
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), m_connection);
    // mode=rw: a missing file fails to open instead of being created empty.
    // A short busy timeout: a file locked by another program is reported, not waited on.
    db.setConnectOptions(QStringLiteral("QSQLITE_OPEN_URI;QSQLITE_BUSY_TIMEOUT=%1").arg(busyTimeoutMs));
    QUrl uri = QUrl::fromLocalFile(QFileInfo(path).absoluteFilePath());
    uri.setQuery(QStringLiteral("mode=rw"));
    db.setDatabaseName(uri.toString(QUrl::FullyEncoded));
    if (!db.open())
        return fail(db.lastError().databaseText());

    // SQLite "opens" any file; only the first statement finds out what it is.
    QSqlQuery probe(db);
    if (!probe.exec(QStringLiteral("SELECT count(*) FROM sqlite_master")))
        return fail(QStringLiteral("不是信道文件（%1）").arg(probe.lastError().databaseText()));

    const QSqlRecord record = db.record(tableName);
    if (record.isEmpty())
        return fail(QStringLiteral("缺少%1").arg(tableName));
    if (record.count() < ChannelRow::fieldCount)
        return fail(QStringLiteral("%1的字段少于五个").arg(tableName));
    for (int i = 0; i < ChannelRow::fieldCount; ++i)
        m_fields << record.fieldName(i);
    // A lone INTEGER PRIMARY KEY is another name for the rowid.
    m_keyField = -1;
    if (probe.exec(QStringLiteral("SELECT cid, upper(type) = 'INTEGER' AND count(*) OVER () = 1 "
                                  "FROM pragma_table_info('%1') WHERE pk > 0").arg(tableName))
        && probe.next() && probe.value(1).toBool() && probe.value(0).toInt() < ChannelRow::fieldCount)
        m_keyField = probe.value(0).toInt();
    m_open = true;
    return true;
}

QString ChannelDatabase::column(int position) const
{
    return QSqlDatabase::database(m_connection, false).driver()->escapeIdentifier(
            m_fields.at(position), QSqlDriver::FieldName);
}

bool ChannelDatabase::rowsAfter(qint64 afterKey, int limit, QVector<ChannelRow> *rows)
{
    rows->clear();
    if (!m_open)
        return fail(notOpen);
    QStringList columns;
    for (int i = 0; i < ChannelRow::fieldCount; ++i)
        columns << column(i);
    QSqlQuery query(QSqlDatabase::database(m_connection, false));
    query.setForwardOnly(true);
    query.prepare(QStringLiteral("SELECT rowid, %1 FROM \"%2\" WHERE rowid > ? ORDER BY rowid LIMIT ?")
                          .arg(columns.join(u','), tableName));
    query.addBindValue(afterKey);
    query.addBindValue(limit);
    if (!query.exec())
        return fail(query.lastError().databaseText());
    while (query.next()) {
        ChannelRow row;
        row.key = query.value(0).toLongLong();
        for (int i = 0; i < ChannelRow::fieldCount; ++i)
            row.values[i] = query.isNull(i + 1) ? QVariant() : query.value(i + 1);
        rows->append(row);
    }
    // A page that breaks off part-way is a damaged file, not the end of the table.
    if (query.lastError().isValid())
        return fail(query.lastError().databaseText());
    return true;
}

bool ChannelDatabase::rowByKey(qint64 key, ChannelRow *row, bool *found)
{
    QVector<ChannelRow> rows;
    if (!rowsAfter(key - 1, 1, &rows))
        return false;
    *found = !rows.isEmpty() && rows.first().key == key;
    if (*found)
        *row = rows.first();
    return true;
}

bool ChannelDatabase::dataVersion(qint64 *version)
{
    if (!m_open)
        return fail(notOpen);
    // Asked twice a second on the window's own thread: a file another program
    // holds locked is "no answer yet", never a wait that would hold up a load.
    QSqlQuery query(QSqlDatabase::database(m_connection, false));
    query.exec(QStringLiteral("PRAGMA busy_timeout = 0"));
    const bool answered = query.exec(QStringLiteral("PRAGMA data_version")) && query.next();
    const QString error = query.lastError().databaseText();
    if (answered)
        *version = query.value(0).toLongLong();
    query.exec(QStringLiteral("PRAGMA busy_timeout = %1").arg(busyTimeoutMs));
    return answered || fail(error);
}

bool ChannelDatabase::update(qint64 key, int position, const QVariant &value)
{
    if (!m_open)
        return fail(notOpen);
    std::unique_ptr<QSqlQuery> &query = m_updates.at(position);
    if (!query) {
        query = std::make_unique<QSqlQuery>(QSqlDatabase::database(m_connection, false));
        if (!query->prepare(QStringLiteral("UPDATE \"%1\" SET %2 = ? WHERE rowid = ?").arg(tableName, column(position)))) {
            const QString cause = query->lastError().databaseText();
            query.reset();
            return fail(cause);
        }
    }
    query->addBindValue(bindable(value));
    query->addBindValue(key);
    if (!query->exec())
        return fail(query->lastError().databaseText());
    if (query->numRowsAffected() != 1)
        return fail(QStringLiteral("该行已不在表中"));
    return true;
}

bool ChannelDatabase::updateRows(const QVector<ChannelRow> &rows)
{
    if (!m_open)
        return fail(notOpen);
    QStringList assignments;
    for (int i = 0; i < ChannelRow::fieldCount; ++i)
        assignments << column(i) + QStringLiteral(" = ?");
    QSqlQuery query(QSqlDatabase::database(m_connection, false));
    if (!query.prepare(QStringLiteral("UPDATE \"%1\" SET %2 WHERE rowid = ?").arg(tableName, assignments.join(u','))))
        return fail(query.lastError().databaseText());
    for (const ChannelRow &row : rows) {
        for (const QVariant &value : row.values)
            query.addBindValue(bindable(value));
        query.addBindValue(row.key);
        if (!query.exec())
            return fail(query.lastError().databaseText());
        if (query.numRowsAffected() != 1)
            return fail(QStringLiteral("该行已不在表中"));
    }
    return true;
}

bool ChannelDatabase::replaceAll(const QVector<QVariantList> &rows)
{
    if (!m_open)
        return fail(notOpen);
    QSqlDatabase db = QSqlDatabase::database(m_connection, false);
    QStringList columns;
    for (int i = 0; i < ChannelRow::fieldCount; ++i)
        columns << column(i);
    if (!db.transaction())
        return fail(db.lastError().databaseText());
    QSqlQuery query(db);
    const bool ok = query.exec(QStringLiteral("DELETE FROM \"%1\"").arg(tableName))
            && query.prepare(QStringLiteral("INSERT INTO \"%1\" (%2) VALUES (?,?,?,?,?)")
                                     .arg(tableName, columns.join(u',')))
            && insertRows(query, rows, ChannelRow::fieldCount);
    if (ok && db.commit())
        return true;
    const QString cause = query.lastError().databaseText().isEmpty() ? db.lastError().databaseText()
                                                                     : query.lastError().databaseText();
    db.rollback();
    return fail(cause);
}

bool ChannelDatabase::create(const QString &path, const QStringList &fields,
                             const QVector<QVariantList> &rows, QString *error)
{
    const QString name = QStringLiteral("create-%1").arg(connectionCount.fetchAndAddRelaxed(1));
    bool ok = false;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
        db.setDatabaseName(path);
        QSqlQuery query(db);
        QStringList columns;
        QStringList marks;
        for (const QString &field : fields) {
            columns << db.driver()->escapeIdentifier(field, QSqlDriver::FieldName);
            marks << QStringLiteral("?");
        }
        ok = db.open() && db.transaction()
                && query.exec(QStringLiteral("CREATE TABLE \"%1\" (%2)").arg(tableName, columns.join(u',')))
                && query.prepare(QStringLiteral("INSERT INTO \"%1\" VALUES (%2)").arg(tableName, marks.join(u',')))
                && insertRows(query, rows, int(fields.size()))
                && db.commit();
        if (!ok) {
            const QSqlError cause = query.lastError().isValid() ? query.lastError() : db.lastError();
            if (error)
                *error = SystemCause::inChinese(cause.databaseText().isEmpty() ? cause.text() : cause.databaseText());
            db.rollback();
        }
        db.close();
    }
    QSqlDatabase::removeDatabase(name);
    return ok;
}

bool ChannelDatabase::exec(const QString &sql, const QVariantList &values)
{
    if (!m_open)
        return fail(notOpen);
    QSqlQuery query(QSqlDatabase::database(m_connection, false));
    if (!query.prepare(sql))
        return fail(query.lastError().databaseText());
    for (const QVariant &value : values)
        query.addBindValue(value);
    if (!query.exec())
        return fail(query.lastError().databaseText());
    return true;
}

QString ChannelDatabase::columnList() const
{
    QStringList columns;
    for (int i = 0; i < ChannelRow::fieldCount; ++i)
        columns << column(i);
    return columns.join(u',');
}

bool ChannelDatabase::begin()
{
    // IMMEDIATE: a file another program is writing is refused before anything changes.
    return exec(QStringLiteral("BEGIN IMMEDIATE"));
}

bool ChannelDatabase::commit()
{
    return exec(QStringLiteral("COMMIT"));
}

void ChannelDatabase::rollback()
{
    const QString cause = m_error;
    exec(QStringLiteral("ROLLBACK"));
    m_error = cause;
}

bool ChannelDatabase::largestKey(qint64 *key)
{
    if (!m_open)
        return fail(notOpen);
    QSqlQuery query(QSqlDatabase::database(m_connection, false));
    if (!query.exec(QStringLiteral("SELECT coalesce(max(rowid), 0) FROM \"%1\"").arg(tableName)) || !query.next())
        return fail(query.lastError().databaseText());
    *key = query.value(0).toLongLong();
    return true;
}

bool ChannelDatabase::largestRecordNumber(qint64 *number)
{
    if (!m_open)
        return fail(notOpen);
    // Whole numbers only, stored as numbers or as texts of digits.
    const QString field = column(ChannelFields::Record);
    QSqlQuery query(QSqlDatabase::database(m_connection, false));
    const QString sql = QStringLiteral(
            "SELECT coalesce(max(CAST(%1 AS INTEGER)), 0) FROM \"%2\" WHERE "
            "(typeof(%1) IN ('integer', 'real') AND %1 = CAST(%1 AS INTEGER)) OR "
            "(typeof(%1) = 'text' AND trim(%1) GLOB '[0-9]*' AND NOT trim(%1) GLOB '*[^0-9]*')")
            .arg(field, tableName);
    if (!query.exec(sql) || !query.next())
        return fail(query.lastError().databaseText());
    *number = query.value(0).toLongLong();
    return true;
}

bool ChannelDatabase::insert(qint64 key, const std::array<QVariant, ChannelRow::fieldCount> &values)
{
    QVariantList bound{ key };
    for (const QVariant &value : values)
        bound << bindable(value);
    return exec(QStringLiteral("INSERT INTO \"%1\" (rowid, %2) VALUES (?,?,?,?,?,?)").arg(tableName, columnList()),
                bound);
}

bool ChannelDatabase::remove(qint64 key)
{
    return exec(QStringLiteral("DELETE FROM \"%1\" WHERE rowid = ?").arg(tableName), { key });
}

bool ChannelDatabase::shiftKeys(qint64 from, qint64 to, qint64 by)
{
    // SQLite checks each row's new key as it goes, in an order of its own: the
    // rows are parked above every key in use first, then set down in place.
    QSqlQuery range(QSqlDatabase::database(m_connection, false));
    if (!range.exec(QStringLiteral("SELECT coalesce(min(rowid), 0), coalesce(max(rowid), 0) FROM \"%1\"")
                            .arg(tableName))
        || !range.next())
        return fail(range.lastError().databaseText());
    const qint64 smallest = range.value(0).toLongLong();
    const qint64 largest = range.value(1).toLongLong();
    range.finish();
    const qint64 park = largest - smallest + 1 + qAbs(by);
    const QString table = QStringLiteral("\"%1\"").arg(tableName);
    return exec(QStringLiteral("UPDATE %1 SET rowid = rowid + ? WHERE rowid BETWEEN ? AND ?").arg(table),
                { park, from, to })
            && exec(QStringLiteral("UPDATE %1 SET rowid = rowid + ? WHERE rowid > ?").arg(table),
                    { by - park, largest });
}

bool ChannelDatabase::swapKeys(qint64 a, qint64 b)
{
    qint64 largest = 0;
    if (!largestKey(&largest))
        return false;
    const QString move = QStringLiteral("UPDATE \"%1\" SET rowid = ? WHERE rowid = ?").arg(tableName);
    return exec(move, { largest + 1, a }) && exec(move, { a, b }) && exec(move, { b, largest + 1 });
}
