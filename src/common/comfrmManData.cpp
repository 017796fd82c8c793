#include "common/comfrmManData.h"

#include "common/FormLifetime.h"
#include "platform/core/Error.h"
#include "platform/database/Catalog.h"
#include "platform/database/Connection.h"
#include "platform/grid/GridEx.h"
#include "platform/grid/GridTypes.h"
#include "platform/ui/Dialogs.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QPointer>
#include <QStackedLayout>
#include <QVBoxLayout>

namespace {

// The browser is never narrower than this (twips).
constexpr int kLarghezzaMinima = 6105;

} // namespace

comfrmManData::comfrmManData()
{
    setObjectName(QStringLiteral("comfrmManData"));
    setWindowTitle(QStringLiteral("Tabelle"));

    auto* lblTabella = new QLabel(QStringLiteral("Tabella:"), this);
    cmbTables = new QComboBox(this);
    cmbTables->setObjectName(QStringLiteral("cmbTables"));
    cmbTables->setMinimumContentsLength(24);
    gexTable = new grid::GridEx(this);
    gexTable->setObjectName(QStringLiteral("gexTable"));
    gexTable->setFont(QFont(QStringLiteral("Verdana"), font().pointSize()));
    // Each row is written when the user leaves it, checked against what it held.
    gexTable->setLockType(db::LockType::Optimistic);
    gexTable->setAllowEdit(true);
    gexTable->setAllowAddNew(true);
    gexTable->setAllowDelete(true);
    gexTable->setRowHeadersVisible(true);
    gexTable->setHeaderClickSorts(true);
    gexTable->setMultiSelect(true);
    gexTable->setNavigatorVisible(true);
    gexTable->setNavigatorTexts(QStringLiteral("Record:|di"));
    gexTable->setGroupByBoxVisible(true);
    gexTable->setGroupByBoxHint(QStringLiteral("Trascinare qui una colonna per raggruppare."));
    gexTable->setCalendarTexts(QStringLiteral("Oggi"), QStringLiteral("Vuoto"));
    picBottom = new QFrame(this);
    picBottom->setObjectName(QStringLiteral("picBottom"));
    picBottom->setFrameShape(QFrame::StyledPanel);

    auto* alto = new QHBoxLayout;
    alto->addWidget(lblTabella);
    alto->addWidget(cmbTables);
    alto->addStretch();
    // The panel covers the grid's place until a table is chosen.
    m_area = new QStackedLayout;
    m_area->addWidget(picBottom);
    m_area->addWidget(gexTable);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(alto);
    layout->addLayout(m_area, 1);
    setMinimumWidth(grid::twipsToPixels(kLarghezzaMinima, logicalDpiX()));
    resize(900, 560);

    connect(cmbTables, &QComboBox::activated, this, [this] { cmbTables_Click(); });
    connect(gexTable, &grid::GridEx::error, this, [](long, const QString& description) {
        ui::msgBox(description, ui::vbCritical);
    });
    connect(gexTable, &grid::GridEx::keyDown, this, [this](int& keyCode, int shift) {
        // Canc deletes the selected rows; inside a cell being typed it stays the editor's key.
        if (keyCode == 46 && shift == 0 && !gexTable->isCellEditorOpen()) {
            keyCode = 0;
            EliminaRighe();
        }
    });
}

void comfrmManData::EliminaRighe()
{
    const QVector<int> righe = gexTable->selectedRows();
    if (righe.isEmpty())
        return;
    const QString domanda = righe.size() == 1 ? QStringLiteral("Eliminare la riga selezionata?")
                                              : QStringLiteral("Eliminare le %1 righe selezionate?").arg(righe.size());
    if (ui::msgBox(domanda, ui::vbYesNo | ui::vbQuestion | ui::vbDefaultButton2) != ui::vbYes)
        return;
    const grid::GridEx::DeleteResult esito = gexTable->deleteRows(righe);
    if (esito.refused.isEmpty())
        return;
    QString testo = esito.refused.size() == 1
                        ? QStringLiteral("Una riga non è stata eliminata:")
                        : QStringLiteral("%1 righe non sono state eliminate:").arg(esito.refused.size());
    for (const QString& motivo : esito.refused)
        testo += QLatin1Char('\n') + motivo;
    if (esito.deleted > 0)
        testo += QLatin1Char('\n') + QStringLiteral("Righe eliminate: %1.").arg(esito.deleted);
    ui::msgBox(testo, ui::vbExclamation);
}

void comfrmManData::done(int result)
{
    // A row still in edit is written as leaving it would write it; a refused one keeps the window open.
    if (gexTable->isVisible() && !gexTable->commitPendingEdit())
        return;
    QDialog::done(result);
}

void comfrmManData::closeEvent(QCloseEvent* event)
{
    if (gexTable->isVisible() && !gexTable->commitPendingEdit()) {
        event->ignore();
        return;
    }
    QDialog::closeEvent(event);
}

QStringList comfrmManData::TabelleUtente(const QString& connectionString)
{
    db::Connection cn;
    cn.open(connectionString, QString(), QString());
    QStringList nomi;
    for (const db::TableInfo& t : cn.catalog().tables()) {
        // A name the brackets of a query cannot hold, or one of the engine's own, is not offered.
        if (t.type != QLatin1String("TABLE") || t.name.startsWith(QLatin1String("sqlite_"), Qt::CaseInsensitive)
            || t.name.contains(QLatin1Char(']')) || t.name.contains(QLatin1Char('[')))
            continue;
        nomi << t.name;
    }
    cn.close();
    return nomi;
}

void comfrmManData::Mostra(QWidget* owner, const QString& connectionString)
{
    comfrmManData* f = instance();
    if (owner && f->parentWidget() != owner)
        f->setParent(owner, f->windowFlags());
    try {
        f->Form_Load(connectionString);
    } catch (const core::Error& e) {
        ui::msgBox(QStringLiteral("Impossibile leggere le tabelle del database.") + QLatin1Char('\n') + e.text(), ui::vbCritical);
        Unload();
        return;
    }
    ui::showModal(f);
    Unload();
}

void comfrmManData::Form_Load(const QString& connectionString)
{
    if (connectionString.isEmpty())
        return;
    gexTable->setConnectionString(connectionString);
    cmbTables->clear();
    cmbTables->addItems(TabelleUtente(connectionString));
    cmbTables->setCurrentIndex(-1);
}

void comfrmManData::cmbTables_Click()
{
    const QString tabella = cmbTables->currentText();
    if (tabella.isEmpty())
        return;
    // The row being edited in the previous table is written (or refused) before another one shows.
    if (gexTable->isEditingRow() && !gexTable->commitRowEdit())
        return;
    gexTable->hide();
    gexTable->setRecordSource(QStringLiteral("SELECT * FROM [") + tabella + QStringLiteral("]"));
    if (!gexTable->rebind(true))
        return;
    picBottom->hide();
    gexTable->show();
    m_area->setCurrentWidget(gexTable);
    gexTable->setFocus();
}
