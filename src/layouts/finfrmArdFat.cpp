#include "layouts/finfrmArdFat.h"

#include "common/FormLifetime.h"
#include "domain/LayoutStore.h"
#include "layouts/DesignerIcons.h"
#include "layouts/finfrmMargini.h"
#include "platform/core/Error.h"
#include "platform/report/ReportControl.h"
#include "platform/report/ReportDesigner.h"
#include "platform/report/ReportLayout.h"
#include "platform/ui/Dialogs.h"
#include "printing/finModelli.h"
#include "printing/finarpFatBase.h"
#include "printing/finclsCampi.h"
#include "startup/SharedState.h"

#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QCloseEvent>
#include <QColorDialog>
#include <QComboBox>
#include <QDir>
#include <QDrag>
#include <QFontDatabase>
#include <QFontDialog>
#include <QHBoxLayout>
#include <QHash>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMimeData>
#include <QMouseEvent>
#include <QPointer>
#include <QSplitter>
#include <QTabWidget>
#include <QToolBar>
#include <QVBoxLayout>
#include <cmath>
#include <exception>

namespace {

FormInstance<finfrmArdFat> gInstance;

// The types of control each format command applies to, matched against a
// control's type name by a substring test.
const QString kTipiCarattere = QStringLiteral("Label_Field_Checkbox");
const QString kTipiColore = QStringLiteral("Label_Field_RichEdit_Shape_Frame_Image_Checkbox");
const QString kTipiLinea = QStringLiteral("Line_Shape");

QStringList tipi(const QString& elenco)
{
    return elenco.split(QLatin1Char('_'));
}

bool tipoIn(const report::ReportControl* c, const QString& elenco)
{
    return c && elenco.contains(c->typeName(), Qt::CaseSensitive);
}

// What a drag of a field name carries.
const QString kMimeCampo = QStringLiteral("application/x-corvessa-campo");

const QString kPagina = QStringLiteral("PAGINA");
const QString kPagine = QStringLiteral("PAGINE");

// One toolbar button: its toolbar (0 standard, 1 format, 2 align, 3 toolbox),
// key, tooltip, the command it executes and the command whose state it shows
// (0: none). Buttons without any action are kept out of sight.
struct Pulsante {
    int toolbar;
    const char* key;
    const char* tooltip;
    int comando;
    int stato;
    bool premibile;
    bool nascosto;
};

using report::DesignerCommand::AlignBottoms;
using report::DesignerCommand::AlignCenters;
using report::DesignerCommand::AlignLefts;
using report::DesignerCommand::AlignMiddles;
using report::DesignerCommand::AlignRights;
using report::DesignerCommand::AlignToGrid;
using report::DesignerCommand::AlignTops;

const Pulsante kPulsanti[] = {
    {0, "tFNewReport", "New", 0, 0, false, true},
    {0, "tFOpen", "Open", 0, 0, false, true},
    {0, "tFSave", "Salva Modello", 0, 0, false, false},
    {0, "tFPrintSetup", "Margini della pagina", 0, 0, false, false},
    {1, "tfoFont", "", 0, 0, false, true},
    {1, "tFoBold", "Grassetto", 45, 45, true, false},
    {1, "tFoItalic", "Corsivo", 46, 46, true, false},
    {1, "tFoUnderline", "Sottolineato", 58, 58, true, false},
    {1, "tFoFontDialog", "", 0, 43, false, false},
    {1, "tFoAlignLeft", "Allinea a sinistra", 47, 47, true, false},
    {1, "tFoAlignCenter", "Allinea al centro", 48, 48, true, false},
    {1, "tFoAlignRight", "Allinea a destra", 49, 49, true, false},
    {1, "tFoBackColor", "Colore di sfondo", 0, 51, false, false},
    {1, "tFoForeColor", "Colore del testo", 0, 50, false, false},
    {1, "tFoLineColor", "Colore della linea (bordo)", 0, 53, false, false},
    {2, "tFoBringToFront", "Porta l'elemento davanti", 39, 39, false, false},
    {2, "tFoSendToBack", "Porta l'elemento sullo sfondo", 40, 40, false, false},
    {2, "tFoALefts", "Align Lefts", AlignLefts, AlignLefts, false, false},
    {2, "tFoACenters", "Align Centers", AlignCenters, AlignCenters, false, false},
    {2, "tFoARights", "Align Rights", AlignRights, AlignRights, false, false},
    {2, "tFoATops", "Align Tops", AlignTops, AlignTops, false, false},
    {2, "tFoAMiddles", "Align Middles", AlignMiddles, AlignMiddles, false, false},
    {2, "tFoABottoms", "Align Bottoms", AlignBottoms, AlignBottoms, false, false},
    {2, "tFoAToGrid", "Align to Grid", 0, AlignToGrid, true, true},
    {2, "tFoSWidths", "Size to Same Width", 30, 0, false, false},
    {2, "tFoSHeights", "Size to Same Height", 31, 0, false, false},
    {2, "tFoSBoth", "Size to Same Width and Height", 32, 0, false, false},
    {2, "tFoLockControls", "Lock Controls", 41, 41, true, false},
    {3, "tbxSelect", "Seleziona", 0, 0, true, false},
    {3, "tbxLabel", "Etichetta", 0, 0, true, false},
    {3, "tbxField", "Field", 0, 0, true, false},
    {3, "tbxLine", "Linea", 0, 0, true, false},
    {3, "tbxShape", "Rettangolo", 0, 0, true, false},
    {3, "tbxDateTime", "Date and Time", 0, 0, false, true},
    {3, "tbxPagenumber", "Page Numbers", 0, 0, false, true},
};

const Pulsante* descrizione(const QString& key)
{
    for (const Pulsante& p : kPulsanti)
        if (key == QLatin1String(p.key))
            return &p;
    return nullptr;
}

// The insert tool of each toolbox key.
QString strumento(const QString& key, bool* trovato)
{
    static const QHash<QString, QString> tabella = {
        {QStringLiteral("tbxSelect"), QString()},
        {QStringLiteral("tbxLabel"), QStringLiteral("DDActiveReports2.Label")},
        {QStringLiteral("tbxField"), QStringLiteral("DDActiveReports2.Field")},
        {QStringLiteral("tbxLine"), QStringLiteral("DDActiveReports2.Line")},
        {QStringLiteral("tbxShape"), QStringLiteral("DDActiveReports2.Shape")},
        {QStringLiteral("tbxCheckbox"), QStringLiteral("DDActiveReports2.Checkbox")},
    };
    *trovato = tabella.contains(key);
    return tabella.value(key);
}

const char* const kDimensioni[] = {" 7", " 8", " 9", "10", "11", "12", "14", "16", "18",
                                   "20", "22", "24", "26", "28", "36", "48", "72"};

QString testoDimensione(double punti)
{
    return QString::number(punti, 'g', 4);
}

report::FontSpec specDa(const QFont& f)
{
    report::FontSpec s;
    s.name = f.family();
    s.size = f.pointSizeF() > 0 ? f.pointSizeF() : 10.0;
    s.bold = f.bold();
    s.italic = f.italic();
    s.underline = f.underline();
    s.strikethrough = f.strikeOut();
    return s;
}

QFont fontDa(const report::FontSpec& s)
{
    QFont f(s.name);
    f.setPointSizeF(s.size > 0 ? s.size : 10.0);
    f.setBold(s.bold);
    f.setItalic(s.italic);
    f.setUnderline(s.underline);
    f.setStrikeOut(s.strikethrough);
    return f;
}

void avvisa(const QString& testo, const QString& titolo = QString())
{
    ui::msgBox(testo, ui::vbOKOnly | ui::vbExclamation, titolo.isEmpty() ? AppTitle() : titolo);
}

// A layout is written only when the print engine's report loads it back as
// the designer holds it.
LayoutCheck stampabile(const report::ReportLayout& atteso)
{
    return [atteso](const QByteArray& bytes) {
        report::Report prova = finarpFatBase::Nuovo();
        prova.loadLayout(bytes);
        if (!(prova.layout() == atteso))
            throw core::Error(31038, QStringLiteral("Il modello riletto non coincide con quello disegnato: non è stato salvato."));
    };
}

} // namespace

finfrmArdFat* finfrmArdFat::instance()
{
    return gInstance.get([] { return new finfrmArdFat(); });
}

bool finfrmArdFat::exists()
{
    return gInstance.exists();
}

void finfrmArdFat::Unload()
{
    if (finfrmArdFat* f = gInstance.current()) {
        f->m_chiusuraProgramma = true;
        gInstance.unload();
    }
}

finfrmArdFat::finfrmArdFat()
{
    setObjectName(QStringLiteral("finfrmArdFat"));
    setAttribute(Qt::WA_DeleteOnClose);

    ard = new report::ReportDesigner(this);
    ard->setObjectName(QStringLiteral("ard"));

    SSTab1 = new QTabWidget(this);
    SSTab1->setObjectName(QStringLiteral("SSTab1"));
    const char* const schede[2] = {"Testa/Calce", "Dettaglio"};
    for (int i = 0; i < 2; ++i) {
        lstFields[i] = new QListWidget(SSTab1);
        lstFields[i]->setObjectName(QStringLiteral("lstFields(%1)").arg(i));
        lstFields[i]->setSelectionMode(QAbstractItemView::SingleSelection);
        lstFields[i]->setToolTip(QStringLiteral("Trascinare un campo su una sezione del modello"));
        SSTab1->addTab(lstFields[i], QString::fromUtf8(schede[i]));
    }
    SSTab1->setMinimumWidth(170);
    for (QListWidget* l : lstFields)
        l->viewport()->installEventFilter(this);

    lblDrag = new QLabel(this);
    lblDrag->setObjectName(QStringLiteral("lblDrag"));
    lblDrag->setFrameShape(QFrame::Box);
    lblDrag->setAutoFillBackground(true);
    lblDrag->hide();

    txtLabel = new QLineEdit(this);
    txtLabel->setObjectName(QStringLiteral("txtLabel"));
    txtLabel->setEnabled(false);
    txtLabel->setToolTip(QStringLiteral("Testo dell'etichetta selezionata"));
    auto* etichetta = new QLabel(QStringLiteral("Testo dell'etichetta:"), this);
    etichetta->setBuddy(txtLabel);

    auto* rigaTesto = new QHBoxLayout;
    rigaTesto->setContentsMargins(4, 2, 4, 2);
    rigaTesto->addWidget(etichetta);
    rigaTesto->addWidget(txtLabel, 1);
    auto* destra = new QWidget(this);
    auto* colonna = new QVBoxLayout(destra);
    colonna->setContentsMargins(0, 0, 0, 0);
    colonna->setSpacing(2);
    colonna->addLayout(rigaTesto);
    colonna->addWidget(ard, 1);

    auto* divisore = new QSplitter(Qt::Horizontal, this);
    divisore->addWidget(SSTab1);
    divisore->addWidget(destra);
    divisore->setStretchFactor(1, 1);
    divisore->setSizes({190, 800});
    setCentralWidget(divisore);

    creaToolbar();

    connect(ard, &report::ReportDesigner::dropped, this,
            [this](const QString& s, const QPointF& p, const QMimeData* m, QObject* o) { ard_OnDragDrop(s, p, m, o); });
    connect(ard, &report::ReportDesigner::commandStateChanged, this, [this](int c) { ard_OnCommandStateChange(c); });
    connect(ard, &report::ReportDesigner::selectionChanged, this, [this] { ard_OnSelectionChange(); });
    connect(ard, &report::ReportDesigner::insertToolChanged, this, [this](const QString& tool) {
        // The toolbox shows the tool in force; after a control is made it is "select" again.
        bool trovato = false;
        for (const Pulsante& p : kPulsanti)
            if (p.toolbar == 3 && strumento(QLatin1String(p.key), &trovato) == tool && trovato)
                if (QAction* a = pulsante(QLatin1String(p.key)))
                    a->setChecked(true);
    });
    connect(ard, &report::ReportDesigner::layoutEdited, this, [this] { mostraValori(); });
    // A label made with the toolbox stands in the middle of its box, as part of its insert.
    ard->setInsertDefaults([](report::ReportControl& c) {
        if (c.kind == report::ControlKind::Label)
            c.verticalAlignment = report::VerticalAlignment::Middle;
    });
    // Ctrl+Z and Ctrl+Y in the property boxes undo and redo the design, not the box.
    for (QWidget* casella : {static_cast<QWidget*>(txtLabel), static_cast<QWidget*>(cboFoFontName),
                             static_cast<QWidget*>(cboFoFontSize), static_cast<QWidget*>(cboFoFontName->lineEdit()),
                             static_cast<QWidget*>(cboFoFontSize->lineEdit())})
        casella->installEventFilter(this);
    connect(txtLabel, &QLineEdit::textEdited, this, [this](const QString& t) { txtLabel_Change(t); });
    connect(cboFoFontName, &QComboBox::textActivated, this, [this](const QString& t) { cboFoFontName_Click(t); });
    connect(cboFoFontSize, &QComboBox::textActivated, this, [this](const QString& t) { cboFoFontSize_Click(t); });

    resize(1000, 700);
    Form_Load();
}

void finfrmArdFat::creaToolbar()
{
    const char* const nomi[4] = {"tbStandard", "tbFormat", "tbAlign", "tbToolbox"};
    const char* const titoli[4] = {"Standard", "Formato", "Allineamento", "Strumenti"};
    QToolBar* barre[4];
    for (int i = 0; i < 4; ++i) {
        barre[i] = new QToolBar(QString::fromUtf8(titoli[i]), this);
        barre[i]->setObjectName(QString::fromLatin1(nomi[i]));
        barre[i]->setIconSize(QSize(20, 20));
        barre[i]->setMovable(false);
    }
    tbStandard = barre[0];
    tbFormat = barre[1];
    tbAlign = barre[2];
    tbToolbox = barre[3];
    addToolBar(Qt::TopToolBarArea, tbStandard);
    addToolBar(Qt::TopToolBarArea, tbFormat);
    addToolBarBreak(Qt::TopToolBarArea);
    addToolBar(Qt::TopToolBarArea, tbAlign);
    addToolBar(Qt::TopToolBarArea, tbToolbox);

    cboFoFontName = new QComboBox(this);
    cboFoFontName->setObjectName(QStringLiteral("cboFoFontName"));
    cboFoFontName->setEditable(true);
    cboFoFontName->setInsertPolicy(QComboBox::NoInsert);
    cboFoFontName->setMinimumContentsLength(16);
    cboFoFontName->setToolTip(QStringLiteral("Carattere"));
    cboFoFontSize = new QComboBox(this);
    cboFoFontSize->setObjectName(QStringLiteral("cboFoFontSize"));
    cboFoFontSize->setEditable(true);
    cboFoFontSize->setInsertPolicy(QComboBox::NoInsert);
    cboFoFontSize->setMinimumContentsLength(3);
    cboFoFontSize->setToolTip(QStringLiteral("Dimensione del carattere"));

    auto* strumenti = new QActionGroup(this);
    strumenti->setExclusive(true);
    for (const Pulsante& p : kPulsanti) {
        const QString key = QString::fromLatin1(p.key);
        QAction* a = barre[p.toolbar]->addAction(DesignerIcons::icon(key), QString());
        a->setObjectName(key);
        a->setToolTip(QString::fromUtf8(p.tooltip));
        a->setIconText(QString::fromUtf8(p.tooltip));
        a->setCheckable(p.premibile);
        a->setVisible(!p.nascosto);
        if (p.toolbar == 3)
            strumenti->addAction(a);
        connect(a, &QAction::triggered, this, [this, a, barra = p.toolbar] {
            switch (barra) {
            case 0: tbStandard_OnButtonClick(a); break;
            case 1: tbFormat_OnButtonClick(a); break;
            case 2: tbAlign_OnButtonClick(a); break;
            default: tbToolbox_OnButtonClick(a); break;
            }
        });
        m_pulsanti.push_back(a);
        if (key == QLatin1String("tfoFont")) {
            tbFormat->addWidget(cboFoFontName);
            tbFormat->addWidget(cboFoFontSize);
        }
    }
    if (QAction* select = pulsante(QStringLiteral("tbxSelect")))
        select->setChecked(true);
    // A state-only button shows its state but cannot be pressed by hand.
    if (QAction* griglia = pulsante(QStringLiteral("tFoAToGrid")))
        griglia->setEnabled(false);

}

QAction* finfrmArdFat::pulsante(const QString& key) const
{
    for (QAction* a : m_pulsanti)
        if (a->objectName() == key)
            return a;
    return nullptr;
}

void finfrmArdFat::Form_Load()
{
    ard->attachReport(&m_report);
    cboFoFontName->addItems(QFontDatabase::families());
    for (const char* d : kDimensioni)
        cboFoFontSize->addItem(QString::fromLatin1(d));
    ImpostaComandi();
}

void finfrmArdFat::ImpostaComandi()
{
    for (const Pulsante& p : kPulsanti)
        if ((p.toolbar == 1 || p.toolbar == 2) && p.comando != 0)
            if (QAction* a = pulsante(QString::fromLatin1(p.key)))
                a->setData(static_cast<std::int32_t>(p.comando));
}

// ---- opening -----------------------------------------------------------

bool finfrmArdFat::Apri(const finclsCampi& campi, std::int16_t mode, std::int32_t id)
{
    const bool nuova = !exists();
    finfrmArdFat* f = instance();
    if (!nuova && f->isVisible() && f->ard->isModified()) {
        f->raise();
        f->activateWindow();
        const int risposta = ui::msgBox(QStringLiteral("Il modello aperto nel designer ha modifiche non salvate.\n"
                                                       "Abbandonare le modifiche e aprire l'altro modello?"),
                                        ui::vbYesNo | ui::vbQuestion | ui::vbDefaultButton2, AppTitle());
        if (risposta != ui::vbYes)
            return false;
    }
    if (!f->caricaModello(mode, id)) {
        // The window cannot work without a layout on its surface.
        if (nuova)
            Unload();
        return false;
    }
    f->riempiListe(campi);
    f->show();
    f->raise();
    f->activateWindow();
    return true;
}

bool finfrmArdFat::caricaModello(std::int16_t mode, std::int32_t id)
{
    report::Report caricato = finarpFatBase::Nuovo();
    QByteArray letti;
    try {
        if (mode == 0) {
            caricato.loadLayout(QDir(AppPath()).filePath(finModelli::kFileVuoto));
        } else {
            letti = readLayout(session().dataConStr, id);
            caricato.loadLayout(letti);
        }
    } catch (const core::Error& e) {
        avvisa(QStringLiteral("Impossibile aprire il modello di stampa.\n") + e.description());
        return false;
    } catch (const std::exception& e) {
        avvisa(QStringLiteral("Impossibile aprire il modello di stampa.\n") + QString::fromLocal8Bit(e.what()));
        return false;
    }
    m_id = mode == 0 ? 0 : id;
    m_mode = mode;
    m_letti = letti;
    setWindowTitle(mode == 0   ? QStringLiteral("Nuovo Modello")
                   : mode == 1 ? QStringLiteral("Nuovo da Modello")
                               : QStringLiteral("Modifica Modello"));
    // The designer lets go of the report before it is replaced.
    ard->attachReport(nullptr);
    m_report = caricato;
    ard->attachReport(&m_report);
    ard->setModified(false);
    txtLabel->clear();
    txtLabel->setEnabled(false);
    for (const Pulsante& p : kPulsanti)
        if (p.stato != 0)
            ard_OnCommandStateChange(p.stato);
    ard_OnCommandStateChange(report::DesignerCommand::FontSize);
    return true;
}

void finfrmArdFat::riempiListe(const finclsCampi& campi)
{
    // Filled anew on every opening, never twice over.
    for (QListWidget* l : lstFields)
        l->clear();
    for (const finclsCampo& c : campi)
        if (c.Sezione() == 0 || c.Sezione() == 1)
            lstFields[c.Sezione()]->addItem(c.Nome());
    lstFields[0]->addItem(kPagina);
    lstFields[0]->addItem(kPagine);
}

// ---- dragging a field name ---------------------------------------------

namespace {

// 0: not an undo or redo key; -1 undo; 1 redo.
int undoKey(QEvent* event)
{
    if (event->type() != QEvent::KeyPress && event->type() != QEvent::ShortcutOverride)
        return 0;
    auto* key = static_cast<QKeyEvent*>(event);
    if (key->matches(QKeySequence::Undo))
        return -1;
    const auto mods = key->modifiers() & (Qt::ControlModifier | Qt::ShiftModifier | Qt::AltModifier);
    if (key->matches(QKeySequence::Redo) || (mods == Qt::ControlModifier && key->key() == Qt::Key_Y))
        return 1;
    return 0;
}

} // namespace

void finfrmArdFat::annullaRipeti(bool ripeti)
{
    // A font name or size typed and not yet confirmed is taken first, so it is not lost.
    if (cboFoFontName->lineEdit()->isModified())
        cboFoFontName_Click(cboFoFontName->currentText());
    if (cboFoFontSize->lineEdit()->isModified())
        cboFoFontSize_Click(cboFoFontSize->currentText());
    cboFoFontName->lineEdit()->setModified(false);
    cboFoFontSize->lineEdit()->setModified(false);
    ripeti ? ard->redo() : ard->undo();
    mostraValori();
}

void finfrmArdFat::keyPressEvent(QKeyEvent* event)
{
    // Whatever has the focus in the window, the keys act on the design.
    if (const int verso = undoKey(event)) {
        annullaRipeti(verso > 0);
        event->accept();
        return;
    }
    QMainWindow::keyPressEvent(event);
}

void finfrmArdFat::mostraValori()
{
    if (ard->selectionCount() == 1) {
        const report::ReportControl* c = ard->selectedControl(0);
        if (c && c->kind == report::ControlKind::Label && txtLabel->isEnabled() && txtLabel->text() != c->caption)
            txtLabel->setText(c->caption);
    }
    ard_OnCommandStateChange(report::DesignerCommand::Font);
    ard_OnCommandStateChange(report::DesignerCommand::FontSize);
}

bool finfrmArdFat::eventFilter(QObject* watched, QEvent* event)
{
    if (const int verso = undoKey(event);
        verso != 0
        && (watched == txtLabel || watched == cboFoFontName || watched == cboFoFontSize
            || watched == cboFoFontName->lineEdit() || watched == cboFoFontSize->lineEdit())) {
        // Claimed as the box's own key, so no shortcut takes it; then done here.
        event->accept();
        if (event->type() == QEvent::KeyPress)
            annullaRipeti(verso > 0);
        return true;
    }
    for (int i = 0; i < 2; ++i) {
        if (!lstFields[i] || watched != lstFields[i]->viewport())
            continue;
        QListWidget* lista = lstFields[i];
        switch (event->type()) {
        case QEvent::MouseButtonPress: {
            auto* me = static_cast<QMouseEvent*>(event);
            QListWidgetItem* voce = lista->itemAt(me->position().toPoint());
            lista->setProperty("tag", me->button() == Qt::LeftButton && voce ? voce->text() : QString());
            m_pressione = me->position().toPoint();
            break;
        }
        case QEvent::MouseMove: {
            auto* me = static_cast<QMouseEvent*>(event);
            if ((me->buttons() & Qt::LeftButton) && !lista->property("tag").toString().isEmpty()) {
                if ((me->position().toPoint() - m_pressione).manhattanLength() >= QApplication::startDragDistance()) {
                    trascina(i);
                    return true;
                }
            } else {
                lblDrag->hide();
                lista->setProperty("tag", QString());
            }
            break;
        }
        case QEvent::MouseButtonRelease:
            lblDrag->hide();
            lista->setProperty("tag", QString());
            break;
        default: break;
        }
    }
    return QMainWindow::eventFilter(watched, event);
}

bool finfrmArdFat::preparaTrascinamento(int index)
{
    if (index < 0 || index > 1)
        return false;
    QListWidget* lista = lstFields[index];
    QString nome = lista->property("tag").toString();
    if (nome.isEmpty() && lista->currentItem())
        nome = lista->currentItem()->text();
    if (nome.isEmpty())
        return false;
    lblDrag->setText(nome);
    lblDrag->setProperty("tag", QString::number(index));
    lblDrag->adjustSize();
    return true;
}

void finfrmArdFat::trascina(int index)
{
    QListWidget* lista = lstFields[index];
    if (!preparaTrascinamento(index))
        return;
    auto* dati = new QMimeData;
    dati->setData(kMimeCampo, lblDrag->text().toUtf8());
    dati->setText(lblDrag->text());
    auto* drag = new QDrag(lblDrag);
    drag->setMimeData(dati);
    drag->setPixmap(lblDrag->grab());
    drag->setHotSpot(QPoint(0, 0));
    drag->exec(Qt::CopyAction);
    lblDrag->hide();
    lista->setProperty("tag", QString());
}

void finfrmArdFat::ard_OnDragDrop(const QString& sectionName, const QPointF& position, const QMimeData*, QObject* source)
{
    // Only a field name dragged from the lists makes a field.
    if (!source || source->objectName() != QLatin1String("lblDrag") || sectionName.isEmpty())
        return;
    const QString nome = lblDrag->text();
    const QString lista = lblDrag->property("tag").toString();
    lblDrag->hide();
    if (nome.isEmpty())
        return;
    // Document and page fields go into the header and footer sections, line fields into the detail.
    const bool dettaglio = sectionName.compare(finarpFatBase::kDettaglio, Qt::CaseInsensitive) == 0;
    if ((lista == QLatin1String("0") && dettaglio) || (lista == QLatin1String("1") && !dettaglio))
        return;
    if (lista != QLatin1String("0") && lista != QLatin1String("1"))
        return;

    report::ReportControl campo;
    campo.kind = report::ControlKind::Field;
    campo.name = nome;
    campo.caption = QStringLiteral(".") + nome;
    campo.left = position.x();
    campo.top = position.y();
    campo.height = 285;
    campo.verticalAlignment = report::VerticalAlignment::Middle;
    // The dragged name decides the binding, also when the layout already
    // holds a control of that name and the new one is named otherwise.
    if (nome == kPagina) {
        campo.summaryGroup = finarpFatBase::kTesta;
        campo.summaryRunning = report::SummaryRunning::Group;
        campo.summaryType = report::SummaryType::PageCount;
    } else if (nome == kPagine) {
        campo.summaryGroup = finarpFatBase::kTesta;
        campo.summaryType = report::SummaryType::PageCount;
    } else {
        campo.dataField = nome;
    }
    ard->addControl(sectionName, campo);
}

// ---- selection, label text and font lists ------------------------------

void finfrmArdFat::ard_OnSelectionChange()
{
    if (ard->selectionCount() != 1)
        return;
    const report::ReportControl* c = ard->selectedControl(0);
    if (!c)
        return;
    if (c->kind == report::ControlKind::Label) {
        // Selecting changes nothing: a label gets its middle alignment when it is made.
        txtLabel->setEnabled(true);
        txtLabel->setText(c->caption);
        txtLabel->setBackgroundRole(QPalette::Base);
    } else {
        txtLabel->clear();
        txtLabel->setEnabled(false);
        txtLabel->setBackgroundRole(QPalette::Button);
        if (QAction* select = pulsante(QStringLiteral("tbxSelect")))
            select->setChecked(true);
    }
}

void finfrmArdFat::txtLabel_Change(const QString& text)
{
    if (ard->selectionCount() < 1)
        return;
    try {
        ard->setControlProperty(0, QStringLiteral("Caption"), text);
    } catch (const core::Error&) {
        // Not a control with a caption: nothing to change.
    }
}

void finfrmArdFat::cboFoFontName_Click(const QString& text)
{
    if (!text.trimmed().isEmpty())
        ard->setSelectionFontName(text.trimmed(), tipi(kTipiCarattere));
}

void finfrmArdFat::cboFoFontSize_Click(const QString& text)
{
    bool ok = false;
    const double punti = QLocale::c().toDouble(text.trimmed().replace(QLatin1Char(','), QLatin1Char('.')), &ok);
    if (ok && punti > 0 && punti <= 999)
        ard->setSelectionFontSize(punti, tipi(kTipiCarattere));
}

// ---- toolbars ----------------------------------------------------------

void finfrmArdFat::eseguiTag(QAction* button)
{
    if (!button->data().isValid())
        return;
    const int comando = button->data().toInt();
    ard->executeCommand(comando);
    // A pressed-looking button follows the command, not the click.
    if (const Pulsante* p = descrizione(button->objectName()); p && p->stato != 0)
        AggiornaPulsante(button, p->stato);
    else if (button->isCheckable())
        button->setChecked(false);
}

void finfrmArdFat::tbAlign_OnButtonClick(QAction* button)
{
    eseguiTag(button);
}

void finfrmArdFat::tbFormat_OnButtonClick(QAction* button)
{
    eseguiTag(button);
    const QString key = button->objectName();
    if (key == QLatin1String("tFoFontDialog"))
        dialogoCarattere();
    else if (key == QLatin1String("tFoBackColor") || key == QLatin1String("tFoForeColor")
             || key == QLatin1String("tFoLineColor"))
        dialogoColore(key);
}

void finfrmArdFat::tbToolbox_OnButtonClick(QAction* button)
{
    bool trovato = false;
    const QString tool = strumento(button->objectName(), &trovato);
    if (trovato)
        ard->setInsertTool(tool);
}

void finfrmArdFat::tbStandard_OnButtonClick(QAction* button)
{
    const QString key = button->objectName();
    if (key == QLatin1String("tFSave"))
        Salva();
    else if (key == QLatin1String("tFPrintSetup"))
        margini();
}

void finfrmArdFat::dialogoCarattere()
{
    const report::ReportControl* primo = ard->selectedControl(0);
    if (!tipoIn(primo, kTipiCarattere))
        return;
    QFontDialog dialogo(fontDa(primo->font), this);
    dialogo.setObjectName(QStringLiteral("dlgFont"));
    dialogo.setWindowTitle(QStringLiteral("Carattere"));
    dialogo.setOption(QFontDialog::DontUseNativeDialog);
    dialogo.setCurrentFont(fontDa(primo->font));
    // A cancelled dialog changes nothing.
    if (ui::execModal(&dialogo) != QDialog::Accepted)
        return;
    ard->setSelectionFont(specDa(dialogo.selectedFont()));
}

void finfrmArdFat::dialogoColore(const QString& key)
{
    const bool linea = key == QLatin1String("tFoLineColor");
    const QString& elenco = linea ? kTipiLinea : kTipiColore;
    const report::ReportControl* primo = ard->selectedControl(0);
    if (!tipoIn(primo, elenco))
        return;
    const QColor iniziale = linea                                ? primo->lineColor
                            : key == QLatin1String("tFoForeColor") ? primo->foreColor
                                                                   : primo->backColor;
    QColorDialog dialogo(iniziale, this);
    dialogo.setObjectName(QStringLiteral("dlgColor"));
    dialogo.setWindowTitle(QStringLiteral("Colore"));
    dialogo.setOption(QColorDialog::DontUseNativeDialog);
    // A cancelled dialog changes nothing.
    if (ui::execModal(&dialogo) != QDialog::Accepted)
        return;
    const QColor colore = dialogo.selectedColor();
    if (linea)
        ard->setSelectionLineColor(colore, tipi(kTipiLinea));
    else if (key == QLatin1String("tFoForeColor"))
        ard->setSelectionForeColor(colore, tipi(kTipiColore));
    else
        ard->setSelectionBackColor(colore, tipi(kTipiColore));
}

void finfrmArdFat::margini()
{
    const report::PageSettings pagina = ard->layout().page;
    const report::Margins& m = pagina.margins;
    const finfrmMargini::Risultato r =
        finfrmMargini::Apri(static_cast<std::int32_t>(std::lround(m.right)), static_cast<std::int32_t>(std::lround(m.left)),
                            static_cast<std::int32_t>(std::lround(m.top)), static_cast<std::int32_t>(std::lround(m.bottom)),
                            pagina.pageWidth(), pagina.pageHeight());
    if (r[0].toBool()) {
        report::PageSettings nuova = pagina;
        nuova.margins.right = r[1].toLong();
        nuova.margins.left = r[2].toLong();
        nuova.margins.top = r[3].toLong();
        nuova.margins.bottom = r[4].toLong();
        if (!(nuova == pagina))
            ard->setPageSettings(nuova);
    }
    finfrmMargini::Unload();
}

void finfrmArdFat::ard_OnCommandStateChange(int command)
{
    for (const Pulsante& p : kPulsanti)
        if (p.stato == command)
            if (QAction* a = pulsante(QLatin1String(p.key)))
                AggiornaPulsante(a, command);
    QAction* carattere = pulsante(QStringLiteral("tFoFontDialog"));
    const bool abilitato = carattere && carattere->isEnabled();
    const report::ReportControl* primo = ard->selectedControl(0);
    if (command == report::DesignerCommand::Font) {
        cboFoFontName->setEnabled(abilitato);
        // Switched off, the list shows no font rather than the first of the machine's.
        cboFoFontName->setEditText(abilitato && primo ? primo->font.name : QString());
    } else if (command == report::DesignerCommand::FontSize) {
        cboFoFontSize->setEnabled(abilitato);
        cboFoFontSize->setEditText(QString());
        if (abilitato && primo) {
            const QString testo = testoDimensione(primo->font.size);
            const int voce = cboFoFontSize->findText(testo.rightJustified(2, QLatin1Char(' ')));
            if (voce >= 0) {
                cboFoFontSize->setCurrentIndex(voce);
                // The index may be the one already current, whose text was just cleared.
                cboFoFontSize->setEditText(cboFoFontSize->itemText(voce));
            } else
                cboFoFontSize->setEditText(testo);
        }
    }
}

void finfrmArdFat::AggiornaPulsante(QAction* button, int command)
{
    const int stato = ard->commandState(command);
    // The align-to-grid button only shows its state: it is never pressed by hand.
    if (button->objectName() != QLatin1String("tFoAToGrid"))
        button->setEnabled((stato & report::DesignerCommandState::Available) != 0);
    if (button->isCheckable())
        button->setChecked((stato & report::DesignerCommandState::InForce) != 0);
}

// ---- saving and closing ------------------------------------------------

finfrmArdFat::Esito finfrmArdFat::Salva()
{
    if (m_mode != 0 && m_mode != 1 && m_mode != 2)
        return Esito::Annullato;
    QString nome;
    if (m_mode != 2) {
        if (const Esito esito = chiediNome(nome); esito != Esito::Salvato)
            return esito;
    }
    try {
        const QByteArray bytes = ard->saveLayout();
        if (m_mode == 2) {
            if (const Esito esito = riscrivi(bytes); esito != Esito::Salvato)
                return esito;
        } else {
            insertLayout(session().dataConStr, nome, bytes, stampabile(ard->layout()));
        }
    } catch (const core::Error& e) {
        ui::msgBox(e.text(), ui::vbOKOnly, QStringLiteral("Error: FileSaveAs"));
        return Esito::NonSalvato;
    } catch (const std::exception& e) {
        ui::msgBox(QString::fromLocal8Bit(e.what()), ui::vbOKOnly, QStringLiteral("Error: FileSaveAs"));
        return Esito::NonSalvato;
    }
    ard->setModified(false);
    if (!m_chiusuraProgramma) {
        m_chiusuraProgramma = true;
        close();
    }
    return Esito::Salvato;
}

finfrmArdFat::Esito finfrmArdFat::chiediNome(QString& nome)
{
    nome = ui::inputBox(QStringLiteral("Inserire il nome del nuovo modello"), QString(), QString());
    switch (checkLayoutName(nome)) {
    case LayoutName::Empty: return Esito::Annullato; // no name, or the prompt was cancelled
    case LayoutName::TooLong:
        avvisa(QStringLiteral("Il nome del modello non può superare gli %1 caratteri: ne sono stati scritti %2.\n"
                              "Il modello non è stato salvato.")
                   .arg(kLayoutNameMax)
                   .arg(nome.size()));
        return Esito::NonSalvato;
    case LayoutName::Valid: break;
    }
    return Esito::Salvato;
}

finfrmArdFat::Esito finfrmArdFat::comeNuovo(const QByteArray& bytes)
{
    QString nome;
    // Whatever ends the prompt, the design stays on the surface: it exists nowhere else.
    if (chiediNome(nome) != Esito::Salvato)
        return Esito::NonSalvato;
    insertLayout(session().dataConStr, nome, bytes, stampabile(ard->layout()));
    return Esito::Salvato;
}

finfrmArdFat::Esito finfrmArdFat::riscrivi(const QByteArray& bytes)
{
    // The row is written over only while it holds what this window read from
    // it; a row deleted or saved from elsewhere meanwhile is the user's call.
    QByteArray atteso = m_letti;
    for (;;) {
        switch (rewriteLayout(session().dataConStr, m_id, atteso, bytes, stampabile(ard->layout()))) {
        case LayoutRewrite::Written: return Esito::Salvato;
        case LayoutRewrite::Gone:
            if (ui::msgBox(QStringLiteral("Il modello è stato eliminato dall'elenco mentre era aperto nel designer.\n"
                                          "Salvarlo come nuovo modello?"),
                           ui::vbYesNo | ui::vbQuestion, AppTitle())
                != ui::vbYes)
                return Esito::NonSalvato;
            return comeNuovo(bytes);
        case LayoutRewrite::Changed: {
            const int risposta = ui::msgBox(
                QStringLiteral("Il modello è stato salvato da un altro programma dopo che è stato aperto qui.\n\n"
                               "Sì: sostituire quel salvataggio con questo modello\n"
                               "No: salvare questo modello come nuovo modello\n"
                               "Annulla: non salvare"),
                ui::vbYesNoCancel | ui::vbExclamation, AppTitle());
            if (risposta == ui::vbNo)
                return comeNuovo(bytes);
            if (risposta != ui::vbYes)
                return Esito::NonSalvato;
            // Over what the user agreed to replace, and nothing newer.
            try {
                atteso = readLayout(session().dataConStr, m_id);
            } catch (const core::Error&) {
                atteso.clear(); // gone meanwhile: the next round tells it
            }
            break;
        }
        }
    }
}

void finfrmArdFat::closeEvent(QCloseEvent* event)
{
    if (m_chiusuraProgramma) {
        event->accept();
        return;
    }
    const int risposta = ui::msgBox(QStringLiteral("Salvare le modifiche effettuate?"), ui::vbYesNoCancel, AppTitle());
    if (risposta == ui::vbCancel) {
        event->ignore();
        return;
    }
    if (risposta == ui::vbYes) {
        // Salva must not close the window itself: this close goes on from here.
        m_chiusuraProgramma = true;
        const Esito esito = Salva();
        if (esito == Esito::NonSalvato) {
            // Nothing was written: the layout stays on the surface.
            m_chiusuraProgramma = false;
            event->ignore();
            return;
        }
    }
    m_chiusuraProgramma = true;
    event->accept();
}
