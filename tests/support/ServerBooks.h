#pragma once

#include <QString>

// The second engine of the test suites: with TALLOX_TEST_ENGINE=postgres the
// fixtures keep their books on the private server that the ctest fixture
// started (tests/support/pg_test_server.sh wrote its address to the file
// named by TALLOX_TEST_PG_FILE) instead of in a temporary folder.
bool TestsOnServer();

// Empty books on the server: this test process's own database, its tables
// dropped and made again. Aborts the test run when the server cannot be used.
QString FreshServerBooks();
