#include "sections/frmNewProf.h"

#include "common/FormLifetime.h"
#include "common/OkCancelRow.h"
#include "domain/Professionals.h"
#include "platform/core/Error.h"
#include "platform/ui/Dialogs.h"
#include "platform/ui/EnterAsTab.h"
#include "startup/SharedState.h"
#include "platform/ui/TextInput.h"

#include <QEvent>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

frmNewProf::frmNewProf()
{
    setObjectName(QStringLiteral("frmNewProf"));
    setWindowTitle(QStringLiteral(" Nuovo Professionista"));
    setModal(true);
    auto* griglia = new QGridLayout;
    const char* const didascalie[] = {"Titolo:", "Nome:", "Cognome:"};
    for (int i = 0; i < 3; ++i) {
        txtData.push_back(new QLineEdit(this));
        txtData[i]->setObjectName(QStringLiteral("txtData(%1)").arg(i));
        ui::setTextLimit(txtData[i], 50);
        txtData[i]->installEventFilter(this);
        griglia->addWidget(new QLabel(QString::fromUtf8(didascalie[i]), this), i, 0);
        griglia->addWidget(txtData[i], i, 1);
    }
    const OkCancelRow bottoni = okCancelRow(this);
    cmdOK = bottoni.ok;
    cmdCancel = bottoni.cancel;
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(griglia);
    layout->addLayout(bottoni.layout);
    resize(380, 150);
    ui::installEnterAsTab(this, ui::EnterOnTextBoxes | ui::EnterOnCheckBoxes);
    connect(cmdOK, &QPushButton::clicked, this, [this] { cmdOK_Click(); });
    connect(cmdCancel, &QPushButton::clicked, this, [this] { cmdCancel_Click(); });
}

std::int32_t frmNewProf::Mostra(QWidget* owner)
{
    frmNewProf* f = instance();
    if (owner && f->parentWidget() != owner)
        f->setParent(owner, f->windowFlags());
    f->m_nuovo = 0;
    for (QLineEdit* t : f->txtData)
        t->clear();
    f->txtData[0]->setFocus();
    ui::execModal(f);
    const std::int32_t nuovo = f->m_nuovo;
    Unload();
    return nuovo;
}

void frmNewProf::cmdOK_Click()
{
    for (QLineEdit* t : txtData) {
        if (t->text().trimmed().isEmpty()) {
            ui::msgBox(QStringLiteral("Inserire i tutti dati del Professionista"), ui::vbOKOnly, AppTitle());
            txtData[0]->setFocus();
            return;
        }
    }
    const QString titolo = txtData[0]->text().trimmed();
    const QString nome = txtData[1]->text().trimmed();
    const QString cognome = txtData[2]->text().trimmed();
    try {
        m_nuovo = createProfessional(session().dataConStr, titolo, nome, cognome);
    } catch (const core::Error& e) {
        ui::msgBox(QStringLiteral("Il professionista non è stato aggiunto.") + QStringLiteral("\r\n") + e.text(), ui::vbCritical,
                   AppTitle());
        return;
    }
    ui::msgBox(QStringLiteral("Professionista: ") + titolo + QLatin1Char(' ') + nome + QLatin1Char(' ') + cognome
                   + QStringLiteral("\r\n") + QStringLiteral("aggiunto in anagrafica."),
               ui::vbOKOnly, AppTitle());
    hide();
}

void frmNewProf::cmdCancel_Click()
{
    hide();
}

bool frmNewProf::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::FocusIn) {
        if (auto* box = qobject_cast<QLineEdit*>(watched))
            QTimer::singleShot(0, box, [box] {
                if (box->hasFocus())
                    box->selectAll();
            });
    }
    return QDialog::eventFilter(watched, event);
}
