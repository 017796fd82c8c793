#pragma once
// Only the domain: a mention of "platform/database/Types.h" in a comment is no include.
#include "domain/Professionals.h"
