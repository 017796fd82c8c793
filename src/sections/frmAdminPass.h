#pragma once

#include "common/FormLifetime.h"

#include <QDialog>
#include <QVector>
#include <cstdint>

#include "platform/core/Variant.h"

class QComboBox;
class QLineEdit;
class QPushButton;

// The login: the user picks the professional to work as and types its password.
class frmAdminPass : public QDialog, public DefaultInstance<frmAdminPass> {
    Q_OBJECT
public:
    // Shows the dialog modal; the chosen sezId, 0 when cancelled.
    static std::int32_t Apri();
    // Unloads the single instance.

    void AbilitaPassword(bool abilitata);

protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    friend class DefaultInstance<frmAdminPass>;
    frmAdminPass();
    void cmbProf_Click();
    void cmdOK_Click();
    void cmdCancel_Click();

    struct Professionista {
        std::int32_t sezId = 0;
        QString testo;
        core::Variant password;
    };
    QVector<Professionista> m_professionisti;
    std::int32_t m_result = 0;
    QComboBox* cmbProf;
    QLineEdit* txtPass;
    QPushButton* cmdOK;
    QPushButton* cmdCancel;
};
