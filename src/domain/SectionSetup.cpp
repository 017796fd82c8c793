#include "domain/SectionSetup.h"

#include "common/comUtility.h"
#include "platform/database/Connection.h"
#include "platform/database/DbErrors.h"
#include "platform/database/Transaction.h"
#include "platform/database/Types.h"

bool SectionSetup::open(const QString& connectionString, std::int32_t sezId)
{
    const QString S = QString::number(sezId);
    m_section = db::Recordset();
    m_section.setCursorLocation(db::CursorLocation::Client);
    m_section.open(QStringLiteral("SELECT * FROM Sezioni WHERE sezId=") + S, connectionString, db::CursorType::Static,
                   db::LockType::BatchOptimistic, db::CommandType::Text);
    if (m_section.eof())
        return false;
    m_page = db::Recordset();
    m_page.setCursorLocation(db::CursorLocation::Client);
    m_page.open(QStringLiteral("SELECT * FROM SezioniModelli WHERE sezId=") + S, connectionString, db::CursorType::Static,
                db::LockType::BatchOptimistic, db::CommandType::Text);
    return true;
}

core::Variant SectionSetup::pageValue(const QString& field) const
{
    return m_page.eof() ? core::Variant() : m_page.value(field);
}

void SectionSetup::save(const QString& connectionString, db::Recordset assignments, std::int16_t logoKind,
                        const std::optional<QByteArray>& logo, const core::Variant& password)
{
    db::Connection cn;
    try {
        m_page.setValue(QStringLiteral("modFatIntTipo"), core::Variant(logoKind));
        if (logo)
            m_page.setValue(QStringLiteral("modFatIntLogo"), logo->isEmpty() ? core::Variant::null() : core::Variant(*logo));
        if (!password.isNull())
            m_section.setValue(QStringLiteral("sezPass"), password);

        cn.setCursorLocation(db::CursorLocation::Client);
        cn.open(connectionString);
        db::Transaction tx(cn);
        for (db::Recordset* rs : {&m_section, &m_page, &assignments}) {
            if (rs->isNull() || !rs->isOpen())
                continue;
            if (rs->editMode() != db::EditMode::None)
                rs->update();
            rs->setActiveConnection(cn);
            rs->updateBatch();
        }
        tx.commit();
        cn.close();
    } catch (...) {
        cn.abandon();
        throw;
    }
}

void SectionSetup::cancel(db::Recordset assignments) noexcept
{
    for (db::Recordset rs : {m_section, m_page, assignments}) {
        try {
            if (!rs.isNull() && rs.isOpen())
                rs.cancelBatch();
        } catch (const core::Error&) {
            // Nothing was written; the window closes whatever the recordset says.
        }
    }
}

void SectionSetup::close() noexcept
{
    for (db::Recordset* rs : {&m_section, &m_page}) {
        try {
            if (!rs->isNull() && rs->isOpen())
                rs->close();
        } catch (const core::Error&) {
            // Closing only lets go of memory; there is nothing left to tell the user.
        }
    }
}

QString saveFailureText(const core::Error& error)
{
    const auto* dbError = dynamic_cast<const db::DbError*>(&error);
    return dbError && dbError->kind() == db::ErrorKind::Conflict
               ? recordChangedText()
               : error.description();
}
