#pragma once

#include <QDialog>

class QLabel;
class QPushButton;

// Stands on screen while a report is paginated for the printer; "Annulla"
// stops the pagination and nothing is printed.
class comfrmPrintProgress : public QDialog {
    Q_OBJECT
public:
    explicit comfrmPrintProgress(QWidget* parent = nullptr);

    // The cancel flag: false when a print starts, true after "Annulla".
    bool Annullato = false;

    QLabel* lblPrintWhere;
    QLabel* lblPage;
    QLabel* lblPercent;
    QPushButton* cmdCancel;

private:
    void cmdCancel_Click();
};
