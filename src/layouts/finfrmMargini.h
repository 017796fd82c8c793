#pragma once

#include "common/FormLifetime.h"
#include "platform/core/Variant.h"

#include <QDialog>
#include <array>
#include <cstdint>

class QFrame;
class QLabel;
class QLineEdit;
class QPushButton;

// The page margins of the layout being designed, typed in whole millimetres
// while the layout keeps them in twips.
class finfrmMargini : public QDialog, public DefaultInstance<finfrmMargini> {
    Q_OBJECT
public:
    // Element 0 is True when the user confirmed with OK; elements 1 to 4 are
    // the right, left, top and bottom margins in twips.
    using Risultato = std::array<core::Variant, 5>;

    // Shows the margins (twips) and returns once the dialog is hidden. The page
    // size (twips) bounds what may be typed; A4 portrait unless given.
    static Risultato Apri(std::int32_t right, std::int32_t left, std::int32_t top, std::int32_t bottom,
                          double pageWidth = 11906, double pageHeight = 16838);

    QWidget* picBanner = nullptr;
    QLabel* lblTitle = nullptr;
    // 0 right, 1 left, 2 top, 3 bottom.
    std::array<QLineEdit*, 4> txtmar{};
    std::array<QLabel*, 4> Label1{};
    QPushButton* cmdOK = nullptr;
    QPushButton* cmdCancel = nullptr;
    QFrame* Line2 = nullptr;

public Q_SLOTS:
    // Esc and the window's close box are Annulla.
    void reject() override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    friend class DefaultInstance<finfrmMargini>;
    finfrmMargini();
    void cmdOK_Click();
    void cmdCancel_Click();
    bool numerico(int index) const;

    Risultato m_risultato;
    double m_larghezza = 11906;
    double m_altezza = 16838;
};
