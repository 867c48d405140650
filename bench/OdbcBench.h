#pragma once

// Opens `rows` rows of ten columns from a PostgreSQL 15 server of its own through ODBC into a
// data set, against a plain ODBC fetch loop of the same statement with the same block size and
// against psql's \copy of the same rows. Prints its figures; returns false when the server
// cannot be started or a run fails.
bool RunOdbcBenchmark(int rows);
