#pragma once

namespace db {
class Connection;
}

// The start writes to a shared file only when something is missing. While
// another machine is saving, that write has to wait: these tell the user so,
// instead of leaving the screen blank.

// Begins a transaction on the open connection, waiting while another machine
// holds the file. After a short moment of waiting a window ("frmAttesaDatabase")
// says why the start stands still; it closes as soon as the lock is taken. False
// when the file stayed busy for `limiteMs`; other errors reach the caller.
bool IniziaScritturaAttendendo(db::Connection& cn, int limiteMs = 30000);

// For tests: how long one attempt waits before the window is shown and events
// run (200 ms unless set).
void ImpostaAttesaTentativo(int millisecondi);
