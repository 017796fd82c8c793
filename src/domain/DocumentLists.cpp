#include "domain/DocumentLists.h"

#include "common/comUtility.h"
#include "platform/database/Connection.h"
#include "platform/database/FirstValue.h"
#include "platform/database/Types.h"

namespace {

db::Recordset readList(const db::Connection& cn, const QString& sql)
{
    db::Recordset rs;
    rs.setCursorLocation(db::CursorLocation::Client);
    rs.open(sql, cn, db::CursorType::Static, db::LockType::ReadOnly, db::CommandType::Text);
    rs.disconnect();
    return rs;
}

db::Connection openConnection(const QString& connectionString)
{
    db::Connection cn;
    cn.setCursorLocation(db::CursorLocation::Client);
    cn.open(connectionString);
    return cn;
}

} // namespace

db::Recordset readClientList(const QString& connectionString, std::int32_t sezId)
{
    db::Connection cn = openConnection(connectionString);
    db::Recordset rs = readList(cn, QStringLiteral("SELECT cliId, cliNome FROM CliFor WHERE sezId=") + QString::number(sezId)
                                        + QStringLiteral(" OR cliShared=TRUE ORDER BY cliNome"));
    cn.close();
    return rs;
}

db::Recordset readPaymentList(const QString& connectionString, std::int32_t sezId)
{
    db::Connection cn = openConnection(connectionString);
    const db::Recordset terms = readList(cn, QStringLiteral("SELECT * FROM Pagamenti WHERE sezId=") + QString::number(sezId)
                                                 + QStringLiteral(" OR pagShared=TRUE ORDER BY pagDescrizione"));
    cn.close();

    db::Recordset list;
    list.appendField({QStringLiteral("pagId"), db::DataType::Integer, 4, true});
    // Wide enough for any stored description: the list must never refuse one.
    list.appendField({QStringLiteral("pagDescrizione"), db::DataType::VarWChar, 255, true});
    list.openFabricated();
    list.addNew();
    list.setValue(QStringLiteral("pagId"), core::Variant(std::int32_t(0)));
    list.setValue(QStringLiteral("pagDescrizione"), core::Variant(QString()));
    list.update();
    for (db::Recordset src = terms.clone(); !src.eof(); src.moveNext()) {
        list.addNew();
        list.setValue(QStringLiteral("pagId"), src.value(QStringLiteral("pagId")));
        list.setValue(QStringLiteral("pagDescrizione"), NzStr(src.value(QStringLiteral("pagDescrizione")), QString()).left(255));
        list.update();
    }
    return list;
}

db::Recordset readVatCodeList(const QString& connectionString)
{
    db::Connection cn = openConnection(connectionString);
    db::Recordset rs = readList(cn, QStringLiteral("SELECT cdiCodice, cdiDescrizione FROM CodiciIVA ORDER BY cdiCodice"));
    cn.close();
    return rs;
}

std::array<core::Variant, 7> readClientData(const QString& connectionString, std::int32_t cliId)
{
    db::Recordset rs;
    rs.open(QStringLiteral("SELECT * FROM CliFor WHERE cliId=") + QString::number(cliId), connectionString,
            db::CursorType::ForwardOnly, db::LockType::ReadOnly, db::CommandType::Text);
    if (rs.eof()) {
        rs.close();
        throw core::Error(kClientNotFound, QStringLiteral("Cliente non trovato."));
    }
    auto text = [&rs](const char* field) { return NzStr(rs.value(QLatin1String(field)), QString()); };
    std::array<core::Variant, 7> data;
    const QString blank = QStringLiteral(" ");
    data[0] = blank + text("cliIndirizzo");
    data[1] = blank + text("cliCAP") + blank + text("cliLocalita") + blank + text("cliProvincia");
    data[2] = rs.value(QStringLiteral("cliBancaApp01"));
    data[3] = rs.value(QStringLiteral("cliBancaApp03"));
    data[4] = rs.value(QStringLiteral("cliBancaApp04"));
    data[5] = rs.value(QStringLiteral("cliPagamento"));
    data[6] = rs.value(QStringLiteral("SostImposta"));
    rs.close();
    return data;
}

core::Variant clientPaymentTerm(const QString& connectionString, std::int32_t cliId)
{
    return db::firstValue(connectionString,
                          QStringLiteral("SELECT cliPagamento FROM CliFor WHERE CliId=") + QString::number(cliId));
}
