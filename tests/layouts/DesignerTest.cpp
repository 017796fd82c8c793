#include "LayoutsFixture.h"

#include "domain/LayoutStore.h"
#include "layouts/finfrmArdFat.h"
#include "layouts/finfrmMargini.h"
#include "platform/database/Connection.h"
#include "platform/report/LayoutFormat.h"
#include "platform/report/ReportControl.h"
#include "platform/report/ReportDesigner.h"
#include "platform/report/ReportLayout.h"
#include "platform/ui/MsgBoxStyle.h"
#include "printing/finclsTarvix.h"

#include <QAction>
#include <QColorDialog>
#include <QComboBox>
#include <QFontDialog>
#include <QLineEdit>
#include <QLabel>
#include <QListWidget>
#include <QMimeData>
#include <QTabWidget>
#include <QUndoStack>

namespace {

class DesignerTest : public LayoutsFixture {
protected:
    void TearDown() override
    {
        finfrmArdFat::Unload();
        LayoutsFixture::TearDown();
    }

    // The designer on a layout, as the layout list opens it.
    finfrmArdFat* apri(std::int16_t mode, std::int32_t id)
    {
        const finclsTarvix motore;
        EXPECT_TRUE(finfrmArdFat::Apri(motore.Campi, mode, id));
        return finfrmArdFat::instance();
    }
    // Drags `name` from list `list` and drops it at `twips` of `section`;
    // returns the names of the controls the layout gained.
    static QStringList trascina(finfrmArdFat* f, int list, const QString& name, const QString& section, QPointF twips)
    {
        const QStringList prima = nomi(f->ard->layout());
        QListWidget* lista = f->lstFields[list];
        const QList<QListWidgetItem*> voci = lista->findItems(name, Qt::MatchExactly);
        EXPECT_EQ(voci.size(), 1) << name.toStdString();
        if (voci.isEmpty())
            return {};
        lista->setCurrentItem(voci.first());
        EXPECT_TRUE(f->preparaTrascinamento(list));
        QMimeData dati;
        dati.setText(name);
        f->ard->dropAt(f->ard->fromTwips(section, twips), &dati, f->lblDrag);
        QStringList dopo = nomi(f->ard->layout());
        for (const QString& n : prima)
            dopo.removeOne(n);
        return dopo;
    }
    static QStringList nomi(const report::ReportLayout& layout)
    {
        QStringList n;
        for (const report::ReportSection& s : layout.sections)
            for (const report::ReportControl& c : s.controls)
                n << c.name;
        return n;
    }
    static const report::ReportControl& controllo(finfrmArdFat* f, const QString& name)
    {
        return f->ard->layout().control(name);
    }
    static QByteArray memorizzato(std::int32_t finId)
    {
        db::Connection cn;
        cn.open(session().dataConStr);
        const QByteArray b = readLayout(cn, finId);
        cn.close();
        return b;
    }
    static void premi(finfrmArdFat* f, const char* key)
    {
        QAction* a = f->pulsante(QString::fromLatin1(key));
        ASSERT_NE(a, nullptr) << key;
        a->trigger();
    }
    static double tolleranza(finfrmArdFat* f) { return 1.5 / f->ard->pixelsPerTwip(); }
    // Answers the margins window the next button opens: the left margin typed
    // over, then OK.
    void margineSinistro(const QString& testo)
    {
        m_dialogs.answerModal([testo](QWidget* d) {
            auto* sinistro = d->findChild<QLineEdit*>(QStringLiteral("txtmar(1)"));
            ASSERT_NE(sinistro, nullptr);
            sinistro->setFocus();
            sinistro->selectAll();
            QTest::keyClicks(sinistro, testo);
            QTest::mouseClick(d->findChild<QWidget*>(QStringLiteral("cmdOK")), Qt::LeftButton);
        });
    }
};

} // namespace

TEST_F(DesignerTest, TheFieldListsHoldTheCatalogueAndThePageFieldsOnce)
{
    finfrmArdFat* f = apri(2, 1);
    EXPECT_EQ(f->windowTitle(), QStringLiteral("Modifica Modello"));
    EXPECT_EQ(f->SSTab1->tabText(0), QStringLiteral("Testa/Calce"));
    EXPECT_EQ(f->SSTab1->tabText(1), QStringLiteral("Dettaglio"));
    for (int volta = 0; volta < 2; ++volta) {
        QListWidget* documento = f->lstFields[0];
        QListWidget* righe = f->lstFields[1];
        ASSERT_EQ(documento->count(), 73) << "71 document fields and the two page fields, listed once";
        EXPECT_EQ(documento->item(0)->text(), QStringLiteral("Intestazione1"));
        EXPECT_EQ(documento->item(70)->text(), QStringLiteral("Note"));
        EXPECT_EQ(documento->item(71)->text(), QStringLiteral("PAGINA"));
        EXPECT_EQ(documento->item(72)->text(), QStringLiteral("PAGINE"));
        ASSERT_EQ(righe->count(), 5);
        EXPECT_EQ(righe->item(0)->text(), QStringLiteral("Quantita"));
        EXPECT_EQ(righe->item(4)->text(), QStringLiteral("ImportoRiga"));
        // Opened again over an unchanged layout: no question, the lists anew.
        f = apri(1, 2);
    }
    EXPECT_EQ(f->windowTitle(), QStringLiteral("Nuovo da Modello"));
}

TEST_F(DesignerTest, FieldsDropOnlyWhereTheirKindBelongs)
{
    struct Caso {
        int lista;
        const char* nome;
        const char* sezione;
        bool aggiunto;
    };
    const Caso casi[] = {
        {0, "Cliente_Nome", "Testa", true},     {0, "Cliente_Nome", "Dettaglio", false},
        {0, "TotDoc", "Calce", true},           {1, "Descrizione", "Testa", false},
        {1, "Descrizione", "Calce", false},     {1, "Descrizione", "Dettaglio", true},
        {0, "PAGINA", "Dettaglio", false},      {0, "PAGINE", "Dettaglio", false},
    };
    finfrmArdFat* f = apri(0, 0);
    for (const Caso& c : casi) {
        const QString nome = QString::fromLatin1(c.nome);
        const QStringList nuovi = trascina(f, c.lista, nome, QString::fromLatin1(c.sezione), QPointF(1440, 150));
        EXPECT_EQ(nuovi.size(), c.aggiunto ? 1 : 0) << c.nome << " on " << c.sezione;
        if (nuovi.size() != 1)
            continue;
        const report::ReportControl& campo = controllo(f, nuovi.first());
        EXPECT_EQ(campo.kind, report::ControlKind::Field);
        EXPECT_EQ(campo.dataField, nome);
        EXPECT_EQ(campo.caption, QStringLiteral(".") + nome);
        EXPECT_EQ(campo.height, 285);
        EXPECT_NEAR(campo.left, 1440, tolleranza(f)) << c.nome;
        EXPECT_NEAR(campo.top, 150, tolleranza(f)) << c.nome;
        EXPECT_EQ(f->ard->layout().findSection(QString::fromLatin1(c.sezione))->findControl(nuovi.first()), &campo);
    }

    // Only a field name dragged from the lists makes a field.
    QMimeData altro;
    altro.setText(QStringLiteral("Cliente_Nome"));
    const int prima = nomi(f->ard->layout()).size();
    f->ard->dropAt(f->ard->fromTwips(QStringLiteral("Testa"), QPointF(100, 100)), &altro, f->lstFields[0]);
    EXPECT_EQ(nomi(f->ard->layout()).size(), prima);
}

TEST_F(DesignerTest, PageFieldsCountThePagesOfEachDocument)
{
    finfrmArdFat* f = apri(0, 0);
    const QStringList numero = trascina(f, 0, QStringLiteral("PAGINA"), QStringLiteral("Testa"), QPointF(7000, 100));
    const QStringList totale = trascina(f, 0, QStringLiteral("PAGINE"), QStringLiteral("Calce"), QPointF(7000, 100));
    // A second page number, although a control of that name exists already.
    const QStringList ancora = trascina(f, 0, QStringLiteral("PAGINA"), QStringLiteral("Calce"), QPointF(100, 100));
    ASSERT_EQ(numero, QStringList{QStringLiteral("PAGINA")});
    ASSERT_EQ(totale, QStringList{QStringLiteral("PAGINE")});
    ASSERT_EQ(ancora.size(), 1);
    for (const QString& n : {numero.first(), ancora.first()}) {
        const report::ReportControl& c = controllo(f, n);
        EXPECT_TRUE(c.dataField.isEmpty()) << n.toStdString();
        EXPECT_EQ(c.summaryType, report::SummaryType::PageCount);
        EXPECT_EQ(c.summaryRunning, report::SummaryRunning::Group);
        EXPECT_EQ(c.summaryGroup, QStringLiteral("Testa"));
    }
    const report::ReportControl& pagine = controllo(f, QStringLiteral("PAGINE"));
    EXPECT_TRUE(pagine.dataField.isEmpty());
    EXPECT_EQ(pagine.summaryType, report::SummaryType::PageCount);
    EXPECT_EQ(pagine.summaryRunning, report::SummaryRunning::None);
    EXPECT_EQ(pagine.summaryGroup, QStringLiteral("Testa"));
}

TEST_F(DesignerTest, ANewLayoutIsSavedUnderItsNameAndLoadsBackAsDesigned)
{
    const QByteArray sorgente = memorizzato(1);
    const long righe = count(QStringLiteral("finData"));
    finfrmArdFat* f = apri(1, 1);
    ASSERT_EQ(trascina(f, 0, QStringLiteral("Note"), QStringLiteral("Testa"), QPointF(300, 2800)).size(), 1);
    const report::ReportLayout disegnato = f->ard->layout();

    const QString nome80(80, QLatin1Char('m'));
    m_dialogs.answerInput(nome80 + QLatin1Char('m'));
    m_dialogs.answerMessageBox(ui::vbOK);
    premi(f, "tFSave");
    ASSERT_EQ(m_dialogs.messages().size(), 1);
    EXPECT_TRUE(m_dialogs.messages().first().contains(QStringLiteral("80 caratteri")));
    EXPECT_EQ(m_dialogs.requests(ui::DialogKind::InputBox).first().text, QStringLiteral("Inserire il nome del nuovo modello"));
    EXPECT_TRUE(f->isVisible()) << "a refused name keeps the window";
    EXPECT_EQ(count(QStringLiteral("finData")), righe);

    m_dialogs.answerInput(nome80);
    premi(f, "tFSave");
    settle();
    EXPECT_FALSE(finfrmArdFat::exists()) << "a save closes the designer without a question";
    EXPECT_EQ(count(QStringLiteral("finData")), righe + 1);
    EXPECT_EQ(memorizzato(1), sorgente) << "the layout it started from is unchanged";
    const std::int32_t nuovo = scalar(QStringLiteral("SELECT Max(finId) FROM finData")).toLong();
    EXPECT_EQ(scalar(QStringLiteral("SELECT finNome FROM finData WHERE finId=%1").arg(nuovo)).toString(), nome80);
    EXPECT_EQ(count(QStringLiteral("finRel WHERE fnrfinId=%1").arg(nuovo)), 0);
    EXPECT_EQ(report::LayoutFormat::read(memorizzato(nuovo)), disegnato);

    // Opened again: the same controls at the same places.
    f = apri(2, nuovo);
    EXPECT_EQ(f->ard->layout(), disegnato);
}

TEST_F(DesignerTest, EditingRewritesOnlyTheLayoutOfItsRow)
{
    const long righe = count(QStringLiteral("finData"));
    finfrmArdFat* f = apri(2, 2);
    ASSERT_EQ(trascina(f, 1, QStringLiteral("CodIVA"), QStringLiteral("Dettaglio"), QPointF(100, 0)).size(), 1);
    const report::ReportLayout disegnato = f->ard->layout();
    premi(f, "tFSave");
    settle();
    EXPECT_FALSE(finfrmArdFat::exists());
    EXPECT_TRUE(m_dialogs.requests(ui::DialogKind::InputBox).isEmpty()) << "an edited layout keeps its name";
    EXPECT_EQ(count(QStringLiteral("finData")), righe);
    EXPECT_EQ(scalar(QStringLiteral("SELECT finNome FROM finData WHERE finId=2")).toString(),
              QStringLiteral("Modello nota di credito"));
    EXPECT_EQ(report::LayoutFormat::read(memorizzato(2)), disegnato);
}

TEST_F(DesignerTest, ALayoutDeletedWhileOpenIsOfferedAsANewLayout)
{
    finfrmArdFat* f = apri(2, 3);
    ASSERT_EQ(trascina(f, 0, QStringLiteral("Note"), QStringLiteral("Testa"), QPointF(100, 100)).size(), 1);
    const report::ReportLayout disegnato = f->ard->layout();
    exec(QStringLiteral("DELETE * FROM finData WHERE finId=3"));

    m_dialogs.answerMessageBox(ui::vbNo);
    premi(f, "tFSave");
    settle();
    ASSERT_EQ(m_dialogs.messages().size(), 1);
    EXPECT_TRUE(m_dialogs.messages().first().contains(QStringLiteral("nuovo modello")));
    EXPECT_TRUE(f->isVisible()) << "the design stays";
    EXPECT_EQ(count(QStringLiteral("finData")), 2) << "no row is made unasked";

    m_dialogs.answerMessageBox(ui::vbYes);
    m_dialogs.answerInput(QStringLiteral("Ritrovato"));
    premi(f, "tFSave");
    settle();
    EXPECT_FALSE(finfrmArdFat::exists());
    for (const auto& r : m_dialogs.requests(ui::DialogKind::MessageBox))
        EXPECT_NE(r.title, QStringLiteral("Error: FileSaveAs"));
    const std::int32_t nuovo = scalar(QStringLiteral("SELECT finId FROM finData WHERE finNome='Ritrovato'")).toLong();
    EXPECT_EQ(report::LayoutFormat::read(memorizzato(nuovo)), disegnato);
}

TEST_F(DesignerTest, ALayoutSavedElsewhereMeanwhileIsOverwrittenOnlyWhenTheUserSaysSo)
{
    const QByteArray originale = memorizzato(2);
    const QByteArray altrove = memorizzato(1);
    const auto scrivi = [](const QByteArray& bytes) {
        db::Connection altro;
        altro.open(session().dataConStr);
        replaceLayout(altro, 2, bytes, {});
        altro.close();
    };
    struct Caso {
        int risposta;
        bool riga2Nostra; // row 2 ends with this window's layout
        long nuove;
        bool aperta;
        const char* perche;
    };
    const Caso casi[] = {
        {ui::vbCancel, false, 0, true, "Annulla writes nothing and keeps the design"},
        {ui::vbNo, false, 1, false, "No saves as a new layout"},
        {ui::vbYes, true, 0, false, "Yes overwrites"},
    };
    for (const Caso& c : casi) {
        SCOPED_TRACE(c.perche);
        restartDialogs();
        exec(QStringLiteral("DELETE * FROM finData WHERE finNome='Copia'"));
        scrivi(originale);
        finfrmArdFat* f = apri(2, 2);
        ASSERT_EQ(trascina(f, 1, QStringLiteral("CodIVA"), QStringLiteral("Dettaglio"), QPointF(100, 0)).size(), 1);
        const report::ReportLayout disegnato = f->ard->layout();
        // Another program saves the same layout after this one opened it.
        scrivi(altrove);
        const long righe = count(QStringLiteral("finData"));
        m_dialogs.answerMessageBox(c.risposta);
        if (c.risposta == ui::vbNo)
            m_dialogs.answerInput(QStringLiteral("Copia"));
        premi(f, "tFSave");
        settle();
        ASSERT_EQ(m_dialogs.requests(ui::DialogKind::MessageBox).size(), 1);
        EXPECT_EQ(m_dialogs.requests(ui::DialogKind::MessageBox).first().style, ui::vbYesNoCancel | ui::vbExclamation);
        EXPECT_EQ(finfrmArdFat::exists(), c.aperta);
        EXPECT_EQ(count(QStringLiteral("finData")) - righe, c.nuove);
        if (c.riga2Nostra)
            EXPECT_EQ(report::LayoutFormat::read(memorizzato(2)), disegnato);
        else
            EXPECT_EQ(memorizzato(2), altrove);
        if (c.nuove == 1) {
            const std::int32_t copia = scalar(QStringLiteral("SELECT finId FROM finData WHERE finNome='Copia'")).toLong();
            EXPECT_EQ(report::LayoutFormat::read(memorizzato(copia)), disegnato);
        }
        finfrmArdFat::Unload();
        settle();
    }
}

TEST_F(DesignerTest, TheClosingQuestionSavesOrNotAndKeepsTheWindowWhenTheSaveFailed)
{
    const long righe = count(QStringLiteral("finData"));
    struct Caso {
        int risposta;
        QString nome; // typed into the prompt; empty: cancelled
        bool aperta;
        long scritte;
        const char* perche;
    };
    const Caso casi[] = {
        {ui::vbCancel, {}, true, 0, "Annulla keeps the window"},
        {ui::vbYes, QString(81, QLatin1Char('x')), true, 0, "a refused name keeps the window"},
        {ui::vbYes, {}, false, 0, "a cancelled prompt closes without saving"},
        {ui::vbNo, {}, false, 0, "No closes without saving"},
        {ui::vbYes, QStringLiteral("Il mio modello"), false, 1, "Yes saves and closes"},
    };
    for (const Caso& c : casi) {
        restartDialogs();
        finfrmArdFat* f = finfrmArdFat::exists() ? finfrmArdFat::instance() : apri(1, 1);
        m_dialogs.answerMessageBox(c.risposta);
        if (c.risposta == ui::vbYes)
            m_dialogs.answerInput(c.nome);
        if (c.nome.size() > 80)
            m_dialogs.answerMessageBox(ui::vbOK);
        f->close();
        settle();
        EXPECT_EQ(m_dialogs.requests(ui::DialogKind::MessageBox).first().text, QStringLiteral("Salvare le modifiche effettuate?"));
        EXPECT_EQ(m_dialogs.requests(ui::DialogKind::MessageBox).first().style, ui::vbYesNoCancel) << c.perche;
        EXPECT_EQ(finfrmArdFat::exists(), c.aperta) << c.perche;
        EXPECT_EQ(count(QStringLiteral("finData")) - righe, c.scritte) << c.perche;
        EXPECT_TRUE(m_dialogs.unexpected().isEmpty()) << c.perche;
    }
    EXPECT_FALSE(scalar(QStringLiteral("SELECT finId FROM finData WHERE finNome='Il mio modello'")).isNull());
}

TEST_F(DesignerTest, OpeningAnotherLayoutOverUnsavedChangesAsksFirst)
{
    finfrmArdFat* f = apri(2, 1);
    ASSERT_EQ(trascina(f, 0, QStringLiteral("Note"), QStringLiteral("Testa"), QPointF(100, 100)).size(), 1);
    const report::ReportLayout modificato = f->ard->layout();
    const finclsTarvix motore;
    m_dialogs.answerMessageBox(ui::vbNo);
    EXPECT_FALSE(finfrmArdFat::Apri(motore.Campi, 2, 2));
    EXPECT_EQ(f->id(), 1);
    EXPECT_EQ(f->ard->layout(), modificato) << "the changes are kept";
    m_dialogs.answerMessageBox(ui::vbYes);
    EXPECT_TRUE(finfrmArdFat::Apri(motore.Campi, 2, 2));
    EXPECT_EQ(f->id(), 2);
    EXPECT_EQ(f->ard->layout(), report::LayoutFormat::read(memorizzato(2)));
    EXPECT_EQ(f->lstFields[0]->count(), 73);
    ASSERT_EQ(m_dialogs.messages().size(), 2);
    EXPECT_EQ(m_dialogs.requests(ui::DialogKind::MessageBox).first().style, ui::vbYesNo | ui::vbQuestion | ui::vbDefaultButton2);
}

TEST_F(DesignerTest, ButtonsCarryTheirKeysTooltipsAndCommandsAndThoseWithoutActionAreHidden)
{
    finfrmArdFat* f = apri(2, 1);
    struct Caso {
        const char* key;
        const char* tooltip;
        int comando; // 0: none
    };
    const Caso casi[] = {
        {"tFSave", "Salva Modello", 0},         {"tFPrintSetup", "Margini della pagina", 0},
        {"tFoBold", "Grassetto", 45},           {"tFoUnderline", "Sottolineato", 58},
        {"tFoAlignCenter", "Allinea al centro", 48}, {"tFoLineColor", "Colore della linea (bordo)", 0},
        {"tFoSendToBack", "Porta l'elemento sullo sfondo", 40}, {"tFoACenters", "Align Centers", 24},
        {"tFoARights", "Align Rights", 23},     {"tFoSBoth", "Size to Same Width and Height", 32},
        {"tFoLockControls", "Lock Controls", 41}, {"tbxShape", "Rettangolo", 0},
    };
    for (const Caso& c : casi) {
        QAction* a = f->pulsante(QString::fromLatin1(c.key));
        ASSERT_NE(a, nullptr) << c.key;
        EXPECT_EQ(a->toolTip(), QString::fromUtf8(c.tooltip)) << c.key;
        EXPECT_EQ(a->data().isValid() ? a->data().toInt() : 0, c.comando) << c.key;
        EXPECT_TRUE(a->isVisible()) << c.key;
        EXPECT_FALSE(a->icon().isNull()) << c.key;
    }
    for (const char* key : {"tFNewReport", "tFOpen", "tfoFont", "tFoAToGrid", "tbxDateTime", "tbxPagenumber"})
        EXPECT_FALSE(f->pulsante(QString::fromLatin1(key))->isVisible()) << key;
    ASSERT_EQ(f->cboFoFontSize->count(), 17);
    EXPECT_EQ(f->cboFoFontSize->itemText(0), QStringLiteral(" 7"));
    EXPECT_EQ(f->cboFoFontSize->itemText(16), QStringLiteral("72"));
    EXPECT_GT(f->cboFoFontName->count(), 0);

    // The toolbox sets the insert tool; "Seleziona" an empty one.
    premi(f, "tbxLine");
    EXPECT_EQ(f->ard->insertTool(), QStringLiteral("DDActiveReports2.Line"));
    premi(f, "tbxSelect");
    EXPECT_TRUE(f->ard->insertTool().isEmpty());
}

TEST_F(DesignerTest, ButtonStatesFollowTheDesigner)
{
    finfrmArdFat* f = apri(2, 1);
    QAction* grassetto = f->pulsante(QStringLiteral("tFoBold"));
    QAction* larghezza = f->pulsante(QStringLiteral("tFoSWidths"));
    f->ard->clearSelection();
    EXPECT_FALSE(grassetto->isEnabled()) << "nothing to make bold";
    EXPECT_TRUE(larghezza->isEnabled()) << "never greyed by the designer";
    EXPECT_FALSE(f->cboFoFontName->isEnabled());

    // The client's name is bold in the invoice layout.
    ASSERT_TRUE(f->ard->selectControl(QStringLiteral("txtCliente_Nome")));
    EXPECT_TRUE(grassetto->isEnabled());
    EXPECT_TRUE(grassetto->isChecked());
    EXPECT_TRUE(f->cboFoFontName->isEnabled());
    EXPECT_EQ(f->cboFoFontName->currentText(), controllo(f, QStringLiteral("txtCliente_Nome")).font.name);
    premi(f, "tFoBold");
    EXPECT_FALSE(controllo(f, QStringLiteral("txtCliente_Nome")).font.bold);
    EXPECT_FALSE(grassetto->isChecked());
    premi(f, "tFoAlignRight");
    EXPECT_EQ(controllo(f, QStringLiteral("txtCliente_Nome")).alignment, report::HorizontalAlignment::Right);
    EXPECT_TRUE(f->pulsante(QStringLiteral("tFoAlignRight"))->isChecked());
    EXPECT_FALSE(f->pulsante(QStringLiteral("tFoAlignLeft"))->isChecked());

    // The size list applies to the text controls of the selection only.
    ASSERT_TRUE(f->ard->selectControl(QStringLiteral("linCalce"), true));
    const report::ReportControl linea = controllo(f, QStringLiteral("linCalce"));
    const int voce = f->cboFoFontSize->findText(QStringLiteral("14"));
    f->cboFoFontSize->setCurrentIndex(voce);
    Q_EMIT f->cboFoFontSize->textActivated(QStringLiteral("14"));
    EXPECT_EQ(controllo(f, QStringLiteral("txtCliente_Nome")).font.size, 14);
    EXPECT_EQ(controllo(f, QStringLiteral("linCalce")), linea);
    EXPECT_TRUE(larghezza->isEnabled());

    // The lock button shows when the lock is in force, also after an undo.
    QAction* blocco = f->pulsante(QStringLiteral("tFoLockControls"));
    premi(f, "tFoLockControls");
    EXPECT_TRUE(f->ard->isLocked());
    EXPECT_TRUE(blocco->isChecked());
    EXPECT_TRUE(blocco->isEnabled());
    QTest::keyClick(f->ard, Qt::Key_Z, Qt::ControlModifier);
    EXPECT_FALSE(f->ard->isLocked());
    EXPECT_FALSE(blocco->isChecked());
}

TEST_F(DesignerTest, FontAndColourDialogsChangeNothingWhenCancelled)
{
    finfrmArdFat* f = apri(2, 1);
    ASSERT_TRUE(f->ard->selectControl(QStringLiteral("lblData")));
    ASSERT_TRUE(f->ard->selectControl(QStringLiteral("linCalce"), true));
    const report::ReportLayout prima = f->ard->layout();
    m_dialogs.answerModal([](QWidget* d) { qobject_cast<QDialog*>(d)->reject(); });
    m_dialogs.answerModal([](QWidget* d) { qobject_cast<QDialog*>(d)->reject(); });
    premi(f, "tFoFontDialog");
    premi(f, "tFoBackColor");
    EXPECT_EQ(f->ard->layout(), prima);
    ASSERT_EQ(m_dialogs.requests(ui::DialogKind::Modal).size(), 2);

    // Accepted: the font goes to every selected control, the back colour to
    // the label only (a line has none).
    m_dialogs.answerModal([](QWidget* d) {
        auto* dialogo = qobject_cast<QFontDialog*>(d);
        ASSERT_NE(dialogo, nullptr);
        QFont font(QStringLiteral("DejaVu Serif"));
        font.setPointSizeF(14);
        font.setItalic(true);
        dialogo->setCurrentFont(font);
        dialogo->accept();
    });
    m_dialogs.answerModal([](QWidget* d) {
        auto* dialogo = qobject_cast<QColorDialog*>(d);
        ASSERT_NE(dialogo, nullptr);
        dialogo->setCurrentColor(QColor(250, 240, 200));
        dialogo->accept();
    });
    premi(f, "tFoFontDialog");
    premi(f, "tFoBackColor");
    const report::ReportControl& etichetta = controllo(f, QStringLiteral("lblData"));
    EXPECT_EQ(etichetta.font.name, QStringLiteral("DejaVu Serif"));
    EXPECT_EQ(etichetta.font.size, 14);
    EXPECT_TRUE(etichetta.font.italic);
    EXPECT_TRUE(controllo(f, QStringLiteral("linCalce")).font.italic);
    EXPECT_EQ(etichetta.backColor, QColor(250, 240, 200));
    EXPECT_EQ(etichetta.backStyle, report::BackStyle::Opaque);
    EXPECT_EQ(controllo(f, QStringLiteral("linCalce")).backColor, prima.control(QStringLiteral("linCalce")).backColor);

    // With a line first, neither back nor fore colour asks anything.
    ASSERT_TRUE(f->ard->selectControl(QStringLiteral("linCalce")));
    premi(f, "tFoBackColor");
    premi(f, "tFoForeColor");
    EXPECT_EQ(m_dialogs.requests(ui::DialogKind::Modal).size(), 4);
}

TEST_F(DesignerTest, TheMarginsButtonSetsThePageMargins)
{
    finfrmArdFat* f = apri(2, 1);
    const report::Margins prima = f->ard->layout().page.margins;
    margineSinistro(QStringLiteral("25"));
    m_dialogs.answerModal([](QWidget* d) {
        QTest::mouseClick(d->findChild<QWidget*>(QStringLiteral("cmdCancel")), Qt::LeftButton);
    });
    premi(f, "tFPrintSetup");
    EXPECT_EQ(f->ard->layout().page.margins.left, 1417);
    EXPECT_EQ(f->ard->layout().page.margins.top, prima.top);
    EXPECT_FALSE(finfrmMargini::exists()) << "unloaded after use";
    premi(f, "tFPrintSetup");
    EXPECT_EQ(f->ard->layout().page.margins.left, 1417);
}

TEST_F(DesignerTest, TheLabelTextBoxEditsTheOneSelectedLabel)
{
    finfrmArdFat* f = apri(2, 1);
    ASSERT_TRUE(f->ard->selectControl(QStringLiteral("lblData")));
    EXPECT_TRUE(f->txtLabel->isEnabled());
    EXPECT_EQ(f->txtLabel->text(), QStringLiteral("Data"));
    EXPECT_EQ(f->ard->undoStack()->count(), 0) << "selecting is no edit";
    f->txtLabel->setFocus();
    QTest::keyClicks(f->txtLabel, QStringLiteral(" fattura"));
    EXPECT_EQ(controllo(f, QStringLiteral("lblData")).caption, QStringLiteral("Data fattura"));

    // Two selected: the box stays as it was.
    ASSERT_TRUE(f->ard->selectControl(QStringLiteral("lblCliente"), true));
    EXPECT_TRUE(f->txtLabel->isEnabled());
    EXPECT_EQ(f->txtLabel->text(), QStringLiteral("Data fattura"));
    // One field: nothing to edit.
    ASSERT_TRUE(f->ard->selectControl(QStringLiteral("txtNumDoc")));
    EXPECT_FALSE(f->txtLabel->isEnabled());
    EXPECT_TRUE(f->txtLabel->text().isEmpty());
    EXPECT_TRUE(f->pulsante(QStringLiteral("tbxSelect"))->isChecked());
}

TEST_F(DesignerTest, ALayoutWhoseRowIsGoneIsToldAndNoDesignerOpens)
{
    // Deleted on another machine after the list was shown.
    const finclsTarvix motore;
    for (const std::int16_t mode : {std::int16_t(1), std::int16_t(2)}) {
        SCOPED_TRACE(mode);
        m_dialogs.answerMessageBox(ui::vbOK);
        EXPECT_FALSE(finfrmArdFat::Apri(motore.Campi, mode, 999));
        EXPECT_FALSE(finfrmArdFat::exists()) << "no designer on an empty surface";
    }
    EXPECT_EQ(m_dialogs.messages().size(), 2);
    for (const QString& m : m_dialogs.messages())
        EXPECT_TRUE(m.startsWith(QStringLiteral("Impossibile aprire il modello di stampa."))) << m.toStdString();
}

namespace {

// A label made with the toolbox at `twips` of "Testa", by a click as people do.
QString etichettaNuova(finfrmArdFat* f, QPointF twips)
{
    f->pulsante(QStringLiteral("tbxLabel"))->trigger();
    QTest::mouseClick(f->ard->surface(), Qt::LeftButton, {}, f->ard->fromTwips(QStringLiteral("Testa"), twips));
    return f->ard->selectionCount() == 1 ? f->ard->selectedControl(0)->name : QString();
}

void ctrl(QWidget* w, Qt::Key key, int volte = 1)
{
    for (int i = 0; i < volte; ++i)
        QTest::keyClick(w, key, Qt::ControlModifier);
}

} // namespace

TEST_F(DesignerTest, UndoingAnInsertedLabelTakesItAwayAndRedoBringsItBack)
{
    finfrmArdFat* f = apri(0, 0);
    const report::ReportLayout vuoto = f->ard->layout();
    ASSERT_EQ(etichettaNuova(f, QPointF(600, 300)), QStringLiteral("Label1"));
    const report::ReportControl inserita = controllo(f, QStringLiteral("Label1"));
    EXPECT_EQ(inserita.verticalAlignment, report::VerticalAlignment::Middle) << "a new label stands in the middle";
    EXPECT_EQ(f->ard->undoStack()->count(), 1) << "the insert is one step";

    const QPoint vuota = f->ard->fromTwips(QStringLiteral("Testa"), QPointF(6000, 1200));
    QTest::mouseClick(f->ard->surface(), Qt::LeftButton, {}, vuota);
    EXPECT_EQ(f->ard->selectionCount(), 0);
    ctrl(f->ard, Qt::Key_Z, 2);
    EXPECT_EQ(f->ard->layout(), vuoto);
    EXPECT_EQ(f->ard->selectionCount(), 0) << "no handles where no label is";
    EXPECT_FALSE(f->ard->isModified());

    ctrl(f->ard, Qt::Key_Y);
    EXPECT_EQ(controllo(f, QStringLiteral("Label1")), inserita);
    ASSERT_EQ(f->ard->selectionCount(), 1);
    EXPECT_FALSE(f->ard->undoStack()->canRedo());
    QTest::keyClick(f->ard, Qt::Key_Delete);
    EXPECT_EQ(f->ard->layout(), vuoto);
    ctrl(f->ard, Qt::Key_Z);
    EXPECT_EQ(controllo(f, QStringLiteral("Label1")), inserita);
}

TEST_F(DesignerTest, RedoReplaysTheInsertTheTextAndTheMarginsThatWereUndone)
{
    finfrmArdFat* f = apri(0, 0);
    const report::ReportLayout vuoto = f->ard->layout();
    ASSERT_EQ(etichettaNuova(f, QPointF(600, 300)), QStringLiteral("Label1"));
    QTest::mouseClick(f->txtLabel, Qt::LeftButton);
    ctrl(f->txtLabel, Qt::Key_A);
    QTest::keyClick(f->txtLabel, Qt::Key_Shift);
    QTest::keyClicks(f->txtLabel, QStringLiteral("Totale"));
    margineSinistro(QStringLiteral("25"));
    premi(f, "tFPrintSetup");
    const report::ReportLayout disegnato = f->ard->layout();
    ASSERT_EQ(disegnato.control(QStringLiteral("Label1")).caption, QStringLiteral("Totale"));
    ASSERT_EQ(disegnato.page.margins.left, 1417);

    f->ard->setFocus();
    ctrl(f->ard, Qt::Key_Z, 10);
    EXPECT_EQ(f->ard->layout(), vuoto);
    ctrl(f->ard, Qt::Key_Y, 10);
    EXPECT_EQ(f->ard->layout(), disegnato) << "the label, its text and the margins come back";
    EXPECT_EQ(f->ard->undoStack()->count(), 3) << "nothing the redo did was recorded";
    EXPECT_EQ(f->txtLabel->text(), QStringLiteral("Totale"));

    // Later typing goes to the label on the surface, and is saved with it.
    QTest::mouseClick(f->txtLabel, Qt::LeftButton);
    QTest::keyClick(f->txtLabel, Qt::Key_End);
    QTest::keyClicks(f->txtLabel, QStringLiteral(" lordo"));
    EXPECT_EQ(controllo(f, QStringLiteral("Label1")).caption, QStringLiteral("Totale lordo"));
    m_dialogs.answerInput(QStringLiteral("Con totale"));
    premi(f, "tFSave");
    settle();
    ASSERT_FALSE(finfrmArdFat::exists());
    const std::int32_t nuovo = scalar(QStringLiteral("SELECT Max(finId) FROM finData")).toLong();
    const report::ReportLayout salvato = report::LayoutFormat::read(memorizzato(nuovo));
    EXPECT_EQ(salvato.control(QStringLiteral("Label1")).caption, QStringLiteral("Totale lordo"));
    EXPECT_EQ(salvato.page.margins.left, 1417);
}

TEST_F(DesignerTest, CtrlZAndCtrlYActOnTheDesignerWhereverTheFocusIsAndTheBoxesFollow)
{
    finfrmArdFat* f = apri(2, 1);
    QTest::mouseClick(f->ard->surface(), Qt::LeftButton, {}, f->ard->controlRect(QStringLiteral("lblData")).center());
    ASSERT_EQ(f->txtLabel->text(), QStringLiteral("Data"));
    QTest::mouseClick(f->txtLabel, Qt::LeftButton);
    QTest::keyClick(f->txtLabel, Qt::Key_End);
    QTest::keyClicks(f->txtLabel, QStringLiteral(" fattura"));
    ASSERT_EQ(controllo(f, QStringLiteral("lblData")).caption, QStringLiteral("Data fattura"));

    ctrl(f->txtLabel, Qt::Key_Z);
    EXPECT_EQ(controllo(f, QStringLiteral("lblData")).caption, QStringLiteral("Data"));
    EXPECT_EQ(f->txtLabel->text(), QStringLiteral("Data")) << "the box shows the text undone";
    EXPECT_TRUE(f->ard->undoStack()->canRedo()) << "the box's own undo recorded nothing";
    ctrl(f->txtLabel, Qt::Key_Y);
    EXPECT_EQ(controllo(f, QStringLiteral("lblData")).caption, QStringLiteral("Data fattura"));
    EXPECT_EQ(f->txtLabel->text(), QStringLiteral("Data fattura"));

    // Focus on a field list: the keys still reach the designer's history.
    f->lstFields[0]->setFocus();
    ctrl(f->lstFields[0], Qt::Key_Z);
    EXPECT_EQ(controllo(f, QStringLiteral("lblData")).caption, QStringLiteral("Data"));
    EXPECT_EQ(f->txtLabel->text(), QStringLiteral("Data"));
    ctrl(f->lstFields[0], Qt::Key_Y);

    // A size typed and not yet confirmed is taken first, then undone like any edit.
    const double dimensione = controllo(f, QStringLiteral("lblData")).font.size;
    QLineEdit* riga = f->cboFoFontSize->lineEdit();
    QTest::mouseClick(riga, Qt::LeftButton);
    ctrl(riga, Qt::Key_A);
    QTest::keyClicks(riga, QStringLiteral("20"));
    ctrl(riga, Qt::Key_Z);
    EXPECT_EQ(controllo(f, QStringLiteral("lblData")).font.size, dimensione);
    EXPECT_EQ(f->cboFoFontSize->currentText().trimmed(), QString::number(dimensione));
    ctrl(riga, Qt::Key_Y);
    EXPECT_EQ(controllo(f, QStringLiteral("lblData")).font.size, 20);
    EXPECT_EQ(f->cboFoFontSize->currentText().trimmed(), QStringLiteral("20"));
    EXPECT_EQ(controllo(f, QStringLiteral("lblData")).caption, QStringLiteral("Data fattura")) << "the redo history was kept";
}
