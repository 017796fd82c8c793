#pragma once

#include <QElapsedTimer>
#include <QObject>
#include <QString>

class QComboBox;
class QKeyEvent;

namespace ui {

// Type-to-find in a closed drop-down list: the characters typed, spaces
// included, gather into one search ("Studio B" finds "Studio Bianchi") and the
// first item that begins with them, ignoring case, becomes the choice, as the
// user picking it would. A pause starts a new search; Backspace takes the last
// character back. Only F4 and Alt+Down open the list (the combo's own keys):
// never the space bar.
class ComboSearch : public QObject {
    Q_OBJECT
public:
    // Handles a key pressed in `combo`; true when it was the search's.
    static bool handleKey(QComboBox* combo, QKeyEvent* event);
    // The pause after which typing starts a new search (1.5 s unless set).
    static void setPause(int milliseconds);
    static int pause();

    // What has been gathered in `combo` so far.
    static QString searchText(const QComboBox* combo);

private:
    explicit ComboSearch(QComboBox* combo);
    static ComboSearch* of(QComboBox* combo);
    bool key(QKeyEvent* event);
    void choose(const QString& text);
    int firstBeginningWith(const QString& text) const;

    QComboBox* m_combo;
    QString m_text;
    QElapsedTimer m_last;
};

} // namespace ui
