#pragma once

#include "common/FormLifetime.h"

#include <QDialog>
#include <QString>

class QFrame;
class QLabel;
class QPushButton;
class QTimer;
class QWidget;

// One window, two uses: the about box, and the splash that stands while the
// main window builds itself (its upper part only, without title bar or
// buttons, for at least a given time).
class comfrmAbout : public QDialog, public DefaultInstance<comfrmAbout> {
    Q_OBJECT
public:
    // Modal about box over owner; returns when it is closed. `text` is shown in the box.
    static void About(QWidget* owner, const QString& text);
    // Shows the splash modeless over owner and returns at once; intervalMs is the
    // least time it stays (0: none). Does nothing while the window is visible.
    static void SplashOn(QWidget* owner, int intervalMs, const QString& text);
    // Waits, letting events run, until the least time has passed; then hides the
    // splash and gives the window back its title bar and full height.
    static void SplashOff();

    // For tests: every splash stays at most this long (negative: as asked).
    static void setLongestSplash(int ms);

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    friend class DefaultInstance<comfrmAbout>;
    comfrmAbout();
    void NascondiTitolo();
    void MostraTitolo();
    void impostaProprietario(QWidget* owner);
    void cmdOK_Click();
    void Timer1_Timer();
    void lblMain_Click();
    void lblWeb_Click();

    QLabel* imgIcon;
    QLabel* lblTitle;
    QLabel* lblVersion;
    QLabel* lblCompanyName;
    QLabel* lblPathEXE;
    QFrame* linDivide[2];
    QWidget* m_parteBassa; // what the splash leaves out: links and buttons
    QLabel* lblMain;
    QLabel* lblWeb;
    QPushButton* cmdOK;
    QPushButton* cmdSysInfo;
    QTimer* Timer1;
    bool m_titoloRimosso = false;
};
