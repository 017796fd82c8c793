#include "masterdata/frm_io_Clienti.h"

#include "common/HandlerBoundary.h"
#include "common/comUtility.h"
#include "masterdata/frm_io_Pagamenti.h"
#include "platform/ui/DataBinding.h"
#include "platform/ui/DataCombo.h"
#include "platform/ui/EnterAsTab.h"
#include "startup/SharedState.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QStatusBar>
#include <QVBoxLayout>

namespace {
// Columns of the text boxes, by index.
const char* const kCampi[15] = {"cliNome",       "cliIndirizzo", "cliCAP",        "cliLocalita",   "cliProvincia",
                                "cliPartitaIVA", "cliTelefono",  "cliMobile",     "cliFax",        "cliEmail",
                                "cliNote",       "cliCodiceFiscale", "cliBancaApp01", "cliBancaApp03", "cliBancaApp04"};
const char* const kAiuti[15] = {
    "Nominativo (se privato) o Ragione Sociale (se azienda)",
    "Indirizzo (Via, Piazza etc.)",
    "Codice di avviamento postale",
    "Località",
    "Provincia",
    "Partita IVA",
    "Telefono fisso",
    "Cellulare",
    "Fax",
    "Indirizzo di posta elettronica",
    "Note",
    "Codice Fiscale",
    "Nome della Banca di appoggio del cliente",
    "ABI della Banca di appoggio del cliente",
    "CAB della Banca di appoggio del cliente",
};
} // namespace

frm_io_Clienti::frm_io_Clienti() : MasterDataForm(QStringLiteral("frm_io_Clienti"), QStringLiteral("Clienti"))
{
    for (int i = 0; i < 15; ++i) {
        auto* box = new QLineEdit(this);
        box->setObjectName(QStringLiteral("txtData(%1)").arg(i));
        box->setToolTip(QString::fromUtf8(kAiuti[i]));
        txtData.push_back(box);
    }
    auto* combo = new ui::DataCombo(this);
    combo->setObjectName(QStringLiteral("dtcData(0)"));
    combo->setToolTip(QStringLiteral("Pagamento predefinito del cliente - F4 Lista - F5 Nuovo"));
    dtcData.push_back(combo);
    cmdAddPag = new QPushButton(QStringLiteral("Nuovo..."), this);
    cmdAddPag->setObjectName(QStringLiteral("cmdAddPag"));
    cmdAddPag->setToolTip(QStringLiteral("Aggiunge un nuovo pagamento"));
    cmdAddPag->setAutoDefault(true);
    chkData.push_back(new QCheckBox(QStringLiteral("Sostituto d'imposta"), this));
    chkData.push_back(new QCheckBox(QStringLiteral("Condividi questo Cliente con gli altri professionisti dello studio"), this));
    chkData[0]->setToolTip(QStringLiteral("Barrare se il cliente è soggetto a ritenuta d'acconto"));
    chkData[1]->setToolTip(QStringLiteral("Per condividere il cliente con i colleghi: non sara possibile deselezionare successivamente."));
    for (int i = 0; i < chkData.size(); ++i)
        chkData[i]->setObjectName(QStringLiteral("chkData(%1)").arg(i));
    cmdSalva->setToolTip(QStringLiteral("Salva il Cliente"));
    cmdAnnulla->setToolTip(QStringLiteral("Annulla le modifiche e chiude"));

    auto label = [this](const char* text) { return new QLabel(QString::fromUtf8(text), this); };
    auto* grid = new QGridLayout;
    grid->setColumnStretch(1, 3);
    grid->setColumnStretch(2, 3);
    grid->setColumnStretch(3, 1);
    int row = 0;
    auto full = [&](const char* caption, QWidget* w) {
        grid->addWidget(label(caption), row, 0);
        grid->addWidget(w, row, 1, 1, 3);
        ++row;
    };
    // Three boxes on one line, each row sharing its width as its own fields
    // need (a fax number as long as a telephone number).
    auto three = [&](const char* caption, QWidget* a, int wa, QWidget* b, int wb, QWidget* c, int wc) {
        grid->addWidget(label(caption), row, 0);
        auto* line = new QHBoxLayout;
        line->addWidget(a, wa);
        line->addWidget(b, wb);
        line->addWidget(c, wc);
        grid->addLayout(line, row, 1, 1, 3);
        ++row;
    };
    full("Nome o Rag. Sociale:", txtData[0]);
    full("Indirizzo:", txtData[1]);
    three("CAP/Località/Prov.:", txtData[2], 1, txtData[3], 3, txtData[4], 0);
    full("Partita I.V.A.:", txtData[5]);
    full("Codice Fiscale:", txtData[11]);
    three("Telefono/Mobile/Fax:", txtData[6], 1, txtData[7], 1, txtData[8], 1);
    full("E-Mail:", txtData[9]);
    three("Banca appoggio/ABI/CAB:", txtData[12], 3, txtData[13], 0, txtData[14], 0);
    grid->addWidget(label("Note:"), row, 0);
    grid->addWidget(txtData[10], row, 1, 1, 3);
    ++row;
    auto* pagamento = new QHBoxLayout;
    pagamento->addWidget(dtcData[0], 1);
    pagamento->addWidget(cmdAddPag);
    grid->addWidget(label("Pagamento:"), row, 0);
    grid->addLayout(pagamento, row, 1, 1, 3);
    ++row;
    grid->addWidget(chkData[0], row++, 1, 1, 3);
    grid->addWidget(chkData[1], row++, 1, 1, 3);
    // Short boxes for short columns.
    txtData[4]->setMaximumWidth(50);
    txtData[13]->setMaximumWidth(70);
    txtData[14]->setMaximumWidth(70);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addStretch();
    aggiungiPiede(layout);
    resize(560, 440);

    // Tab order as the fields are read on paper.
    const QList<QWidget*> order{txtData[0],  txtData[1],  txtData[2],  txtData[3],  txtData[4],  txtData[5],
                                txtData[11], txtData[6],  txtData[7],  txtData[8],  txtData[9],  txtData[12],
                                txtData[13], txtData[14], txtData[10], dtcData[0],  cmdAddPag,   chkData[0],
                                chkData[1],  cmdSalva,    cmdAnnulla};
    for (int i = 1; i < order.size(); ++i)
        setTabOrder(order[i - 1], order[i]);

    connect(cmdAddPag, &QPushButton::clicked, this, boundary([this] {
        NuovoPagamento();
        dtcData[0]->setFocus();
    }));
    for (int i = 0; i < chkData.size(); ++i)
        connect(chkData[i], &QCheckBox::clicked, this, boundary([this, i] { chkData_Click(i); }));
    // Leaving the name shows it in the caption.
    connect(txtData[0], &QLineEdit::editingFinished, this, boundary([this] {
        if (!txtData[0]->text().isEmpty())
            setWindowTitle(txtData[0]->text() + QStringLiteral(" (cliente)"));
    }));
    ui::installEnterAsTab(this, ui::EnterOnTextBoxes | ui::EnterOnCheckBoxes | ui::EnterOnComboBoxes);
}

core::Variant frm_io_Clienti::Nuovo(std::int32_t nMode)
{
    frm_io_Clienti* f = instance();
    if (!f->preparaApertura(1, nMode))
        return aperturaRifiutata(nMode);
    f->CaricaPagamenti();
    f->apriNuovo(QStringLiteral("CliFor"));
    f->m_dati.setValue(QStringLiteral("SostImposta"), core::Variant(false));
    f->m_dati.setValue(QStringLiteral("cliShared"), core::Variant(false));
    f->m_dati.setValue(QStringLiteral("sezId"), core::Variant(session().sezId));
    // No payment term, as the column's 0 says.
    f->m_dati.setValue(QStringLiteral("cliPagamento"), core::Variant(std::int32_t{0}));
    f->CollegaCampi();
    f->setWindowTitle(QStringLiteral("Clienti"));
    f->chkData[1]->setEnabled(true);
    return f->mostra(nMode, f->txtData[0]);
}

core::Variant frm_io_Clienti::Apri(std::int32_t key, std::int32_t nMode)
{
    frm_io_Clienti* f = instance();
    if (!f->preparaApertura(2, nMode))
        return aperturaRifiutata(nMode);
    f->CaricaPagamenti();
    f->apriEsistente(QStringLiteral("SELECT * FROM CliFor WHERE cliId=") + QString::number(key));
    f->CollegaCampi();
    f->setWindowTitle(f->txtData[0]->text() + QStringLiteral(" (cliente)"));
    // Once shared, a client stays shared.
    f->chkData[1]->setEnabled(!f->chkData[1]->isChecked());
    return f->mostra(nMode, f->txtData[0]);
}

void frm_io_Clienti::CollegaCampi()
{
    m_binding->clear();
    m_binding->setRecordset(m_dati.recordset());
    for (int i = 0; i < txtData.size(); ++i) {
        txtData[i]->setMaxLength(32767);
        m_binding->bind(txtData[i], QString::fromLatin1(kCampi[i]));
    }
    m_binding->bind(dtcData[0], QStringLiteral("cliPagamento"));
    m_binding->bind(chkData[0], QStringLiteral("SostImposta"));
    m_binding->bind(chkData[1], QStringLiteral("cliShared"));
    mostraCondiviso();
    aggiungiControllo(txtData[0], [this] { return !txtData[0]->text().isEmpty(); },
                      QStringLiteral("Indicare il nome o la ragione sociale del cliente."));
}

void frm_io_Clienti::CaricaPagamenti()
{
    db::Recordset elenco = paymentTermChoices(session().dataConStr, session().sezId);
    if (!m_pagamenti.isNull() && m_pagamenti.isOpen())
        m_pagamenti.close();
    m_pagamenti = elenco;
    dtcData[0]->setRowSource(m_pagamenti, QStringLiteral("pagId"), QStringLiteral("pagDescrizione"));
}

void frm_io_Clienti::NuovoPagamento()
{
    const core::Variant nuovo = frm_io_Pagamenti::Nuovo(1);
    frm_io_Pagamenti::Unload();
    if (nuovo.isEmptyOrNull() || !m_dati.isOpen())
        return;
    CaricaPagamenti();
    // Written with the client on Save.
    m_dati.setValue(QStringLiteral("cliPagamento"), core::Variant(nuovo.toLong()));
    m_binding->refresh();
    segnaModificato();
}

void frm_io_Clienti::chkData_Click(int index)
{
    if (index == 1)
        mostraCondiviso();
}

void frm_io_Clienti::mostraCondiviso()
{
    chkData[1]->setText(chkData[1]->isChecked()
                            ? QStringLiteral("Cliente condiviso")
                            : QStringLiteral("Condividi questo Cliente con gli altri professionisti dello studio"));
}

bool frm_io_Clienti::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::KeyPress && watched == dtcData[0] && isVisible()) {
        auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_F5 && key->modifiers() == Qt::NoModifier) {
            NuovoPagamento();
            return true;
        }
    }
    return MasterDataForm::eventFilter(watched, event);
}
