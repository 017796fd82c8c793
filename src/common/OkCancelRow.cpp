#include "common/OkCancelRow.h"

#include <QHBoxLayout>
#include <QPushButton>

OkCancelRow okCancelRow(QWidget* parent, const QString& okCaption)
{
    OkCancelRow row;
    row.ok = new QPushButton(okCaption, parent);
    row.ok->setObjectName(QStringLiteral("cmdOK"));
    row.cancel = new QPushButton(QStringLiteral("Annulla"), parent);
    row.cancel->setObjectName(QStringLiteral("cmdCancel"));
    row.ok->setAutoDefault(true);
    row.cancel->setAutoDefault(true);
    row.layout = new QHBoxLayout;
    row.layout->addStretch();
    row.layout->addWidget(row.ok);
    row.layout->addWidget(row.cancel);
    return row;
}
