#pragma once

#include "platform/core/Variant.h"

#include <cstdint>

// Client entry form. Mode 1 shows it modal and returns the saved cliId (Null
// when cancelled); any other mode shows it modeless and it refreshes the main
// window itself after saving.
class frm_io_Clienti {
public:
    static core::Variant Nuovo(std::int32_t nMode);
    static core::Variant Apri(std::int32_t key, std::int32_t nMode);
    static void Unload();
};
