#include "masterdata/frm_io_Pagamenti.h"

#include "common/HandlerBoundary.h"
#include "platform/ui/DataBinding.h"
#include "platform/ui/EnterAsTab.h"
#include "startup/SharedState.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QStatusBar>
#include <QVBoxLayout>

namespace {
const QString kCondividi = QStringLiteral("Condividi questo Pagamento con gli altri professionisti dello studio");
} // namespace

frm_io_Pagamenti::frm_io_Pagamenti() : MasterDataForm(QStringLiteral("frm_io_Pagamenti"), QStringLiteral("Pagamenti"))
{
    txtNote = new QPlainTextEdit(this);
    txtNote->setObjectName(QStringLiteral("txtData(0)"));
    txtNote->setToolTip(QStringLiteral("Descrizione da proporre (opzionale) sulle note in Fattura. Ctrl+Invio per andare a capo."));
    txtNote->setTabChangesFocus(true);
    txtDescrizione = new QLineEdit(this);
    txtDescrizione->setObjectName(QStringLiteral("txtData(1)"));
    txtDescrizione->setToolTip(QStringLiteral("Descrizione del Pagamento"));
    txtData = {txtNote, txtDescrizione};

    chkData.push_back(new QCheckBox(QStringLiteral("Predefinito"), this));
    chkData.push_back(new QCheckBox(kCondividi, this));
    chkData[1]->setToolTip(QStringLiteral("Condividi il Pagamento con i colleghi: non sarà possibile deselezionare successivamente"));
    for (int i = 0; i < chkData.size(); ++i)
        chkData[i]->setObjectName(QStringLiteral("chkData(%1)").arg(i));
    // A default payment term means nothing anywhere in the program: the box stays hidden.
    chkData[0]->hide();
    cmdSalva->setToolTip(QStringLiteral("Salva il Pagamento"));
    cmdAnnulla->setToolTip(QStringLiteral("Annulla le modifiche e chiude"));

    auto* grid = new QGridLayout;
    grid->addWidget(new QLabel(QStringLiteral("Descrizione:"), this), 0, 0);
    grid->addWidget(txtDescrizione, 0, 1);
    auto* lblNote = new QLabel(QStringLiteral("Note in fattura"), this);
    lblNote->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    grid->addWidget(lblNote, 1, 0);
    grid->addWidget(txtNote, 1, 1);
    grid->addWidget(chkData[1], 2, 1);
    grid->setColumnStretch(1, 1);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(grid, 1);
    aggiungiPiede(layout);
    resize(520, 300);

    setTabOrder(txtDescrizione, txtNote);
    setTabOrder(txtNote, chkData[1]);
    setTabOrder(chkData[1], cmdSalva);
    setTabOrder(cmdSalva, cmdAnnulla);

    for (int i = 0; i < chkData.size(); ++i)
        connect(chkData[i], &QCheckBox::clicked, this, boundary([this, i] { chkData_Click(i); }));
    // Only text boxes: in the note a plain Enter moves on, Ctrl+Enter breaks the line.
    ui::installEnterAsTab(this, ui::EnterOnTextBoxes);
}

core::Variant frm_io_Pagamenti::Nuovo(std::int32_t nMode)
{
    frm_io_Pagamenti* f = instance();
    if (!f->preparaApertura(1, nMode))
        return aperturaRifiutata(nMode);
    f->apriNuovo(QStringLiteral("Pagamenti"));
    f->m_dati.setValue(QStringLiteral("sezId"), core::Variant(session().sezId));
    f->m_dati.setValue(QStringLiteral("pagShared"), core::Variant(false));
    f->CollegaCampi();
    f->chkData[1]->setEnabled(true);
    return f->mostra(nMode, f->txtDescrizione);
}

core::Variant frm_io_Pagamenti::Apri(std::int32_t key, std::int32_t nMode)
{
    frm_io_Pagamenti* f = instance();
    if (!f->preparaApertura(2, nMode))
        return aperturaRifiutata(nMode);
    f->apriEsistente(QStringLiteral("SELECT * FROM Pagamenti WHERE pagId=") + QString::number(key));
    f->CollegaCampi();
    // Once shared, a payment term stays shared.
    f->chkData[1]->setEnabled(!f->chkData[1]->isChecked());
    return f->mostra(nMode, f->txtDescrizione);
}

void frm_io_Pagamenti::CollegaCampi()
{
    m_binding->clear();
    m_binding->setRecordset(m_dati.recordset());
    txtDescrizione->setMaxLength(32767);
    m_binding->bind(txtNote, QStringLiteral("pagNoteFat"));
    m_binding->bind(txtDescrizione, QStringLiteral("pagDescrizione"));
    m_binding->bind(chkData[1], QStringLiteral("pagShared"));
    chkData[0]->setChecked(false);
    mostraCondiviso();
    aggiungiControllo(txtDescrizione, [this] { return !txtDescrizione->text().isEmpty(); },
                      QStringLiteral("Indicare la descrizione del pagamento."));
}

void frm_io_Pagamenti::chkData_Click(int index)
{
    if (index == 1)
        mostraCondiviso();
}

void frm_io_Pagamenti::mostraCondiviso()
{
    chkData[1]->setText(chkData[1]->isChecked() ? QStringLiteral("Pagamento condiviso") : kCondividi);
}
