#include "layouts/finfrmReps.h"

#include "common/FormLifetime.h"
#include "domain/LayoutStore.h"
#include "layouts/finfrmArdFat.h"
#include "platform/core/Error.h"
#include "platform/grid/GridColumn.h"
#include "platform/grid/GridEx.h"
#include "platform/ui/Dialogs.h"
#include "printing/finclsTarvix.h"
#include "startup/SharedState.h"

#include <QFont>
#include <QHeaderView>
#include <QHBoxLayout>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QTableView>
#include <QVBoxLayout>
#include <exception>

namespace {

void avvisa(const QString& testo, int icona = 0)
{
    ui::msgBox(testo, ui::vbOKOnly | icona, AppTitle());
}

} // namespace

void finfrmReps::Mostra(QWidget* owner)
{
    finfrmReps* f = instance();
    if (owner && f->parentWidget() != owner)
        f->setParent(owner, f->windowFlags());
    ui::showModal(f);
}

finfrmReps::finfrmReps()
{
    setObjectName(QStringLiteral("finfrmReps"));
    setWindowTitle(QStringLiteral(" Gestione Modelli di Stampa"));
    setModal(true);

    Label1 = new QLabel(QStringLiteral(" Modelli di documento"), this);
    Label1->setObjectName(QStringLiteral("Label1"));
    QFont intestazione = Label1->font();
    intestazione.setBold(true);
    intestazione.setPointSizeF(intestazione.pointSizeF() * 1.2);
    Label1->setFont(intestazione);

    gex = new grid::GridEx(this);
    gex->setObjectName(QStringLiteral("gex"));
    gex->setLockType(db::LockType::ReadOnly);
    gex->setAllowEdit(false);
    gex->setAllowAddNew(false);
    gex->setAllowDelete(false);
    gex->setRowHeadersVisible(true);
    gex->setNavigatorVisible(true);
    gex->setNavigatorTexts(QStringLiteral("Record:|di"));
    // The name column takes the grid's width.
    gex->view()->horizontalHeader()->setStretchLastSection(true);

    const char* const captions[6] = {"Nuovo",   "Nuovo da modello corrente", "Modifica modello corrente",
                                     "Elimina modello corrente", "Importa modello", "Chiudi"};
    auto* pulsanti = new QVBoxLayout;
    for (int i = 0; i < 6; ++i) {
        auto* b = new QPushButton(QString::fromUtf8(captions[i]), this);
        b->setObjectName(QStringLiteral("cmdBut(%1)").arg(i));
        b->setAutoDefault(true);
        b->setMinimumWidth(190);
        connect(b, &QPushButton::clicked, this, [this, i] { cmdBut_Click(i); });
        cmdBut.push_back(b);
        pulsanti->addWidget(b);
        if (i == 3)
            pulsanti->addSpacing(12);
    }
    // What importing a layout should do is not settled: the button stays off.
    cmdBut[4]->setEnabled(false);
    pulsanti->addStretch();

    auto* griglia = new QVBoxLayout;
    griglia->addWidget(gex, 1);
    auto* corpo = new QHBoxLayout;
    corpo->addLayout(griglia, 1);
    corpo->addLayout(pulsanti);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(Label1);
    layout->addLayout(corpo, 1);
    resize(560, 320);

    connect(gex, &grid::GridEx::currentCellChanged, this, [this](int, int) { aggiornaPulsanti(); });
    connect(gex, &grid::GridEx::dblClick, this, [this] {
        if (gex->row() > 0)
            cmdBut_Click(2);
    });
    connect(gex, &grid::GridEx::error, this, [](long, const QString& description) {
        avvisa(QStringLiteral("Impossibile leggere i modelli di stampa.\n") + description,
               ui::vbExclamation);
    });
    Form_Load();
}

void finfrmReps::Form_Load()
{
    gex->setConnectionString(session().dataConStr);
    gex->setRecordSource(QStringLiteral("SELECT finId, finNome FROM finData"));
    gex->rebind();
    if (gex->columnCount() >= 2) {
        gex->column(1).setVisible(false);
        gex->column(2).setCaption(QStringLiteral("Modello"));
    }
    if (gex->rowCount() > 0)
        gex->setRow(1);
    aggiornaPulsanti();
}

void finfrmReps::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    gex->setFocus();
}

void finfrmReps::aggiornaPulsanti()
{
    // The buttons that act on the current layout need one.
    const bool riga = gex->row() > 0 && gex->row() <= gex->rowCount();
    for (int i : {1, 2, 3})
        cmdBut[i]->setEnabled(riga);
}

std::int32_t finfrmReps::idCorrente() const
{
    return gex->value(1).toLong();
}

QString finfrmReps::nomeCorrente() const
{
    return gex->value(2).toString();
}

void finfrmReps::cmdBut_Click(int index)
{
    switch (index) {
    case 0: apriDesigner(0); break;
    case 1: apriDesigner(1); break;
    case 2: apriDesigner(2); break;
    case 3: elimina(); break;
    case 5:
        hide();
        scarica();
        break;
    default: break; // 4: no action
    }
}

void finfrmReps::apriDesigner(std::int16_t mode)
{
    if (mode != 0 && !cmdBut[mode]->isEnabled())
        return;
    const std::int32_t id = mode == 0 ? 0 : idCorrente();
    // The engine only lends its catalogue: making one touches no database.
    const finclsTarvix motore;
    // The list closes once the designer is open; a designer that could not
    // open (after its message) leaves the list where it was.
    if (!finfrmArdFat::Apri(motore.Campi, mode, id))
        return;
    hide();
    scarica();
}

void finfrmReps::elimina()
{
    if (gex->row() <= 0)
        return;
    const std::int32_t id = idCorrente();
    const QString nome = nomeCorrente();
    try {
        LayoutDeletion esito = checkLayoutDeletion(session().dataConStr, id);
        if (esito == LayoutDeletion::Allowed) {
            const int risposta = ui::msgBox(QStringLiteral("Confermare l'eliminazione del modello \"%1\" ?").arg(nome),
                                            ui::vbYesNo | ui::vbDefaultButton2, AppTitle());
            if (risposta != ui::vbYes)
                return;
            // Checked again with the delete, in one transaction.
            esito = deleteLayout(session().dataConStr, id);
        }
        switch (esito) {
        case LayoutDeletion::OnlyLayout: avvisa(QStringLiteral("Impossibile eliminare l'unico modello disponibile")); break;
        case LayoutDeletion::Assigned: avvisa(QStringLiteral("Modello in relazione con documenti: non sarà eliminato.")); break;
        case LayoutDeletion::Missing:
            avvisa(QStringLiteral("Il modello \"%1\" è stato eliminato da un altro utente.").arg(nome), ui::vbExclamation);
            break;
        case LayoutDeletion::Allowed: break;
        }
        if (esito == LayoutDeletion::Allowed || esito == LayoutDeletion::Missing) {
            gex->rebind(true);
            if (gex->rowCount() > 0)
                gex->setRow(1);
            aggiornaPulsanti();
        }
    } catch (const core::Error& e) {
        avvisa(QStringLiteral("Impossibile eliminare il modello.\n") + e.text(), ui::vbExclamation);
    } catch (const std::exception& e) {
        avvisa(QStringLiteral("Impossibile eliminare il modello.\n") + QString::fromLocal8Bit(e.what()), ui::vbExclamation);
    }
}

void finfrmReps::reject()
{
    QDialog::reject();
    scarica();
}

void finfrmReps::scarica()
{
    unloadForm(this);
}
