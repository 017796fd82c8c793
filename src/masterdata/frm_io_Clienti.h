#pragma once

#include "masterdata/MasterDataForm.h"
#include "platform/core/Variant.h"

#include <QVector>
#include <cstdint>

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;
namespace ui {
class DataCombo;
}

// Client entry form. Mode 1 shows it modal and returns the saved cliId (Null
// when cancelled); any other mode shows it modeless and it refreshes the main
// window itself after saving.
class frm_io_Clienti : public MasterDataForm, public DefaultInstance<frm_io_Clienti> {
    Q_OBJECT
public:
    static core::Variant Nuovo(std::int32_t nMode);
    static core::Variant Apri(std::int32_t key, std::int32_t nMode);

    // Indexes 0 to 14 as the form numbers them.
    QVector<QLineEdit*> txtData;
    QVector<ui::DataCombo*> dtcData;
    QVector<QCheckBox*> chkData;
    QPushButton* cmdAddPag = nullptr;

protected:
    QString campoChiave() const override { return QStringLiteral("cliId"); }
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    friend class DefaultInstance<frm_io_Clienti>;
    frm_io_Clienti();
    void CollegaCampi();
    void CaricaPagamenti();
    void NuovoPagamento();
    void chkData_Click(int index);
    void mostraCondiviso();

    db::Recordset m_pagamenti;
};
