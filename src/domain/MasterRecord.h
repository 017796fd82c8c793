#pragma once

#include "platform/core/Error.h"
#include "platform/core/Variant.h"
#include "platform/database/Connection.h"
#include "platform/database/Recordset.h"
#include "platform/database/Types.h"

#include <QString>
#include <cstdint>
#include <optional>

// The one record an entry form of the master data (clients, VAT codes,
// payment terms, services) edits: a client-side recordset on a connection of
// its own, kept open while the form is, written with an optimistic check of
// the row as it was read.
class MasterRecord {
public:
    // The whole table opened as a table with a new row appended.
    void openNew(const QString& connectionString, const QString& table);
    // One row read by `sql`.
    void openExisting(const QString& connectionString, const QString& sql);

    bool isOpen() const { return m_rs.isOpen(); }
    // For the binding of the form's boxes.
    const db::Recordset& recordset() const { return m_rs; }
    core::Variant value(const QString& field) const { return m_rs.value(field); }
    void setValue(const QString& field, const core::Variant& value) { m_rs.setValue(field, value); }

    // Writes the edited row; throws db::DbError (a Conflict when the row was
    // changed or deleted from elsewhere) with the edits still pending.
    void save();
    // Runs `statement` and writes the edited row in one transaction: both or
    // neither. The statement goes first, so a refused row leaves its edits
    // pending, ready to be corrected and saved again.
    void saveWith(const QString& statement);
    // Drops the edits of the current row, or of every row.
    void cancelCurrent();
    void cancelAll();
    // Closes the recordset and the connection; errors are of no interest here.
    void close();

private:
    void open(const QString& connectionString, const QString& source, db::CommandType type);

    db::Connection m_cn;
    db::Recordset m_rs;
};

// Why the database refused a row.
enum class SaveRefusal { Conflict, TooLong, Constraint, Busy, ReadOnly, Other };
// The refusal an error stands for; nothing when it is not a database error.
std::optional<SaveRefusal> saveRefusalOf(const core::Error& error);

// The choices of the master-data forms' lists, as client-side recordsets
// detached from the file.
// The VAT codes by description: cdiCodice, cdiDescrizione, cdiValore.
db::Recordset vatCodeChoices(const QString& connectionString);
// The clients a service may belong to (cliId, cliNome): only `cliId` when it
// is not 0, else the professional's and the shared ones by name; first a row
// 0 "[Nessuno] (Prestazione generica non associata)".
db::Recordset serviceClientChoices(const QString& connectionString, std::int32_t cliId, std::int32_t sezId);
// The payment terms of the professional and the shared ones by description
// (pagId, pagDescrizione), after an empty row 0.
db::Recordset paymentTermChoices(const QString& connectionString, std::int32_t sezId);

// The professional's default VAT code; empty when none or unreadable.
QString defaultVatCode(const QString& connectionString, std::int32_t sezId);
// The statement that makes `code` the professional's default VAT code.
QString setDefaultVatCodeStatement(std::int32_t sezId, const QString& code);
// True when a VAT code `code` is stored; throws core::Error when it cannot be read.
bool vatCodeStored(const QString& connectionString, const QString& code);
