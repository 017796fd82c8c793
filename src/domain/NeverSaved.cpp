#include "domain/NeverSaved.h"

#include "domain/Deletion.h"
#include "platform/database/Connection.h"
#include "platform/database/Recordset.h"
#include "platform/database/Transaction.h"

namespace {

bool hasRow(db::Connection& cn, const QString& sql)
{
    db::Recordset rs;
    rs.open(sql, cn, db::CursorType::ForwardOnly, db::LockType::ReadOnly, db::CommandType::Text);
    const bool found = !rs.eof();
    rs.close();
    return found;
}

} // namespace

bool isNeverSavedDocument(db::Connection& cn, std::int32_t fatId)
{
    const QString id = QString::number(fatId);
    db::Recordset rs;
    rs.open(QStringLiteral("SELECT fatCliForId FROM Fatture WHERE fatId=") + id, cn, db::CursorType::ForwardOnly,
            db::LockType::ReadOnly, db::CommandType::Text);
    if (rs.eof()) {
        rs.close();
        return false;
    }
    const core::Variant client = rs.value(0);
    rs.close();
    if (!client.isEmptyOrNull() && client.toLong() != 0)
        return false;
    return !hasRow(cn, QStringLiteral("SELECT fdtId FROM FattureDettaglio WHERE fdtfatId=") + id);
}

bool deleteIfNeverSaved(const QString& connectionString, std::int32_t fatId)
{
    db::Connection cn;
    cn.setCursorLocation(db::CursorLocation::Client);
    cn.open(connectionString);
    // The check and the deletion under one write lock: a save from another
    // machine cannot come in between.
    db::Transaction tx(cn);
    if (!isNeverSavedDocument(cn, fatId)) {
        tx.commit();
        cn.close();
        return false;
    }
    deleteDocument(cn, fatId);
    tx.commit();
    cn.close();
    return true;
}
