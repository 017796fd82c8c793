#include "masterdata/frm_io_IVA.h"

#include "common/comDataBase.h"
#include "common/comUtility.h"
#include "masterdata/InputFilter.h"
#include "platform/ui/DataBinding.h"
#include "platform/ui/EnterAsTab.h"
#include "startup/SharedState.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QStatusBar>
#include <QVBoxLayout>

namespace {
const QString kFormatoAliquota = QStringLiteral("#,##0.00;-#,##0.00;0.00");
} // namespace

frm_io_IVA::frm_io_IVA() : MasterDataForm(QStringLiteral("frm_io_IVA"), QStringLiteral("Codici IVA"))
{
    for (int i = 0; i < 3; ++i) {
        auto* box = new QLineEdit(this);
        box->setObjectName(QStringLiteral("txtData(%1)").arg(i));
        txtData.push_back(box);
    }
    txtData[0]->setValidator(new InputFilter(txtData[0], &InputFilter::codiceIva));
    txtData[2]->setValidator(InputFilter::numeroDecimale(txtData[2]));
    txtData[2]->setAlignment(Qt::AlignRight);
    txtData[0]->setMaximumWidth(120);
    txtData[2]->setMaximumWidth(120);

    chkData.push_back(new QCheckBox(QStringLiteral("Non soggetto a contributo previdenziale"), this));
    chkData.push_back(new QCheckBox(QStringLiteral("Predefinito"), this));
    chkData.push_back(new QCheckBox(QStringLiteral("Non calcolare la Ritenuta d'acconto"), this));
    for (int i = 0; i < chkData.size(); ++i)
        chkData[i]->setObjectName(QStringLiteral("chkData(%1)").arg(i));
    cmdSalva->setToolTip(QStringLiteral("Salva il Codice IVA"));
    cmdAnnulla->setToolTip(QStringLiteral("Annulla le modifiche e chiude"));

    auto* grid = new QGridLayout;
    grid->addWidget(new QLabel(QStringLiteral("Codice:"), this), 0, 0);
    auto* riga0 = new QHBoxLayout;
    riga0->addWidget(txtData[0]);
    riga0->addStretch();
    riga0->addWidget(chkData[1]);
    grid->addLayout(riga0, 0, 1);
    grid->addWidget(new QLabel(QStringLiteral("Descrizione:"), this), 1, 0);
    grid->addWidget(txtData[1], 1, 1);
    grid->addWidget(new QLabel(QStringLiteral("Aliquota:"), this), 2, 0);
    auto* riga2 = new QHBoxLayout;
    riga2->addWidget(txtData[2]);
    auto* nota = new QLabel(QStringLiteral("Impostare a zero in caso di Esenzione o Non imponibile"), this);
    riga2->addWidget(nota, 1);
    grid->addLayout(riga2, 2, 1);
    grid->setColumnStretch(1, 1);

    auto* calcoli = new QGroupBox(QStringLiteral("Calcoli"), this);
    auto testo = [this](const QString& t) {
        auto* l = new QLabel(t, this);
        l->setWordWrap(true);
        return l;
    };
    auto* calcoliLayout = new QVBoxLayout(calcoli);
    calcoliLayout->addWidget(testo(QStringLiteral("Selezionare se NON va calcolato il contributo previdenziale")
                                   + QLatin1Char('\n') + QStringLiteral("per le voci appartenenti a questo codice IVA.")));
    calcoliLayout->addWidget(chkData[0]);
    calcoliLayout->addWidget(testo(QStringLiteral("Selezionare se NON va calcolata la ritenuta d'acconto ")
                                   + QLatin1Char('\n') + QStringLiteral("per le voci appartenenti a questo codice IVA.")));
    calcoliLayout->addWidget(chkData[2]);
    calcoliLayout->addWidget(testo(QStringLiteral(
        "Queste due impostazioni permettono di azzerare gli importi relativi a contributo previdenziale e/o ritenuta "
        "d'acconto per le voci, appartenenti a questo codice iva, a prescindere dalle impostazioni generali.")));

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addWidget(calcoli);
    layout->addStretch();
    aggiungiPiede(layout);
    resize(540, 400);

    const QList<QWidget*> order{txtData[0], chkData[1], txtData[1], txtData[2], chkData[0], chkData[2], cmdSalva, cmdAnnulla};
    for (int i = 1; i < order.size(); ++i)
        setTabOrder(order[i - 1], order[i]);
    ui::installEnterAsTab(this, ui::EnterOnTextBoxes | ui::EnterOnCheckBoxes);
}

core::Variant frm_io_IVA::Nuovo(std::int32_t nMode)
{
    frm_io_IVA* f = instance();
    if (!f->preparaApertura(1, nMode))
        return aperturaRifiutata(nMode);
    f->m_codice.clear();
    f->apriNuovo(QStringLiteral("CodiciIVA"));
    f->m_dati.setValue(QStringLiteral("cdiEsenzione"), core::Variant(std::int16_t{0}));
    f->m_dati.setValue(QStringLiteral("cdiRitAcc"), core::Variant(std::int16_t{0}));
    f->m_dati.setValue(QStringLiteral("cdiValore"), core::Variant(0.0));
    f->CollegaCampi();
    f->txtData[0]->setEnabled(true);
    return f->mostra(nMode, f->txtData[0]);
}

core::Variant frm_io_IVA::Apri(const QString& key, std::int32_t nMode)
{
    frm_io_IVA* f = instance();
    if (!f->preparaApertura(2, nMode))
        return aperturaRifiutata(nMode);
    f->m_codice = key;
    f->apriEsistente(QStringLiteral("SELECT * FROM CodiciIVA WHERE cdiCodice=") + SqlQuoted(key));
    f->CollegaCampi();
    // The code is the key: an existing one cannot change.
    f->txtData[0]->setEnabled(false);
    return f->mostra(nMode, f->txtData[1]);
}

void frm_io_IVA::CollegaCampi()
{
    m_binding->clear();
    m_binding->setRecordset(m_dati.recordset());
    static const char* const campi[3] = {"cdiCodice", "cdiDescrizione", "cdiValore"};
    for (int i = 0; i < txtData.size(); ++i) {
        txtData[i]->setMaxLength(32767);
        m_binding->bind(txtData[i], QString::fromLatin1(campi[i]), i == 2 ? kFormatoAliquota : QString());
    }
    m_binding->bind(chkData[0], QStringLiteral("cdiEsenzione"));
    m_binding->bind(chkData[2], QStringLiteral("cdiRitAcc"));
    Form_Load();
    aggiungiControllo(txtData[0], [this] { return !txtData[0]->text().isEmpty(); },
                      QStringLiteral("Indicare il codice IVA."));
    aggiungiControllo(txtData[1], [this] { return !txtData[1]->text().isEmpty(); },
                      QStringLiteral("Indicare la descrizione del codice IVA."));
    aggiungiControllo(txtData[2], [this] { return percentuale(txtData[2]->text()); },
                      QStringLiteral("Indicare l'aliquota in cifre (zero in caso di Esenzione o Non imponibile)."));
}

void frm_io_IVA::Form_Load()
{
    // A code that is the default cannot be un-defaulted here: another code is made default instead.
    const bool predefinito = LeggiPredefinito() == m_codice;
    chkData[1]->setChecked(predefinito);
    chkData[1]->setEnabled(!predefinito);
}

QString frm_io_IVA::LeggiPredefinito() const
{
    return defaultVatCode(session().dataConStr, session().sezId);
}

void frm_io_IVA::scriviRecord()
{
    if (!chkData[1]->isChecked()) {
        m_dati.save();
        return;
    }
    // The code and the section's default are written together or not at all.
    m_dati.saveWith(setDefaultVatCodeStatement(session().sezId, m_dati.value(QStringLiteral("cdiCodice")).toString()));
}

QString frm_io_IVA::messaggioRifiuto(SaveRefusal refusal, const core::Error& error) const
{
    if (refusal == SaveRefusal::Constraint && Modo == 1) {
        const QString codice = txtData[0]->text();
        try {
            if (vatCodeStored(session().dataConStr, codice))
                return QStringLiteral("Il codice IVA \"") + codice
                     + QStringLiteral("\" esiste già: indicare un codice diverso.");
        } catch (const core::Error&) {
            // The check itself failed: the general message below still tells why the save failed.
        }
    }
    return MasterDataForm::messaggioRifiuto(refusal, error);
}
