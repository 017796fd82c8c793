#pragma once

#include <QString>

// Lets the user choose the folder that holds (or will hold) the database and
// stores it as "appset_curdb" under the settings key; the new folder counts
// from the next start. `titoloApp` is the caption of its messages.
class frmForFolders {
public:
    static void Apri(const QString& regKeySettings, const QString& titoloApp);

private:
    // The chosen folder without a trailing separator, "" when cancelled.
    static QString SfogliaCartella(const QString& titolo);
};
