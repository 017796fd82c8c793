#include "documents/frm_fattura.h"
#include "documents/frmIncassi.h"
#include "documents/frmMakeInvoice.h"
#include "documents/frm_Pattuito.h"

#include "printing/StampaDocumento.h"
#include "printing/finclsTarvix.h"

#include "common/comUtility.h"
#include "domain/AgreedAmount.h"
#include "domain/Counters.h"
#include "domain/Deletion.h"
#include "domain/DocumentLists.h"
#include "domain/WriteFailure.h"
#include "domain/DocumentStore.h"
#include "domain/NewDocument.h"
#include "domain/VatCodes.h"
#include "domain/VatSummary.h"
#include "common/MainWindowLink.h"
#include "masterdata/frm_io_Clienti.h"
#include "masterdata/frm_io_Pagamenti.h"
#include "masterdata/frm_list_Prestazioni.h"
#include "platform/core/Error.h"
#include "platform/core/Format.h"
#include "platform/grid/GridColumn.h"
#include "platform/grid/GridEx.h"
#include "platform/grid/GridTypes.h"
#include "platform/ui/CloseGuard.h"
#include "platform/ui/DataBinding.h"
#include "platform/ui/DataCombo.h"
#include "platform/ui/DateBox.h"
#include "platform/ui/Dialogs.h"
#include "platform/ui/EnterAsTab.h"
#include "platform/ui/FieldHelp.h"
#include "startup/DatabaseFile.h"
#include "startup/DocumentoNuovo.h"
#include "common/FormLifetime.h"
#include "common/HandlerBoundary.h"
#include "startup/SharedState.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QHeaderView>
#include <QScrollBar>
#include <QStatusBar>
#include <QTableView>
#include <QTimer>
#include <QVBoxLayout>

namespace {

FormInstance<frm_fattura> gInstance;

const QString kFormatoImporti = QStringLiteral("#,##0.00;-#,##0.00;0.00");
// The error number of DatiCliente for a client that is not there.
constexpr long kClienteNonTrovato = kClientNotFound;

// Cell indexes of the detail grid (the order of FattureDettaglio's columns).
constexpr int kColFatId = 2;
constexpr int kColQuanti = 4;
constexpr int kColDescrizione = 6;
constexpr int kColImporto = 7;
constexpr int kColTotRiga = 8;
constexpr int kColCodiceIVA = 9;
// Display positions of the detail grid's current column.
constexpr int kPosCodiceIVA = 4;
constexpr int kPosQuanti = 5;
constexpr int kPosDescrizione = 7;
constexpr int kPosImporto = 8;
// Rows of the VAT summary shown without scrolling.
constexpr int kRigheRiepilogoVisibili = 5;

bool isEmptyCell(const core::Variant& v)
{
    return v.isEmptyOrNull() || (v.isString() && v.toString().trimmed().isEmpty());
}

bool isNumericCell(const core::Variant& v)
{
    if (v.isNumber())
        return true;
    return v.isString() && NzNum(v, 0.0) == NzNum(v, 1.0);
}

// The line-total rule: quantity x unit price as doubles, not rounded.
core::Currency lineTotal(const core::Variant& quanti, const core::Variant& importo)
{
    return core::Currency::fromDouble(NzNum(quanti, 0.0) * NzNum(importo, 0.0));
}

template <typename W>
W* named(W* w, const QString& name)
{
    w->setObjectName(name);
    return w;
}

QString saveFailureText(const core::Error& e)
{
    switch (writeFailureOf(e)) {
    case WriteFailure::Conflict:
        return kConflictMessage;
    case WriteFailure::Busy:
        return QStringLiteral("Il database è in uso da un altro utente: il documento non è stato salvato.") + kCrLf
             + QStringLiteral("Riprovare fra qualche istante.");
    default:
        return QStringLiteral("Il documento non è stato salvato.") + kCrLf + e.text();
    }
}

} // namespace

// ---- instance ------------------------------------------------------------

frm_fattura* frm_fattura::instance()
{
    return gInstance.get([] { return new frm_fattura(MainWindowWidget()); });
}

frm_fattura* frm_fattura::current() { return gInstance.current(); }

bool frm_fattura::IsLoaded() { return gInstance.exists(); }

void frm_fattura::Unload()
{
    frm_fattura* f = gInstance.current();
    if (!f)
        return;
    gInstance.unload();
}

bool frm_fattura::refuseSecondDocument()
{
    QPointer<frm_fattura> f = gInstance.current();
    if (!f || !f->isVisible())
        return false;
    ui::msgBox(QStringLiteral("Un documento è già aperto: salvarlo o annullarlo prima di aprirne un altro."), ui::vbOKOnly,
               AppTitle());
    // The editor may have been saved or closed while the message waited.
    if (f && !isUnloaded(f)) {
        f->raise();
        f->activateWindow();
    }
    return true;
}

// ---- opening -------------------------------------------------------------

void frm_fattura::Nuovo(std::int32_t tipo)
{
    if (refuseSecondDocument())
        return;
    // The provisional number is read before the write lock is taken.
    const std::int32_t provvisorio = UltimoNumero(QString()) + 1;
    NewDocument nuovo;
    nuovo.sezId = session().sezId;
    nuovo.date = session().dataLavoro;
    nuovo.kind = tipo;
    nuovo.provisionalNumber = provvisorio;
    nuovo.surchargePercent = session().ritPrePerc;
    nuovo.surchargeDescription = session().ritPreDesc;
    nuovo.withholdingDescription = session().ritAccDesc;
    nuovo.withholdingBasePercent = session().ritAccPercSuImp;
    nuovo.withholdingOnSurcharge = session().ritAccSuRitPre;
    std::int32_t id = 0;
    try {
        // Remembered before its row exists, until it is saved or cancelled: a
        // start after a crash or a kill removes the blank row.
        id = createNewDocument(session().dataConStr, nuovo, RicordaDocumentoNuovo);
    } catch (const core::Error& e) {
        ui::msgBox(QStringLiteral("Impossibile creare il documento.") + kCrLf + e.text(), ui::vbOKOnly, AppTitle());
        return;
    }
    frm_fattura* f = instance();
    f->m_modo = 1;
    f->m_id = id;
    f->setWindowTitle(QStringLiteral("Nuova fattura"));
    f->CaricaDocumento();
}

void frm_fattura::Modifica(std::int32_t id)
{
    if (refuseSecondDocument())
        return;
    frm_fattura* f = instance();
    f->m_modo = 3;
    f->m_id = id;
    f->cmbData[0]->setEnabled(false);
    f->setWindowTitle(QStringLiteral("Modifica fattura"));
    f->txtData[9]->setEnabled(false);
    f->CaricaDocumento();
    if (gInstance.current() != f)
        return;
    const core::Variant cli = f->dtcData[0]->boundValue();
    if (!cli.isEmptyOrNull() && cli.toLong() > 0) {
        try {
            f->showClientAddress(DatiCliente(cli.toLong()));
        } catch (const core::Error& e) {
            // A client deleted since: the address lines stay empty. Any other failure is told.
            if (e.number() != kClienteNonTrovato)
                ui::msgBox(e.text(), ui::vbOKOnly, AppTitle());
        }
    }
}

void frm_fattura::CaricaDocumento()
{
    try {
        CaricaCombo();
        cmbData[0]->clear();
        cmbData[0]->addItems({QStringLiteral("Fattura"), QStringLiteral("Nota di Credito"), QStringLiteral("Pro Forma")});

        // Header, lines and VAT rows as they stood at one moment.
        m_doc = DocumentStore(session().dataConStr).load(m_id);
        gexdet->setRecordset(m_doc.lineRows());
        gexDetIVA->setRecordset(m_doc.vatRows());
        configureVatGrid();

        // A list that does not load is told (the database is busy, say); the
        // lines then wait for it instead of being refused against an empty list.
        CaricaCodiciIVA();
        configureLineGrid();
    } catch (const core::Error& e) {
        ui::msgBox(e.description(), ui::vbOKOnly, AppTitle());
        Unload();
        return;
    }

    m_loading = true;
    bindControls();
    const int tipo = static_cast<int>(NzNum(m_doc.header(QStringLiteral("fatTipo")), 0.0));
    cmbData[0]->setCurrentIndex(tipo);
    showKind(tipo);
    m_tipoSalvato = tipo;
    m_clientApplied = m_doc.header(QStringLiteral("fatCliForId"));
    m_loading = false;

    lblTotSoggettivo->setText(NzStr(m_doc.header(QStringLiteral("fatRitPreDesc")), QStringLiteral("Rivalsa")));
    lblTotRitAcc->setText(NzStr(m_doc.header(QStringLiteral("fatRitAccDesc")), QStringLiteral("Ritenuta d'acconto")));

    cmdMakeInvoice->setVisible(m_modo == 3 && tipo == 2);
    cmdIncassi->setVisible(tipo == 0);
    // Collections hang on a document stored as the user saved it: a new one has
    // none to take until its first save.
    cmdIncassi->setEnabled(m_modo == 3);
    cmdIncassi->setToolTip(m_modo == 3 ? QString() : QStringLiteral("Salvare il documento prima di registrarne gli incassi"));
    gexdet->setEnabled(m_modo == 3);

    show();
    raise();
    activateWindow();
    cmbData[0]->isEnabled() ? cmbData[0]->setFocus() : dtcData[0]->setFocus();
}

void frm_fattura::CaricaCombo()
{
    const db::Recordset clients = readClientList(session().dataConStr, session().sezId);
    const db::Recordset terms = readPaymentList(session().dataConStr, session().sezId);
    dtcData[0]->setRowSource(clients, QStringLiteral("cliId"), QStringLiteral("cliNome"));
    dtcData[1]->setRowSource(terms, QStringLiteral("pagId"), QStringLiteral("pagDescrizione"));
    if (m_bound)
        m_binding->refresh();
}

bool frm_fattura::CaricaCodiciIVA()
{
    db::Recordset rs;
    try {
        rs = readVatCodeList(session().dataConStr);
    } catch (const core::Error& e) {
        // The codes stay unknown rather than empty: no line is judged against them.
        m_codesLoaded = false;
        ui::msgBox(QStringLiteral("Impossibile leggere l'elenco dei codici IVA.") + kCrLf + e.description(),
                   ui::vbOKOnly | ui::vbExclamation, AppTitle());
        return false;
    }
    gexIVA->setRecordset(rs);
    m_codes.clear();
    for (int r = 1; r <= gexIVA->rowCount(); ++r)
        m_codes.insert(NzStr(gexIVA->cellValue(r, 1), QString()).toUpper());
    m_codesLoaded = true;
    sizeCodeList();
    return true;
}

void frm_fattura::sizeCodeList()
{
    if (gexIVA->columnCount() < 2)
        return;
    const int codeWidth = gexdet->column(kColCodiceIVA).width();
    gexIVA->column(1).setWidth(codeWidth);
    gexIVA->column(2).setWidth(std::max(600, gexIVA->pixelsToTwips(gexIVA->width()) - codeWidth - 380));
}

std::array<core::Variant, 7> frm_fattura::DatiCliente(std::int32_t cliId)
{
    return readClientData(session().dataConStr, cliId);
}

// ---- look-ups --------------------------------------------------------------

double frm_fattura::AliquotaIVA(const QString& codice)
{
    return vatCodeRate(session().dataConStr, codice);
}

bool frm_fattura::EsenzioneIVA(const QString& codice)
{
    return vatCodeExempt(session().dataConStr, codice);
}

bool frm_fattura::NoRitenutaIVA(const QString& codice)
{
    return vatCodeNoWithholding(session().dataConStr, codice);
}

QString frm_fattura::NotaPagamento(std::int32_t pagId)
{
    return paymentTermNote(session().dataConStr, pagId);
}

// ---- computation -----------------------------------------------------------

void frm_fattura::CalcolaRiepilogoIVA(double& RitPrePerc, double& RitAccPerc)
{
    const VatSummary summary = computeVatSummary(m_doc.vatLines(), readVatCodes(session().dataConStr), m_doc.vatSummary(),
                                                 m_doc.vatSettings(RitPrePerc, RitAccPerc));
    m_doc.applyVatChanges(summary.changes);
}

void frm_fattura::CalcolaTotali()
{
    m_doc.setTotals(computeTotals(m_doc.vatSummary()));
    m_binding->refresh();
}

void frm_fattura::recalculate()
{
    double pre = NzNum(m_doc.header(QStringLiteral("fatRitPrePerc")), 0.0);
    double acc = NzNum(m_doc.header(QStringLiteral("fatRitAccPerc")), 0.0);
    CalcolaRiepilogoIVA(pre, acc);
    gexDetIVA->refresh();
    fitVatGrid();
    CalcolaTotali();
}

void frm_fattura::setHeader(const QString& field, const core::Variant& value)
{
    m_doc.setHeader(field, value);
}

// ---- saving ----------------------------------------------------------------

bool frm_fattura::Salva()
{
    const int tipo = cmbData[0]->currentIndex() < 0 ? 0 : cmbData[0]->currentIndex();
    setHeader(QStringLiteral("fatTipo"), core::Variant(static_cast<std::int16_t>(tipo)));
    if (!linesHaveVatCodes())
        return false;
    // The print layout has room for a few VAT rows only: a document with more
    // would be numbered now and refused at every print.
    const int aliquote = m_doc.vatRowCount();
    if (aliquote > finclsTarvix::kRigheIva) {
        const int risposta = ui::msgBox(QStringLiteral("Il documento ha %1 aliquote IVA: il modello di stampa ne può mostrare al "
                                                       "massimo %2. Salvare comunque?")
                                            .arg(aliquote)
                                            .arg(finclsTarvix::kRigheIva),
                                        ui::vbYesNo | ui::vbExclamation | ui::vbDefaultButton2, AppTitle());
        if (risposta != ui::vbYes)
            return false;
    }
    const bool numera = m_modo == 1 && tipo != 2;
    const QString prefisso = cleanPrefix(txtData[9]->text());
    if (numera) {
        const QDate data = m_doc.header(QStringLiteral("fatData")).toDate();
        if (data.isValid() && data.year() != session().annoLavoro) {
            const int risposta = ui::msgBox(QStringLiteral("La data del documento è dell'anno ") + QString::number(data.year())
                                                + QStringLiteral(", ma il numero sarà dato dalla numerazione dell'anno di lavoro ")
                                                + QString::number(session().annoLavoro) + QStringLiteral(".") + kCrLf
                                                + QStringLiteral("Salvare comunque il documento?"),
                                            ui::vbYesNo | ui::vbExclamation | ui::vbDefaultButton2, AppTitle());
            if (risposta != ui::vbYes)
                return false;
        }
    }

    DocumentSave how;
    how.kind = tipo;
    how.numbered = numera;
    how.sezId = session().sezId;
    how.year = session().annoLavoro;
    how.prefix = prefisso;
    std::int32_t numero = 0;
    try {
        numero = DocumentStore(session().dataConStr).save(m_doc, how);
    } catch (const core::Error& e) {
        // Nothing of this save stays, and the document still holds every edit for a retry.
        ui::msgBox(saveFailureText(e), ui::vbOKOnly, AppTitle());
        return false;
    }
    m_tipoSalvato = tipo;
    if (m_modo == 1)
        DimenticaDocumentoNuovo(m_id);
    if (numera) {
        txtData[0]->setText(QString::number(numero));
    }
    return true;
}

bool frm_fattura::linesHaveVatCodes()
{
    if (!m_codesLoaded && !CaricaCodiciIVA()) {
        gexdet->setFocus();
        return false;
    }
    int riga = 0;
    for (const VatLine& line : m_doc.vatLines()) {
        ++riga;
        const QString code = line.code.trimmed().toUpper();
        if (code.isEmpty() || !m_codes.contains(code)) {
            ui::msgBox(QStringLiteral("La riga ") + QString::number(riga)
                           + QStringLiteral(" del dettaglio non ha un Codice IVA valido: sceglierlo prima di salvare."),
                       ui::vbOKOnly, AppTitle());
            gexdet->setFocus();
            return false;
        }
    }
    return true;
}

bool frm_fattura::commitPendingLine()
{
    if (!gexdet->isEditingRow())
        return true;
    QWidget* focus = QApplication::focusWidget();
    if (focus && focus != gexdet->view() && gexdet->isAncestorOf(focus))
        gexdet->view()->setFocus(); // closes the cell editor, keeping what was typed
    m_lineRefusalExplained = false;
    if (gexdet->commitRowEdit())
        return true;
    if (!m_lineRefusalExplained)
        ui::msgBox(QStringLiteral("La riga di dettaglio in modifica è incompleta: completarla oppure annullarla con Esc."),
                   ui::vbOKOnly, AppTitle());
    gexdet->setFocus();
    return false;
}

// ---- commands --------------------------------------------------------------

void frm_fattura::cmdSave_Click() { saveAndClose(); }

bool frm_fattura::saveAndClose()
{
    if (!commitPendingLine())
        return false;
    if (m_doc.lineCount() < 1) {
        ui::msgBox(QStringLiteral("Nessuna riga di dettaglio"), ui::vbOKOnly, AppTitle());
        gexdet->setFocus();
        return false;
    }
    if (!clientChosenInCombo()) {
        ui::msgBox(QStringLiteral("Inserire il Cliente"), ui::vbOKOnly, AppTitle());
        dtcData[0]->setFocus();
        return false;
    }
    if (!Salva())
        return false;
    DocumentSavedInMainWindow(m_id);
    Unload();
    return true;
}

void frm_fattura::printOutput(Output output)
{
    if (!commitPendingLine())
        return;
    if (m_doc.lineCount() < 1) {
        ui::msgBox(QStringLiteral("Nessuna riga di dettaglio"), ui::vbOKOnly, AppTitle());
        gexdet->setFocus();
        return;
    }
    if (!Salva())
        return;
    // The print engine runs the editor's document query (SqlStampaDocumento) for the
    // saved kind; every failure there is told to the user and leaves no output.
    switch (output) {
    case Output::Preview:
        AnteprimaFattura(m_id, m_tipoSalvato);
        break;
    case Output::Print:
        StampaFattura(m_id, m_tipoSalvato);
        break;
    case Output::Pdf:
        EsportaFatturaPdf(m_id, m_tipoSalvato);
        break;
    }
    DocumentSavedInMainWindow(m_id);
    Unload();
}

void frm_fattura::cmdPreview_Click() { printOutput(Output::Preview); }
void frm_fattura::cmdPrint_Click() { printOutput(Output::Print); }
void frm_fattura::cmdPDF_Click() { printOutput(Output::Pdf); }

void frm_fattura::cmdMakeInvoice_Click()
{
    const std::int32_t id = m_id;
    // Only a pro forma stored as the user sees it becomes an invoice; a failed
    // save has told why and keeps the editor open.
    if (!saveAndClose())
        return;
    const std::int32_t invoice = frmMakeInvoice::Apri(id, MainWindowWidget());
    if (invoice == 0)
        return;
    RefreshMainWindow();
    Modifica(invoice);
}

void frm_fattura::cmdIncassi_Click()
{
    // The button is usable once the document exists in the database as the user saved it.
    if (m_modo != 3)
        return;
    frmIncassi::Apri(m_id, this);
}

void frm_fattura::cmdImportoPattuito_Click()
{
    if (!commitPendingLine())
        return;
    if (gexdet->rowCount() < 1) {
        ui::msgBox(QStringLiteral("Per poter inserire l'importo pattuito è necessario che sia presente almeno una riga di "
                                  "dettaglio"),
                   ui::vbOKOnly, AppTitle());
    } else {
        QPointer<frm_fattura> self(this);
        const std::optional<core::Currency> pattuito = frm_Pattuito::Apri(this);
        if (!self)
            return;
        if (pattuito) {
            try {
                CalcolaDaPattuito(*pattuito, 1);
            } catch (const core::Error& e) {
                ui::msgBox(QStringLiteral("L'importo pattuito non è stato applicato.") + kCrLf + e.text(), ui::vbOKOnly,
                           AppTitle());
            }
        }
    }
    txtNote->setFocus();
}

void frm_fattura::CalcolaDaPattuito(core::Currency Pattuito, std::int32_t Riga)
{
    gexdet->setRow(Riga);
    AgreedAmountLine line;
    line.vatCode = NzStr(gexdet->value(kColCodiceIVA), QString()).trimmed();
    line.quantity = NzNum(gexdet->value(kColQuanti), 0.0);
    line.total = gexdet->value(kColTotRiga).toCurrency();

    std::optional<VatCode> code;
    for (const VatCode& c : readVatCodes(session().dataConStr)) {
        if (c.code.compare(line.vatCode, Qt::CaseInsensitive) == 0)
            code = c;
    }
    const VatSettings settings = m_doc.vatSettings();
    const core::Currency netto = m_doc.header(QStringLiteral("fatTotNetto")).toCurrency();

    // Each price is written into the line as a typed one is: the line total
    // follows, the line is committed, and the summary and totals are rebuilt.
    const AgreedAmountOutcome out = solveAgreedAmount(Pattuito, netto, line, code, settings, [this, Riga](core::Currency prezzo) {
        gexdet->setRow(Riga);
        gexdet->setValue(kColImporto, core::Variant(prezzo));
        if (!gexdet->commitRowEdit()) {
            gexdet->cancelRowEdit();
            throw core::Error(3021, QStringLiteral("La prima riga del dettaglio non accetta il nuovo prezzo."));
        }
        return m_doc.header(QStringLiteral("fatTotNetto")).toCurrency();
    });
    gexdet->setCol(kPosCodiceIVA);
    if (out.refusal != AgreedAmountRefusal::None) {
        ui::msgBox(agreedAmountRefusalText(out.refusal), ui::vbOKOnly | ui::vbExclamation, AppTitle());
        return;
    }
    const QString quasi = agreedAmountNearMissText(out, Pattuito);
    if (!quasi.isEmpty())
        ui::msgBox(quasi, ui::vbOKOnly | ui::vbInformation, AppTitle());
}

void frm_fattura::cmdCliAdd_Click()
{
    QPointer<frm_fattura> self(this);
    NuovoCliente();
    if (self)
        dtcData[0]->setFocus();
}

void frm_fattura::NuovoCliente()
{
    QPointer<frm_fattura> self(this);
    const core::Variant cliId = frm_io_Clienti::Nuovo(1);
    frm_io_Clienti::Unload();
    if (!self || cliId.isEmptyOrNull())
        return;
    try {
        CaricaCombo();
        setHeader(QStringLiteral("fatCliForId"), core::Variant(cliId.toLong()));
        applyClientData(DatiCliente(cliId.toLong()));
        m_clientApplied = m_doc.header(QStringLiteral("fatCliForId"));
    } catch (const core::Error& e) {
        // The client is stored: what could not be applied to the document is told.
        ui::msgBox(e.text(), ui::vbOKOnly, AppTitle());
    }
    m_binding->refresh();
}

void frm_fattura::NuovoPagamento()
{
    QPointer<frm_fattura> self(this);
    const core::Variant pagId = frm_io_Pagamenti::Nuovo(1);
    frm_io_Pagamenti::Unload();
    if (!self || pagId.isEmptyOrNull())
        return;
    try {
        CaricaCombo();
        setHeader(QStringLiteral("fatCliForPag"), core::Variant(pagId.toLong()));
    } catch (const core::Error& e) {
        ui::msgBox(e.text(), ui::vbOKOnly, AppTitle());
    }
    m_binding->refresh();
}

bool frm_fattura::deleteNeverSaved()
{
    try {
        deleteDocument(session().dataConStr, m_id);
        DimenticaDocumentoNuovo(m_id);
        return true;
    } catch (const core::Error& e) {
        ui::msgBox(QStringLiteral("Impossibile eliminare il documento non salvato.") + kCrLf + e.text(), ui::vbOKOnly,
                   AppTitle());
        return false;
    }
}

void frm_fattura::cmdClose_Click()
{
    if (m_modo == 1 && !deleteNeverSaved())
        return;
    gexdet->cancelRowEdit();
    m_doc.discard();
    Unload();
}

// ---- the window ------------------------------------------------------------

frm_fattura::frm_fattura(QWidget* parent) : QWidget(parent, Qt::Window)
{
    setObjectName(QStringLiteral("frm_fattura"));
    m_binding = new ui::DataBinding(this);
    buildControls();
    // Form_Load: the editor is left only through its own buttons.
    RimuoviChiudi(this);
}

void frm_fattura::buildControls()
{
    createFields();
    createButtons();
    createGrids();
    QWidget* header = layoutHeader();
    QGroupBox* totals = layoutTotals();
    layoutWindow(header, totals);
    setUpKeys(header, totals);
    connectCommands();
    connectLineGrid();
}

QLabel* frm_fattura::newLabel(int index, const QString& text)
{
    auto* l = new QLabel(text, this);
    l->setObjectName(QStringLiteral("lblData(%1)").arg(index));
    lblData[index] = l;
    return l;
}

void frm_fattura::createFields()
{
    txtData.resize(11);
    lblData.resize(18);
    for (int i = 0; i < txtData.size(); ++i) {
        if (i == 1)
            continue; // the notes are a multi-line box, txtNote
        txtData[i] = new QLineEdit(this);
        named(txtData[i], QStringLiteral("txtData(%1)").arg(i));
    }
    txtNote = new QPlainTextEdit(this);
    named(txtNote, QStringLiteral("txtData(1)"));
    txtNote->setTabChangesFocus(true);
    txtNote->setFixedHeight(54);

    cmbData.append(new QComboBox(this));
    named(cmbData[0], QStringLiteral("cmbData(0)"));
    cmbData[0]->setToolTip(QStringLiteral("Tipo documento: Fattura, Nota di credito o Pro-Forma"));
    for (int i = 0; i < 2; ++i) {
        dtcData.append(new ui::DataCombo(this));
        named(dtcData[i], QStringLiteral("dtcData(%1)").arg(i));
        dtcData[i]->installEventFilter(this);
    }
    dtcData[0]->setToolTip(QStringLiteral("Cliente - [F4 Lista] [F5 Nuovo]"));
    dtcData[1]->setToolTip(QStringLiteral("Pagamento pattuito con il cliente - [F4 Lista]"));
    chkData.append(new QCheckBox(QStringLiteral("Calcola la Ritenuta d'acconto"), this));
    named(chkData[0], QStringLiteral("chkData(0)"));
    chkData[0]->setToolTip(
        QStringLiteral("Calcola la ritenuta d'acconto a partire dall'imponibile e dalla percentuale definita"));
    dtp = new ui::DateBox(this);
    named(dtp, QStringLiteral("dtp"));
    dtp->setToolTip(QStringLiteral("Data del documento"));
    for (int i = 0; i < 2; ++i) {
        lblDataCli.append(new QLabel(this));
        named(lblDataCli[i], QStringLiteral("lblDataCli(%1)").arg(i));
    }

    txtData[9]->setToolTip(
        QStringLiteral("Sezione: lasciare vuoto per la numerazione principale o inserire una lettera."));
    txtData[9]->setMaximumWidth(60);
    txtData[9]->installEventFilter(this);
    txtData[8]->setToolTip(QStringLiteral("Descrizione della prestazione"));
    txtData[8]->installEventFilter(this);
    txtNote->setToolTip(QStringLiteral("Note documento"));
    // The number and the totals are computed, never typed.
    for (int i : {0, 7, 5, 6, 4, 2, 3, 10}) {
        txtData[i]->setReadOnly(true);
        txtData[i]->setFocusPolicy(Qt::ClickFocus);
        txtData[i]->setAlignment(Qt::AlignRight);
    }
    txtData[0]->setMaximumWidth(80);
}

void frm_fattura::createButtons()
{
    auto button = [this](const QString& name, const QString& caption) {
        auto* b = new QPushButton(caption, this);
        named(b, name);
        b->setAutoDefault(false);
        return b;
    };
    cmdSave = button(QStringLiteral("cmdSave"), QStringLiteral("Salva"));
    cmdClose = button(QStringLiteral("cmdClose"), QStringLiteral("Annulla"));
    cmdPrint = button(QStringLiteral("cmdPrint"), QStringLiteral("Stampa"));
    cmdPreview = button(QStringLiteral("cmdPreview"), QStringLiteral("Anteprima"));
    cmdPDF = button(QStringLiteral("cmdPDF"), QStringLiteral("Esporta (PDF)"));
    cmdMakeInvoice = button(QStringLiteral("cmdMakeInvoice"), QStringLiteral("Genera Fattura"));
    cmdIncassi = button(QStringLiteral("cmdIncassi"), QStringLiteral("Incassi"));
    cmdImportoPattuito = button(QStringLiteral("cmdImportoPattuito"), QStringLiteral("Modifica"));
    cmdImportoPattuito->setToolTip(QStringLiteral("Importo pattuito"));
    cmdCliAdd = button(QStringLiteral("cmdCliAdd"), QStringLiteral("Nuovo"));
    cmdCliAdd->setToolTip(QStringLiteral("Nuovo cliente"));
}

void frm_fattura::createGrids()
{
    gexdet = new grid::GridEx(this);
    named(gexdet, QStringLiteral("gexdet"));
    gexdet->setNavigatorVisible(true);
    gexdet->setNavigatorTexts(QStringLiteral("riga:|di"));
    gexdet->setToolTip(QStringLiteral("Dettaglio documento"));
    gexdet->setEnabled(false);
    // Rows as high as a cell editor needs, no more: the window shows more lines.
    gexdet->setRowHeight(gexdet->pixelsToTwips(QComboBox().sizeHint().height()));
    gexDetIVA = new grid::GridEx(this);
    named(gexDetIVA, QStringLiteral("gexDetIVA"));
    gexDetIVA->setRowHeight(225);
    // Display only: no focus, no current row, no editing, yet drawn as a live
    // list (a disabled one greys its rows out).
    gexDetIVA->setFocusPolicy(Qt::NoFocus);
    gexDetIVA->view()->setFocusPolicy(Qt::NoFocus);
    gexDetIVA->view()->setSelectionMode(QAbstractItemView::NoSelection);
    gexDetIVA->view()->setEditTriggers(QAbstractItemView::NoEditTriggers);
    gexDetIVA->view()->viewport()->setAttribute(Qt::WA_TransparentForMouseEvents);
    gexDetIVA->view()->setSizeAdjustPolicy(QAbstractScrollArea::AdjustIgnored);
    gexDetIVA->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
    gexIVA = new grid::GridEx(this);
    named(gexIVA, QStringLiteral("gexIVA"));
    gexIVA->hide(); // only the drop-down list of the VAT-code column

    sb = new QStatusBar(this);
    named(sb, QStringLiteral("sb"));
    sb->setSizeGripEnabled(false);
}

QWidget* frm_fattura::layoutHeader()
{
    auto* header = new QWidget(this);
    header->setObjectName(QStringLiteral("header"));
    auto* hg = new QGridLayout(header);
    hg->setContentsMargins(0, 0, 0, 0);
    hg->addWidget(newLabel(17, QStringLiteral("Tipo Documento")), 0, 0);
    hg->addWidget(cmbData[0], 0, 1);
    auto* numero = new QHBoxLayout;
    numero->addWidget(newLabel(5, QStringLiteral("Numero")));
    numero->addWidget(txtData[0]);
    numero->addWidget(newLabel(1, QStringLiteral("/")));
    numero->addWidget(txtData[9]);
    numero->addSpacing(16);
    numero->addWidget(newLabel(6, QStringLiteral("Data")));
    numero->addWidget(dtp);
    numero->addStretch();
    hg->addLayout(numero, 0, 2, 1, 3);
    hg->addWidget(newLabel(7, QStringLiteral("Cliente")), 1, 0);
    auto* cliente = new QHBoxLayout;
    cliente->addWidget(dtcData[0], 1);
    cliente->addWidget(cmdCliAdd);
    hg->addLayout(cliente, 1, 1);
    hg->addWidget(newLabel(0, QStringLiteral("Pagamento")), 1, 3);
    hg->addWidget(dtcData[1], 1, 4);
    auto* indirizzo = new QVBoxLayout;
    indirizzo->setSpacing(0);
    indirizzo->addWidget(lblDataCli[0]);
    indirizzo->addWidget(lblDataCli[1]);
    hg->addLayout(indirizzo, 2, 1);
    hg->addWidget(newLabel(9, QStringLiteral("Descrizione generale")), 3, 0);
    hg->addWidget(txtData[8], 3, 1, 1, 4);
    hg->addWidget(newLabel(8, QStringLiteral("Note")), 4, 0, Qt::AlignTop);
    hg->addWidget(txtNote, 4, 1, 1, 4);
    hg->setColumnStretch(1, 3);
    hg->setColumnStretch(4, 2);
    dtcData[0]->setMinimumWidth(260);
    // The client list grows with the file: sized by the layout, not by measuring
    // every name (thousands of clients made each opening visibly slower).
    dtcData[0]->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    dtcData[1]->setMinimumWidth(200);
    return header;
}

QGroupBox* frm_fattura::layoutTotals()
{
    auto* totals = new QGroupBox(this);
    totals->setObjectName(QStringLiteral("totals"));
    auto* tg = new QGridLayout(totals);
    lblData[2] = new QLabel(QStringLiteral("Riepilogo Importi"), totals);
    lblData[2]->setObjectName(QStringLiteral("lblData(2)"));
    QFont bold = lblData[2]->font();
    bold.setBold(true);
    lblData[2]->setFont(bold);
    tg->addWidget(lblData[2], 0, 0, 1, 2);
    lblTotSoggettivo = new QLabel(QStringLiteral("Rivalsa"), totals);
    lblTotRitAcc = new QLabel(QStringLiteral("Ritenuta d'acconto"), totals);
    lblData[3] = new QLabel(QStringLiteral("Netto dovuto"), totals);
    lblData[3]->setObjectName(QStringLiteral("lblData(3)"));
    lblData[3]->setFont(bold);
    const QVector<QPair<QLabel*, int>> righe = {
        {new QLabel(QStringLiteral("Importo"), totals), 7}, {lblTotSoggettivo, 5},
        {new QLabel(QStringLiteral("Imponibile"), totals), 6}, {new QLabel(QStringLiteral("Imposta"), totals), 4},
        {new QLabel(QStringLiteral("Totale documento"), totals), 2}, {lblTotRitAcc, 3}, {lblData[3], 10}};
    for (int r = 0; r < righe.size(); ++r) {
        tg->addWidget(righe[r].first, r + 1, 0);
        tg->addWidget(txtData[righe[r].second], r + 1, 1);
        txtData[righe[r].second]->setMinimumWidth(110);
    }
    txtData[10]->setFont(bold);
    tg->addWidget(chkData[0], righe.size() + 1, 0, 1, 2);
    auto* pattuito = new QHBoxLayout;
    pattuito->addWidget(new QLabel(QStringLiteral("Importo pattuito"), totals));
    pattuito->addWidget(cmdImportoPattuito);
    tg->addLayout(pattuito, righe.size() + 2, 0, 1, 2);
    return totals;
}

void frm_fattura::layoutWindow(QWidget* header, QGroupBox* totals)
{
    // The lines take the height the window gives; the VAT summary under them
    // only what its rows need; the totals stand beside both.
    auto* dettaglio = new QVBoxLayout;
    dettaglio->addWidget(newLabel(4, QStringLiteral("Dettaglio")));
    dettaglio->addWidget(gexdet, 1);
    dettaglio->addWidget(gexDetIVA);
    auto* middle = new QHBoxLayout;
    middle->addLayout(dettaglio, 1);
    middle->addWidget(totals, 0, Qt::AlignTop);

    auto* buttons = new QHBoxLayout;
    for (QPushButton* b : {cmdSave, cmdPreview, cmdPrint, cmdPDF, cmdMakeInvoice, cmdIncassi})
        buttons->addWidget(b);
    buttons->addStretch();
    buttons->addWidget(cmdClose);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(header);
    lblData[4]->setFont(lblData[2]->font()); // bold, as the totals heading
    layout->addLayout(middle, 1);
    layout->addLayout(buttons);
    layout->addWidget(sb);
    resize(960, 700);
}

void frm_fattura::setUpKeys(QWidget* header, QGroupBox* totals)
{
    // Enter moves on in the header and at the withholding box; the grid keeps its own Enter.
    ui::installEnterAsTab(header, ui::EnterOnTextBoxes | ui::EnterOnCheckBoxes | ui::EnterOnComboBoxes
                                      | ui::EnterOnSpinBoxes);
    ui::installEnterAsTab(totals, ui::EnterOnCheckBoxes);
    // Reached by a click, never by Enter or Tab: so Enter in the client combo
    // with no client chosen stays there (leaving it is refused), and Enter on
    // the way through the header never opens the client form.
    cmdCliAdd->setFocusPolicy(Qt::ClickFocus);
    ui::installFieldHelp(this, sb);
    // After the field help, so the grid's own hints are the last word.
    connect(qApp, &QApplication::focusChanged, this, boundary([this](QWidget* old, QWidget* now) { onFocusChanged(old, now); }));

    // Tab goes as the eye reads the window: the header row by row, the lines,
    // the totals beside them, then the buttons from left to right. The grid
    // itself (whose focus goes to its view) stands right before the view, or
    // Tab from the last button would land in the lines instead of going round.
    QWidget* const order[] = {cmbData[0], txtData[9], dtp, dtcData[0], dtcData[1], txtData[8], txtNote,
                              gexdet, gexdet->view(), chkData[0], cmdImportoPattuito, cmdSave, cmdPreview,
                              cmdPrint, cmdPDF, cmdMakeInvoice, cmdIncassi, cmdClose};
    for (std::size_t i = 1; i < std::size(order); ++i)
        setTabOrder(order[i - 1], order[i]);
}

void frm_fattura::connectCommands()
{
    connect(cmdSave, &QPushButton::clicked, this, boundary([this] { cmdSave_Click(); }));
    connect(cmdClose, &QPushButton::clicked, this, boundary([this] { cmdClose_Click(); }));
    connect(cmdPrint, &QPushButton::clicked, this, boundary([this] { cmdPrint_Click(); }));
    connect(cmdPreview, &QPushButton::clicked, this, boundary([this] { cmdPreview_Click(); }));
    connect(cmdPDF, &QPushButton::clicked, this, boundary([this] { cmdPDF_Click(); }));
    connect(cmdMakeInvoice, &QPushButton::clicked, this, boundary([this] { cmdMakeInvoice_Click(); }));
    connect(cmdIncassi, &QPushButton::clicked, this, boundary([this] { cmdIncassi_Click(); }));
    connect(cmdImportoPattuito, &QPushButton::clicked, this, boundary([this] { cmdImportoPattuito_Click(); }));
    connect(cmdCliAdd, &QPushButton::clicked, this, boundary([this] { cmdCliAdd_Click(); }));
    connect(cmbData[0], &QComboBox::activated, this, boundary([this](int index) { showKind(index); }));
    // Before the binding's own handler, so a pasted prefix is stored clean.
    connect(txtData[9], &QLineEdit::textEdited, this, [this](const QString& text) {
        const QString clean = cleanPrefix(text);
        if (clean != text)
            txtData[9]->setText(clean);
    });
    connect(txtData[9], &QLineEdit::textChanged, this, boundary([this] { prefixEdited(); }));
}

void frm_fattura::connectLineGrid()
{
    connect(gexdet, &grid::GridEx::beforeColUpdate, this, boundary([this](int column, const core::Variant&, bool&) {
        if (column == kColQuanti || column == kColImporto)
            gexdet->setValue(kColTotRiga, lineTotal(gexdet->value(kColQuanti), gexdet->value(kColImporto)));
    }));
    connect(gexdet, &grid::GridEx::beforeUpdate, this, boundary([this](bool& cancel) { cancel = !checkLine(); }));
    connect(gexdet, &grid::GridEx::afterUpdate, this, boundary([this] {
        recalculate();
        gexdet->setCol(kPosCodiceIVA);
    }));
    connect(gexdet, &grid::GridEx::afterDelete, this, boundary([this] {
        recalculate();
        gexdet->setCol(kPosCodiceIVA);
    }));
    connect(gexdet, &grid::GridEx::validate, this, boundary([this](bool& cancel) {
        QWidget* now = QApplication::focusWidget();
        // Another window (a modal form) or the cancel button: nothing is checked.
        if (!now || now->window() != this || now == cmdClose)
            return;
        if (!gexdet->commitRowEdit() || m_doc.lineCount() < 1) {
            cancel = true;
            m_gridKeptFocus = true;
        }
    }));
    connect(gexdet, &grid::GridEx::keyDown, this,
            boundary([this](int& keyCode, int shift) { onLineGridKey(keyCode, shift); }));
    connect(gexdet, &grid::GridEx::keyPress, this, boundary([this](int& keyAscii) {
        if (keyAscii < 32)
            return;
        const int position = gexdet->col();
        if (position == kPosQuanti)
            keyAscii = SoloCifre(keyAscii);
        else if (position == kPosImporto && keyAscii != '.')
            keyAscii = SoloDecimaliSegno(keyAscii); // the point stays, for the reading to place ("1.200,00")
    }));
    connect(gexdet, &grid::GridEx::currentCellChanged, this, boundary([this](int, int) {
        QWidget* focus = QApplication::focusWidget();
        if (focus && (focus == gexdet || gexdet->isAncestorOf(focus)))
            setHint(columnHint(gexdet->col()));
    }));
    connect(gexdet, &grid::GridEx::buttonClick, this, boundary([this](int column) {
        if (column == kColDescrizione)
            openServicePicker();
    }));
    connect(gexdet, &grid::GridEx::error, this, [](long, const QString& description) {
        ui::msgBox(description, ui::vbOKOnly, AppTitle());
    });
}

void frm_fattura::onLineGridKey(int& keyCode, int shift)
{
    QWidget* focus = QApplication::focusWidget();
    const bool cellEditor = focus && focus != gexdet->view() && gexdet->isAncestorOf(focus);
    if (keyCode == 13 && !cellEditor && gexdet->isNewRowLine(gexdet->row()) && gexdet->rowCount() >= 1
        && isEmptyCell(gexdet->value(kColDescrizione))
        && (isEmptyCell(gexdet->value(kColImporto)) || NzNum(gexdet->value(kColImporto), 1.0) == 0.0)) {
        keyCode = 0;
        cmdSave->setFocus();
        return;
    }
    // Enter on the price, or on a changed line at rest, writes the line and
    // goes on to a new one (the new line follows the last).
    if (keyCode == 13 && shift == 0 && gexdet->isEditingRow() && (!cellEditor || gexdet->col() == kPosImporto)) {
        keyCode = 0;
        if (cellEditor)
            gexdet->view()->setFocus(); // closes the cell, keeping what was typed
        if (gexdet->commitRowEdit()) {
            gexdet->setRow(gexdet->rowCount() + 1);
            gexdet->setCol(kPosCodiceIVA);
        }
        return;
    }
    if (keyCode == 27) {
        // Esc in a cell drops that cell's typing; on a changed line, that line's edit;
        // only on a line at rest does it abandon the document.
        if (cellEditor)
            return;
        keyCode = 0;
        if (gexdet->isEditingRow()) {
            gexdet->cancelRowEdit();
            return;
        }
        cmdClose_Click();
        return;
    }
    if (keyCode == 115 && gexdet->col() == kPosDescrizione) {
        keyCode = 0;
        openServicePicker();
        return;
    }
    if (keyCode == 115 && shift == 0 && !cellEditor && gexdet->col() == kPosCodiceIVA) {
        keyCode = 0;
        openVatCodeList();
        return;
    }
    if (keyCode == 46 && shift == 0 && !cellEditor && gexdet->row() >= 1 && gexdet->row() <= gexdet->rowCount()) {
        keyCode = 0;
        gexdet->deleteCurrentRow();
    }
}

void frm_fattura::bindControls()
{
    m_binding->setRecordset(m_doc.headerRows());
    if (m_bound) {
        m_binding->refresh();
        return;
    }
    m_binding->bind(txtData[0], QStringLiteral("fatNo"));
    m_binding->bind(txtData[9], QStringLiteral("fatPrefisso"));
    m_binding->bind(txtData[8], QStringLiteral("fatDescrizione"));
    m_binding->bind(txtNote, QStringLiteral("fatNote"));
    m_binding->bind(txtData[7], QStringLiteral("fatTotImporto"), kFormatoImporti);
    m_binding->bind(txtData[5], QStringLiteral("fatTotSoggettivo"), kFormatoImporti);
    m_binding->bind(txtData[6], QStringLiteral("fatTotImponibile"), kFormatoImporti);
    m_binding->bind(txtData[4], QStringLiteral("fatTotImposta"), kFormatoImporti);
    m_binding->bind(txtData[2], QStringLiteral("fatTotDoc"), kFormatoImporti);
    m_binding->bind(txtData[3], QStringLiteral("fatTotRitAcc"), kFormatoImporti);
    m_binding->bind(txtData[10], QStringLiteral("fatTotNetto"), kFormatoImporti);
    m_binding->bind(dtcData[0], QStringLiteral("fatCliForId"));
    m_binding->bind(dtcData[1], QStringLiteral("fatCliForPag"));
    m_binding->bind(dtp, QStringLiteral("fatData"));
    m_binding->bind(chkData[0], QStringLiteral("fatpcRitAcc"));
    m_bound = true;
    // A field the binding wrote leaves the header row in edit: finish that edit
    // at once, so the save counts the row as changed even when nothing else is.
    connect(m_binding, &ui::DataBinding::fieldChanged, this, [this] {
        m_doc.finishHeaderEdit();
    });
    // After the binding's own handlers: the field already holds the user's choice.
    // These run on a user's choice only, never while a document is being shown.
    connect(dtcData[0], &ui::DataCombo::valueChosen, this, boundary([this](const core::Variant& v) { clientChosen(v); }));
    connect(dtcData[1], &ui::DataCombo::valueChosen, this, boundary([this](const core::Variant& v) { paymentChosen(v); }));
    connect(chkData[0], &QCheckBox::clicked, this, boundary([this] { withholdingChanged(); }));
}

void frm_fattura::configureLineGrid()
{
    struct Setting {
        int index;
        const char* caption;
        bool shown;
        const char* format;
        int width;
    };
    const Setting settings[] = {
        {1, "fdtId", false, "", 0},
        {2, "fdtfatId", false, "", 0},
        {3, "fdtRiga", false, "", 0},
        {4, "Quantità", true, "#,#", 900},
        {5, "fdtUM", false, "", 0},
        {6, "Descrizione", true, "", 5200},
        {7, "Importo", true, "#,##0.00;-#,##0.00;0.00", 1500},
        {8, "Totale Riga", true, "#,##0.00;-#,##0.00;0.00", 1500},
        {9, "Cod.IVA", true, "", 1100},
    };
    for (const Setting& s : settings) {
        grid::GridColumn c = gexdet->column(s.index);
        c.setCaption(QString::fromUtf8(s.caption));
        c.setVisible(s.shown);
        c.setFormat(QString::fromUtf8(s.format));
        if (s.width > 0)
            c.setWidth(s.width);
    }
    for (int i = 10; i <= gexdet->columnCount(); ++i)
        gexdet->column(i).setVisible(false);
    gexdet->column(kColTotRiga).setEditable(false);
    gexdet->column(kColTotRiga).setSelectable(false);
    gexdet->column(kColDescrizione).setButton(true);
    gexdet->column(kColCodiceIVA).setPosition(kPosCodiceIVA);
    gexdet->column(kColCodiceIVA).setDropDown(gexIVA, QStringLiteral("cdiCodice"), QStringLiteral("cdiCodice"));
    gexdet->column(kColQuanti).setDefaultValue(core::Variant(1.0));
    if (!session().preIVA.isEmpty()) {
        gexdet->column(kColCodiceIVA).setDefaultValue(core::Variant(session().preIVA));
        gexdet->column(kColImporto).setDefaultValue(core::Variant(core::Currency()));
        gexdet->column(kColTotRiga).setDefaultValue(core::Variant(core::Currency()));
    }
    gexdet->setAllowEdit(true);
    gexdet->setAllowAddNew(true);
    gexdet->setAllowDelete(true);
    gexdet->setRowHeadersVisible(true);
    // The description takes what the other columns leave.
    gexdet->view()->horizontalHeader()->setSectionResizeMode(kColDescrizione - 1, QHeaderView::Stretch);

    sizeCodeList();
}

void frm_fattura::configureVatGrid()
{
    const char* captions[] = {"fciId", "fcifatId", "Cod.IVA", "Importo ", "Soggettivo ", "Imponibile ",
                              "Imposta ", "Totale ", "Ritenuta d'acconto", "fciRit02"};
    for (int i = 1; i <= std::min(10, gexDetIVA->columnCount()); ++i) {
        grid::GridColumn c = gexDetIVA->column(i);
        c.setCaption(QString::fromUtf8(captions[i - 1]));
        c.setVisible(i >= 3 && i <= 9);
        if (i >= 4 && i <= 9) {
            c.setFormat(kFormatoImporti);
            c.setWidth(i == 9 ? 1800 : i == 5 ? 1600 : 1150);
        }
    }
    gexDetIVA->column(3).setWidth(800);
    gexDetIVA->column(5).setCaption(NzStr(m_doc.header(QStringLiteral("fatRitPreDesc")), QStringLiteral("Rivalsa")));
    gexDetIVA->setAllowEdit(false);
    fitVatGrid();
}

void frm_fattura::fitVatGrid()
{
    // As high as its rows (one at least, a handful at most: the print layout
    // shows four), so the lines above keep the rest of the window.
    // A list to read, not to act on: no row of it is current.
    gexDetIVA->setRow(0);
    QTableView* view = gexDetIVA->view();
    const int rows = std::clamp(gexDetIVA->rowCount(), 1, kRigheRiepilogoVisibili);
    int height = 2 * view->frameWidth() + rows * view->verticalHeader()->defaultSectionSize();
    if (!view->horizontalHeader()->isHidden())
        height += view->horizontalHeader()->sizeHint().height();
    if (view->horizontalHeader()->length() > view->viewport()->width() && view->horizontalScrollBar()->isVisible())
        height += view->horizontalScrollBar()->sizeHint().height();
    gexDetIVA->setFixedHeight(height);
}

void frm_fattura::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    fitVatGrid();
}

// ---- header behaviour -------------------------------------------------------

void frm_fattura::showKind(int tipo)
{
    const bool numbered = tipo != 2;
    for (QWidget* w : std::initializer_list<QWidget*>{txtData[0], lblData[5], txtData[9], lblData[1]})
        w->setVisible(numbered);
}

void frm_fattura::showClientAddress(const std::array<core::Variant, 7>& dati)
{
    lblDataCli[0]->setText(dati[0].toString());
    lblDataCli[1]->setText(dati[1].toString());
}

void frm_fattura::applyClientData(const std::array<core::Variant, 7>& dati)
{
    showClientAddress(dati);
    setHeader(QStringLiteral("fatBancaApp01"), dati[2]);
    setHeader(QStringLiteral("fatBancaApp03"), dati[3]);
    setHeader(QStringLiteral("fatBancaApp04"), dati[4]);
    const std::int32_t pag = static_cast<std::int32_t>(NzNum(dati[5], 0.0));
    setHeader(QStringLiteral("fatCliForPag"), core::Variant(pag));
    const bool before = m_doc.header(QStringLiteral("fatpcRitAcc")).toBool();
    const bool ritenuta = !dati[6].isEmptyOrNull() && dati[6].toBool();
    setHeader(QStringLiteral("fatpcRitAcc"), core::Variant(ritenuta));
    setHeader(QStringLiteral("fatNote"), core::Variant(NotaPagamento(pag)));
    m_binding->refresh();
    // The box changed through the client: its own rule follows, as for a click.
    if (before != ritenuta)
        withholdingChanged();
}

void frm_fattura::clientChosen(const core::Variant& value)
{
    if (value.isEmptyOrNull())
        return;
    try {
        applyClientData(DatiCliente(value.toLong()));
        m_clientApplied = value;
    } catch (const core::Error& e) {
        // A client deleted since it was listed: what was set so far stays. Any
        // other failure is told.
        if (e.number() != kClienteNonTrovato)
            ui::msgBox(e.text(), ui::vbOKOnly, AppTitle());
    }
    m_binding->refresh();
}

void frm_fattura::paymentChosen(const core::Variant& value)
{
    try {
        setHeader(QStringLiteral("fatNote"), core::Variant(NotaPagamento(static_cast<std::int32_t>(NzNum(value, 0.0)))));
    } catch (const core::Error& e) {
        ui::msgBox(e.text(), ui::vbOKOnly, AppTitle());
    }
    m_binding->refresh();
}

void frm_fattura::withholdingChanged()
{
    const bool on = m_doc.header(QStringLiteral("fatpcRitAcc")).toBool();
    setHeader(QStringLiteral("fatRitAccPerc"), core::Variant(on ? session().ritAccPerc : 0.0));
    if (gexdet->rowCount() > 0)
        recalculate();
}

void frm_fattura::applyClientPayment()
{
    const core::Variant cli = m_doc.header(QStringLiteral("fatCliForId"));
    if (cli.isEmptyOrNull() || cli.toLong() <= 0 || sameStored(cli, m_clientApplied))
        return;
    try {
        const core::Variant pag = clientPaymentTerm(session().dataConStr, cli.toLong());
        if (NzNum(pag, 0.0) > 0)
            setHeader(QStringLiteral("fatCliForPag"), core::Variant(static_cast<std::int32_t>(NzNum(pag, 0.0))));
        m_clientApplied = cli;
    } catch (const core::Error& e) {
        ui::msgBox(e.text(), ui::vbOKOnly, AppTitle());
    }
    m_binding->refresh();
}

void frm_fattura::prefixEdited()
{
    if (m_loading || !m_bound || m_modo != 1 || !txtData[9]->isEnabled())
        return;
    try {
        const std::int32_t n = UltimoNumero(cleanPrefix(txtData[9]->text())) + 1;
        // The provisional number of that series; the final one is given at saving.
        setHeader(QStringLiteral("fatNo"), core::Variant(n));
        txtData[0]->setText(QString::number(n));
    } catch (const core::Error& e) {
        ui::msgBox(e.text(), ui::vbOKOnly, AppTitle());
    }
}

bool frm_fattura::clientChosenInCombo() const
{
    const core::Variant v = dtcData[0]->boundValue();
    return !v.isEmptyOrNull() && NzNum(v, 0.0) > 0;
}

// ---- detail lines ------------------------------------------------------------

bool frm_fattura::checkLine()
{
    const core::Variant q = gexdet->value(kColQuanti);
    const core::Variant p = gexdet->value(kColImporto);
    if (!isNumericCell(q) || !isNumericCell(p) || isEmptyCell(q) || isEmptyCell(gexdet->value(kColDescrizione))
        || isEmptyCell(p) || isEmptyCell(gexdet->value(kColTotRiga)))
        return false;
    // The rule holds for every stored line, however its price got there.
    const core::Currency total = lineTotal(q, p);
    if (!sameStored(gexdet->value(kColTotRiga), core::Variant(total)))
        gexdet->setValue(kColTotRiga, total);
    // Only a list that loaded can tell a code is unknown.
    if (!m_codesLoaded && !CaricaCodiciIVA()) {
        m_lineRefusalExplained = true;
        return false;
    }
    // A line without a known code would count in no VAT row: ask for one.
    const QString code = NzStr(gexdet->value(kColCodiceIVA), QString()).trimmed().toUpper();
    if (code.isEmpty() || !m_codes.contains(code)) {
        m_lineRefusalExplained = true;
        ui::msgBox(QStringLiteral("Scegliere il Codice IVA della riga (F4 per l'elenco dei codici IVA)."), ui::vbOKOnly,
                   AppTitle());
        gexdet->setCol(kPosCodiceIVA);
        return false;
    }
    gexdet->setValue(kColFatId, core::Variant(m_id));
    return true;
}

void frm_fattura::openServicePicker()
{
    if (!clientChosenInCombo())
        return;
    QWidget* focus = QApplication::focusWidget();
    if (focus && focus != gexdet->view() && gexdet->isAncestorOf(focus))
        gexdet->view()->setFocus(); // the typed text reaches the cell before the pick replaces it
    QPointer<frm_fattura> self(this);
    const std::array<core::Variant, 3> scelta = frm_list_Prestazioni::Apri(dtcData[0]->boundValue().toLong());
    if (!self || isEmptyCell(scelta[0]))
        return;
    if (gexdet->row() < 1)
        gexdet->setRow(gexdet->rowCount() + 1);
    gexdet->setValue(kColDescrizione, scelta[0]);
    gexdet->setValue(kColCodiceIVA, scelta[1]);
    gexdet->setValue(kColImporto, scelta[2]);
}

void frm_fattura::openVatCodeList()
{
    // The cell at rest opens its editor, as a typed key would, with the list shown.
    QTableView* view = gexdet->view();
    const QModelIndex at = view->currentIndex();
    if (!at.isValid())
        return;
    view->edit(at);
    QWidget* cell = view->indexWidget(at);
    if (!cell)
        cell = QApplication::focusWidget();
    if (auto* list = qobject_cast<QComboBox*>(cell); list && gexdet->isAncestorOf(list))
        list->showPopup();
}

// ---- focus, keys, hints --------------------------------------------------------

void frm_fattura::setHint(const QString& text)
{
    sb->showMessage(text);
}

QString frm_fattura::columnHint(int position) const
{
    switch (position) {
    case kPosCodiceIVA:
        return QStringLiteral("Scegliere il Codice IVA (premere F4 per scegliere dall'elenco dei codici IVA)");
    case kPosQuanti:
        return QStringLiteral("Quantità");
    case kPosDescrizione:
        return QStringLiteral("Inserire la descrizione (oppure premere F4 per scegliere dall'elenco)");
    case kPosImporto:
        return QStringLiteral("Importo unitario");
    default:
        return {};
    }
}

frm_fattura::~frm_fattura()
{
    // The focus leaves the boxes while QWidget destroys them, after this part of
    // the editor is gone: the application must stop telling it.
    disconnect(qApp, nullptr, this, nullptr);
}

void frm_fattura::onFocusChanged(QWidget* old, QWidget* now)
{
    // A move already undone by a refusal (focus kept in the grid or the combo) is stale.
    if (now != QApplication::focusWidget())
        return;
    auto inGrid = [this](const QWidget* w) { return w && (w == gexdet || gexdet->isAncestorOf(w)); };
    const bool fromHere = old && old->window() == this;
    const bool toHere = now && now->window() == this;

    if (inGrid(now)) {
        if (!inGrid(old)) {
            if (fromHere && !m_gridKeptFocus) {
                gexdet->setRow(gexdet->rowCount() + 1);
                gexdet->setCol(kPosCodiceIVA);
            }
            setHint(QStringLiteral("Dettaglio documento"));
        } else {
            setHint(columnHint(gexdet->col()));
        }
        m_gridKeptFocus = false;
    } else if (inGrid(old) && !toHere) {
        setHint(QString());
    }

    if (now == dtcData[0])
        gexdet->setEnabled(true);
    if (toHere && now != cmdClose) {
        if (old == dtcData[0] && now != cmdCliAdd) {
            // The client is required: the focus stays until one is chosen.
            if (!clientChosenInCombo()) {
                dtcData[0]->setFocus();
                return;
            }
            applyClientPayment();
        }
        if (old == cmbData[0])
            cmbData[0]->setEnabled(false); // the kind is fixed once the combo is left
    }
    if (toHere) {
        if (auto* box = qobject_cast<QLineEdit*>(now); box && !box->isReadOnly() && !inGrid(now))
            QTimer::singleShot(0, box, [box] { box->selectAll(); });
    }
}

bool frm_fattura::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_F5 && key->modifiers() == Qt::NoModifier) {
            if (watched == dtcData[0]) {
                atHandlerBoundary([this] { NuovoCliente(); });
                return true;
            }
            if (watched == dtcData[1]) {
                atHandlerBoundary([this] { NuovoPagamento(); });
                return true;
            }
        }
        if (watched == txtData[9] && !m_replayingKey) {
            const QString text = key->text();
            if (text.size() != 1 || text.at(0).unicode() < 32)
                return false;
            const int code = SoloLettere(text.at(0).unicode());
            if (code == 0)
                return true;
            const QChar upper = QChar(code).toUpper();
            if (upper.unicode() != code) {
                QKeyEvent replaced(QEvent::KeyPress, Qt::Key_A + (upper.unicode() - 'A'), key->modifiers(), QString(upper));
                m_replayingKey = true;
                QCoreApplication::sendEvent(txtData[9], &replaced);
                m_replayingKey = false;
                return true;
            }
        }
    }
    return QWidget::eventFilter(watched, event);
}

void frm_fattura::keyPressEvent(QKeyEvent* event)
{
    // Annulla is the form's cancel button: Esc anywhere clicks it.
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
        atHandlerBoundary([this] { cmdClose_Click(); });
        return;
    }
    QWidget::keyPressEvent(event);
}
