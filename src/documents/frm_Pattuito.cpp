#include "documents/frm_Pattuito.h"

#include "domain/AgreedAmount.h"

#include "platform/core/Format.h"
#include "platform/ui/Dialogs.h"

#include <QEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>
#include <algorithm>
#include <cmath>

std::optional<core::Currency> frm_Pattuito::Apri(QWidget* owner)
{
    // A fresh dialog each time, unloaded once it has answered.
    auto* f = new frm_Pattuito(owner);
    ui::execModal(f);
    const std::optional<core::Currency> result = f->m_result;
    delete f;
    return result;
}

frm_Pattuito::frm_Pattuito(QWidget* owner) : QDialog(owner)
{
    setObjectName(QStringLiteral("frm_Pattuito"));
    setWindowTitle(QStringLiteral("Importo pattuito"));
    setModal(true);

    auto* spiega = new QLabel(QStringLiteral("Inserire l'importo pattuito con il cliente.\n"
                                             "L'importo della prima riga del dettaglio\n"
                                             "verrà modificato di conseguenza."),
                              this);
    auto* etichetta = new QLabel(QStringLiteral("Importo pattuito (Netto dovuto):"), this);
    txtData = new QLineEdit(QStringLiteral("0,0"), this);
    txtData->setObjectName(QStringLiteral("txtData"));
    txtData->setAlignment(Qt::AlignRight);
    txtData->installEventFilter(this);
    etichetta->setBuddy(txtData);
    cmdOK = new QPushButton(QStringLiteral("OK"), this);
    cmdOK->setObjectName(QStringLiteral("cmdOK"));
    cmdOK->setDefault(true);
    cmdCancel = new QPushButton(QStringLiteral("Annulla"), this);
    cmdCancel->setObjectName(QStringLiteral("cmdCancel"));

    auto* riga = new QHBoxLayout;
    riga->addWidget(etichetta);
    riga->addWidget(txtData, 1);
    auto* pulsanti = new QHBoxLayout;
    pulsanti->addStretch();
    pulsanti->addWidget(cmdOK);
    pulsanti->addWidget(cmdCancel);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(spiega);
    layout->addLayout(riga);
    layout->addStretch();
    layout->addLayout(pulsanti);
    setTabOrder(txtData, cmdOK);
    setTabOrder(cmdOK, cmdCancel);
    resize(380, 150);

    connect(cmdOK, &QPushButton::clicked, this, [this] { cmdOK_Click(); });
    connect(cmdCancel, &QPushButton::clicked, this, [this] { cmdCancel_Click(); });
    txtData->setFocus();
    txtData->selectAll();
}

bool frm_Pattuito::eventFilter(QObject* watched, QEvent* event)
{
    // Typing replaces the proposed amount, however the box got the focus.
    if (watched == txtData && event->type() == QEvent::FocusIn)
        QTimer::singleShot(0, txtData, [box = txtData] { box->selectAll(); });
    return QDialog::eventFilter(watched, event);
}

void frm_Pattuito::cmdOK_Click()
{
    const std::optional<double> value = core::parseTypedNumber(txtData->text());
    QString problem;
    core::Currency amount;
    if (!value) {
        problem = QStringLiteral("\"") + txtData->text().trimmed()
                + QStringLiteral("\" non è un importo: scrivere l'importo pattuito in cifre, con la virgola per i "
                                 "decimali (ad esempio 1.250,50).");
    } else {
        // Read as currency only within its range: anything beyond is too large anyway.
        const double limit = largestPrintableAmount().toDouble() + 1.0;
        amount = !std::isfinite(*value) || *value > limit ? core::Currency::fromDouble(limit)
                                                          : core::Currency::fromDouble(std::max(*value, -limit));
        problem = agreedAmountRefusalText(checkAgreedAmount(amount));
    }
    if (!problem.isEmpty()) {
        ui::msgBox(problem, ui::vbOKOnly | ui::vbExclamation);
        txtData->setFocus();
        txtData->selectAll();
        return;
    }
    m_result = amount;
    accept();
}

void frm_Pattuito::cmdCancel_Click() { reject(); }

void frm_Pattuito::reject()
{
    m_result.reset();
    QDialog::reject();
}
