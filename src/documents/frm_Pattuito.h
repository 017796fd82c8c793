#pragma once

#include "platform/core/Currency.h"

#include <QDialog>
#include <optional>

class QLineEdit;
class QPushButton;

// Asks for the net amount agreed with the client ("Netto dovuto").
class frm_Pattuito : public QDialog {
    Q_OBJECT
public:
    // Shows the dialog modal over `owner`; the amount typed, or nothing when the
    // user cancelled (every amount, -1 too, is an amount).
    static std::optional<core::Currency> Apri(QWidget* owner = nullptr);

    QLineEdit* txtData = nullptr;
    QPushButton* cmdOK = nullptr;
    QPushButton* cmdCancel = nullptr;

protected:
    // Esc, Annulla and the window's close button all cancel.
    void reject() override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    explicit frm_Pattuito(QWidget* owner);
    void cmdOK_Click();
    void cmdCancel_Click();

    std::optional<core::Currency> m_result;
};
