#include "DomainDatabase.h"

#include "domain/NewDocument.h"

TEST_F(DomainDatabase, ANewDocumentIsWrittenWithTheSectionDefaultsAndTheWithholdingOff)
{
    NewDocument d;
    d.sezId = 2;
    d.date = QDate(2026, 3, 5);
    d.kind = 1;
    d.provisionalNumber = 8;
    d.surchargePercent = 4;
    d.surchargeDescription = QStringLiteral("Rivalsa INPS");
    d.withholdingDescription = QStringLiteral("Ritenuta");
    d.withholdingBasePercent = 50;
    d.withholdingOnSurcharge = true;
    const std::int32_t id = createNewDocument(m_cs, d);
    ASSERT_GT(id, 0);

    db::Recordset rs;
    rs.open(QStringLiteral("SELECT * FROM Fatture WHERE fatId=") + QString::number(id), m_cs);
    ASSERT_FALSE(rs.eof());
    EXPECT_EQ(rs.value(QStringLiteral("sezId")).toLong(), 2);
    EXPECT_EQ(rs.value(QStringLiteral("fatData")).toDate(), QDate(2026, 3, 5));
    EXPECT_EQ(rs.value(QStringLiteral("fatTipo")).toLong(), 1);
    EXPECT_EQ(rs.value(QStringLiteral("fatNo")).toLong(), 8);
    EXPECT_FALSE(rs.value(QStringLiteral("fatpcRitAcc")).toBool());
    EXPECT_DOUBLE_EQ(rs.value(QStringLiteral("fatRitPrePerc")).toDouble(), 4.0);
    EXPECT_EQ(rs.value(QStringLiteral("fatRitPreDesc")).toString(), QStringLiteral("Rivalsa INPS"));
    // The section's withholding percentage waits for the tick box.
    EXPECT_DOUBLE_EQ(rs.value(QStringLiteral("fatRitAccPerc")).toDouble(), 0.0);
    EXPECT_EQ(rs.value(QStringLiteral("fatRitAccDesc")).toString(), QStringLiteral("Ritenuta"));
    EXPECT_DOUBLE_EQ(rs.value(QStringLiteral("fatRitAccPercSuImp")).toDouble(), 50.0);
    EXPECT_TRUE(rs.value(QStringLiteral("fatRitAccSuRitPre")).toBool());
    EXPECT_EQ(rs.value(QStringLiteral("fatModId")).toLong(), 1);
    EXPECT_TRUE(rs.value(QStringLiteral("fatCliForId")).isNull());
    rs.close();
    EXPECT_EQ(count(QStringLiteral("FattureDettaglio")), 0);
}
