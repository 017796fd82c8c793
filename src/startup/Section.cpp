#include "startup/Section.h"

#include "common/comUtility.h"
#include "platform/core/Error.h"
#include "platform/database/Connection.h"
#include "platform/database/Recordset.h"
#include "startup/SharedState.h"

std::int32_t SezioneUnicaSenzaPassword()
{
    db::Connection cn;
    cn.setCursorLocation(db::CursorLocation::Client);
    cn.open(session().dataConStr, QString(), QString());
    db::Recordset rs;
    rs.open(QStringLiteral("SELECT * FROM Sezioni"), cn, db::CursorType::Static, db::LockType::ReadOnly, db::CommandType::Text);
    std::int32_t result = 0;
    if (rs.recordCount() == 1 && rs.value(QStringLiteral("sezPass")).isNull())
        result = rs.value(QStringLiteral("sezId")).toLong();
    rs.close();
    cn.close();
    return result;
}

bool SezioneUnicaLibera()
{
    return SezioneUnicaSenzaPassword() > 0;
}

void CaricaSezione()
{
    // Each value on its own: a Null column leaves the variable as it was, a
    // missing section row leaves them all.
    db::Recordset rs;
    try {
        rs.open(QStringLiteral("SELECT * FROM Sezioni WHERE sezId=") + QString::number(session().sezId), session().dataConStr,
                db::CursorType::ForwardOnly, db::LockType::ReadOnly, db::CommandType::Text);
    } catch (const core::Error&) {
        return;
    }
    if (rs.eof()) {
        rs.close();
        return;
    }
    auto leggi = [&](const char* campo, auto&& assegna) {
        try {
            const core::Variant v = rs.value(QString::fromUtf8(campo));
            if (!v.isNull())
                assegna(v);
        } catch (const core::Error&) {
            // A column an older database lacks: the variable keeps its value.
        }
    };
    leggi("sezRitAccPerc", [](const core::Variant& v) { session().ritAccPerc = v.toDouble(); });
    leggi("sezRitAccDesc", [](const core::Variant& v) { session().ritAccDesc = v.toString(); });
    leggi("sezRitAccPercSuImp", [](const core::Variant& v) { session().ritAccPercSuImp = v.toDouble(); });
    leggi("sezRitPrePerc", [](const core::Variant& v) { session().ritPrePerc = v.toDouble(); });
    leggi("sezRitPreDesc", [](const core::Variant& v) { session().ritPreDesc = v.toString(); });
    leggi("sezRitAccSuRitPre", [](const core::Variant& v) { session().ritAccSuRitPre = v.toBool(); });
    try {
        session().preIVA = NzStr(rs.value(QStringLiteral("sezPreIVA")), QString());
    } catch (const core::Error&) {
        // As above: the default VAT code stays as it was.
    }
    rs.close();
}
