#include "documents/frmMakeInvoice.h"

#include "common/comUtility.h"
#include "common/MainWindowLink.h"
#include "domain/Counters.h"
#include "domain/InvoiceFromProForma.h"
#include "platform/core/Error.h"
#include "domain/WriteFailure.h"
#include "platform/ui/DateBox.h"
#include "platform/ui/Dialogs.h"
#include "platform/ui/EnterAsTab.h"
#include "startup/DatabaseFile.h"
#include "startup/SharedState.h"
#include "platform/ui/TextInput.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace {


QString failureText(const QString& head, const core::Error& e)
{
    switch (writeFailureOf(e)) {
    case WriteFailure::Conflict:
        return kConflictMessage;
    case WriteFailure::Busy:
        return QStringLiteral("Il database è in uso da un altro utente.") + kCrLf + head + kCrLf
             + QStringLiteral("Riprovare fra qualche istante.");
    case WriteFailure::Database:
        return head + kCrLf + e.text();
    case WriteFailure::Rule:
        break;
    }
    // The rules' own refusals say what happened in words.
    return head + kCrLf + e.description();
}

} // namespace

std::int32_t frmMakeInvoice::Apri(std::int32_t fatId, QWidget* owner)
{
    auto* f = new frmMakeInvoice(owner);
    f->m_proFormaId = fatId;
    f->txtSezione_Change();
    ui::execModal(f);
    const std::int32_t made = f->m_newId;
    delete f;
    return made;
}

frmMakeInvoice::frmMakeInvoice(QWidget* owner) : QDialog(owner)
{
    setObjectName(QStringLiteral("frmMakeInvoice"));
    setWindowTitle(QStringLiteral("Genera Fattura da Pro-Forma"));
    setModal(true);

    Label1 = {new QLabel(QStringLiteral("Numero Fattura:"), this), new QLabel(QStringLiteral("Data Fattura:"), this)};
    Label1[0]->setObjectName(QStringLiteral("Label1(0)"));
    Label1[1]->setObjectName(QStringLiteral("Label1(1)"));
    txtInvoiceNo = new QLineEdit(this);
    txtInvoiceNo->setObjectName(QStringLiteral("txtInvoiceNo"));
    // The number is given at generation; this one is for information.
    txtInvoiceNo->setReadOnly(true);
    txtInvoiceNo->setFocusPolicy(Qt::NoFocus);
    txtInvoiceNo->setAlignment(Qt::AlignRight);
    txtInvoiceNo->setMaximumWidth(90);
    lblData = new QLabel(QStringLiteral("/"), this);
    lblData->setObjectName(QStringLiteral("lblData"));
    txtSezione = new QLineEdit(this);
    txtSezione->setObjectName(QStringLiteral("txtSezione"));
    ui::setTextLimit(txtSezione, 10);
    txtSezione->setMaximumWidth(60);
    txtSezione->setToolTip(QStringLiteral("Sezione: lasciare vuoto per la numerazione principale o inserire una lettera."));
    dtpInvoiceDate = new ui::DateBox(this);
    dtpInvoiceDate->setObjectName(QStringLiteral("dtpInvoiceDate"));
    // Form_Load: the invoice is dated on the working date unless the user picks another.
    dtpInvoiceDate->setDate(session().dataLavoro);
    cmdMakeInvoice = new QPushButton(QStringLiteral("Genera Fattura"), this);
    cmdMakeInvoice->setObjectName(QStringLiteral("cmdMakeInvoice"));
    cmdCancel = new QPushButton(QStringLiteral("Annulla"), this);
    cmdCancel->setObjectName(QStringLiteral("cmdCancel"));
    ui::ignoresTypedDates(cmdCancel);

    auto* campi = new QWidget(this);
    auto* grid = new QGridLayout(campi);
    grid->setContentsMargins(0, 0, 0, 0);
    grid->addWidget(Label1[0], 0, 0);
    auto* numero = new QHBoxLayout;
    numero->addWidget(txtInvoiceNo);
    numero->addWidget(lblData);
    numero->addWidget(txtSezione);
    numero->addStretch();
    grid->addLayout(numero, 0, 1);
    grid->addWidget(Label1[1], 1, 0);
    grid->addWidget(dtpInvoiceDate, 1, 1, Qt::AlignLeft);
    auto* pulsanti = new QHBoxLayout;
    pulsanti->addStretch();
    pulsanti->addWidget(cmdMakeInvoice);
    pulsanti->addWidget(cmdCancel);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(campi);
    layout->addStretch();
    layout->addLayout(pulsanti);
    setTabOrder(txtSezione, dtpInvoiceDate);
    setTabOrder(dtpInvoiceDate, cmdMakeInvoice);
    setTabOrder(cmdMakeInvoice, cmdCancel);
    resize(360, 140);
    // Enter moves on in the fields; on a button it presses that button.
    ui::installEnterAsTab(campi, ui::EnterOnTextBoxes);

    // Typed or pasted, the prefix holds upper-case letters only.
    connect(txtSezione, &QLineEdit::textEdited, this, [this](const QString& text) {
        const QString clean = cleanPrefix(text);
        if (clean != text)
            txtSezione->setText(clean);
    });
    connect(txtSezione, &QLineEdit::textChanged, this, [this] { txtSezione_Change(); });
    connect(dtpInvoiceDate, &ui::DateBox::dateRefused, this, [this] { m_dateRefused = true; });
    connect(cmdMakeInvoice, &QPushButton::clicked, this, [this] { cmdMakeInvoice_Click(); });
    connect(cmdCancel, &QPushButton::clicked, this, [this] { reject(); });
    txtSezione->setFocus();
}

void frmMakeInvoice::txtSezione_Change()
{
    try {
        txtInvoiceNo->setText(QString::number(UltimoNumero(txtSezione->text()) + 1));
    } catch (const core::Error& e) {
        txtInvoiceNo->clear();
        ui::msgBox(e.text(), ui::vbOKOnly);
    }
}

void frmMakeInvoice::cmdMakeInvoice_Click()
{
    // A date typed and not yet taken is taken now. One refused, now or as the box
    // was left for this button, stops here: the user reads why and looks again.
    if (!dtpInvoiceDate->commit() || m_dateRefused) {
        m_dateRefused = false;
        return;
    }
    const QString prefix = cleanPrefix(txtSezione->text());
    const QDate data = dtpInvoiceDate->date();
    if (data.isValid() && data.year() != session().annoLavoro) {
        const int risposta = ui::msgBox(QStringLiteral("La data della fattura è dell'anno ") + QString::number(data.year())
                                            + QStringLiteral(", ma il numero sarà dato dalla numerazione dell'anno di lavoro ")
                                            + QString::number(session().annoLavoro) + QStringLiteral(".") + kCrLf
                                            + QStringLiteral("Generare comunque la fattura?"),
                                        ui::vbYesNo | ui::vbExclamation | ui::vbDefaultButton2);
        if (risposta != ui::vbYes)
            return;
    }

    const QString head = QStringLiteral("La fattura non è stata generata.");
    NewInvoice made;
    try {
        bool ancora = false;
        if (proFormaInvoiced(session().dataConStr, m_proFormaId)) {
            const int risposta = ui::msgBox(QStringLiteral("La Pro-Forma è già stata trasformata in fattura.") + kCrLf
                                                + QStringLiteral("Generare comunque un'altra fattura?"),
                                            ui::vbYesNo | ui::vbQuestion | ui::vbDefaultButton2);
            if (risposta != ui::vbYes)
                return;
            ancora = true;
        }
        made = makeInvoiceFromProForma(session().dataConStr, m_proFormaId, session().sezId, session().annoLavoro, prefix, data, ancora);
    } catch (const core::Error& e) {
        // Nothing was stored; the dialog stays, so the user may try again or cancel.
        ui::msgBox(failureText(head, e), ui::vbOKOnly | ui::vbExclamation);
        return;
    }
    m_newId = made.id;
    RefreshMainWindow();

    const int risposta = ui::msgBox(QStringLiteral("Fattura n° ") + QString::number(made.number) + QStringLiteral(" ")
                                        + prefix + QStringLiteral(" generata.") + kCrLf
                                        + QStringLiteral("Eliminare la Pro-Forma?"),
                                    ui::vbYesNo | ui::vbQuestion | ui::vbDefaultButton2);
    if (risposta == ui::vbYes)
        deleteProForma(made.number, prefix);
    accept();
}

bool frmMakeInvoice::deleteProForma(std::int32_t number, const QString& prefix)
{
    try {
        ::deleteProForma(session().dataConStr, m_proFormaId);
        return true;
    } catch (const core::Error& e) {
        ui::msgBox(failureText(QStringLiteral("La fattura n° ") + QString::number(number) + QStringLiteral(" ") + prefix
                                   + QStringLiteral(" è stata generata, ma la Pro-Forma non è stata eliminata."),
                               e),
                   ui::vbOKOnly | ui::vbExclamation);
        return false;
    }
}
