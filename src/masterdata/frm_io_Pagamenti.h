#pragma once

#include "platform/core/Variant.h"

#include <cstdint>

// Payment-term entry form. Mode 1 shows it modal and returns the saved pagId (Null
// when cancelled); any other mode shows it modeless and it refreshes the main
// window itself after saving.
class frm_io_Pagamenti {
public:
    static core::Variant Nuovo(std::int32_t nMode);
    static core::Variant Apri(std::int32_t key, std::int32_t nMode);
    static void Unload();
};
