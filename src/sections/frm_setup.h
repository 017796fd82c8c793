#pragma once

#include "common/FormLifetime.h"
#include "domain/SectionSetup.h"

#include <QByteArray>
#include <QDialog>
#include <QVector>
#include <cstdint>

class QCheckBox;
class QGroupBox;
class QImage;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QTabWidget;

namespace grid {
class GridEx;
}
namespace ui {
class DataBinding;
}

// The professional's setup: names, contribution and withholding defaults,
// the invoice's heading, footer and logo, the layouts that print each kind of
// document, and a new password. Everything is saved together or not at all.
class frm_setup : public QDialog, public DefaultInstance<frm_setup> {
    Q_OBJECT
public:
    // Loads the professional and shows the dialog modal over the main window.
    static void Apri(std::int32_t sezId);
    static bool IsLoaded() { return exists(); }

    // The logo picture as the invoice stores it: a bitmap, transparency laid on
    // white. Empty when the image is empty.
    static QByteArray LogoComeBitmap(const QImage& image);

protected:
    void keyPressEvent(QKeyEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    friend class DefaultInstance<frm_setup>;
    frm_setup();
    QWidget* creaParametri();
    QWidget* creaAspetto();
    QWidget* creaPassword();
    bool apriDati(std::int32_t sezId);
    void CollegaControlli();
    void AggiornaVisibilita();
    void mostraLogo();
    // The value to store in sezPass (a hash), Null when it stays as it is; false when the two boxes differ.
    bool SalvaPassword(core::Variant& daScrivere);
    bool campoValido(int index) const;
    // The first field failing its check gets the focus (its tab shown); false when there is one.
    bool controllaCampi();
    void mostraCampo(QWidget* campo);
    void chiudiDati();
    void cmdopenimg_Click();
    void cmderaseimg_Click();
    void cmdSave_Click();
    void cmdCancel_Click();

    std::int32_t m_sezId = 0;
    SectionSetup m_dati;
    ui::DataBinding* m_bindSez;
    ui::DataBinding* m_bindMod;
    // The logo shown; m_logoCambiato once the user inserted or removed one.
    QByteArray m_logo;
    bool m_logoCambiato = false;

    QVector<QLineEdit*> txtData;
    QVector<QLabel*> m_didascalie; // the caption beside each txtData, by index
    QVector<QCheckBox*> chkData;
    QVector<QRadioButton*> optLogoTipo;
    QLineEdit* txtPass[2];
    QLabel* picData;
    QLabel* lblAdmin;
    QPushButton* cmdopenimg;
    QPushButton* cmderaseimg;
    QPushButton* cmdSave;
    QPushButton* cmdCancel;
    QTabWidget* SSTab1;
    QTabWidget* SSTab2;
    grid::GridEx* gex;
    grid::GridEx* gexmod;
};
