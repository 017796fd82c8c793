#pragma once

#include "platform/core/Variant.h"
#include "platform/database/Backend.h"
#include "platform/database/Types.h"

#include <QHash>
#include <QString>
#include <QVector>
#include <memory>
#include <vector>

namespace db {

// One fetched or added row. `original` is filled at the first edit and holds the
// values as read (or as last written); empty while the row is unchanged.
struct Row {
    QVector<core::Variant> values;
    QVector<core::Variant> original;
    QVector<bool> assigned; // for an added row: the columns given a value
    int status = RecordStatus::Unmodified;
    Bookmark bookmark = 0;

    const QVector<core::Variant>& originalValues() const { return original.isEmpty() ? values : original; }
    bool isPending() const { return (status & (RecordStatus::New | RecordStatus::Modified | RecordStatus::Deleted)) != 0; }
};
using RowPtr = std::shared_ptr<Row>;

// The rows and columns that a recordset and its clones share.
struct RowStore {
    QVector<ColumnMeta> columns;
    QHash<QString, int> columnIndex; // lower-case name -> index
    QHash<QString, TableMeta> tables; // base tables by lower-case name
    std::vector<RowPtr> rows;         // fetch order; added rows at the end
    Bookmark nextBookmark = 1;
    // Bumped whenever rows are added, removed or marked deleted, so every cursor rebuilds its view.
    quint64 generation = 0;
    int fills = 0; // times the rows were fetched (open, requery)
    bool fabricated = false;
    QString source;
    QString jetSql; // the statement as given (a table opened directly as SELECT *)
    QVector<Bookmark> lastBatch; // rows the last batch update touched

    void setColumns(QVector<ColumnMeta> newColumns)
    {
        columns = std::move(newColumns);
        columnIndex.clear();
        for (int i = 0; i < columns.size(); ++i) {
            const QString key = columns[i].name.toLower();
            if (!columnIndex.contains(key))
                columnIndex.insert(key, i);
        }
    }
    RowPtr addRow(QVector<core::Variant> values)
    {
        auto row = std::make_shared<Row>();
        row->values = std::move(values);
        row->bookmark = nextBookmark++;
        rows.push_back(row);
        return row;
    }
};

} // namespace db
