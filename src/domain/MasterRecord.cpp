#include "domain/MasterRecord.h"

#include "common/comDataBase.h"
#include "common/comUtility.h"
#include "platform/database/DbErrors.h"
#include "platform/database/Field.h"
#include "platform/database/Transaction.h"
#include "platform/database/Types.h"

void MasterRecord::openNew(const QString& connectionString, const QString& table)
{
    open(connectionString, table, db::CommandType::Table);
    m_rs.addNew();
}

void MasterRecord::openExisting(const QString& connectionString, const QString& sql)
{
    open(connectionString, sql, db::CommandType::Text);
}

void MasterRecord::open(const QString& connectionString, const QString& source, db::CommandType type)
{
    m_cn = db::Connection();
    m_cn.setCursorLocation(db::CursorLocation::Client);
    m_cn.open(connectionString, QString(), QString());
    m_rs = db::Recordset();
    m_rs.setCursorLocation(db::CursorLocation::Client);
    m_rs.open(source, m_cn, db::CursorType::Static, db::LockType::BatchOptimistic, type);
}

void MasterRecord::save()
{
    m_rs.updateBatch(db::AffectRecords::Current);
}

void MasterRecord::saveWith(const QString& statement)
{
    db::Transaction tx(m_cn);
    m_cn.execute(statement);
    m_rs.updateBatch(db::AffectRecords::Current);
    tx.commit();
}

void MasterRecord::cancelCurrent()
{
    try {
        if (m_rs.isOpen())
            m_rs.cancelBatch(db::AffectRecords::Current);
    } catch (const core::Error&) {
        // The edits are dropped either way.
    }
}

void MasterRecord::cancelAll()
{
    try {
        if (m_rs.isOpen())
            m_rs.cancelBatch(db::AffectRecords::All);
    } catch (const core::Error&) {
        // The edits are dropped either way.
    }
}

void MasterRecord::close()
{
    try {
        if (m_rs.isOpen())
            m_rs.close();
    } catch (const core::Error&) {
        // Closing what is no longer used: nothing is lost when it fails.
    }
    try {
        if (m_cn.isOpen())
            m_cn.close();
    } catch (const core::Error&) {
        // As above.
    }
}

std::optional<SaveRefusal> saveRefusalOf(const core::Error& error)
{
    const auto* dbError = dynamic_cast<const db::DbError*>(&error);
    if (!dbError)
        return std::nullopt;
    switch (dbError->kind()) {
    case db::ErrorKind::Conflict: return SaveRefusal::Conflict;
    case db::ErrorKind::TooLong: return SaveRefusal::TooLong;
    case db::ErrorKind::Constraint: return SaveRefusal::Constraint;
    case db::ErrorKind::Busy: return SaveRefusal::Busy;
    case db::ErrorKind::ReadOnly: return SaveRefusal::ReadOnly;
    default: return SaveRefusal::Other;
    }
}

namespace {

db::Connection openForChoices(const QString& connectionString)
{
    db::Connection cn;
    cn.setCursorLocation(db::CursorLocation::Client);
    cn.open(connectionString);
    return cn;
}

// A list of `key`/`text` pairs that begins with a row 0 showing `first`,
// followed by the rows of `sql`.
db::Recordset choicesAfterFirst(const QString& connectionString, const QString& sql, const QString& key,
                                const QString& text, const QString& first)
{
    db::Connection cn = openForChoices(connectionString);
    db::Recordset query;
    query.open(sql, cn, db::CursorType::Static, db::LockType::ReadOnly, db::CommandType::Text);
    db::Recordset list;
    list.appendField({key, db::DataType::Integer, 4, true});
    list.appendField({text, db::DataType::VarWChar, 50, true});
    list.openFabricated();
    list.addNew();
    list.setValue(key, core::Variant(std::int32_t{0}));
    list.setValue(text, core::Variant(first));
    list.update();
    for (; !query.eof(); query.moveNext()) {
        list.addNew();
        list.setValue(key, query.value(key));
        list.setValue(text, query.value(text));
        list.update();
    }
    query.close();
    cn.close();
    return list;
}

} // namespace

db::Recordset vatCodeChoices(const QString& connectionString)
{
    db::Connection cn = openForChoices(connectionString);
    db::Recordset list;
    list.open(QStringLiteral("SELECT cdiCodice, cdiDescrizione, cdiValore FROM CodiciIVA ORDER BY cdiDescrizione"), cn,
              db::CursorType::Static, db::LockType::ReadOnly, db::CommandType::Text);
    list.disconnect();
    return list;
}

db::Recordset serviceClientChoices(const QString& connectionString, std::int32_t cliId, std::int32_t sezId)
{
    QString sql = QStringLiteral("SELECT cliId, cliNome FROM CliFor ");
    if (cliId != 0)
        sql += QStringLiteral(" WHERE cliId=") + QString::number(cliId);
    else
        sql += QStringLiteral(" WHERE sezId=") + QString::number(sezId) + QStringLiteral(" OR cliShared=TRUE ORDER BY cliNome");
    return choicesAfterFirst(connectionString, sql, QStringLiteral("cliId"), QStringLiteral("cliNome"),
                             QStringLiteral("[Nessuno] (Prestazione generica non associata)"));
}

db::Recordset paymentTermChoices(const QString& connectionString, std::int32_t sezId)
{
    return choicesAfterFirst(connectionString,
                             QStringLiteral("SELECT * FROM Pagamenti WHERE sezId=") + QString::number(sezId)
                                 + QStringLiteral(" OR pagShared=TRUE ORDER BY pagDescrizione"),
                             QStringLiteral("pagId"), QStringLiteral("pagDescrizione"), QString());
}

QString defaultVatCode(const QString& connectionString, std::int32_t sezId)
{
    try {
        db::Recordset rs;
        rs.open(QStringLiteral("SELECT sezPreIVA FROM Sezioni WHERE sezId=") + QString::number(sezId), connectionString,
                db::CursorType::ForwardOnly, db::LockType::ReadOnly, db::CommandType::Text);
        const QString codice = rs.eof() ? QString() : NzStr(rs.value(QStringLiteral("sezPreIVA")), QString());
        rs.close();
        return codice;
    } catch (const core::Error&) {
        return QString();
    }
}

QString setDefaultVatCodeStatement(std::int32_t sezId, const QString& code)
{
    return QStringLiteral("UPDATE Sezioni SET Sezioni.sezPreIVA = ") + SqlQuoted(code)
         + QStringLiteral(" WHERE Sezioni.sezId=") + QString::number(sezId);
}

bool vatCodeStored(const QString& connectionString, const QString& code)
{
    db::Recordset rs;
    rs.open(QStringLiteral("SELECT cdiCodice FROM CodiciIVA WHERE cdiCodice=") + SqlQuoted(code), connectionString,
            db::CursorType::ForwardOnly, db::LockType::ReadOnly, db::CommandType::Text);
    const bool stored = !rs.eof();
    rs.close();
    return stored;
}
