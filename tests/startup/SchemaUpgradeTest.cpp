#include "domain/PasswordHash.h"
#include "platform/database/Catalog.h"
#include "platform/database/Connection.h"
#include "platform/database/Recordset.h"
#include "platform/database/StandardSqliteCheck.h"
#include "platform/report/Report.h"
#include "startup/SchemaUpgrade.h"
#include "startup/SharedState.h"
#include "support/ProgramFixture.h"

#include <QDir>
#include <QFile>

namespace {

// A small layout file of the report component, with a label naming it.
void writeLayout(const QString& path, const QString& text)
{
    report::Report rpt;
    report::ReportSection& detail = rpt.layout().addSection(report::SectionKind::Detail, QStringLiteral("Dettaglio"), 300);
    report::ReportControl& label = detail.addControl(report::ControlKind::Label, QStringLiteral("lbl"));
    label.caption = text;
    rpt.saveLayout(path);
}

int count(const QString& sql)
{
    db::Recordset rs;
    rs.open(sql, session().dataConStr, db::CursorType::Static, db::LockType::ReadOnly);
    return rs.recordCount();
}

core::Variant fieldValue(const QString& sql, const QString& field)
{
    db::Recordset rs;
    rs.open(sql, session().dataConStr, db::CursorType::Static, db::LockType::ReadOnly);
    return rs.eof() ? core::Variant() : rs.value(field);
}

} // namespace

class SchemaUpgradeTest : public ProgramFixture {
protected:
    void SetUp() override
    {
        ProgramFixture::SetUp();
        useFreshDatabase();
    }
    void writeDefaultLayouts(int howMany = 3)
    {
        int n = 0;
        const ModelloPredefinito* modelli = ModelliPredefiniti(&n);
        for (int t = 0; t < howMany && t < n; ++t)
            writeLayout(QDir(AppPath()).filePath(QString::fromUtf8(modelli[t].file)), QString::fromUtf8(modelli[t].nome));
    }
    void copyLogo()
    {
        ASSERT_TRUE(QFile::copy(QStringLiteral(CORVESSA_PROGRAM_DIR "/logo.gen"), QDir(AppPath()).filePath(QStringLiteral("logo.gen"))));
    }
    void runAll()
    {
        VerificaLogo();
        AggiornaDb();
        CaricaUms();
        CreaTabelleFin();
        CaricaModelli();
        CaricaLogo();
    }
};

TEST_F(SchemaUpgradeTest, AFirstStartSeedsUnitsLayoutsAndTheirAssignment)
{
    writeDefaultLayouts();
    runAll();
    EXPECT_EQ(count(QStringLiteral("SELECT * FROM Ums")), 7);
    EXPECT_EQ(count(QStringLiteral("SELECT * FROM finData")), 3);
    for (int t = 0; t < 3; ++t) {
        const core::Variant layout = fieldValue(QStringLiteral("SELECT finData.finNome FROM finRel INNER JOIN finData ON finRel.fnrfinId = finData.finId "
                                                          "WHERE finRel.sezId=1 AND finRel.fnrDocType=") + QString::number(t),
                                            QStringLiteral("finNome"));
        int n = 0;
        EXPECT_EQ(layout.toString(), QString::fromUtf8(ModelliPredefiniti(&n)[t].nome)) << t;
    }
    // The stored bytes are a layout the component loads again.
    report::Report loaded;
    loaded.loadLayout(fieldValue(QStringLiteral("SELECT finLay FROM finData WHERE finNome='Modello fattura'"), QStringLiteral("finLay")).toBytes());
    EXPECT_EQ(loaded.control(QStringLiteral("lbl")).caption, QStringLiteral("Modello fattura"));

    runAll();
    EXPECT_EQ(count(QStringLiteral("SELECT * FROM finData")), 3);
    EXPECT_EQ(count(QStringLiteral("SELECT * FROM finRel")), 3);
    EXPECT_EQ(count(QStringLiteral("SELECT * FROM Ums")), 7);
}

TEST_F(SchemaUpgradeTest, AMissingLayoutFileIsNotStoredAsAnEmptyLayout)
{
    writeDefaultLayouts(1);
    runAll();
    EXPECT_EQ(count(QStringLiteral("SELECT * FROM finData")), 1);
    EXPECT_EQ(count(QStringLiteral("SELECT * FROM finRel")), 1);
    EXPECT_EQ(count(QStringLiteral("SELECT * FROM finRel WHERE fnrDocType=0")), 1);
}

TEST_F(SchemaUpgradeTest, AssignmentsPointAtTheLayoutsTheyReallyGot)
{
    CreaTabelleFin();
    writeDefaultLayouts();
    // Earlier rows moved the counter on: the defaults do not get ids 1 to 3.
    exec(QStringLiteral("INSERT INTO finData (finNome) VALUES ('vecchio')"));
    exec(QStringLiteral("DELETE * FROM finData"));
    runAll();
    const std::int32_t invoiceLayout = fieldValue(QStringLiteral("SELECT finId FROM finData WHERE finNome='Modello fattura'"), QStringLiteral("finId")).toLong();
    EXPECT_GT(invoiceLayout, 1);
    EXPECT_EQ(fieldValue(QStringLiteral("SELECT fnrfinId FROM finRel WHERE fnrDocType=0"), QStringLiteral("fnrfinId")).toLong(), invoiceLayout);

    // Layouts already there and no assignment: only the assignment is added.
    exec(QStringLiteral("DELETE * FROM finRel"));
    runAll();
    EXPECT_EQ(count(QStringLiteral("SELECT * FROM finData")), 3);
    EXPECT_EQ(fieldValue(QStringLiteral("SELECT fnrfinId FROM finRel WHERE fnrDocType=0"), QStringLiteral("fnrfinId")).toLong(), invoiceLayout);
}

TEST_F(SchemaUpgradeTest, ALayoutFileFoundAtALaterStartIsStoredAndAssigned)
{
    writeDefaultLayouts(1);
    runAll();
    ASSERT_EQ(count(QStringLiteral("SELECT * FROM finRel")), 1);
    // The files of the other two kinds are back: the next start repairs them,
    // and keeps the invoice layout as it was.
    const std::int32_t invoiceLayout = fieldValue(QStringLiteral("SELECT fnrfinId FROM finRel WHERE fnrDocType=0"), QStringLiteral("fnrfinId")).toLong();
    writeDefaultLayouts();
    runAll();
    EXPECT_EQ(count(QStringLiteral("SELECT * FROM finData")), 3);
    EXPECT_EQ(count(QStringLiteral("SELECT * FROM finRel WHERE sezId=1")), 3);
    EXPECT_EQ(fieldValue(QStringLiteral("SELECT fnrfinId FROM finRel WHERE fnrDocType=0"), QStringLiteral("fnrfinId")).toLong(), invoiceLayout);
    const std::int32_t proForma = fieldValue(QStringLiteral("SELECT finId FROM finData WHERE finNome='Modello pro forma'"), QStringLiteral("finId")).toLong();
    EXPECT_EQ(fieldValue(QStringLiteral("SELECT fnrfinId FROM finRel WHERE fnrDocType=2"), QStringLiteral("fnrfinId")).toLong(), proForma);
    // A third start has nothing to add.
    runAll();
    EXPECT_EQ(count(QStringLiteral("SELECT * FROM finData")), 3);
    EXPECT_EQ(count(QStringLiteral("SELECT * FROM finRel")), 3);
}

TEST_F(SchemaUpgradeTest, LayoutsOfOtherNamesServeTheKindsInTheirOrder)
{
    CreaTabelleFin();
    for (const char* name : {"Mia fattura", "Mia nota", "Mio pro forma", "Altro"})
        exec(QStringLiteral("INSERT INTO finData (finNome) VALUES ('%1')").arg(QString::fromUtf8(name)));
    runAll();
    EXPECT_EQ(count(QStringLiteral("SELECT * FROM finData")), 4) << "nothing is added beside them";
    for (int t = 0; t < 3; ++t)
        EXPECT_EQ(fieldValue(QStringLiteral("SELECT fnrfinId FROM finRel WHERE sezId=1 AND fnrDocType=%1").arg(t), QStringLiteral("fnrfinId")).toLong(),
                  t + 1);
}

TEST_F(SchemaUpgradeTest, AnOldServiceDescriptionIsWidenedAndAWiderOneKept)
{
    exec(QStringLiteral("DROP TABLE Prestazioni"));
    exec(QStringLiteral("CREATE TABLE Prestazioni (preId COUNTER, preDescrizione TEXT(50), preCodiceIVA TEXT(10), preImporto CURRENCY, sezId INTEGER)"));
    exec(QStringLiteral("INSERT INTO Prestazioni (preDescrizione, sezId) VALUES ('Consulenza', 0)"));
    runAll();
    db::Connection cn;
    cn.open(session().dataConStr);
    auto width = [&] {
        for (const db::ColumnInfo& c : cn.catalog().table(QStringLiteral("Prestazioni")).columns)
            if (c.name == QLatin1String("preDescrizione"))
                return c.definedSize;
        return -1;
    };
    EXPECT_EQ(width(), 255);
    EXPECT_EQ(fieldValue(QStringLiteral("SELECT * FROM Prestazioni"), QStringLiteral("preDescrizione")).toString(), QStringLiteral("Consulenza"));
    EXPECT_EQ(fieldValue(QStringLiteral("SELECT * FROM Prestazioni"), QStringLiteral("sezId")).toLong(), 1);
    EXPECT_EQ(fieldValue(QStringLiteral("SELECT * FROM Prestazioni"), QStringLiteral("preCliId")).toLong(), 0);

    exec(QStringLiteral("DROP TABLE Prestazioni"));
    exec(QStringLiteral("CREATE TABLE Prestazioni (preId COUNTER, preDescrizione TEXT(100), preCodiceIVA TEXT(10), preImporto CURRENCY, sezId INTEGER)"));
    runAll();
    EXPECT_EQ(width(), 100);
}

TEST_F(SchemaUpgradeTest, TheLogoIsStoredOnlyForAPictureLogoWithoutOne)
{
    copyLogo();
    runAll();
    EXPECT_TRUE(fieldValue(QStringLiteral("SELECT * FROM SezioniModelli WHERE sezId=1"), QStringLiteral("modFatIntLogo")).isNull());

    exec(QStringLiteral("UPDATE SezioniModelli SET modFatIntTipo = 1 WHERE sezId = 1"));
    runAll();
    const QByteArray stored = fieldValue(QStringLiteral("SELECT * FROM SezioniModelli WHERE sezId=1"), QStringLiteral("modFatIntLogo")).toBytes();
    QFile logo(QStringLiteral(CORVESSA_PROGRAM_DIR "/logo.gen"));
    ASSERT_TRUE(logo.open(QIODevice::ReadOnly));
    EXPECT_EQ(stored, logo.readAll());
    EXPECT_TRUE(QFileInfo::exists(QDir(AppPath()).filePath(QStringLiteral("logo.bmp"))));
}

TEST_F(SchemaUpgradeTest, AReadOnlyProgramFolderDoesNotStopTheStart)
{
    copyLogo();
    exec(QStringLiteral("UPDATE SezioniModelli SET modFatIntTipo = 1 WHERE sezId = 1"));
    QFile::setPermissions(AppPath(), QFile::ReadOwner | QFile::ExeOwner);
    runAll();
    QFile::setPermissions(AppPath(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    // Root ignores folder permissions: then the copy simply happened.
    EXPECT_FALSE(fieldValue(QStringLiteral("SELECT * FROM SezioniModelli WHERE sezId=1"), QStringLiteral("modFatIntLogo")).isNull());
}

TEST_F(SchemaUpgradeTest, UnitsAreSeededOnlyIntoAnEmptyTable)
{
    AggiornaDb();
    exec(QStringLiteral("INSERT INTO Ums (umCodice, umDescrizione) VALUES ('PZ', 'Pezzi')"));
    CaricaUms();
    EXPECT_EQ(count(QStringLiteral("SELECT * FROM Ums")), 1);
}

TEST_F(SchemaUpgradeTest, PasswordsOfAnOlderFileAreWidenedAndHashed)
{
    // An older file: the 50-character column with a password as typed.
    exec(QStringLiteral("ALTER TABLE Sezioni ADD COLUMN sezPass TEXT(50)"));
    exec(QStringLiteral("UPDATE Sezioni SET sezPass='Segreta' WHERE sezId=1"));
    runAll();
    db::Connection cn;
    cn.open(session().dataConStr);
    int width = -1;
    for (const db::ColumnInfo& c : cn.catalog().table(QStringLiteral("Sezioni")).columns)
        if (c.name == QLatin1String("sezPass"))
            width = c.definedSize;
    cn.close();
    EXPECT_EQ(width, 255);
    const QString stored = fieldValue(QStringLiteral("SELECT * FROM Sezioni WHERE sezId=1"), QStringLiteral("sezPass")).toString();
    EXPECT_TRUE(verifyPasswordHash(stored, QStringLiteral("Segreta"))) << stored.toStdString();
    // A second start leaves the hash as it is.
    runAll();
    EXPECT_EQ(fieldValue(QStringLiteral("SELECT * FROM Sezioni WHERE sezId=1"), QStringLiteral("sezPass")).toString(), stored);
}

TEST_F(SchemaUpgradeTest, SixteenBitIdColumnsOfAnOlderFileBecomeThirtyTwoBitKeepingEveryRow)
{
    // The tables as an earlier release made them, with rows in each.
    for (const char* sql : {
             "CREATE TABLE Incassi (incId COUNTER, incFatId INTEGER, incData DATETIME, incImporto CURRENCY, incDescrizione TEXT(50))",
             "CREATE INDEX PrimaryKey ON Incassi (incId) WITH PRIMARY",
             "CREATE INDEX incFatId ON Incassi (incFatId)",
             "CREATE TABLE Media ( medfatId INTEGER, medId COUNTER, medForId INTEGER, medDescrizione TEXT(50), medImporto CURRENCY, "
             "medImportoVersato CURRENCY)",
             "CREATE INDEX PrimaryKey ON Media (medId) WITH PRIMARY",
             "CREATE TABLE MediaPagamenti ( medpagmedId INTEGER, medpagId COUNTER, medpagData DATETIME, medpagImporto CURRENCY)",
             "CREATE INDEX PrimaryKey ON MediaPagamenti (medpagId) WITH PRIMARY",
             "ALTER TABLE Prestazioni ADD COLUMN preCliId INTEGER",
             "CREATE TABLE finRel ( sezId INTEGER, fnrId COUNTER, fnrfinId INTEGER, fnrDocType INTEGER )",
             "CREATE INDEX PrimaryKey ON finRel (fnrId) WITH PRIMARY",
             "INSERT INTO Incassi (incFatId, incData, incImporto, incDescrizione) VALUES (7, #03/01/2024#, 100.1, 'Bonifico')",
             "INSERT INTO Incassi (incFatId, incData, incImporto, incDescrizione) VALUES (32767, #03/02/2024#, 0.5, 'Città')",
             "INSERT INTO Incassi (incFatId, incData, incImporto) VALUES (8, #03/03/2024#, 1)",
             "DELETE * FROM Incassi WHERE incFatId=8",
             "INSERT INTO Media (medfatId, medForId, medDescrizione, medImporto) VALUES (7, 1, 'Bolli', 2)",
             "INSERT INTO MediaPagamenti (medpagmedId, medpagData, medpagImporto) VALUES (1, #03/04/2024#, 2)",
             "INSERT INTO Prestazioni (preDescrizione, preImporto, sezId, preCliId) VALUES ('Perizia', 80, 1, 5)",
             "INSERT INTO finRel (sezId, fnrfinId, fnrDocType) VALUES (1, 2, 0)",
         })
        exec(QString::fromUtf8(sql));
    // The old file's columns of each table (the start adds others to Prestazioni).
    const QStringList reads{QStringLiteral("SELECT incId, incFatId, incData, incImporto, incDescrizione FROM Incassi ORDER BY incId"),
                            QStringLiteral("SELECT medfatId, medId, medForId, medDescrizione, medImporto FROM Media ORDER BY medId"),
                            QStringLiteral("SELECT medpagmedId, medpagId, medpagData, medpagImporto FROM MediaPagamenti"),
                            QStringLiteral("SELECT preId, preDescrizione, preImporto, sezId, preCliId FROM Prestazioni ORDER BY preId"),
                            QStringLiteral("SELECT sezId, fnrId, fnrfinId, fnrDocType FROM finRel ORDER BY fnrId")};
    auto rows = [&] {
        QString out;
        for (const QString& sql : reads) {
            db::Recordset rs;
            rs.open(sql, session().dataConStr, db::CursorType::Static, db::LockType::ReadOnly);
            for (; !rs.eof(); rs.moveNext()) {
                for (int i = 0; i < rs.fieldCount(); ++i)
                    out += rs.value(i).toString() + QLatin1Char('|');
                out += QLatin1Char('\n');
            }
        }
        return out;
    };
    const QString before = rows();

    runAll();

    db::Connection cn;
    cn.open(session().dataConStr);
    const db::Catalog catalog = cn.catalog();
    const std::pair<const char*, const char*> columns[] = {
        {"Incassi", "incFatId"}, {"Media", "medfatId"}, {"MediaPagamenti", "medpagmedId"}, {"Prestazioni", "preCliId"}, {"finRel", "fnrfinId"}};
    for (const auto& [table, column] : columns)
        for (const db::ColumnInfo& c : catalog.table(QLatin1String(table)).columns)
            if (c.name == QLatin1String(column)) {
                EXPECT_EQ(c.type, db::DataType::Integer) << column;
            }
    EXPECT_TRUE(catalog.indexNames(QStringLiteral("Incassi")).contains(QStringLiteral("incFatId")));
    EXPECT_TRUE(catalog.indexNames(QStringLiteral("Incassi")).contains(QStringLiteral("PrimaryKey")));
    cn.close();
    // The start assigns no default layouts beside the old assignment.
    EXPECT_EQ(rows().toStdString(), before.toStdString());

    // Each column takes an id past 32 767 through the data layer.
    for (const auto& [table, column] : columns) {
        db::Recordset rs;
        rs.open(QLatin1String(table), session().dataConStr, db::CursorType::Static, db::LockType::Optimistic, db::CommandType::Table);
        rs.addNew();
        rs.setValue(QLatin1String(column), core::Variant(std::int32_t(40000)));
        rs.update();
        rs.close();
        EXPECT_EQ(count(QStringLiteral("SELECT * FROM %1 WHERE %2=40000").arg(QLatin1String(table), QLatin1String(column))), 1) << column;
    }
    // The counter goes on from where it was: a deleted row's number is never given again.
    EXPECT_EQ(fieldValue(QStringLiteral("SELECT incId FROM Incassi WHERE incFatId=40000"), QStringLiteral("incId")).toLong(), 4);
    // Still a standard SQLite file the usual tools check and write (on a copy: the check writes).
    const QString copy = QDir(m_home.path()).filePath(QStringLiteral("copia.mdb"));
    ASSERT_TRUE(QFile::copy(defaultDatabasePath(), copy));
    EXPECT_EQ(standardSqliteCheck(copy), QString());
}
