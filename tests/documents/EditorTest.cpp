#include "EditorDriver.h"

#include "platform/core/Currency.h"
#include "platform/grid/GridEx.h"
#include "platform/ui/DataCombo.h"
#include "platform/ui/MsgBoxStyle.h"
#include "startup/DocumentoNuovo.h"
#include "startup/SharedState.h"
#include "support/Money.h"

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QPointer>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <QTest>

TEST_F(EditorTest, NewInvoiceOnTwoCodesAddsUpAndSavesAsNumberOne)
{
    frm_fattura::Nuovo(0);
    ASSERT_TRUE(frm_fattura::IsLoaded());
    frm_fattura* f = editor();
    const std::int32_t id = f->documentId();
    // Remembered until saved, so a start after a crash can remove the blank row.
    EXPECT_EQ(DocumentoNuovoRicordato(), id);
    EXPECT_EQ(f->windowTitle(), QStringLiteral("Nuova fattura"));
    EXPECT_EQ(control<QLineEdit>(QStringLiteral("txtData(0)"))->text(), QStringLiteral("1"));

    chooseClient(QStringLiteral("D'A"));
    EXPECT_EQ(control<QLabel>(QStringLiteral("lblDataCli(0)"))->text(), QStringLiteral(" Via Roma 1"));
    EXPECT_EQ(control<QLabel>(QStringLiteral("lblDataCli(1)"))->text(), QStringLiteral(" 00100 Roma RM"));
    // The client is a withholding agent: the box is ticked with the section's rate.
    EXPECT_TRUE(control<QCheckBox>(QStringLiteral("chkData(0)"))->isChecked());

    enterLine({}, QStringLiteral("2"), QStringLiteral("Consulenza"), QStringLiteral("500"));
    enterLine(QStringLiteral("1"), QStringLiteral("3"), QStringLiteral("Spese"), QStringLiteral("0.3333"));
    enterLine(QStringLiteral("1"), QStringLiteral("1"), QStringLiteral("Relazione"), QStringLiteral("250"));
    ASSERT_EQ(f->document().lineCount(), 3);

    // 22: 1000 + 40 surcharge = 1040, VAT 228,80, withholding 200.
    // 10: 250,9999 + 10,04 = 261,0399, VAT 26,10, withholding 50,20.
    const db::Recordset h = f->document().headerRows();
    EXPECT_EQ(h.value(QStringLiteral("fatTotImporto")).toCurrency(), money("1250.9999"));
    EXPECT_EQ(h.value(QStringLiteral("fatTotSoggettivo")).toCurrency(), money("50.04"));
    EXPECT_EQ(h.value(QStringLiteral("fatTotImponibile")).toCurrency(), money("1301.0399"));
    EXPECT_EQ(h.value(QStringLiteral("fatTotImposta")).toCurrency(), money("254.9"));
    EXPECT_EQ(h.value(QStringLiteral("fatTotDoc")).toCurrency(), money("1555.9399"));
    EXPECT_EQ(h.value(QStringLiteral("fatTotRitAcc")).toCurrency(), money("250.2"));
    EXPECT_EQ(h.value(QStringLiteral("fatTotNetto")).toCurrency(), money("1305.7399"));
    EXPECT_EQ(control<QLineEdit>(QStringLiteral("txtData(10)"))->text(), QStringLiteral("1.305,74"));
    EXPECT_TRUE(control<QLineEdit>(QStringLiteral("txtData(10)"))->isReadOnly());
    EXPECT_EQ(control<grid::GridEx>(QStringLiteral("gexDetIVA"))->rowCount(), 2);

    clickSave();
    EXPECT_FALSE(frm_fattura::IsLoaded());
    EXPECT_EQ(DocumentoNuovoRicordato(), 0);
    const QString where = QStringLiteral(" WHERE fatId=") + QString::number(id);
    EXPECT_EQ(count(QStringLiteral("SELECT fatNo FROM Fatture") + where), 1);
    EXPECT_EQ(count(QStringLiteral("SELECT fatTipoMol FROM Fatture") + where), 1);
    EXPECT_EQ(count(QStringLiteral("SELECT fatCliForId FROM Fatture") + where), m_cliId);
    EXPECT_EQ(scalar(QStringLiteral("SELECT fatTotNetto FROM Fatture") + where).toDouble(), 1305.7399);
    EXPECT_EQ(count(QStringLiteral("SELECT COUNT(*) FROM FattureDettaglio WHERE fdtfatId=") + QString::number(id)), 3);
    EXPECT_EQ(scalar(QStringLiteral("SELECT SUM(fdtTotRiga) FROM FattureDettaglio WHERE fdtfatId=") + QString::number(id)).toDouble(),
              1250.9999);
    EXPECT_EQ(count(QStringLiteral("SELECT COUNT(*) FROM FattureIva WHERE fcifatId=") + QString::number(id)), 2);
    EXPECT_EQ(scalar(QStringLiteral("SELECT fciImposta FROM FattureIva WHERE fciCodiceIva='10' AND fcifatId=") + QString::number(id))
                  .toDouble(),
              26.1);
    EXPECT_EQ(count(QStringLiteral("SELECT parNum1 FROM SezioniParametri WHERE parsezId=1 AND parKey4=2024 AND parKey3 Is Null")), 1);
}

TEST_F(EditorTest, AnnullaOnANeverSavedDocumentLeavesNoRow)
{
    frm_fattura::Nuovo(0);
    const QString id = QString::number(editor()->documentId());
    ASSERT_EQ(DocumentoNuovoRicordato(), editor()->documentId());
    chooseClient(QStringLiteral("D"));
    enterLine({}, QStringLiteral("1"), QStringLiteral("Consulenza"), QStringLiteral("100"));
    exec(QStringLiteral("INSERT INTO Incassi (incFatId, incImporto) VALUES (") + id + QStringLiteral(", 10)"));
    exec(QStringLiteral("INSERT INTO Media (medId, medfatId, medImporto) VALUES (31, ") + id + QStringLiteral(", 5)"));
    // The payments of the Media row go with it (they were once left behind).
    exec(QStringLiteral("INSERT INTO MediaPagamenti (medpagmedId, medpagImporto) VALUES (31, 5)"));
    QTest::mouseClick(control<QPushButton>(QStringLiteral("cmdClose")), Qt::LeftButton);
    EXPECT_FALSE(frm_fattura::IsLoaded());
    EXPECT_EQ(DocumentoNuovoRicordato(), 0);
    for (const QString& sql : {QStringLiteral("SELECT COUNT(*) FROM Fatture"), QStringLiteral("SELECT COUNT(*) FROM FattureDettaglio"),
                               QStringLiteral("SELECT COUNT(*) FROM FattureIva"), QStringLiteral("SELECT COUNT(*) FROM Incassi"),
                               QStringLiteral("SELECT COUNT(*) FROM Media"), QStringLiteral("SELECT COUNT(*) FROM MediaPagamenti")})
        EXPECT_EQ(count(sql), 0) << sql.toStdString();
}

TEST_F(EditorTest, EscCancelsTheCellThenTheLineThenTheDocument)
{
    frm_fattura::Nuovo(0);
    chooseClient(QStringLiteral("D"));
    enterLine({}, QStringLiteral("1"), QStringLiteral("Consulenza"), QStringLiteral("100"));
    auto* grid = control<grid::GridEx>(QStringLiteral("gexdet"));
    QPointer<frm_fattura> f = editor();
    // A new line half typed: Esc in the open cell drops that typing only.
    key(Qt::Key_Tab);
    type(QStringLiteral("5"));
    ASSERT_NE(focused(), static_cast<QWidget*>(grid->view()));
    key(Qt::Key_Escape);
    ASSERT_TRUE(frm_fattura::IsLoaded());
    EXPECT_EQ(focused(), static_cast<QWidget*>(grid->view()));
    // A changed line at rest: Esc drops that line's edit.
    type(QStringLiteral("7"));
    key(Qt::Key_Tab); // on to the description's cell
    EXPECT_TRUE(grid->isEditingRow());
    key(Qt::Key_Escape); // closes that cell
    EXPECT_TRUE(grid->isEditingRow());
    key(Qt::Key_Escape);
    EXPECT_FALSE(grid->isEditingRow());
    ASSERT_TRUE(frm_fattura::IsLoaded());
    EXPECT_EQ(f->document().lineCount(), 1);
    // Nothing in edit: Esc abandons the never-saved document.
    key(Qt::Key_Escape);
    EXPECT_FALSE(frm_fattura::IsLoaded());
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(f.isNull());
    EXPECT_EQ(count(QStringLiteral("SELECT COUNT(*) FROM Fatture")), 0);
}

TEST_F(EditorTest, OpeningAnExistingDocumentChangesNothing)
{
    exec(QStringLiteral("INSERT INTO Pagamenti (pagDescrizione, pagNoteFat, sezId, pagShared) VALUES ('Bonifico 30 gg', "
                        "'IBAN IT00', 1, False)"));
    exec(QStringLiteral("INSERT INTO Pagamenti (pagDescrizione, pagNoteFat, sezId, pagShared) VALUES ('Contanti', '', 1, False)"));
    const int bonifico = count(QStringLiteral("SELECT pagId FROM Pagamenti WHERE pagDescrizione='Bonifico 30 gg'"));
    const int contanti = count(QStringLiteral("SELECT pagId FROM Pagamenti WHERE pagDescrizione='Contanti'"));
    exec(QStringLiteral("UPDATE CliFor SET cliPagamento=") + QString::number(bonifico));

    frm_fattura::Nuovo(0);
    const std::int32_t id = editor()->documentId();
    chooseClient(QStringLiteral("D"));
    // The client's term and its note came with the client; the user picks another term.
    EXPECT_EQ(control<ui::DataCombo>(QStringLiteral("dtcData(1)"))->boundValue().toLong(), bonifico);
    EXPECT_EQ(editor()->document().header(QStringLiteral("fatNote")).toString(), QStringLiteral("IBAN IT00"));
    focus(control<ui::DataCombo>(QStringLiteral("dtcData(1)")));
    type(QStringLiteral("C"));
    EXPECT_EQ(control<ui::DataCombo>(QStringLiteral("dtcData(1)"))->boundValue().toLong(), contanti);
    EXPECT_EQ(editor()->document().header(QStringLiteral("fatNote")).toString(), QString());
    // Passing through the client field again keeps the chosen term.
    focus(control<ui::DataCombo>(QStringLiteral("dtcData(0)")));
    key(Qt::Key_Tab);
    EXPECT_EQ(control<ui::DataCombo>(QStringLiteral("dtcData(1)"))->boundValue().toLong(), contanti);
    enterLine({}, QStringLiteral("1"), QStringLiteral("Consulenza"), QStringLiteral("100"));
    clickSave();
    ASSERT_FALSE(frm_fattura::IsLoaded());
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);

    // The client is no longer a withholding agent: loading must not apply that.
    exec(QStringLiteral("UPDATE CliFor SET SostImposta=False"));
    frm_fattura::Modifica(id);
    ASSERT_TRUE(frm_fattura::IsLoaded());
    EXPECT_EQ(editor()->windowTitle(), QStringLiteral("Modifica fattura"));
    EXPECT_FALSE(control<QLineEdit>(QStringLiteral("txtData(9)"))->isEnabled());
    EXPECT_EQ(control<QLabel>(QStringLiteral("lblDataCli(0)"))->text(), QStringLiteral(" Via Roma 1"));
    focus(control<ui::DataCombo>(QStringLiteral("dtcData(0)")));
    key(Qt::Key_Tab);
    db::Recordset pending = editor()->document().headerRows().clone();
    pending.setFilter(db::FilterGroup::PendingRecords);
    EXPECT_EQ(pending.recordCount(), 0);
    EXPECT_EQ(control<ui::DataCombo>(QStringLiteral("dtcData(1)"))->boundValue().toLong(), contanti);
    EXPECT_TRUE(control<QCheckBox>(QStringLiteral("chkData(0)"))->isChecked());
    clickSave();
    EXPECT_FALSE(frm_fattura::IsLoaded());
    const QString where = QStringLiteral(" FROM Fatture WHERE fatId=") + QString::number(id);
    EXPECT_EQ(count(QStringLiteral("SELECT fatNo") + where), 1);
    EXPECT_EQ(count(QStringLiteral("SELECT fatCliForPag") + where), contanti);
    EXPECT_NE(count(QStringLiteral("SELECT fatpcRitAcc") + where), 0);
    EXPECT_EQ(count(QStringLiteral("SELECT parNum1 FROM SezioniParametri")), 1);
}

TEST_F(EditorTest, ADocumentGoneSinceItWasListedSaysSoAndOpensNothing)
{
    const std::int32_t id = saveSimpleDocument(2);
    // Converted and deleted by another machine while this one still lists it.
    exec(QStringLiteral("DELETE FROM FattureDettaglio WHERE fdtfatId=") + QString::number(id));
    exec(QStringLiteral("DELETE FROM FattureIVA WHERE fcifatId=") + QString::number(id));
    exec(QStringLiteral("DELETE FROM Fatture WHERE fatId=") + QString::number(id));
    m_dialogs.answerMessageBox(ui::vbOK);
    frm_fattura::Modifica(id);
    EXPECT_EQ(m_dialogs.messages(),
              QStringList{QStringLiteral("Il documento non esiste più: è stato eliminato da un altro utente.")});
    EXPECT_FALSE(frm_fattura::IsLoaded());
}

TEST_F(EditorTest, PrefixIsUpperCaseLettersAndShowsItsSeriesNextNumber)
{
    exec(QStringLiteral("INSERT INTO SezioniParametri (parsezId, parKey3, parKey4, parNum1) VALUES (1, 'B', 2024, 4)"));
    frm_fattura::Nuovo(0);
    auto* prefix = control<QLineEdit>(QStringLiteral("txtData(9)"));
    auto* number = control<QLineEdit>(QStringLiteral("txtData(0)"));
    EXPECT_TRUE(number->isReadOnly());
    focus(prefix);
    type(QStringLiteral("b1-"));
    EXPECT_EQ(prefix->text(), QStringLiteral("B"));
    EXPECT_EQ(number->text(), QStringLiteral("5"));
    key(Qt::Key_Backspace);
    EXPECT_EQ(number->text(), QStringLiteral("1"));
    // Pasted text is cleaned the same way, quotes included.
    QApplication::clipboard()->setText(QStringLiteral("x'1y"));
    key(Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(prefix->text(), QStringLiteral("XY"));
    EXPECT_EQ(editor()->document().header(QStringLiteral("fatPrefisso")).toString(), QStringLiteral("XY"));
}

TEST_F(EditorTest, ALineWithoutAKnownVatCodeIsNotAccepted)
{
    session().preIVA.clear();
    frm_fattura::Nuovo(0);
    chooseClient(QStringLiteral("D"));
    m_dialogs.answerMessageBox(ui::vbOK);
    enterLine({}, QStringLiteral("1"), QStringLiteral("Consulenza"), QStringLiteral("100"));
    EXPECT_EQ(m_dialogs.messages(), QStringList{QStringLiteral("Scegliere il Codice IVA della riga (F4 per l'elenco dei codici IVA).")});
    EXPECT_EQ(editor()->document().lineCount(), 0);
    auto* grid = control<grid::GridEx>(QStringLiteral("gexdet"));
    EXPECT_TRUE(grid->isEditingRow());
    EXPECT_EQ(grid->col(), 4);
    // Choosing the code from the list lets the line in.
    type(QStringLiteral("2"));
    key(Qt::Key_Tab);
    key(Qt::Key_Return); // closes the cell
    key(Qt::Key_Return); // writes the line
    EXPECT_EQ(editor()->document().lineCount(), 1);
    EXPECT_EQ(editor()->document().header(QStringLiteral("fatTotDoc")).toCurrency(), money("126.88")); // 100 + 4 surcharge, 22 % VAT
}

TEST_F(EditorTest, LookUpsDoubleTheQuotesOfACode)
{
    exec(QStringLiteral("INSERT INTO CodiciIVA (cdiCodice, cdiDescrizione, cdiValore, cdiEsenzione, cdiRitAcc) "
                        "VALUES ('A''B', 'Prova', 7, -1, 0)"));
    EXPECT_EQ(frm_fattura::AliquotaIVA(QStringLiteral("A'B")), 7.0);
    EXPECT_TRUE(frm_fattura::EsenzioneIVA(QStringLiteral("A'B")));
    EXPECT_FALSE(frm_fattura::NoRitenutaIVA(QStringLiteral("A'B")));
    EXPECT_EQ(frm_fattura::AliquotaIVA(QStringLiteral("nessuno")), 0.0);
}

TEST_F(EditorTest, AProFormaShowsNoNumber)
{
    frm_fattura::Nuovo(2);
    EXPECT_FALSE(control<QLineEdit>(QStringLiteral("txtData(0)"))->isVisible());
    EXPECT_FALSE(control<QLineEdit>(QStringLiteral("txtData(9)"))->isVisible());
    EXPECT_FALSE(control<QPushButton>(QStringLiteral("cmdIncassi"))->isVisible());
    for (const char* name : {"cmdPrint", "cmdPreview", "cmdPDF"})
        EXPECT_TRUE(control<QPushButton>(QString::fromLatin1(name))->isEnabled()) << name;
    // A pro forma becomes an invoice only once it is stored.
    EXPECT_FALSE(control<QPushButton>(QStringLiteral("cmdMakeInvoice"))->isVisible());
    EXPECT_TRUE(control<QPushButton>(QStringLiteral("cmdImportoPattuito"))->isEnabled());
}
