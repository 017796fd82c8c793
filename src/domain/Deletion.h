#pragma once

#include "platform/core/Variant.h"

#include <QString>
#include <QStringList>
#include <cstdint>
#include <functional>
#include <optional>

namespace db {
class Connection;
}

// Deleting records: a document with everything that belongs to it, and the
// records of the main window's lists with the checks that keep a record in
// use from going. The database declares no referential integrity: these
// checks are what keeps it whole.

// The statements that delete a document and what belongs to it (detail lines,
// VAT rows, collections, Media rows and their payments), dependants first.
QStringList documentDeletionStatements(std::int32_t fatId);

// Runs them on `cn`, which must hold the caller's transaction, so all of them
// stay or none does.
void deleteDocument(db::Connection& cn, std::int32_t fatId);
// The same on a connection of its own, in one transaction.
void deleteDocument(const QString& connectionString, std::int32_t fatId);

// The records a list row of the main window stands for.
enum class ListRecord { Document, Client, VatCode, PaymentTerm, Service };

// The list record of a view code ("fat" and "pro" are documents, "cli",
// "iva", "pag", "pre"); nothing for another code.
std::optional<ListRecord> listRecordOfView(const QString& viewCode);

// The SELECTs that must all come back empty before the record may go: its
// uses in every section. None for documents and services.
QStringList referenceChecks(ListRecord kind, const core::Variant& key);
// The statements that delete the record.
QStringList deletionStatements(ListRecord kind, const core::Variant& key);

// Runs every check on `cn` (which must hold the caller's transaction, so no
// other machine adds a use in between), then, when none found a row, the
// deletion. False, with nothing deleted, when the record is in use.
bool deleteListRecord(db::Connection& cn, ListRecord kind, const core::Variant& key);

// What a confirmed deletion of a list record came to.
enum class ListDeletion { NotConfirmed, Deleted, InUse };

// Opens the data file first (a file that cannot be opened is told before any
// question), asks `confirm`, then checks and deletes in one transaction.
// Nothing is deleted unless it returns Deleted; a database error rolls back
// and reaches the caller.
ListDeletion deleteListRecord(const QString& connectionString, ListRecord kind, const core::Variant& key,
                              const std::function<bool()>& confirm);
