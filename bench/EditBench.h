#pragma once

// The IQ editor's three speed targets, each against what a person would use instead:
// - the columns of a statement without WHERE over the payslips (at 24,000 rows and at `rows`)
//   against a bare sqlite3_prepare_v2 of the same probe: at most 2 times;
// - probe building and the keyword check on 100 KB and 1 MB statements: under 50 ms at 1 MB;
// - the editor window opening (offscreen) on an IQ of 300 columns with stored settings:
//   under 200 ms.
// Prints its figures; false when a path fails.
bool RunEditorBenchmarks(int rows);
