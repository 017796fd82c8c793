#include "platform/database/jet/TestDatabase.h"

#include "startup/Schema.h"
#include "startup/SchemaUpgrade.h"

#include <QFile>
#include <QTextStream>
#include <gtest/gtest.h>

// The template's seed rows and what the upgrade and the program's queries make
// of them, on a database built from the template schema and brought up to date.
namespace {

struct Entry {
    QString origin;
    QString sql;
    int line;
};

// The upgrade's statements as the program holds them, then the corpus of the
// statements still written inside window code.
std::vector<Entry> readCorpus()
{
    QFile file(QStringLiteral(CORVESSA_TEST_DATA_DIR "/jetsql/program_sql.txt"));
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        return {};
    QTextStream in(&file);
    in.setEncoding(QStringConverter::Utf8);
    std::vector<Entry> entries;
    int count = 0;
    const char* const* upgrade = StatementiAggiornaDb(&count);
    for (int i = 0; i < count; ++i)
        entries.push_back({QStringLiteral("AggiornaDb statement %1").arg(i + 1), QString::fromUtf8(upgrade[i]), 0});
    QString origin;
    int number = 0;
    while (!in.atEnd()) {
        const QString line = in.readLine();
        ++number;
        if (line.trimmed().isEmpty())
            continue;
        if (line.startsWith(QLatin1String("# "))) {
            origin = line.mid(2);
            continue;
        }
        entries.push_back({origin, line, number});
    }
    return entries;
}

bool isSchemaChange(db::jet::StatementKind kind)
{
    using K = db::jet::StatementKind;
    return kind == K::CreateTable || kind == K::CreateIndex || kind == K::AlterTableAddColumn
        || kind == K::AlterTableAlterColumn || kind == K::AlterTableDropColumn || kind == K::DropTable || kind == K::DropIndex;
}

class TemplateSql : public ::testing::Test {
protected:
    void SetUp() override
    {
        for (const QString& sql : startup::templateSchemaStatements())
            ASSERT_NO_THROW(db.exec(sql)) << sql.toStdString();
        corpus = readCorpus();
        ASSERT_GT(corpus.size(), 150u) << "corpus file missing or truncated";
    }

    std::string where(const Entry& e) const
    {
        return QStringLiteral("line %1 (%2): %3").arg(e.line).arg(e.origin, e.sql).toStdString();
    }

    TestDatabase db;
    std::vector<Entry> corpus;
};

TEST_F(TemplateSql, TemplateSeedsAndUpgradeDefaults)
{
    for (const auto& e : corpus) {
        const auto t = db::jet::translate(e.sql, db);
        if (isSchemaChange(t.kind) && t.kind != db::jet::StatementKind::AlterTableAlterColumn)
            db.exec(e.sql);
        else if (t.kind == db::jet::StatementKind::Update && e.origin.startsWith(QLatin1String("AggiornaDb")))
            db.exec(e.sql);
    }
    const auto admin = db.query(QStringLiteral("SELECT sezNome, sezPass, sezRitPrePerc, sezRitAccDesc, sezPreIVA, sezRitAccSuRitPre, "
                                               "sezRitPreDesc, sezRitAccPercSuImp FROM Sezioni WHERE sezId=1"));
    ASSERT_EQ(admin.size(), 1u);
    EXPECT_TRUE(admin[0][1].isNull()) << "no password";
    EXPECT_EQ(admin[0][2].toDouble(), 4.0);
    EXPECT_EQ(admin[0][3].toString(), QStringLiteral("Ritenuta d'acconto 20%"));
    EXPECT_EQ(admin[0][4].toString(), QStringLiteral("22"));
    EXPECT_EQ(admin[0][5], core::Variant(false));
    // A new professional's defaults: the label promises no more than the
    // computation does (withholding not on the surcharge).
    EXPECT_EQ(admin[0][6].toString(), QStringLiteral("Rivalsa (4%)"));
    EXPECT_EQ(admin[0][7].toDouble(), 100.0);

    // The new-professional routine writes Sezioni by position: 4 to 8 are the settings it fills.
    const QStringList sezioni = db.columns(QStringLiteral("Sezioni"));
    EXPECT_EQ(sezioni.mid(0, 11), (QStringList{QStringLiteral("sezId"), QStringLiteral("sezTitolo"), QStringLiteral("sezNome"),
                                               QStringLiteral("sezCognome"), QStringLiteral("sezRitPrePerc"), QStringLiteral("sezRitPreDesc"),
                                               QStringLiteral("sezRitAccPerc"), QStringLiteral("sezRitAccDesc"),
                                               QStringLiteral("sezRitAccPercSuImp"), QStringLiteral("sezPreIVA"),
                                               QStringLiteral("sezRitAccSuRitPre")}));
    EXPECT_GE(sezioni.size(), 19);
    const QStringList modelli = db.columns(QStringLiteral("SezioniModelli"));
    EXPECT_EQ(modelli.value(0), QStringLiteral("sezId"));
    EXPECT_EQ(modelli.value(2), QStringLiteral("modFatInt"));
    EXPECT_EQ(modelli.value(3), QStringLiteral("modFatIntTipo"));

    // The upgrade copied cdiEsenzione into cdiRitAcc and set cdiDetImporto to 0.
    EXPECT_EQ(db.scalar(QStringLiteral("SELECT cdiRitAcc FROM CodiciIVA WHERE cdiCodice='N1'")).toLong(), -1);
    EXPECT_EQ(db.scalar(QStringLiteral("SELECT cdiRitAcc FROM CodiciIVA WHERE cdiCodice='22'")).toLong(), 0);
    EXPECT_EQ(db.scalar(QStringLiteral("SELECT Count(*) FROM CodiciIVA WHERE cdiDetImporto = 0")).toLong(),
              db.scalar(QStringLiteral("SELECT Count(*) FROM CodiciIVA")).toLong());
    EXPECT_EQ(db.columnType(QStringLiteral("Prestazioni"), QStringLiteral("preDescrizione")), db::DataType::VarWChar);
}

TEST_F(TemplateSql, CollectionsReportGivesExactAmountsDue)
{
    for (const auto& e : corpus) {
        const auto t = db::jet::translate(e.sql, db);
        if (isSchemaChange(t.kind) && t.kind != db::jet::StatementKind::AlterTableAlterColumn)
            db.exec(e.sql);
    }
    db.exec(QStringLiteral("INSERT INTO CliFor (cliId, cliNome, cliLocalita, sezId, cliShared) VALUES (7, 'D''Amico', 'Roma', 1, False)"));
    db.exec(QStringLiteral("INSERT INTO Fatture (fatId, sezId, fatTipo, fatNo, fatPrefisso, fatData, fatCliForId, fatCliForPag, fatTotNetto) "
                           "VALUES (5, 1, 0, 1, '', #03/05/2024#, 7, 0, 300.30)"));
    db.exec(QStringLiteral("INSERT INTO Fatture (fatId, sezId, fatTipo, fatNo, fatPrefisso, fatData, fatCliForId, fatCliForPag, fatTotNetto) "
                           "VALUES (6, 1, 0, 2, 'A', #03/06/2024#, 7, 0, 50)"));
    db.exec(QStringLiteral("INSERT INTO Incassi (incFatId, incData, incImporto) VALUES (5, #03/10/2024#, 100.10)"));
    db.exec(QStringLiteral("INSERT INTO Incassi (incFatId, incData, incImporto) VALUES (5, #03/11/2024#, 200.20)"));

    const Entry* unpaid = nullptr;
    const Entry* all = nullptr;
    for (const auto& e : corpus) {
        if (e.origin.startsWith(QLatin1String("EseguiStampa report 7 collections, unpaid")))
            unpaid = &e;
        if (e.origin.startsWith(QLatin1String("EseguiStampa report 7 collections, all")))
            all = &e;
    }
    ASSERT_TRUE(unpaid && all);

    const auto rows = db.query(all->sql);
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(rows[0][0].toString(), QStringLiteral("D'Amico [Roma]"));
    EXPECT_EQ(rows[0][2].toString(), QStringLiteral("1"));
    EXPECT_EQ(rows[0][5].toCurrency(), core::Currency::fromRaw(3003000)); // collected
    EXPECT_EQ(rows[0][6].toCurrency(), core::Currency()) << "exactly nothing due";
    EXPECT_EQ(rows[1][2].toString(), QStringLiteral("2A"));
    EXPECT_EQ(rows[1][5].toCurrency(), core::Currency()) << "no collections count as 0";
    EXPECT_EQ(rows[1][6].toCurrency(), core::Currency::fromUnits(50));

    // Only the invoice with something due is unpaid.
    const auto open = db.query(unpaid->sql);
    ASSERT_EQ(open.size(), 1u);
    EXPECT_EQ(open[0][2].toString(), QStringLiteral("2A"));
}

} // namespace
