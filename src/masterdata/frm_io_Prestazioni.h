#pragma once

#include "masterdata/MasterDataForm.h"
#include "platform/core/Variant.h"

#include <QVector>
#include <cstdint>
#include <optional>

class QLabel;
class QLineEdit;
namespace ui {
class DataCombo;
}

// Service (price list) entry form. A new service may be offered for one client.
class frm_io_Prestazioni : public MasterDataForm, public DefaultInstance<frm_io_Prestazioni> {
    Q_OBJECT
public:
    static core::Variant Nuovo(std::int32_t nMode, std::optional<std::int32_t> cliId = std::nullopt);
    static core::Variant Apri(std::int32_t key, std::int32_t nMode);

    QVector<QLineEdit*> txtData;
    // 0 the VAT code, 1 the client.
    QVector<ui::DataCombo*> dtcData;
    // Status-bar panel 2, cleared with each field help.
    QLabel* sbPanel2 = nullptr;

protected:
    QString campoChiave() const override { return QStringLiteral("preId"); }
    QString messaggioConflitto() const override;
    bool event(QEvent* event) override;

private:
    friend class DefaultInstance<frm_io_Prestazioni>;
    frm_io_Prestazioni();
    void CollegaCampi();
    void CaricaCombo();

    // The client the form was opened for; 0 = none.
    std::int32_t m_cliId = 0;
    db::Recordset m_iva;
    db::Recordset m_clienti;
};
