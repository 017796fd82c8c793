#pragma once

#include "platform/core/Variant.h"

#include <QString>
#include <memory>

namespace db {
class Recordset;
}

namespace report {

// The layout's data control: a connection string and an SQL text that the
// report opens through the data-access layer when it runs. Handlers of the
// report's events read the current row through recordset().
//
// Copying a data control copies its settings, not its open recordset: each
// report object opens rows of its own.
class DataControl {
public:
    DataControl();
    ~DataControl();
    DataControl(const DataControl& other);
    DataControl& operator=(const DataControl& other);

    QString connectionString() const { return m_connectionString; }
    void setConnectionString(const QString& connectionString) { m_connectionString = connectionString; }
    // The SQL text (the record source).
    QString source() const { return m_source; }
    void setSource(const QString& source) { m_source = source; }
    bool isBound() const { return !m_source.isEmpty(); }
    // A sort of the opened rows ("col [ASC|DESC], ..."), for an order the SQL
    // cannot give (text with accents folded); empty: the rows as the SQL gives them.
    QString sort() const { return m_sort; }
    void setSort(const QString& sort) { m_sort = sort; }

    // The recordset of the running report, positioned on the row being
    // delivered. Throws core::Error when the data control has not opened one.
    db::Recordset& recordset();
    bool isOpen() const { return static_cast<bool>(m_recordset); }

    // For the report's run: open (static, read-only, client-side), walk, close.
    // Failures of the data-access layer reach the caller as they are.
    void open();
    bool eof() const;
    void moveNext();
    int columnCount() const;
    QString columnName(int index) const;
    core::Variant value(int index) const;
    // The current row's value of a column by name, for the report's event
    // handlers. Throws core::Error when no recordset is open or no such column.
    core::Variant value(const QString& field);
    void close();

private:
    QString m_connectionString;
    QString m_source;
    QString m_sort;
    std::shared_ptr<db::Recordset> m_recordset;
};

} // namespace report
