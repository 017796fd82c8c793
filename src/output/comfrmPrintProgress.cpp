#include "output/comfrmPrintProgress.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

comfrmPrintProgress::comfrmPrintProgress(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("comfrmPrintProgress"));
    setWindowTitle(QStringLiteral("Stampa"));
    lblPrintWhere = new QLabel(this);
    lblPrintWhere->setObjectName(QStringLiteral("lblPrintWhere"));
    lblPage = new QLabel(this);
    lblPage->setObjectName(QStringLiteral("lblPage"));
    lblPercent = new QLabel(this);
    lblPercent->setObjectName(QStringLiteral("lblPercent"));
    cmdCancel = new QPushButton(QStringLiteral("Annulla"), this);
    cmdCancel->setObjectName(QStringLiteral("cmdCancel"));

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(lblPrintWhere);
    layout->addWidget(lblPage);
    layout->addWidget(lblPercent);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(cmdCancel);
    layout->addLayout(buttons);
    setMinimumWidth(360);

    connect(cmdCancel, &QPushButton::clicked, this, [this] { cmdCancel_Click(); });
}

void comfrmPrintProgress::cmdCancel_Click()
{
    Annullato = true;
    hide();
}
