#pragma once

#include "platform/core/Error.h"
#include "platform/core/Variant.h"
#include "platform/database/Recordset.h"

#include <QByteArray>
#include <QString>
#include <cstdint>
#include <optional>

// What the setup window edits of one professional: its Sezioni row and its
// print page row (SezioniModelli), read into client-side recordsets the
// window's boxes are bound to, and saved together with the grid of its layout
// assignments in one write transaction.
class SectionSetup {
public:
    // Reads both rows of `sezId`; false when the Sezioni row is gone.
    // Throws core::Error when they cannot be read.
    bool open(const QString& connectionString, std::int32_t sezId);

    // For the bindings of the window's boxes.
    const db::Recordset& section() const { return m_section; }
    const db::Recordset& page() const { return m_page; }

    // A field of the print page row; Empty when the row is missing.
    core::Variant pageValue(const QString& field) const;

    // Writes the section, its print page (`logoKind`, and `logo` when the
    // user changed it: empty bytes clear it), the password hash when not Null
    // and the edited `assignments`: all of it or nothing. Throws core::Error
    // (a conflict as db::DbError of kind Conflict) with nothing written.
    void save(const QString& connectionString, db::Recordset assignments, std::int16_t logoKind,
              const std::optional<QByteArray>& logo, const core::Variant& password);

    // Drops what was edited in the two rows and in `assignments`; never throws.
    void cancel(db::Recordset assignments) noexcept;
    // Lets go of the two rows; never throws.
    void close() noexcept;

private:
    db::Recordset m_section;
    db::Recordset m_page;
};

// The line a failed save adds to its message: the conflict text when the row
// was changed or deleted from elsewhere, the error's description otherwise.
QString saveFailureText(const core::Error& error);
