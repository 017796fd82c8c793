#include "domain/NewDocument.h"

#include "domain/ClientConnection.h"
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

std::int32_t createNewDocument(const QString& connectionString, const NewDocument& document,
                               const std::function<void(std::int32_t)>& remember)
{
    db::Connection cn = openClientConnection(connectionString);
    std::int32_t id = 0;
    {
        // A row added and deleted again: the counter keeps its number taken.
        db::Transaction tx(cn);
        db::Recordset rs;
        rs.open(QStringLiteral("Fatture"), cn, db::CursorType::Static, db::LockType::Optimistic, db::CommandType::Table);
        rs.addNew();
        rs.setValue(QStringLiteral("sezId"), core::Variant(document.sezId));
        rs.update();
        id = rs.value(QStringLiteral("fatId")).toLong();
        rs.close();
        cn.execute(QStringLiteral("DELETE * FROM Fatture WHERE fatId=") + QString::number(id));
        tx.commit();
    }
    if (remember)
        remember(id);
    db::Transaction tx(cn);
    db::Recordset rs;
    rs.open(QStringLiteral("Fatture"), cn, db::CursorType::Static, db::LockType::Optimistic, db::CommandType::Table);
    rs.addNew();
    rs.setValue(QStringLiteral("fatId"), core::Variant(id));
    for (const auto& [field, value] : newDocumentFields(document))
        rs.setValue(field, value);
    rs.update();
    rs.close();
    tx.commit();
    cn.close();
    return id;
}
