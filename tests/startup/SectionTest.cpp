// The counter read and the section loader of the shared state.
#include "startup/DatabaseFile.h"
#include "startup/Section.h"
#include "startup/SharedState.h"
#include "support/ProgramFixture.h"

#include <QDir>
#include <QFileInfo>

class LastNumberTest : public ProgramFixture {
protected:
    void SetUp() override
    {
        ProgramFixture::SetUp();
        useFreshDatabase();
        session().sezId = 1;
        session().annoLavoro = 2026;
    }
};

TEST_F(LastNumberTest, MainSeriesIsFoundWithANullOrAnEmptyPrefix)
{
    EXPECT_EQ(UltimoNumero(QString()), 0);
    exec(QStringLiteral("INSERT INTO SezioniParametri (parsezId, parKey3, parKey4, parNum1) VALUES (1, Null, 2026, 7)"));
    EXPECT_EQ(UltimoNumero(QString()), 7);
    exec(QStringLiteral("DELETE * FROM SezioniParametri"));
    exec(QStringLiteral("INSERT INTO SezioniParametri (parsezId, parKey3, parKey4, parNum1) VALUES (1, '', 2026, 9)"));
    EXPECT_EQ(UltimoNumero(QString()), 9);
    // Another year and another section are other counters.
    session().annoLavoro = 2027;
    EXPECT_EQ(UltimoNumero(QString()), 0);
}

TEST_F(LastNumberTest, RowsAreReadInAFixedOrderAndPrefixesAreQuoted)
{
    exec(QStringLiteral("INSERT INTO SezioniParametri (parsezId, parKey3, parKey4, parNum1) VALUES (1, '', 2026, 3)"));
    exec(QStringLiteral("INSERT INTO SezioniParametri (parsezId, parKey3, parKey4, parNum1) VALUES (1, Null, 2026, 8)"));
    EXPECT_EQ(UltimoNumero(QString()), 3);
    exec(QStringLiteral("INSERT INTO SezioniParametri (parsezId, parKey3, parKey4, parNum1) VALUES (1, 'B', 2026, 4)"));
    EXPECT_EQ(UltimoNumero(QStringLiteral("B")), 4);
    EXPECT_EQ(UltimoNumero(QStringLiteral("B'X")), 0);
    exec(QStringLiteral("INSERT INTO SezioniParametri (parsezId, parKey3, parKey4, parNum1) VALUES (1, 'C', 2026, Null)"));
    EXPECT_EQ(UltimoNumero(QStringLiteral("C")), 0);
}

class SectionTest : public ProgramFixture {};

TEST_F(SectionTest, CaricaSezioneKeepsThePreviousValueWhereAColumnIsNull)
{
    useFreshDatabase();
    session().sezId = 1;
    exec(QStringLiteral("UPDATE Sezioni SET sezRitPrePerc = 2, sezRitPreDesc = Null, sezPreIVA = Null WHERE sezId = 1"));
    session().ritPreDesc = QStringLiteral("precedente");
    session().preIVA = QStringLiteral("xx");
    CaricaSezione();
    EXPECT_DOUBLE_EQ(session().ritPrePerc, 2.0);
    EXPECT_EQ(session().ritPreDesc, QStringLiteral("precedente"));
    EXPECT_EQ(session().preIVA, QString()); // NzStr of Null gives the empty default

    session().sezId = 99; // no such section: nothing changes
    session().ritPrePerc = 7.0;
    CaricaSezione();
    EXPECT_DOUBLE_EQ(session().ritPrePerc, 7.0);
}

TEST_F(SectionTest, TheDefaultFolderIsCreatedInTheDocumentsFolder)
{
    const QString folder = CartellaDbPredefinita();
    EXPECT_EQ(folder, QDir(m_home.path()).filePath(QStringLiteral("Documents/TarvixDB")));
    EXPECT_TRUE(QFileInfo(folder).isDir());
    EXPECT_FALSE(folder.endsWith(QLatin1Char('/')));
}
