#include "sections/frmProfElimina.h"

#include "common/FormLifetime.h"
#include "common/OkCancelRow.h"
#include "domain/Professionals.h"
#include "platform/core/Error.h"
#include "platform/ui/Dialogs.h"
#include "startup/SharedState.h"

#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QVBoxLayout>

frmProfElimina::frmProfElimina()
{
    setObjectName(QStringLiteral("frmProfElimina"));
    setWindowTitle(QStringLiteral("Eliminazione Dati"));
    setModal(true);
    lblTitle = new QLabel(QStringLiteral("Eliminare i dati di:"), this);
    lblTitle->setObjectName(QStringLiteral("lblTitle"));
    lblProf = new QLabel(this);
    lblProf->setObjectName(QStringLiteral("lblProf"));
    {
        QFont f = lblProf->font();
        f.setBold(true);
        f.setPointSizeF(f.pointSizeF() * 1.2);
        lblProf->setFont(f);
    }
    auto* layout = new QVBoxLayout(this);
    auto* testa = new QHBoxLayout;
    testa->addWidget(lblTitle);
    testa->addWidget(lblProf, 1);
    layout->addLayout(testa);
    const char* const righe[] = {
        "Questa procedura permette di eliminare tutti i dati del professionista selezionato.",
        "per gestire un nuovo professionista dello studio variandone i dati.",
        "Il nuovo professionista avrà in eredità i Clienti condivisi e i Pagamenti condivisi del",
        "professionista a cui sono stati eliminati i dati più gli eventuali diritti di amministrazione.",
        "",
        "I dati che verranno eliminati sono:",
        "1. Documenti emessi (ProForma, Fatture, Note di credito)",
        "2. Clienti non condivisi",
        "3. Pagamenti non condivisi",
        // What goes with them, said before the user decides.
        "4. Numerazione dei documenti (contatori) e prestazioni dei clienti eliminati",
    };
    for (const char* riga : righe)
        layout->addWidget(new QLabel(QString::fromUtf8(riga), this));
    const OkCancelRow bottoni = okCancelRow(this, QStringLiteral("Procedi"));
    cmdOK = bottoni.ok;
    cmdCancel = bottoni.cancel;
    layout->addSpacing(8);
    layout->addLayout(bottoni.layout);
    RimuoviChiudi(this);
    connect(cmdOK, &QPushButton::clicked, this, [this] { cmdOK_Click(); });
    connect(cmdCancel, &QPushButton::clicked, this, [this] { cmdCancel_Click(); });
}

void frmProfElimina::Elimina(std::int32_t sezId, QWidget* owner)
{
    frmProfElimina* f = instance();
    if (owner && f->parentWidget() != owner)
        f->setParent(owner, f->windowFlags());
    f->m_sezId = sezId;
    try {
        if (const std::optional<QString> nome = professionalNameOf(session().dataConStr, sezId))
            f->lblProf->setText(*nome);
    } catch (const core::Error& e) {
        ui::msgBox(e.text(), ui::vbCritical, AppTitle());
        Unload();
        return;
    }
    ui::execModal(f);
    Unload();
}

void frmProfElimina::cmdOK_Click()
{
    if (ui::msgBox(QStringLiteral("Sei sicuro di eliminare definitivamente i dati del professionista selezionato?"),
                   ui::vbYesNo | ui::vbQuestion | ui::vbDefaultButton2, AppTitle())
        != ui::vbYes) {
        ui::msgBox(QStringLiteral("Procedura interrotta"), ui::vbOKOnly, AppTitle());
        hide();
        return;
    }
    try {
        deleteProfessionalData(session().dataConStr, m_sezId);
    } catch (const core::Error& e) {
        ui::msgBox(QStringLiteral("Eliminazione non eseguita: nessun dato è stato eliminato.") + QStringLiteral("\r\n")
                       + e.text(),
                   ui::vbCritical, AppTitle());
    }
    hide();
}

void frmProfElimina::cmdCancel_Click()
{
    hide();
}

void frmProfElimina::keyPressEvent(QKeyEvent* event)
{
    // Esc is "Annulla".
    if (event->key() == Qt::Key_Escape) {
        cmdCancel_Click();
        return;
    }
    QDialog::keyPressEvent(event);
}
