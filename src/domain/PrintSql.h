#pragma once

#include <QString>
#include <cstdint>

// The editor's document query for preview, print and PDF: the document with
// its client joined (a document without a client prints nothing) and its
// payment term left-joined.
QString documentPrintSql(std::int32_t fatId);
