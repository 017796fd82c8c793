#pragma once

#include "common/FormLifetime.h"

#include <QDialog>
#include <cstdint>

class QPushButton;
namespace grid {
class GridEx;
}

// Which stored layout prints each document kind of one professional: the
// finRel rows of the section, their layout chosen from the layouts by name.
// One row per document kind: rows are neither added nor deleted here, and the
// kind of a row cannot change.
class finfrmRepRels : public QDialog, public DefaultInstance<finfrmRepRels> {
    Q_OBJECT
public:
    // Shows the window modal; returns once it is closed.
    static void Apri(std::int32_t sezId);

    grid::GridEx* gex = nullptr;
    // The drop-down list of the layout column.
    grid::GridEx* gexmod = nullptr;
    QPushButton* cmdSave = nullptr;
    QPushButton* cmdCancel = nullptr;

public Q_SLOTS:
    // Esc and the close box are Annulla.
    void reject() override;

private:
    friend class DefaultInstance<finfrmRepRels>;
    finfrmRepRels();
    void cmdSave_Click();
    void cmdCancel_Click();
    void scarica();
};
