#pragma once

#include "../QtPrinters.h"
#include "platform/core/Variant.h"
#include "platform/database/jet/JetSql.h"

#include <QString>
#include <QStringList>
#include <sqlite3.h>
#include <vector>

// An in-memory SQLite database with the dialect's extensions, read through the
// raw C API, and a schema lookup over its own catalogue.
class TestDatabase : public db::jet::SchemaLookup {
public:
    TestDatabase();
    ~TestDatabase() override;
    TestDatabase(const TestDatabase&) = delete;
    TestDatabase& operator=(const TestDatabase&) = delete;

    std::optional<db::DataType> columnType(const QString& table, const QString& column) const override;
    QStringList columns(const QString& table) const override;

    // Translates and runs a statement; throws core::Error with SQLite's message on failure.
    db::jet::Translation exec(const QString& jetSql);
    // Translates and runs a SELECT; every row's values in column order,
    // converted through resultTypes (Currency, Date, Boolean) where known.
    std::vector<std::vector<core::Variant>> query(const QString& jetSql);
    // The single value of a one-row, one-column SELECT.
    core::Variant scalar(const QString& jetSql);
    // sqlite3_prepare_v2 of a translated text: empty when it prepares, else the message.
    QString prepareError(const QString& sqliteSql);

    sqlite3* handle() const { return m_db; }

private:
    sqlite3* m_db = nullptr;
};
