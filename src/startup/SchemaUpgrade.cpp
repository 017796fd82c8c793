#include "startup/SchemaUpgrade.h"

#include "domain/SectionPasswords.h"
#include "platform/database/Catalog.h"
#include "platform/database/Connection.h"
#include "platform/database/Recordset.h"
#include "startup/AttesaDatabase.h"
#include "startup/Schema.h"
#include "startup/SharedState.h"

#include "platform/report/Report.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QRegularExpression>
#include <QSet>
#include <algorithm>
#include <iterator>

namespace {

const char* const kAggiornaDb[] = {
    "ALTER TABLE SezioniModelli ADD COLUMN sezQuantiViewHidden YESNO",
    "ALTER TABLE CliFor ADD COLUMN cliPagamento LONG",
    "ALTER TABLE Fatture ADD COLUMN fatSentEmail YESNO",
    "ALTER TABLE CliFor ADD COLUMN cliBancaApp01 TEXT(40)",
    "ALTER TABLE CliFor ADD COLUMN cliBancaApp02 TEXT(40)",
    "ALTER TABLE CliFor ADD COLUMN cliBancaApp03 TEXT(5)",
    "ALTER TABLE CliFor ADD COLUMN cliBancaApp04 TEXT(5)",
    "ALTER TABLE CliFor ADD COLUMN SostImposta YESNO",
    "ALTER TABLE CliFor ADD COLUMN cliShared YESNO",
    "ALTER TABLE CliFor ADD COLUMN sezId INTEGER",
    "ALTER TABLE Fatture ADD COLUMN fatBancaApp01 TEXT(40)",
    "ALTER TABLE Fatture ADD COLUMN fatBancaApp02 TEXT(40)",
    "ALTER TABLE Fatture ADD COLUMN fatBancaApp03 TEXT(5)",
    "ALTER TABLE Fatture ADD COLUMN fatBancaApp04 TEXT(5)",
    "ALTER TABLE Fatture ADD COLUMN fatScontoInc CURRENCY",
    "ALTER TABLE Fatture ADD COLUMN fatTotDocSco CURRENCY",
    "ALTER TABLE Sezioni ADD COLUMN sezRitAgDesc TEXT(255)",
    "ALTER TABLE Sezioni ADD COLUMN sezRitAgPerc DOUBLE",
    "ALTER TABLE Sezioni ADD COLUMN sezRitAgPercSuImp DOUBLE",
    "ALTER TABLE Fatture ADD COLUMN fatTotRitAcc2 CURRENCY",
    "ALTER TABLE Fatture ADD COLUMN fatRitAgDesc TEXT(255)",
    "ALTER TABLE Fatture ADD COLUMN fatRitAgPerc DOUBLE",
    "ALTER TABLE Fatture ADD COLUMN fatRitAgPercSuImp DOUBLE",
    "ALTER TABLE FattureDettaglio ADD COLUMN fdtCodice TEXT(50)",
    "ALTER TABLE FattureDettaglio ADD COLUMN fdtData DATETIME",
    "ALTER TABLE FattureDettaglio ADD COLUMN fdtSconto DOUBLE",
    "ALTER TABLE FattureDettaglio ADD COLUMN fdtTotRigaSco CURRENCY",
    "ALTER TABLE Sezioni ADD COLUMN sezEmailEnable YESNO",
    "ALTER TABLE Sezioni ADD COLUMN sezEmailSMPTServer TEXT(255)",
    "ALTER TABLE Sezioni ADD COLUMN sezEmailSMPTServerPort LONG",
    "ALTER TABLE Sezioni ADD COLUMN sezEmailSMTPAuthenticate LONG",
    "ALTER TABLE Sezioni ADD COLUMN sezEmailSMPTFrom TEXT(255)",
    "ALTER TABLE Sezioni ADD COLUMN sezEmailSMPTSender TEXT(255)",
    "ALTER TABLE Sezioni ADD COLUMN sezEmailSMPTUserName TEXT(255)",
    "ALTER TABLE Sezioni ADD COLUMN sezEmailSMPTPassword TEXT(255)",
    "ALTER TABLE Sezioni ADD COLUMN sezEmailSMPTSubject TEXT(255)",
    "ALTER TABLE Sezioni ADD COLUMN sezEmailSMPTBody MEMO",
    "ALTER TABLE Sezioni ADD COLUMN sezPass TEXT(50)",
    "ALTER TABLE SezioniModelli ADD COLUMN modNote MEMO",
    "CREATE TABLE Fornitori ( forId COUNTER, forNome TEXT(50), forIndirizzo TEXT(50),  forCAP TEXT(6), forLocalita TEXT(50), forProvincia TEXT(2), forTelefono TEXT(30), forFax TEXT(30), forMobile TEXT(30),  forEMail TEXT(255), forPartitaIVA TEXT(16), forCodiceFiscale TEXT(16), forBanca TEXT(50), forNote MEMO, forPagamento INTEGER)",
    "CREATE INDEX PrimaryKey ON Fornitori (forId) WITH PRIMARY",
    "CREATE TABLE Media ( medfatId LONG, medId COUNTER, medForId INTEGER, medDescrizione TEXT(50), medImporto CURRENCY, medImportoVersato CURRENCY)",
    "CREATE INDEX PrimaryKey ON Media (medId) WITH PRIMARY",
    "CREATE TABLE MediaPagamenti ( medpagmedId LONG, medpagId COUNTER, medpagData DATETIME, medpagImporto CURRENCY)",
    "CREATE INDEX PrimaryKey ON MediaPagamenti (medpagId) WITH PRIMARY",
    "ALTER TABLE Prestazioni ADD COLUMN preCodice TEXT(50)",
    "ALTER TABLE Prestazioni ADD COLUMN preUM TEXT(2)",
    "ALTER TABLE Prestazioni ADD COLUMN preData DATETIME",
    "ALTER TABLE Prestazioni ADD COLUMN preQuanti DOUBLE",
    "ALTER TABLE Prestazioni ADD COLUMN preCliId LONG",
    "CREATE TABLE Ums ( umCodice TEXT(2), umDescrizione TEXT(50))",
    "CREATE INDEX PrimaryKey ON Ums (umCodice) WITH PRIMARY",
    "CREATE TABLE Enasarco (enaId INTEGER, enaAnno INTEGER, enacliId INTEGER, enacliFatturato CURRENCY)",
    "CREATE INDEX PrimaryKey ON Enasarco (enaId) WITH PRIMARY",
    "ALTER TABLE SezioniParametri ADD COLUMN parData1 DATETIME",
    "ALTER TABLE SezioniParametri ADD COLUMN parData2 DATETIME",
    "UPDATE CliFor SET CliFor.sezId = 1 WHERE CliFor.sezId Is Null",
    "ALTER TABLE Pagamenti ADD COLUMN sezId INTEGER",
    "ALTER TABLE Pagamenti ADD COLUMN pagShared YESNO",
    "UPDATE Pagamenti SET Pagamenti.sezId = 1 WHERE Pagamenti.sezId Is Null",
    "UPDATE Prestazioni SET Prestazioni.sezId = 1 WHERE Prestazioni.sezId = 0",
    "UPDATE Prestazioni SET Prestazioni.preCliId = 0 WHERE Prestazioni.preCliId Is Null",
    "CREATE TABLE Incassi (incId COUNTER, incFatId LONG, incData DATETIME, incImporto CURRENCY, incDescrizione TEXT(50))",
    "CREATE INDEX PrimaryKey ON Incassi (incId) WITH PRIMARY",
    "ALTER TABLE CodiciIVA ADD COLUMN cdiRitAcc INTEGER",
    "ALTER TABLE CodiciIVA ADD COLUMN cdiDetDesc TEXT(255)",
    "ALTER TABLE CodiciIVA ADD COLUMN cdiDetImporto CURRENCY",
    "UPDATE CodiciIVA SET CodiciIVA.cdiRitAcc = CodiciIVA.cdiEsenzione WHERE CodiciIVA.cdiRitAcc Is Null",
    "UPDATE CodiciIVA SET CodiciIVA.cdiDetImporto = 0 WHERE CodiciIVA.cdiDetImporto Is Null",
    // The year of the series a document was numbered in (see kSeriesYearColumn).
    "ALTER TABLE Fatture ADD COLUMN fatAnnoSerie INTEGER",
};

// The width of sezPass: room for a password hash with its parameters.
constexpr int kLarghezzaPassword = 255;

// Columns holding the id of a document, client or layout: those ids are 32-bit
// counters that grow with every row ever made, so a 16-bit column would refuse
// every id past 32 767. Files made before were given 16-bit columns here.
struct ColonnaId {
    const char* tabella;
    const char* colonna;
};
const ColonnaId kColonneId[] = {
    {"Incassi", "incFatId"},   {"Media", "medfatId"}, {"MediaPagamenti", "medpagmedId"},
    {"Prestazioni", "preCliId"}, {"finRel", "fnrfinId"},
};

bool colonnaId(const QString& tabella, const QString& colonna)
{
    return std::any_of(std::begin(kColonneId), std::end(kColonneId), [&](const ColonnaId& c) {
        return tabella.compare(QLatin1String(c.tabella), Qt::CaseInsensitive) == 0
            && colonna.compare(QLatin1String(c.colonna), Qt::CaseInsensitive) == 0;
    });
}

template <class F>
void ignoraErrori(F&& f)
{
    try {
        f();
    } catch (const core::Error&) {
        // Left for the next start: a statement that fails is tried again there.
    }
}

// The shapes of the upgrade's statements, as the catalog judges them.
QRegularExpression forma(const char* pattern)
{
    return QRegularExpression(QString::fromLatin1(pattern), QRegularExpression::CaseInsensitiveOption);
}
const QRegularExpression kAggiungiColonna = forma(R"(^ALTER TABLE (\w+) ADD COLUMN (\w+))");
const QRegularExpression kCreaTabella = forma(R"(^CREATE TABLE (\w+) ?\((.*)\)\s*$)");
const QRegularExpression kCreaIndice = forma(R"(^CREATE (?:UNIQUE )?INDEX (\w+) ON (\w+) ?\(([^)]*)\))");
const QRegularExpression kAggiorna = forma(R"(^UPDATE (\w+) SET .+ WHERE (.+)$)");

// The tables, columns and indexes of the file, read from the catalog once and
// kept up to date as the upgrade changes them, so a statement whose change is
// there already is never run (and never asks for the write lock).
class StatoSchema {
public:
    explicit StatoSchema(db::Connection& cn)
    {
        const db::Catalog catalog = cn.catalog();
        for (const db::TableInfo& table : catalog.tables()) {
            Tabella& t = m_tabelle[table.name.toLower()];
            for (const db::ColumnInfo& column : table.columns)
                t.colonne.insert(column.name.toLower());
            for (const QString& index : catalog.indexNames(table.name))
                t.indici.insert(index.toLower());
        }
    }

    // True when running the statement would change the file. A statement of a
    // shape not known here is always run, as before.
    bool serve(db::Connection& cn, const QString& sql) const
    {
        QRegularExpressionMatch m;
        if ((m = kAggiungiColonna.match(sql)).hasMatch())
            return haTabella(m.captured(1)) && !haColonna(m.captured(1), m.captured(2));
        if ((m = kCreaTabella.match(sql)).hasMatch())
            return !haTabella(m.captured(1));
        if ((m = kCreaIndice.match(sql)).hasMatch()) {
            if (!haTabella(m.captured(2)) || haIndice(m.captured(2), m.captured(1)))
                return false;
            for (const QString& colonna : m.captured(3).split(QLatin1Char(',')))
                if (!haColonna(m.captured(2), colonna.trimmed()))
                    return false;
            return true;
        }
        if ((m = kAggiorna.match(sql)).hasMatch()) {
            if (!haTabella(m.captured(1)))
                return false;
            // Only when a row still needs it; a condition that cannot be read
            // (its column missing) would fail as the update itself.
            try {
                db::Recordset rs;
                rs.open(QStringLiteral("SELECT TOP 1 * FROM ") + m.captured(1) + QStringLiteral(" WHERE ") + m.captured(2), cn,
                        db::CursorType::ForwardOnly, db::LockType::ReadOnly, db::CommandType::Text);
                const bool righe = !rs.eof();
                rs.close();
                return righe;
            } catch (const core::Error&) {
                return false;
            }
        }
        return true;
    }

    // What a statement that ran has added.
    void eseguito(const QString& sql)
    {
        QRegularExpressionMatch m;
        if ((m = kAggiungiColonna.match(sql)).hasMatch()) {
            m_tabelle[m.captured(1).toLower()].colonne.insert(m.captured(2).toLower());
        } else if ((m = kCreaTabella.match(sql)).hasMatch()) {
            Tabella& t = m_tabelle[m.captured(1).toLower()];
            for (const QString& definizione : m.captured(2).split(QLatin1Char(',')))
                t.colonne.insert(definizione.trimmed().section(QLatin1Char(' '), 0, 0).toLower());
        } else if ((m = kCreaIndice.match(sql)).hasMatch()) {
            m_tabelle[m.captured(2).toLower()].indici.insert(m.captured(1).toLower());
        }
    }

private:
    struct Tabella {
        QSet<QString> colonne;
        QSet<QString> indici;
    };
    bool haTabella(const QString& t) const { return m_tabelle.contains(t.toLower()); }
    bool haColonna(const QString& t, const QString& c) const
    {
        return haTabella(t) && m_tabelle.value(t.toLower()).colonne.contains(c.toLower());
    }
    bool haIndice(const QString& t, const QString& i) const
    {
        return haTabella(t) && m_tabelle.value(t.toLower()).indici.contains(i.toLower());
    }
    QHash<QString, Tabella> m_tabelle;
};

// Runs, in order, the statements whose change the file lacks. An up-to-date file
// is only read; otherwise all of them run in one transaction, taken after
// waiting (with a window) for another machine's save. A file that stays busy,
// or is read-only, is left as it is for the next start.
void aggiornaSeServe(db::Connection& cn, const QStringList& statements)
{
    StatoSchema schema(cn);
    bool scrittura = false;
    for (const QString& sql : statements) {
        if (!schema.serve(cn, sql))
            continue;
        if (!scrittura) {
            if (!IniziaScritturaAttendendo(cn))
                return;
            scrittura = true;
        }
        try {
            cn.execute(sql);
            schema.eseguito(sql);
        } catch (const core::Error&) {
            // Left for the next start, as every upgrade statement.
        }
    }
    if (scrittura)
        cn.commitTrans();
}

} // namespace

const char* const* StatementiAggiornaDb(int* count)
{
    *count = static_cast<int>(std::size(kAggiornaDb));
    return kAggiornaDb;
}

void AggiornaDb()
{
    db::Connection cn;
    try {
        cn.open(session().dataConStr, QString(), QString());
    } catch (const core::Error&) {
        return;
    }
    // A file from an earlier release becomes a standard SQLite file first (only
    // read when it is one already).
    ignoraErrori([&] { cn.upgradeStorage(); });

    ignoraErrori([&] {
        QStringList statements;
        for (const char* sql : kAggiornaDb)
            statements << QString::fromUtf8(sql);
        for (const startup::LinkingIndex& index : startup::linkingIndexes())
            statements << startup::linkingIndexStatement(index);
        aggiornaSeServe(cn, statements);
    });

    // Catalog pass: widen an old 50-character service description and the
    // 16-bit id columns of older files (the engine rebuilds each table, keeping
    // its rows, indexes and counter). Empty text is allowed in every text and
    // memo column by this engine already, so the no zero-length setting is
    // needed here.
    ignoraErrori([&] {
        QStringList statements;
        for (const db::TableInfo& table : cn.catalog().tables()) {
            const bool prestazioni = table.name.compare(QLatin1String("Prestazioni"), Qt::CaseInsensitive) == 0;
            const bool sezioni = table.name.compare(QLatin1String("Sezioni"), Qt::CaseInsensitive) == 0;
            for (const db::ColumnInfo& column : table.columns) {
                if (prestazioni && column.name.compare(QLatin1String("preDescrizione"), Qt::CaseInsensitive) == 0
                    && column.definedSize == 50)
                    statements << QStringLiteral("ALTER TABLE Prestazioni ALTER COLUMN preDescrizione TEXT(255)");
                // A password is stored as its hash, which needs about a hundred characters.
                if (sezioni && column.name.compare(QLatin1String("sezPass"), Qt::CaseInsensitive) == 0
                    && column.definedSize < kLarghezzaPassword)
                    statements << QStringLiteral("ALTER TABLE Sezioni ALTER COLUMN sezPass TEXT(%1)").arg(kLarghezzaPassword);
                if ((column.type == db::DataType::SmallInt || column.type == db::DataType::UnsignedTinyInt)
                    && colonnaId(table.name, column.name))
                    statements << QStringLiteral("ALTER TABLE %1 ALTER COLUMN %2 LONG").arg(table.name, column.name);
            }
        }
        if (!statements.isEmpty())
            aggiornaSeServe(cn, statements);
    });
    cn.abandon();

    // A file of an older program may still hold passwords as typed.
    ignoraErrori([] { hashPlainPasswords(session().dataConStr); });
}

void CaricaUms()
{
    ignoraErrori([] {
        db::Connection cn;
        cn.open(session().dataConStr, QString(), QString());
        db::Recordset rs;
        rs.open(QStringLiteral("Ums"), cn, db::CursorType::Static, db::LockType::Optimistic, db::CommandType::Table);
        if (rs.eof() && rs.bof()) {
            static const char* const units[][2] = {
                {"NR", "Numero"},      {"KG", "Kilogrammi"}, {"QT", "Quintali"},      {"TN", "Tonnellate"},
                {"KM", "Kilometri"},   {"MC", "Metri cubi"}, {"ML", "Metri lineari"},
            };
            for (const auto& unit : units) {
                ignoraErrori([&] {
                    rs.addNew();
                    rs.setValue(QStringLiteral("umCodice"), QString::fromUtf8(unit[0]));
                    rs.setValue(QStringLiteral("umDescrizione"), QString::fromUtf8(unit[1]));
                    rs.update();
                });
            }
        }
        rs.close();
        cn.close();
    });
}

void CreaTabelleFin()
{
    db::Connection cn;
    try {
        cn.open(session().dataConStr, QString(), QString());
    } catch (const core::Error&) {
        return;
    }
    ignoraErrori([&] {
        aggiornaSeServe(cn, {QStringLiteral("CREATE TABLE finData ( finId COUNTER, finNome TEXT(80), finLay MEMO )"),
                             QStringLiteral("CREATE INDEX PrimaryKey ON finData (finId) WITH PRIMARY"),
                             QStringLiteral("CREATE TABLE finRel ( sezId INTEGER, fnrId COUNTER, fnrfinId LONG, fnrDocType INTEGER )"),
                             QStringLiteral("CREATE INDEX PrimaryKey ON finRel (fnrId) WITH PRIMARY")});
    });
    cn.abandon();
}

namespace {

const ModelloPredefinito kModelli[] = {
    {"tarvix_m0.rpx", "Modello fattura"},
    {"tarvix_m1.rpx", "Modello nota di credito"},
    {"tarvix_m2.rpx", "Modello pro forma"},
};

QString fileProgramma(const char* nome)
{
    return QDir(AppPath()).filePath(QString::fromUtf8(nome));
}

} // namespace

const ModelloPredefinito* ModelliPredefiniti(int* count)
{
    *count = static_cast<int>(std::size(kModelli));
    return kModelli;
}

void VerificaLogo()
{
    const QString bmp = fileProgramma("logo.bmp");
    if (QFileInfo::exists(bmp))
        return;
    // A read-only program folder simply keeps no copy: CaricaLogo reads logo.gen then.
    QFile::copy(fileProgramma("logo.gen"), bmp);
}

void CaricaModelli()
{
    ignoraErrori([] {
        db::Connection cn;
        cn.open(session().dataConStr, QString(), QString());
        std::int32_t assegnato[3] = {0, 0, 0}; // section 1's layout of each kind
        bool assegnazioni = false;
        {
            db::Recordset rel;
            rel.open(QStringLiteral("SELECT fnrfinId, fnrDocType FROM finRel WHERE sezId=1"), cn, db::CursorType::ForwardOnly,
                     db::LockType::ReadOnly, db::CommandType::Text);
            for (; !rel.eof(); rel.moveNext()) {
                assegnazioni = true;
                const core::Variant tipo = rel.value(QStringLiteral("fnrDocType"));
                if (!tipo.isEmptyOrNull() && tipo.toLong() >= 0 && tipo.toLong() < 3)
                    assegnato[tipo.toLong()] = rel.value(QStringLiteral("fnrfinId")).toLong();
            }
            rel.close();
        }
        if (assegnato[0] != 0 && assegnato[1] != 0 && assegnato[2] != 0)
            return; // the usual start: nothing to read further, nothing to write

        db::Recordset rs;
        rs.open(QStringLiteral("finData"), cn, db::CursorType::Static, db::LockType::Optimistic, db::CommandType::Table);
        // The layouts in the order they were made, and the default ones by their names.
        QVector<std::int32_t> ordine;
        std::int32_t perNome[3] = {0, 0, 0};
        for (; !rs.eof(); rs.moveNext()) {
            const std::int32_t id = rs.value(QStringLiteral("finId")).toLong();
            ordine << id;
            for (int t = 0; t < 3; ++t)
                if (perNome[t] == 0 && rs.value(QStringLiteral("finNome")).toString() == QString::fromUtf8(kModelli[t].nome))
                    perNome[t] = id;
        }
        std::sort(ordine.begin(), ordine.end());
        const bool nessunPredefinito = perNome[0] == 0 && perNome[1] == 0 && perNome[2] == 0;

        std::int32_t daAssegnare[3] = {0, 0, 0};
        if (!ordine.isEmpty() && !assegnazioni && nessunPredefinito) {
            // Layouts of the user's own and none assigned yet: the first three.
            for (int t = 0; t < 3 && t < ordine.size(); ++t)
                daAssegnare[t] = ordine[t];
        } else {
            for (int t = 0; t < 3; ++t) {
                if (assegnato[t] != 0)
                    continue;
                daAssegnare[t] = perNome[t];
                if (daAssegnare[t] != 0)
                    continue;
                // Stored only when the file is there now: an empty layout would print blank pages.
                ignoraErrori([&] {
                    report::Report modello;
                    modello.loadLayout(fileProgramma(kModelli[t].file));
                    const QByteArray bytes = modello.saveLayout();
                    rs.addNew();
                    rs.setValue(QStringLiteral("finNome"), QString::fromUtf8(kModelli[t].nome));
                    rs.setValue(QStringLiteral("finLay"), core::Variant(bytes));
                    rs.update();
                    daAssegnare[t] = rs.value(QStringLiteral("finId")).toLong();
                });
            }
        }
        rs.close();

        rs.open(QStringLiteral("finRel"), cn, db::CursorType::Static, db::LockType::Optimistic, db::CommandType::Table);
        for (int t = 0; t < 3; ++t) {
            if (assegnato[t] != 0 || daAssegnare[t] == 0)
                continue;
            ignoraErrori([&] {
                rs.addNew();
                rs.setValue(QStringLiteral("sezId"), core::Variant(std::int32_t(1)));
                rs.setValue(QStringLiteral("fnrfinId"), core::Variant(daAssegnare[t]));
                rs.setValue(QStringLiteral("fnrDocType"), core::Variant(std::int32_t(t)));
                rs.update();
            });
        }
        rs.close();
        cn.close();
    });
}

void CaricaLogo()
{
    ignoraErrori([] {
        QString percorso = fileProgramma("logo.bmp");
        if (!QFileInfo::exists(percorso))
            percorso = fileProgramma("logo.gen");
        QFile file(percorso);
        if (!file.open(QIODevice::ReadOnly))
            return;
        const QByteArray bytes = file.readAll();
        if (bytes.isEmpty())
            return;
        db::Connection cn;
        cn.open(session().dataConStr, QString(), QString());
        db::Recordset rs;
        rs.open(QStringLiteral("SELECT * FROM SezioniModelli WHERE sezId=1"), cn, db::CursorType::Static,
                db::LockType::Optimistic, db::CommandType::Text);
        if (!rs.eof()) {
            const core::Variant tipo = rs.value(QStringLiteral("modFatIntTipo"));
            if (rs.field(QStringLiteral("modFatIntLogo")).actualSize() == 0 && !tipo.isNull() && tipo.toLong() == 1) {
                rs.field(QStringLiteral("modFatIntLogo")).appendChunk(bytes);
                rs.update();
            }
        }
        rs.close();
        cn.close();
    });
}
