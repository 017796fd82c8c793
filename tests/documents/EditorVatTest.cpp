// The editor's VAT summary as a document's lines make it, what a save asks
// when the print layout cannot hold it, and a code list that could not be read.
#include "EditorDriver.h"
#include "support/DatabaseFile.h"

#include "platform/core/Currency.h"
#include "platform/database/Connection.h"
#include "platform/grid/GridEx.h"
#include "platform/ui/MsgBoxStyle.h"
#include "support/Money.h"
#include "support/BusyTimeout.h"

#include <QLineEdit>

namespace {

} // namespace

TEST_F(EditorTest, ADiscountUnderItsOwnCodeKeepsItsNegativeRowInACreditNote)
{
    frm_fattura::Nuovo(1);
    const std::int32_t id = editor()->documentId();
    chooseClient(QStringLiteral("D"));
    enterLine({}, QStringLiteral("1"), QStringLiteral("Consulenza"), QStringLiteral("100"));
    enterLine(QStringLiteral("1"), QStringLiteral("1"), QStringLiteral("Sconto"), QStringLiteral("-50"));
    ASSERT_EQ(editor()->document().lineCount(), 2);

    // 22: 100 + 4 = 104, VAT 22,88, withholding 20. 10: -50 - 2 = -52, VAT -5,20, withholding -10.
    struct Totals {
        const char* amount;
        const char* total;
        const char* withholding;
        const char* net;
    };
    auto expectTotals = [this](const Totals& t) {
        const db::Recordset h = editor()->document().headerRows();
        EXPECT_EQ(h.value(QStringLiteral("fatTotImporto")).toCurrency(), money(t.amount));
        EXPECT_EQ(h.value(QStringLiteral("fatTotDoc")).toCurrency(), money(t.total));
        EXPECT_EQ(h.value(QStringLiteral("fatTotRitAcc")).toCurrency(), money(t.withholding));
        EXPECT_EQ(h.value(QStringLiteral("fatTotNetto")).toCurrency(), money(t.net));
    };
    expectTotals({"50", "69.68", "10", "59.68"});
    EXPECT_EQ(control<grid::GridEx>(QStringLiteral("gexDetIVA"))->rowCount(), 2);

    clickSave();
    ASSERT_FALSE(frm_fattura::IsLoaded());
    const QString doc = QString::number(id);
    EXPECT_EQ(count(QStringLiteral("SELECT COUNT(*) FROM FattureIva WHERE fcifatId=") + doc), 2);
    EXPECT_EQ(scalar(QStringLiteral("SELECT fciTotRiga FROM FattureIva WHERE fciCodiceIva='10' AND fcifatId=") + doc).toDouble(),
              -57.2);
    EXPECT_EQ(scalar(QStringLiteral("SELECT fatTotNetto FROM Fatture WHERE fatId=") + doc).toDouble(), 59.68);

    // The positive line deleted: the discount alone stands, its row still counted.
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    frm_fattura::Modifica(id);
    ASSERT_TRUE(frm_fattura::IsLoaded());
    auto* lines = control<grid::GridEx>(QStringLiteral("gexdet"));
    lines->setRow(1);
    ASSERT_EQ(lines->value(9).toString(), QStringLiteral("22"));
    ASSERT_TRUE(lines->deleteCurrentRow());
    expectTotals({"-50", "-57.2", "-10", "-47.2"});
    EXPECT_EQ(control<grid::GridEx>(QStringLiteral("gexDetIVA"))->rowCount(), 1);
}

TEST_F(EditorTest, MoreVatCodesThanThePrintShowsAsksBeforeNumbering)
{
    frm_fattura::Nuovo(0);
    const std::int32_t id = editor()->documentId();
    chooseClient(QStringLiteral("D"));
    for (const char* code : {"", "1", "5", "4", "N1"})
        enterLine(QString::fromLatin1(code), QStringLiteral("1"), QStringLiteral("Voce ") + QLatin1String(code),
                  QStringLiteral("100"));
    ASSERT_EQ(control<grid::GridEx>(QStringLiteral("gexDetIVA"))->rowCount(), 5);

    m_dialogs.answerMessageBox(ui::vbNo);
    clickSave();
    ASSERT_TRUE(frm_fattura::IsLoaded());
    ASSERT_EQ(m_dialogs.requests().size(), 1);
    const auto& asked = m_dialogs.requests().first();
    EXPECT_EQ(asked.text, QStringLiteral("Il documento ha 5 aliquote IVA: il modello di stampa ne può mostrare al massimo 4. "
                                         "Salvare comunque?"));
    EXPECT_EQ(asked.style & 0xF, ui::vbYesNo);
    EXPECT_EQ(asked.style & 0xF00, ui::vbDefaultButton2);
    // No: nothing stored and nothing numbered.
    EXPECT_EQ(count(QStringLiteral("SELECT COUNT(*) FROM SezioniParametri")), 0);
    EXPECT_EQ(count(QStringLiteral("SELECT COUNT(*) FROM FattureDettaglio")), 0);
    EXPECT_EQ(count(QStringLiteral("SELECT COUNT(*) FROM FattureIva")), 0);

    m_dialogs.answerMessageBox(ui::vbYes);
    clickSave();
    EXPECT_FALSE(frm_fattura::IsLoaded());
    EXPECT_EQ(count(QStringLiteral("SELECT fatNo FROM Fatture WHERE fatId=") + QString::number(id)), 1);
    EXPECT_EQ(count(QStringLiteral("SELECT COUNT(*) FROM FattureIva WHERE fcifatId=") + QString::number(id)), 5);
}

TEST_F(EditorTest, ACodeListThatCouldNotBeReadIsToldAndJudgesNoLine)
{
    const BusyTimeout shortWait(150);
    frm_fattura::Nuovo(0);
    chooseClient(QStringLiteral("D"));
    // Another machine holding the whole file: not even a read gets through.
    OtherMachineLock other(defaultDatabasePath(), "BEGIN EXCLUSIVE");
    ASSERT_TRUE(other.held());

    // The list read again while another machine holds the file, as at opening.
    m_dialogs.answerMessageBox(ui::vbOK);
    EXPECT_FALSE(editor()->CaricaCodiciIVA());
    ASSERT_EQ(m_dialogs.messages().size(), 1);
    EXPECT_TRUE(m_dialogs.messages().last().startsWith(QStringLiteral("Impossibile leggere l'elenco dei codici IVA.")));
    EXPECT_TRUE(m_dialogs.messages().last().contains(QStringLiteral("bloccato da un altro utente")));

    // A line on the default code waits with the busy message, never "choose a code".
    m_dialogs.answerMessageBox(ui::vbOK);
    enterLine({}, QStringLiteral("1"), QStringLiteral("Consulenza"), QStringLiteral("100"));
    ASSERT_EQ(m_dialogs.messages().size(), 2);
    EXPECT_TRUE(m_dialogs.messages().last().contains(QStringLiteral("bloccato da un altro utente")));
    auto* lines = control<grid::GridEx>(QStringLiteral("gexdet"));
    EXPECT_TRUE(lines->isEditingRow());
    EXPECT_EQ(editor()->document().lineCount(), 0);

    // The file free again, the same line is taken as it stands.
    other.release();
    EXPECT_TRUE(lines->commitRowEdit());
    EXPECT_EQ(editor()->document().lineCount(), 1);
    EXPECT_EQ(m_dialogs.messages().size(), 2);
    clickSave();
    EXPECT_FALSE(frm_fattura::IsLoaded());
}
