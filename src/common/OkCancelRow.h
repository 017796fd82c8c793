#pragma once

#include <QString>

class QHBoxLayout;
class QPushButton;
class QWidget;

// The confirm and cancel buttons of a small dialog, "cmdOK" and "cmdCancel",
// right-aligned in a row of their own. Both press on Enter when they have the
// focus (auto default), so Enter in a box can move on and a focused button is
// the one Enter presses. The caller connects them and places the row.
struct OkCancelRow {
    QPushButton* ok = nullptr;
    QPushButton* cancel = nullptr;
    QHBoxLayout* layout = nullptr;
};

// Made in this order, OK then Annulla, so Tab reaches them in that order.
OkCancelRow okCancelRow(QWidget* parent, const QString& okCaption = QStringLiteral("OK"));
