#include "reports/frmPrintReportMov.h"

#include "common/FormLifetime.h"
#include "common/PaintedIcon.h"
#include "common/comUtility.h"
#include "output/ProduciReport.h"
#include "platform/core/Error.h"
#include "platform/core/Format.h"
#include "platform/grid/GridColumn.h"
#include "platform/grid/GridEx.h"
#include "platform/report/Report.h"
#include "platform/report/ReportPreview.h"
#include "platform/ui/DateBox.h"
#include "platform/ui/Dialogs.h"
#include "platform/ui/MsgBoxStyle.h"
#include "printing/StampaDocumento.h"
#include "reports/arpCliFor.h"
#include "reports/arpCliFor2.h"
#include "reports/arpCliFor3.h"
#include "reports/arpDocList.h"
#include "reports/arpIncassi.h"
#include "reports/arpPrestazioni.h"
#include "startup/SharedState.h"

#include <QAction>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QMenu>
#include <QPainter>
#include <QPushButton>
#include <QRadioButton>
#include <QTableView>
#include <QVBoxLayout>
#include <exception>

namespace {

FormInstance<frmPrintReportMov> gInstance;

const QString kTutti = QStringLiteral("(Tutti)");
const QString kNessunDato = QStringLiteral("Nessun dato da stampare con i filtri scelti.");

void avvisa(const QString& testo)
{
    ui::msgBox(testo, ui::vbOKOnly | ui::vbExclamation, AppTitle());
}

// The object name of a report's preview window: the name of its layout.
QString nomeReport(IdReport id)
{
    switch (id) {
    case IdReport::ListaDocumenti: return QStringLiteral("arpDocList");
    case IdReport::TotaliCliente: return QStringLiteral("arpCliFor3");
    case IdReport::ListinoPrestazioni: return QStringLiteral("arpPrestazioni");
    case IdReport::Rubrica: return QStringLiteral("arpCliFor");
    case IdReport::Anagrafica: return QStringLiteral("arpCliFor2");
    case IdReport::Incassi: return QStringLiteral("arpIncassi");
    case IdReport::Documenti: return QStringLiteral("finarpFatBase");
    case IdReport::Nessuno: break;
    }
    return {};
}

QString nomeArray(const char* nome, int indice)
{
    return QStringLiteral("%1(%2)").arg(QString::fromLatin1(nome)).arg(indice);
}

// The form's image list: 1 a document, 2 a report (a sheet with a table).
QIcon immagine(int numero)
{
    return painted::icon(32, [numero](QPainter& p) {
        p.setPen(QPen(QColor(70, 80, 100), 1.2));
        p.setBrush(Qt::white);
        p.drawRect(QRectF(6.5, 2.5, 19, 27));
        if (numero == 1) {
            for (int y = 8; y <= 24; y += 4)
                p.drawLine(QPointF(9.5, y + 0.5), QPointF(22.5, y + 0.5));
        } else {
            p.fillRect(QRectF(7, 3, 18, 5), QColor(28, 58, 110));
            p.setPen(QPen(QColor(120, 130, 150), 1));
            for (int y = 11; y <= 26; y += 3)
                p.drawLine(QPointF(8.5, y + 0.5), QPointF(23.5, y + 0.5));
            p.drawLine(QPointF(15.5, 9), QPointF(15.5, 28));
        }
    });
}

QString formatoTitolo(const QDate& data)
{
    return core::format(core::Variant(data), QStringLiteral("dd\\/mm\\/yy"));
}

} // namespace

frmPrintReportMov* frmPrintReportMov::instance()
{
    return gInstance.get([] { return new frmPrintReportMov(); });
}

bool frmPrintReportMov::isLoaded()
{
    return gInstance.exists();
}

void frmPrintReportMov::Unload()
{
    if (frmPrintReportMov* f = gInstance.current())
        f->close();
    gInstance.unload();
}

frmPrintReportMov::frmPrintReportMov() : QDialog(nullptr)
{
    setObjectName(QStringLiteral("frmPrintReportMov"));
    setWindowTitle(QStringLiteral(" Stampe Documenti - Listini - Anagrafiche"));
    setAttribute(Qt::WA_DeleteOnClose);
    setModal(false);

    createReportList();
    createFilters();
    createPrinterChoice();
    createButtons();
    createExportMenu();
    layoutWindow();
    connectCommands();
    Form_Load();
}

void frmPrintReportMov::createReportList()
{
    frmTipo = new QGroupBox(QStringLiteral("Tipo di stampa"), this);
    frmTipo->setObjectName(QStringLiteral("frmTipo"));
    GridEX1 = new grid::GridEx(frmTipo);
    GridEX1->setObjectName(QStringLiteral("GridEX1"));
    GridEX1->setAllowEdit(false);
    GridEX1->setAllowAddNew(false);
    GridEX1->setAllowDelete(false);
    GridEX1->setColumnHeadersVisible(false);
    GridEX1->setRowHeadersVisible(false);
    GridEX1->view()->setShowGrid(false);
    // A list to choose from, not a sheet to edit: Tab goes on to the filters.
    GridEX1->view()->setTabKeyNavigation(false);
    GridEX1->view()->horizontalHeader()->setStretchLastSection(true);
    GridEX1->view()->setIconSize(QSize(32, 32));
    GridEX1->setRowHeight(40 * 15);
    GridEX1->addUnboundColumn(QStringLiteral("Icona")).setIcon(true);
    GridEX1->addUnboundColumn(QStringLiteral("Id")).setVisible(false);
    GridEX1->addUnboundColumn(QStringLiteral("Titolo"));
    GridEX1->column(1).setWidth(44 * 15);
    for (int i = 1; i <= 2; ++i)
        GridEX1->addImage(immagine(i));
    GridEX1->column(3).setWidth(200 * 15);
    auto* tipoLayout = new QVBoxLayout(frmTipo);
    tipoLayout->addWidget(GridEX1);
}

void frmPrintReportMov::createFilters()
{
    // The filters, one frame each, stacked in the order the report asks.
    for (int i = 0; i < 5; ++i) {
        frmFilter[i] = new QGroupBox(this);
        frmFilter[i]->setObjectName(nomeArray("frmFilter", i));
    }
    frmFilter[0]->setTitle(QStringLiteral("Visualizza"));
    const char* tipi[] = {"Fatture", "Note di credito", "Pro-Forma"};
    auto* l0 = new QHBoxLayout(frmFilter[0]);
    for (int i = 0; i < 3; ++i) {
        optview[i] = new QRadioButton(QString::fromUtf8(tipi[i]), frmFilter[0]);
        optview[i]->setObjectName(nomeArray("optview", i));
        l0->addWidget(optview[i]);
    }
    l0->addStretch();

    frmFilter[1]->setTitle(QStringLiteral("Data documento"));
    auto* l1 = new QHBoxLayout(frmFilter[1]);
    Dat1 = new ui::DateBox(frmFilter[1]);
    Dat1->setObjectName(QStringLiteral("Dat1"));
    Dat2 = new ui::DateBox(frmFilter[1]);
    Dat2->setObjectName(QStringLiteral("Dat2"));
    auto* lblDal = new QLabel(QStringLiteral("Dal:"), frmFilter[1]);
    lblDal->setBuddy(Dat1);
    auto* lblAl = new QLabel(QStringLiteral("Al:"), frmFilter[1]);
    lblAl->setBuddy(Dat2);
    l1->addWidget(lblDal);
    l1->addWidget(Dat1);
    l1->addSpacing(16);
    l1->addWidget(lblAl);
    l1->addWidget(Dat2);
    l1->addStretch();

    frmFilter[2]->setTitle(QStringLiteral("Clienti"));
    auto* l2 = new QHBoxLayout(frmFilter[2]);
    cmbCli = new QComboBox(frmFilter[2]);
    cmbCli->setObjectName(QStringLiteral("cmbCli"));
    cmbCli->setMinimumContentsLength(28);
    l2->addWidget(cmbCli, 1);

    frmFilter[3]->setTitle(QStringLiteral("Visualizza"));
    auto* l3 = new QHBoxLayout(frmFilter[3]);
    chkFilter = new QCheckBox(QStringLiteral("Includi le Prestazioni non associate a Clienti"), frmFilter[3]);
    chkFilter->setObjectName(QStringLiteral("chkFilter"));
    l3->addWidget(chkFilter);

    frmFilter[4]->setTitle(QStringLiteral("Visualizza"));
    auto* l4 = new QHBoxLayout(frmFilter[4]);
    optview[4] = new QRadioButton(QStringLiteral("Solo le Fatture non saldate"), frmFilter[4]);
    optview[4]->setObjectName(nomeArray("optview", 4));
    optview[5] = new QRadioButton(QStringLiteral("Tutte le Fatture"), frmFilter[4]);
    optview[5]->setObjectName(nomeArray("optview", 5));
    optview[4]->setChecked(true);
    l4->addWidget(optview[4]);
    l4->addWidget(optview[5]);
    l4->addStretch();
}

void frmPrintReportMov::createPrinterChoice()
{
    frmStampante = new QGroupBox(QStringLiteral("Stampante"), this);
    frmStampante->setObjectName(QStringLiteral("frmStampante"));
    auto* ls = new QHBoxLayout(frmStampante);
    cmbPrinters = new QComboBox(frmStampante);
    cmbPrinters->setObjectName(QStringLiteral("cmbPrinters"));
    cmdPropPrinter = new QPushButton(QStringLiteral("Proprietà"), frmStampante);
    cmdPropPrinter->setObjectName(QStringLiteral("cmdPropPrinter"));
    // The printer's own settings are not reachable from here.
    cmdPropPrinter->setEnabled(false);
    ls->addWidget(cmbPrinters, 1);
    ls->addWidget(cmdPropPrinter);
}

void frmPrintReportMov::createButtons()
{
    picButs = new QWidget(this);
    picButs->setObjectName(QStringLiteral("picButs"));
    cmdExp = new QPushButton(QStringLiteral("&Esporta.."), picButs);
    cmdExp->setObjectName(QStringLiteral("cmdExp"));
    cmdPreview = new QPushButton(QStringLiteral("Anteprima"), picButs);
    cmdPreview->setObjectName(QStringLiteral("cmdPreview"));
    cmdOK = new QPushButton(QStringLiteral("Stampa"), picButs);
    cmdOK->setObjectName(QStringLiteral("cmdOK"));
    cmdCancel = new QPushButton(QStringLiteral("Chiudi"), picButs);
    cmdCancel->setObjectName(QStringLiteral("cmdCancel"));
    ui::ignoresTypedDates(cmdCancel);
    // Enter runs the chosen report as a double click on it does.
    cmdOK->setDefault(true);
    auto* lb = new QHBoxLayout(picButs);
    lb->setContentsMargins(0, 0, 0, 0);
    lb->addWidget(cmdExp);
    lb->addStretch();
    lb->addWidget(cmdPreview);
    lb->addWidget(cmdOK);
    lb->addWidget(cmdCancel);
}

void frmPrintReportMov::createExportMenu()
{
    expmnu = new QMenu(this);
    expmnu->setObjectName(QStringLiteral("expmnu"));
    const std::pair<int, const char*> voci[] = {
        {kModoExcel, "in Excel"}, {kModoRtf, "in RTF (Rich text format)"}, {kModoPdf, "in PDF (Acrobat Reader)"}, {kModoHtml, "in HTML"}};
    for (const auto& [indice, testo] : voci) {
        QAction* a = expmnu->addAction(QString::fromLatin1(testo));
        a->setObjectName(nomeArray("mnuexp", indice));
        mnuexp[indice] = a;
        connect(a, &QAction::triggered, this, [this, i = indice] { mnuexp_Click(i); });
    }
}

void frmPrintReportMov::layoutWindow()
{
    auto* destra = new QVBoxLayout;
    m_pila = new QVBoxLayout;
    m_pila->setSpacing(6);
    for (QGroupBox* f : frmFilter)
        m_pila->addWidget(f);
    destra->addLayout(m_pila);
    destra->addStretch();
    destra->addWidget(frmStampante);
    auto* corpo = new QHBoxLayout;
    corpo->addWidget(frmTipo, 0);
    corpo->addLayout(destra, 1);
    auto* tutto = new QVBoxLayout(this);
    tutto->addLayout(corpo, 1);
    tutto->addWidget(picButs);
    frmTipo->setMinimumWidth(280);
    resize(760, 430);
}

void frmPrintReportMov::connectCommands()
{
    for (int i : {0, 1, 2, 4, 5})
        connect(optview[i], &QRadioButton::toggled, this, [this, i](bool on) {
            if (on)
                optview_Click(i);
        });
    connect(cmdExp, &QPushButton::clicked, this, [this] { cmdExp_Click(); });
    connect(cmdOK, &QPushButton::clicked, this, [this] { cmdOK_Click(); });
    connect(cmdPreview, &QPushButton::clicked, this, [this] { cmdPreview_Click(); });
    connect(cmdCancel, &QPushButton::clicked, this, [this] { cmdCancel_Click(); });
    connect(GridEX1, &grid::GridEx::currentCellChanged, this, [this](int, int) { GridEX1_RowColChange(); });
    connect(GridEX1, &grid::GridEx::dblClick, this, [this] { GridEX1_DblClick(); });
    connect(GridEX1, &grid::GridEx::unboundReadData, this,
            [this](int row, int column, core::Variant& value) { GridEX1_UnboundReadData(row, column, value); });
    connect(GridEX1, &grid::GridEx::fetchIcon, this,
            [this](int row, int column, int& icon) { GridEX1_FetchIcon(row, column, icon); });
}

void frmPrintReportMov::Stampa(const QString& NomeStampante)
{
    frmPrintReportMov* f = instance();
    f->cmbPrinters->clear();
    for (int i = 0; i < session().numStampanti && i < session().stampanti.size(); ++i)
        f->cmbPrinters->addItem(session().stampanti.at(i));
    const int scelta = f->cmbPrinters->findText(NomeStampante);
    if (scelta >= 0)
        f->cmbPrinters->setCurrentIndex(scelta);
    else if (!NomeStampante.isEmpty()) {
        // A printer the list does not hold is still the one asked for.
        f->cmbPrinters->insertItem(0, NomeStampante);
        f->cmbPrinters->setCurrentIndex(0);
    }

    const char* titoli[] = {"Documenti", "Lista Documenti", "Totali per Cliente", "Listino Prestazioni",
                            "Clienti (Rubrica)", "Clienti (Anagrafica)", "Incassi"};
    for (int r = 0; r < kNumeroReport; ++r)
        f->m_report[r] = RigaReport{2, static_cast<IdReport>(r + 1), QString::fromLatin1(titoli[r])};
    f->m_numReport = kNumeroReport;
    f->GridEX1->setItemCount(f->m_numReport);
    if (f->GridEX1->row() < 1)
        f->GridEX1->setRow(1);
    f->GridEX1_RowColChange();
    f->show();
    f->raise();
    f->activateWindow();
}

// ---- loading and closing ---------------------------------------------------------

void frmPrintReportMov::Form_Load()
{
    cmbCli->clear();
    m_clienti.clear();
    m_clienti.append(0); // "(Tutti)"
    cmbCli->addItem(kTutti);
    try {
        const QVector<ClienteScelta> clienti = LeggiClientiScelta(session().dataConStr, session().sezId);
        m_clienti.reserve(clienti.size() + 1);
        for (const ClienteScelta& c : clienti) {
            m_clienti.append(c.id);
            cmbCli->addItem(c.nome);
        }
    } catch (const core::Error& e) {
        avvisa(QStringLiteral("Impossibile leggere l'elenco dei clienti.\n") + e.text());
    }
    cmbCli->setCurrentIndex(0);
    Dat1->setDate(QDate(session().annoLavoro > 0 ? session().annoLavoro : session().dataLavoro.year(), 1, 1));
    Dat2->setDate(session().dataLavoro);
    m_tipo = 0;
    m_modo = 0;
    optview[0]->setChecked(true);
}

void frmPrintReportMov::closeEvent(QCloseEvent* event)
{
    // Not QDialog's: it would reject, and reject closes the form here.
    Form_Unload();
    event->accept();
}

void frmPrintReportMov::reject()
{
    close();
}

void frmPrintReportMov::Form_Unload()
{
    // The report objects of the chooser go with it, previews included.
    const auto anteprime = m_anteprime;
    m_anteprime.clear();
    for (const auto& a : anteprime)
        if (a)
            a->close();
}

QList<report::ReportPreview*> frmPrintReportMov::Anteprime() const
{
    QList<report::ReportPreview*> out;
    for (const auto& a : m_anteprime)
        if (a)
            out.append(a.data());
    return out;
}

// ---- the grid --------------------------------------------------------------------

IdReport frmPrintReportMov::ReportCorrente() const
{
    const int r = GridEX1->row();
    return r >= 1 && r <= m_numReport ? m_report[r - 1].id : IdReport::Nessuno;
}

void frmPrintReportMov::GridEX1_UnboundReadData(int row, int column, core::Variant& value) const
{
    if (row < 1 || row > m_numReport)
        return;
    const RigaReport& r = m_report[row - 1];
    switch (column) {
    case 1: value = core::Variant(r.icona); break;
    case 2: value = core::Variant(static_cast<int>(r.id)); break;
    case 3: value = core::Variant(r.titolo); break;
    default: break;
    }
}

void frmPrintReportMov::GridEX1_FetchIcon(int row, int column, int& iconIndex) const
{
    if (column == 1 && row >= 1 && row <= m_numReport)
        iconIndex = m_report[row - 1].icona;
}

void frmPrintReportMov::GridEX1_DblClick()
{
    m_modo = kModoStampa;
    EseguiStampa();
}

void frmPrintReportMov::GridEX1_RowColChange()
{
    using enum IdReport;
    const IdReport id = ReportCorrente();
    auto in = [id](std::initializer_list<IdReport> ids) { return std::find(ids.begin(), ids.end(), id) != ids.end(); };
    // The frames in the order they stand, top to bottom.
    std::vector<QGroupBox*> ordine;
    switch (id) {
    case TotaliCliente: ordine = {frmFilter[1], frmFilter[2]}; break;
    case ListinoPrestazioni: ordine = {frmFilter[3], frmFilter[2]}; break;
    case Incassi: ordine = {frmFilter[4], frmFilter[1], frmFilter[2]}; break;
    default: ordine = {frmFilter[0], frmFilter[1], frmFilter[2]}; break;
    }
    for (QGroupBox* f : frmFilter)
        m_pila->removeWidget(f);
    for (QGroupBox* f : ordine)
        m_pila->addWidget(f);
    for (QGroupBox* f : frmFilter)
        if (std::find(ordine.begin(), ordine.end(), f) == ordine.end())
            m_pila->addWidget(f);
    frmFilter[0]->setVisible(in({Documenti, ListaDocumenti}));
    frmFilter[1]->setVisible(in({Documenti, ListaDocumenti, TotaliCliente, Incassi}));
    frmFilter[2]->setVisible(in({Documenti, ListaDocumenti, TotaliCliente, ListinoPrestazioni, Incassi}));
    frmFilter[3]->setVisible(in({ListinoPrestazioni}));
    frmFilter[4]->setVisible(in({Incassi}));
    // Whole documents are exported to PDF only.
    for (int i : {kModoExcel, kModoRtf, kModoHtml})
        mnuexp[i]->setVisible(id != Documenti && id != Nessuno);
    mnuexp[kModoPdf]->setVisible(true);
}

// ---- commands --------------------------------------------------------------------

void frmPrintReportMov::optview_Click(int Index)
{
    if (Index < 0 || Index > 2)
        return; // 4 and 5 are read when report 7 runs
    for (int i = 0; i < 3; ++i)
        if (optview[i]->isChecked())
            m_tipo = static_cast<std::int16_t>(i);
}

void frmPrintReportMov::cmdOK_Click()
{
    m_modo = kModoStampa;
    EseguiStampa();
}

void frmPrintReportMov::cmdPreview_Click()
{
    m_modo = kModoAnteprima;
    EseguiStampa();
}

void frmPrintReportMov::cmdExp_Click()
{
    expmnu->popup(cmdExp->mapToGlobal(QPoint(0, cmdExp->height())));
}

void frmPrintReportMov::mnuexp_Click(int Index)
{
    m_modo = static_cast<std::int16_t>(Index);
    EseguiStampa();
}

void frmPrintReportMov::cmdCancel_Click()
{
    close();
}

// ---- queries and captions -------------------------------------------------------

FiltriReport frmPrintReportMov::Filtri() const
{
    FiltriReport f;
    f.sezId = session().sezId;
    f.tipoDocumento = m_tipo;
    f.dal = Dat1->date();
    f.al = Dat2->date();
    const int indice = cmbCli->currentIndex();
    if (cmbCli->currentText() != kTutti && indice > 0 && indice < m_clienti.size())
        f.cliente = m_clienti.at(indice);
    f.prestazioniSenzaCliente = chkFilter->isChecked();
    f.soloNonSaldate = optview[4]->isChecked();
    return f;
}

QString frmPrintReportMov::SqlDocumenti() const
{
    return ::SqlDocumenti(Filtri());
}

QString frmPrintReportMov::SqlTotaliCliente() const
{
    return ::SqlTotaliCliente(Filtri());
}

void frmPrintReportMov::ImpostaFiltri(report::Report& rpt) const
{
    const QString tipo = m_tipo == 0   ? QStringLiteral("Fatture")
                         : m_tipo == 1 ? QStringLiteral("Note di credito")
                                       : QStringLiteral("Pro Forma");
    rpt.control(QStringLiteral("lblFilter1")).caption = QStringLiteral("Documenti: ") + tipo + QStringLiteral(" dal ")
                                                        + formatoTitolo(Dat1->date()) + QStringLiteral(" al ")
                                                        + formatoTitolo(Dat2->date());
    rpt.control(QStringLiteral("lblFilter2")).caption = QStringLiteral("clienti: ") + cmbCli->currentText();
}

// ---- running ---------------------------------------------------------------------

void frmPrintReportMov::EseguiStampa()
{
    const IdReport id = ReportCorrente();
    if (id == IdReport::Nessuno)
        return;
    // A date still being typed counts; one that is no date is refused by its box, which says why.
    if (!Dat1->commit() || !Dat2->commit())
        return;
    // Everything a run can meet (a query the database refuses, a printer, a
    // file) ends here in a message; the chooser stays as it was.
    try {
        if (id == IdReport::Documenti) {
            stampaDocumenti();
            return;
        }
        report::Report rpt = preparaReport(id);
        produci(rpt, nomeReport(id), false);
    } catch (const core::Error& e) {
        avvisa(QStringLiteral("Impossibile eseguire la stampa.\n") + e.text());
    } catch (const std::exception& e) {
        avvisa(QStringLiteral("Impossibile eseguire la stampa.\n") + QString::fromLocal8Bit(e.what()));
    }
}

void frmPrintReportMov::stampaDocumenti()
{
    if (m_modo != kModoStampa && m_modo != kModoAnteprima && m_modo != kModoPdf)
        return; // the other exports are not offered for whole documents
    const QString q = SqlDocumenti();
    if (QueryVuota(session().dataConStr, q)) {
        ui::msgBox(QStringLiteral("Nessun documento da stampare"), ui::vbOKOnly, AppTitle());
        return;
    }
    // The progress window stands from the engine's reading on. The engine
    // tells its own refusals (no layout, no lines) and gives nothing then.
    Avanzamento avanzamento(Avanzamento::perModo(m_modo, cmbPrinters->currentText()));
    std::optional<report::Report> rpt = StampaDocumento(session().sezId, m_tipo, session().dataConStr, q, kFormatoStampa,
                                                        kFormatoStampa, avanzamento.gestore());
    if (!rpt)
        return;
    produci(*rpt, nomeReport(IdReport::Documenti), true, &avanzamento);
}

report::Report frmPrintReportMov::preparaReport(IdReport id)
{
    const FiltriReport f = Filtri();
    const bool perEsportare = m_modo == kModoExcel || m_modo == kModoHtml;
    report::Report rpt;
    QString q;
    using enum IdReport;
    switch (id) {
    case ListaDocumenti:
        q = ::SqlDocumenti(f);
        rpt = arpDocList::Nuovo();
        ImpostaFiltri(rpt);
        break;
    case TotaliCliente:
        q = ::SqlTotaliCliente(f);
        rpt = arpCliFor3::Nuovo();
        ImpostaFiltri(rpt);
        break;
    case ListinoPrestazioni:
        q = ::SqlListinoPrestazioni(f);
        rpt = arpPrestazioni::Nuovo();
        break;
    case Rubrica:
    case Anagrafica:
        q = ::SqlRubricaClienti(session().sezId);
        rpt = id == Rubrica ? arpCliFor::Nuovo() : arpCliFor2::Nuovo(perEsportare);
        rpt.setCaption(QStringLiteral("Rubrica Clienti"));
        rpt.setDocumentName(QStringLiteral("Stampa Clienti"));
        rpt.control(QStringLiteral("lblTitle")).caption = id == Rubrica ? QStringLiteral("Rubrica") : QStringLiteral("Clienti");
        if (id == Rubrica && m_modo == kModoExcel)
            for (const char* linea : {"Line5", "Line2", "Line3"})
                rpt.control(QString::fromLatin1(linea)).visible = false;
        break;
    case Incassi:
        q = ::SqlIncassi(f);
        rpt = arpIncassi::Nuovo();
        rpt.control(QStringLiteral("lblFilter1")).caption =
            (f.soloNonSaldate ? QStringLiteral("Fatture non saldate dal ") : QStringLiteral("Tutte le Fatture dal "))
            + formatoTitolo(f.dal) + QStringLiteral(" al ") + formatoTitolo(f.al);
        rpt.control(QStringLiteral("lblFilter2")).caption = QStringLiteral("Clienti: ") + cmbCli->currentText();
        break;
    default:
        break;
    }
    rpt.dataControl().setConnectionString(session().dataConStr);
    rpt.dataControl().setSource(q);
    return rpt;
}

void frmPrintReportMov::produci(report::Report& rpt, const QString& nome, bool documenti, Avanzamento* avanzamento)
{
    UscitaReport uscita;
    uscita.avanzamento = avanzamento;
    uscita.modo = m_modo;
    // Every report goes to the printer chosen here.
    uscita.stampante = cmbPrinters->currentText();
    uscita.nomeAnteprima = nome;
    uscita.nessunDato = documenti ? QStringLiteral("Nessun documento da stampare") : kNessunDato;
    const EsitoReport esito = ProduciReport(rpt, uscita);
    if (esito.anteprima)
        m_anteprime.append(esito.anteprima);
}
