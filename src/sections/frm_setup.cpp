#include "sections/frm_setup.h"

#include "common/FormLifetime.h"
#include "common/MainWindowLink.h"
#include "domain/LayoutStore.h"
#include "domain/Professionals.h"
#include "domain/SectionPasswords.h"
#include "masterdata/InputFilter.h"
#include "platform/core/Error.h"
#include "platform/core/Format.h"
#include "platform/grid/GridColumn.h"
#include "platform/grid/GridEx.h"
#include "platform/ui/DataBinding.h"
#include "platform/ui/Dialogs.h"
#include "platform/ui/EnterAsTab.h"
#include "startup/Section.h"
#include "startup/SharedState.h"
#include "platform/ui/TextInput.h"

#include <QApplication>
#include <QBuffer>
#include <QCheckBox>
#include <QFocusEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QImage>
#include <QImageReader>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPixmap>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QTimer>
#include <QVBoxLayout>

namespace {

bool gSalvato = false;

const QString kFormatoPercentuale = QStringLiteral("#,##0.00;-#,##0.00;0.00");
// A logo is printed a few centimetres wide: a larger picture only weighs on the database.
constexpr int kLatoMassimoLogo = 1200;

// Columns of the bound text boxes, by index.
const char* const kCampi[] = {
    "sezTitolo",   "sezNome",     "sezCognome",  "sezRitPrePerc", "sezRitPreDesc", "sezRitAccPerc", "sezRitAccPercSuImp",
    "modFatInt05", "modFatInt06", "modFatInt01", "modFatInt02",   "modFatInt03",   "modFatInt04",   "modFatPie01",
    "modFatPie02", "modFatPie03", "modFatPie04", "modFatPie05",   "modFatPie06",
};
constexpr int kTesti = 19;
constexpr int kUltimoSezioni = 6; // txtData(0) to (6) belong to Sezioni, the rest to SezioniModelli

bool numerico(int index)
{
    return index == 3 || index == 5 || index == 6;
}

bool obbligatorio(int index)
{
    return index == 1 || index == 2;
}

} // namespace

QByteArray frm_setup::LogoComeBitmap(const QImage& image)
{
    if (image.isNull())
        return {};
    QImage img = image;
    if (img.width() > kLatoMassimoLogo || img.height() > kLatoMassimoLogo)
        img = img.scaled(kLatoMassimoLogo, kLatoMassimoLogo, Qt::KeepAspectRatio, Qt::SmoothTransformation);
    // A bitmap has no transparency: what was transparent prints on white paper as white.
    QImage opaca(img.size(), QImage::Format_RGB32);
    opaca.fill(Qt::white);
    {
        QPainter p(&opaca);
        p.drawImage(0, 0, img);
    }
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    if (!opaca.save(&buffer, "BMP"))
        return {};
    return bytes;
}

frm_setup::frm_setup()
{
    setObjectName(QStringLiteral("frm_setup"));
    setWindowTitle(QStringLiteral("Professionista"));
    setModal(true);
    m_bindSez = new ui::DataBinding(this);
    m_bindMod = new ui::DataBinding(this);

    txtData.resize(kTesti);
    m_didascalie.resize(kTesti);
    for (int i = 0; i < kTesti; ++i) {
        txtData[i] = new QLineEdit(this);
        txtData[i]->setObjectName(QStringLiteral("txtData(%1)").arg(i));
        txtData[i]->installEventFilter(this);
        if (numerico(i)) {
            txtData[i]->setValidator(InputFilter::numeroDecimale(txtData[i]));
            txtData[i]->setAlignment(Qt::AlignRight);
            txtData[i]->setMaximumWidth(90);
        }
    }
    for (int i = 0; i < 3; ++i) {
        chkData.push_back(new QCheckBox(this));
        chkData[i]->setObjectName(QStringLiteral("chkData(%1)").arg(i));
    }
    chkData[0]->setText(QStringLiteral("Contributo previdenziale soggetto alla ritenuta d'acconto"));
    chkData[1]->setText(QStringLiteral("Visualizza"));
    chkData[2]->setText(QStringLiteral("Visualizza"));
    chkData[0]->installEventFilter(this);

    lblAdmin = new QLabel(QStringLiteral(" amministratore   di sistema"), this);
    lblAdmin->setObjectName(QStringLiteral("lblAdmin"));
    {
        QFont f = lblAdmin->font();
        f.setBold(true);
        lblAdmin->setFont(f);
    }
    auto* nomi = new QGridLayout;
    const char* const didascalieNomi[] = {"Titolo:", "Nome:", "Cognome:"};
    for (int i = 0; i < 3; ++i) {
        m_didascalie[i] = new QLabel(QString::fromUtf8(didascalieNomi[i]), this);
        nomi->addWidget(m_didascalie[i], i, 0);
        nomi->addWidget(txtData[i], i, 1);
    }
    txtData[0]->setMaximumWidth(120);
    nomi->addWidget(lblAdmin, 0, 2, Qt::AlignRight);
    nomi->setColumnStretch(1, 1);

    SSTab1 = new QTabWidget(this);
    SSTab1->setObjectName(QStringLiteral("SSTab1"));
    SSTab1->addTab(creaParametri(), QStringLiteral("Parametri di Calcolo"));
    SSTab1->addTab(creaAspetto(), QStringLiteral("Aspetto della Fattura"));
    SSTab1->addTab(creaPassword(), QStringLiteral("Password"));

    cmdSave = new QPushButton(QStringLiteral("Salva"), this);
    cmdSave->setObjectName(QStringLiteral("cmdSave"));
    cmdCancel = new QPushButton(QStringLiteral("Annulla"), this);
    cmdCancel->setObjectName(QStringLiteral("cmdCancel"));
    for (QPushButton* b : {cmdSave, cmdCancel, cmdopenimg, cmderaseimg})
        b->setAutoDefault(true);
    auto* bottoni = new QHBoxLayout;
    bottoni->addStretch();
    bottoni->addWidget(cmdSave);
    bottoni->addWidget(cmdCancel);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(nomi);
    layout->addWidget(SSTab1, 1);
    layout->addLayout(bottoni);
    resize(680, 540);

    // Form_Load: both tab controls on their first tab, no Close in the frame.
    SSTab1->setCurrentIndex(0);
    SSTab2->setCurrentIndex(0);
    RimuoviChiudi(this);
    ui::installEnterAsTab(this, ui::EnterOnTextBoxes | ui::EnterOnCheckBoxes);

    for (int i = 0; i < 3; ++i) {
        connect(optLogoTipo[i], &QRadioButton::toggled, this, [this] { AggiornaVisibilita(); });
        connect(chkData[i], &QCheckBox::toggled, this, [this] { AggiornaVisibilita(); });
    }
    connect(cmdopenimg, &QPushButton::clicked, this, [this] { cmdopenimg_Click(); });
    connect(cmderaseimg, &QPushButton::clicked, this, [this] { cmderaseimg_Click(); });
    connect(cmdSave, &QPushButton::clicked, this, [this] { cmdSave_Click(); });
    connect(cmdCancel, &QPushButton::clicked, this, [this] { cmdCancel_Click(); });
    // txtData_Validate: a required name or a number that is not one keeps the focus (Annulla excepted).
    connect(qApp, &QApplication::focusChanged, this, [this](QWidget* old, QWidget* now) {
        if (!isVisible() || !old || !now || now->window() != this || now == cmdCancel)
            return;
        const int i = txtData.indexOf(qobject_cast<QLineEdit*>(old));
        if (i >= 0 && !campoValido(i))
            mostraCampo(old);
    });
}

QWidget* frm_setup::creaParametri()
{
    auto* pagina = new QWidget;
    auto* contributo = new QGroupBox(QStringLiteral("Contributo previdenziale (soggettivo)"), pagina);
    auto* g1 = new QGridLayout(contributo);
    m_didascalie[3] = new QLabel(QStringLiteral("Percentuale contributo previdenziale:"), contributo);
    g1->addWidget(m_didascalie[3], 0, 0);
    g1->addWidget(txtData[3], 0, 1);
    g1->addWidget(new QLabel(QStringLiteral("%"), contributo), 0, 2);
    m_didascalie[4] = new QLabel(QStringLiteral("Descrizione in fattura:"), contributo);
    g1->addWidget(m_didascalie[4], 1, 0);
    g1->addWidget(txtData[4], 1, 1, 1, 3);
    g1->setColumnStretch(3, 1);

    auto* ritenuta = new QGroupBox(QStringLiteral("Ritenuta d'acconto"), pagina);
    auto* g2 = new QGridLayout(ritenuta);
    m_didascalie[5] = new QLabel(QStringLiteral("Percentuale ritenuta d'acconto:"), ritenuta);
    g2->addWidget(m_didascalie[5], 0, 0);
    g2->addWidget(txtData[5], 0, 1);
    g2->addWidget(new QLabel(QStringLiteral("%"), ritenuta), 0, 2);
    m_didascalie[6] = new QLabel(QStringLiteral("sul:"), ritenuta);
    g2->addWidget(m_didascalie[6], 1, 0, Qt::AlignRight);
    g2->addWidget(txtData[6], 1, 1);
    g2->addWidget(new QLabel(QStringLiteral("%"), ritenuta), 1, 2);
    g2->addWidget(new QLabel(QStringLiteral("dell'imponibile"), ritenuta), 1, 3);
    g2->addWidget(chkData[0], 2, 0, 1, 4);
    g2->setColumnStretch(3, 1);

    auto* layout = new QVBoxLayout(pagina);
    layout->addWidget(contributo);
    layout->addWidget(ritenuta);
    layout->addStretch();
    return pagina;
}

QWidget* frm_setup::creaAspetto()
{
    auto* pagina = new QWidget;
    SSTab2 = new QTabWidget(pagina);
    SSTab2->setObjectName(QStringLiteral("SSTab2"));

    // Logo.
    auto* logo = new QWidget;
    auto* tipo = new QGroupBox(QStringLiteral("Tipo Logo"), logo);
    auto* tipi = new QVBoxLayout(tipo);
    const char* const nomiTipo[] = {"Assente (foglio già intestato)", "Grafico", "Testuale"};
    for (int i = 0; i < 3; ++i) {
        optLogoTipo.push_back(new QRadioButton(QString::fromUtf8(nomiTipo[i]), tipo));
        optLogoTipo[i]->setObjectName(QStringLiteral("optLogoTipo(%1)").arg(i));
        tipi->addWidget(optLogoTipo[i]);
    }
    tipi->addStretch();
    picData = new QLabel(logo);
    picData->setObjectName(QStringLiteral("picData"));
    picData->setFixedSize(300, 120);
    picData->setFrameShape(QFrame::StyledPanel);
    picData->setAlignment(Qt::AlignCenter);
    picData->setAutoFillBackground(true);
    {
        QPalette p = picData->palette();
        p.setColor(QPalette::Window, Qt::white);
        picData->setPalette(p);
    }
    cmdopenimg = new QPushButton(QStringLiteral("Inserisci Immagine"), logo);
    cmdopenimg->setObjectName(QStringLiteral("cmdopenimg"));
    cmderaseimg = new QPushButton(QStringLiteral("Elimina"), logo);
    cmderaseimg->setObjectName(QStringLiteral("cmderaseimg"));
    m_didascalie[7] = new QLabel(QStringLiteral("(Intestazione01)"), logo);
    m_didascalie[8] = new QLabel(QStringLiteral("(Intestazione02)"), logo);
    auto* gl = new QGridLayout(logo);
    gl->addWidget(tipo, 0, 0, 3, 1);
    gl->addWidget(picData, 0, 1, 1, 2);
    auto* bottoniLogo = new QHBoxLayout;
    bottoniLogo->addWidget(cmdopenimg);
    bottoniLogo->addWidget(cmderaseimg);
    bottoniLogo->addStretch();
    gl->addLayout(bottoniLogo, 1, 1, 1, 2);
    auto* testo = new QGridLayout;
    testo->addWidget(m_didascalie[7], 0, 0);
    testo->addWidget(txtData[7], 0, 1);
    testo->addWidget(m_didascalie[8], 1, 0);
    testo->addWidget(txtData[8], 1, 1);
    gl->addLayout(testo, 3, 0, 1, 3);
    gl->setColumnStretch(2, 1);
    gl->setRowStretch(4, 1);
    SSTab2->addTab(logo, QStringLiteral("Logo"));

    // Heading and footer lines.
    auto righe = [&](QCheckBox* visualizza, int primo, int quanti, int primaDidascalia) {
        auto* w = new QWidget;
        auto* g = new QGridLayout(w);
        g->addWidget(visualizza, 0, 0, 1, 2);
        for (int k = 0; k < quanti; ++k) {
            const int i = primo + k;
            m_didascalie[i] = new QLabel(QStringLiteral("(Intestazione%1)").arg(primaDidascalia + k, 2, 10, QLatin1Char('0')), w);
            g->addWidget(m_didascalie[i], k + 1, 0);
            g->addWidget(txtData[i], k + 1, 1);
        }
        g->setColumnStretch(1, 1);
        g->setRowStretch(quanti + 1, 1);
        return w;
    };
    SSTab2->addTab(righe(chkData[1], 9, 4, 3), QStringLiteral("Intestazione (testo)"));
    SSTab2->addTab(righe(chkData[2], 13, 6, 7), QStringLiteral("Piede (testo)"));

    // Layouts by document kind.
    auto* modelli = new QWidget;
    gex = new grid::GridEx(modelli);
    gex->setObjectName(QStringLiteral("gex"));
    gex->setNavigatorVisible(true);
    gex->setNavigatorTexts(QStringLiteral("Record:|di"));
    gex->setFont(QFont(QStringLiteral("Verdana"), font().pointSize()));
    gexmod = new grid::GridEx(modelli);
    gexmod->setObjectName(QStringLiteral("gexmod"));
    gexmod->setLockType(db::LockType::ReadOnly);
    gexmod->setAllowEdit(false);
    gexmod->hide(); // only the drop-down list of the layout column
    // A list that could not be read is told, not shown empty as if there were nothing.
    connect(gexmod, &grid::GridEx::error, this, [](long, const QString& description) {
        ui::msgBox(QStringLiteral("Impossibile leggere l'elenco dei modelli di stampa.\n") + description, ui::vbOKOnly | ui::vbExclamation, AppTitle());
    });
    auto* gm = new QVBoxLayout(modelli);
    gm->addWidget(gex);
    SSTab2->addTab(modelli, QStringLiteral("Associazione modelli"));

    auto* layout = new QVBoxLayout(pagina);
    layout->addWidget(SSTab2);
    return pagina;
}

QWidget* frm_setup::creaPassword()
{
    auto* pagina = new QWidget;
    auto* g = new QGridLayout(pagina);
    const char* const didascalie[] = {"Nuova Password", "Nuova Password (inserire di nuovo)"};
    for (int i = 0; i < 2; ++i) {
        txtPass[i] = new QLineEdit(pagina);
        txtPass[i]->setObjectName(QStringLiteral("txtPass(%1)").arg(i));
        txtPass[i]->setEchoMode(QLineEdit::Password);
        ui::setTextLimit(txtPass[i], 128);
        g->addWidget(new QLabel(QString::fromUtf8(didascalie[i]), pagina), i, 0);
        g->addWidget(txtPass[i], i, 1);
    }
    auto* nota = new QLabel(QStringLiteral("Lasciare vuote le due caselle per conservare la password attuale."), pagina);
    nota->setWordWrap(true);
    g->addWidget(nota, 2, 0, 1, 2);
    g->setRowStretch(3, 1);
    g->setColumnStretch(1, 1);
    return pagina;
}

void frm_setup::Apri(std::int32_t sezId)
{
    frm_setup* f = instance();
    gSalvato = false;
    if (!f->apriDati(sezId)) {
        Unload();
        return;
    }
    f->CollegaControlli();
    f->AggiornaVisibilita();
    f->lblAdmin->setVisible(sezId == 1);
    if (QWidget* principale = MainWindowWidget(); principale && f->parentWidget() != principale)
        f->setParent(principale, f->windowFlags());
    ui::execModal(f);
    Unload();
    if (gSalvato) {
        CaricaSezione();
        RefreshMainWindow();
    }
}

bool frm_setup::apriDati(std::int32_t sezId)
{
    m_sezId = sezId;
    try {
        // A section without its print page row or assignments gets them now, so all of it can be edited.
        ensureSectionRows(session().dataConStr, sezId);
        if (!m_dati.open(session().dataConStr, sezId)) {
            ui::msgBox(QStringLiteral("Il professionista non esiste più nel database."), ui::vbExclamation, AppTitle());
            return false;
        }

        gexmod->setConnectionString(session().dataConStr);
        gexmod->setRecordSource(layoutChoiceQuery());
        gexmod->rebind(true);
        if (gexmod->columnCount() >= 1)
            gexmod->column(1).setVisible(false);
        gex->setConnectionString(session().dataConStr);
        // One row per kind, in the order they were made, as the assignment window shows them.
        gex->setRecordSource(assignmentQuery(sezId));
        gex->setLockType(db::LockType::BatchOptimistic);
        gex->setAllowEdit(true);
        gex->setAllowAddNew(false);
        gex->setAllowDelete(false);
        if (!gex->rebind(true))
            return false;
    } catch (const core::Error& e) {
        ui::msgBox(QStringLiteral("Impossibile leggere i dati del professionista.") + QStringLiteral("\r\n") + e.text(),
                   ui::vbCritical, AppTitle());
        return false;
    }
    gex->column(QStringLiteral("sezId")).setVisible(false);
    gex->column(QStringLiteral("fnrId")).setVisible(false);
    grid::GridColumn modello = gex->column(QStringLiteral("fnrfinId"));
    modello.setCaption(QStringLiteral("Modello"));
    modello.setDropDown(gexmod, QStringLiteral("finId"), QStringLiteral("finNome"));
    modello.setWidth(3600);
    grid::GridColumn tipo = gex->column(QStringLiteral("fnrDocType"));
    tipo.setCaption(QStringLiteral("Tipo documento"));
    tipo.setValueList({{core::Variant(std::int32_t(0)), QStringLiteral("Fattura")},
                       {core::Variant(std::int32_t(1)), QStringLiteral("Nota di Credito")},
                       {core::Variant(std::int32_t(2)), QStringLiteral("Pro Forma")}});
    // Two rows of one kind and none of another would leave a kind without its layout.
    tipo.setEditable(false);
    tipo.setWidth(2400);
    return true;
}

void frm_setup::CollegaControlli()
{
    m_bindSez->clear();
    m_bindMod->clear();
    m_bindSez->setRecordset(m_dati.section());
    m_bindMod->setRecordset(m_dati.page());
    for (int i = 0; i < kTesti; ++i) {
        ui::DataBinding* binding = i <= kUltimoSezioni ? m_bindSez : m_bindMod;
        binding->bind(txtData[i], QString::fromLatin1(kCampi[i]), numerico(i) ? kFormatoPercentuale : QString());
    }
    m_bindSez->bind(chkData[0], QStringLiteral("sezRitAccSuRitPre"));
    m_bindMod->bind(chkData[1], QStringLiteral("modFatInt"));
    m_bindMod->bind(chkData[2], QStringLiteral("modFatPie"));
    const core::Variant tipo = m_dati.pageValue(QStringLiteral("modFatIntTipo"));
    const int t = tipo.isEmptyOrNull() ? 0 : static_cast<int>(tipo.toLong());
    for (int i = 0; i < 3; ++i)
        optLogoTipo[i]->setChecked(t == i);
    m_logo = m_dati.pageValue(QStringLiteral("modFatIntLogo")).toBytes();
    m_logoCambiato = false;
    mostraLogo();
    for (QLineEdit* p : txtPass)
        p->clear();
}

void frm_setup::AggiornaVisibilita()
{
    const bool grafico = optLogoTipo[1]->isChecked();
    const bool testuale = optLogoTipo[2]->isChecked();
    picData->setVisible(grafico);
    cmdopenimg->setVisible(grafico);
    cmderaseimg->setVisible(grafico);
    for (int i : {7, 8}) {
        txtData[i]->setVisible(testuale);
        m_didascalie[i]->setVisible(testuale);
    }
    for (int i = 9; i <= 12; ++i) {
        txtData[i]->setVisible(chkData[1]->isChecked());
        m_didascalie[i]->setVisible(chkData[1]->isChecked());
    }
    for (int i = 13; i <= 18; ++i) {
        txtData[i]->setVisible(chkData[2]->isChecked());
        m_didascalie[i]->setVisible(chkData[2]->isChecked());
    }
}

void frm_setup::mostraLogo()
{
    QImage img;
    if (!m_logo.isEmpty())
        img.loadFromData(m_logo);
    if (img.isNull()) {
        picData->setPixmap(QPixmap());
        picData->setText(m_logo.isEmpty() ? QString() : QStringLiteral("(immagine non leggibile)"));
        return;
    }
    picData->setText(QString());
    picData->setPixmap(QPixmap::fromImage(img).scaled(picData->size() - QSize(6, 6), Qt::KeepAspectRatio, Qt::SmoothTransformation));
}

void frm_setup::cmdopenimg_Click()
{
    ui::FileDialogOptions o;
    o.title = QStringLiteral("Immagine Intestazione Fattura");
    o.filter = QStringLiteral("File grafico (*.bmp;*.gif;*.jpg;*.jpeg;*.png)|*.bmp;*.gif;*.jpg;*.jpeg;*.png");
    o.initialDir = session().cartellaImmagini.isEmpty() ? AppPath() : session().cartellaImmagini;
    const QString file = ui::getOpenFileName(o);
    // Cancelled: the picture shown stays.
    if (file.isEmpty())
        return;
    QImageReader lettore(file);
    lettore.setAutoTransform(true);
    const QImage img = lettore.read();
    const QByteArray bitmap = LogoComeBitmap(img);
    if (bitmap.isEmpty()) {
        ui::msgBox(QStringLiteral("Errore nel caricamento del file grafico"), ui::vbOKOnly, AppTitle());
        return;
    }
    m_logo = bitmap;
    m_logoCambiato = true;
    mostraLogo();
}

void frm_setup::cmderaseimg_Click()
{
    m_logo.clear();
    m_logoCambiato = true;
    mostraLogo();
}

bool frm_setup::campoValido(int index) const
{
    const QString testo = txtData[index]->text().trimmed();
    if (obbligatorio(index))
        return !testo.isEmpty();
    if (numerico(index)) {
        const std::optional<double> valore = core::parseTypedNumber(testo);
        return valore && *valore >= 0.0 && *valore <= 100.0;
    }
    return true;
}

void frm_setup::mostraCampo(QWidget* campo)
{
    static bool riportando = false;
    if (riportando)
        return;
    riportando = true;
    for (QTabWidget* tab : {SSTab1, SSTab2}) {
        for (int i = 0; i < tab->count(); ++i)
            if (tab->widget(i)->isAncestorOf(campo))
                tab->setCurrentIndex(i);
    }
    campo->setFocus(Qt::OtherFocusReason);
    riportando = false;
}

bool frm_setup::controllaCampi()
{
    for (int i = 0; i < kTesti; ++i) {
        if (campoValido(i))
            continue;
        mostraCampo(txtData[i]);
        ui::msgBox(obbligatorio(i) ? QStringLiteral("Indicare il nome e il cognome del professionista.")
                                   : QStringLiteral("Indicare una percentuale valida."),
                   ui::vbExclamation, AppTitle());
        return false;
    }
    return true;
}

bool frm_setup::SalvaPassword(core::Variant& daScrivere)
{
    daScrivere = core::Variant::null();
    const QString nuova = txtPass[0]->text();
    if (nuova.isEmpty())
        // An empty pair never clears a password.
        return txtPass[1]->text().isEmpty();
    if (nuova != txtPass[1]->text())
        return false;
    daScrivere = passwordToStore(nuova);
    return true;
}

void frm_setup::cmdSave_Click()
{
    if (ui::msgBox(QStringLiteral("Salvare le modifiche effettuate?"), ui::vbYesNo | ui::vbQuestion, AppTitle()) != ui::vbYes) {
        cmdCancel_Click();
        return;
    }
    if (!controllaCampi())
        return;
    core::Variant password;
    try {
        if (!SalvaPassword(password)) {
            ui::msgBox(QStringLiteral("Password errata...."), ui::vbOKOnly, AppTitle());
            SSTab1->setCurrentIndex(2);
            txtPass[0]->setFocus();
            return;
        }
    } catch (const core::Error& e) {
        ui::msgBox(e.text(), ui::vbCritical, AppTitle());
        return;
    }
    if (gex->isEditingRow() && !gex->commitRowEdit())
        return;

    try {
        int tipo = 0;
        for (int i = 0; i < 3; ++i)
            if (optLogoTipo[i]->isChecked())
                tipo = i;
        // "Elimina" clears the stored picture; a new one replaces it; otherwise it stays as stored.
        m_dati.save(session().dataConStr, gex->recordset(), static_cast<std::int16_t>(tipo),
                    m_logoCambiato ? std::optional<QByteArray>(m_logo) : std::nullopt, password);
    } catch (const core::Error& e) {
        ui::msgBox(QStringLiteral("Le modifiche non sono state salvate.") + QStringLiteral("\r\n") + saveFailureText(e),
                   ui::vbCritical, AppTitle());
        return;
    }
    gSalvato = true;
    chiudiDati();
    hide();
}

void frm_setup::cmdCancel_Click()
{
    m_dati.cancel(gex->recordset());
    gex->cancelRowEdit();
    chiudiDati();
    hide();
}

void frm_setup::chiudiDati()
{
    m_bindSez->clear();
    m_bindMod->clear();
    m_dati.close();
}

void frm_setup::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Escape) {
        cmdCancel_Click();
        return;
    }
    QDialog::keyPressEvent(event);
}

bool frm_setup::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::FocusIn) {
        // A box entered shows its whole text selected, ready to be typed over.
        if (auto* box = qobject_cast<QLineEdit*>(watched); box && txtData.contains(box))
            QTimer::singleShot(0, box, [box] {
                if (box->hasFocus())
                    box->selectAll();
            });
    } else if (event->type() == QEvent::FocusOut && watched == chkData[0]
               && static_cast<QFocusEvent*>(event)->reason() == Qt::TabFocusReason) {
        // The last field of the first tab leads on to the logo.
        QTimer::singleShot(0, this, [this] {
            SSTab1->setCurrentIndex(1);
            SSTab2->setCurrentIndex(0);
            for (QRadioButton* o : optLogoTipo)
                if (o->isChecked())
                    o->setFocus(Qt::TabFocusReason);
        });
    }
    return QDialog::eventFilter(watched, event);
}
