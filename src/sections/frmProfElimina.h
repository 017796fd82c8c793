#pragma once

#include "common/FormLifetime.h"

#include <QDialog>
#include <cstdint>

class QLabel;
class QPushButton;

// Deletes the data of one professional (never the administrator), so the
// emptied section can be given to a new professional of the studio.
class frmProfElimina : public QDialog, public DefaultInstance<frmProfElimina> {
    Q_OBJECT
public:
    // Fills the dialog for the professional and shows it modal over owner.
    static void Elimina(std::int32_t sezId, QWidget* owner = nullptr);

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    friend class DefaultInstance<frmProfElimina>;
    frmProfElimina();
    void cmdOK_Click();
    void cmdCancel_Click();

    std::int32_t m_sezId = 0;
    QLabel* lblTitle;
    QLabel* lblProf;
    QPushButton* cmdOK;
    QPushButton* cmdCancel;
};
