#include "sections/frmAdminPass.h"

#include "common/FormLifetime.h"
#include "common/OkCancelRow.h"
#include "common/HandlerBoundary.h"
#include "domain/Professionals.h"
#include "domain/SectionPasswords.h"
#include "platform/core/Error.h"
#include "platform/ui/Dialogs.h"
#include "startup/SharedState.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QGridLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>
#include <QSignalBlocker>

frmAdminPass::frmAdminPass()
{
    setObjectName(QStringLiteral("frmAdminPass"));
    setWindowTitle(QStringLiteral("LOGON"));
    setModal(true);

    auto* lblIstruzioni = new QLabel(QStringLiteral("Selezionare il proprio Nome dall'elenco ed inserire la Password se presente."), this);
    lblIstruzioni->setWordWrap(true);
    auto* lblProf = new QLabel(QStringLiteral("Professionista:"), this);
    auto* lblPass = new QLabel(QStringLiteral("Password:"), this);
    cmbProf = new QComboBox(this);
    cmbProf->setObjectName(QStringLiteral("cmbProf"));
    txtPass = new QLineEdit(this);
    txtPass->setObjectName(QStringLiteral("txtPass"));
    txtPass->setEchoMode(QLineEdit::Password);
    // Enter on a focused button presses it; in the list and the password box it moves on.
    const OkCancelRow buttons = okCancelRow(this);
    cmdOK = buttons.ok;
    cmdCancel = buttons.cancel;

    auto* grid = new QGridLayout;
    grid->addWidget(lblProf, 0, 0);
    grid->addWidget(cmbProf, 0, 1);
    grid->addWidget(lblPass, 1, 0);
    grid->addWidget(txtPass, 1, 1);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(lblIstruzioni);
    layout->addLayout(grid);
    layout->addLayout(buttons.layout);
    resize(420, 160);

    // Every change of professional, by mouse, keys or code, sets the password box.
    connect(cmbProf, &QComboBox::currentIndexChanged, this, boundary([this] { cmbProf_Click(); }));
    connect(cmdOK, &QPushButton::clicked, this, boundary([this] { cmdOK_Click(); }));
    connect(cmdCancel, &QPushButton::clicked, this, boundary([this] { cmdCancel_Click(); }));
    cmbProf->installEventFilter(this);
    txtPass->installEventFilter(this);
}

std::int32_t frmAdminPass::Apri()
{
    frmAdminPass* f = instance();
    f->m_result = 0;
    f->m_professionisti.clear();
    f->m_professionisti.push_back({0, QString(), core::Variant()});

    for (const ProfessionalEntry& entry : listProfessionals(session().dataConStr)) {
        Professionista p;
        p.sezId = entry.sezId;
        p.testo = entry.name;
        if (p.sezId == 1)
            p.testo += QStringLiteral("  [amministratore] ");
        p.password = entry.password;
        f->m_professionisti.push_back(p);
    }

    {
        const QSignalBlocker filling(f->cmbProf);
        f->cmbProf->clear();
        for (const Professionista& p : f->m_professionisti)
            f->cmbProf->addItem(p.testo);
    }
    f->txtPass->clear();
    f->AbilitaPassword(false);
    if (f->m_professionisti.size() == 2)
        f->cmbProf->setCurrentIndex(1);
    ui::execModal(f);
    return f->m_result;
}

void frmAdminPass::AbilitaPassword(bool abilitata)
{
    txtPass->setEnabled(abilitata);
    QPalette p = txtPass->palette();
    p.setColor(QPalette::Base, abilitata ? palette().color(QPalette::Base) : palette().color(QPalette::Button));
    txtPass->setPalette(p);
}

void frmAdminPass::cmbProf_Click()
{
    const int row = cmbProf->currentIndex();
    if (row < 0 || row >= m_professionisti.size())
        return;
    const bool conPassword = sectionHasPassword(m_professionisti[row].password);
    // What was typed for someone else never goes with another professional.
    txtPass->clear();
    AbilitaPassword(conPassword);
    if (conPassword)
        txtPass->setFocus();
}

void frmAdminPass::cmdOK_Click()
{
    const int row = cmbProf->currentIndex();
    // The empty entry (or none) names nobody: the click does nothing.
    if (row < 1 || row >= m_professionisti.size())
        return;
    const std::int32_t scelto = m_professionisti[row].sezId;
    bool accettata = false;
    try {
        accettata = checkSectionPassword(session().dataConStr, scelto, txtPass->isEnabled() ? txtPass->text() : QString());
    } catch (const core::Error& e) {
        ui::msgBox(e.text(), ui::vbCritical, AppTitle());
        return;
    }
    if (!accettata) {
        ui::msgBox(QStringLiteral("Password errata"), ui::vbOKOnly, AppTitle());
        // Ready for another try: what is typed next replaces the wrong password.
        if (txtPass->isEnabled()) {
            txtPass->setFocus();
            txtPass->selectAll();
        }
        return;
    }
    m_result = scelto;
    hide();
}

void frmAdminPass::cmdCancel_Click()
{
    m_result = 0;
    hide();
}

void frmAdminPass::closeEvent(QCloseEvent* event)
{
    // Closing through the frame is a cancel, whatever was tried before.
    m_result = 0;
    QDialog::closeEvent(event);
}

bool frmAdminPass::eventFilter(QObject* watched, QEvent* event)
{
    if ((watched == cmbProf || watched == txtPass) && event->type() == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
            focusNextChild();
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}
