#pragma once

// The start-up sequence: key paths, database folder, connection, template
// recovery, schema upgrade and default data, the professional, the main window.
// Returns when the main window is shown, or when the start was abandoned
// (then no window is open and the program ends).
void Main();
