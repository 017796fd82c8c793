#include "platform/database/RecordsetImpl.h"

#include "platform/database/DbErrors.h"
#include "platform/database/ValueCoercion.h"
#include "platform/database/jet/StorageTypes.h"

#include <algorithm>

namespace db {

// Column values of the stored rows, as criteria read them; one per pass over the
// rows, so each column name is looked up once.
class StoredRowValues : public jet::RowValues {
public:
    explicit StoredRowValues(const RowStore& store) : m_store(store) {}
    void setRow(const Row& row) { m_row = &row; }
    std::optional<core::Variant> value(const QString& column) const override
    {
        auto it = m_indexes.constFind(column);
        if (it == m_indexes.constEnd())
            it = m_indexes.insert(column, indexOf(column));
        if (*it < 0)
            return std::nullopt;
        return m_row->values[*it];
    }

private:
    int indexOf(const QString& column) const
    {
        QString bare = column;
        // Criteria may name a column in brackets.
        if (bare.startsWith(QLatin1Char('[')) && bare.endsWith(QLatin1Char(']')))
            bare = bare.mid(1, bare.size() - 2);
        return m_store.columnIndex.value(bare.toLower(), -1);
    }

    const RowStore& m_store;
    const Row* m_row = nullptr;
    mutable QHash<QString, int> m_indexes;
};

namespace {

bool sameTable(const QString& a, const QString& b)
{
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

} // namespace

// ---------------------------------------------------------------- opening

void RecordsetImpl::open(const QString& source, std::shared_ptr<ConnectionImpl> connection, CursorType cursor,
                         LockType lock, CommandType command)
{
    if (isOpen())
        throw errors::invalidOperation(QStringLiteral("il recordset è già aperto"));
    if (!connection || !connection->isOpen())
        throw errors::objectClosed();
    if (cursor != CursorType::Unspecified)
        cursorType = cursor;
    if (lock != LockType::Unspecified)
        lockType = lock;
    if (lockType == LockType::Unspecified)
        lockType = LockType::ReadOnly;

    const QString jetSql = command == CommandType::Table ? QStringLiteral("SELECT * FROM [%1]").arg(source) : source;
    const jet::Translation translation = connection->translate(jetSql);
    if (translation.kind != jet::StatementKind::Select) {
        // A statement that returns no rows runs, and the recordset stays closed.
        connection->execute(jetSql);
        return;
    }
    ResultSet result = connection->backend().query(translation.sql, translation.resultTypes);
    auto store = std::make_shared<RowStore>();
    store->source = source;
    store->jetSql = jetSql;
    m_store = store;
    m_connection = std::move(connection);
    try {
        fill(std::move(result));
    } catch (...) {
        m_store.reset();
        throw;
    }
    resetCursor();
}

void RecordsetImpl::fill(ResultSet result)
{
    m_store->setColumns(std::move(result.columns));
    m_store->tables.clear();
    for (const auto& column : std::as_const(m_store->columns)) {
        if (!column.table.isEmpty() && !m_store->tables.contains(column.table.toLower()))
            m_store->tables.insert(column.table.toLower(), m_connection->backend().tableMeta(column.table));
    }
    m_store->rows.clear();
    m_store->rows.reserve(static_cast<size_t>(result.rows.size()));
    for (auto& values : result.rows)
        m_store->addRow(std::move(values));
    m_store->lastBatch.clear();
    ++m_store->fills;
    ++m_store->generation;
}

void RecordsetImpl::appendField(const FieldDefinition& definition)
{
    if (isOpen())
        throw errors::invalidOperation(QStringLiteral("impossibile aggiungere campi a un recordset aperto"));
    m_pendingFields << definition;
}

void RecordsetImpl::openFabricated()
{
    if (isOpen())
        throw errors::invalidOperation(QStringLiteral("il recordset è già aperto"));
    if (m_pendingFields.isEmpty())
        throw errors::invalidOperation(QStringLiteral("il recordset non ha campi"));
    QVector<ColumnMeta> columns;
    for (const auto& definition : std::as_const(m_pendingFields)) {
        ColumnMeta column;
        column.name = definition.name;
        column.type = definition.type;
        column.definedSize = definition.definedSize > 0 ? definition.definedSize : jet::fixedSize(definition.type);
        column.nullable = definition.nullable;
        columns << column;
    }
    auto store = std::make_shared<RowStore>();
    store->fabricated = true;
    store->setColumns(std::move(columns));
    m_store = store;
    if (lockType == LockType::Unspecified || lockType == LockType::ReadOnly)
        lockType = LockType::BatchOptimistic;
    resetCursor();
}

void RecordsetImpl::close()
{
    m_store.reset();
    m_connection.reset();
    m_pendingFields.clear();
    m_view.clear();
    m_current.reset();
    m_beforeAdd.reset();
    m_viewValid = false;
    m_position = 0;
    m_currentGone = false;
    m_filterText.clear();
    m_criteria.reset();
    m_filterGroup = FilterGroup::None;
    m_sortKeys.clear();
    m_sortText.clear();
    m_keepVisible.clear();
    m_editMode = EditMode::None;
}

QString RecordsetImpl::source() const
{
    return m_store ? m_store->source : QString();
}

void RecordsetImpl::setConnection(std::shared_ptr<ConnectionImpl> connection)
{
    m_connection = std::move(connection);
}

void RecordsetImpl::ensureOpen() const
{
    if (!m_store)
        throw errors::objectClosed();
}

void RecordsetImpl::ensureEditable() const
{
    ensureOpen();
    if (lockType == LockType::ReadOnly)
        throw errors::readOnlyRecordset();
}

void RecordsetImpl::resetCursor()
{
    m_viewValid = false;
    m_current.reset();
    m_currentGone = false;
    m_editMode = EditMode::None;
    m_position = 0;
    sync();
    setPosition(0);
}

// ---------------------------------------------------------------- the view

void RecordsetImpl::sync()
{
    if (!m_viewValid || m_viewGeneration != m_store->generation)
        rebuildView();
}

bool RecordsetImpl::visibleByFilter(const Row& row, StoredRowValues& values) const
{
    switch (m_filterGroup) {
    case FilterGroup::PendingRecords:
        return row.isPending();
    case FilterGroup::ConflictingRecords:
        return (row.status & RecordStatus::ConcurrencyViolation) != 0;
    case FilterGroup::AffectedRecords:
        return m_store->lastBatch.contains(row.bookmark);
    default:
        break;
    }
    if (row.status & RecordStatus::Deleted)
        return false;
    if (m_criteria) {
        values.setRow(row);
        return m_criteria->matches(values);
    }
    return true;
}

void RecordsetImpl::rebuildView()
{
    const bool wasAtEnd = !m_current && !m_view.empty() && m_position >= static_cast<int>(m_view.size());
    std::vector<RowPtr> view;
    view.reserve(m_store->rows.size());
    std::vector<RowPtr> kept;
    StoredRowValues values(*m_store);
    for (const auto& row : m_store->rows) {
        if (!m_keepVisible.isEmpty() && m_keepVisible.contains(row->bookmark)) {
            if (!(row->status & RecordStatus::Deleted) || m_filterGroup != FilterGroup::None)
                kept.push_back(row);
            continue;
        }
        if (visibleByFilter(*row, values))
            view.push_back(row);
    }
    // Keys of columns a requery took away are dropped.
    const int columnCount = m_store->columns.size();
    m_sortKeys.erase(std::remove_if(m_sortKeys.begin(), m_sortKeys.end(),
                                    [columnCount](const SortKey& key) { return key.column >= columnCount; }),
                     m_sortKeys.end());
    if (!m_sortKeys.isEmpty()) {
        // Keys are worked out once per row, not at every comparison.
        const qsizetype width = m_sortKeys.size();
        std::vector<SortValue> keys(view.size() * static_cast<size_t>(width));
        std::vector<size_t> order(view.size());
        for (size_t r = 0; r < view.size(); ++r) {
            order[r] = r;
            for (qsizetype k = 0; k < width; ++k)
                keys[r * width + k] = sortValueOf(view[r]->values[m_sortKeys[k].column]);
        }
        const auto sortKeys = m_sortKeys;
        std::stable_sort(order.begin(), order.end(), [&](size_t a, size_t b) {
            for (qsizetype k = 0; k < width; ++k) {
                const int c = compareSortValues(keys[a * width + k], keys[b * width + k]);
                if (c != 0)
                    return sortKeys[k].descending ? c > 0 : c < 0;
            }
            return false;
        });
        std::vector<RowPtr> sorted;
        sorted.reserve(view.size());
        for (const size_t r : order)
            sorted.push_back(std::move(view[r]));
        view = std::move(sorted);
    }
    // Rows added here stay in sight, at the end, until the filter or the sort is set again.
    view.insert(view.end(), kept.begin(), kept.end());
    m_view = std::move(view);
    m_viewGeneration = m_store->generation;
    m_viewValid = true;

    const int size = static_cast<int>(m_view.size());
    if (m_current) {
        const auto it = std::find(m_view.begin(), m_view.end(), m_current);
        if (it != m_view.end()) {
            m_position = static_cast<int>(it - m_view.begin());
            m_currentGone = false;
        } else {
            // The current row left the view (deleted): it stays current until the cursor moves.
            m_currentGone = true;
            m_position = std::clamp(m_position, -1, size);
        }
    } else {
        m_position = wasAtEnd ? size : std::clamp(m_position, -1, size);
    }
}

void RecordsetImpl::setPosition(int index)
{
    const int size = static_cast<int>(m_view.size());
    m_position = std::clamp(index, -1, size);
    m_current = (m_position >= 0 && m_position < size) ? m_view[static_cast<size_t>(m_position)] : nullptr;
    m_currentGone = false;
    m_chunkColumn = -1;
    m_chunkOffset = 0;
    m_appendColumn = -1;
    m_appendBuffer.clear();
}

bool RecordsetImpl::hasCurrent()
{
    sync();
    return m_current && !m_currentGone;
}

Row& RecordsetImpl::currentRow()
{
    ensureOpen();
    sync();
    if (!m_current)
        throw errors::noCurrentRecord();
    return *m_current;
}

// ---------------------------------------------------------------- navigation

bool RecordsetImpl::eof()
{
    ensureOpen();
    sync();
    if (m_view.empty())
        return !m_current || m_currentGone;
    return m_position >= static_cast<int>(m_view.size());
}

bool RecordsetImpl::bof()
{
    ensureOpen();
    sync();
    if (m_view.empty())
        return !m_current || m_currentGone;
    return m_position < 0;
}

void RecordsetImpl::finishEdit()
{
    if (m_editMode != EditMode::None)
        update();
}

void RecordsetImpl::moveFirst()
{
    ensureOpen();
    finishEdit();
    sync();
    setPosition(0);
}

void RecordsetImpl::moveLast()
{
    ensureOpen();
    finishEdit();
    sync();
    setPosition(static_cast<int>(m_view.size()) - 1);
}

void RecordsetImpl::moveNext()
{
    ensureOpen();
    finishEdit();
    sync();
    if (m_currentGone) {
        setPosition(m_position);
        return;
    }
    if (m_position >= static_cast<int>(m_view.size()))
        throw errors::noCurrentRecord();
    setPosition(m_position + 1);
}

void RecordsetImpl::movePrevious()
{
    ensureOpen();
    finishEdit();
    sync();
    if (m_currentGone) {
        setPosition(m_position - 1);
        return;
    }
    if (m_position < 0)
        throw errors::noCurrentRecord();
    setPosition(m_position - 1);
}

void RecordsetImpl::move(int rows)
{
    ensureOpen();
    finishEdit();
    sync();
    if (rows == 0)
        return;
    int base = m_position;
    if (m_currentGone && rows > 0)
        --base;
    setPosition(base + rows);
}

int RecordsetImpl::recordCount()
{
    ensureOpen();
    sync();
    return static_cast<int>(m_view.size());
}

int RecordsetImpl::absolutePosition()
{
    ensureOpen();
    return hasCurrent() ? m_position + 1 : 0;
}

void RecordsetImpl::setAbsolutePosition(int position)
{
    ensureOpen();
    finishEdit();
    sync();
    if (position < 1 || position > static_cast<int>(m_view.size()))
        throw errors::invalidOperation(QStringLiteral("posizione %1 fuori dal recordset").arg(position));
    setPosition(position - 1);
}

Bookmark RecordsetImpl::bookmark()
{
    return currentRow().bookmark;
}

void RecordsetImpl::setBookmark(Bookmark bookmark)
{
    ensureOpen();
    finishEdit();
    sync();
    for (size_t i = 0; i < m_view.size(); ++i) {
        if (m_view[i]->bookmark == bookmark) {
            setPosition(static_cast<int>(i));
            return;
        }
    }
    throw errors::invalidOperation(QStringLiteral("il segnalibro non indica un record del recordset"));
}

// ---------------------------------------------------------------- fields

int RecordsetImpl::fieldCount() const
{
    if (m_store)
        return m_store->columns.size();
    return m_pendingFields.size();
}

int RecordsetImpl::fieldIndex(const QString& name) const
{
    if (!m_store) {
        for (int i = 0; i < m_pendingFields.size(); ++i) {
            if (m_pendingFields[i].name.compare(name, Qt::CaseInsensitive) == 0)
                return i;
        }
        return -1;
    }
    return m_store->columnIndex.value(name.toLower(), -1);
}

int RecordsetImpl::checkedIndex(const QString& name) const
{
    const int index = fieldIndex(name);
    if (index < 0)
        throw errors::itemNotFound(name);
    return index;
}

const ColumnMeta& RecordsetImpl::column(int index) const
{
    ensureOpen();
    if (index < 0 || index >= m_store->columns.size())
        throw errors::itemNotFound(QString::number(index));
    return m_store->columns[index];
}

core::Variant RecordsetImpl::value(int index)
{
    column(index);
    Row& row = currentRow();
    if (index >= row.values.size())
        throw errors::noCurrentRecord(); // a row of before a requery
    if (m_currentGone && (row.status & RecordStatus::Deleted))
        return row.originalValues()[index];
    return row.values[index];
}

RowPtr RecordsetImpl::currentShared()
{
    currentRow();
    return m_current;
}

core::Variant RecordsetImpl::originalValue(int index)
{
    column(index);
    const Row& row = currentRow();
    if (index >= row.originalValues().size())
        throw errors::noCurrentRecord();
    return row.originalValues()[index];
}

void RecordsetImpl::beginEdit(Row& row)
{
    m_editBackup = row.values;
    m_editHadOriginal = !row.original.isEmpty();
    m_editStatusBackup = row.status;
    if (row.original.isEmpty() && !(row.status & RecordStatus::New))
        row.original = row.values;
    m_editMode = EditMode::InProgress;
}

void RecordsetImpl::setValue(int index, const core::Variant& value)
{
    ensureEditable();
    const ColumnMeta& meta = column(index);
    Row& row = currentRow();
    if (m_currentGone || index >= row.values.size())
        throw errors::noCurrentRecord();
    core::Variant stored = coerceToColumn(value, meta);
    if (meta.autoIncrement && !(row.status & RecordStatus::New) && !(stored == row.values[index]))
        throw errors::invalidOperation(QStringLiteral("il campo contatore '%1' non può essere modificato").arg(meta.name));
    if (m_editMode == EditMode::None)
        beginEdit(row);
    row.values[index] = std::move(stored);
    if (row.status & RecordStatus::New) {
        if (row.assigned.size() != row.values.size())
            row.assigned.resize(row.values.size());
        row.assigned[index] = true;
    }
}

void RecordsetImpl::appendChunk(int index, const QByteArray& bytes)
{
    const ColumnMeta& meta = column(index);
    // The first chunk after a move replaces the value; the next ones add to it.
    if (m_appendColumn != index) {
        m_appendColumn = index;
        m_appendBuffer.clear();
    }
    m_appendBuffer += bytes;
    const QByteArray buffer = m_appendBuffer;
    const int column = m_appendColumn;
    if (meta.type == DataType::VarWChar || meta.type == DataType::LongVarWChar)
        setValue(index, core::Variant(QString::fromUtf8(buffer)));
    else
        setValue(index, core::Variant(buffer));
    m_appendColumn = column;
    m_appendBuffer = buffer;
}

QByteArray RecordsetImpl::getChunk(int index, int length)
{
    const core::Variant current = value(index);
    if (current.isEmptyOrNull())
        return {};
    const QByteArray bytes = current.isBytes() ? current.toBytes() : current.toString().toUtf8();
    if (m_chunkColumn != index) {
        m_chunkColumn = index;
        m_chunkOffset = 0;
    }
    const QByteArray chunk = bytes.mid(m_chunkOffset, std::max(0, length));
    m_chunkOffset += chunk.size();
    return chunk;
}

// ---------------------------------------------------------------- editing

bool RecordsetImpl::writesAtOnce() const
{
    return (lockType == LockType::Optimistic || lockType == LockType::Pessimistic) && !m_store->fabricated
        && isConnected();
}

void RecordsetImpl::addNew()
{
    ensureEditable();
    finishEdit();
    sync();
    m_beforeAdd = m_currentGone ? nullptr : m_current;
    const int count = m_store->columns.size();
    const bool inSync = m_viewValid && m_viewGeneration == m_store->generation;
    RowPtr row = m_store->addRow(QVector<core::Variant>(count, core::Variant::null()));
    row->status = RecordStatus::New;
    row->assigned = QVector<bool>(count, false);
    ++m_store->generation;
    m_keepVisible.insert(row->bookmark);
    m_current = row;
    if (inSync) {
        // Filling a recordset row by row must not rebuild the view each time.
        m_view.push_back(row);
        m_viewGeneration = m_store->generation;
        m_position = static_cast<int>(m_view.size()) - 1;
    } else {
        rebuildView();
    }
    setPosition(m_position);
    m_editBackup.clear();
    m_editHadOriginal = false;
    m_editStatusBackup = row->status;
    m_editMode = EditMode::Add;
}

void RecordsetImpl::update()
{
    ensureOpen();
    if (m_editMode == EditMode::None)
        return;
    Row& row = currentRow();
    const EditMode was = m_editMode;
    if (was == EditMode::InProgress && !(row.status & RecordStatus::New)) {
        bool changed = false;
        for (int i = 0; i < row.values.size() && !changed; ++i)
            changed = !(row.values[i] == row.original[i]);
        if (changed) {
            row.status = (row.status & ~RecordStatus::Unmodified) | RecordStatus::Modified;
        } else if (!m_editHadOriginal) {
            row.original.clear();
        }
    }
    m_editMode = EditMode::None;
    if (writesAtOnce() && row.isPending()) {
        try {
            writeRows({m_current});
        } catch (...) {
            // The edit stays open: the caller may correct it or cancel it.
            m_editMode = was;
            throw;
        }
    }
}

void RecordsetImpl::cancelUpdate()
{
    ensureOpen();
    if (m_editMode == EditMode::None)
        return;
    Row& row = currentRow();
    if (m_editMode == EditMode::Add) {
        m_editMode = EditMode::None;
        RowPtr back = m_beforeAdd;
        removeRows({row.bookmark});
        sync();
        const auto it = back ? std::find(m_view.begin(), m_view.end(), back) : m_view.end();
        setPosition(it != m_view.end() ? static_cast<int>(it - m_view.begin()) : static_cast<int>(m_view.size()) - 1);
        return;
    }
    row.values = m_editBackup;
    if (!m_editHadOriginal)
        row.original.clear();
    row.status = m_editStatusBackup;
    m_editMode = EditMode::None;
}

void RecordsetImpl::deleteRecord(AffectRecords affect)
{
    ensureEditable();
    sync();
    std::vector<RowPtr> rows;
    if (affect == AffectRecords::Current) {
        if (m_editMode == EditMode::Add) {
            cancelUpdate();
            return;
        }
        cancelUpdate();
        currentRow();
        if (m_currentGone)
            throw errors::noCurrentRecord();
        rows.push_back(m_current);
    } else {
        finishEdit();
        sync();
        if (affect == AffectRecords::Group) {
            rows = m_view;
        } else {
            for (const auto& row : m_store->rows) {
                if (!(row->status & RecordStatus::Deleted))
                    rows.push_back(row);
            }
        }
    }

    const bool inSync = m_viewValid && m_viewGeneration == m_store->generation;
    std::vector<std::pair<RowPtr, Row>> before;
    QSet<Bookmark> dropped;
    std::vector<RowPtr> toWrite;
    for (const auto& row : rows) {
        if (row->status & RecordStatus::New) {
            dropped.insert(row->bookmark); // never written: nothing to delete
            continue;
        }
        before.emplace_back(row, *row);
        if (!row->original.isEmpty())
            row->values = row->original;
        row->original.clear();
        row->status = RecordStatus::Deleted;
        toWrite.push_back(row);
    }
    ++m_store->generation;
    if (inSync && affect == AffectRecords::Current && dropped.isEmpty() && m_filterGroup == FilterGroup::None) {
        // Deleting row after row must not rebuild the view each time.
        const auto it = std::find(m_view.begin(), m_view.end(), m_current);
        if (it != m_view.end()) {
            m_view.erase(it);
            m_currentGone = true;
            m_viewGeneration = m_store->generation;
        }
    }
    if (writesAtOnce() && !toWrite.empty()) {
        try {
            writeRows(toWrite);
        } catch (...) {
            for (auto& [row, copy] : before)
                *row = copy;
            ++m_store->generation;
            throw;
        }
    }
    if (!dropped.isEmpty())
        removeRows(dropped);
}

std::vector<RowPtr> RecordsetImpl::pendingRows(AffectRecords affect)
{
    std::vector<RowPtr> rows;
    if (affect == AffectRecords::Current) {
        if (m_current && m_current->isPending())
            rows.push_back(m_current);
        return rows;
    }
    if (affect == AffectRecords::Group) {
        for (const auto& row : m_view) {
            if (row->isPending())
                rows.push_back(row);
        }
        return rows;
    }
    for (const auto& row : m_store->rows) {
        if (row->isPending())
            rows.push_back(row);
    }
    return rows;
}

void RecordsetImpl::updateBatch(AffectRecords affect)
{
    ensureEditable();
    sync();
    finishEdit();
    const std::vector<RowPtr> rows = pendingRows(affect);
    if (rows.empty())
        return;
    if (m_store->fabricated)
        throw errors::notSupported(QStringLiteral("aggiornamento di un recordset creato in memoria"));
    if (!isConnected())
        throw errors::invalidOperation(QStringLiteral("il recordset non è collegato a una connessione aperta"));
    writeRows(rows);
}

void RecordsetImpl::cancelBatch(AffectRecords affect)
{
    ensureOpen();
    if (m_editMode != EditMode::None)
        cancelUpdate();
    sync();
    QSet<Bookmark> dropped;
    for (const auto& row : pendingRows(affect)) {
        if (row->status & RecordStatus::New) {
            dropped.insert(row->bookmark);
            continue;
        }
        if (!row->original.isEmpty())
            row->values = row->original;
        row->original.clear();
        row->status = RecordStatus::Unmodified;
    }
    ++m_store->generation;
    removeRows(dropped);
    sync();
}

int RecordsetImpl::status()
{
    return currentRow().status;
}

void RecordsetImpl::removeRows(const QSet<Bookmark>& bookmarks)
{
    if (bookmarks.isEmpty())
        return;
    auto& rows = m_store->rows;
    rows.erase(std::remove_if(rows.begin(), rows.end(),
                              [&bookmarks](const RowPtr& row) { return bookmarks.contains(row->bookmark); }),
               rows.end());
    for (const Bookmark b : bookmarks)
        m_keepVisible.remove(b);
    ++m_store->generation;
}

// ---------------------------------------------------------------- writing

QStringList RecordsetImpl::baseTables() const
{
    QStringList tables;
    for (const auto& column : std::as_const(m_store->columns)) {
        if (column.table.isEmpty())
            continue;
        bool known = false;
        for (const auto& table : std::as_const(tables))
            known = known || sameTable(table, column.table);
        if (!known)
            tables << column.table;
    }
    return tables;
}

QVector<int> RecordsetImpl::columnsOf(const QString& table) const
{
    QVector<int> indexes;
    for (int i = 0; i < m_store->columns.size(); ++i) {
        if (sameTable(m_store->columns[i].table, table))
            indexes << i;
    }
    return indexes;
}

void RecordsetImpl::writeRows(const std::vector<RowPtr>& rows)
{
    Backend& backend = m_connection->backend();
    for (const auto& row : rows)
        row->status &= ~RecordStatus::ConcurrencyViolation;
    std::vector<std::pair<RowPtr, Row>> before;
    before.reserve(rows.size());
    for (const auto& row : rows)
        before.emplace_back(row, *row);

    // Inside the caller's transaction a savepoint lets a failed batch undo only itself.
    const bool ownTransaction = !m_connection->inTransaction();
    const QString scope = QStringLiteral("batch_update");
    if (ownTransaction)
        backend.begin();
    else
        backend.savepoint(scope);
    RowPtr failing;
    try {
        for (const auto& row : rows) {
            failing = row;
            writeRow(backend, *row);
        }
        failing.reset();
        if (ownTransaction)
            backend.commit();
        else
            backend.releaseSavepoint(scope);
    } catch (...) {
        try {
            if (ownTransaction)
                backend.rollback();
            else
                backend.rollbackToSavepoint(scope);
        } catch (...) {
        }
        // Nothing of the batch is kept: every pending edit stays for a retry or a cancel,
        // and counters read back from the undone inserts are forgotten.
        for (auto& [row, copy] : before)
            *row = copy;
        if (failing)
            failing->status |= RecordStatus::ConcurrencyViolation;
        ++m_store->generation;
        throw;
    }

    if (!ownTransaction) {
        // Should the caller roll back, the rows are pending again, as if the batch never ran.
        std::weak_ptr<RowStore> weakStore = m_store;
        const int fills = m_store->fills;
        std::vector<RowPtr> rowsBefore = m_store->rows;
        m_connection->onRollback([weakStore, fills, rowsBefore = std::move(rowsBefore), before]() {
            const auto store = weakStore.lock();
            if (!store || store->fills != fills)
                return;
            for (const auto& [row, copy] : before)
                *row = copy;
            QSet<Bookmark> known;
            for (const auto& row : rowsBefore)
                known.insert(row->bookmark);
            std::vector<RowPtr> rows = rowsBefore;
            for (const auto& row : store->rows) {
                if (!known.contains(row->bookmark))
                    rows.push_back(row);
            }
            store->rows = std::move(rows);
            ++store->generation;
        });
    }

    QSet<Bookmark> deleted;
    m_store->lastBatch.clear();
    for (const auto& row : rows) {
        m_store->lastBatch << row->bookmark;
        if (row->status & RecordStatus::Deleted) {
            deleted.insert(row->bookmark);
            continue;
        }
        row->original.clear();
        row->assigned.clear();
        row->status = RecordStatus::Unmodified;
    }
    ++m_store->generation;
    removeRows(deleted);
}

void RecordsetImpl::writeRow(Backend& backend, Row& row)
{
    if (row.status & RecordStatus::Deleted)
        deleteRow(backend, row);
    else if (row.status & RecordStatus::New)
        insertRow(backend, row);
    else if (row.status & RecordStatus::Modified)
        updateRow(backend, row);
}

void RecordsetImpl::insertRow(Backend& backend, Row& row)
{
    const QStringList tables = baseTables();
    if (tables.isEmpty())
        throw errors::notSupported(QStringLiteral("inserimento in un recordset senza tabella di origine"));
    bool written = false;
    for (const QString& table : tables) {
        const QVector<int> indexes = columnsOf(table);
        QVector<ColumnValue> values;
        for (const int i : indexes) {
            const ColumnMeta& meta = m_store->columns[i];
            if (!row.assigned.value(i))
                continue;
            if (meta.autoIncrement && row.values[i].isEmptyOrNull())
                continue;
            values << ColumnValue{meta.column, meta.type, row.values[i]};
        }
        // A table of a join that got no value gets no row; the first table always gets one.
        if (values.isEmpty() && written)
            continue;
        const qint64 rowId = backend.insertRow(table, values);
        written = true;
        QVector<ColumnMeta> columns;
        for (const int i : indexes)
            columns << m_store->columns[i];
        // Read the row back: the counter and the defaults are what the file holds now.
        const QVector<core::Variant> stored = backend.fetchRow(table, rowId, columns);
        for (int k = 0; k < stored.size(); ++k)
            row.values[indexes[k]] = stored[k];
    }
}

QVector<ColumnValue> RecordsetImpl::keyTests(const QString& table, const Row& row, bool* unique) const
{
    const QVector<core::Variant>& original = row.originalValues();
    const QVector<int> indexes = columnsOf(table);
    const TableMeta meta = m_store->tables.value(table.toLower());
    QVector<ColumnValue> tests;
    if (!meta.rowKey.isEmpty()) {
        for (const QString& key : meta.rowKey) {
            for (const int i : indexes) {
                if (m_store->columns[i].column.compare(key, Qt::CaseInsensitive) == 0) {
                    tests << ColumnValue{m_store->columns[i].column, m_store->columns[i].type, original[i]};
                    break;
                }
            }
        }
        if (tests.size() == meta.rowKey.size()) {
            *unique = true;
            return tests;
        }
        tests.clear();
    }
    // No key among the columns: the row is found by every value it had.
    *unique = false;
    for (const int i : indexes)
        tests << ColumnValue{m_store->columns[i].column, m_store->columns[i].type, original[i]};
    return tests;
}

void RecordsetImpl::updateRow(Backend& backend, Row& row)
{
    const QVector<core::Variant>& original = row.originalValues();
    for (const QString& table : baseTables()) {
        QVector<ColumnValue> set;
        QVector<ColumnValue> changed;
        for (const int i : columnsOf(table)) {
            if (row.values[i] == original[i])
                continue;
            const ColumnMeta& meta = m_store->columns[i];
            set << ColumnValue{meta.column, meta.type, row.values[i]};
            changed << ColumnValue{meta.column, meta.type, original[i]};
        }
        if (set.isEmpty())
            continue;
        bool unique = false;
        QVector<ColumnValue> where = keyTests(table, row, &unique);
        if (unique)
            where += changed;
        if (backend.updateRow(table, set, where, !unique) == 0)
            throw errors::conflict();
    }
}

void RecordsetImpl::deleteRow(Backend& backend, Row& row)
{
    const QStringList tables = baseTables();
    if (tables.isEmpty())
        throw errors::notSupported(QStringLiteral("eliminazione da un recordset senza tabella di origine"));
    // The row of a join is deleted from its first table only.
    const QString& table = tables.front();
    bool unique = false;
    QVector<ColumnValue> where = keyTests(table, row, &unique);
    if (unique) {
        // A row another user changed since it was read is a conflict, not a silent delete.
        const QVector<core::Variant>& original = row.originalValues();
        for (const int i : columnsOf(table)) {
            const ColumnMeta& meta = m_store->columns[i];
            if (!meta.autoIncrement)
                where << ColumnValue{meta.column, meta.type, original[i]};
        }
    }
    if (backend.deleteRow(table, where, !unique) == 0)
        throw errors::conflict();
}

// ---------------------------------------------------------------- filter, sort, clone

void RecordsetImpl::setFilter(const QString& criteria)
{
    ensureOpen();
    finishEdit();
    if (criteria.trimmed().isEmpty()) {
        m_criteria.reset();
    } else {
        jet::Criteria parsed = jet::Criteria::parse(criteria);
        // An unknown column is refused here, not at every look at the rows.
        for (QString name : parsed.columns()) {
            if (name.startsWith(QLatin1Char('[')) && name.endsWith(QLatin1Char(']')))
                name = name.mid(1, name.size() - 2);
            checkedIndex(name);
        }
        m_criteria = std::move(parsed);
    }
    m_filterText = criteria.trimmed().isEmpty() ? QString() : criteria;
    m_filterGroup = FilterGroup::None;
    m_keepVisible.clear();
    m_viewValid = false;
    m_current.reset();
    sync();
    setPosition(0);
}

void RecordsetImpl::setFilter(FilterGroup group)
{
    ensureOpen();
    finishEdit();
    m_criteria.reset();
    m_filterText.clear();
    m_filterGroup = group == FilterGroup::FetchedRecords ? FilterGroup::None : group;
    m_keepVisible.clear();
    m_viewValid = false;
    m_current.reset();
    sync();
    setPosition(0);
}

QString RecordsetImpl::filter() const
{
    if (m_filterGroup != FilterGroup::None)
        return QString::number(static_cast<int>(m_filterGroup));
    return m_filterText;
}

void RecordsetImpl::setSort(const QString& sort)
{
    ensureOpen();
    finishEdit();
    QVector<SortKey> keys;
    for (QString part : sort.split(QLatin1Char(','), Qt::SkipEmptyParts)) {
        part = part.trimmed();
        if (part.isEmpty())
            continue;
        SortKey key;
        const QString upper = part.toUpper();
        if (upper.endsWith(QLatin1String(" DESC"))) {
            key.descending = true;
            part.chop(5);
        } else if (upper.endsWith(QLatin1String(" ASC"))) {
            part.chop(4);
        }
        part = part.trimmed();
        if (part.startsWith(QLatin1Char('[')) && part.endsWith(QLatin1Char(']')))
            part = part.mid(1, part.size() - 2);
        key.column = checkedIndex(part);
        keys << key;
    }
    m_sortKeys = keys;
    m_sortText = sort;
    m_keepVisible.clear();
    m_viewValid = false;
    m_current.reset();
    sync();
    setPosition(0);
}

std::shared_ptr<RecordsetImpl> RecordsetImpl::clone(LockType lock) const
{
    ensureOpen();
    auto copy = std::make_shared<RecordsetImpl>();
    copy->m_store = m_store;
    copy->m_connection = m_connection;
    copy->cursorType = cursorType;
    copy->cursorLocation = cursorLocation;
    copy->lockType = lock == LockType::Unspecified ? lockType : lock;
    copy->resetCursor();
    return copy;
}

void RecordsetImpl::requery()
{
    ensureOpen();
    if (m_store->fabricated)
        throw errors::notSupported(QStringLiteral("nuova lettura di un recordset creato in memoria"));
    if (!isConnected())
        throw errors::objectClosed();
    m_editMode = EditMode::None;
    const jet::Translation translation = m_connection->translate(m_store->jetSql);
    fill(m_connection->backend().query(translation.sql, translation.resultTypes));
    m_keepVisible.clear();
    resetCursor();
}

} // namespace db
