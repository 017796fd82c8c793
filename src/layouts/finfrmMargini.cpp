#include "layouts/finfrmMargini.h"

#include "common/FormLifetime.h"
#include "common/OkCancelRow.h"
#include "common/comUtility.h"
#include "domain/PageMargins.h"
#include "masterdata/InputFilter.h"
#include "platform/ui/Dialogs.h"
#include "platform/ui/EnterAsTab.h"
#include "startup/SharedState.h"
#include "platform/ui/TextInput.h"

#include <QApplication>
#include <QEvent>
#include <QFocusEvent>
#include <QFont>
#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

namespace {

// Six digits hold every margin that could be typed; more would only be refused.
constexpr int kCifreMax = 6;

} // namespace

finfrmMargini::finfrmMargini()
{
    setObjectName(QStringLiteral("finfrmMargini"));
    setWindowTitle(QStringLiteral("Margini"));
    setModal(true);

    picBanner = new QWidget(this);
    picBanner->setObjectName(QStringLiteral("picBanner"));
    picBanner->setAttribute(Qt::WA_StyledBackground, true);
    picBanner->setStyleSheet(QStringLiteral("#picBanner { background: white; border-bottom: 1px solid #a0a0a0; }"));
    lblTitle = new QLabel(QStringLiteral("Margini della pagina (in millimetri)"), picBanner);
    lblTitle->setObjectName(QStringLiteral("lblTitle"));
    QFont titolo = lblTitle->font();
    titolo.setBold(true);
    lblTitle->setFont(titolo);
    auto* bannerLayout = new QHBoxLayout(picBanner);
    bannerLayout->setContentsMargins(14, 12, 14, 12);
    bannerLayout->addWidget(lblTitle);

    const char* const etichette[4] = {"Margine destro", "Margine sinistro", "Margine superiore", "Margine inferiore"};
    auto* campi = new QGridLayout;
    for (int i = 0; i < 4; ++i) {
        Label1[i] = new QLabel(QString::fromUtf8(etichette[i]), this);
        Label1[i]->setObjectName(QStringLiteral("Label1(%1)").arg(i));
        txtmar[i] = new QLineEdit(this);
        txtmar[i]->setObjectName(QStringLiteral("txtmar(%1)").arg(i));
        txtmar[i]->setAlignment(Qt::AlignRight);
        ui::setTextLimit(txtmar[i], kCifreMax);
        txtmar[i]->setMaximumWidth(90);
        // Digits only, however the text arrives (typed, pasted or dropped).
        txtmar[i]->setValidator(new InputFilter(txtmar[i], [](QChar c) {
            return SoloCifre(c.unicode()) >= '0' ? c : QChar();
        }));
        txtmar[i]->installEventFilter(this);
        Label1[i]->setBuddy(txtmar[i]);
        campi->addWidget(Label1[i], i, 0);
        campi->addWidget(txtmar[i], i, 1);
        campi->addWidget(new QLabel(QStringLiteral("mm"), this), i, 2);
    }
    campi->setColumnStretch(3, 1);

    Line2 = new QFrame(this);
    Line2->setObjectName(QStringLiteral("Line2"));
    Line2->setFrameShape(QFrame::HLine);
    Line2->setFrameShadow(QFrame::Sunken);

    // Enter in a box moves on; on a focused button it presses that button.
    const OkCancelRow pulsanti = okCancelRow(this);
    cmdOK = pulsanti.ok;
    cmdCancel = pulsanti.cancel;
    connect(cmdOK, &QPushButton::clicked, this, [this] { cmdOK_Click(); });
    connect(cmdCancel, &QPushButton::clicked, this, [this] { cmdCancel_Click(); });

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 10);
    layout->addWidget(picBanner);
    auto* corpo = new QVBoxLayout;
    corpo->setContentsMargins(14, 8, 14, 0);
    corpo->addLayout(campi);
    corpo->addWidget(Line2);
    corpo->addLayout(pulsanti.layout);
    layout->addLayout(corpo);
    setTabOrder(txtmar[0], txtmar[1]);
    setTabOrder(txtmar[1], txtmar[2]);
    setTabOrder(txtmar[2], txtmar[3]);
    setTabOrder(txtmar[3], cmdOK);
    setTabOrder(cmdOK, cmdCancel);
    setFixedSize(sizeHint().expandedTo(QSize(330, 0)));

    ui::installEnterAsTab(this, ui::EnterOnTextBoxes);

    // A box that does not hold a number cannot be left, except for Annulla.
    connect(qApp, &QApplication::focusChanged, this, [this](QWidget* old, QWidget* now) {
        if (!old || !now || !isVisible() || now->window() != this || now == cmdCancel)
            return;
        for (int i = 0; i < 4; ++i)
            if (old == txtmar[i] && !numerico(i)) {
                old->setFocus(Qt::OtherFocusReason);
                return;
            }
    });
}

bool finfrmMargini::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::FocusIn)
        for (QLineEdit* box : txtmar)
            if (watched == box) {
                box->selectAll();
                // A click places the cursor after the focus arrives: select again once it has.
                if (static_cast<QFocusEvent*>(event)->reason() == Qt::MouseFocusReason)
                    QTimer::singleShot(0, box, [box] { box->selectAll(); });
            }
    return QDialog::eventFilter(watched, event);
}

bool finfrmMargini::numerico(int index) const
{
    bool ok = false;
    txtmar[index]->text().toInt(&ok);
    return ok;
}

finfrmMargini::Risultato finfrmMargini::Apri(std::int32_t right, std::int32_t left, std::int32_t top, std::int32_t bottom,
                                             double pageWidth, double pageHeight)
{
    finfrmMargini* f = instance();
    f->m_larghezza = pageWidth;
    f->m_altezza = pageHeight;
    // Closed any other way than by OK, nothing was confirmed.
    f->m_risultato[0] = core::Variant(false);
    const std::int32_t margini[4] = {right, left, top, bottom};
    for (int i = 0; i < 4; ++i)
        f->txtmar[i]->setText(QString::number(marginMillimetres(margini[i])));
    f->txtmar[0]->setFocus();
    QPointer<finfrmMargini> guard(f);
    ui::execModal(f);
    return guard ? guard->m_risultato : Risultato{core::Variant(false)};
}

void finfrmMargini::cmdOK_Click()
{
    MarginsMm mm;
    std::int32_t* valori[4] = {&mm.right, &mm.left, &mm.top, &mm.bottom};
    for (int i = 0; i < 4; ++i) {
        bool ok = false;
        *valori[i] = txtmar[i]->text().toInt(&ok);
        if (!ok) {
            txtmar[i]->setFocus();
            return;
        }
    }
    const QString problema = marginsProblem(mm, m_larghezza, m_altezza);
    if (!problema.isEmpty()) {
        ui::msgBox(problema, ui::vbOKOnly | ui::vbExclamation, AppTitle());
        return;
    }
    m_risultato[0] = core::Variant(true);
    for (int i = 0; i < 4; ++i)
        m_risultato[i + 1] = core::Variant(marginTwips(*valori[i]));
    hide();
}

void finfrmMargini::cmdCancel_Click()
{
    m_risultato[0] = core::Variant(false);
    hide();
}

void finfrmMargini::reject()
{
    cmdCancel_Click();
    QDialog::reject();
}
