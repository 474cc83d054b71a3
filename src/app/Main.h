#pragma once

// Start-up: single instance, database folder, open both databases, upgrade,
// print component, then the ledger window. Returns the process exit status.
int TalloxMain(int argc, char** argv);
