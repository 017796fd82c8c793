#include "domain/LayoutStore.h"

#include "platform/core/Error.h"
#include "platform/core/Variant.h"
#include "domain/OwnConnection.h"
#include "platform/database/DbErrors.h"
#include "platform/database/FirstValue.h"
#include "platform/database/Recordset.h"
#include "platform/database/Transaction.h"
#include "platform/database/Types.h"

namespace {

// The number every refusal of this file carries: the layout was not written.
constexpr long kLayoutNotWritten = 31037;

QByteArray bytesOf(const core::Variant& v)
{
    if (v.isEmptyOrNull())
        return {};
    return v.isBytes() ? v.toBytes() : v.toString().toUtf8();
}

LayoutDeletion check(db::Connection& cn, std::int32_t finId)
{
    const QString id = QString::number(finId);
    if (db::firstValue(cn, QStringLiteral("SELECT finId FROM finData WHERE finId=") + id).isEmptyOrNull())
        return LayoutDeletion::Missing;
    if (db::firstValue(cn, QStringLiteral("SELECT Count(*) FROM finData")).toLong() <= 1)
        return LayoutDeletion::OnlyLayout;
    // Any professional's assignment protects the layout.
    if (!db::firstValue(cn, QStringLiteral("SELECT fnrId FROM FinRel WHERE fnrfinId=") + id).isEmptyOrNull())
        return LayoutDeletion::Assigned;
    return LayoutDeletion::Allowed;
}

// The layout must print, and reach the table as it is.
void verifyBefore(const QByteArray& bytes, const LayoutCheck& loadsBack)
{
    if (bytes.isEmpty())
        throw core::Error(kLayoutNotWritten, QStringLiteral("Il modello è vuoto: non è stato salvato."));
    if (loadsBack)
        loadsBack(bytes);
}

void verifyStored(db::Connection& cn, std::int32_t finId, const QByteArray& bytes)
{
    if (readLayout(cn, finId) != bytes)
        throw core::Error(kLayoutNotWritten, QStringLiteral("Il modello riletto dal database non coincide con quello salvato: non è stato salvato."));
}

} // namespace

LayoutDeletion checkLayoutDeletion(db::Connection& cn, std::int32_t finId)
{
    return check(cn, finId);
}

LayoutDeletion deleteLayout(db::Connection& cn, std::int32_t finId)
{
    db::Transaction tx(cn);
    const LayoutDeletion outcome = check(cn, finId);
    if (outcome != LayoutDeletion::Allowed)
        return outcome; // rolled back: nothing was written
    cn.execute(QStringLiteral("DELETE * FROM finData WHERE finId=") + QString::number(finId));
    tx.commit();
    return outcome;
}

LayoutName checkLayoutName(const QString& name)
{
    if (name.isEmpty())
        return LayoutName::Empty;
    if (name.size() > kLayoutNameMax)
        return LayoutName::TooLong;
    return LayoutName::Valid;
}

std::int32_t insertLayout(db::Connection& cn, const QString& name, const QByteArray& bytes, const LayoutCheck& loadsBack)
{
    switch (checkLayoutName(name)) {
    case LayoutName::Empty: throw core::Error(kLayoutNotWritten, QStringLiteral("Il nome del modello è vuoto."));
    case LayoutName::TooLong:
        throw core::Error(kLayoutNotWritten,
                          QStringLiteral("Il nome del modello non può superare gli %1 caratteri.").arg(kLayoutNameMax));
    case LayoutName::Valid: break;
    }
    verifyBefore(bytes, loadsBack);
    db::Transaction tx(cn);
    db::Recordset rs;
    rs.open(QStringLiteral("finData"), cn, db::CursorType::Static, db::LockType::Optimistic, db::CommandType::Table);
    rs.addNew();
    rs.setValue(QStringLiteral("finNome"), core::Variant(name));
    rs.setValue(QStringLiteral("finLay"), core::Variant(bytes));
    rs.update();
    const std::int32_t finId = rs.value(QStringLiteral("finId")).toLong();
    rs.close();
    verifyStored(cn, finId, bytes);
    tx.commit();
    return finId;
}

std::int32_t replaceLayout(db::Connection& cn, std::int32_t finId, const QByteArray& bytes, const LayoutCheck& loadsBack)
{
    verifyBefore(bytes, loadsBack);
    db::Transaction tx(cn);
    db::Recordset rs;
    rs.open(QStringLiteral("SELECT * FROM finData WHERE finId=") + QString::number(finId), cn, db::CursorType::Static,
            db::LockType::Optimistic, db::CommandType::Text);
    if (rs.eof())
        throw db::errors::conflict(); // deleted from another machine meanwhile
    rs.setValue(QStringLiteral("finLay"), core::Variant(bytes));
    rs.update();
    rs.close();
    verifyStored(cn, finId, bytes);
    tx.commit();
    return finId;
}

LayoutRewrite rewriteLayout(db::Connection& cn, std::int32_t finId, const QByteArray& opened, const QByteArray& bytes,
                            const LayoutCheck& loadsBack)
{
    verifyBefore(bytes, loadsBack);
    db::Transaction tx(cn);
    db::Recordset rs;
    rs.open(QStringLiteral("SELECT * FROM finData WHERE finId=") + QString::number(finId), cn, db::CursorType::Static,
            db::LockType::Optimistic, db::CommandType::Text);
    if (rs.eof()) {
        rs.close();
        return LayoutRewrite::Gone; // rolled back: nothing was written
    }
    if (bytesOf(rs.value(QStringLiteral("finLay"))) != opened) {
        rs.close();
        return LayoutRewrite::Changed;
    }
    rs.setValue(QStringLiteral("finLay"), core::Variant(bytes));
    rs.update();
    rs.close();
    verifyStored(cn, finId, bytes);
    tx.commit();
    return LayoutRewrite::Written;
}

QByteArray readLayout(db::Connection& cn, std::int32_t finId)
{
    db::Recordset rs;
    rs.open(QStringLiteral("SELECT finLay FROM finData WHERE finId=") + QString::number(finId), cn,
            db::CursorType::ForwardOnly, db::LockType::ReadOnly, db::CommandType::Text);
    if (rs.eof()) {
        rs.close();
        throw core::Error(kLayoutNotWritten + 1, QStringLiteral("Il modello di stampa numero %1 non esiste più.").arg(finId));
    }
    const QByteArray bytes = bytesOf(rs.value(0));
    rs.close();
    return bytes;
}

LayoutDeletion checkLayoutDeletion(const QString& connectionString, std::int32_t finId)
{
    return domain::onOwnConnection(connectionString, [&](db::Connection& cn) { return checkLayoutDeletion(cn, finId); });
}

LayoutDeletion deleteLayout(const QString& connectionString, std::int32_t finId)
{
    return domain::onOwnConnection(connectionString, [&](db::Connection& cn) { return deleteLayout(cn, finId); });
}

std::int32_t insertLayout(const QString& connectionString, const QString& name, const QByteArray& bytes,
                          const LayoutCheck& loadsBack)
{
    return domain::onOwnConnection(connectionString,
                                   [&](db::Connection& cn) { return insertLayout(cn, name, bytes, loadsBack); });
}

LayoutRewrite rewriteLayout(const QString& connectionString, std::int32_t finId, const QByteArray& opened,
                            const QByteArray& bytes, const LayoutCheck& loadsBack)
{
    return domain::onOwnConnection(
        connectionString, [&](db::Connection& cn) { return rewriteLayout(cn, finId, opened, bytes, loadsBack); });
}

QByteArray readLayout(const QString& connectionString, std::int32_t finId)
{
    return domain::onOwnConnection(connectionString, [&](db::Connection& cn) { return readLayout(cn, finId); });
}

QString assignmentQuery(std::int32_t sezId)
{
    return QStringLiteral("SELECT * FROM finRel WHERE finRel.sezId=") + QString::number(sezId) + QStringLiteral(" ORDER BY fnrId");
}

QString layoutChoiceQuery()
{
    return QStringLiteral("SELECT finId, finNome FROM finData ORDER BY finNome");
}
