#include "layouts/finfrmRepRels.h"

#include "common/FormLifetime.h"
#include "domain/LayoutStore.h"
#include "platform/grid/GridColumn.h"
#include "platform/grid/GridEx.h"
#include "platform/ui/Dialogs.h"
#include "startup/SharedState.h"

#include <QHBoxLayout>
#include <QPointer>
#include <QPushButton>
#include <QVBoxLayout>

finfrmRepRels::finfrmRepRels()
{
    setObjectName(QStringLiteral("finfrmRepRels"));
    setWindowTitle(QStringLiteral(" Associazione Modelli di Stampa"));
    setModal(true);

    gex = new grid::GridEx(this);
    gex->setObjectName(QStringLiteral("gex"));
    gex->setNavigatorVisible(true);
    gex->setNavigatorTexts(QStringLiteral("Record:|di"));
    // Each edit of a row is written when the row is committed.
    gex->setLockType(db::LockType::Optimistic);
    gex->setRowHeadersVisible(true);

    gexmod = new grid::GridEx(this);
    gexmod->setObjectName(QStringLiteral("gexmod"));
    gexmod->setLockType(db::LockType::ReadOnly);
    gexmod->setAllowEdit(false);
    gexmod->setColumnHeadersVisible(false);
    // A list that could not be read is told, not shown empty as if there were nothing.
    connect(gexmod, &grid::GridEx::error, this, [](long, const QString& description) {
        ui::msgBox(QStringLiteral("Impossibile leggere l'elenco dei modelli di stampa.\n") + description, ui::vbOKOnly | ui::vbExclamation, AppTitle());
    });
    gexmod->hide(); // only the drop-down list of the layout column

    cmdSave = new QPushButton(QStringLiteral("Salva"), this);
    cmdSave->setObjectName(QStringLiteral("cmdSave"));
    cmdCancel = new QPushButton(QStringLiteral("Annulla"), this);
    cmdCancel->setObjectName(QStringLiteral("cmdCancel"));
    for (QPushButton* b : {cmdSave, cmdCancel})
        b->setAutoDefault(false);
    connect(cmdSave, &QPushButton::clicked, this, [this] { cmdSave_Click(); });
    connect(cmdCancel, &QPushButton::clicked, this, [this] { cmdCancel_Click(); });
    connect(gex, &grid::GridEx::error, this, [](long, const QString& description) {
        ui::msgBox(QStringLiteral("Impossibile salvare l'associazione dei modelli.\n") + description,
                   ui::vbOKOnly | ui::vbExclamation, AppTitle());
    });

    auto* pulsanti = new QHBoxLayout;
    pulsanti->addStretch();
    pulsanti->addWidget(cmdSave);
    pulsanti->addWidget(cmdCancel);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(gex, 1);
    layout->addLayout(pulsanti);
    resize(520, 240);
}

void finfrmRepRels::Apri(std::int32_t sezId)
{
    finfrmRepRels* f = instance();
    f->gexmod->setConnectionString(session().dataConStr);
    f->gexmod->setRecordSource(layoutChoiceQuery());
    f->gexmod->rebind(true);
    if (f->gexmod->columnCount() >= 2)
        f->gexmod->column(1).setVisible(false);

    grid::GridEx* gex = f->gex;
    gex->setConnectionString(session().dataConStr);
    gex->setRecordSource(assignmentQuery(sezId));
    if (gex->rebind(true) && gex->columnCount() >= 4) {
        gex->column(QStringLiteral("sezId")).setVisible(false);
        gex->column(QStringLiteral("fnrId")).setVisible(false);
        grid::GridColumn modello = gex->column(QStringLiteral("fnrfinId"));
        modello.setCaption(QStringLiteral("Modello"));
        modello.setDropDown(f->gexmod, QStringLiteral("finId"), QStringLiteral("finNome"));
        modello.setWidth(4200);
        grid::GridColumn tipo = gex->column(QStringLiteral("fnrDocType"));
        tipo.setCaption(QStringLiteral("Tipo documento"));
        tipo.setValueList({{core::Variant(0), QStringLiteral("Fattura")},
                           {core::Variant(1), QStringLiteral("Nota di Credito")},
                           {core::Variant(2), QStringLiteral("Pro Forma")}});
        tipo.setEditable(false);
        tipo.setWidth(2200);
    }
    gex->setAllowEdit(true);
    gex->setAllowAddNew(false);
    gex->setAllowDelete(false);
    if (gex->rowCount() > 0)
        gex->setRow(1);

    QPointer<finfrmRepRels> guard(f);
    ui::execModal(f);
    if (guard && !guard->isVisible())
        guard->scarica();
}

void finfrmRepRels::cmdSave_Click()
{
    // A row the database refused stays in edit, and the window open, after the message.
    if (!gex->commitRowEdit())
        return;
    hide();
}

void finfrmRepRels::cmdCancel_Click()
{
    gex->cancelRowEdit();
    hide();
}

void finfrmRepRels::reject()
{
    cmdCancel_Click();
    QDialog::reject();
}

void finfrmRepRels::scarica()
{
    unloadForm(this);
}
