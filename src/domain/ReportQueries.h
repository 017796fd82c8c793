#pragma once

#include <QDate>
#include <QString>
#include <QVector>
#include <cstdint>
#include <optional>

// The SQL of the seven reports, built from the filters of the report chooser.
// Dates are written as "#mm/dd/yyyy#": a two-digit year would read 2030 as
// 1930. Numbers are written as decimal text, so nothing the user types reaches
// the statements.

// The seven reports of the chooser, numbered as its rows show them.
enum class IdReport : int {
    Nessuno = 0,
    Documenti = 1,          // whole documents through their print layout
    ListaDocumenti = 2,     // one line per document
    TotaliCliente = 3,      // the VAT summary summed per client
    ListinoPrestazioni = 4, // the price list, grouped by client
    Rubrica = 5,            // the clients grouped by initial
    Anagrafica = 6,         // the clients with their details
    Incassi = 7,            // invoices with their collections
};
inline constexpr int kNumeroReport = 7;

struct FiltriReport {
    std::int32_t sezId = 0;
    std::int32_t tipoDocumento = 0; // fatTipo: 0 invoices, 1 credit notes, 2 pro formas
    QDate dal;
    QDate al;
    std::optional<std::int32_t> cliente; // none: every client ("(Tutti)")
    bool prestazioniSenzaCliente = false; // the price list also shows the services of no client
    bool soloNonSaldate = false;          // the collections list only the invoices still to collect
};

// The documents of one kind in the date range (reports "Documenti" and
// "Lista Documenti"): Fatture.*, CliFor.* and Pagamenti.*, by date and number.
QString SqlDocumenti(const FiltriReport& f);
// The VAT summary rows summed per client and VAT code ("Totali per Cliente").
QString SqlTotaliCliente(const FiltriReport& f);
// The price list of the section, grouped by client ("Listino Prestazioni").
QString SqlListinoPrestazioni(const FiltriReport& f);
// The clients of the section and the shared ones, by name (the two client lists).
QString SqlRubricaClienti(std::int32_t sezId);
// Invoices with their collections and what is left to collect ("Incassi").
QString SqlIncassi(const FiltriReport& f);
// The chooser's client list: the section's clients and the shared ones.
QString SqlClientiScelta(std::int32_t sezId);

// One client of the chooser's list.
struct ClienteScelta {
    std::int32_t id = 0;
    QString nome;
};
// The chooser's client list as it stands now. Throws core::Error.
QVector<ClienteScelta> LeggiClientiScelta(const QString& connectionString, std::int32_t sezId);
// Whether a report's query gives no row (checked before a long run). Throws core::Error.
bool QueryVuota(const QString& connectionString, const QString& sql);

// The group of a name in the address book: its initial as a capital without
// accents ("é" and "E" both give "E"); empty for a name without letters.
QString InizialeRubrica(const QString& nome);
// The order of the address book that goes with its groups: by name, case and accents aside.
inline const QString kOrdineRubrica = QStringLiteral("cliNome");
