#pragma once

#include "platform/core/Variant.h"
#include "platform/database/Connection.h"
#include "platform/database/Field.h"
#include "platform/database/Types.h"

#include <QString>
#include <QVector>
#include <memory>

namespace db {

class RecordsetImpl;
struct Row;

// One stored row of a recordset, held without a copy of its values: it reads
// what the recordset holds now (an edit through any cursor shows in it), and
// the row stays readable, as last held, after a requery or a close.
class RowHandle {
public:
    RowHandle() = default;
    bool isNull() const { return !m_row; }
    Bookmark bookmark() const;
    // The value of field `index`; Empty outside the row.
    const core::Variant& value(int index) const;

private:
    friend class Recordset;
    explicit RowHandle(std::shared_ptr<const Row> row) : m_row(std::move(row)) {}
    std::shared_ptr<const Row> m_row;
};

// A set of rows with a cursor, always fetched whole into memory (client-side):
// the cursor types differ only in what moving backwards allows.
//
// A handle: copies refer to the same recordset and cursor. `clone()` makes a
// second cursor over the same rows: an edit through one is seen through the
// other, while each has its own position, filter and sort.
//
// Lock types:
// - ReadOnly: no edits.
// - Optimistic: `update()` writes the current row at once.
// - BatchOptimistic: `update()` keeps the edit in memory; `updateBatch()` writes
//   every pending row in one transaction (or in the caller's open transaction).
// Writes find their row by its key and the original values of the columns
// that changed: a row changed or deleted by another user is a Conflict error,
// never a silent overwrite. After a failed batch every pending edit stays, so
// the caller can retry or cancel. Counter (auto-number) values are read back
// into the row after an insert.
//
// A recordset can be disconnected (`disconnect()`, the active connection set to
// none) and attached again to another connection before `updateBatch()`.
// A batch written inside the caller's transaction becomes pending again (counters
// forgotten, deleted rows back) when that transaction rolls back.
//
// Editing: setting a value starts an edit; moving off an
// edited row updates it; a deleted row stays current (hidden from the others)
// until the cursor moves; added rows show at the end; a lock left Unspecified
// opens read-only (a fabricated recordset: batch-optimistic).
class Recordset {
public:
    Recordset();
    ~Recordset();
    Recordset(const Recordset&);
    Recordset& operator=(const Recordset&);

    // Settings for the next open (also passable to open()).
    void setCursorLocation(CursorLocation location);
    void setCursorType(CursorType type);
    void setLockType(LockType type);
    CursorType cursorType() const;
    LockType lockType() const;

    // Opens on an SQL text (CommandType::Text) or a table name (CommandType::Table).
    void open(const QString& source, const Connection& connection, CursorType cursor = CursorType::Unspecified,
              LockType lock = LockType::Unspecified, CommandType command = CommandType::Text);
    // The same on a connection of its own, opened on the connection string.
    void open(const QString& source, const QString& connectionString, CursorType cursor = CursorType::Unspecified,
              LockType lock = LockType::Unspecified, CommandType command = CommandType::Text);
    // A fabricated recordset: columns appended with appendField(), then opened with no source.
    void appendField(const FieldDefinition& definition);
    void openFabricated();

    void close();
    bool isOpen() const;
    QString source() const;

    Connection activeConnection() const;
    void setActiveConnection(const Connection& connection);
    void disconnect();
    bool isConnected() const;

    // Navigation over the visible rows (after filter and sort).
    bool eof() const;
    bool bof() const;
    void moveFirst();
    void moveLast();
    void moveNext();
    void movePrevious();
    void move(int rows);
    int recordCount() const;
    int absolutePosition() const; // 1-based; 0 outside the rows
    void setAbsolutePosition(int position);
    Bookmark bookmark() const;
    void setBookmark(Bookmark bookmark);

    // Columns.
    int fieldCount() const;
    Field field(int index) const;
    Field field(const QString& name) const; // throws ItemNotFound
    int fieldIndex(const QString& name) const; // -1 when missing; names ignore case
    core::Variant value(const QString& name) const;
    core::Variant value(int index) const;
    void setValue(const QString& name, const core::Variant& value);
    void setValue(int index, const core::Variant& value);
    // The current row itself, for a reader that keeps rows (a list) without
    // copying their values; throws NoCurrentRecord as value() does.
    RowHandle currentRow() const;

    // Editing.
    void addNew();
    void update();
    void cancelUpdate();
    void deleteRecord(AffectRecords affect = AffectRecords::Current);
    void updateBatch(AffectRecords affect = AffectRecords::All);
    void cancelBatch(AffectRecords affect = AffectRecords::All);
    EditMode editMode() const;
    int status() const; // RecordStatus bits of the current row

    // A criteria text in the filter syntax ("fdtCodiceIVA='22'", "a > 1 AND b LIKE 'x*'"),
    // an empty text to clear it, or a filter group (pending records...).
    void setFilter(const QString& criteria);
    void setFilter(FilterGroup group);
    QString filter() const;
    // "col [ASC|DESC], ..." ; sorts by value: dates as dates, numbers as numbers,
    // text without regard to case or accents, Null first. Setting a filter or a sort moves to the first row.
    void setSort(const QString& sort);
    QString sort() const;

    Recordset clone(LockType lock = LockType::Unspecified) const;
    // Fetches the rows again from the source (pending edits are lost).
    void requery();

    bool isNull() const { return !m_impl; }
    bool operator==(const Recordset& other) const { return m_impl == other.m_impl; }
    std::shared_ptr<RecordsetImpl> impl() const { return m_impl; }

private:
    std::shared_ptr<RecordsetImpl> m_impl;
};

} // namespace db
