#pragma once

#include "common/FormLifetime.h"
#include "platform/core/Variant.h"

#include <QDialog>
#include <QString>
#include <array>
#include <cstdint>

class QPushButton;
namespace grid {
class GridEx;
}

// The service picker: the services of the price list for a client. The result
// holds description, VAT code and unit price; element 0 is "" when nothing was picked.
class frm_list_Prestazioni : public QDialog, public DefaultInstance<frm_list_Prestazioni> {
    Q_OBJECT
public:
    static std::array<core::Variant, 3> Apri(std::int32_t cliId);

    grid::GridEx* gexPre = nullptr;
    QPushButton* cmdOK = nullptr;
    QPushButton* cmdCancel = nullptr;
    QPushButton* cmdNew = nullptr;

public Q_SLOTS:
    // Esc is a cancel.
    void reject() override;

private:
    friend class DefaultInstance<frm_list_Prestazioni>;
    frm_list_Prestazioni();
    void Form_Load();
    void cmdOK_Click();
    void cmdCancel_Click();
    void cmdNew_Click();
    // Reads the services again; false (after saying why) when they could not be read.
    bool caricaGriglia();

    std::int32_t m_cliId = 0;
    bool m_condizione = false;
    QString m_erroreLettura; // why the last read of the list failed
    std::array<core::Variant, 3> m_risultato;
};
