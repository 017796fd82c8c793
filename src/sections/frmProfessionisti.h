#pragma once

#include "common/FormLifetime.h"

#include <QDialog>

class QLabel;
class QPushButton;

namespace grid {
class GridEx;
}

// The administrator's list of the professionals of the database, with the
// commands to add one and to delete one's data.
class frmProfessionisti : public QDialog, public DefaultInstance<frmProfessionisti> {
    Q_OBJECT
public:
    // Shows the list modal over owner.
    static void Mostra(QWidget* owner);

private:
    friend class DefaultInstance<frmProfessionisti>;
    frmProfessionisti();
    void Form_Load();
    void caricaElenco();
    void cmdNew_Click();
    void cmdErase_Click();
    void cmdClose_Click();

    grid::GridEx* gex;
    QLabel* lblDB;
    QPushButton* cmdNew;
    QPushButton* cmdErase;
    QPushButton* cmdClose;
};
