#pragma once

#include "platform/core/Currency.h"
#include "domain/Document.h"

#include <QDate>
#include <QDialog>
#include <cstdint>

class QLabel;
class QPushButton;

namespace grid {
class GridEx;
}

// The collections received against one document: rows edited in a grid, then
// saved all at once or dropped all.
class frmIncassi : public QDialog {
    Q_OBJECT
public:
    // Shows the collections of the document modal over `owner`; returns when the window closes.
    static void Apri(std::int32_t fatId, QWidget* owner = nullptr);

    grid::GridEx* gex = nullptr;
    QPushButton* cmdSalva = nullptr;
    QPushButton* cmdAnnulla = nullptr;
    // Net due, collected so far and still to collect, with the edits made here.
    QLabel* lblNetto = nullptr;
    QLabel* lblIncassato = nullptr;
    QLabel* lblDaIncassare = nullptr;

    db::Recordset recordset() const { return m_rs; }

protected:
    // Esc on a row at rest, Annulla and the window's close button drop every edit.
    void reject() override;

private:
    explicit frmIncassi(QWidget* owner);
    bool load(std::int32_t fatId);
    void configureColumns();
    void cmdSalva_Click();
    void cmdAnnulla_Click();
    bool gex_OnRowValidate();
    void showAmounts();
    void goToNewRow();

    std::int32_t m_fatId = 0;
    core::Currency m_netto;
    QDate m_dataDocumento;
    // The row check has told the user why it kept the row in edit.
    bool m_rigaSpiegata = false;
    db::Recordset m_rs;
    bool m_closing = false;
};
