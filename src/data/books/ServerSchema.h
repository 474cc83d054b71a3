#pragma once

#include "data/db/Database.h"

// The books on a PostgreSQL server: the ledger's tables in the schema "main",
// the card table in "card" (so that card.Plastra reads as with the attached
// card file), amounts as BIGINT ten-thousandths, and the few SQLite functions
// Tallox's queries use (date with a modifier, typeof, an integer SUM), so that
// every query runs unchanged on both engines.

// Creates the schema on a database without Tallox's tables (tallox --init-server),
// in one transaction. Refused, changing nothing, when the database has them already.
bool CreateServerSchema(Database& db, ErrorInfo* error = nullptr);
