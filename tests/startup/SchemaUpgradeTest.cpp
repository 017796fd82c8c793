#include "domain/PasswordHash.h"
#include "platform/database/Catalog.h"
#include "platform/database/Connection.h"
#include "platform/database/Recordset.h"
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
    rs.open(sql, DataConStr, db::CursorType::Static, db::LockType::ReadOnly);
    return rs.recordCount();
}

core::Variant scalar(const QString& sql, const QString& field)
{
    db::Recordset rs;
    rs.open(sql, DataConStr, db::CursorType::Static, db::LockType::ReadOnly);
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
        const core::Variant layout = scalar(QStringLiteral("SELECT finData.finNome FROM finRel INNER JOIN finData ON finRel.fnrfinId = finData.finId "
                                                          "WHERE finRel.sezId=1 AND finRel.fnrDocType=") + QString::number(t),
                                            QStringLiteral("finNome"));
        int n = 0;
        EXPECT_EQ(layout.toString(), QString::fromUtf8(ModelliPredefiniti(&n)[t].nome)) << t;
    }
    // The stored bytes are a layout the component loads again.
    report::Report loaded;
    loaded.loadLayout(scalar(QStringLiteral("SELECT finLay FROM finData WHERE finNome='Modello fattura'"), QStringLiteral("finLay")).toBytes());
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
    const std::int32_t invoiceLayout = scalar(QStringLiteral("SELECT finId FROM finData WHERE finNome='Modello fattura'"), QStringLiteral("finId")).toLong();
    EXPECT_GT(invoiceLayout, 1);
    EXPECT_EQ(scalar(QStringLiteral("SELECT fnrfinId FROM finRel WHERE fnrDocType=0"), QStringLiteral("fnrfinId")).toLong(), invoiceLayout);

    // Layouts already there and no assignment: only the assignment is added.
    exec(QStringLiteral("DELETE * FROM finRel"));
    runAll();
    EXPECT_EQ(count(QStringLiteral("SELECT * FROM finData")), 3);
    EXPECT_EQ(scalar(QStringLiteral("SELECT fnrfinId FROM finRel WHERE fnrDocType=0"), QStringLiteral("fnrfinId")).toLong(), invoiceLayout);
}

TEST_F(SchemaUpgradeTest, ALayoutFileFoundAtALaterStartIsStoredAndAssigned)
{
    writeDefaultLayouts(1);
    runAll();
    ASSERT_EQ(count(QStringLiteral("SELECT * FROM finRel")), 1);
    // The files of the other two kinds are back: the next start repairs them,
    // and keeps the invoice layout as it was.
    const std::int32_t invoiceLayout = scalar(QStringLiteral("SELECT fnrfinId FROM finRel WHERE fnrDocType=0"), QStringLiteral("fnrfinId")).toLong();
    writeDefaultLayouts();
    runAll();
    EXPECT_EQ(count(QStringLiteral("SELECT * FROM finData")), 3);
    EXPECT_EQ(count(QStringLiteral("SELECT * FROM finRel WHERE sezId=1")), 3);
    EXPECT_EQ(scalar(QStringLiteral("SELECT fnrfinId FROM finRel WHERE fnrDocType=0"), QStringLiteral("fnrfinId")).toLong(), invoiceLayout);
    const std::int32_t proForma = scalar(QStringLiteral("SELECT finId FROM finData WHERE finNome='Modello pro forma'"), QStringLiteral("finId")).toLong();
    EXPECT_EQ(scalar(QStringLiteral("SELECT fnrfinId FROM finRel WHERE fnrDocType=2"), QStringLiteral("fnrfinId")).toLong(), proForma);
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
        EXPECT_EQ(scalar(QStringLiteral("SELECT fnrfinId FROM finRel WHERE sezId=1 AND fnrDocType=%1").arg(t), QStringLiteral("fnrfinId")).toLong(),
                  t + 1);
}

TEST_F(SchemaUpgradeTest, AnOldServiceDescriptionIsWidenedAndAWiderOneKept)
{
    exec(QStringLiteral("DROP TABLE Prestazioni"));
    exec(QStringLiteral("CREATE TABLE Prestazioni (preId COUNTER, preDescrizione TEXT(50), preCodiceIVA TEXT(10), preImporto CURRENCY, sezId INTEGER)"));
    exec(QStringLiteral("INSERT INTO Prestazioni (preDescrizione, sezId) VALUES ('Consulenza', 0)"));
    runAll();
    db::Connection cn;
    cn.open(DataConStr);
    auto width = [&] {
        for (const db::ColumnInfo& c : cn.catalog().table(QStringLiteral("Prestazioni")).columns)
            if (c.name == QLatin1String("preDescrizione"))
                return c.definedSize;
        return -1;
    };
    EXPECT_EQ(width(), 255);
    EXPECT_EQ(scalar(QStringLiteral("SELECT * FROM Prestazioni"), QStringLiteral("preDescrizione")).toString(), QStringLiteral("Consulenza"));
    EXPECT_EQ(scalar(QStringLiteral("SELECT * FROM Prestazioni"), QStringLiteral("sezId")).toLong(), 1);
    EXPECT_EQ(scalar(QStringLiteral("SELECT * FROM Prestazioni"), QStringLiteral("preCliId")).toLong(), 0);

    exec(QStringLiteral("DROP TABLE Prestazioni"));
    exec(QStringLiteral("CREATE TABLE Prestazioni (preId COUNTER, preDescrizione TEXT(100), preCodiceIVA TEXT(10), preImporto CURRENCY, sezId INTEGER)"));
    runAll();
    EXPECT_EQ(width(), 100);
}

TEST_F(SchemaUpgradeTest, TheLogoIsStoredOnlyForAPictureLogoWithoutOne)
{
    copyLogo();
    runAll();
    EXPECT_TRUE(scalar(QStringLiteral("SELECT * FROM SezioniModelli WHERE sezId=1"), QStringLiteral("modFatIntLogo")).isNull());

    exec(QStringLiteral("UPDATE SezioniModelli SET modFatIntTipo = 1 WHERE sezId = 1"));
    runAll();
    const QByteArray stored = scalar(QStringLiteral("SELECT * FROM SezioniModelli WHERE sezId=1"), QStringLiteral("modFatIntLogo")).toBytes();
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
    EXPECT_FALSE(scalar(QStringLiteral("SELECT * FROM SezioniModelli WHERE sezId=1"), QStringLiteral("modFatIntLogo")).isNull());
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
    cn.open(DataConStr);
    int width = -1;
    for (const db::ColumnInfo& c : cn.catalog().table(QStringLiteral("Sezioni")).columns)
        if (c.name == QLatin1String("sezPass"))
            width = c.definedSize;
    cn.close();
    EXPECT_EQ(width, 255);
    const QString stored = scalar(QStringLiteral("SELECT * FROM Sezioni WHERE sezId=1"), QStringLiteral("sezPass")).toString();
    EXPECT_TRUE(verifyPasswordHash(stored, QStringLiteral("Segreta"))) << stored.toStdString();
    // A second start leaves the hash as it is.
    runAll();
    EXPECT_EQ(scalar(QStringLiteral("SELECT * FROM Sezioni WHERE sezId=1"), QStringLiteral("sezPass")).toString(), stored);
}
