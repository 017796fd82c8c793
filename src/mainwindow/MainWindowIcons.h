#pragma once

#include <QIcon>

// The main window's pictures, drawn here so the program carries no image files.
namespace MainWindowIcons {

// The pictures of the views, by the 1-based index the view nodes name:
// 1 invoice, 2 pro forma, 3 client, 4 table.
QIcon vista(int iconIndex);

enum class Comando { Nuovo, Apri, Elimina, Stampa };
QIcon comando(Comando which);

} // namespace MainWindowIcons
