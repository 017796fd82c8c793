#pragma once

#include "common/FormLifetime.h"

#include <QDialog>
#include <QVector>
#include <cstdint>

class QLabel;
class QPushButton;
namespace grid {
class GridEx;
}

// The stored print layouts of every professional, and the way into the
// layout designer: new, new from the selected layout, edit or delete it.
class finfrmReps : public QDialog, public DefaultInstance<finfrmReps> {
    Q_OBJECT
public:
    // Shows the list modal, owned by `owner` (the main window); returns once it is closed.
    static void Mostra(QWidget* owner);

    QLabel* Label1 = nullptr;
    grid::GridEx* gex = nullptr;
    // 0 Nuovo, 1 Nuovo da modello corrente, 2 Modifica modello corrente,
    // 3 Elimina modello corrente, 4 Importa modello (never enabled), 5 Chiudi.
    QVector<QPushButton*> cmdBut;

    void cmdBut_Click(int index);

public Q_SLOTS:
    void reject() override;

protected:
    void showEvent(QShowEvent* event) override;

private:
    friend class DefaultInstance<finfrmReps>;
    finfrmReps();
    void Form_Load();
    void apriDesigner(std::int16_t mode);
    void elimina();
    void aggiornaPulsanti();
    std::int32_t idCorrente() const;
    QString nomeCorrente() const;
    void scarica();

    bool m_caricato = false;
};
