#include "WriteFixture.h"

#include "domain/DocumentStore.h"
#include "platform/core/Error.h"
#include "platform/database/DbErrors.h"
#include "platform/database/Types.h"

#include <functional>

namespace {

class DocumentStoreTest : public WriteFixture {
protected:
    void SetUp() override
    {
        WriteFixture::SetUp();
        addDocument();
    }

    // Document 7: two lines and their VAT row.
    void addDocument() const
    {
        exec(QStringLiteral("INSERT INTO Fatture (fatId, sezId, fatTipo, fatNo, fatData, fatDescrizione) "
                            "VALUES (7, 1, 0, 0, #03/01/2024#, 'Consulenza')"));
        for (const char* line : {"1, 'Prima', 100, 100, '22'", "2, 'Seconda', 50, 100, '22'"})
            exec(QStringLiteral("INSERT INTO FattureDettaglio (fdtfatId, fdtQuanti, fdtDescrizione, fdtImporto, fdtTotRiga, "
                                "fdtCodiceIVA) VALUES (7, ")
                 + QString::fromLatin1(line) + QStringLiteral(")"));
        exec(QStringLiteral("INSERT INTO FattureIVA (fcifatId, fciCodiceIva, fciImporto) VALUES (7, '22', 200)"));
    }

    Document load() const { return DocumentStore(connectionString()).load(7); }

    // A new invoice of the main series of section 1, numbered in 2024.
    static DocumentSave numberedInvoice()
    {
        DocumentSave how;
        how.numbered = true;
        how.sezId = 1;
        how.year = 2024;
        return how;
    }

    // This user's edits: the header's description, the first line's price.
    static void edit(Document& doc)
    {
        doc.setHeader(QStringLiteral("fatDescrizione"), core::Variant(QStringLiteral("Nostra")));
        db::Recordset lines = doc.lineRows();
        lines.moveFirst();
        lines.setValue(QStringLiteral("fdtImporto"), core::Variant(core::Currency::fromUnits(150)));
        lines.update();
    }
};

TEST_F(DocumentStoreTest, LoadsTheDocumentWholeOrSaysItIsGone)
{
    const Document doc = load();
    EXPECT_EQ(doc.id(), 7);
    EXPECT_EQ(doc.header(QStringLiteral("fatDescrizione")).toString(), QStringLiteral("Consulenza"));
    EXPECT_EQ(doc.lineCount(), 2);
    ASSERT_EQ(doc.vatSummary().size(), 1);
    EXPECT_EQ(doc.vatSummary().front().amount, core::Currency::fromUnits(200));
    // Nothing of the reading is held: another machine writes at once.
    exec(QStringLiteral("UPDATE Fatture SET fatNote = 'x' WHERE fatId = 7"));

    exec(QStringLiteral("UPDATE Fatture SET fatTotNetto = 250 WHERE fatId = 7"));
    exec(QStringLiteral("INSERT INTO Incassi (incFatId, incData, incImporto) VALUES (7, #03/05/2024#, 100)"));
    const DocumentCollections collections = DocumentStore(connectionString()).loadCollections(7);
    EXPECT_EQ(collections.net, core::Currency::fromUnits(250));
    EXPECT_EQ(collections.rows.recordCount(), 1);

    exec(QStringLiteral("DELETE FROM Fatture WHERE fatId = 7"));
    const DocumentStore store(connectionString());
    for (const auto& read : {std::function<void()>([&] { store.load(7); }), std::function<void()>([&] { store.loadCollections(7); })}) {
        try {
            read();
            ADD_FAILURE() << "a document that is gone was read";
        } catch (const core::Error& e) {
            EXPECT_EQ(e.number(), kDocumentGone);
            EXPECT_EQ(e.description(), QStringLiteral("Il documento non esiste più: è stato eliminato da un altro utente."));
        }
    }
}

TEST_F(DocumentStoreTest, SavesEveryEditAndTheNumberInOneGo)
{
    Document doc = load();
    edit(doc);
    EXPECT_EQ(DocumentStore(connectionString()).save(doc, numberedInvoice()), 1);
    EXPECT_EQ(scalar(QStringLiteral("SELECT fatDescrizione FROM Fatture WHERE fatId=7")).toString(), QStringLiteral("Nostra"));
    EXPECT_EQ(number(QStringLiteral("SELECT fatNo FROM Fatture WHERE fatId=7")), 1);
    EXPECT_EQ(number(QStringLiteral("SELECT fatTipoMol FROM Fatture WHERE fatId=7")), 1);
    EXPECT_EQ(number(QStringLiteral("SELECT fatAnnoSerie FROM Fatture WHERE fatId=7")), 2024);
    EXPECT_EQ(number(QStringLiteral("SELECT fdtImporto FROM FattureDettaglio WHERE fdtfatId=7 AND fdtDescrizione='Prima'")),
              150);
    EXPECT_EQ(number(QStringLiteral("SELECT parNum1 FROM SezioniParametri WHERE parsezId=1 AND parKey4=2024")), 1);

    // Opened again and saved as a pro forma: the number goes, nothing else is renumbered.
    Document again = load();
    DocumentSave proForma;
    proForma.kind = 2;
    EXPECT_EQ(DocumentStore(connectionString()).save(again, proForma), 0);
    EXPECT_EQ(number(QStringLiteral("SELECT fatNo FROM Fatture WHERE fatId=7")), 0);
    EXPECT_EQ(number(QStringLiteral("SELECT parNum1 FROM SezioniParametri WHERE parsezId=1 AND parKey4=2024")), 1);
}

TEST_F(DocumentStoreTest, ARowChangedOrGoneMeanwhileIsAConflictAndNothingStays)
{
    struct Case {
        const char* what;
        const char* other;
    };
    const Case cases[] = {
        {"line changed", "UPDATE FattureDettaglio SET fdtImporto = 90 WHERE fdtfatId = 7 AND fdtDescrizione = 'Prima'"},
        {"line deleted", "DELETE FROM FattureDettaglio WHERE fdtfatId = 7 AND fdtDescrizione = 'Prima'"},
        {"header changed", "UPDATE Fatture SET fatDescrizione = 'Loro' WHERE fatId = 7"},
        {"document deleted", "DELETE FROM Fatture WHERE fatId = 7"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Document doc = load();
        edit(doc);
        exec(QString::fromLatin1(c.other));
        const QString before = snapshot();
        try {
            DocumentStore(connectionString()).save(doc, numberedInvoice());
            ADD_FAILURE() << "saved over another user's change";
        } catch (const db::DbError& e) {
            EXPECT_EQ(e.kind(), db::ErrorKind::Conflict);
        }
        // No counter raised, no row written; the edits wait in memory for the user.
        EXPECT_EQ(snapshot(), before);
        EXPECT_EQ(doc.header(QStringLiteral("fatDescrizione")).toString(), QStringLiteral("Nostra"));
        db::Recordset lines = doc.lineRows();
        lines.moveFirst();
        EXPECT_EQ(lines.value(QStringLiteral("fdtImporto")).toCurrency(), core::Currency::fromUnits(150));
        for (const char* table : {"Fatture WHERE fatId", "FattureDettaglio WHERE fdtfatId", "FattureIVA WHERE fcifatId"})
            exec(QStringLiteral("DELETE FROM %1 = 7").arg(QLatin1String(table)));
        addDocument();
    }
}

} // namespace
