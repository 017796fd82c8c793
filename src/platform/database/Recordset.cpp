#include "platform/database/Recordset.h"
// Placeholder until the recordset lands.
