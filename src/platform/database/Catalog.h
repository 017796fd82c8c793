#pragma once

#include "platform/database/Types.h"

#include <QString>
#include <QStringList>
#include <QVector>
#include <memory>

namespace db {

class ConnectionImpl;

struct ColumnInfo {
    QString name;
    DataType type = DataType::Empty;
    int definedSize = 0;       // characters for text, bytes for numbers
    bool autoIncrement = false;
    bool nullable = true;
    bool allowZeroLength = true;
};

struct TableInfo {
    QString name;
    QString type;              // "TABLE" for user tables; the engine's own are "SYSTEM TABLE"
    QVector<ColumnInfo> columns;
    QVector<QString> primaryKey;
};

// Table and column metadata of an open connection, in the order the tables were created.
class Catalog {
public:
    explicit Catalog(std::shared_ptr<ConnectionImpl> connection);

    // Every table, user tables with type "TABLE"; the engine's own tables never appear as "TABLE".
    QVector<TableInfo> tables() const;
    // One table; throws NoSuchObject when missing.
    TableInfo table(const QString& name) const;
    bool hasTable(const QString& name) const;
    // The names of a table's indexes as Jet knows them ("PrimaryKey", ...), in
    // the order they were made; throws NoSuchObject when the table is missing.
    QStringList indexNames(const QString& table) const;

    // The provider property "Jet OLEDB:Allow Zero Length": every text column here
    // accepts empty text, so setting it changes nothing; an unknown table or column
    // is NoSuchObject, so the upgrade's catalog pass can ignore what an old file lacks.
    void setAllowZeroLength(const QString& table, const QString& column, bool allow) const;

private:
    std::shared_ptr<ConnectionImpl> m_connection;
};

} // namespace db
