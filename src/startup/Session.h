#pragma once

#include <QDate>
#include <QString>
#include <QStringList>
#include <cstdint>

// What the running program knows about its user: the database, the registry
// keys, the current professional and their defaults, the working date, the
// printers. Set during start-up and by the few windows that change it, read
// everywhere; nothing of it is saved at exit.
struct Session {
    // Default database folder: "TarvixDB" in the user's documents folder.
    QString cartellaDbPredefinita;
    // Folder that holds the database file, without a trailing separator.
    QString cartellaDb;
    // Connection string of the database; set only once the database has opened.
    QString dataConStr;
    // Registry key paths, built from the application title.
    QString regKeySettings;
    QString regKeySettings2;
    QString regKeyPrinters;
    // Width of a vertical scroll bar, in twips.
    float scrollBarWidth = 0.0f;
    // The current professional (section); 1 is the administrator.
    std::int32_t sezId = 0;
    // Working date (no time) and its year, the year of the document counters.
    // Set both through impostaDataLavoro().
    QDate dataLavoro;
    std::int16_t annoLavoro = 0;
    // The current section's surcharge, withholding and VAT defaults.
    double ritPrePerc = 0.0;
    QString ritPreDesc;
    double ritAccPerc = 0.0;
    QString ritAccDesc;
    double ritAccPercSuImp = 0.0;
    bool ritAccSuRitPre = false;
    QString preIVA;
    // Initial folder of the logo picture dialog; empty: the program folder.
    QString cartellaImmagini;
    // Installed printers and the two printer slots (device and driver names).
    QStringList stampanti;
    QStringList stampantiDriver;
    std::int32_t numStampanti = 0;
    QStringList stampanteSlot;
    QStringList stampanteSlotDriver;
    // The program folder; empty: the folder of the executable.
    QString cartellaProgramma;

    void impostaDataLavoro(const QDate& data)
    {
        dataLavoro = data;
        annoLavoro = static_cast<std::int16_t>(data.year());
    }

    // Makes a session the current one for its own lifetime, then gives back
    // the one before: main() runs the program on its own session, and each
    // test on a fresh one, so nothing passes from one test to the next.
    class Scope {
    public:
        explicit Scope(Session& session);
        ~Scope();
        Scope(const Scope&) = delete;
        Scope& operator=(const Scope&) = delete;

    private:
        Session* m_previous;
    };
};

// The current session: the innermost Session::Scope's, else one that lives as
// long as the process (for code run outside any scope, such as a tool).
Session& session();
