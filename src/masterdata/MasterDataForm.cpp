#include "masterdata/MasterDataForm.h"

#include "common/comUtility.h"
#include "domain/WriteFailure.h"
#include "common/HandlerBoundary.h"
#include "common/MainWindowLink.h"
#include "platform/core/Format.h"
#include "platform/ui/DataBinding.h"
#include "platform/ui/Dialogs.h"
#include "platform/ui/FieldHelp.h"
#include "startup/SharedState.h"

#include <QApplication>
#include <QCloseEvent>
#include <QFocusEvent>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLineEdit>
#include <QLayout>
#include <QPushButton>
#include <QScreen>
#include <QStyle>
#include <QStatusBar>
#include <QTimer>
#include <QVBoxLayout>
#include <algorithm>

MasterDataForm::MasterDataForm(const QString& name, const QString& caption)
{
    setObjectName(name);
    setWindowTitle(caption);
    setWindowFlag(Qt::Window);

    sb = new QStatusBar(this);
    sb->setObjectName(QStringLiteral("sb"));
    sb->setSizeGripEnabled(false);
    cmdSalva = new QPushButton(QStringLiteral("Salva"), this);
    cmdSalva->setObjectName(QStringLiteral("cmdSalva"));
    cmdAnnulla = new QPushButton(QStringLiteral("Annulla"), this);
    cmdAnnulla->setObjectName(QStringLiteral("cmdAnnulla"));
    // Enter on a focused button presses it, as the users expect.
    cmdSalva->setAutoDefault(true);
    cmdAnnulla->setAutoDefault(true);
    connect(cmdSalva, &QPushButton::clicked, this, boundary([this] { cmdSalva_Click(); }));
    connect(cmdAnnulla, &QPushButton::clicked, this, boundary([this] { cmdAnnulla_Click(); }));

    m_binding = new ui::DataBinding(this);
    connect(m_binding, &ui::DataBinding::fieldChanged, this, [this] { m_modificato = true; });

    ui::installFieldHelp(this, sb);
    // A click gives the focus before any filter sees the click: a field that may
    // not be left takes it back at once, and the click itself is then swallowed.
    connect(qApp, &QApplication::focusChanged, this, [this](QWidget* old, QWidget* now) {
        if (!old || !now || now->window() != this || old->window() != this || !isVisible())
            return;
        if (now == cmdAnnulla)
            return;
        for (const Controllo& c : std::as_const(m_controlli)) {
            if (c.field == old && !c.ok()) {
                old->setFocus(Qt::OtherFocusReason);
                return;
            }
        }
    });
    // The form sees every key and click before its controls.
    qApp->installEventFilter(this);
}

MasterDataForm::~MasterDataForm()
{
    // The window closes only after the derived form's members are gone: nothing
    // of it may run then (a focus-out on closing would reach them).
    qApp->removeEventFilter(this);
    QObject::disconnect(qApp, nullptr, this, nullptr);
    m_binding->clear();
    for (QObject* child : findChildren<QObject*>())
        child->disconnect(this);
}

bool MasterDataForm::preparaApertura(std::int32_t modo, std::int32_t nMode)
{
    if (isVisible() && m_dati.isOpen() && m_modificato) {
        raise();
        activateWindow();
        ui::msgBox(QStringLiteral("La scheda è già aperta con modifiche non salvate."
                                  "\nSalvare o annullare le modifiche prima di aprire un'altra registrazione."),
                   ui::vbOKOnly | ui::vbExclamation, AppTitle());
        return false;
    }
    // Nothing would be lost: the record open now is dropped for the new one.
    m_dati.cancelAll();
    chiudiDati();
    m_controlli.clear();
    m_modificato = false;
    Risultato = core::Variant();
    Modo = modo;
    Modale = (nMode == 1);
    return true;
}

core::Variant MasterDataForm::aperturaRifiutata(std::int32_t nMode)
{
    return nMode == 1 ? core::Variant::null() : core::Variant();
}

void MasterDataForm::apriNuovo(const QString& table)
{
    m_dati.openNew(session().dataConStr, table);
}

void MasterDataForm::apriEsistente(const QString& sql)
{
    m_dati.openExisting(session().dataConStr, sql);
}

void MasterDataForm::aggiungiPiede(QVBoxLayout* layout)
{
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(cmdSalva);
    buttons->addWidget(cmdAnnulla);
    layout->addLayout(buttons);
    layout->addWidget(sb);
}

void MasterDataForm::larghezzaPerLaGuida()
{
    // The status bar shows a field's help on one line: the form is wide enough
    // for the longest, within the screen.
    const QFontMetrics fm(sb->font());
    int testo = 0;
    for (const QWidget* w : findChildren<QWidget*>()) {
        if (!w->toolTip().isEmpty())
            testo = std::max(testo, fm.horizontalAdvance(w->toolTip()));
    }
    if (layout())
        layout()->activate();
    // What the form puts around its status bar, and the bar around its text.
    const int attorno = width() - sb->width() + 2 * sb->style()->pixelMetric(QStyle::PM_LayoutHorizontalSpacing) + 16;
    int larghezza = testo + attorno;
    if (const QScreen* schermo = screen())
        larghezza = std::min(larghezza, schermo->availableGeometry().width());
    if (larghezza > width())
        resize(larghezza, height());
}

core::Variant MasterDataForm::mostra(std::int32_t nMode, QWidget* firstField)
{
    larghezzaPerLaGuida();
    Modale = (nMode == 1);
    cmdSalva->setText(Modale ? QStringLiteral("Inserisci") : QStringLiteral("Salva"));
    m_modificato = false;
    if (firstField)
        firstField->setFocus();
    if (!Modale) {
        show();
        raise();
        activateWindow();
        if (firstField)
            firstField->setFocus();
        return core::Variant();
    }
    // Closing a modal form by its frame reads as nothing added.
    Risultato = core::Variant::null();
    QPointer<MasterDataForm> guard(this);
    ui::showModal(this);
    if (!guard)
        return core::Variant::null();
    return Risultato;
}

void MasterDataForm::aggiungiControllo(QWidget* field, std::function<bool()> ok, const QString& message)
{
    m_controlli.push_back({field, std::move(ok), message});
}

bool MasterDataForm::numerico(const QString& text)
{
    return core::parseTypedNumber(text).has_value();
}

bool MasterDataForm::percentuale(const QString& text)
{
    const std::optional<double> value = core::parseTypedNumber(text);
    return value && *value >= 0.0 && *value <= 100.0;
}

QString MasterDataForm::messaggioConflitto() const
{
    return kConflictMessage;
}

QString MasterDataForm::messaggioRifiuto(SaveRefusal refusal, const core::Error& error) const
{
    switch (refusal) {
    case SaveRefusal::TooLong:
        return QStringLiteral("Un testo inserito è più lungo di quanto il campo possa contenere."
                              "\nAccorciarlo e salvare di nuovo.");
    case SaveRefusal::Constraint:
        return QStringLiteral("La registrazione non può essere salvata: un dato obbligatorio manca, "
                              "è già presente in un'altra registrazione o non è valido.\n")
             + error.text();
    case SaveRefusal::Busy:
        return QStringLiteral("Il database è in uso da un altro utente: riprovare tra qualche istante.");
    case SaveRefusal::ReadOnly:
        return QStringLiteral("Il database è in sola lettura: le modifiche non possono essere salvate.");
    default:
        return QStringLiteral("La registrazione non può essere salvata.\n") + error.text();
    }
}

void MasterDataForm::scriviRecord()
{
    m_dati.save();
}

bool MasterDataForm::controllaTutto()
{
    for (const Controllo& c : std::as_const(m_controlli)) {
        if (c.field && c.field->isEnabled() && !c.ok()) {
            c.field->setFocus();
            ui::msgBox(c.message, ui::vbOKOnly | ui::vbExclamation, AppTitle());
            c.field->setFocus();
            return false;
        }
    }
    return true;
}

void MasterDataForm::cmdSalva_Click()
{
    if (!m_dati.isOpen() || !controllaTutto())
        return;
    try {
        m_binding->commit();
        scriviRecord();
        Risultato = m_dati.value(campoChiave());
    } catch (const core::Error& e) {
        const std::optional<SaveRefusal> rifiuto = saveRefusalOf(e);
        const QString text = !rifiuto                              ? QStringLiteral("La registrazione non può essere salvata.\n") + e.text()
                             : *rifiuto == SaveRefusal::Conflict ? messaggioConflitto()
                                                                 : messaggioRifiuto(*rifiuto, e);
        ui::msgBox(text, ui::vbOKOnly, AppTitle());
        return;
    }
    chiudiDati();
    if (Modale) {
        hide();
        return;
    }
    RefreshMainWindow();
    unloadForm(this);
}

void MasterDataForm::cmdAnnulla_Click()
{
    m_dati.cancelCurrent();
    Risultato = core::Variant::null();
    chiudiDati();
    if (Modale)
        hide();
    else
        unloadForm(this);
}

void MasterDataForm::chiudiDati()
{
    m_binding->clear();
    m_dati.close();
}

void MasterDataForm::closeEvent(QCloseEvent* event)
{
    // The frame's close button is a cancel: nothing is written.
    if (m_dati.isOpen() || isVisible()) {
        m_dati.cancelAll();
        Risultato = core::Variant::null();
        chiudiDati();
    }
    QWidget::closeEvent(event);
    if (!Modale)
        unloadForm(this);
}

bool MasterDataForm::focusBloccato(QWidget* target) const
{
    QWidget* focus = QApplication::focusWidget();
    if (!focus || focus->window() != this)
        return false;
    for (const Controllo& c : m_controlli) {
        if (c.field != focus)
            continue;
        // Annulla (and the field itself) are never blocked by a check.
        if (target && (target == focus || focus->isAncestorOf(target) || target == cmdAnnulla))
            return false;
        return !c.ok();
    }
    return false;
}

bool MasterDataForm::eventFilter(QObject* watched, QEvent* event)
{
    const QEvent::Type type = event->type();
    if (type != QEvent::KeyPress && type != QEvent::MouseButtonPress && type != QEvent::MouseButtonDblClick
        && type != QEvent::FocusIn)
        return false;
    auto* widget = qobject_cast<QWidget*>(watched);
    if (!widget || widget->window() != this || !isVisible())
        return false;

    switch (type) {
    case QEvent::KeyPress: {
        auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_Escape) {
            atHandlerBoundary([this] { cmdAnnulla_Click(); });
            return true;
        }
        const bool tab = key->key() == Qt::Key_Tab || key->key() == Qt::Key_Backtab;
        if (tab && !(key->modifiers() & (Qt::ControlModifier | Qt::AltModifier)) && focusBloccato(nullptr))
            return true;
        return false;
    }
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick:
        return focusBloccato(widget);
    case QEvent::FocusIn:
        // A text box entered shows its whole text selected, ready to be typed over.
        if (auto* box = qobject_cast<QLineEdit*>(widget)) {
            if (static_cast<QFocusEvent*>(event)->reason() != Qt::MouseFocusReason) {
                box->selectAll();
            } else {
                // The click that gave the focus would clear a selection made now.
                QPointer<QLineEdit> guard(box);
                QTimer::singleShot(0, box, [guard] {
                    if (guard && guard->hasFocus())
                        guard->selectAll();
                });
            }
        }
        return false;
    default:
        return false;
    }
}
