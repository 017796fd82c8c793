#include "platform/database/sqlite/SqliteBackend.h"

#include "platform/database/DbErrors.h"
#include "platform/database/jet/SqliteExtensions.h"
#include "platform/database/jet/StorageTypes.h"
#include "platform/database/sqlite/SqliteError.h"
#include "platform/database/sqlite/SqliteValues.h"

#include <QFile>
#include <QFileInfo>
#include <QMutex>
#include <QRegularExpression>
#include <sqlite3.h>
#include <sys/stat.h>


namespace db::sqlite {

namespace {

QString quoted(const QString& name)
{
    QString escaped = name;
    escaped.replace(QLatin1Char('"'), QStringLiteral("\"\""));
    return QLatin1Char('"') + escaped + QLatin1Char('"');
}

// A prepared statement finalized when it goes out of scope.
class Statement {
public:
    Statement(sqlite3* db, const QString& sql, const QString& path = {}) : m_db(db), m_path(path)
    {
        const QByteArray utf8 = sql.toUtf8();
        const int rc = sqlite3_prepare_v2(db, utf8.constData(), static_cast<int>(utf8.size()), &m_statement, nullptr);
        if (rc != SQLITE_OK) {
            sqlite3_finalize(m_statement);
            throw errorFrom(db, rc, path);
        }
    }
    ~Statement() { sqlite3_finalize(m_statement); }
    Statement(const Statement&) = delete;
    Statement& operator=(const Statement&) = delete;

    // True while a row is available.
    bool step()
    {
        const int rc = sqlite3_step(m_statement);
        if (rc == SQLITE_ROW)
            return true;
        if (rc == SQLITE_DONE)
            return false;
        throw errorFrom(m_db, rc, m_path);
    }
    void bind(int index, const core::Variant& value) { check(m_db, bindValue(m_statement, index, value), m_path); }
    QString text(int column) const
    {
        const auto* p = reinterpret_cast<const char*>(sqlite3_column_text(m_statement, column));
        return p ? QString::fromUtf8(p) : QString();
    }
    qint64 integer(int column) const { return sqlite3_column_int64(m_statement, column); }
    bool isNull(int column) const { return sqlite3_column_type(m_statement, column) == SQLITE_NULL; }
    sqlite3_stmt* get() const { return m_statement; }

private:
    sqlite3* m_db;
    QString m_path;
    sqlite3_stmt* m_statement = nullptr;
};

// The comparison of a WHERE that finds a row by the values it had when read.
QString condition(const ColumnValue& test, QVector<core::Variant>& parameters)
{
    const QString column = quoted(test.column);
    if (test.value.isEmptyOrNull())
        return column + QStringLiteral(" IS NULL");
    switch (test.type) {
    case DataType::Currency:
        // Stored as REAL: compare at the four decimals the value has.
        parameters << core::Variant(static_cast<double>(test.value.toCurrency().raw()));
        return QStringLiteral("round(%1*10000) = ?").arg(column);
    case DataType::Boolean:
        parameters << core::Variant(static_cast<std::int32_t>(test.value.toBool() ? 1 : 0));
        return QStringLiteral("(%1<>0) = ?").arg(column);
    case DataType::Single:
        parameters << test.value;
        return QStringLiteral("abs(%1 - ?) <= 1e-6 * max(1.0, abs(%1))").arg(column);
    case DataType::VarWChar:
    case DataType::LongVarWChar:
        parameters << test.value;
        // The column's own collation ignores case; a change of case is a change.
        return test.value.isString() ? column + QStringLiteral(" = ? COLLATE BINARY") : column + QStringLiteral(" = ?");
    default:
        parameters << test.value;
        return column + QStringLiteral(" = ?");
    }
}

QString whereClause(const QString& table, const QVector<ColumnValue>& where, bool onlyOneRow,
                    QVector<core::Variant>& parameters)
{
    QStringList parts;
    for (const auto& test : where)
        parts << condition(test, parameters);
    const QString tests = parts.isEmpty() ? QStringLiteral("1") : parts.join(QStringLiteral(" AND "));
    if (!onlyOneRow)
        return tests;
    return QStringLiteral("rowid = (SELECT rowid FROM %1 WHERE %2 LIMIT 1)").arg(quoted(table), tests);
}

// The Jet type name that declares a column like `column` again.
QString jetTypeName(const ColumnMeta& column)
{
    switch (column.type) {
    case DataType::Integer:
        return column.autoIncrement ? QStringLiteral("COUNTER") : QStringLiteral("LONG");
    case DataType::SmallInt:
        return QStringLiteral("SHORT");
    case DataType::UnsignedTinyInt:
        return QStringLiteral("BYTE");
    case DataType::Boolean:
        return QStringLiteral("YESNO");
    case DataType::Currency:
        return QStringLiteral("CURRENCY");
    case DataType::Double:
        return QStringLiteral("DOUBLE");
    case DataType::Single:
        return QStringLiteral("SINGLE");
    case DataType::Date:
        return QStringLiteral("DATETIME");
    case DataType::VarWChar:
        return QStringLiteral("TEXT(%1)").arg(column.definedSize);
    case DataType::LongVarWChar:
        return QStringLiteral("MEMO");
    case DataType::VarBinary:
        return QStringLiteral("BINARY(%1)").arg(column.definedSize);
    default:
        return QStringLiteral("LONGBINARY");
    }
}

// What tells one state of a database file from another, short of its content:
// the file itself (a copy put in its place is another file) and its size and
// time of change (a copy written over it changes them). Any write changes them
// too, so a description read before a write is read again after it.
struct FileStamp {
    qint64 device = -1;
    qint64 inode = -1;
    qint64 size = -1;
    qint64 changedNs = -1;
    bool operator==(const FileStamp&) const = default;
};

std::optional<FileStamp> stampOf(const QString& path)
{
#ifdef Q_OS_WIN
    struct _stat64 st;
    if (_wstat64(reinterpret_cast<const wchar_t*>(path.utf16()), &st) != 0)
        return std::nullopt;
    return FileStamp{qint64(st.st_dev), qint64(st.st_ino), qint64(st.st_size), qint64(st.st_mtime) * 1000000000};
#else
    struct stat st;
    if (::stat(QFile::encodeName(path).constData(), &st) != 0)
        return std::nullopt;
    return FileStamp{qint64(st.st_dev), qint64(st.st_ino), qint64(st.st_size),
                     qint64(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec};
#endif
}

// Table descriptions read by any connection of this process, by file. Every
// connection reads its own schema version at each use, so an entry is taken
// only while the file is the one it was read from (same stamp) and its schema
// is the one it was read under (same schema version, which any process that
// changes the schema moves on).
struct SharedTables {
    FileStamp stamp;
    int schemaVersion = -1;
    QHash<QString, TableMeta> tables; // by lower-case name
};

QBasicMutex sharedTablesMutex;
QHash<QString, SharedTables>& sharedTables()
{
    static QHash<QString, SharedTables> byFile;
    return byFile;
}

// Handles of closed connections, kept open for the next connection on the same
// file: opening one reads and parses the whole schema again, and the program
// opens a connection for each list it loads. A kept handle holds no lock (it is
// kept only outside a transaction, with no statement left) and is taken only
// while the file is as it was left (same stamp: the same file, unwritten
// since). It is taken without the pages it had read, so the file is read
// again as by a new connection; the schema it parsed is checked by the engine
// against the file's at its first read.
struct KeptHandle {
    sqlite3* db = nullptr;
    FileStamp stamp;
};
constexpr int kKeptPerFile = 4;

QBasicMutex keptMutex;
// Cleared when the process ends: a connection closed after that closes its handle.
bool keptOpen = true;

struct KeptByFile : QHash<QString, QVector<KeptHandle>> {
    ~KeptByFile()
    {
        QMutexLocker lock(&keptMutex);
        keptOpen = false;
        for (const auto& handles : std::as_const(*this))
            for (const KeptHandle& handle : handles)
                sqlite3_close_v2(handle.db);
    }
};

QHash<QString, QVector<KeptHandle>>& keptHandles()
{
    static KeptByFile byFile;
    return byFile;
}

sqlite3* takeKept(const QString& file, const FileStamp& stamp)
{
    QVector<sqlite3*> stale;
    sqlite3* found = nullptr;
    {
        QMutexLocker lock(&keptMutex);
        if (!keptOpen)
            return nullptr;
        auto it = keptHandles().find(file);
        if (it == keptHandles().end())
            return nullptr;
        while (!it->isEmpty()) {
            const KeptHandle kept = it->takeLast();
            if (kept.stamp == stamp) {
                found = kept.db;
                break;
            }
            stale << kept.db;
        }
    }
    for (sqlite3* db : std::as_const(stale))
        sqlite3_close_v2(db);
    if (found)
        sqlite3_db_release_memory(found);
    return found;
}

// A file found damaged is moved aside or replaced: no handle may hold it.
void dropKept(const QString& file)
{
    QVector<KeptHandle> kept;
    {
        QMutexLocker lock(&keptMutex);
        if (!keptOpen)
            return;
        kept = keptHandles().take(file);
    }
    for (const KeptHandle& handle : std::as_const(kept))
        sqlite3_close_v2(handle.db);
}

bool keep(const QString& file, sqlite3* db)
{
    const std::optional<FileStamp> stamp = stampOf(file);
    if (!stamp || file.isEmpty() || !sqlite3_get_autocommit(db) || sqlite3_next_stmt(db, nullptr))
        return false;
    QMutexLocker lock(&keptMutex);
    if (!keptOpen)
        return false;
    QVector<KeptHandle>& kept = keptHandles()[file];
    if (kept.size() >= kKeptPerFile)
        return false;
    kept << KeptHandle{db, *stamp};
    return true;
}

} // namespace

SqliteBackend::SqliteBackend() = default;

SqliteBackend::~SqliteBackend()
{
    close();
}

void SqliteBackend::ensureOpen() const
{
    if (!m_db)
        throw errors::objectClosed();
}

void SqliteBackend::open(const QString& path, int busyTimeoutMs)
{
    close();
    m_damaged = false;
    const QFileInfo info(path);
    if (!info.exists() || !info.isFile())
        throw errors::fileNotFound(path);
    // An empty file would pass as an empty database; for this program it is a damaged one.
    if (info.size() == 0)
        throw errors::notADatabase(path);

    const QString file = info.canonicalFilePath();
    const std::optional<FileStamp> stamp = stampOf(file);
    if (sqlite3* kept = stamp ? takeKept(file, *stamp) : nullptr) {
        sqlite3_busy_timeout(kept, busyTimeoutMs);
        m_db = kept;
        m_path = path;
        m_filePath = file;
        try {
            Statement probe(kept, QStringLiteral("SELECT count(*) FROM sqlite_master"), path);
            probe.step();
            return;
        } catch (const DbError&) {
            // Opened afresh below, and judged as a new handle.
            release(false);
        }
    }

    sqlite3* db = nullptr;
    const QByteArray name = path.toUtf8();
    const int rc = sqlite3_open_v2(name.constData(), &db, SQLITE_OPEN_READWRITE, nullptr);
    if (rc != SQLITE_OK) {
        const DbError error = errorFrom(db, rc, path);
        sqlite3_close_v2(db);
        throw error;
    }
    sqlite3_extended_result_codes(db, 1);
    // The translation quotes every name in double quotes; with the engine's
    // legacy reading, a name that matches no column would silently become a
    // text constant (a misspelt field read as its own name, a WHERE that
    // matches nothing). Refused, it fails as an unknown column.
    sqlite3_db_config(db, SQLITE_DBCONFIG_DQS_DML, 0, nullptr);
    sqlite3_busy_timeout(db, busyTimeoutMs);
    m_db = db;
    m_path = path;
    m_filePath = file;
    try {
        jet::registerSqliteExtensions(db);
        exec(QStringLiteral("PRAGMA journal_mode=DELETE"));
        // The engine opens any file without complaint; reading the schema tells a database from garbage.
        Statement probe(db, QStringLiteral("SELECT count(*) FROM sqlite_master"), path);
        probe.step();
    } catch (const DbError& error) {
        release(false);
        if (error.kind() == ErrorKind::NotADatabase)
            throw errors::notADatabase(path);
        throw;
    }
}

void SqliteBackend::close()
{
    release(true);
}

void SqliteBackend::release(bool keepHandle)
{
    for (sqlite3_stmt* statement : std::as_const(m_statements))
        sqlite3_finalize(statement);
    m_statements.clear();
    m_tables.clear();
    m_tablesVersion = -1;
    if (m_db) {
        if (!keepHandle || m_damaged || !keep(m_filePath, m_db))
            sqlite3_close_v2(m_db);
        m_db = nullptr;
    }
}

void SqliteBackend::exec(const QString& sql)
{
    ensureOpen();
    const QByteArray utf8 = sql.toUtf8();
    const int rc = sqlite3_exec(m_db, utf8.constData(), nullptr, nullptr, nullptr);
    check(m_db, rc, m_path);
}

long SqliteBackend::execute(const QString& sql)
{
    ensureOpen();
    const QByteArray utf8 = sql.toUtf8();
    const char* tail = utf8.constData();
    const char* end = tail + utf8.size();
    long changed = 0;
    while (tail && tail < end) {
        sqlite3_stmt* raw = nullptr;
        const int rc = sqlite3_prepare_v2(m_db, tail, static_cast<int>(end - tail), &raw, &tail);
        if (rc != SQLITE_OK) {
            sqlite3_finalize(raw);
            throw errorFrom(m_db, rc, m_path);
        }
        if (!raw)
            continue; // whitespace or a comment
        const bool writes = !sqlite3_stmt_readonly(raw);
        int step;
        while ((step = sqlite3_step(raw)) == SQLITE_ROW) {
        }
        if (step != SQLITE_DONE) {
            const DbError error = errorFrom(m_db, step, m_path);
            sqlite3_finalize(raw);
            throw error;
        }
        sqlite3_finalize(raw);
        if (writes)
            changed += sqlite3_changes(m_db);
    }
    return changed;
}

ResultSet SqliteBackend::query(const QString& sql, const QVector<std::optional<DataType>>& resultTypes)
{
    ensureOpen();
    Statement statement(m_db, sql, m_path);
    sqlite3_stmt* st = statement.get();
    // The first step prepares the statement again if the schema changed since
    // it was prepared (another process added a column, say): the columns are
    // described after it, as they are then.
    bool more = statement.step();
    dropStaleTables();
    ResultSet result;
    const int count = sqlite3_column_count(st);
    result.columns.reserve(count);
    QVector<DataType> types;
    for (int i = 0; i < count; ++i) {
        ColumnMeta column;
        column.name = QString::fromUtf8(sqlite3_column_name(st, i));
        const char* table = sqlite3_column_table_name(st, i);
        const char* origin = sqlite3_column_origin_name(st, i);
        if (table && origin) {
            column.table = QString::fromUtf8(table);
            column.column = QString::fromUtf8(origin);
            const TableMeta meta = cachedTableMeta(column.table);
            for (const auto& stored : meta.columns) {
                if (stored.name.compare(column.column, Qt::CaseInsensitive) == 0) {
                    column.type = stored.type;
                    column.definedSize = stored.definedSize;
                    column.autoIncrement = stored.autoIncrement;
                    column.nullable = stored.nullable;
                    break;
                }
            }
        } else if (i < resultTypes.size() && resultTypes[i]) {
            column.type = *resultTypes[i];
            column.definedSize = jet::fixedSize(column.type);
            if (column.type == DataType::VarWChar)
                column.definedSize = 255;
        } else if (const char* declared = sqlite3_column_decltype(st, i)) {
            const auto storage = jet::storageTypeFromDeclared(QString::fromUtf8(declared), false);
            column.type = storage.type;
            column.definedSize = storage.definedSize;
        }
        types << column.type;
        result.columns << column;
    }
    for (; more; more = statement.step()) {
        QVector<core::Variant> row;
        row.reserve(count);
        for (int i = 0; i < count; ++i)
            row << readColumn(st, i, types[i]);
        result.rows << std::move(row);
    }
    // An expression column without a stated type takes the type its values have.
    for (int i = 0; i < count; ++i) {
        auto& column = result.columns[i];
        if (column.type != DataType::Variant || result.rows.isEmpty())
            continue;
        const core::Variant& first = result.rows.front()[i];
        switch (first.type()) {
        case core::VarType::Long:
            column.type = DataType::Integer;
            break;
        case core::VarType::Double:
            column.type = DataType::Double;
            break;
        case core::VarType::String:
            column.type = DataType::VarWChar;
            column.definedSize = 255;
            break;
        case core::VarType::ByteArray:
            column.type = DataType::LongVarBinary;
            break;
        default:
            break;
        }
        if (column.definedSize == 0)
            column.definedSize = jet::fixedSize(column.type);
    }
    return result;
}

void SqliteBackend::begin()
{
    exec(QStringLiteral("BEGIN IMMEDIATE"));
}

void SqliteBackend::beginRead()
{
    exec(QStringLiteral("BEGIN DEFERRED"));
}

void SqliteBackend::commit()
{
    exec(QStringLiteral("COMMIT"));
}

void SqliteBackend::rollback()
{
    ensureOpen();
    if (!sqlite3_get_autocommit(m_db))
        exec(QStringLiteral("ROLLBACK"));
}

void SqliteBackend::savepoint(const QString& name)
{
    exec(QStringLiteral("SAVEPOINT ") + quoted(name));
}

void SqliteBackend::releaseSavepoint(const QString& name)
{
    exec(QStringLiteral("RELEASE ") + quoted(name));
}

void SqliteBackend::rollbackToSavepoint(const QString& name)
{
    exec(QStringLiteral("ROLLBACK TO ") + quoted(name));
    exec(QStringLiteral("RELEASE ") + quoted(name));
}

QStringList SqliteBackend::tableNames()
{
    ensureOpen();
    Statement statement(m_db,
                        QStringLiteral("SELECT name FROM sqlite_master WHERE type='table' "
                                       "AND name NOT LIKE 'sqlite\\_%' ESCAPE '\\' ORDER BY rowid"));
    QStringList names;
    while (statement.step())
        names << statement.text(0);
    return names;
}

int SqliteBackend::schemaVersion()
{
    sqlite3_stmt* statement = cachedStatement(QStringLiteral("PRAGMA schema_version"));
    const int rc = sqlite3_step(statement);
    const int version = rc == SQLITE_ROW ? sqlite3_column_int(statement, 0) : -1;
    sqlite3_reset(statement);
    if (rc != SQLITE_ROW)
        throw errorFrom(m_db, rc, m_path);
    return version;
}

void SqliteBackend::dropStaleTables()
{
    // Another machine may change the schema too: the cache lives as long as the schema version.
    const int version = schemaVersion();
    if (version != m_tablesVersion) {
        m_tables.clear();
        m_tablesVersion = version;
    }
}

TableMeta SqliteBackend::cachedTableMeta(const QString& table)
{
    const QString key = table.toLower();
    auto it = m_tables.find(key);
    if (it == m_tables.end())
        it = m_tables.insert(key, sharedTableMeta(key, table));
    return *it;
}

TableMeta SqliteBackend::sharedTableMeta(const QString& key, const QString& table)
{
    // Inside a transaction this connection may see a schema of its own, not yet
    // (or never) committed: it reads for itself alone.
    const std::optional<FileStamp> stamp = sqlite3_get_autocommit(m_db) && m_tablesVersion >= 0 ? stampOf(m_filePath) : std::nullopt;
    if (!stamp)
        return readTableMeta(table);
    {
        QMutexLocker lock(&sharedTablesMutex);
        auto entry = sharedTables().find(m_filePath);
        if (entry != sharedTables().end() && entry->stamp == *stamp && entry->schemaVersion == m_tablesVersion) {
            auto found = entry->tables.constFind(key);
            if (found != entry->tables.constEnd())
                return *found;
        }
    }
    const TableMeta meta = readTableMeta(table);
    QMutexLocker lock(&sharedTablesMutex);
    SharedTables& entry = sharedTables()[m_filePath];
    if (!(entry.stamp == *stamp) || entry.schemaVersion != m_tablesVersion) {
        entry.tables.clear();
        entry.stamp = *stamp;
        entry.schemaVersion = m_tablesVersion;
    }
    entry.tables.insert(key, meta);
    return meta;
}

TableMeta SqliteBackend::tableMeta(const QString& table)
{
    ensureOpen();
    dropStaleTables();
    return cachedTableMeta(table);
}

QStringList SqliteBackend::indexNames(const QString& table)
{
    const QString name = tableMeta(table).name;
    Statement list(m_db, QStringLiteral("SELECT name FROM sqlite_master WHERE type='index' AND tbl_name=? ORDER BY rowid"), m_path);
    list.bind(1, core::Variant(name));
    QStringList names;
    while (list.step()) {
        const QString jetName = jet::jetIndexName(name, list.text(0));
        if (!jetName.isEmpty())
            names << jetName;
    }
    return names;
}

TableMeta SqliteBackend::readTableMeta(const QString& table)
{
    TableMeta meta;
    {
        Statement exists(m_db, QStringLiteral("SELECT name FROM sqlite_master WHERE type='table' AND name=? COLLATE NOCASE"), m_path);
        exists.bind(1, core::Variant(table));
        if (!exists.step())
            throw errors::noSuchTable(table);
        meta.name = exists.text(0);
    }
    QVector<QPair<int, QString>> keyParts;
    QVector<bool> primaryFlags;
    QStringList declaredTypes;
    {
        Statement info(m_db, QStringLiteral("PRAGMA table_info(%1)").arg(quoted(meta.name)), m_path);
        while (info.step()) {
            ColumnMeta column;
            column.name = info.text(1);
            column.table = meta.name;
            column.column = column.name;
            column.nullable = info.integer(3) == 0;
            const int pk = static_cast<int>(info.integer(5));
            if (pk > 0)
                keyParts << qMakePair(pk, column.name);
            primaryFlags << (pk > 0);
            declaredTypes << info.text(2);
            meta.columns << column;
        }
    }
    std::sort(keyParts.begin(), keyParts.end());
    for (int i = 0; i < meta.columns.size(); ++i) {
        auto& column = meta.columns[i];
        // Only a lone INTEGER PRIMARY KEY is the engine's row id, and so a counter.
        const auto storage = jet::storageTypeFromDeclared(declaredTypes[i], primaryFlags[i] && keyParts.size() == 1);
        column.type = storage.type;
        column.definedSize = storage.definedSize;
        column.autoIncrement = storage.autoIncrement;
        if (column.autoIncrement)
            column.nullable = false;
    }
    for (const auto& part : keyParts)
        meta.primaryKey << part.second;

    // Without a declared key, the index that "WITH PRIMARY" made is the key; any unique index identifies a row.
    QStringList primaryIndex;
    QStringList uniqueIndex;
    {
        Statement list(m_db, QStringLiteral("PRAGMA index_list(%1)").arg(quoted(meta.name)), m_path);
        QVector<QPair<QString, bool>> candidates;
        while (list.step()) {
            if (list.integer(2) == 1 && list.integer(4) == 0)
                candidates << qMakePair(list.text(1), jet::jetIndexName(meta.name, list.text(1))
                                                          .compare(QLatin1String("PrimaryKey"), Qt::CaseInsensitive) == 0);
        }
        for (const auto& candidate : candidates) {
            Statement info(m_db, QStringLiteral("PRAGMA index_info(%1)").arg(quoted(candidate.first)), m_path);
            QStringList columns;
            bool expression = false;
            while (info.step()) {
                if (info.isNull(2))
                    expression = true;
                columns << info.text(2);
            }
            if (expression || columns.isEmpty())
                continue;
            if (candidate.second && primaryIndex.isEmpty())
                primaryIndex = columns;
            else if (uniqueIndex.isEmpty())
                uniqueIndex = columns;
        }
    }
    if (meta.primaryKey.isEmpty())
        meta.primaryKey = primaryIndex;
    meta.rowKey = !meta.primaryKey.isEmpty() ? meta.primaryKey : uniqueIndex;
    return meta;
}

sqlite3_stmt* SqliteBackend::cachedStatement(const QString& sql)
{
    ensureOpen();
    auto it = m_statements.find(sql);
    if (it != m_statements.end()) {
        sqlite3_reset(*it);
        sqlite3_clear_bindings(*it);
        return *it;
    }
    if (m_statements.size() >= 256) {
        // Row writes vary with the columns they touch; keep the cache bounded.
        for (sqlite3_stmt* old : std::as_const(m_statements))
            sqlite3_finalize(old);
        m_statements.clear();
    }
    sqlite3_stmt* statement = nullptr;
    const QByteArray utf8 = sql.toUtf8();
    const int rc = sqlite3_prepare_v3(m_db, utf8.constData(), static_cast<int>(utf8.size()), SQLITE_PREPARE_PERSISTENT,
                                      &statement, nullptr);
    if (rc != SQLITE_OK) {
        sqlite3_finalize(statement);
        throw errorFrom(m_db, rc, m_path);
    }
    m_statements.insert(sql, statement);
    return statement;
}

long SqliteBackend::runCached(const QString& sql, const QVector<core::Variant>& parameters)
{
    sqlite3_stmt* statement = cachedStatement(sql);
    for (int i = 0; i < parameters.size(); ++i)
        check(m_db, bindValue(statement, i + 1, parameters[i]), m_path);
    const int rc = sqlite3_step(statement);
    if (rc != SQLITE_DONE && rc != SQLITE_ROW) {
        const DbError error = errorFrom(m_db, rc, m_path);
        sqlite3_reset(statement);
        throw error;
    }
    sqlite3_reset(statement);
    return sqlite3_changes(m_db);
}

qint64 SqliteBackend::insertRow(const QString& table, const QVector<ColumnValue>& values)
{
    QString sql;
    QVector<core::Variant> parameters;
    if (values.isEmpty()) {
        sql = QStringLiteral("INSERT INTO %1 DEFAULT VALUES").arg(quoted(table));
    } else {
        QStringList columns;
        QStringList marks;
        for (const auto& value : values) {
            columns << quoted(value.column);
            marks << QStringLiteral("?");
            parameters << value.value;
        }
        sql = QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)")
                  .arg(quoted(table), columns.join(QLatin1Char(',')), marks.join(QLatin1Char(',')));
    }
    runCached(sql, parameters);
    return sqlite3_last_insert_rowid(m_db);
}

long SqliteBackend::updateRow(const QString& table, const QVector<ColumnValue>& set, const QVector<ColumnValue>& where,
                              bool onlyOneRow)
{
    QStringList assignments;
    QVector<core::Variant> parameters;
    for (const auto& value : set) {
        assignments << quoted(value.column) + QStringLiteral("=?");
        parameters << value.value;
    }
    const QString sql = QStringLiteral("UPDATE %1 SET %2 WHERE %3")
                            .arg(quoted(table), assignments.join(QLatin1Char(',')),
                                 whereClause(table, where, onlyOneRow, parameters));
    return runCached(sql, parameters);
}

long SqliteBackend::deleteRow(const QString& table, const QVector<ColumnValue>& where, bool onlyOneRow)
{
    QVector<core::Variant> parameters;
    const QString sql =
        QStringLiteral("DELETE FROM %1 WHERE %2").arg(quoted(table), whereClause(table, where, onlyOneRow, parameters));
    return runCached(sql, parameters);
}

QVector<core::Variant> SqliteBackend::fetchRow(const QString& table, qint64 rowId, const QVector<ColumnMeta>& columns)
{
    ensureOpen();
    QStringList names;
    for (const auto& column : columns)
        names << quoted(column.column);
    sqlite3_stmt* statement = cachedStatement(
        QStringLiteral("SELECT %1 FROM %2 WHERE rowid=?").arg(names.join(QLatin1Char(',')), quoted(table)));
    sqlite3_bind_int64(statement, 1, rowId);
    QVector<core::Variant> values;
    const int rc = sqlite3_step(statement);
    if (rc == SQLITE_ROW) {
        for (int i = 0; i < columns.size(); ++i)
            values << readColumn(statement, i, columns[i].type);
    }
    const DbError error = errorFrom(m_db, rc, m_path);
    sqlite3_reset(statement);
    if (rc != SQLITE_ROW && rc != SQLITE_DONE)
        throw error;
    return values;
}

void SqliteBackend::alterColumn(const jet::AlterColumn& change)
{
    ensureOpen();
    const TableMeta meta = tableMeta(change.table);
    bool found = false;
    for (const auto& column : meta.columns)
        found = found || column.name.compare(change.column, Qt::CaseInsensitive) == 0;
    if (!found)
        throw DbError(ErrorKind::NoSuchObject, ErrorNumber::Unspecified,
                      QStringLiteral("Il campo '%1' non esiste nella tabella '%2'.").arg(change.column, meta.name));

    // Column defaults and NOT NULL, which the description of the table leaves out.
    QHash<QString, QPair<bool, QString>> extras;
    {
        Statement info(m_db, QStringLiteral("PRAGMA table_info(%1)").arg(quoted(meta.name)), m_path);
        while (info.step())
            extras.insert(info.text(1).toLower(), qMakePair(info.integer(3) != 0, info.isNull(4) ? QString() : info.text(4)));
    }
    QStringList definitions;
    QStringList columns;
    const bool compositeKey = meta.primaryKey.size() > 1
        || (meta.primaryKey.size() == 1 && std::none_of(meta.columns.begin(), meta.columns.end(), [](const ColumnMeta& c) {
               return c.autoIncrement;
           }));
    for (const auto& column : meta.columns) {
        columns << quoted(column.name);
        QString definition;
        if (column.name.compare(change.column, Qt::CaseInsensitive) == 0) {
            definition = !change.columnDefinition.isEmpty() ? change.columnDefinition
                                                             : jet::declaredColumn(column.name, change.jetType);
            if (definition.isEmpty())
                throw DbError(ErrorKind::Syntax, ErrorNumber::Syntax,
                              QStringLiteral("Tipo di dati '%1' non riconosciuto.").arg(change.jetType));
        } else {
            definition = jet::declaredColumn(column.name, jetTypeName(column));
        }
        const auto extra = extras.value(column.name.toLower());
        const QString upper = definition.toUpper();
        if (extra.first && !column.autoIncrement && !upper.contains(QLatin1String("NOT NULL")))
            definition += QStringLiteral(" NOT NULL");
        if (!extra.second.isEmpty() && !upper.contains(QLatin1String("DEFAULT")))
            definition += QStringLiteral(" DEFAULT ") + extra.second;
        definitions << definition;
    }
    if (compositeKey) {
        QStringList key;
        for (const auto& name : meta.primaryKey)
            key << quoted(name);
        definitions << QStringLiteral("PRIMARY KEY (%1)").arg(key.join(QLatin1Char(',')));
    }

    const QString scope = QStringLiteral("alter_column");
    savepoint(scope);
    try {
        replaceTable(meta.name, QLatin1Char('(') + definitions.join(QStringLiteral(", ")) + QLatin1Char(')'), columns);
        releaseSavepoint(scope);
    } catch (...) {
        try {
            rollbackToSavepoint(scope);
        } catch (...) {
        }
        throw;
    }
    m_tables.clear();
    m_tablesVersion = -1;
}

// SQLite's own recipe for a change it cannot make in place: a new table under a
// temporary name, the rows copied, the old table dropped, the new one renamed,
// its indexes made again and its counter kept where it was (a counter never
// gives a number twice, even after the last rows were deleted). Runs inside the
// caller's transaction or savepoint.
void SqliteBackend::replaceTable(const QString& table, const QString& definition, const QStringList& columns)
{
    QStringList indexes;
    {
        Statement list(m_db, QStringLiteral("SELECT sql FROM sqlite_master WHERE type='index' AND tbl_name=? "
                                            "AND sql IS NOT NULL ORDER BY rowid"), m_path);
        list.bind(1, core::Variant(table));
        while (list.step())
            indexes << list.text(0);
    }
    qint64 sequence = -1;
    {
        Statement hasSequence(m_db, QStringLiteral("SELECT 1 FROM sqlite_master WHERE type='table' AND name='sqlite_sequence'"), m_path);
        if (hasSequence.step()) {
            Statement seq(m_db, QStringLiteral("SELECT seq FROM sqlite_sequence WHERE name=?"), m_path);
            seq.bind(1, core::Variant(table));
            if (seq.step())
                sequence = seq.integer(0);
        }
    }
    const QString rebuilt = table + QStringLiteral("__rebuild");
    exec(QStringLiteral("CREATE TABLE %1 %2").arg(quoted(rebuilt), definition));
    exec(QStringLiteral("INSERT INTO %1 (%2) SELECT %2 FROM %3").arg(quoted(rebuilt), columns.join(QLatin1Char(',')), quoted(table)));
    exec(QStringLiteral("DROP TABLE %1").arg(quoted(table)));
    exec(QStringLiteral("ALTER TABLE %1 RENAME TO %2").arg(quoted(rebuilt), quoted(table)));
    for (const auto& index : indexes)
        exec(index);
    if (sequence >= 0) {
        Statement update(m_db, QStringLiteral("UPDATE sqlite_sequence SET seq=max(seq, ?) WHERE name=?"), m_path);
        update.bind(1, core::Variant::fromInt64(sequence));
        update.bind(2, core::Variant(table));
        update.step();
        if (sqlite3_changes(m_db) == 0) {
            Statement insert(m_db, QStringLiteral("INSERT INTO sqlite_sequence (name, seq) VALUES (?, ?)"), m_path);
            insert.bind(1, core::Variant(table));
            insert.bind(2, core::Variant::fromInt64(sequence));
            insert.step();
        }
    }
}

namespace {

// The collation earlier releases declared on every text column: the layer's
// own, which no other SQLite program knows.
const QRegularExpression& legacyCollation()
{
    static const QRegularExpression re(QStringLiteral("\\bCOLLATE\\s+\"?JETTEXT\"?(?=[\\s,)]|$)"),
                                       QRegularExpression::CaseInsensitiveOption);
    return re;
}

// What follows the table's name in its CREATE TABLE text: "(columns...)".
QString definitionAfterName(const QString& createSql)
{
    static const QRegularExpression head(QStringLiteral("^\\s*CREATE\\s+TABLE\\s+"), QRegularExpression::CaseInsensitiveOption);
    const auto match = head.match(createSql);
    if (!match.hasMatch())
        return {};
    int i = match.capturedEnd();
    const QChar open = i < createSql.size() ? createSql.at(i) : QChar();
    if (open == QLatin1Char('"') || open == QLatin1Char('`') || open == QLatin1Char('[')) {
        const QChar close = open == QLatin1Char('[') ? QLatin1Char(']') : open;
        for (++i; i < createSql.size(); ++i) {
            if (createSql.at(i) != close)
                continue;
            if (close != QLatin1Char(']') && i + 1 < createSql.size() && createSql.at(i + 1) == close) {
                ++i; // a doubled quote inside the name
                continue;
            }
            ++i;
            break;
        }
    } else {
        while (i < createSql.size() && !createSql.at(i).isSpace() && createSql.at(i) != QLatin1Char('('))
            ++i;
    }
    const QString rest = createSql.mid(i).trimmed();
    return rest.startsWith(QLatin1Char('(')) ? rest : QString();
}

} // namespace

int SqliteBackend::upgradeStorage()
{
    ensureOpen();
    struct Legacy {
        QString name;
        QString definition;
    };
    QVector<Legacy> legacy;
    {
        // Only reads, so an up-to-date file needs no write lock.
        Statement list(m_db, QStringLiteral("SELECT name, sql FROM sqlite_master WHERE type='table' AND sql IS NOT NULL "
                                            "ORDER BY rowid"), m_path);
        while (list.step()) {
            const QString sql = list.text(1);
            if (!sql.contains(legacyCollation()))
                continue;
            QString definition = definitionAfterName(sql);
            if (definition.isEmpty())
                throw DbError(ErrorKind::Other, ErrorNumber::Unspecified,
                              QStringLiteral("Impossibile leggere la definizione della tabella '%1'.").arg(list.text(0)));
            definition.replace(legacyCollation(), QStringLiteral("COLLATE NOCASE"));
            legacy.push_back({list.text(0), definition});
        }
    }
    if (legacy.isEmpty())
        return 0;

    const bool ownTransaction = sqlite3_get_autocommit(m_db) != 0;
    const QString scope = QStringLiteral("upgrade_storage");
    if (ownTransaction)
        exec(QStringLiteral("BEGIN IMMEDIATE"));
    else
        savepoint(scope);
    try {
        for (const Legacy& table : legacy) {
            QStringList columns;
            Statement info(m_db, QStringLiteral("PRAGMA table_info(%1)").arg(quoted(table.name)), m_path);
            while (info.step())
                columns << quoted(info.text(1));
            replaceTable(table.name, table.definition, columns);
        }
        // Indexes naming the collation themselves (none of this layer's own do).
        QVector<QPair<QString, QString>> indexes;
        {
            Statement list(m_db, QStringLiteral("SELECT name, sql FROM sqlite_master WHERE type='index' AND sql IS NOT NULL"), m_path);
            while (list.step())
                if (list.text(1).contains(legacyCollation()))
                    indexes.push_back({list.text(0), list.text(1)});
        }
        for (auto& index : indexes) {
            exec(QStringLiteral("DROP INDEX %1").arg(quoted(index.first)));
            exec(index.second.replace(legacyCollation(), QStringLiteral("COLLATE NOCASE")));
        }
        if (ownTransaction)
            exec(QStringLiteral("COMMIT"));
        else
            releaseSavepoint(scope);
    } catch (...) {
        try {
            if (ownTransaction)
                exec(QStringLiteral("ROLLBACK"));
            else
                rollbackToSavepoint(scope);
        } catch (...) {
        }
        m_tables.clear();
        m_tablesVersion = -1;
        throw;
    }
    m_tables.clear();
    m_tablesVersion = -1;
    return static_cast<int>(legacy.size());
}

QString SqliteBackend::quickCheck()
{
    ensureOpen();
    try {
        // One problem is enough to tell; the first is the one reported.
        Statement check(m_db, QStringLiteral("PRAGMA quick_check(1)"), m_path);
        if (!check.step())
            return QStringLiteral("ok");
        const QString problem = check.text(0);
        if (problem != QLatin1String("ok")) {
            m_damaged = true;
            dropKept(m_filePath);
        }
        return problem;
    } catch (const DbError&) {
        m_damaged = true;
        dropKept(m_filePath);
        throw;
    }
}

void SqliteBackend::setBusyTimeout(int milliseconds)
{
    ensureOpen();
    sqlite3_busy_timeout(m_db, milliseconds);
}

bool SqliteBackend::fileInUse(const QString& path)
{
    sqlite3* db = nullptr;
    const QByteArray name = path.toUtf8();
    if (sqlite3_open_v2(name.constData(), &db, SQLITE_OPEN_READWRITE, nullptr) != SQLITE_OK) {
        sqlite3_close_v2(db);
        return false;
    }
    // No wait: a lock held by anyone at this moment is the answer. The exclusive
    // lock waits for no reader, so it fails while another connection reads too.
    sqlite3_busy_timeout(db, 0);
    const int rc = sqlite3_exec(db, "BEGIN EXCLUSIVE", nullptr, nullptr, nullptr);
    const bool busy = (rc & 0xff) == SQLITE_BUSY || (rc & 0xff) == SQLITE_LOCKED;
    if (rc == SQLITE_OK)
        sqlite3_exec(db, "ROLLBACK", nullptr, nullptr, nullptr);
    sqlite3_close_v2(db);
    return busy;
}

void SqliteBackend::createDatabase(const QString& path)
{
    if (QFileInfo::exists(path))
        throw DbError(ErrorKind::AlreadyExists, ErrorNumber::Unspecified,
                      QStringLiteral("Il file '%1' esiste già.").arg(path));
    sqlite3* db = nullptr;
    const QByteArray name = path.toUtf8();
    int rc = sqlite3_open_v2(name.constData(), &db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr);
    if (rc == SQLITE_OK)
        // Writing the header makes the file a database now, not at the first table.
        rc = sqlite3_exec(db, "PRAGMA journal_mode=DELETE; PRAGMA application_id=1129469523;", nullptr, nullptr, nullptr);
    if (rc != SQLITE_OK) {
        const DbError error = errorFrom(db, rc, path);
        sqlite3_close_v2(db);
        throw error;
    }
    sqlite3_close_v2(db);
}

} // namespace db::sqlite

namespace db {

std::unique_ptr<Backend> createBackend()
{
    return std::make_unique<sqlite::SqliteBackend>();
}

void createDatabaseFile(const QString& path)
{
    sqlite::SqliteBackend::createDatabase(path);
}

bool databaseFileInUse(const QString& path)
{
    return sqlite::SqliteBackend::fileInUse(path);
}

} // namespace db
