#include "domain/SectionPasswords.h"

#include "domain/PasswordHash.h"
#include "platform/core/Error.h"
#include "platform/database/Recordset.h"
#include "platform/database/Transaction.h"

namespace {

QString storedText(const core::Variant& stored)
{
    return stored.isEmptyOrNull() ? QString() : stored.toString();
}

db::Recordset openSection(const db::Connection& cn, std::int32_t sezId, db::LockType lock)
{
    db::Recordset rs;
    rs.setCursorLocation(db::CursorLocation::Client);
    rs.open(QStringLiteral("SELECT * FROM Sezioni WHERE sezId=") + QString::number(sezId), cn, db::CursorType::Static, lock,
            db::CommandType::Text);
    return rs;
}

} // namespace

bool sectionHasPassword(const core::Variant& stored)
{
    return !storedText(stored).isEmpty();
}

core::Variant passwordToStore(const QString& plain)
{
    return core::Variant(hashPassword(plain));
}

bool checkSectionPassword(const QString& connectionString, std::int32_t sezId, const QString& typed)
{
    db::Connection cn;
    cn.setCursorLocation(db::CursorLocation::Client);
    cn.open(connectionString);
    db::Recordset rs = openSection(cn, sezId, db::LockType::ReadOnly);
    if (rs.eof()) {
        rs.close();
        cn.close();
        return false;
    }
    const QString stored = storedText(rs.value(QStringLiteral("sezPass")));
    rs.close();
    if (stored.isEmpty()) {
        cn.close();
        return typed.isEmpty();
    }
    if (isPasswordHash(stored)) {
        cn.close();
        return verifyPasswordHash(stored, typed);
    }
    // A plain password of an older file: compared as it is, case included.
    if (stored != typed) {
        cn.close();
        return false;
    }
    const core::Variant hashed = passwordToStore(typed);
    try {
        db::Transaction tx(cn);
        db::Recordset w = openSection(cn, sezId, db::LockType::Optimistic);
        // Rewritten only while it still holds the value just checked.
        if (!w.eof() && storedText(w.value(QStringLiteral("sezPass"))) == stored) {
            w.setValue(QStringLiteral("sezPass"), hashed);
            w.update();
        }
        w.close();
        tx.commit();
    } catch (const core::Error&) {
        // A read-only or busy file keeps the old value for now; the password was
        // right, so the login goes on and the next one tries the rewrite again.
    }
    cn.close();
    return true;
}

int hashPlainPasswords(const QString& connectionString)
{
    db::Connection cn;
    cn.setCursorLocation(db::CursorLocation::Client);
    cn.open(connectionString);
    db::Recordset rs;
    rs.setCursorLocation(db::CursorLocation::Client);
    rs.open(QStringLiteral("SELECT * FROM Sezioni"), cn, db::CursorType::Static, db::LockType::BatchOptimistic,
            db::CommandType::Text);
    // Hashed before the write lock is taken: each hash takes a noticeable moment.
    int hashed = 0;
    for (; !rs.eof(); rs.moveNext()) {
        const QString stored = storedText(rs.value(QStringLiteral("sezPass")));
        if (stored.isEmpty() || isPasswordHash(stored))
            continue;
        rs.setValue(QStringLiteral("sezPass"), passwordToStore(stored));
        ++hashed;
    }
    if (hashed > 0) {
        db::Transaction tx(cn);
        rs.updateBatch();
        tx.commit();
    }
    rs.close();
    cn.close();
    return hashed;
}
