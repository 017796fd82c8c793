#include "DomainFixture.h"

#include "domain/Professionals.h"
#include "platform/core/Error.h"
#include "platform/database/Recordset.h"

#include <QStringList>

class ProfessionalsTest : public DomainFixture {
protected:
    QString layouts(int sezId)
    {
        QStringList out;
        for (int t = 0; t < 3; ++t)
            out << QString::number(count(QStringLiteral("SELECT fnrfinId FROM finRel WHERE sezId=%1 AND fnrDocType=%2")
                                             .arg(sezId)
                                             .arg(t)));
        return out.join(QLatin1Char(','));
    }
};

TEST_F(ProfessionalsTest, ANewProfessionalGetsTheDefaultsAndItsRows)
{
    addDefaultLayouts();
    const int id = createProfessional(m_cs, QStringLiteral("Avv."), QStringLiteral("Maria"), QStringLiteral("D'Amico"));
    EXPECT_EQ(id, 2);
    const QString where = QStringLiteral(" FROM Sezioni WHERE sezId=") + QString::number(id);
    EXPECT_EQ(scalar(QStringLiteral("SELECT sezCognome") + where).toString(), QStringLiteral("D'Amico"));
    EXPECT_EQ(scalar(QStringLiteral("SELECT sezRitPrePerc") + where).toDouble(), 4.0);
    EXPECT_EQ(scalar(QStringLiteral("SELECT sezRitPreDesc") + where).toString(), QStringLiteral("Rivalsa (4%)"));
    EXPECT_EQ(scalar(QStringLiteral("SELECT sezRitAccPerc") + where).toDouble(), 20.0);
    EXPECT_EQ(scalar(QStringLiteral("SELECT sezRitAccPercSuImp") + where).toDouble(), 100.0);
    EXPECT_FALSE(scalar(QStringLiteral("SELECT sezRitAccSuRitPre") + where).toBool());
    // The administrator's VAT code and withholding text, so the first document has both.
    EXPECT_EQ(scalar(QStringLiteral("SELECT sezPreIVA") + where).toString(), QStringLiteral("22"));
    EXPECT_EQ(scalar(QStringLiteral("SELECT sezRitAccDesc") + where).toString(),
              scalar(QStringLiteral("SELECT sezRitAccDesc FROM Sezioni WHERE sezId=1")).toString());
    EXPECT_TRUE(scalar(QStringLiteral("SELECT sezPass") + where).isNull());
    EXPECT_EQ(count(QStringLiteral("SELECT COUNT(*) FROM SezioniModelli WHERE sezId=2 AND modFatInt=True AND modFatIntTipo=0")), 1);
    EXPECT_EQ(layouts(2), QStringLiteral("1,2,3"));
    EXPECT_EQ(count(QStringLiteral("SELECT COUNT(*) FROM SezioniParametri")), 0);
}

TEST_F(ProfessionalsTest, NewAssignmentsPointAtLayoutsThatExist)
{
    struct Case {
        const char* name;
        QStringList setup;
        const char* expected;
    };
    const Case cases[] = {
        {"the administrator's choice", {QStringLiteral("UPDATE finRel SET fnrfinId=3 WHERE fnrDocType=0")}, "3,2,3"},
        {"the administrator points at a deleted layout",
         {QStringLiteral("DELETE * FROM finData WHERE finId=2"), QStringLiteral("UPDATE finRel SET fnrfinId=2 WHERE fnrDocType=0")},
         "1,1,3"},
        {"only one layout left", {QStringLiteral("DELETE * FROM finData WHERE finId<3"), QStringLiteral("DELETE * FROM finRel")},
         "3,3,3"},
        {"no layout at all", {QStringLiteral("DELETE * FROM finData"), QStringLiteral("DELETE * FROM finRel")}, "0,0,0"},
    };
    for (const Case& c : cases) {
        exec(QStringLiteral("DELETE * FROM finData"));
        exec(QStringLiteral("DELETE * FROM finRel"));
        addDefaultLayouts();
        for (const QString& sql : c.setup)
            exec(sql);
        const int id = createProfessional(m_cs, QString(), QStringLiteral("N"), QStringLiteral("C"));
        EXPECT_EQ(layouts(id), QString::fromLatin1(c.expected)) << c.name;
        EXPECT_EQ(count(QStringLiteral("SELECT COUNT(*) FROM finRel WHERE sezId=%1").arg(id)),
                  QString::fromLatin1(c.expected) == QLatin1String("0,0,0") ? 0 : 3)
            << c.name;
    }
}

TEST_F(ProfessionalsTest, AFailedCreationLeavesNoHalfProfessional)
{
    exec(QStringLiteral("DROP TABLE finRel"));
    EXPECT_THROW(createProfessional(m_cs, QString(), QStringLiteral("N"), QStringLiteral("C")), core::Error);
    EXPECT_EQ(count(QStringLiteral("SELECT COUNT(*) FROM Sezioni")), 1);
    EXPECT_EQ(count(QStringLiteral("SELECT COUNT(*) FROM SezioniModelli")), 1);
}

TEST_F(ProfessionalsTest, MissingPageAndAssignmentRowsAreAdded)
{
    addDefaultLayouts();
    exec(QStringLiteral("INSERT INTO Sezioni (sezNome) VALUES ('Vecchio')"));
    exec(QStringLiteral("INSERT INTO finRel (sezId, fnrfinId, fnrDocType) VALUES (2, 3, 1)"));
    EXPECT_TRUE(ensureSectionRows(m_cs, 2));
    EXPECT_EQ(count(QStringLiteral("SELECT COUNT(*) FROM SezioniModelli WHERE sezId=2")), 1);
    // The kind it had keeps its layout; the two missing ones are added.
    EXPECT_EQ(layouts(2), QStringLiteral("1,3,3"));
    EXPECT_EQ(count(QStringLiteral("SELECT COUNT(*) FROM finRel WHERE sezId=2")), 3);
    EXPECT_FALSE(ensureSectionRows(m_cs, 2));
    EXPECT_EQ(count(QStringLiteral("SELECT COUNT(*) FROM finRel WHERE sezId=2")), 3);
}

// Section 2 loses its data; sections 1 and 3 and everything shared stay.
class DeleteProfessionalTest : public DomainFixture {
protected:
    void SetUp() override
    {
        DomainFixture::SetUp();
        addDefaultLayouts();
        exec(QStringLiteral("INSERT INTO Sezioni (sezId, sezNome) VALUES (2, 'Due')"));
        exec(QStringLiteral("INSERT INTO Sezioni (sezId, sezNome) VALUES (3, 'Tre')"));
        exec(QStringLiteral("INSERT INTO SezioniModelli (sezId, modFatInt) VALUES (2, True)"));
        exec(QStringLiteral("INSERT INTO finRel (sezId, fnrfinId, fnrDocType) VALUES (2, 1, 0)"));
        // Payment terms: 10 own, 11 shared, 12 own but named by section 3's client,
        // 13 own but named by the shared client, 14 own and named by nobody, 15 own
        // but named by section 3's document, 30 section 3's.
        for (const char* row : {"10, 2, False", "11, 2, True", "12, 2, False", "13, 2, False", "14, 2, Null", "15, 2, False", "30, 3, False",
                                "1, 1, False"})
            exec(QStringLiteral("INSERT INTO Pagamenti (pagId, sezId, pagShared) VALUES (%1)").arg(QLatin1String(row)));
        // Clients: 20 own, 21 shared, 22 own but on a section 3 document, 23 own with
        // a section 3 service, 24 own with Null sharing, 31 section 3's, 2 section 1's.
        for (const char* row : {"20, 'A', 2, False, 10", "21, 'B', 2, True, 13", "22, 'C', 2, False, 0", "23, 'D', 2, False, 0",
                                "24, 'E', 2, Null, 0", "31, 'F', 3, False, 12", "2, 'G', 1, False, 1"})
            exec(QStringLiteral("INSERT INTO CliFor (cliId, cliNome, sezId, cliShared, cliPagamento) VALUES (%1)").arg(QLatin1String(row)));
        // Services: 40 general, 41 for client 20, 42 for the shared client, 43 section 3's for client 23, 44 section 1's.
        for (const char* row : {"40, 2, 0", "41, 2, 20", "42, 2, 21", "43, 3, 23", "44, 1, 0"})
            exec(QStringLiteral("INSERT INTO Prestazioni (preId, sezId, preCliId) VALUES (%1)").arg(QLatin1String(row)));
        // Documents: 50 and 51 of section 2, 60 of section 3 (client 22), 70 of section 1.
        for (const char* row : {"50, 2, 20, 10", "51, 2, 21, 11", "60, 3, 22, 15", "70, 1, 2, 1"})
            exec(QStringLiteral("INSERT INTO Fatture (fatId, sezId, fatCliForId, fatCliForPag, fatTipo, fatNo, fatData) "
                                "VALUES (%1, 0, 1, #03/01/2024#)")
                     .arg(QLatin1String(row)));
        for (int fat : {50, 51, 60, 70}) {
            exec(QStringLiteral("INSERT INTO FattureDettaglio (fdtfatId, fdtDescrizione) VALUES (%1, 'riga')").arg(fat));
            exec(QStringLiteral("INSERT INTO FattureIva (fcifatId, fciCodiceIva) VALUES (%1, '22')").arg(fat));
            exec(QStringLiteral("INSERT INTO Incassi (incFatId, incImporto) VALUES (%1, 10)").arg(fat));
            exec(QStringLiteral("INSERT INTO Media (medId, medfatId) VALUES (%1, %1)").arg(fat));
            exec(QStringLiteral("INSERT INTO MediaPagamenti (medpagmedId) VALUES (%1)").arg(fat));
        }
        for (int sez : {1, 2, 3})
            exec(QStringLiteral("INSERT INTO SezioniParametri (parsezId, parKey4, parNum1) VALUES (%1, 2024, 5)").arg(sez));
    }
    QString ids(const QString& sql)
    {
        QStringList out;
        db::Recordset rs;
        rs.open(sql, m_cs, db::CursorType::ForwardOnly, db::LockType::ReadOnly);
        for (; !rs.eof(); rs.moveNext())
            out << rs.value(0).toString();
        rs.close();
        return out.join(QLatin1Char(','));
    }
    struct Expectation {
        const char* sql;
        const char* before;
        const char* after;
    };
    static constexpr Expectation kRows[] = {
        {"SELECT fatId FROM Fatture ORDER BY fatId", "50,51,60,70", "60,70"},
        {"SELECT fdtfatId FROM FattureDettaglio ORDER BY fdtfatId", "50,51,60,70", "60,70"},
        {"SELECT fcifatId FROM FattureIva ORDER BY fcifatId", "50,51,60,70", "60,70"},
        {"SELECT incFatId FROM Incassi ORDER BY incFatId", "50,51,60,70", "60,70"},
        {"SELECT medfatId FROM Media ORDER BY medfatId", "50,51,60,70", "60,70"},
        {"SELECT medpagmedId FROM MediaPagamenti ORDER BY medpagmedId", "50,51,60,70", "60,70"},
        {"SELECT cliId FROM CliFor ORDER BY cliId", "2,20,21,22,23,24,31", "2,21,22,23,31"},
        {"SELECT preId FROM Prestazioni ORDER BY preId", "40,41,42,43,44", "40,42,43,44"},
        {"SELECT pagId FROM Pagamenti ORDER BY pagId", "1,10,11,12,13,14,15,30", "1,11,12,13,15,30"},
        {"SELECT parsezId FROM SezioniParametri ORDER BY parsezId", "1,2,3", "1,3"},
        {"SELECT sezId FROM Sezioni ORDER BY sezId", "1,2,3", "1,2,3"},
        {"SELECT sezId FROM SezioniModelli ORDER BY sezId", "1,2", "1,2"},
        {"SELECT sezId FROM finRel ORDER BY fnrId", "1,1,1,2", "1,1,1,2"},
    };
    void expectRows(bool deleted)
    {
        for (const Expectation& e : kRows)
            EXPECT_EQ(ids(QString::fromLatin1(e.sql)), QString::fromLatin1(deleted ? e.after : e.before)) << e.sql;
    }
};

TEST_F(DeleteProfessionalTest, OnlyTheProfessionalsOwnDataGoes)
{
    expectRows(false);
    deleteProfessionalData(m_cs, 2);
    expectRows(true);
}

TEST_F(DeleteProfessionalTest, AFailureHalfWayDeletesNothing)
{
    // The last statement fails, when documents, clients and counters are already gone.
    exec(QStringLiteral("DROP TABLE Pagamenti"));
    EXPECT_THROW(deleteProfessionalData(m_cs, 2), core::Error);
    for (const Expectation& e : kRows) {
        if (!QString::fromLatin1(e.sql).contains(QLatin1String("FROM Pagamenti"))) {
            EXPECT_EQ(ids(QString::fromLatin1(e.sql)), QString::fromLatin1(e.before)) << e.sql;
        }
    }
}

TEST_F(DeleteProfessionalTest, TheAdministratorIsRefused)
{
    EXPECT_THROW(deleteProfessionalData(m_cs, 1), core::Error);
    expectRows(false);
}
