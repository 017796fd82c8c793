#pragma once

#include <QString>
#include <cstdint>
#include <functional>

// The database file, its connection string, the template recovery and the
// read of a document counter.

inline constexpr const char* kNomeDatabase = "qelvo.mdb";
inline constexpr const char* kNomeTemplate = "master.gen";

// The default database folder: "TarvixDB" in the user's documents folder, created when missing.
QString CartellaDbPredefinita();

// The session's cartellaDb + separator + "qelvo.mdb".
QString PercorsoDatabase();
// The same path as the user reads it: one separator, the platform's own.
QString PercorsoDatabaseMostrato();
// "Provider=Microsoft.Jet.OLEDB.4.0;Data Source=<file>;Persist Security Info=False"
QString StringaConnessione(const QString& cartellaDb);

// True when a connection on the string cannot be opened. No message.
bool ConnessioneFallita(const QString& connectionString);

// Why a database file does not open, so the start can treat each case right.
enum class StatoDatabase {
    Apribile,     // opens, answers a query and passes the engine's quick check
    Assente,      // no file at the path
    Danneggiato,  // a file that is not a database, or a damaged one
    Occupato,     // held locked by another program or machine
    Irraggiungibile, // the folder cannot be read or written
    Cartella,     // a folder stands where the file should be
    NonLeggibile, // a file the user has no permission to read
    CollegamentoInterrotto, // a symbolic link to a file that does not exist
    GiornaleSuSolaLettura   // an unfinished write's journal beside a file that cannot be written
};
// Opens the file and runs the engine's quick check of every page, so a damaged
// table is found at start, not at its first use. A file whose header, size and
// time of last write are those this machine last checked sound (remembered in
// its settings, per file) is only opened: nothing has written to it since.
StatoDatabase VerificaDatabase(const QString& connectionString);
// The file a connection string names ("Data Source=").
QString FileDellaConnessione(const QString& connectionString);

// Puts the file aside under a new name in the same folder (never deleting it)
// and returns the new path, or an empty text when the rename failed.
QString AccantonaDatabase(const QString& percorso);

// Copies the template "master.gen" of the program folder to the database path.
// Never copies over an existing file, nor through a link. False when the
// template is missing (no message) or the copy failed (after its own message,
// which says when the disk is full; `messaggioMostrato` tells).
bool RipristinaMaster(bool* messaggioMostrato = nullptr);

// How RipristinaMaster copies a file: 0, or the system's error number of the
// failed copy (ENOSPC, ...), with nothing left at `a`. Tests stand in a copy
// failing as a full disk does; an empty function puts the real one back.
using CopiaFile = std::function<int(const QString& da, const QString& a)>;
void ImpostaCopiaFile(CopiaFile copia);

// The last number given in the series of the current section for the working
// year; 0 when no counter row exists. Empty `Serie` is the main series, whose
// prefix may be stored as Null or as empty text.
std::int32_t UltimoNumero(const QString& Serie);
