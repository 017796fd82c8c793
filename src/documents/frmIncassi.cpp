#include "documents/frmIncassi.h"

#include "common/comUtility.h"
#include "domain/Collections.h"
#include "platform/core/Error.h"
#include "platform/core/Format.h"
#include "domain/WriteFailure.h"
#include "domain/DocumentStore.h"
#include "platform/grid/GridColumn.h"
#include "platform/grid/GridEx.h"
#include "platform/ui/Dialogs.h"
#include "startup/SharedState.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QTableView>
#include <QVBoxLayout>

namespace {

const QString kFormatoImporti = QStringLiteral("#,##0.00;-#,##0.00;0.00");

QString saveFailureText(const core::Error& e)
{
    const WriteFailure failure = writeFailureOf(e);
    if (failure == WriteFailure::Conflict)
        return kConflictMessage;
    if (failure == WriteFailure::Busy)
        return QStringLiteral("Il database è in uso da un altro utente: gli incassi non sono stati salvati.") + kCrLf
             + QStringLiteral("Riprovare fra qualche istante.");
    return QStringLiteral("Gli incassi non sono stati salvati.") + kCrLf + e.text();
}

} // namespace

void frmIncassi::Apri(std::int32_t fatId, QWidget* owner)
{
    auto* f = new frmIncassi(owner);
    if (f->load(fatId))
        ui::execModal(f);
    delete f;
}

frmIncassi::frmIncassi(QWidget* owner) : QDialog(owner)
{
    setObjectName(QStringLiteral("frmIncassi"));
    setWindowTitle(QStringLiteral("Incassi"));
    setModal(true);

    gex = new grid::GridEx(this);
    gex->setObjectName(QStringLiteral("gex"));
    gex->setNavigatorVisible(true);
    gex->setNavigatorTexts(QStringLiteral("Record:|di"));
    cmdSalva = new QPushButton(QStringLiteral("Salva"), this);
    cmdSalva->setObjectName(QStringLiteral("cmdSalva"));
    cmdAnnulla = new QPushButton(QStringLiteral("Annulla"), this);
    cmdAnnulla->setObjectName(QStringLiteral("cmdAnnulla"));
    lblNetto = new QLabel(this);
    lblNetto->setObjectName(QStringLiteral("lblNetto"));
    lblIncassato = new QLabel(this);
    lblIncassato->setObjectName(QStringLiteral("lblIncassato"));
    lblDaIncassare = new QLabel(this);
    lblDaIncassare->setObjectName(QStringLiteral("lblDaIncassare"));
    QFont bold = lblDaIncassare->font();
    bold.setBold(true);
    lblDaIncassare->setFont(bold);

    auto* importi = new QHBoxLayout;
    importi->addWidget(lblNetto);
    importi->addStretch();
    importi->addWidget(lblIncassato);
    importi->addStretch();
    importi->addWidget(lblDaIncassare);
    auto* pulsanti = new QHBoxLayout;
    pulsanti->addStretch();
    pulsanti->addWidget(cmdSalva);
    pulsanti->addWidget(cmdAnnulla);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(gex, 1);
    layout->addLayout(importi);
    layout->addLayout(pulsanti);
    setTabOrder(gex->view(), cmdSalva);
    setTabOrder(cmdSalva, cmdAnnulla);
    resize(480, 320);

    connect(cmdSalva, &QPushButton::clicked, this, [this] { cmdSalva_Click(); });
    connect(cmdAnnulla, &QPushButton::clicked, this, [this] { cmdAnnulla_Click(); });
    connect(gex, &grid::GridEx::beforeUpdate, this, [this](bool& cancel) { cancel = !gex_OnRowValidate(); });
    connect(gex, &grid::GridEx::afterUpdate, this, [this] { showAmounts(); });
    connect(gex, &grid::GridEx::afterDelete, this, [this] { showAmounts(); });
    connect(gex, &grid::GridEx::error, this, [](long, const QString& description) {
        ui::msgBox(description, ui::vbOKOnly);
    });
    connect(gex, &grid::GridEx::keyDown, this, [this](int& keyCode, int shift) {
        QWidget* focus = QApplication::focusWidget();
        const bool cellEditor = focus && focus != gex->view() && gex->isAncestorOf(focus);
        if (keyCode == 27) {
            // Esc drops the typing of a cell, then the edit of the row; only on a
            // row at rest does it close the window.
            if (cellEditor)
                return;
            keyCode = 0;
            if (gex->isEditingRow())
                gex->cancelRowEdit();
            else
                cmdAnnulla_Click();
            return;
        }
        // Enter writes the row being edited and goes on to a new one; it never
        // reaches the window's buttons from the grid (no save by a stray Enter).
        if (keyCode == 13 && shift == 0) {
            keyCode = 0;
            if (cellEditor)
                gex->view()->setFocus(); // closes the cell, keeping what was typed
            if (gex->isEditingRow() && gex->commitRowEdit())
                goToNewRow();
            return;
        }
        if (keyCode == 46 && shift == 0 && !cellEditor && gex->row() >= 1 && gex->row() <= gex->rowCount()) {
            keyCode = 0;
            gex->deleteCurrentRow();
        }
    });
}

bool frmIncassi::load(std::int32_t fatId)
{
    m_fatId = fatId;
    gex->hide();
    try {
        // The rows and the net they are set against, as they stood at one moment.
        DocumentCollections read = DocumentStore(session().dataConStr).loadCollections(fatId);
        m_rs = read.rows;
        m_netto = read.net;
        m_dataDocumento = read.date;
        gex->setRecordset(m_rs);
    } catch (const core::Error& e) {
        ui::msgBox(e.description(), ui::vbOKOnly | ui::vbExclamation);
        return false;
    }
    configureColumns();
    showAmounts();
    gex->show();
    goToNewRow();
    gex->setFocus();
    return true;
}

void frmIncassi::configureColumns()
{
    gex->setAllowEdit(true);
    gex->setAllowAddNew(true);
    gex->setAllowDelete(true);
    gex->setRowHeadersVisible(true);
    gex->column(QStringLiteral("incId")).setVisible(false);
    gex->column(QStringLiteral("incFatId")).setVisible(false);
    grid::GridColumn data = gex->column(QStringLiteral("incData"));
    data.setCaption(QStringLiteral("Data"));
    data.setWidth(1400);
    data.setDefaultValue(core::Variant(session().dataLavoro));
    grid::GridColumn importo = gex->column(QStringLiteral("incImporto"));
    importo.setCaption(QStringLiteral("Importo"));
    importo.setWidth(1200);
    importo.setFormat(kFormatoImporti);
    importo.setDefaultValue(core::Variant(core::Currency()));
    grid::GridColumn descrizione = gex->column(QStringLiteral("incDescrizione"));
    descrizione.setCaption(QStringLiteral("Descrizione"));
    descrizione.setWidth(2000);
}

void frmIncassi::goToNewRow()
{
    gex->setRow(gex->rowCount() + 1);
    gex->setCol(gex->column(QStringLiteral("incData")).position());
}

bool frmIncassi::gex_OnRowValidate()
{
    // A date that is no date, or an amount that is no number, keeps the user in the row.
    m_rigaSpiegata = false;
    const core::Variant importo = gex->value(QStringLiteral("incImporto"));
    const core::Variant data = gex->value(QStringLiteral("incData"));
    if (!importo.isNumber() || !data.isDate())
        return false;

    // What the row was before this edit, and what the other rows leave to collect.
    CollectionRow row;
    row.amount = importo.toCurrency();
    row.date = data.toDate();
    const int current = gex->row();
    row.isNew = gex->isNewRowLine(current) || current < 1 || current > gex->rowCount();
    const int colImporto = gex->columnIndex(QStringLiteral("incImporto"));
    QVector<core::Currency> altre;
    for (int r = 1; r <= gex->rowCount(); ++r) {
        const core::Variant v = gex->cellValue(r, colImporto);
        if (r == current && !row.isNew) {
            row.amountBefore = v.isNumber() ? v.toCurrency() : core::Currency();
            const core::Variant prima = gex->cellValue(r, gex->columnIndex(QStringLiteral("incData")));
            row.dateBefore = prima.isDate() ? prima.toDate() : QDate();
        } else if (v.isNumber()) {
            altre << v.toCurrency();
        }
    }
    const CollectionRowCheck check = checkCollectionRow(row, unpaidAmount(m_netto, altre), m_dataDocumento);
    if (!check.refusal.isEmpty()) {
        ui::msgBox(check.refusal, ui::vbOKOnly | ui::vbExclamation);
        m_rigaSpiegata = true;
        return false;
    }
    for (const QString& domanda : check.questions) {
        if (ui::msgBox(domanda, ui::vbYesNo | ui::vbQuestion | ui::vbDefaultButton2) != ui::vbYes) {
            m_rigaSpiegata = true;
            return false;
        }
    }
    gex->setValue(QStringLiteral("incFatId"), core::Variant(m_fatId));
    return true;
}

void frmIncassi::showAmounts()
{
    const core::Currency daIncassare = unpaidAmount(m_netto, collectionAmounts(m_rs));
    lblNetto->setText(QStringLiteral("Netto dovuto: ") + core::format(core::Variant(m_netto), kFormatoImporti));
    lblIncassato->setText(QStringLiteral("Incassato: ")
                          + core::format(core::Variant(m_netto - daIncassare), kFormatoImporti));
    lblDaIncassare->setText(QStringLiteral("Da incassare: ") + core::format(core::Variant(daIncassare), kFormatoImporti));
}

void frmIncassi::cmdSalva_Click()
{
    if (gex->isEditingRow()) {
        QWidget* focus = QApplication::focusWidget();
        if (focus && focus != gex->view() && gex->isAncestorOf(focus))
            gex->view()->setFocus(); // closes the cell editor, keeping what was typed
        if (!gex->commitRowEdit()) {
            if (!m_rigaSpiegata)
                ui::msgBox(QStringLiteral("La riga in modifica non è completa: inserire la data e l'importo, oppure "
                                          "annullarla con Esc."),
                           ui::vbOKOnly | ui::vbExclamation);
            gex->setFocus();
            return;
        }
    }
    try {
        DocumentStore(session().dataConStr).saveCollections(m_fatId, m_rs);
    } catch (const core::Error& e) {
        // Nothing was written; every edit is still here for another try or Annulla.
        gex->refresh();
        showAmounts();
        ui::msgBox(saveFailureText(e), ui::vbOKOnly | ui::vbExclamation);
        return;
    }
    m_closing = true;
    accept();
}

void frmIncassi::cmdAnnulla_Click()
{
    reject();
}

void frmIncassi::reject()
{
    if (!m_closing) {
        m_closing = true;
        gex->cancelRowEdit();
        try {
            if (!m_rs.isNull() && m_rs.isOpen())
                m_rs.cancelBatch();
        } catch (const core::Error&) {
            // The edits are dropped with the window either way.
        }
    }
    QDialog::reject();
}
