#include "DomainDatabase.h"

#include "domain/Deletion.h"
#include "platform/core/Error.h"
#include "platform/database/Transaction.h"

#include <QStringList>
#include <ostream>

namespace {

// One row of every table that belongs to a document, for documents 1 and 2.
const char* const kDependants[] = {
    "FattureDettaglio WHERE fdtfatId=%1",
    "FattureIva WHERE fcifatId=%1",
    "Incassi WHERE incFatId=%1",
    "Media WHERE medfatId=%1",
    "MediaPagamenti WHERE medpagmedId IN (SELECT medId FROM Media WHERE medfatId=%1)",
    "Fatture WHERE fatId=%1",
};

class DocumentDeletion : public DomainDatabase {
protected:
    void SetUp() override
    {
        DomainDatabase::SetUp();
        for (int doc : {1, 2}) {
            const QString d = QString::number(doc);
            exec(QStringLiteral("INSERT INTO Fatture (fatId, sezId, fatTipo, fatNo) VALUES (%1, 1, 0, %1)").arg(d));
            exec(QStringLiteral("INSERT INTO FattureDettaglio (fdtfatId, fdtDescrizione, fdtCodiceIVA) VALUES (%1, 'Riga', '20')")
                     .arg(d));
            exec(QStringLiteral("INSERT INTO FattureIva (fcifatId, fciCodiceIva) VALUES (%1, '20')").arg(d));
            exec(QStringLiteral("INSERT INTO Incassi (incFatId, incImporto) VALUES (%1, 10)").arg(d));
            exec(QStringLiteral("INSERT INTO Media (medId, medfatId, medDescrizione) VALUES (%1, %1, 'Spesa')").arg(d));
            // Two payments of the Media row, so a deletion of one row only shows.
            exec(QStringLiteral("INSERT INTO MediaPagamenti (medpagmedId, medpagImporto) VALUES (%1, 5)").arg(d));
            exec(QStringLiteral("INSERT INTO MediaPagamenti (medpagmedId, medpagImporto) VALUES (%1, 6)").arg(d));
        }
    }
    QStringList remaining(int doc) const
    {
        QStringList left;
        for (const char* table : kDependants) {
            const QString from = QString::fromLatin1(table).arg(doc);
            if (count(from) > 0)
                left << from;
        }
        return left;
    }
};

TEST_F(DocumentDeletion, TakesEverythingOfThatDocumentAndNothingOfAnother)
{
    deleteDocument(m_cs, 1);
    EXPECT_EQ(remaining(1), QStringList());
    EXPECT_EQ(remaining(2).size(), std::size(kDependants));
    EXPECT_EQ(count(QStringLiteral("MediaPagamenti")), 2);
}

TEST_F(DocumentDeletion, AFailureLeavesEveryRowInPlace)
{
    // The payments of the Media rows cannot be deleted: nothing before them stays deleted.
    exec(QStringLiteral("DROP TABLE MediaPagamenti"));
    EXPECT_THROW(deleteDocument(m_cs, 1), core::Error);
    EXPECT_EQ(count(QStringLiteral("FattureDettaglio WHERE fdtfatId=1")), 1);
    EXPECT_EQ(count(QStringLiteral("FattureIva WHERE fcifatId=1")), 1);
    EXPECT_EQ(count(QStringLiteral("Incassi WHERE incFatId=1")), 1);
    EXPECT_EQ(count(QStringLiteral("Fatture WHERE fatId=1")), 1);
}

TEST_F(DocumentDeletion, RefusesToRunOutsideATransaction)
{
    db::Connection cn;
    cn.open(m_cs);
    EXPECT_THROW(deleteDocument(cn, 1), core::Error);
    cn.close();
    EXPECT_EQ(remaining(1).size(), std::size(kDependants));
}

// A record of a list with one use of it (or none), deleted or refused.
struct ReferenceCase {
    const char* name;
    ListRecord kind;
    const char* key;
    const char* use; // an INSERT or UPDATE that makes the record used; "" for none
    bool deleted;
};

void PrintTo(const ReferenceCase& c, std::ostream* os)
{
    *os << c.name;
}

class ListDeletion : public DomainDatabase, public ::testing::WithParamInterface<ReferenceCase> {
protected:
    void SetUp() override
    {
        DomainDatabase::SetUp();
        // Section 2 beside the administrator; the records belong to section 1.
        exec(QStringLiteral("INSERT INTO Sezioni (sezId, sezNome) VALUES (2, 'Maria')"));
        exec(QStringLiteral("INSERT INTO CliFor (cliId, cliNome, sezId) VALUES (7, 'Rossi', 1)"));
        exec(QStringLiteral("INSERT INTO Pagamenti (pagId, pagDescrizione, sezId) VALUES (3, 'Bonifico', 1)"));
        exec(QStringLiteral("INSERT INTO CodiciIVA (cdiCodice, cdiDescrizione, cdiValore, cdiEsenzione, cdiRitAcc) "
                            "VALUES ('Z9', 'Prova', 9, 0, 0)"));
        exec(QStringLiteral("INSERT INTO CodiciIVA (cdiCodice, cdiDescrizione, cdiValore, cdiEsenzione, cdiRitAcc) "
                            "VALUES ('D''X', 'Apostrofo', 9, 0, 0)"));
        exec(QStringLiteral("INSERT INTO Prestazioni (preId, preDescrizione, preCodiceIVA, sezId, preCliId) "
                            "VALUES (4, 'Consulenza', '20', 1, 0)"));
        exec(QStringLiteral("INSERT INTO Fatture (fatId, sezId, fatTipo, fatNo) VALUES (9, 1, 0, 1)"));
        exec(QStringLiteral("INSERT INTO FattureDettaglio (fdtfatId, fdtDescrizione, fdtCodiceIVA) VALUES (9, 'Riga', '20')"));
    }
    static QString existsSql(ListRecord kind, const QString& key)
    {
        switch (kind) {
        case ListRecord::Document:
            return QStringLiteral("Fatture WHERE fatId=") + key;
        case ListRecord::Client:
            return QStringLiteral("CliFor WHERE cliId=") + key;
        case ListRecord::VatCode:
            return QStringLiteral("CodiciIVA WHERE cdiCodice='") + QString(key).replace(QLatin1Char('\''), QStringLiteral("''"))
                 + QLatin1Char('\'');
        case ListRecord::PaymentTerm:
            return QStringLiteral("Pagamenti WHERE pagId=") + key;
        case ListRecord::Service:
            return QStringLiteral("Prestazioni WHERE preId=") + key;
        }
        return {};
    }
};

TEST_P(ListDeletion, GoesOnlyWhenNoSectionUsesIt)
{
    const ReferenceCase& c = GetParam();
    if (*c.use)
        exec(QString::fromUtf8(c.use));
    const QString key = QString::fromUtf8(c.key);
    const core::Variant value = c.kind == ListRecord::VatCode ? core::Variant(key) : core::Variant(key.toInt());

    db::Connection cn;
    cn.open(m_cs);
    db::Transaction tx(cn);
    EXPECT_EQ(deleteListRecord(cn, c.kind, value), c.deleted);
    tx.commit();
    cn.close();
    EXPECT_EQ(count(existsSql(c.kind, key)), c.deleted ? 0 : 1);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ListDeletion,
    ::testing::Values(
        ReferenceCase{"UnusedClient", ListRecord::Client, "7", "", true},
        ReferenceCase{"ClientOnADocumentOfAnotherSection", ListRecord::Client, "7",
                      "INSERT INTO Fatture (sezId, fatTipo, fatNo, fatCliForId) VALUES (2, 0, 1, 7)", false},
        ReferenceCase{"ClientOfAService", ListRecord::Client, "7", "UPDATE Prestazioni SET preCliId = 7", false},
        ReferenceCase{"UnusedVatCode", ListRecord::VatCode, "Z9", "", true},
        ReferenceCase{"UnusedVatCodeWithAnApostrophe", ListRecord::VatCode, "D'X", "", true},
        ReferenceCase{"VatCodeOnALine", ListRecord::VatCode, "Z9",
                      "INSERT INTO FattureDettaglio (fdtfatId, fdtDescrizione, fdtCodiceIVA) VALUES (9, 'Altra', 'Z9')", false},
        ReferenceCase{"VatCodeOnlyOfAService", ListRecord::VatCode, "Z9", "UPDATE Prestazioni SET preCodiceIVA = 'Z9'", false},
        ReferenceCase{"VatCodeDefaultOfAnotherSection", ListRecord::VatCode, "Z9",
                      "UPDATE Sezioni SET sezPreIVA = 'Z9' WHERE sezId = 2", false},
        ReferenceCase{"UnusedPaymentTerm", ListRecord::PaymentTerm, "3", "", true},
        ReferenceCase{"PaymentTermOfADocument", ListRecord::PaymentTerm, "3", "UPDATE Fatture SET fatCliForPag = 3", false},
        ReferenceCase{"PaymentTermDefaultOfAClient", ListRecord::PaymentTerm, "3", "UPDATE CliFor SET cliPagamento = 3",
                      false},
        ReferenceCase{"ServiceEvenWithAClient", ListRecord::Service, "4", "UPDATE Prestazioni SET preCliId = 7", true},
        ReferenceCase{"DocumentWithItsLines", ListRecord::Document, "9", "", true}),
    [](const ::testing::TestParamInfo<ReferenceCase>& info) { return info.param.name; });

} // namespace
