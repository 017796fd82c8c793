#include "masterdata/frm_list_Prestazioni.h"

#include "masterdata/frm_io_Prestazioni.h"
#include "platform/grid/GridColumn.h"
#include "platform/grid/GridEx.h"
#include "platform/grid/GridTypes.h"
#include "platform/ui/Dialogs.h"
#include "common/FormLifetime.h"
#include "common/HandlerBoundary.h"
#include "startup/SharedState.h"

#include <QFont>
#include <QHBoxLayout>
#include <QPointer>
#include <QPushButton>
#include <QVBoxLayout>

frm_list_Prestazioni::frm_list_Prestazioni()
{
    setObjectName(QStringLiteral("frm_list_Prestazioni"));
    setWindowTitle(QStringLiteral("Prestazioni"));
    setModal(true);

    gexPre = new grid::GridEx(this);
    gexPre->setObjectName(QStringLiteral("gexPre"));
    gexPre->setNavigatorVisible(true);
    gexPre->setNavigatorTexts(QStringLiteral("Record:|di"));
    gexPre->setFont(QFont(QStringLiteral("Verdana")));
    gexPre->setLockType(db::LockType::ReadOnly);
    gexPre->setAllowEdit(false);
    gexPre->setAllowAddNew(false);
    gexPre->setAllowDelete(false);
    gexPre->setHeaderClickSorts(true);
    connect(gexPre, &grid::GridEx::error, this, [this](long, const QString& description) { m_erroreLettura = description; });

    cmdOK = new QPushButton(QStringLiteral("Inserisci"), this);
    cmdOK->setObjectName(QStringLiteral("cmdOK"));
    cmdCancel = new QPushButton(QStringLiteral("Annulla"), this);
    cmdCancel->setObjectName(QStringLiteral("cmdCancel"));
    cmdNew = new QPushButton(QStringLiteral("Nuova Prestazione"), this);
    cmdNew->setObjectName(QStringLiteral("cmdNew"));
    for (QPushButton* b : {cmdOK, cmdCancel, cmdNew})
        b->setAutoDefault(false);

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(cmdNew);
    buttons->addStretch();
    buttons->addWidget(cmdOK);
    buttons->addWidget(cmdCancel);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(gexPre, 1);
    layout->addLayout(buttons);
    resize(620, 380);

    connect(cmdOK, &QPushButton::clicked, this, boundary([this] { cmdOK_Click(); }));
    connect(cmdCancel, &QPushButton::clicked, this, boundary([this] { cmdCancel_Click(); }));
    connect(cmdNew, &QPushButton::clicked, this, boundary([this] { cmdNew_Click(); }));
    connect(gexPre, &grid::GridEx::dblClick, this, boundary([this] { cmdOK_Click(); }));
    connect(gexPre, &grid::GridEx::keyPress, this, boundary([this](int& keyAscii) {
        if (keyAscii == 13) {
            keyAscii = 0;
            cmdOK_Click();
        }
    }));
    Form_Load();
}

void frm_list_Prestazioni::Form_Load()
{
    RimuoviChiudi(this);
}

std::array<core::Variant, 3> frm_list_Prestazioni::Apri(std::int32_t cliId)
{
    frm_list_Prestazioni* f = instance();
    f->m_cliId = cliId;
    // Closed some other way than by a button, the picker picked nothing.
    f->m_risultato[0] = core::Variant(QString());
    f->gexPre->setConnectionString(session().dataConStr);
    f->gexPre->setRecordSource(
        QStringLiteral("SELECT preDescrizione, preCodiceIVA, preImporto, preCliId, preId FROM Prestazioni")
        + QStringLiteral(" WHERE (preCliId=0 OR preCliId=") + QString::number(cliId) + QStringLiteral(") AND sezId=")
        + QString::number(session().sezId) + QStringLiteral(" ORDER BY preCliId DESC, preDescrizione"));
    // A list that could not be read (the database busy, say) is told, and
    // nothing is picked: an empty picker would say there is no service.
    if (!f->caricaGriglia())
        return {core::Variant(QString()), {}, {}};
    QPointer<frm_list_Prestazioni> guard(f);
    ui::execModal(f);
    return guard ? guard->m_risultato : std::array<core::Variant, 3>{core::Variant(QString()), {}, {}};
}

bool frm_list_Prestazioni::caricaGriglia()
{
    if (!gexPre->rebind(true)) {
        ui::msgBox(QStringLiteral("Impossibile leggere l'elenco delle prestazioni.\n") + m_erroreLettura,
                   ui::vbOKOnly | ui::vbExclamation, AppTitle());
        return false;
    }
    if (gexPre->columnCount() < 5)
        return true;
    // The layout kept with the form.
    const char* const captions[3] = {"Descrizione", "Codice IVA", "Importo"};
    for (int i = 0; i < 3; ++i)
        gexPre->column(i + 1).setCaption(QString::fromUtf8(captions[i]));
    gexPre->column(1).setWidth(5200);
    gexPre->column(2).setWidth(1300);
    gexPre->column(3).setWidth(1600);
    gexPre->column(3).setFormat(QStringLiteral("Currency"));
    gexPre->column(4).setVisible(false);
    gexPre->column(5).setVisible(false);
    if (!m_condizione) {
        // The client's own services (client column above 0) stand out in red.
        grid::RowStyle rosso;
        rosso.foreColor = QColor(0xFF, 0x00, 0x00);
        gexPre->addFormatCondition(4, grid::Condition::GreaterThan, core::Variant(QStringLiteral("0")), rosso);
        m_condizione = true;
    }
    if (gexPre->rowCount() > 0 && gexPre->row() == 0)
        gexPre->setRow(1);
    return true;
}

void frm_list_Prestazioni::cmdOK_Click()
{
    m_risultato[0] = core::Variant(QString());
    if (gexPre->row() != 0) {
        const core::Variant descrizione = gexPre->value(1);
        if (!descrizione.isEmptyOrNull() && !descrizione.toString().isEmpty()) {
            m_risultato[0] = descrizione;
            m_risultato[1] = gexPre->value(2);
            m_risultato[2] = gexPre->value(3);
        }
    }
    hide();
}

void frm_list_Prestazioni::cmdCancel_Click()
{
    m_risultato[0] = core::Variant(QString());
    hide();
}

void frm_list_Prestazioni::reject()
{
    cmdCancel_Click();
    QDialog::reject();
}

void frm_list_Prestazioni::cmdNew_Click()
{
    const core::Variant nuovo = frm_io_Prestazioni::Nuovo(1, m_cliId);
    frm_io_Prestazioni::Unload();
    if (nuovo.isEmptyOrNull())
        return;
    // The service is stored; a list that cannot be read again has been told.
    if (!caricaGriglia())
        return;
    gexPre->find(5, grid::Condition::Equal, nuovo);
    gexPre->setFocus();
}
