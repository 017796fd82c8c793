#pragma once

#include <cstdint>

// The document editor for invoices (0), credit notes (1) and pro formas (2);
// one shared instance, shown modeless.
class frm_fattura {
public:
    static void Nuovo(std::int32_t tipo);
    static void Modifica(std::int32_t id);
    // True while the editor is open.
    static bool IsLoaded();
    static void Unload();
};
