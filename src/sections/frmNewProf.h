#pragma once

#include "common/FormLifetime.h"

#include <QDialog>
#include <QVector>
#include <cstdint>

class QLineEdit;
class QPushButton;

// A new professional: title, name and surname; everything else takes the defaults.
class frmNewProf : public QDialog, public DefaultInstance<frmNewProf> {
    Q_OBJECT
public:
    // Shows the dialog modal over owner; the new sezId, 0 when nothing was added.
    static std::int32_t Mostra(QWidget* owner);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    friend class DefaultInstance<frmNewProf>;
    frmNewProf();
    void cmdOK_Click();
    void cmdCancel_Click();

    QVector<QLineEdit*> txtData;
    QPushButton* cmdOK;
    QPushButton* cmdCancel;
    std::int32_t m_nuovo = 0;
};
