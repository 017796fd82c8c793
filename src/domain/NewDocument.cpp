#include "domain/NewDocument.h"

#include "platform/database/Connection.h"
#include "platform/database/Recordset.h"
#include "platform/database/Transaction.h"

QVector<QPair<QString, core::Variant>> newDocumentFields(const NewDocument& d)
{
    return {
        {QStringLiteral("sezId"), core::Variant(d.sezId)},
        {QStringLiteral("fatData"), core::Variant(d.date)},
        {QStringLiteral("fatTipo"), core::Variant(static_cast<std::int16_t>(d.kind))},
        {QStringLiteral("fatpcRitAcc"), core::Variant(false)},
        {QStringLiteral("fatNo"), core::Variant(d.provisionalNumber)},
        {QStringLiteral("fatRitPrePerc"), core::Variant(d.surchargePercent)},
        {QStringLiteral("fatRitPreDesc"), core::Variant(d.surchargeDescription)},
        {QStringLiteral("fatRitAccPerc"), core::Variant(0.0)},
        {QStringLiteral("fatRitAccDesc"), core::Variant(d.withholdingDescription)},
        {QStringLiteral("fatRitAccPercSuImp"), core::Variant(d.withholdingBasePercent)},
        {QStringLiteral("fatRitAccSuRitPre"), core::Variant(d.withholdingOnSurcharge)},
        {QStringLiteral("fatModId"), core::Variant(static_cast<std::int16_t>(1))},
    };
}

std::int32_t createNewDocument(const QString& connectionString, const NewDocument& document)
{
    db::Connection cn;
    cn.setCursorLocation(db::CursorLocation::Client);
    cn.open(connectionString);
    db::Transaction tx(cn);
    db::Recordset rs;
    rs.open(QStringLiteral("Fatture"), cn, db::CursorType::Static, db::LockType::Optimistic, db::CommandType::Table);
    rs.addNew();
    for (const auto& [field, value] : newDocumentFields(document))
        rs.setValue(field, value);
    rs.update();
    const std::int32_t id = rs.value(QStringLiteral("fatId")).toLong();
    rs.close();
    tx.commit();
    cn.close();
    return id;
}
