#pragma once

#include "platform/core/Variant.h"
#include "platform/database/ConnectionImpl.h"
#include "platform/database/Field.h"
#include "platform/database/RowStore.h"
#include "platform/database/Types.h"
#include "platform/database/jet/JetSql.h"

#include <QSet>
#include <QString>
#include <QVector>
#include <memory>
#include <optional>
#include <vector>

namespace db {

class StoredRowValues;

// A cursor over a RowStore: its own position, filter, sort and edit, while the
// rows (and their pending changes) are shared with its clones.
class RecordsetImpl {
public:
    RecordsetImpl() = default;

    CursorType cursorType = CursorType::Unspecified;
    LockType lockType = LockType::Unspecified;
    CursorLocation cursorLocation = CursorLocation::Client;

    void open(const QString& source, std::shared_ptr<ConnectionImpl> connection, CursorType cursor, LockType lock,
              CommandType command);
    void appendField(const FieldDefinition& definition);
    void openFabricated();
    void close();
    bool isOpen() const { return m_store != nullptr; }
    QString source() const;

    std::shared_ptr<ConnectionImpl> connection() const { return m_connection; }
    void setConnection(std::shared_ptr<ConnectionImpl> connection);
    bool isConnected() const { return m_connection && m_connection->isOpen(); }

    bool eof();
    bool bof();
    void moveFirst();
    void moveLast();
    void moveNext();
    void movePrevious();
    void move(int rows);
    int recordCount();
    int absolutePosition();
    void setAbsolutePosition(int position);
    Bookmark bookmark();
    void setBookmark(Bookmark bookmark);

    int fieldCount() const;
    int fieldIndex(const QString& name) const;
    int checkedIndex(const QString& name) const; // throws ItemNotFound
    const ColumnMeta& column(int index) const;
    core::Variant value(int index);
    core::Variant originalValue(int index);
    RowPtr currentShared(); // throws NoCurrentRecord
    void setValue(int index, const core::Variant& value);
    void appendChunk(int index, const QByteArray& bytes);
    QByteArray getChunk(int index, int length);

    void addNew();
    void update();
    void cancelUpdate();
    void deleteRecord(AffectRecords affect);
    void updateBatch(AffectRecords affect);
    void cancelBatch(AffectRecords affect);
    EditMode editMode() const { return m_editMode; }
    int status();

    void setFilter(const QString& criteria);
    void setFilter(FilterGroup group);
    QString filter() const;
    void setSort(const QString& sort);
    QString sort() const { return m_sortText; }

    std::shared_ptr<RecordsetImpl> clone(LockType lock) const;
    void requery();

private:
    struct SortKey {
        int column = 0;
        bool descending = false;
    };

    void ensureOpen() const;
    void ensureEditable() const;
    // Rebuilds the visible rows when the shared rows changed since the last look.
    void sync();
    void rebuildView();
    bool visibleByFilter(const Row& row, StoredRowValues& values) const;
    Row& currentRow(); // throws NoCurrentRecord
    bool hasCurrent();
    void setPosition(int index);
    // Moving off an edited row keeps its edit: the move writes it, never drops it.
    void finishEdit();
    void beginEdit(Row& row);
    bool writesAtOnce() const;
    std::vector<RowPtr> pendingRows(AffectRecords affect);
    void writeRows(const std::vector<RowPtr>& rows);
    void writeRow(Backend& backend, Row& row);
    void insertRow(Backend& backend, Row& row);
    void updateRow(Backend& backend, Row& row);
    void deleteRow(Backend& backend, Row& row);
    QVector<ColumnValue> keyTests(const QString& table, const Row& row, bool* unique) const;
    void removeRows(const QSet<Bookmark>& rows);
    QStringList baseTables() const;
    QVector<int> columnsOf(const QString& table) const;
    void fill(ResultSet result);
    void resetCursor();

    std::shared_ptr<RowStore> m_store;
    std::shared_ptr<ConnectionImpl> m_connection;
    QVector<FieldDefinition> m_pendingFields;

    std::vector<RowPtr> m_view;
    quint64 m_viewGeneration = 0;
    bool m_viewValid = false;
    int m_position = 0; // index into m_view; -1 before the first, size() after the last
    RowPtr m_current;   // the row at m_position, kept when it leaves the view
    bool m_currentGone = false;

    QString m_filterText;
    std::optional<jet::Criteria> m_criteria;
    FilterGroup m_filterGroup = FilterGroup::None;
    QVector<SortKey> m_sortKeys;
    QString m_sortText;
    QSet<Bookmark> m_keepVisible; // rows added through this cursor since the filter was set

    EditMode m_editMode = EditMode::None;
    QVector<core::Variant> m_editBackup;
    bool m_editHadOriginal = false;
    int m_editStatusBackup = 0;
    RowPtr m_beforeAdd;
    int m_appendColumn = -1;
    QByteArray m_appendBuffer;
    int m_chunkColumn = -1;
    qint64 m_chunkOffset = 0;
};

} // namespace db
