#include "masterdata/frm_io_Prestazioni.h"

#include "common/comUtility.h"
#include "masterdata/InputFilter.h"
#include "platform/ui/DataBinding.h"
#include "platform/ui/DataCombo.h"
#include "platform/ui/EnterAsTab.h"
#include "startup/SharedState.h"

#include <QApplication>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QStatusBar>
#include <QVBoxLayout>

namespace {
// Shown as it is read back: 0 is "0,00" and "1.234,50" parses again.
const QString kFormatoImporto = QStringLiteral("#,##0.00");
} // namespace

frm_io_Prestazioni::frm_io_Prestazioni()
    : MasterDataForm(QStringLiteral("frm_io_Prestazioni"), QStringLiteral("Prestazioni"))
{
    for (int i = 0; i < 2; ++i) {
        auto* box = new QLineEdit(this);
        box->setObjectName(QStringLiteral("txtData(%1)").arg(i));
        txtData.push_back(box);
    }
    txtData[0]->setToolTip(QStringLiteral("Descrizione della prestazione / spesa"));
    txtData[1]->setToolTip(QStringLiteral("Importo unitario (lasciare a zero per non impostarlo)"));
    txtData[1]->setValidator(InputFilter::numeroDecimale(txtData[1]));
    txtData[1]->setAlignment(Qt::AlignRight);
    txtData[1]->setMaximumWidth(140);
    for (int i = 0; i < 2; ++i) {
        auto* combo = new ui::DataCombo(this);
        combo->setObjectName(QStringLiteral("dtcData(%1)").arg(i));
        dtcData.push_back(combo);
    }
    dtcData[0]->setToolTip(QStringLiteral("Codice IVA della prestazione / spesa (F4 per listare)"));
    dtcData[1]->setToolTip(QStringLiteral("Selezionare un Cliente dalla lista (F4) oppure [Nessuno] per non associare"));
    cmdSalva->setToolTip(QStringLiteral("Salva la Prestazione"));
    cmdAnnulla->setToolTip(QStringLiteral("Annulla le modifiche e chiude"));
    sbPanel2 = new QLabel(this);
    sbPanel2->setObjectName(QStringLiteral("sbPanel2"));
    sb->addPermanentWidget(sbPanel2);

    auto* grid = new QGridLayout;
    grid->addWidget(new QLabel(QStringLiteral("Descrizione:"), this), 0, 0);
    grid->addWidget(txtData[0], 0, 1);
    grid->addWidget(new QLabel(QStringLiteral("Importo unitario:"), this), 1, 0);
    auto* importo = new QHBoxLayout;
    importo->addWidget(txtData[1]);
    importo->addStretch();
    grid->addLayout(importo, 1, 1);
    grid->addWidget(new QLabel(QStringLiteral("Tipo IVA:"), this), 2, 0);
    grid->addWidget(dtcData[0], 2, 1);
    grid->addWidget(new QLabel(QStringLiteral("Cliente:"), this), 3, 0);
    grid->addWidget(dtcData[1], 3, 1);
    grid->setColumnStretch(1, 1);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addStretch();
    aggiungiPiede(layout);
    resize(520, 240);

    const QList<QWidget*> order{txtData[0], txtData[1], dtcData[0], dtcData[1], cmdSalva, cmdAnnulla};
    for (int i = 1; i < order.size(); ++i)
        setTabOrder(order[i - 1], order[i]);
    // Panel 2 holds nothing of a field: each field help clears it.
    connect(qApp, &QApplication::focusChanged, this, [this](QWidget*, QWidget* now) {
        if (now && isAncestorOf(now))
            sbPanel2->clear();
    });
    ui::installEnterAsTab(this, ui::EnterOnTextBoxes | ui::EnterOnComboBoxes);
}

core::Variant frm_io_Prestazioni::Nuovo(std::int32_t nMode, std::optional<std::int32_t> cliId)
{
    frm_io_Prestazioni* f = instance();
    if (!f->preparaApertura(1, nMode))
        return aperturaRifiutata(nMode);
    f->m_cliId = cliId.value_or(0);
    f->CaricaCombo();
    f->apriNuovo(QStringLiteral("Prestazioni"));
    f->m_dati.setValue(QStringLiteral("preImporto"), core::Variant(core::Currency()));
    f->m_dati.setValue(QStringLiteral("preCliId"), core::Variant(f->m_cliId));
    f->m_dati.setValue(QStringLiteral("sezId"), core::Variant(session().sezId));
    if (!session().preIVA.isEmpty())
        f->m_dati.setValue(QStringLiteral("preCodiceIVA"), core::Variant(session().preIVA));
    f->CollegaCampi();
    return f->mostra(nMode, f->txtData[0]);
}

core::Variant frm_io_Prestazioni::Apri(std::int32_t key, std::int32_t nMode)
{
    frm_io_Prestazioni* f = instance();
    if (!f->preparaApertura(2, nMode))
        return aperturaRifiutata(nMode);
    f->m_cliId = 0;
    f->CaricaCombo();
    f->apriEsistente(QStringLiteral("SELECT * FROM Prestazioni WHERE preId=") + QString::number(key));
    f->CollegaCampi();
    return f->mostra(nMode, f->txtData[0]);
}

void frm_io_Prestazioni::CaricaCombo()
{
    for (db::Recordset* rs : {&m_iva, &m_clienti})
        if (!rs->isNull() && rs->isOpen())
            rs->close();
    m_iva = vatCodeChoices(session().dataConStr);
    dtcData[0]->setRowSource(m_iva, QStringLiteral("cdiCodice"), QStringLiteral("cdiDescrizione"));
    m_clienti = serviceClientChoices(session().dataConStr, m_cliId, session().sezId);
    dtcData[1]->setRowSource(m_clienti, QStringLiteral("cliId"), QStringLiteral("cliNome"));
}

void frm_io_Prestazioni::CollegaCampi()
{
    m_binding->clear();
    m_binding->setRecordset(m_dati.recordset());
    txtData[0]->setMaxLength(32767);
    m_binding->bind(txtData[0], QStringLiteral("preDescrizione"));
    m_binding->bind(txtData[1], QStringLiteral("preImporto"), kFormatoImporto);
    m_binding->bind(dtcData[0], QStringLiteral("preCodiceIVA"));
    m_binding->bind(dtcData[1], QStringLiteral("preCliId"));
    aggiungiControllo(txtData[0], [this] { return !txtData[0]->text().isEmpty(); },
                      QStringLiteral("Indicare la descrizione della prestazione."));
    aggiungiControllo(txtData[1], [this] { return numerico(txtData[1]->text()); },
                      QStringLiteral("Indicare l'importo unitario in cifre (zero per non impostarlo)."));
}

QString frm_io_Prestazioni::messaggioConflitto() const
{
    return recordChangedText() + QLatin1Char('\n')
         + QStringLiteral("Le modifiche effettuate non verranno salvate.");
}

bool frm_io_Prestazioni::event(QEvent* e)
{
    // The form itself has the focus only while none of its controls can take it.
    if (e->type() == QEvent::FocusIn) {
        sb->clearMessage();
        sbPanel2->clear();
    }
    return MasterDataForm::event(e);
}
