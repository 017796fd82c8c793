#pragma once

#include <QDate>
#include <QString>
#include <QStringList>
#include <cstdint>

// The program's shared state: set during start-up and by the few windows that
// change it, read everywhere. Nothing of it is saved at exit.

// Default database folder: "TarvixDB" in the user's documents folder.
inline QString gCartellaDbPredefinita;
// Folder that holds the database file, without a trailing separator.
inline QString gCartellaDb;
// Connection string of the database; set only once the database has opened.
inline QString DataConStr;
// Registry key paths, built from the application title.
inline QString gRegKeySettings;
inline QString gRegKeySettings2;
inline QString gRegKeyPrinters;
// Width of a vertical scroll bar, in twips.
inline float gScrollBarWidth = 0.0f;
// The current professional (section); 1 is the administrator.
inline std::int32_t gSezId = 0;
// Working date (no time) and its year, the year of the document counters.
inline QDate gDataLavoro;
inline std::int16_t gAnnoLavoro = 0;
// The current section's surcharge, withholding and VAT defaults.
inline double gRitPrePerc = 0.0;
inline QString gRitPreDesc;
inline double gRitAccPerc = 0.0;
inline QString gRitAccDesc;
inline double gRitAccPercSuImp = 0.0;
inline bool gRitAccSuRitPre = false;
inline QString gPreIVA;
// Initial folder of the logo picture dialog; empty: the program folder.
inline QString gCartellaImmagini;
// Installed printers and the two printer slots (device and driver names).
inline QStringList gStampanti;
inline QStringList gStampantiDriver;
inline std::int32_t gNumStampanti = 0;
inline QStringList gStampanteSlot;
inline QStringList gStampanteSlotDriver;

// The application title, as the platform reports it at run time.
QString AppTitle();
// The program folder: the folder of the executable (tests may point it elsewhere).
QString AppPath();
void ImpostaCartellaProgramma(const QString& cartella);
// Sets the working date and its year together.
void ImpostaDataLavoro(const QDate& data);
