#include "platform/database/Connection.h"
// Placeholder until the connection lands.
