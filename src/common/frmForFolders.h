#pragma once

#include <QString>

// Lets the user choose the folder that holds (or will hold) the database and
// stores it in the settings; the new folder counts from the next start.
class frmForFolders {
public:
    static void Apri();

private:
    // The chosen folder without a trailing separator, "" when cancelled.
    static QString SfogliaCartella(const QString& titolo);
};
