#include "mainwindow/frmMain.h"

#include "common/FormLifetime.h"
#include "common/HandlerBoundary.h"
#include "common/comfrmAbout.h"
#include "common/comfrmManData.h"
#include "common/comRegistry.h"
#include "common/comUtility.h"
#include "documents/frm_fattura.h"
#include "domain/Deletion.h"
#include "domain/Professionals.h"
#include "domain/ViewSql.h"
#include "layouts/finfrmReps.h"
#include "mainwindow/InstalledPrinters.h"
#include "mainwindow/MainWindowIcons.h"
#include "masterdata/frm_io_Clienti.h"
#include "masterdata/frm_io_IVA.h"
#include "masterdata/frm_io_Pagamenti.h"
#include "masterdata/frm_io_Prestazioni.h"
#include "platform/core/Error.h"
#include "platform/core/Format.h"
#include "platform/grid/GridColumn.h"
#include "platform/grid/GridEx.h"
#include "platform/grid/GridTypes.h"
#include "platform/ui/Dialogs.h"
#include "reports/frmPrintReportMov.h"
#include "sections/frmOptions.h"
#include "sections/frmProfessionisti.h"
#include "sections/frm_setup.h"
#include "startup/DatabaseFile.h"
#include "startup/Section.h"
#include "startup/SharedState.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QDir>
#include <QFrame>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QKeySequence>
#include <QMenuBar>
#include <QPointer>
#include <QStatusBar>
#include <QStyledItemDelegate>
#include <QTableView>
#include <QToolBar>
#include <QToolButton>
#include <QVariant>
#include <QVBoxLayout>
#include <algorithm>
#include <cmath>

namespace {

// A guarded pointer, so nothing is destroyed after the application object at exit.
FormInstance<frmMain> gInstance;
frmMain::FormOpener gOpener;

const QString kFormatoImporto = QStringLiteral("#,##0.00;-#,##0.00;0.00");
const QString kSchedeAperte = QStringLiteral("Chiudere prima tutte le schede dati.");

// Windows of the program still to come. Each entry is the one line that opens
// its window; while an entry is empty, the commands that would open it stay
// disabled, so nothing offers what it cannot do.
const std::function<void()> apriSetup = [] { frm_setup::Apri(session().sezId); };
const std::function<void(QWidget*)> apriProfessionisti = [](QWidget* owner) { frmProfessionisti::Mostra(owner); };
const std::function<void(QWidget*)> apriModelli = [](QWidget* owner) { finfrmReps::Mostra(owner); };
const std::function<void(const QString&)> stampaReport = [](const QString& printer) { frmPrintReportMov::Stampa(printer); };
const std::function<void()> apriDataLavoro = [] { frmOptions::ApriWorkingDate(); };
const std::function<void()> apriContatori = [] { frmOptions::ApriContab(); };
const std::function<void(QWidget*)> apriTabelle = [](QWidget* owner) { comfrmManData::Mostra(owner, session().dataConStr); };
const std::function<void(QWidget*, const QString&)> apriInformazioni = [](QWidget* owner, const QString& testo) {
    comfrmAbout::About(owner, testo);
};
// The help file is compiled HTML Help, which nothing on this platform opens.
constexpr bool kGuidaDisponibile = false;

// Cells aligned as the column settings of a view ask; colours and fonts still
// come from the row styles.
class AlignedDelegate : public QStyledItemDelegate {
public:
    AlignedDelegate(Qt::Alignment alignment, QObject* parent) : QStyledItemDelegate(parent), m_alignment(alignment) {}

protected:
    void initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const override
    {
        QStyledItemDelegate::initStyleOption(option, index);
        option->displayAlignment = m_alignment | Qt::AlignVCenter;
    }

private:
    Qt::Alignment m_alignment;
};

// The window sees every key before its controls. A key the focused control
// leaves unhandled travels on to its parents; only its first stop counts.
class KeyPreview : public QObject {
public:
    KeyPreview(QWidget* window, std::function<void(int, int)> handler)
        : QObject(window), m_window(window), m_handler(std::move(handler))
    {
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        // Every key a keyboard sends is announced by a shortcut check and ends
        // with a release: what comes next is another key, even at the address
        // of the last one.
        if (event->type() == QEvent::ShortcutOverride || event->type() == QEvent::KeyRelease) {
            forget();
            return false;
        }
        if (event->type() != QEvent::KeyPress || !watched->isWidgetType())
            return false;
        auto* widget = static_cast<QWidget*>(watched);
        if (widget->window() != m_window)
            return false;
        // The key acted on already comes by again when it travels on to a
        // parent, and when a command installed another application filter
        // (the list of filters shifts, and this one is asked twice).
        if (event == m_lastEvent && m_lastReceiver
            && (widget == m_lastReceiver || widget->isAncestorOf(m_lastReceiver)))
            return false;
        forget();
        // Some platforms hand a key to the window as well: it counts at the focus widget.
        QWidget* focus = QApplication::focusWidget();
        if (focus ? widget != focus : widget != m_window)
            return false;
        auto* key = static_cast<QKeyEvent*>(event);
        int shift = 0;
        if (key->modifiers() & Qt::ShiftModifier)
            shift |= 1;
        if (key->modifiers() & Qt::ControlModifier)
            shift |= 2;
        if (key->modifiers() & Qt::AltModifier)
            shift |= 4;
        if (key->key() >= Qt::Key_A && key->key() <= Qt::Key_Z)
            m_handler(key->key(), shift);
        // Remembered once the command is done: whatever it did meanwhile
        // (a message, a window) does not make this key new.
        m_lastEvent = event;
        m_lastReceiver = widget;
        return false;
    }

private:
    void forget()
    {
        m_lastEvent = nullptr;
        m_lastReceiver = nullptr;
    }

    QWidget* m_window;
    std::function<void(int, int)> m_handler;
    const QEvent* m_lastEvent = nullptr;
    QPointer<QWidget> m_lastReceiver;
};

QString nomeArray(const char* nome, int indice)
{
    return QStringLiteral("%1(%2)").arg(QLatin1String(nome)).arg(indice);
}

void impostaSfondo(QWidget* w, const QColor& colore)
{
    QPalette p = w->palette();
    p.setColor(QPalette::Active, QPalette::Base, colore);
    p.setColor(QPalette::Inactive, QPalette::Base, colore);
    p.setColor(QPalette::Disabled, QPalette::Base, colore);
    w->setPalette(p);
}

void impostaTesto(QWidget* w, bool abilitato)
{
    QPalette p = w->palette();
    const QPalette standard = QApplication::palette();
    const QColor colore = abilitato ? standard.color(QPalette::Active, QPalette::ButtonText)
                                    : standard.color(QPalette::Disabled, QPalette::WindowText);
    p.setColor(QPalette::Active, QPalette::WindowText, colore);
    p.setColor(QPalette::Inactive, QPalette::WindowText, colore);
    w->setPalette(p);
}

QColor coloreFinestra() { return QApplication::palette().color(QPalette::Active, QPalette::Base); }
QColor coloreBottone() { return QApplication::palette().color(QPalette::Active, QPalette::Button); }
// Light yellow behind the control being typed in.
const QColor kColoreFuoco(0xFF, 0xFF, 0xBF);

} // namespace

// ---- the single instance -------------------------------------------------------

frmMain* frmMain::instance()
{
    return gInstance.get([] { return new frmMain(); });
}

bool frmMain::exists()
{
    const frmMain* f = gInstance.current();
    return f && !f->m_chiusa;
}

void frmMain::Unload()
{
    if (frmMain* f = gInstance.current()) {
        f->m_chiusa = true;
        unregisterMainWindow(&f->m_link);
    }
    gInstance.unload();
}

void frmMain::setFormOpener(FormOpener opener)
{
    gOpener = std::move(opener);
}

cNodo& frmMain::Vista(int index)
{
    auto& nodo = m_viste.at(static_cast<std::size_t>(index));
    if (!nodo)
        nodo = std::make_unique<cNodo>();
    return *nodo;
}

// ---- creation ----------------------------------------------------------------

frmMain::~frmMain()
{
    // Deleted later than it closed: another main window may be registered by now.
    unregisterMainWindow(&m_link);
    // The windows it owns (an editor left open at exit) are hidden while still
    // whole: hidden by their own destruction, the focus change it causes would
    // reach handlers of half-destroyed forms.
    for (QWidget* w : findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
        if (w->isWindow())
            w->hide();
    }
}

frmMain::frmMain()
{
    setObjectName(QStringLiteral("frmMain"));
    registerMainWindow(&m_link);
    setWindowTitle(AppTitle());

    // The two view options are read and kept; no behaviour of the list depends on them.
    m_caricaLayout = LeggiRegistro(HKEY_CURRENT_USER, session().regKeySettings, REG_DWORD, QStringLiteral("regLoadViewLayout"),
                                   core::Variant(std::int32_t(1)))
                         .toLong()
                     == 1;
    m_collassaVista = LeggiRegistro(HKEY_CURRENT_USER, session().regKeySettings, REG_DWORD, QStringLiteral("regCollapseView"),
                                    core::Variant(std::int32_t(1)))
                          .toLong()
                      == 1;
    SalvaPercorso();
    ImpostaDataLavoro(QDate::currentDate());
    m_fileGuida = AppPath() + QStringLiteral("\\tarvix_help.chm");

    creaControlli();
    setMinimumSize(pixelsX(9405), pixelsY(6600));
    resize(std::max(minimumWidth(), 960), std::max(minimumHeight(), 640));

    auto* preview = new KeyPreview(this, boundary([this](int keyCode, int shift) { TastiRapidi(keyCode, shift); }));
    qApp->installEventFilter(preview);
}

void frmMain::SalvaPercorso()
{
    const QString cartella = QDir::toNativeSeparators(AppPath());
    const QString salvata = LeggiRegistro(HKEY_CURRENT_USER, session().regKeySettings2, REG_SZ, QStringLiteral("prgPath"),
                                          core::Variant(QString()))
                                .toString();
    if (salvata == cartella)
        return;
    try {
        ScriviRegistro(HKEY_CURRENT_USER, session().regKeySettings2, REG_SZ, QStringLiteral("prgPath"), core::Variant(cartella));
    } catch (const core::Error&) {
        // The program path is only a note for other tools; the program works without it.
    }
}

void frmMain::creaControlli()
{
    m_centro = new QWidget(this);
    m_centro->setObjectName(QStringLiteral("frmMainClient"));
    setCentralWidget(m_centro);
    m_centro->installEventFilter(this);

    picSep = new QFrame(m_centro);
    picSep->setObjectName(QStringLiteral("picSep"));
    frmSep = new QFrame(picSep);
    frmSep->setObjectName(QStringLiteral("frmSep"));
    frmSep->setFrameShape(QFrame::HLine);
    frmSep->setFrameShadow(QFrame::Sunken);

    shpTitle = new QFrame(m_centro);
    shpTitle->setObjectName(QStringLiteral("shpTitle"));
    shpTitle->setAutoFillBackground(true);
    {
        QPalette p = shpTitle->palette();
        p.setColor(QPalette::Window, QColor(0x3A, 0x5F, 0x8F));
        p.setColor(QPalette::WindowText, Qt::white);
        shpTitle->setPalette(p);
    }
    imgTitle = new QLabel(shpTitle);
    imgTitle->setObjectName(QStringLiteral("imgTitle"));
    imgTitle->setFixedSize(24, 24);
    lblTitle = new QLabel(shpTitle);
    lblTitle->setObjectName(QStringLiteral("lblTitle"));
    {
        QFont f = lblTitle->font();
        f.setBold(true);
        f.setPointSizeF(f.pointSizeF() * 1.3);
        lblTitle->setFont(f);
    }
    auto* titolo = new QHBoxLayout(shpTitle);
    titolo->setContentsMargins(8, 2, 8, 2);
    titolo->addWidget(imgTitle);
    titolo->addWidget(lblTitle, 1);

    creaBarraViste();

    gexView = new grid::GridEx(m_centro);
    gexView->setObjectName(QStringLiteral("gexView"));
    gexView->setFont(QFont(QStringLiteral("Verdana"), font().pointSize()));
    gexView->setLockType(db::LockType::ReadOnly);
    gexView->setAllowEdit(false);
    gexView->setHeaderClickSorts(false);
    gexView->view()->horizontalHeader()->setFont(gexView->font());
    gexView->addRowStyle(QStringLiteral("Grassetto"), grid::RowStyle{true, false, {}, {}});
    gexView->addRowStyle(QStringLiteral("RedFont"), grid::RowStyle{false, false, QColor(0xFF, 0x00, 0x00), {}});
    m_centrato = new AlignedDelegate(Qt::AlignHCenter, this);
    m_aDestra = new AlignedDelegate(Qt::AlignRight, this);
    connect(gexView, &grid::GridEx::columnHeaderClick, this, boundary([this](int c) { gexView_OnColumnHeaderClick(c); }));
    connect(gexView, &grid::GridEx::keyDown, this, boundary([this](int& k, int s) { gexView_OnKeyDown(k, s); }));
    connect(gexView, &grid::GridEx::keyPress, this, boundary([this](int& k) { gexView_OnKeyPress(k); }));
    connect(gexView, &grid::GridEx::dblClick, this, boundary([this] { Apri(); }));
    connect(gexView, &grid::GridEx::rowFormat, this, boundary([this](int r, QString& s) { gexView_OnFormatRow(r, s); }));
    connect(gexView, &grid::GridEx::error, this, [](long, const QString& description) {
        ui::msgBox(description, ui::vbCritical, AppTitle());
    });

    creaPannelloIniziale();
    creaToolbar();
    creaMenu();
    creaBarraStato();
}

void frmMain::creaBarraViste()
{
    m_barra = new QFrame(m_centro);
    m_barra->setObjectName(QStringLiteral("bbFrame"));
    auto* gruppo = new QLabel(QStringLiteral("Oggetti"), m_barra);
    gruppo->setObjectName(QStringLiteral("bbGroup(1)"));
    gruppo->setAlignment(Qt::AlignCenter);
    gruppo->setFrameShape(QFrame::StyledPanel);
    gruppo->setMinimumHeight(22);
    bb = new QListWidget(m_barra);
    bb->setObjectName(QStringLiteral("bb"));
    bb->setViewMode(QListView::IconMode);
    bb->setFlow(QListView::TopToBottom);
    bb->setWrapping(false);
    bb->setMovement(QListView::Static);
    bb->setResizeMode(QListView::Adjust);
    bb->setIconSize(QSize(32, 32));
    bb->setSpacing(6);
    bb->setUniformItemSizes(true);
    // Cells as wide as the bar, so every caption shows whole.
    bb->setGridSize(QSize(pixelsX(1800) - 10, 62));
    bb->setTextElideMode(Qt::ElideNone);
    bb->setWordWrap(true);
    bb->setFocusPolicy(Qt::NoFocus);
    bb->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    auto* layout = new QVBoxLayout(m_barra);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(gruppo);
    layout->addWidget(bb, 1);
    connect(bb, &QListWidget::itemClicked, this, boundary([this](QListWidgetItem* item) { bb_ItemClick(item); }));
}

void frmMain::creaPannelloIniziale()
{
    picStart = new QFrame(m_centro);
    picStart->setObjectName(QStringLiteral("picStart"));
    picStart->setFrameShape(QFrame::StyledPanel);
    picStart->setAutoFillBackground(true);
    {
        QPalette p = picStart->palette();
        p.setColor(QPalette::Window, coloreFinestra());
        picStart->setPalette(p);
    }
    auto* layout = new QVBoxLayout(picStart);
    layout->setContentsMargins(24, 24, 24, 24);
    layout->setSpacing(10);
    auto aggiungi = [&](const QString& testo, bool grassetto) {
        auto* l = new QLabel(testo, picStart);
        l->setWordWrap(true);
        if (grassetto) {
            QFont f = l->font();
            f.setBold(true);
            l->setFont(f);
        }
        layout->addWidget(l);
        return l;
    };
    aggiungi(QStringLiteral("Cliccare su una Voce della Barra degli Oggetti."), true);
    m_lblGuida = aggiungi(QStringLiteral("Per aprire la Guida in linea premere il tasto funzione") + QStringLiteral(" F1"), false);
    // The help cannot be opened here: the panel does not point to it.
    m_lblGuida->setVisible(kGuidaDisponibile);
    aggiungi(QStringLiteral("Se si è avviato il programma per la prima volta impostare ")
                 + QStringLiteral("i parametri del Professionista dal menu \"File\"->\"Professionista\""),
             false);
    aggiungi(QStringLiteral("Verificare inoltre la tabella dei Codici IVA ed eventualmente aggiungere")
                 + QStringLiteral(" i Codici IVA utilizzati per la propria attività professionale."),
             false);
    layout->addStretch(1);
}

void frmMain::creaToolbar()
{
    tb = addToolBar(QStringLiteral("Strumenti"));
    tb->setObjectName(QStringLiteral("tb"));
    tb->setMovable(false);
    tb->setFloatable(false);
    tb->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    tb->setIconSize(QSize(24, 24));
    tbButtons = QVector<QAction*>(9, nullptr);

    auto bottone = [&](int index, MainWindowIcons::Comando icona, const QString& testo, const QString& suggerimento,
                       int voceFile) {
        QAction* a = tb->addAction(MainWindowIcons::comando(icona), testo);
        a->setObjectName(nomeArray("tbButton", index));
        if (!suggerimento.isEmpty())
            a->setToolTip(suggerimento);
        if (QWidget* w = tb->widgetForAction(a))
            w->setObjectName(nomeArray("tbButton", index));
        connect(a, &QAction::triggered, this, boundary([this, voceFile] { mnuFileItem_Click(voceFile); }));
        tbButtons[index] = a;
    };
    bottone(1, MainWindowIcons::Comando::Nuovo, QStringLiteral("Nuovo"), QString(), 0);
    bottone(2, MainWindowIcons::Comando::Apri, QStringLiteral("Apri"), QStringLiteral("Apre una registrazione esistente"), 4);
    bottone(3, MainWindowIcons::Comando::Elimina, QStringLiteral("Elimina"),
            QStringLiteral("Elimina una registrazione esistente"), 5);
    tbButtons[4] = tb->addSeparator();
    bottone(5, MainWindowIcons::Comando::Stampa, QStringLiteral("Stampa"),
            QStringLiteral("Stampa i Report della Visualizzazione attiva"), 11);

    picFind = new QWidget(tb);
    picFind->setObjectName(QStringLiteral("picFind"));
    lblFind = new QLabel(QStringLiteral("Trova in .."), picFind);
    lblFind->setObjectName(QStringLiteral("lblFind"));
    lblFind->setMinimumWidth(pixelsX(1900));
    txtFind = new QLineEdit(picFind);
    txtFind->setObjectName(QStringLiteral("txtFind"));
    txtFind->setToolTip(QStringLiteral("Inserire il testo da cercare"));
    txtFind->setFixedWidth(pixelsX(2600));
    auto* trova = new QHBoxLayout(picFind);
    trova->setContentsMargins(12, 0, 4, 0);
    trova->addWidget(lblFind);
    trova->addWidget(txtFind);
    tbButtons[6] = tb->addWidget(picFind);
    tbButtons[7] = tb->addSeparator();

    picFilter = new QWidget(tb);
    picFilter->setObjectName(QStringLiteral("picFilter"));
    lblView = new QLabel(QStringLiteral("Visualizza.."), picFilter);
    lblView->setObjectName(QStringLiteral("lblView"));
    cmbFilter = new QComboBox(picFilter);
    cmbFilter->setObjectName(QStringLiteral("cmbFilter"));
    cmbFilter->setToolTip(QStringLiteral("Selezionare il filtro desiderato"));
    cmbFilter->setMinimumWidth(pixelsX(2400));
    cmbFilter->setEnabled(false);
    auto* filtro = new QHBoxLayout(picFilter);
    filtro->setContentsMargins(4, 0, 4, 0);
    filtro->addWidget(lblView);
    filtro->addWidget(cmbFilter);
    tbButtons[8] = tb->addWidget(picFilter);

    connect(txtFind, &QLineEdit::textChanged, this, boundary([this] { txtFind_Change(); }));
    connect(cmbFilter, &QComboBox::activated, this, boundary([this] { cmbFilter_Click(); }));
    txtFind->installEventFilter(this);
    cmbFilter->installEventFilter(this);
}

// ---- the menus, as tables ----------------------------------------------------

namespace {

// What an item of a menu table is besides its caption.
enum VoceFlag {
    Comando = 1,   // a click calls the array's handler with the item's index
    Nascosta = 2,  // not shown
    Spunta = 4,    // shows a check mark
    FuoriMenu = 8, // in no menu: a hidden placeholder that keeps the array whole
};

} // namespace

// One menu: the member that holds it, its name and title; a submenu is made
// here and placed by the item that opens it.
struct frmMain::Menu {
    QMenu* frmMain::*menu;
    const char* nome;
    QString titolo;
    bool sottomenu = false;
    bool visibile = true;
};

// One item of a control array ("mnuFileItem(4)"): its index, its caption
// ("-" a separator; the views fill in the empty ones), the key that runs it.
struct frmMain::VoceMenu {
    int indice;
    QString testo;
    int flag = 0;
    QKeySequence tasto = {};
    QVariant dati = {};
    QMenu* frmMain::*apre = nullptr; // the submenu this item opens
    int quante = 1;                  // a run of alike items from `indice` on
};

// A control array of items and the menu it shows in, in the order shown.
struct frmMain::VociMenu {
    QMenu* frmMain::*menu;
    QVector<QAction*> frmMain::*voci;
    const char* nome;
    void (frmMain::*comando)(int);
    QVector<VoceMenu> righe;
};

const QVector<frmMain::Menu>& frmMain::tabellaMenu()
{
    static const QVector<Menu> menu = {
        {&frmMain::mnuFile, "mnuFile", QStringLiteral("&File")},
        {&frmMain::mnuView, "mnuView", QStringLiteral("&Visualizza")},
        {&frmMain::mnuGrid, "mnuGrid", QStringLiteral("&Griglia dati"), false, false},
        {&frmMain::mnuTools, "mnuTools", QStringLiteral("&Strumenti"), false, false},
        {&frmMain::mnuDb, "mnuDb", QStringLiteral("&Dati")},
        {&frmMain::mnuHelp, "mnuHelp", QStringLiteral("&?")},
        {&frmMain::m_menuNuovo, "mnuNew", QStringLiteral("Nuovo "), true},
        {&frmMain::m_menuProf, "mnuProfMenu", QStringLiteral("&Professionista"), true},
    };
    return menu;
}

const QVector<frmMain::VociMenu>& frmMain::tabellaVoci()
{
    const QString sep = QStringLiteral("-");
    // The text after the tab is the key as an Italian keyboard names it.
    static const QVector<VociMenu> voci = {
        {&frmMain::mnuFile, &frmMain::mnuFileItem, "mnuFileItem", &frmMain::mnuFileItem_Click,
         {{0, QStringLiteral("Nuovo\tF5"), Comando, QKeySequence(Qt::Key_F5)},
          {1, sep},
          {3, QString(), 0, {}, {}, &frmMain::m_menuNuovo},
          {4, QStringLiteral("Apri"), Comando},
          {5, QStringLiteral("Elimina\tCanc"), Comando, QKeySequence(Qt::Key_Delete)},
          {6, sep},
          {7, QString(), 0, {}, {}, &frmMain::m_menuProf},
          {8, sep},
          {9, QStringLiteral("Modelli di documento"), Comando},
          {10, sep},
          {11, QStringLiteral("Stampa\tCtrl+Maiusc+F12"), Comando, QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_F12)},
          {12, sep},
          {13, QStringLiteral("Esci"), Comando},
          {2, QString(), Nascosta | FuoriMenu}}},
        {&frmMain::m_menuNuovo, &frmMain::mnuNewItem, "mnuNewItem", &frmMain::mnuNewItem_Click,
         {{0, QString(), Comando | Nascosta, {}, {}, nullptr, kVociVista}}},
        {&frmMain::m_menuProf, &frmMain::mnuProf, "mnuProf", &frmMain::mnuProf_Click,
         {{0, QStringLiteral("&Modifica"), Comando}, {1, QStringLiteral("&Anagrafica"), Comando}}},
        {&frmMain::mnuView, &frmMain::mnuViewItem, "mnuViewItem", &frmMain::mnuViewItem_Click,
         {{0, QString(), Comando | Nascosta | Spunta, {}, {}, nullptr, kVociVista},
          {39, sep},
          {40, QStringLiteral("Data di lavoro"), Comando},
          {41, QStringLiteral("Contatori"), Comando},
          {42, sep},
          {43, QStringLiteral("&Opzioni"), Comando}}},
        // The grid commands carry the layout bit each stands for.
        {&frmMain::mnuGrid, &frmMain::mnuGridItem, "mnuGridItem", nullptr,
         {{0, QStringLiteral("Raggruppa per &Casella"), 0, {}, 512},
          {1, QStringLiteral("&Espandi tutto"), 0, {}, 128},
          {2, QStringLiteral("&Collassa tutto"), 0, {}, 256},
          {3, QStringLiteral("&Campi"), 0, {}, 1},
          {4, QStringLiteral("&Ordina"), 0, {}, 2},
          {5, QStringLiteral("&Raggruppa"), 0, {}, 4},
          {6, QStringLiteral("&Formato"), 0, {}, 8},
          {7, QStringLiteral("&Predefinito"), 0, {}, 16},
          {8, QStringLiteral("&Salva Layout"), 0, {}, 32},
          {9, QStringLiteral("S&tampa"), 0, {}, 64}}},
        {&frmMain::mnuTools, &frmMain::mnuToolItem, "mnuToolItem", nullptr,
         {{0, QStringLiteral("Apertura annuale")},
          {1, sep},
          {2, QStringLiteral("Chiusura annuale magazzino"), Nascosta}}},
        {&frmMain::mnuDb, &frmMain::mnuDbItem, "mnuDbItem", &frmMain::mnuDbItem_Click,
         {{0, QStringLiteral("Cambia &Database"), Comando},
          {1, sep, Nascosta},
          {2, QStringLiteral("Nuovo database"), Nascosta},
          {3, QStringLiteral("Nuovo da modello"), Nascosta},
          {4, sep, Nascosta},
          {5, QStringLiteral("Compatta"), Nascosta},
          {6, QStringLiteral("Backup"), Nascosta},
          {7, QStringLiteral("Ripristina"), Nascosta},
          {8, sep},
          {9, QStringLiteral("Tabelle"), Comando}}},
        {&frmMain::mnuHelp, &frmMain::mnuHelpItem, "mnuHelpItem", &frmMain::mnuHelpItem_Click,
         {{0, QStringLiteral("&Guida in linea"), Comando},
          {1, sep, Nascosta},
          {2, QStringLiteral("Per iniziare ..."), Nascosta},
          {3, QStringLiteral("&Tasti di scelta rapida"), Nascosta},
          {4, sep, Nascosta},
          {5, QString(), Nascosta},
          {6, sep},
          {7, QStringLiteral("&Informazioni su"), Comando}}},
    };
    return voci;
}

void frmMain::creaMenu()
{
    for (const Menu& m : tabellaMenu()) {
        QMenu* menu = m.sottomenu ? new QMenu(m.titolo, this) : menuBar()->addMenu(m.titolo);
        menu->setObjectName(QLatin1String(m.nome));
        menu->menuAction()->setVisible(m.visibile);
        this->*m.menu = menu;
    }
    for (const VociMenu& gruppo : tabellaVoci()) {
        for (const VoceMenu& voce : gruppo.righe) {
            for (int indice = voce.indice; indice < voce.indice + voce.quante; ++indice)
                creaVoce(gruppo, voce, indice);
        }
    }

    mnuViewItem[40]->setEnabled(bool(apriDataLavoro));
    mnuViewItem[41]->setEnabled(bool(apriContatori));
    // The options item has no command of its own.
    mnuViewItem[43]->setEnabled(false);
    mnuHelpItem[0]->setEnabled(kGuidaDisponibile);
    mnuHelpItem[7]->setEnabled(bool(apriInformazioni));
}

void frmMain::creaVoce(const VociMenu& gruppo, const VoceMenu& voce, int indice)
{
    QMenu* menu = this->*gruppo.menu;
    QAction* a = nullptr;
    if (voce.flag & FuoriMenu)
        a = new QAction(this);
    else if (voce.apre)
        a = menu->addMenu(this->*voce.apre);
    else if (voce.testo == QLatin1String("-"))
        a = menu->addSeparator();
    else
        a = menu->addAction(voce.testo);
    a->setObjectName(nomeArray(gruppo.nome, indice));
    a->setVisible(!(voce.flag & Nascosta));
    a->setCheckable(voce.flag & Spunta);
    if (!voce.tasto.isEmpty())
        a->setShortcut(voce.tasto);
    if (voce.dati.isValid())
        a->setData(voce.dati);
    if ((voce.flag & Comando) && gruppo.comando) {
        const auto comando = gruppo.comando;
        connect(a, &QAction::triggered, this, boundary([this, comando, indice] { (this->*comando)(indice); }));
    }
    QVector<QAction*>& voci = this->*gruppo.voci;
    if (voci.size() <= indice)
        voci.resize(indice + 1);
    voci[indice] = a;
}

void frmMain::mnuNewItem_Click(int index)
{
    // The views give each item the view it makes a new record of.
    Nuovo(mnuNewItem[index]->data().toInt());
}

void frmMain::creaBarraStato()
{
    QStatusBar* sb = statusBar();
    sb->setObjectName(QStringLiteral("sb"));
    m_pannelloData = new QLabel(sb);
    m_pannelloData->setObjectName(QStringLiteral("WorkData"));
    m_pannelloData->setToolTip(QStringLiteral("Data di lavoro"));
    m_pannelloData->setFrameShape(QFrame::StyledPanel);
    m_pannelloData->setFrameShadow(QFrame::Sunken);
    m_pannelloProfessionista = new QLabel(sb);
    m_pannelloProfessionista->setObjectName(QStringLiteral("Professionista"));
    m_pannelloProfessionista->setToolTip(QStringLiteral("Professionista"));
    m_pannelloProfessionista->setFrameShape(QFrame::StyledPanel);
    m_pannelloProfessionista->setFrameShadow(QFrame::Sunken);
    sb->addWidget(m_pannelloData);
    sb->addWidget(m_pannelloProfessionista, 1);
    m_pannelloData->installEventFilter(this);
    m_pannelloProfessionista->installEventFilter(this);
}

// ---- start and refresh -------------------------------------------------------------

void frmMain::Visualizza()
{
    frmMain* f = instance();
    f->ImpostaStampanti();
    f->gexView->setConnectionString(session().dataConStr);
    // The splash stands while the views are built and the first refresh runs.
    comfrmAbout::SplashOn(f, 1000, session().cartellaDb);
    f->CreaViste();
    SetLay();
    comfrmAbout::SplashOff();
    const bool amministratore = session().sezId == 1;
    f->mnuProf[1]->setEnabled(amministratore && bool(apriProfessionisti));
    f->mnuFileItem[9]->setEnabled(amministratore && bool(apriModelli));
    // The raw table browser edits every section's data: it is the administrator's alone.
    f->mnuDbItem[8]->setVisible(amministratore);
    f->mnuDbItem[9]->setVisible(amministratore);
    f->mnuDbItem[9]->setEnabled(amministratore && bool(apriTabelle));
    f->mnuProf[0]->setEnabled(bool(apriSetup));
    f->show();
}

void frmMain::CreaViste()
{
    m_vistaCorrente = -1;
    setWindowTitle(AppTitle());
    lblTitle->setText(AppTitle());
    gexView->setConnectionString(session().dataConStr);

    Vista(0).Setta(0, QStringLiteral("pro"), QStringLiteral("Pro-Forma"), QStringLiteral("Pro Forma"), std::int16_t(2),
                   QString(), QStringLiteral("P"));
    Vista(1).Setta(0, QStringLiteral("fat"), QStringLiteral("Fatture"), QStringLiteral("Fattura - Nota di credito"),
                   std::int16_t(1), QString(), QStringLiteral("F"));
    Vista(2).Setta(0, QStringLiteral("cli"), QStringLiteral("Clienti"), QStringLiteral("Cliente"), std::int16_t(3),
                   clientViewSql(session().sezId), QStringLiteral("C"));
    Vista(3).Setta(0, QStringLiteral("pre"), QStringLiteral("Prestazioni"), QStringLiteral("Prestazione"),
                   std::int16_t(4), serviceViewSql(session().sezId), QStringLiteral("R"));
    Vista(4).Setta(1, QStringLiteral("iva"), QStringLiteral("Codici IVA"), QStringLiteral("Codice IVA"), std::int16_t(4),
                   vatCodeViewSql(), QStringLiteral("I"));
    Vista(5).Setta(1, QStringLiteral("pag"), QStringLiteral("Pagamenti"), QStringLiteral("Pagamento"), std::int16_t(4),
                   paymentTermViewSql(session().sezId), QStringLiteral("G"));

    for (int i = 0; i < kVociVista; ++i) {
        QAction* vista = mnuViewItem[i];
        QAction* nuovo = mnuNewItem[i];
        vista->setData(i);
        nuovo->setData(i);
        if (i >= kNumeroViste) {
            vista->setVisible(false);
            nuovo->setVisible(false);
            continue;
        }
        cNodo& n = Vista(i);
        const QString lettera = n.mnuViewShorCut();
        vista->setText(n.Descrizione()
                       + (lettera.isEmpty() ? QString() : QStringLiteral("\tCTRL+MAIUSC+") + lettera));
        vista->setVisible(true);
        nuovo->setText(n.DescrizioneNew() + (lettera.isEmpty() ? QString() : QStringLiteral("\tCTRL+") + lettera));
        nuovo->setVisible(!n.DescrizioneNew().isEmpty());
    }

    bb->clear();
    for (int i = 0; i < kNumeroViste; ++i) {
        cNodo& n = Vista(i);
        auto* item = new QListWidgetItem(MainWindowIcons::vista(n.IconIndex().toLong()), n.Descrizione(), bb);
        item->setData(Qt::UserRole, QString::number(i));
        item->setTextAlignment(Qt::AlignHCenter);
        item->setSizeHint(bb->gridSize() - QSize(4, 4));
    }
    m_visteCreate = true;
}

void frmMain::SetLay()
{
    // A refresh that arrives after the window closed has nothing to refresh.
    if (!exists())
        return;
    gInstance.current()->Refresh();
}

void frmMain::DocumentoSalvato(std::int32_t id)
{
    // Both document views list fatId first and end on their WHERE clause.
    const bool documenti = m_vistaCorrente == 0 || m_vistaCorrente == 1;
    if (documenti && m_visteCreate && gexView->columnCount() > 0
        && gexView->refreshRows(Vista(m_vistaCorrente).SqlString() + QStringLiteral(" AND Fatture.fatId=")
                                    + QString::number(id),
                                1, core::Variant(id)))
        return;
    Refresh();
}

void frmMain::Refresh()
{
    AbilitaComandi(m_vistaCorrente > -1);
    if (m_vistaCorrente > -1 && m_visteCreate) {
        cNodo& n = Vista(m_vistaCorrente);
        cmbFilter->clear();
        for (const auto& sub : *n.SubNodi())
            cmbFilter->addItem(sub->Descrizione());
        const bool filtri = cmbFilter->count() > 0;
        cmbFilter->setEnabled(filtri);
        impostaSfondo(cmbFilter, filtri ? coloreFinestra() : coloreBottone());
        impostaTesto(lblView, filtri);
        if (filtri)
            cmbFilter->setCurrentIndex(std::clamp(m_filtro[m_vistaCorrente], 0, cmbFilter->count() - 1));

        lblTitle->setText(n.Descrizione());
        imgTitle->setPixmap(MainWindowIcons::vista(n.IconIndex().toLong()).pixmap(24, 24));
        for (int i = 0; i < bb->count(); ++i) {
            if (bb->item(i)->data(Qt::UserRole).toString() == QString::number(m_vistaCorrente))
                bb->setCurrentRow(i);
        }
        for (int i = 0; i < kVociVista; ++i)
            mnuViewItem[i]->setChecked(mnuViewItem[i]->data().toInt() == m_vistaCorrente);
        for (QAction* a : mnuGridItem)
            a->setEnabled((a->data().toInt() & n.mnuGridEnable()) != 0);

        CaricaVista();
        txtFind->clear();
        AggiornaTrova();
    }

    m_pannelloData->setText(core::format(core::Variant(session().dataLavoro), QStringLiteral(" dddd - d mmmm yyyy ")));
    CaricaSezione();
    try {
        if (const std::optional<QString> nome = professionalNameOf(session().dataConStr, session().sezId))
            m_pannelloProfessionista->setText(*nome + QLatin1Char(' '));
    } catch (const core::Error&) {
        // The panel keeps its text; the list above has already shown what went wrong.
    }
}

void frmMain::AbilitaComandi(bool b)
{
    for (int i : {0, 4, 5})
        mnuFileItem[i]->setEnabled(b);
    for (int i : {1, 2, 3})
        tbButtons[i]->setEnabled(b);
    const bool stampa = b && m_stampanti && bool(stampaReport);
    mnuFileItem[11]->setEnabled(stampa);
    tbButtons[5]->setEnabled(stampa);
    txtFind->setEnabled(b);
    impostaSfondo(txtFind, b ? coloreFinestra() : coloreBottone());
    impostaTesto(lblFind, txtFind->isEnabled());
    picStart->setVisible(!b);
    gexView->setVisible(b);
}

// ---- layout --------------------------------------------------------------------

int frmMain::twipsX(int pixels) const { return grid::pixelsToTwips(pixels, logicalDpiX()); }
int frmMain::twipsY(int pixels) const { return grid::pixelsToTwips(pixels, logicalDpiY()); }
int frmMain::pixelsX(int twips) const { return grid::twipsToPixels(twips, logicalDpiX()); }
int frmMain::pixelsY(int twips) const { return grid::twipsToPixels(twips, logicalDpiY()); }

void frmMain::Ridimensiona()
{
    // Below the minimum the window is set back, in the offending direction only.
    const int minimoL = pixelsX(9405);
    const int minimoA = pixelsY(6600);
    if (width() < minimoL || height() < minimoA) {
        resize(std::max(width(), minimoL), std::max(height(), minimoA));
        return;
    }

    // The client area lies between the toolbar and the status bar already.
    const int larghezza = twipsX(m_centro->width());
    const int altezza = twipsY(m_centro->height());
    const int sep = 90;
    const int titolo = twipsY(std::max(shpTitle->sizeHint().height(), 30));
    const int barra = 1800;

    picSep->setGeometry(0, 0, m_centro->width(), pixelsY(sep));
    frmSep->setGeometry(0, pixelsY(sep) / 2, pixelsX(larghezza + 120), 2);

    const int T = sep + titolo + 45;
    const int L = barra + 30;
    const int W = std::max(0, larghezza - barra - 90);
    const int H = std::max(0, altezza - titolo - sep - 45);
    m_barra->setGeometry(0, pixelsY(sep), pixelsX(barra), std::max(0, m_centro->height() - pixelsY(sep)));
    shpTitle->setGeometry(pixelsX(L), pixelsY(sep), pixelsX(W), pixelsY(titolo));
    const QRect lista(pixelsX(L), pixelsY(T), pixelsX(W), pixelsY(H));
    gexView->setGeometry(lista);
    picStart->setGeometry(lista);
    LarghezzaColonne();
}

void frmMain::LarghezzaColonne()
{
    if (m_vistaCorrente < 0 || !m_visteCreate)
        return;
    const int colonne = gexView->columnCount();
    const QString codice = Vista(m_vistaCorrente).Codice();
    struct Regola {
        const char* codice;
        int fissa;
        // Per column from 1: a width in twips, or (when negative) minus a per-thousand share of the free width.
        QVector<int> larghezze;
    };
    static const QVector<Regola> regole = {
        {"pro", 1480, {0, 1480, -500, -250, -250, 0, 0}},
        // The kind column (8) only decides the row style: hidden like the key.
        {"fat", 1000 + 1170 + 340, {0, 1000, 340, 1170, -500, -250, -250, 0}},
        {"cli", 2440, {0, -300, -300, -180, -220, 1220, 1220}},
        {"pre", 2800 + 1200, {0, -1000, 1200, 1400, 1400}},
        // The fixed widths add up to 3760 while 3840 is set aside: a little slack at the right.
        {"iva", 3840, {960, -1000, 900, 900, 1000}},
        {"pag", 0, {0, -1000}},
    };
    const double barra = session().scrollBarWidth > 0 ? session().scrollBarWidth
                                             : twipsX(gexView->view()->style()->pixelMetric(QStyle::PM_ScrollBarExtent));
    for (const Regola& r : regole) {
        if (codice != QLatin1String(r.codice))
            continue;
        const double libera =
            std::max(0.0, twipsX(gexView->width()) - barra - 12.0 * colonne - r.fissa);
        for (int c = 1; c <= std::min<int>(colonne, r.larghezze.size()); ++c) {
            const int v = r.larghezze[c - 1];
            const int twips = v >= 0 ? v : static_cast<int>(libera * (-v) / 1000.0);
            grid::GridColumn col = gexView->column(c);
            if (v == 0) {
                col.setVisible(false);
            } else {
                col.setVisible(true);
                col.setWidth(std::max(twips, 1));
            }
        }
    }
}

void frmMain::closeEvent(QCloseEvent* event)
{
    // Data windows belong to the main window's session: closing under them would lose their edits.
    if (schedeDatiAperte()) {
        ui::msgBox(kSchedeAperte, ui::vbExclamation, AppTitle());
        event->ignore();
        return;
    }
    m_chiusa = true;
    unregisterMainWindow(&m_link);
    QMainWindow::closeEvent(event);
    unloadForm(this);
}

bool frmMain::schedeDatiAperte() const
{
    if (frm_fattura::IsLoaded())
        return true;
    const QWidgetList finestre = QApplication::topLevelWidgets();
    for (const QWidget* w : finestre) {
        if (w == this || !w->isVisible() || qobject_cast<const QMenu*>(w))
            continue;
        const Qt::WindowType tipo = w->windowType();
        if (tipo == Qt::Popup || tipo == Qt::ToolTip || tipo == Qt::SplashScreen || tipo == Qt::Desktop)
            continue;
        return true;
    }
    return false;
}

bool frmMain::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_centro && event->type() == QEvent::Resize) {
        Ridimensiona();
        return false;
    }
    if (watched == txtFind) {
        switch (event->type()) {
        case QEvent::KeyPress: {
            bool handled = false;
            atHandlerBoundary([&] { handled = txtFind_KeyDown(static_cast<QKeyEvent*>(event)->key()); });
            return handled;
        }
        case QEvent::FocusIn:
            impostaSfondo(txtFind, kColoreFuoco);
            break;
        case QEvent::FocusOut:
            impostaSfondo(txtFind, txtFind->isEnabled() ? coloreFinestra() : coloreBottone());
            break;
        default:
            break;
        }
        return false;
    }
    if (watched == cmbFilter) {
        switch (event->type()) {
        case QEvent::KeyPress: {
            const int key = static_cast<QKeyEvent*>(event)->key();
            if (key == Qt::Key_Return || key == Qt::Key_Enter) {
                focusNextChild();
                return true;
            }
            if (key == Qt::Key_F3) {
                txtFind->setFocus();
                return true;
            }
            break;
        }
        case QEvent::FocusIn:
            impostaSfondo(cmbFilter, kColoreFuoco);
            break;
        case QEvent::FocusOut: {
            impostaSfondo(cmbFilter, cmbFilter->isEnabled() ? coloreFinestra() : coloreBottone());
            const auto reason = static_cast<QFocusEvent*>(event)->reason();
            if (reason != Qt::PopupFocusReason && reason != Qt::ActiveWindowFocusReason && txtFind->isEnabled())
                txtFind->setFocus();
            break;
        }
        default:
            break;
        }
        return false;
    }
    if ((watched == m_pannelloData || watched == m_pannelloProfessionista)
        && event->type() == QEvent::MouseButtonRelease) {
        atHandlerBoundary([&] { sb_PanelClick(watched->objectName()); });
        return false;
    }
    return QMainWindow::eventFilter(watched, event);
}

// ---- loading a view -------------------------------------------------------------

void frmMain::CaricaVista()
{
    if (m_vistaCorrente < 0)
        return;
    // Drawing waits until the list is whole (the grid keeps its focus meanwhile).
    gexView->setUpdatesEnabled(false);
    Vista(0).Setta(0, QStringLiteral("pro"), QStringLiteral("Pro Forma"), QStringLiteral("Pro Forma"), std::int16_t(2),
                   proFormaViewSql(session().sezId, session().dataLavoro), QStringLiteral("P"));
    Vista(1).Setta(0, QStringLiteral("fat"), QStringLiteral("Fatture"), QStringLiteral("Fattura"), std::int16_t(1),
                   invoiceViewSql(session().sezId, session().dataLavoro), QStringLiteral("F"));

    gexView->setRecordSource(Vista(m_vistaCorrente).SqlString());
    // The rebind clears the sort keys, so the list always opens sorted by its second column.
    gexView->rebind(false);
    if (gexView->columnCount() >= 2)
        gexView->addSortKey(2, grid::SortOrder::Ascending);
    OnVistaCaricata();
    LarghezzaColonne();
    impostaColonne();
    gexView->setUpdatesEnabled(true);
}

void frmMain::impostaColonne()
{
    // The three column settings of a view, as this list gives them meaning:
    //  - setting A, the sort type (1 text, 2 number): the grid orders every
    //    column by its stored value, text without regard to case and numbers by
    //    value, so "Codice" (text) and "Aliquota" (a number) already sort as A
    //    says; nothing is set for it.
    //  - setting B, the cells' alignment: 1 centred, 2 right-aligned.
    //  - setting C, whether the user may resize the column: 0 keeps its width fixed.
    QTableView* view = gexView->view();
    QHeaderView* header = view->horizontalHeader();
    const int colonne = gexView->columnCount();
    for (int c = 0; c < colonne; ++c) {
        view->setItemDelegateForColumn(c, nullptr);
        header->setSectionResizeMode(c, QHeaderView::Interactive);
    }
    auto B = [&](int colonna, int valore) {
        if (colonna >= 1 && colonna <= colonne)
            view->setItemDelegateForColumn(colonna - 1, valore == 2 ? m_aDestra : m_centrato);
    };
    auto C = [&](int colonna, int valore) {
        if (colonna >= 1 && colonna <= colonne && valore == 0)
            header->setSectionResizeMode(colonna - 1, QHeaderView::Fixed);
    };
    auto formato = [&](int colonna) {
        if (colonna >= 1 && colonna <= colonne)
            gexView->column(colonna).setFormat(kFormatoImporto);
    };

    const QString codice = Vista(m_vistaCorrente).Codice();
    if (codice == QLatin1String("pro")) {
        B(2, 1);
        formato(4);
        formato(5);
    } else if (codice == QLatin1String("fat")) {
        B(2, 2);
        if (colonne >= 3)
            gexView->column(3).setCaption(QString());
        B(3, 1);
        C(3, 0);
        B(4, 1);
        formato(6);
        formato(7);
    } else if (codice == QLatin1String("pre")) {
        formato(4);
    } else if (codice == QLatin1String("iva")) {
        const int codiceIva = gexView->columnIndex(QStringLiteral("Codice"));
        const int ritPrev = gexView->columnIndex(QStringLiteral("RitPrev"));
        const int ritAcc = gexView->columnIndex(QStringLiteral("RitAcc"));
        B(codiceIva, 1);
        if (ritPrev > 0) {
            gexView->column(ritPrev).setCaption(QStringLiteral("Rit. Prev."));
            B(ritPrev, 1);
        }
        if (ritAcc > 0) {
            gexView->column(ritAcc).setCaption(QStringLiteral("Rit. Acc."));
            B(ritAcc, 1);
        }
    }
}

// ---- list interaction --------------------------------------------------------------

void frmMain::gexView_OnColumnHeaderClick(int column)
{
    if (m_vistaCorrente < 0)
        return;
    // The captionless series-prefix column does not sort.
    if (Vista(m_vistaCorrente).Codice() == QLatin1String("fat") && column == 3)
        return;
    int ordine = 0;
    for (int k = 1; k <= gexView->sortKeyCount(); ++k) {
        if (gexView->sortKeyColumn(k) == column) {
            ordine = gexView->sortKeyOrder(k);
            break;
        }
    }
    gexView->clearSortKeys();
    gexView->addSortKey(column, ordine == grid::SortOrder::Ascending ? grid::SortOrder::Descending
                                                                      : grid::SortOrder::Ascending);
    AggiornaTrova();
    OnVistaCaricata();
    gexView->setFocus();
}

void frmMain::AggiornaTrova()
{
    if (gexView->sortKeyCount() > 0)
        lblFind->setText(QStringLiteral("Trova in ") + gexView->column(gexView->sortKeyColumn(1)).caption());
    else
        lblFind->setText(QStringLiteral("Trova in "));
}

void frmMain::txtFind_Change()
{
    if (m_vistaCorrente < 0 || gexView->sortKeyCount() == 0)
        return;
    const int colonna = gexView->sortKeyColumn(1);
    const core::Variant testo(txtFind->text());
    if (gexView->sortKeyOrder(1) == grid::SortOrder::Ascending)
        gexView->find(colonna, grid::Condition::BeginsWith, testo);
    else
        gexView->find(colonna, grid::Condition::BeginsWith, testo, gexView->row() + 1, true);
    gexView->ensureCurrentVisible();
}

bool frmMain::txtFind_KeyDown(int key)
{
    switch (key) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        Apri();
        return true;
    case Qt::Key_F3:
    case Qt::Key_Down:
    case Qt::Key_PageDown:
        gexView->setFocus();
        return true;
    case Qt::Key_F4:
        if (cmbFilter->isEnabled()) {
            cmbFilter->setFocus();
            cmbFilter->showPopup();
            return true;
        }
        return false;
    default:
        return false;
    }
}

void frmMain::gexView_OnKeyDown(int& keyCode, int shift)
{
    switch (keyCode) {
    case 13:
        if (gexView->row() > 0 && !gexView->isGroupRow(gexView->row()))
            Apri();
        keyCode = 0;
        break;
    case 46:
        if (gexView->rowCount() > 0)
            Elimina();
        keyCode = 0;
        break;
    case 114: // F3
        txtFind->setFocus();
        keyCode = 0;
        break;
    case 115: // F4
        if (cmbFilter->isEnabled()) {
            cmbFilter->setFocus();
            cmbFilter->showPopup();
            keyCode = 0;
        }
        break;
    default:
        break;
    }
}

void frmMain::gexView_OnKeyPress(int& keyAscii)
{
    if ((keyAscii >= 32 && keyAscii <= 126) || (keyAscii >= 160 && keyAscii <= 255)) {
        const QChar carattere(keyAscii);
        keyAscii = 0;
        txtFind->setFocus();
        txtFind->setText(QString(carattere));
        txtFind->setCursorPosition(1);
    }
}

void frmMain::gexView_OnFormatRow(int row, QString& styleName)
{
    if (m_vistaCorrente < 0)
        return;
    const QString codice = Vista(m_vistaCorrente).Codice();
    if (codice == QLatin1String("pro") && gexView->columnCount() >= 7) {
        // Open pro formas stand out; those already invoiced do not.
        styleName = gexView->cellValue(row, 7).toBool() ? QStringLiteral("Default") : QStringLiteral("Grassetto");
    } else if (codice == QLatin1String("fat") && gexView->columnCount() >= 8) {
        styleName = gexView->cellValue(row, 8).toLong() == 1 ? QStringLiteral("RedFont") : QStringLiteral("Default");
    }
}

void frmMain::cmbFilter_Click()
{
    if (m_vistaCorrente < 0)
        return;
    m_filtro[m_vistaCorrente] = cmbFilter->currentIndex();
    CaricaVista();
}

// ---- menus, toolbar, view bar, status bar, keys -------------------------------------

void frmMain::scegliVista(int vista)
{
    if (vista < 0 || vista >= kNumeroViste)
        return;
    m_vistaCorrente = vista;
    SetLay();
    // By the view bar or by Ctrl+Shift+letter, the list is ready for the keys:
    // typing finds, Down goes into the list, Enter opens the current row.
    if (txtFind->isEnabled())
        txtFind->setFocus();
}

void frmMain::bb_ItemClick(QListWidgetItem* item)
{
    if (!item)
        return;
    scegliVista(item->data(Qt::UserRole).toString().toInt());
}

void frmMain::TastiRapidi(int keyCode, int shift)
{
    if (keyCode < 65 || keyCode > 90 || (shift != 2 && shift != 3))
        return;
    const QString lettera = QString(QChar(keyCode));
    int trovata = -1;
    for (int i = 0; i < kNumeroViste; ++i) {
        if (Vista(i).mnuViewShorCut() == lettera)
            trovata = i;
    }
    if (trovata < 0)
        return;
    if (shift == 2)
        Nuovo(trovata);
    else
        scegliVista(trovata);
}

void frmMain::mnuFileItem_Click(int index)
{
    switch (index) {
    case 0:
        if (m_vistaCorrente > -1)
            Nuovo(m_vistaCorrente);
        break;
    case 4: Apri(); break;
    case 5: Elimina(); break;
    case 9:
        if (apriModelli)
            apriFinestra(QStringLiteral("finfrmReps"), [this] { apriModelli(this); });
        break;
    case 11: Stampa(); break;
    case 13: Esci(); break;
    default: break;
    }
}

void frmMain::mnuProf_Click(int index)
{
    if (index == 0)
        ApriProfessionista();
    else if (index == 1 && session().sezId == 1 && apriProfessionisti)
        apriFinestra(QStringLiteral("frmProfessionisti"), [this] { apriProfessionisti(this); });
}

void frmMain::mnuViewItem_Click(int index)
{
    if (index >= 0 && index < kVociVista)
        m_vistaCorrente = mnuViewItem[index]->data().toInt();
    else if (index == 40 && apriDataLavoro)
        ApriDataLavoro();
    else if (index == 41 && apriContatori)
        apriFinestra(QStringLiteral("frmOptions::ApriContab()"), apriContatori);
    SetLay();
}

void frmMain::mnuDbItem_Click(int index)
{
    if (schedeDatiAperte()) {
        ui::msgBox(kSchedeAperte, ui::vbOKOnly, AppTitle());
        return;
    }
    if (index == 0)
        CambiaDatabase();
    else if (index == 9)
        ApriTabelle();
}

void frmMain::mnuHelpItem_Click(int index)
{
    if (index == 7 && apriInformazioni) {
        const QString testo = PercorsoDatabaseMostrato();
        apriFinestra(QStringLiteral("comfrmAbout::About"), [this, testo] { apriInformazioni(this, testo); });
    }
}

void frmMain::sb_PanelClick(const QString& key)
{
    if (key == QLatin1String("WorkData") && apriDataLavoro)
        ApriDataLavoro();
    else if (key == QLatin1String("Professionista"))
        ApriProfessionista();
}

void frmMain::ApriDataLavoro()
{
    // The working date decides what an open editor or data form numbers and lists: not under its feet.
    if (schedeDatiAperte()) {
        ui::msgBox(kSchedeAperte, ui::vbOKOnly, AppTitle());
        return;
    }
    apriFinestra(QStringLiteral("frmOptions::ApriWorkingDate()"), apriDataLavoro);
}

void frmMain::ApriProfessionista()
{
    if (apriSetup)
        apriFinestra(QStringLiteral("frm_setup::Apri(%1)").arg(session().sezId), apriSetup);
}

void frmMain::CambiaDatabase()
{
    QString cartella = ui::browseForFolder(QStringLiteral("Selezionare la cartella contenente un Database esistente")
                                           + kCrLf + QStringLiteral("o la cartella nella quale creare un nuovo Database."));
    if (cartella.isEmpty())
        return;
    // Stored without a trailing separator: the start adds its own before the file name.
    while (cartella.size() > 1 && (cartella.endsWith(QLatin1Char('/')) || cartella.endsWith(QLatin1Char('\\'))))
        cartella.chop(1);
    QString errore;
    try {
        ScriviRegistro(HKEY_CURRENT_USER, session().regKeySettings, REG_SZ, QStringLiteral("appset_curdb"), core::Variant(cartella));
        const QString riletta = LeggiRegistro(HKEY_CURRENT_USER, session().regKeySettings, REG_SZ,
                                              QStringLiteral("appset_curdb"), core::Variant(QString()))
                                    .toString();
        if (riletta != cartella)
            errore = QStringLiteral("Il valore salvato non corrisponde alla cartella scelta.");
    } catch (const core::Error& e) {
        errore = e.text();
    }
    if (!errore.isEmpty()) {
        ui::msgBox(QStringLiteral("Impossibile salvare la cartella del database:") + kCrLf + cartella + kCrLf + errore,
                   ui::vbCritical, AppTitle());
        return;
    }
    ui::msgBox(QStringLiteral("Database selezionato o creato con successo") + kCrLf
                   + QStringLiteral("Riavviare l'applicazione"),
               ui::vbOKOnly, AppTitle());
}

void frmMain::ApriTabelle()
{
    if (session().sezId != 1 || !apriTabelle)
        return;
    const int risposta = ui::msgBox(QStringLiteral("Attenzione!") + kCrLf + kCrLf
                                        + QStringLiteral("La modifica diretta delle tabelle è una operazione che va "
                                                         "utilizzata ")
                                        + kCrLf + QStringLiteral("solo in caso di reale necessità e comunque da utenti esperti.")
                                        + kCrLf + kCrLf + QStringLiteral("Procedere?") + kCrLf + QStringLiteral(" "),
                                    ui::vbYesNo | ui::vbExclamation | ui::vbDefaultButton2, AppTitle());
    if (risposta == ui::vbYes)
        apriFinestra(QStringLiteral("comfrmManData"), [this] { apriTabelle(this); });
}

bool frmMain::apriFinestra(const QString& call, const std::function<void()>& open)
{
    if (gOpener && gOpener(call))
        return true;
    open();
    return true;
}

// ---- commands ----------------------------------------------------------------------

void frmMain::Nuovo(int vista)
{
    if (vista < 0 || vista >= kNumeroViste)
        return;
    const QString codice = Vista(vista).Codice();
    if (codice == QLatin1String("fat"))
        apriFinestra(QStringLiteral("frm_fattura::Nuovo(0)"), [] { frm_fattura::Nuovo(0); });
    else if (codice == QLatin1String("pro"))
        apriFinestra(QStringLiteral("frm_fattura::Nuovo(2)"), [] { frm_fattura::Nuovo(2); });
    else if (codice == QLatin1String("cli"))
        apriFinestra(QStringLiteral("frm_io_Clienti::Nuovo(0)"), [] { frm_io_Clienti::Nuovo(0); });
    else if (codice == QLatin1String("iva"))
        apriFinestra(QStringLiteral("frm_io_IVA::Nuovo(0)"), [] { frm_io_IVA::Nuovo(0); });
    else if (codice == QLatin1String("pag"))
        apriFinestra(QStringLiteral("frm_io_Pagamenti::Nuovo(0)"), [] { frm_io_Pagamenti::Nuovo(0); });
    else if (codice == QLatin1String("pre"))
        apriFinestra(QStringLiteral("frm_io_Prestazioni::Nuovo(0)"), [] { frm_io_Prestazioni::Nuovo(0); });
}

void frmMain::Apri()
{
    if (m_vistaCorrente < 0 || gexView->row() == 0)
        return;
    const core::Variant chiave = gexView->value(1);
    const QString codice = Vista(m_vistaCorrente).Codice();
    const std::int32_t id = chiave.toLong();
    const QString numero = QString::number(id);
    if (codice == QLatin1String("fat") || codice == QLatin1String("pro")) {
        apriFinestra(QStringLiteral("frm_fattura::Modifica(%1)").arg(numero), [id] { frm_fattura::Modifica(id); });
    } else if (codice == QLatin1String("cli")) {
        apriFinestra(QStringLiteral("frm_io_Clienti::Apri(%1, 0)").arg(numero), [id] { frm_io_Clienti::Apri(id, 0); });
    } else if (codice == QLatin1String("pag")) {
        apriFinestra(QStringLiteral("frm_io_Pagamenti::Apri(%1, 0)").arg(numero),
                     [id] { frm_io_Pagamenti::Apri(id, 0); });
    } else if (codice == QLatin1String("pre")) {
        apriFinestra(QStringLiteral("frm_io_Prestazioni::Apri(%1, 0)").arg(numero),
                     [id] { frm_io_Prestazioni::Apri(id, 0); });
    } else if (codice == QLatin1String("iva")) {
        const QString testo = chiave.toString();
        apriFinestra(QStringLiteral("frm_io_IVA::Apri('%1', 0)").arg(testo), [testo] { frm_io_IVA::Apri(testo, 0); });
    }
}

void frmMain::Stampa()
{
    if (gexView->rowCount() < 1 || !stampaReport)
        return;
    const QString stampante = installedPrinters().defaultDeviceName;
    apriFinestra(QStringLiteral("frmPrintReportMov::Stampa(%1)").arg(stampante), [stampante] { stampaReport(stampante); });
}

void frmMain::Esci()
{
    close();
}

void frmMain::Elimina()
{
    if (m_vistaCorrente < 0 || gexView->row() == 0)
        return;
    const std::optional<ListRecord> record = listRecordOfView(Vista(m_vistaCorrente).Codice());
    if (!record)
        return;
    const core::Variant chiave = gexView->value(1);

    try {
        const ListDeletion esito = deleteListRecord(session().dataConStr, *record, chiave, [] {
            return ui::msgBox(QStringLiteral("Confermare eliminazione?"), ui::vbYesNo | ui::vbQuestion, AppTitle()) == ui::vbYes;
        });
        if (esito == ListDeletion::InUse)
            ui::msgBox(QStringLiteral("Record con collegamenti in altre tabelle.") + kCrLf + QStringLiteral("Non verrà eliminato."),
                       ui::vbOKOnly, AppTitle());
    } catch (const core::Error& e) {
        ui::msgBox(e.description(), ui::vbOKOnly, AppTitle());
        return;
    }
    CaricaVista();
}

// ---- printers -----------------------------------------------------------------------

void frmMain::ImpostaStampanti()
{
    m_stampanti = true;
    session().stampanteSlot = QStringList{QString(), QString()};
    session().stampanteSlotDriver = QStringList{QString(), QString()};
    try {
        const InstalledPrinters elenco = installedPrinters();
        session().stampanti.clear();
        session().stampantiDriver.clear();
        for (const InstalledPrinter& p : elenco.printers) {
            if (!elenco.defaultDeviceName.isEmpty() && p.deviceName == elenco.defaultDeviceName) {
                session().stampanteSlot[0] = p.deviceName;
                session().stampanteSlotDriver[0] = p.driverName;
            }
            session().stampanti.append(p.deviceName);
            session().stampantiDriver.append(p.driverName);
        }
        session().numStampanti = static_cast<std::int32_t>(elenco.printers.size());
        if (!session().stampanteSlot[0].isEmpty()) {
            // Slot 2 defaults to slot 1 as just read, so one stored slot names both.
            for (int i = 1; i <= 2; ++i) {
                session().stampanteSlot[i - 1] = LeggiRegistro(HKEY_CURRENT_USER, session().regKeyPrinters, REG_SZ,
                                                      core::format(core::Variant(std::int32_t(i)), QStringLiteral("000")),
                                                      core::Variant(session().stampanteSlot[0]))
                                            .toString();
                session().stampanteSlotDriver[i - 1] =
                    LeggiRegistro(HKEY_CURRENT_USER, session().regKeyPrinters, REG_SZ,
                                  core::format(core::Variant(std::int32_t(i)), QStringLiteral("\\D000")),
                                  core::Variant(session().stampanteSlotDriver[0]))
                        .toString();
            }
            return;
        }
    } catch (const core::Error&) {
        // Printers that cannot be listed count as none: the message below says so.
    }
    ui::msgBox(QStringLiteral("Nessuna stampante installata.") + kCrLf
                   + QStringLiteral("Installare almeno una stampante per utilizzare correttamente l'applicazione"),
               ui::vbOKOnly, AppTitle());
    m_stampanti = false;
}
