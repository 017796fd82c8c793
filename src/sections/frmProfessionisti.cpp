#include "sections/frmProfessionisti.h"

#include "common/FormLifetime.h"
#include "sections/frmNewProf.h"
#include "sections/frmProfElimina.h"
#include "platform/grid/GridColumn.h"
#include "platform/grid/GridEx.h"
#include "platform/ui/Dialogs.h"
#include "startup/DatabaseFile.h"
#include "startup/SharedState.h"

#include <QDir>
#include <QHBoxLayout>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QVBoxLayout>

namespace {
const QString kColonnaAmm = QStringLiteral("amm");
} // namespace

frmProfessionisti::frmProfessionisti()
{
    setObjectName(QStringLiteral("frmProfessionisti"));
    setWindowTitle(QStringLiteral(" Professionisti"));
    setModal(true);

    gex = new grid::GridEx(this);
    gex->setObjectName(QStringLiteral("gex"));
    gex->setFont(QFont(QStringLiteral("Verdana"), font().pointSize()));
    gex->setLockType(db::LockType::ReadOnly);
    gex->setAllowEdit(false);
    cmdNew = new QPushButton(QStringLiteral("Nuovo"), this);
    cmdNew->setObjectName(QStringLiteral("cmdNew"));
    cmdErase = new QPushButton(QStringLiteral("Elimina"), this);
    cmdErase->setObjectName(QStringLiteral("cmdErase"));
    cmdClose = new QPushButton(QStringLiteral("Chiudi"), this);
    cmdClose->setObjectName(QStringLiteral("cmdClose"));
    for (QPushButton* b : {cmdNew, cmdErase, cmdClose})
        b->setAutoDefault(true);
    lblDB = new QLabel(this);
    lblDB->setObjectName(QStringLiteral("lblDB"));
    lblDB->setTextInteractionFlags(Qt::TextSelectableByMouse);

    auto* bottoni = new QVBoxLayout;
    bottoni->addWidget(cmdNew);
    bottoni->addWidget(cmdErase);
    bottoni->addStretch();
    bottoni->addWidget(cmdClose);
    auto* centro = new QHBoxLayout;
    centro->addWidget(gex, 1);
    centro->addLayout(bottoni);
    auto* db = new QHBoxLayout;
    db->addWidget(new QLabel(QStringLiteral("Database Corrente:"), this));
    db->addWidget(lblDB, 1);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(centro, 1);
    layout->addLayout(db);
    resize(620, 360);

    connect(cmdNew, &QPushButton::clicked, this, [this] { cmdNew_Click(); });
    connect(cmdErase, &QPushButton::clicked, this, [this] { cmdErase_Click(); });
    connect(cmdClose, &QPushButton::clicked, this, [this] { cmdClose_Click(); });
    connect(gex, &grid::GridEx::unboundReadData, this, [this](int row, int column, core::Variant& value) {
        if (column == gex->columnIndex(kColonnaAmm))
            value = core::Variant(gex->cellValue(row, 1).toLong() == 1 ? QStringLiteral("(amm.)") : QString());
    });
    connect(gex, &grid::GridEx::error, this, [](long, const QString& description) {
        ui::msgBox(description, ui::vbCritical, AppTitle());
    });
}

void frmProfessionisti::Mostra(QWidget* owner)
{
    // The studio's professionals are the administrator's to manage.
    if (session().sezId != 1)
        return;
    frmProfessionisti* f = instance();
    if (owner && f->parentWidget() != owner)
        f->setParent(owner, f->windowFlags());
    f->Form_Load();
    ui::execModal(f);
    Unload();
}

void frmProfessionisti::Form_Load()
{
    gex->hide();
    gex->setConnectionString(session().dataConStr);
    gex->setRecordSource(QStringLiteral("SELECT sezId, sezTitolo, sezNome, sezCognome FROM Sezioni ORDER BY sezId"));
    caricaElenco();
    gex->show();
    lblDB->setText(QDir::toNativeSeparators(PercorsoDatabase()));
}

void frmProfessionisti::caricaElenco()
{
    const int riga = gex->row();
    if (!gex->rebind(true))
        return;
    gex->column(1).setVisible(false);
    const char* const didascalie[] = {"Titolo", "Nome", "Cognome"};
    for (int c = 2; c <= 4 && c <= gex->columnCount(); ++c)
        gex->column(c).setCaption(QString::fromUtf8(didascalie[c - 2]));
    gex->column(2).setWidth(940);
    gex->column(3).setWidth(2200);
    gex->column(4).setWidth(2200);
    if (gex->columnIndex(kColonnaAmm) == 0)
        // A blank caption: the column only marks the administrator.
        gex->addUnboundColumn(kColonnaAmm, QStringLiteral(" ")).setWidth(940);
    if (riga > 0 && riga <= gex->rowCount())
        gex->setRow(riga);
}

void frmProfessionisti::cmdNew_Click()
{
    QPointer<frmProfessionisti> self(this);
    const std::int32_t nuovo = frmNewProf::Mostra(this);
    if (!self)
        return;
    caricaElenco();
    // The new professional is the row the user looks at next.
    for (int r = 1; nuovo > 0 && r <= gex->rowCount(); ++r)
        if (gex->cellValue(r, 1).toLong() == nuovo)
            gex->setRow(r);
}

void frmProfessionisti::cmdErase_Click()
{
    if (gex->row() < 1)
        return;
    const std::int32_t sezId = gex->value(1).toLong();
    if (sezId == 1) {
        ui::msgBox(QStringLiteral("Impossibile eliminare il Professionista Amministratore"), ui::vbOKOnly, AppTitle());
        return;
    }
    frmProfElimina::Elimina(sezId, this);
}

void frmProfessionisti::cmdClose_Click()
{
    hide();
}
