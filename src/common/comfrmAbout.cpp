#include "common/comfrmAbout.h"

#include "common/FormLifetime.h"
#include "platform/ui/Dialogs.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDesktopServices>
#include <QEventLoop>
#include <QFrame>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QScreen>
#include <QTimer>
#include <QUrl>
#include <QVBoxLayout>
#include <QVersionNumber>

namespace {

// The maker's addresses: none are published. A link label shows only while its address is set here.
const QString kEmailProduttore;
const QString kWebProduttore;

int gLongestSplash = -1;

QFrame* divisore(QWidget* parent, int index)
{
    auto* line = new QFrame(parent);
    line->setObjectName(QStringLiteral("linDivide(%1)").arg(index));
    line->setFrameShape(QFrame::HLine);
    line->setFrameShadow(QFrame::Sunken);
    return line;
}

QLabel* link(QWidget* parent, const char* name, const QString& text)
{
    auto* l = new QLabel(parent);
    l->setObjectName(QString::fromLatin1(name));
    l->setText(QStringLiteral("<a href=\"#\">%1</a>").arg(text.toHtmlEscaped()));
    l->setTextInteractionFlags(Qt::LinksAccessibleByMouse | Qt::LinksAccessibleByKeyboard);
    l->setVisible(!text.isEmpty());
    return l;
}

} // namespace

void comfrmAbout::setLongestSplash(int ms)
{
    gLongestSplash = ms;
}

comfrmAbout::comfrmAbout()
{
    setObjectName(QStringLiteral("comfrmAbout"));
    const QString titolo = QCoreApplication::applicationName();
    setWindowTitle(titolo);

    imgIcon = new QLabel(this);
    imgIcon->setObjectName(QStringLiteral("imgIcon"));
    imgIcon->setFixedSize(48, 48);
    imgIcon->setAlignment(Qt::AlignCenter);
    lblTitle = new QLabel(titolo, this);
    lblTitle->setObjectName(QStringLiteral("lblTitle"));
    QFont grande = lblTitle->font();
    grande.setBold(true);
    grande.setPointSizeF(grande.pointSizeF() * 1.8);
    lblTitle->setFont(grande);
    const QVersionNumber versione = QVersionNumber::fromString(QStringLiteral(CORVESSA_VERSION));
    lblVersion = new QLabel(QStringLiteral("Versione %1.%2.%3").arg(versione.majorVersion()).arg(versione.minorVersion()).arg(versione.microVersion()),
                            this);
    lblVersion->setObjectName(QStringLiteral("lblVersion"));
    lblCompanyName = new QLabel(this);
    lblCompanyName->setObjectName(QStringLiteral("lblCompanyName"));
    const QString produttore = QCoreApplication::organizationName();
    if (!produttore.isEmpty())
        lblCompanyName->setText(QStringLiteral("Prodotto da: ") + produttore);
    lblPathEXE = new QLabel(this);
    lblPathEXE->setObjectName(QStringLiteral("lblPathEXE"));
    lblPathEXE->setWordWrap(true);
    lblPathEXE->setTextInteractionFlags(Qt::TextSelectableByMouse);
    linDivide[0] = divisore(this, 0);
    linDivide[1] = divisore(this, 1);

    m_parteBassa = new QWidget(this);
    lblMain = link(m_parteBassa, "lblMain", kEmailProduttore);
    lblWeb = link(m_parteBassa, "lblWeb", kWebProduttore);
    cmdOK = new QPushButton(QStringLiteral("Chiudi"), m_parteBassa);
    cmdOK->setObjectName(QStringLiteral("cmdOK"));
    cmdOK->setDefault(true);
    cmdSysInfo = new QPushButton(QStringLiteral("&Info Sistema ..."), m_parteBassa);
    cmdSysInfo->setObjectName(QStringLiteral("cmdSysInfo"));
    Timer1 = new QTimer(this);
    Timer1->setObjectName(QStringLiteral("Timer1"));
    Timer1->setSingleShot(true);

    auto* testa = new QHBoxLayout;
    testa->addWidget(imgIcon, 0, Qt::AlignTop);
    auto* testi = new QVBoxLayout;
    testi->addWidget(lblTitle);
    testi->addWidget(lblVersion);
    testi->addWidget(lblCompanyName);
    testa->addLayout(testi, 1);
    auto* bassa = new QHBoxLayout(m_parteBassa);
    bassa->setContentsMargins(0, 0, 0, 0);
    auto* collegamenti = new QVBoxLayout;
    collegamenti->addWidget(lblMain);
    collegamenti->addWidget(lblWeb);
    bassa->addLayout(collegamenti, 1);
    bassa->addWidget(cmdOK, 0, Qt::AlignBottom);
    bassa->addWidget(cmdSysInfo, 0, Qt::AlignBottom);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(testa);
    layout->addWidget(linDivide[0]);
    layout->addWidget(lblPathEXE);
    layout->addWidget(linDivide[1]);
    layout->addWidget(m_parteBassa);
    setMinimumWidth(420);

    connect(cmdOK, &QPushButton::clicked, this, [this] { cmdOK_Click(); });
    // The system information button has no action of its own.
    connect(Timer1, &QTimer::timeout, this, [this] { Timer1_Timer(); });
    connect(lblMain, &QLabel::linkActivated, this, [this] { lblMain_Click(); });
    connect(lblWeb, &QLabel::linkActivated, this, [this] { lblWeb_Click(); });
}

void comfrmAbout::impostaProprietario(QWidget* owner)
{
    if (owner && parentWidget() != owner)
        setParent(owner, windowFlags());
    const QIcon icona = owner && !owner->windowIcon().isNull() ? owner->windowIcon() : QApplication::windowIcon();
    imgIcon->setPixmap(icona.pixmap(48, 48));
    // Without an icon the texts stand at the left edge instead of beside an empty square.
    imgIcon->setVisible(!icona.isNull());
}

void comfrmAbout::About(QWidget* owner, const QString& text)
{
    comfrmAbout* f = instance();
    f->impostaProprietario(owner);
    f->cmdOK->setEnabled(true);
    f->cmdSysInfo->setEnabled(true);
    f->lblPathEXE->setText(text);
    f->MostraTitolo();
    f->m_parteBassa->show();
    f->adjustSize();
    ui::execModal(f);
}

void comfrmAbout::SplashOn(QWidget* owner, int intervalMs, const QString& text)
{
    comfrmAbout* f = instance();
    if (f->isVisible())
        return;
    f->impostaProprietario(owner);
    f->cmdOK->setEnabled(false);
    f->cmdSysInfo->setEnabled(false);
    const int intervallo = gLongestSplash >= 0 ? std::min(intervalMs, gLongestSplash) : intervalMs;
    if (intervallo > 0)
        f->Timer1->start(intervallo);
    f->lblPathEXE->setText(text);
    f->NascondiTitolo();
    // The window ends at the second divider: links and buttons are left out.
    f->m_parteBassa->hide();
    f->adjustSize();
    if (const QScreen* screen = owner && owner->screen() ? owner->screen() : QGuiApplication::primaryScreen())
        f->move(screen->availableGeometry().center() - f->rect().center());
    f->setModal(false);
    f->show();
    f->raise();
    f->repaint();
    QApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

void comfrmAbout::SplashOff()
{
    QPointer<comfrmAbout> f = current();
    if (!f || !f->isVisible())
        return;
    if (f->Timer1->isActive()) {
        // The wait keeps the interface alive.
        QEventLoop attesa;
        connect(f->Timer1, &QTimer::timeout, &attesa, &QEventLoop::quit);
        if (f->Timer1->isActive())
            attesa.exec(QEventLoop::ExcludeUserInputEvents);
        // The wait let other events run: the splash may be gone.
        if (!f)
            return;
    }
    f->hide();
    f->MostraTitolo();
    f->m_parteBassa->show();
    f->adjustSize();
}

void comfrmAbout::Timer1_Timer()
{
    Timer1->stop();
}

void comfrmAbout::NascondiTitolo()
{
    if (m_titoloRimosso)
        return;
    m_titoloRimosso = true;
    setWindowFlag(Qt::FramelessWindowHint, true);
}

void comfrmAbout::MostraTitolo()
{
    if (!m_titoloRimosso)
        return;
    m_titoloRimosso = false;
    setWindowFlag(Qt::FramelessWindowHint, false);
}

void comfrmAbout::cmdOK_Click()
{
    hide();
}

void comfrmAbout::closeEvent(QCloseEvent* event)
{
    // Hidden, never destroyed: the splash and the about box share the window.
    event->ignore();
    hide();
}

void comfrmAbout::lblMain_Click()
{
    QGuiApplication::setOverrideCursor(Qt::WaitCursor);
    QDesktopServices::openUrl(QUrl(QStringLiteral("mailto:") + kEmailProduttore));
    QGuiApplication::restoreOverrideCursor();
}

void comfrmAbout::lblWeb_Click()
{
    QGuiApplication::setOverrideCursor(Qt::WaitCursor);
    QDesktopServices::openUrl(QUrl(kWebProduttore));
    QGuiApplication::restoreOverrideCursor();
}
