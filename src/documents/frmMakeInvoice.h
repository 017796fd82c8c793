#pragma once

#include <QDialog>
#include <QVector>
#include <cstdint>

class QLabel;
class QLineEdit;
class QPushButton;

namespace ui {
class DateBox;
}

// Turns a pro forma into an invoice: asks for the series and the date, makes
// the invoice, and offers to delete the pro forma.
class frmMakeInvoice : public QDialog {
    Q_OBJECT
public:
    // Shows the dialog modal for the pro forma `fatId`; the fatId of the invoice
    // made, 0 when none was (cancelled, or refused with a message).
    static std::int32_t Apri(std::int32_t fatId, QWidget* owner = nullptr);

    QVector<QLabel*> Label1; // "Numero Fattura:", "Data Fattura:"
    QLineEdit* txtInvoiceNo = nullptr;
    QLabel* lblData = nullptr;
    QLineEdit* txtSezione = nullptr;
    ui::DateBox* dtpInvoiceDate = nullptr;
    QPushButton* cmdMakeInvoice = nullptr;
    QPushButton* cmdCancel = nullptr;

private:
    explicit frmMakeInvoice(QWidget* owner);
    void txtSezione_Change();
    void cmdMakeInvoice_Click();
    bool deleteProForma(std::int32_t number, const QString& prefix);

    std::int32_t m_proFormaId = 0;
    std::int32_t m_newId = 0;
    bool m_dateRefused = false;
};
