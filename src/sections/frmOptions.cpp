#include "sections/frmOptions.h"

#include "common/comUtility.h"
#include "common/FormLifetime.h"
#include "common/MainWindowLink.h"
#include "common/comDateLib.h"
#include "domain/Counters.h"
#include "masterdata/InputFilter.h"
#include "platform/core/Error.h"
#include "platform/core/Format.h"
#include "platform/grid/GridColumn.h"
#include "platform/grid/GridEx.h"
#include "platform/ui/CloseGuard.h"
#include "platform/ui/DateBox.h"
#include "platform/ui/Dialogs.h"
#include "platform/ui/EnterAsTab.h"
#include "startup/SharedState.h"
#include "platform/ui/TextInput.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QTabWidget>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>
#include <limits>

namespace {

QChar cifra(QChar c)
{
    return c >= QLatin1Char('0') && c <= QLatin1Char('9') ? c : QChar();
}

// Unaccented letters, typed in upper case: a series prefix.
QChar lettera(QChar c)
{
    const char16_t u = c.unicode();
    if ((u >= 'A' && u <= 'Z') || (u >= 'a' && u <= 'z'))
        return c.toUpper();
    return {};
}

QString nomeSerie(const QString& prefisso)
{
    return prefisso.isEmpty() ? QStringLiteral("principale") : QStringLiteral("\"") + prefisso + QStringLiteral("\"");
}

} // namespace

frmOptions::frmOptions()
{
    setObjectName(QStringLiteral("frmOptions"));
    setWindowTitle(QStringLiteral("Opzioni"));
    setModal(true);

    tbs = new QTabWidget(this);
    tbs->setObjectName(QStringLiteral("tbs"));

    auto* generale = new QWidget(tbs);
    tbs->addTab(generale, QStringLiteral("Generale"));

    auto* numerazione = new QWidget(tbs);
    txtSezione = new QLineEdit(numerazione);
    txtSezione->setObjectName(QStringLiteral("txtSezione"));
    txtSezione->setToolTip(QStringLiteral("Lettere della serie; vuoto per la numerazione principale"));
    ui::setTextLimit(txtSezione, 10);
    txtSezione->setValidator(new InputFilter(txtSezione, lettera));
    txtProg = new QLineEdit(numerazione);
    txtProg->setObjectName(QStringLiteral("txtProg(0)"));
    ui::setTextLimit(txtProg, kMaxCounterDigits);
    txtProg->setAlignment(Qt::AlignRight);
    txtProg->setValidator(new InputFilter(txtProg, cifra));
    auto* upDown = new QWidget(numerazione);
    upDown->setObjectName(QStringLiteral("UpDown1(0)"));
    m_su = new QToolButton(upDown);
    m_su->setArrowType(Qt::UpArrow);
    m_su->setAutoRepeat(true);
    m_giu = new QToolButton(upDown);
    m_giu->setArrowType(Qt::DownArrow);
    m_giu->setAutoRepeat(true);
    for (QToolButton* b : {m_su, m_giu}) {
        b->setFocusPolicy(Qt::NoFocus);
        b->setFixedSize(18, 12);
    }
    auto* frecce = new QVBoxLayout(upDown);
    frecce->setContentsMargins(0, 0, 0, 0);
    frecce->setSpacing(0);
    frecce->addWidget(m_su);
    frecce->addWidget(m_giu);
    lblAnno = new QLabel(numerazione);
    lblAnno->setObjectName(QStringLiteral("lblAnno"));
    gexCounters = new grid::GridEx(numerazione);
    gexCounters->setObjectName(QStringLiteral("gexCounters"));
    gexCounters->setLockType(db::LockType::ReadOnly);
    gexCounters->setAllowEdit(false);
    gexCounters->setFocusPolicy(Qt::NoFocus);
    // A list that could not be read is told, not shown empty as if there were nothing.
    connect(gexCounters, &grid::GridEx::error, this, [](long, const QString& description) {
        ui::msgBox(QStringLiteral("Impossibile leggere i contatori.\n") + description, ui::vbOKOnly | ui::vbExclamation, AppTitle());
    });
    auto* grigliaNum = new QGridLayout(numerazione);
    grigliaNum->addWidget(new QLabel(QStringLiteral("Serie:"), numerazione), 0, 0);
    grigliaNum->addWidget(txtSezione, 0, 1);
    grigliaNum->addWidget(new QLabel(QStringLiteral("Ultimo Numero Fattura:"), numerazione), 1, 0);
    auto* numero = new QHBoxLayout;
    numero->setSpacing(2);
    numero->addWidget(txtProg);
    numero->addWidget(upDown);
    numero->addWidget(lblAnno);
    numero->addStretch();
    grigliaNum->addLayout(numero, 1, 1);
    grigliaNum->addWidget(new QLabel(QStringLiteral("Riepilogo:"), numerazione), 2, 0, 1, 2);
    grigliaNum->addWidget(gexCounters, 3, 0, 1, 2);
    grigliaNum->setRowStretch(3, 1);
    grigliaNum->setColumnStretch(1, 1);
    tbs->addTab(numerazione, QStringLiteral("Numerazione Documenti"));

    auto* stampanti = new QWidget(tbs);
    tbs->addTab(stampanti, QStringLiteral("Stampanti"));

    auto* dataLavoro = new QWidget(tbs);
    dtp = new ui::DateBox(dataLavoro);
    dtp->setObjectName(QStringLiteral("dtp"));
    dtp->setDateRange(QDate(1900, 1, 1), QDate(9999, 12, 31));
    cmdData[0] = new QPushButton(dataLavoro);
    cmdData[1] = new QPushButton(QStringLiteral("Oggi"), dataLavoro);
    for (int i = 0; i < 2; ++i)
        cmdData[i]->setObjectName(QStringLiteral("cmdData(%1)").arg(i));
    cmdData[0]->setToolTip(QStringLiteral("Fine dell'anno precedente la data di lavoro"));
    auto* grigliaData = new QGridLayout(dataLavoro);
    grigliaData->addWidget(new QLabel(QStringLiteral("Data di lavoro:"), dataLavoro), 0, 0);
    grigliaData->addWidget(dtp, 0, 1);
    auto* bottoniData = new QHBoxLayout;
    bottoniData->addWidget(cmdData[0]);
    bottoniData->addWidget(cmdData[1]);
    bottoniData->addStretch();
    grigliaData->addLayout(bottoniData, 1, 1);
    grigliaData->setRowStretch(2, 1);
    grigliaData->setColumnStretch(2, 1);
    tbs->addTab(dataLavoro, QStringLiteral("Data di lavoro"));

    cmdSalva = new QPushButton(QStringLiteral("Salva"), this);
    cmdSalva->setObjectName(QStringLiteral("cmdSalva"));
    cmdAnnulla = new QPushButton(QStringLiteral("Annulla"), this);
    cmdAnnulla->setObjectName(QStringLiteral("cmdAnnulla"));
    ui::ignoresTypedDates(cmdAnnulla);
    for (QPushButton* b : {cmdData[0], cmdData[1], cmdSalva, cmdAnnulla})
        b->setAutoDefault(true);
    auto* bottoni = new QHBoxLayout;
    bottoni->addStretch();
    bottoni->addWidget(cmdSalva);
    bottoni->addWidget(cmdAnnulla);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(tbs, 1);
    layout->addLayout(bottoni);
    resize(460, 360);

    // Form_Load: every page hidden; each entry point shows its own.
    for (int i = 0; i < tbs->count(); ++i)
        tbs->setTabVisible(i, false);
    RimuoviChiudi(this);
    ui::installEnterAsTab(this, ui::EnterOnTextBoxes | ui::EnterOnCheckBoxes | ui::EnterOnComboBoxes | ui::EnterOnSpinBoxes);

    connect(txtSezione, &QLineEdit::textChanged, this, [this] { txtSezione_Change(); });
    // Only the user's typing counts as a change; the number the dialog fills in does not.
    connect(txtProg, &QLineEdit::textEdited, this, [this] { m_cambiato[Numerazione] = true; });
    connect(m_su, &QToolButton::clicked, this, [this] { UpDown1_Click(1); });
    connect(m_giu, &QToolButton::clicked, this, [this] { UpDown1_Click(-1); });
    connect(dtp, &ui::DateBox::dateEdited, this, [this] { m_cambiato[DataLavoro] = true; });
    for (int i = 0; i < 2; ++i)
        connect(cmdData[i], &QPushButton::clicked, this, [this, i] { cmdData_Click(i); });
    connect(cmdSalva, &QPushButton::clicked, this, [this] { cmdSalva_Click(); });
    connect(cmdAnnulla, &QPushButton::clicked, this, [this] { cmdAnnulla_Click(); });
    connect(tbs, &QTabWidget::currentChanged, this, [this] { fuocoPagina(); });
}

void frmOptions::mostraPagina(Pagina pagina)
{
    tbs->setTabVisible(pagina, true);
    tbs->setCurrentIndex(pagina);
}

void frmOptions::fuocoPagina()
{
    if (tbs->currentIndex() == Numerazione)
        txtProg->setFocus();
    else if (tbs->currentIndex() == DataLavoro)
        dtp->setFocus();
}

void frmOptions::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    fuocoPagina();
}

void frmOptions::keyPressEvent(QKeyEvent* event)
{
    // Esc is "Annulla", never a silent close.
    if (event->key() == Qt::Key_Escape) {
        cmdAnnulla_Click();
        return;
    }
    QDialog::keyPressEvent(event);
}

void frmOptions::ApriContab()
{
    frmOptions* f = instance();
    try {
        f->CaricaContatori();
    } catch (const core::Error& e) {
        ui::msgBox(e.text(), ui::vbCritical, AppTitle());
        Unload();
        return;
    }
    f->mostraPagina(Numerazione);
    ui::execModal(f);
    Unload();
}

void frmOptions::ApriWorkingDate()
{
    frmOptions* f = instance();
    f->CaricaDataLavoro();
    f->mostraPagina(DataLavoro);
    // Caption and action alike: the end of the year before the working date.
    f->cmdData[0]->setText(core::format(core::Variant(FineAnnoPrecedente(session().dataLavoro)), QStringLiteral("dd\\/mm\\/yy")));
    ui::execModal(f);
    Unload();
}

void frmOptions::CaricaContatori()
{
    mostraContatore(readCounter(session().dataConStr, session().sezId, session().annoLavoro, QString()));
    lblAnno->setText(QStringLiteral("(Anno: ") + QString::number(session().dataLavoro.year()) + QStringLiteral(")"));
    gexCounters->hide();
    gexCounters->setConnectionString(session().dataConStr);
    gexCounters->setRecordSource(counterListQuery(session().sezId, session().annoLavoro));
    gexCounters->rebind(true);
    if (gexCounters->columnCount() >= 1)
        gexCounters->column(1).setVisible(false);
    gexCounters->show();
}

void frmOptions::mostraContatore(std::int32_t valore)
{
    m_visto = valore;
    txtProg->setText(QString::number(valore));
    txtProg->setModified(false);
}

void frmOptions::txtSezione_Change()
{
    // The number of the series being typed shows at once.
    try {
        mostraContatore(readCounter(session().dataConStr, session().sezId, session().annoLavoro, txtSezione->text()));
    } catch (const core::Error& e) {
        ui::msgBox(e.text(), ui::vbCritical, AppTitle());
    }
}

void frmOptions::UpDown1_Click(int passo)
{
    const CounterText attuale = parseCounterText(txtProg->text());
    const std::int64_t prossimo = static_cast<std::int64_t>(attuale.value.value_or(0)) + passo;
    if (prossimo < 0 || prossimo > 999999999)
        return;
    txtProg->setText(QString::number(prossimo));
    m_cambiato[Numerazione] = true;
}

bool frmOptions::SalvaContatore()
{
    const CounterText testo = parseCounterText(txtProg->text());
    if (!testo.value) {
        ui::msgBox(testo.error, ui::vbExclamation, AppTitle());
        txtProg->setFocus();
        txtProg->selectAll();
        return false;
    }
    const QString prefisso = txtSezione->text();
    const std::int32_t valore = *testo.value;
    try {
        for (;;) {
            const CounterSaveResult r = saveCounter(session().dataConStr, session().sezId, session().annoLavoro, prefisso, valore, m_visto);
            if (r.outcome == CounterSave::Written)
                return true;
            if (r.outcome == CounterSave::BelowIssued) {
                ui::msgBox(QStringLiteral("Il numero %1 è inferiore all'ultimo già assegnato a un documento (%2) nella serie %3 "
                                          "dell'anno %4.")
                                   .arg(valore)
                                   .arg(r.highestIssued)
                                   .arg(nomeSerie(prefisso))
                                   .arg(session().annoLavoro)
                               + kCrLf + QStringLiteral("I numeri dei documenti non possono ripetersi."),
                           ui::vbExclamation, AppTitle());
                txtProg->setFocus();
                txtProg->selectAll();
                return false;
            }
            // Another user changed the counter since it was shown here.
            const int risposta = ui::msgBox(QStringLiteral("Nel frattempo l'ultimo numero della serie %1 è stato cambiato da un "
                                                           "altro utente: ora è %2.")
                                                    .arg(nomeSerie(prefisso))
                                                    .arg(r.stored)
                                                + kCrLf + QStringLiteral("Sostituirlo con %1?").arg(valore),
                                            ui::vbYesNo | ui::vbQuestion | ui::vbDefaultButton2, AppTitle());
            if (risposta != ui::vbYes) {
                mostraContatore(r.stored);
                return false;
            }
            m_visto = r.stored;
        }
    } catch (const core::Error& e) {
        ui::msgBox(QStringLiteral("Impossibile salvare il contatore.") + kCrLf + e.text(), ui::vbCritical, AppTitle());
        return false;
    }
}

void frmOptions::CaricaDataLavoro()
{
    dtp->setDate(session().dataLavoro);
}

void frmOptions::SalvaDataLavoro()
{
    ImpostaDataLavoro(dtp->date());
    RefreshMainWindow();
}

void frmOptions::cmdData_Click(int index)
{
    if (index == 0)
        dtp->setDate(FineAnnoPrecedente(session().dataLavoro));
    else
        dtp->setDate(QDate::currentDate());
    dtp->setFocus();
    m_cambiato[DataLavoro] = true;
}

void frmOptions::cmdSalva_Click()
{
    // A date still being typed is taken (or refused, with its message) before anything is saved.
    if (tbs->isTabVisible(DataLavoro) && !dtp->commit())
        return;
    // A counter that cannot be written keeps the dialog open on what was typed.
    if (m_cambiato[Numerazione] && !SalvaContatore())
        return;
    m_salvato = true;
    if (m_cambiato[DataLavoro])
        SalvaDataLavoro();
    hide();
}

void frmOptions::cmdAnnulla_Click()
{
    m_salvato = false;
    hide();
}
