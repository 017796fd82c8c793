#include "domain/Professionals.h"

#include "common/comUtility.h"
#include "domain/ClientConnection.h"
#include "platform/core/Error.h"
#include "platform/database/Recordset.h"
#include "platform/database/Transaction.h"

#include <array>

namespace {

db::Recordset openQuery(const db::Connection& cn, const QString& sql, db::LockType lock = db::LockType::ReadOnly)
{
    db::Recordset rs;
    rs.setCursorLocation(db::CursorLocation::Client);
    rs.open(sql, cn, db::CursorType::Static, lock, db::CommandType::Text);
    return rs;
}

std::int32_t firstNumber(const db::Connection& cn, const QString& sql)
{
    db::Recordset rs = openQuery(cn, sql);
    const std::int32_t n = rs.eof() || rs.value(0).isEmptyOrNull() ? 0 : rs.value(0).toLong();
    rs.close();
    return n;
}

void addPageRow(db::Recordset& rs, std::int32_t sezId)
{
    rs.addNew();
    rs.setValue(QStringLiteral("sezId"), core::Variant(sezId));
    rs.setValue(QStringLiteral("modFatInt"), core::Variant(true));
    rs.setValue(QStringLiteral("modFatIntTipo"), core::Variant(std::int16_t(0)));
    rs.update();
}

void addAssignment(db::Recordset& rs, std::int32_t sezId, int docType, std::int32_t finId)
{
    rs.addNew();
    rs.setValue(QStringLiteral("sezId"), core::Variant(sezId));
    rs.setValue(QStringLiteral("fnrfinId"), core::Variant(finId));
    rs.setValue(QStringLiteral("fnrDocType"), core::Variant(std::int16_t(docType)));
    rs.update();
}

// The document kinds (0 to 2) the assignment rows of `rel` name; reads them all.
std::array<bool, 3> kindsAssigned(db::Recordset& rel)
{
    std::array<bool, 3> present = {false, false, false};
    for (; !rel.eof(); rel.moveNext()) {
        const core::Variant kind = rel.value(QStringLiteral("fnrDocType"));
        if (!kind.isEmptyOrNull() && kind.toLong() >= 0 && kind.toLong() <= 2)
            present[kind.toLong()] = true;
    }
    return present;
}

// Adds the missing rows on `cn`, inside the caller's transaction.
bool addMissingRows(const db::Connection& cn, std::int32_t sezId)
{
    const QString S = QString::number(sezId);
    bool added = false;
    db::Recordset page = openQuery(cn, QStringLiteral("SELECT * FROM SezioniModelli WHERE sezId=") + S, db::LockType::Optimistic);
    if (page.eof()) {
        addPageRow(page, sezId);
        added = true;
    }
    page.close();

    db::Recordset rel = openQuery(cn, QStringLiteral("SELECT * FROM finRel WHERE sezId=") + S, db::LockType::Optimistic);
    const std::array<bool, 3> present = kindsAssigned(rel);
    for (int t = 0; t < 3; ++t) {
        if (present[t])
            continue;
        const std::int32_t finId = defaultLayoutFor(cn, t);
        // With no layout stored there is nothing an assignment could point at.
        if (finId == 0)
            continue;
        addAssignment(rel, sezId, t, finId);
        added = true;
    }
    rel.close();
    return added;
}

// True when addMissingRows would add a row; reads only.
bool rowsMissing(const db::Connection& cn, std::int32_t sezId)
{
    const QString S = QString::number(sezId);
    db::Recordset page = openQuery(cn, QStringLiteral("SELECT sezId FROM SezioniModelli WHERE sezId=") + S, db::LockType::ReadOnly);
    const bool noPage = page.eof();
    page.close();
    if (noPage)
        return true;
    db::Recordset rel = openQuery(cn, QStringLiteral("SELECT fnrDocType FROM finRel WHERE sezId=") + S, db::LockType::ReadOnly);
    const std::array<bool, 3> present = kindsAssigned(rel);
    rel.close();
    for (int t = 0; t < 3; ++t)
        if (!present[t] && defaultLayoutFor(cn, t) != 0)
            return true;
    return false;
}

} // namespace

std::int32_t defaultLayoutFor(const db::Connection& cn, int docType)
{
    const QString kind = QString::number(docType);
    std::int32_t finId = firstNumber(cn, QStringLiteral("SELECT finRel.fnrfinId FROM finRel INNER JOIN finData ON "
                                                       "finRel.fnrfinId = finData.finId WHERE finRel.sezId=1 AND "
                                                       "finRel.fnrDocType=")
                                             + kind + QStringLiteral(" ORDER BY finRel.fnrId"));
    if (finId == 0)
        finId = firstNumber(cn, QStringLiteral("SELECT finId FROM finData WHERE finId=") + QString::number(docType + 1));
    if (finId == 0)
        finId = firstNumber(cn, QStringLiteral("SELECT finId FROM finData ORDER BY finId"));
    return finId;
}

std::int32_t createProfessional(const QString& connectionString, const QString& titolo, const QString& nome,
                                const QString& cognome)
{
    db::Connection cn = openClientConnection(connectionString);
    db::Transaction tx(cn);

    core::Variant preIva = core::Variant::null();
    core::Variant ritAccDesc = core::Variant::null();
    {
        db::Recordset admin = openQuery(cn, QStringLiteral("SELECT sezPreIVA, sezRitAccDesc FROM Sezioni WHERE sezId=1"));
        if (!admin.eof()) {
            preIva = admin.value(QStringLiteral("sezPreIVA"));
            ritAccDesc = admin.value(QStringLiteral("sezRitAccDesc"));
        }
        admin.close();
    }

    db::Recordset sez;
    sez.setCursorLocation(db::CursorLocation::Client);
    sez.open(QStringLiteral("Sezioni"), cn, db::CursorType::Static, db::LockType::Optimistic, db::CommandType::Table);
    sez.addNew();
    sez.setValue(QStringLiteral("sezTitolo"), core::Variant(titolo));
    sez.setValue(QStringLiteral("sezNome"), core::Variant(nome));
    sez.setValue(QStringLiteral("sezCognome"), core::Variant(cognome));
    sez.setValue(QStringLiteral("sezRitPrePerc"), core::Variant(4.0));
    sez.setValue(QStringLiteral("sezRitPreDesc"), core::Variant(QStringLiteral("Rivalsa (4%)")));
    sez.setValue(QStringLiteral("sezRitAccPerc"), core::Variant(20.0));
    sez.setValue(QStringLiteral("sezRitAccDesc"), ritAccDesc);
    sez.setValue(QStringLiteral("sezRitAccPercSuImp"), core::Variant(100.0));
    sez.setValue(QStringLiteral("sezRitAccSuRitPre"), core::Variant(false));
    sez.setValue(QStringLiteral("sezPreIVA"), preIva);
    sez.update();
    const std::int32_t sezId = sez.value(QStringLiteral("sezId")).toLong();
    sez.close();

    addMissingRows(cn, sezId);
    tx.commit();
    cn.close();
    return sezId;
}

bool ensureSectionRows(const QString& connectionString, std::int32_t sezId)
{
    db::Connection cn = openClientConnection(connectionString);
    // The usual case has every row: read only, so a busy or read-only file still
    // opens the setup. The write lock is taken only for what is missing.
    if (!rowsMissing(cn, sezId)) {
        cn.close();
        return false;
    }
    db::Transaction tx(cn);
    const bool added = addMissingRows(cn, sezId);
    tx.commit();
    cn.close();
    return added;
}

void deleteProfessionalData(const QString& connectionString, std::int32_t sezId)
{
    if (sezId == 1)
        throw core::Error(-1, QStringLiteral("Impossibile eliminare il Professionista Amministratore"), QStringLiteral("Professionals"));
    if (sezId < 1)
        throw core::Error(-1, QStringLiteral("Nessun professionista scelto."), QStringLiteral("Professionals"));

    const QString S = QString::number(sezId);
    const QString documenti = QStringLiteral("(SELECT fatId FROM Fatture WHERE sezId=") + S + QStringLiteral(")");
    const QString nonCondiviso = QStringLiteral(" AND (cliShared=FALSE OR cliShared Is Null)");
    // A client another section still prints on a document or offers a service for
    // stays (the section's own documents are gone by the time this runs).
    const QString clientiEliminati =
        QStringLiteral("sezId=") + S + nonCondiviso
        + QStringLiteral(" AND cliId NOT IN (SELECT fatCliForId FROM Fatture WHERE fatCliForId Is Not Null)"
                         " AND cliId NOT IN (SELECT preCliId FROM Prestazioni WHERE preCliId Is Not Null AND "
                         "(sezId<>")
        + S + QStringLiteral(" OR sezId Is Null))");

    db::Connection cn = openClientConnection(connectionString);
    db::Transaction tx(cn);
    cn.execute(QStringLiteral("DELETE * FROM FattureDettaglio WHERE fdtfatId IN ") + documenti);
    cn.execute(QStringLiteral("DELETE * FROM FattureIva WHERE fcifatId IN ") + documenti);
    cn.execute(QStringLiteral("DELETE * FROM Incassi WHERE incFatId IN ") + documenti);
    cn.execute(QStringLiteral("DELETE * FROM MediaPagamenti WHERE medpagmedId IN (SELECT medId FROM Media WHERE medfatId IN ")
               + documenti + QStringLiteral(")"));
    cn.execute(QStringLiteral("DELETE * FROM Media WHERE medfatId IN ") + documenti);
    cn.execute(QStringLiteral("DELETE * FROM Fatture WHERE sezId=") + S);
    // The numbering went with the documents it counted: the section starts again from 1.
    cn.execute(QStringLiteral("DELETE * FROM SezioniParametri WHERE parsezId=") + S);
    cn.execute(QStringLiteral("DELETE * FROM Prestazioni WHERE preCliId IN (SELECT cliId FROM CliFor WHERE ") + clientiEliminati
               + QStringLiteral(")"));
    cn.execute(QStringLiteral("DELETE * FROM CliFor WHERE ") + clientiEliminati);
    // A payment term still named by a remaining client or document (a shared one,
    // or another section's) stays.
    cn.execute(QStringLiteral("DELETE * FROM Pagamenti WHERE sezId=") + S
               + QStringLiteral(" AND (pagShared=FALSE OR pagShared Is Null)"
                                " AND pagId NOT IN (SELECT cliPagamento FROM CliFor WHERE cliPagamento Is Not Null)"
                                " AND pagId NOT IN (SELECT fatCliForPag FROM Fatture WHERE fatCliForPag Is Not Null)"));
    tx.commit();
    cn.close();
}

QString professionalName(const db::Recordset& rs)
{
    return NzStr(rs.value(QStringLiteral("sezTitolo")), QString()) + QLatin1Char(' ')
         + NzStr(rs.value(QStringLiteral("sezNome")), QString()) + QLatin1Char(' ')
         + NzStr(rs.value(QStringLiteral("sezCognome")), QString());
}

QVector<ProfessionalEntry> listProfessionals(const QString& connectionString)
{
    QVector<ProfessionalEntry> list;
    db::Recordset rs;
    rs.open(QStringLiteral("SELECT * FROM Sezioni ORDER BY sezId"), connectionString, db::CursorType::ForwardOnly,
            db::LockType::ReadOnly, db::CommandType::Text);
    while (!rs.eof()) {
        list.push_back({rs.value(QStringLiteral("sezId")).toLong(), professionalName(rs), rs.value(QStringLiteral("sezPass"))});
        rs.moveNext();
    }
    rs.close();
    return list;
}

std::optional<QString> professionalNameOf(const QString& connectionString, std::int32_t sezId)
{
    db::Recordset rs;
    rs.open(QStringLiteral("SELECT * FROM Sezioni WHERE sezId=") + QString::number(sezId), connectionString,
            db::CursorType::ForwardOnly, db::LockType::ReadOnly, db::CommandType::Text);
    std::optional<QString> name;
    if (!rs.eof())
        name = professionalName(rs);
    rs.close();
    return name;
}
