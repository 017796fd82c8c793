#pragma once

#include "platform/database/Connection.h"
#include "platform/database/Recordset.h"

#include "platform/core/Variant.h"

#include <QString>
#include <QVector>
#include <cstdint>
#include <optional>

// The professionals (sections) of a database: creating one with its defaults
// and rows, the rows its setup and printing need, and deleting its data so the
// section can be handed to a new professional. Each write is one transaction:
// all of it or nothing.

// Adds a professional: its Sezioni row (contribution 4 % described
// "Rivalsa (4%)", withholding 20 % on 100 % of the taxable amount, default VAT
// code and withholding description copied from the administrator), its print
// page row and one layout assignment per document kind. Returns the new sezId.
std::int32_t createProfessional(const QString& connectionString, const QString& titolo, const QString& nome,
                                const QString& cognome);

// The layout a new assignment of the document kind points at: the one the
// administrator uses for that kind, else layout kind + 1, else the first one
// stored; 0 when no layout exists.
std::int32_t defaultLayoutFor(const db::Connection& cn, int docType);

// Adds what a section lacks of its print page row (heading shown, no logo) and
// of its three layout assignments, in one transaction. False when nothing was missing.
bool ensureSectionRows(const QString& connectionString, std::int32_t sezId);

// Deletes a professional's data in one transaction: its documents with their
// lines, VAT rows, collections and Media rows, its counters, its clients that
// are not shared (unless a document or service of another section still uses
// one) with their services, and its payment terms that are not shared (unless a
// remaining client or document still uses one). Its Sezioni, print page and
// layout rows, its other services and every shared row stay. The
// administrator (section 1) is refused with core::Error.
void deleteProfessionalData(const QString& connectionString, std::int32_t sezId);

// How the program names a professional: "Titolo Nome Cognome" of the Sezioni
// row `rs` stands on, a Null (or a non-text value) read as empty text.
QString professionalName(const db::Recordset& rs);

// A professional as the choosers list it: its section, its name and its
// stored password (Null when it has none).
struct ProfessionalEntry {
    std::int32_t sezId = 0;
    QString name;
    core::Variant password;
};

// Every professional, by sezId.
QVector<ProfessionalEntry> listProfessionals(const QString& connectionString);

// The name of professional `sezId`; nothing when no row has that section.
std::optional<QString> professionalNameOf(const QString& connectionString, std::int32_t sezId);
