#include "platform/ui/ComboSearch.h"

#include <QApplication>
#include <QComboBox>
#include <QKeyEvent>

namespace ui {

namespace {
int g_pause = 1500;
const char* const kName = "corvessa_combo_search";

// Keys a keyboard sends on their own before or around the key they modify:
// they type nothing, so the search neither grows nor ends with them.
bool isModifierKey(int key)
{
    switch (key) {
    case Qt::Key_Shift:
    case Qt::Key_Control:
    case Qt::Key_Alt:
    case Qt::Key_AltGr:
    case Qt::Key_Meta:
    case Qt::Key_Super_L:
    case Qt::Key_Super_R:
    case Qt::Key_Hyper_L:
    case Qt::Key_Hyper_R:
    case Qt::Key_CapsLock:
    case Qt::Key_NumLock:
    case Qt::Key_ScrollLock:
    case Qt::Key_Mode_switch:
        return true;
    default:
        return false;
    }
}
} // namespace

ComboSearch::ComboSearch(QComboBox* combo) : QObject(combo), m_combo(combo)
{
    setObjectName(QLatin1String(kName));
}

ComboSearch* ComboSearch::of(QComboBox* combo)
{
    if (auto* existing = combo->findChild<ComboSearch*>(QLatin1String(kName), Qt::FindDirectChildrenOnly))
        return existing;
    return new ComboSearch(combo);
}

void ComboSearch::setPause(int milliseconds) { g_pause = std::max(0, milliseconds); }
int ComboSearch::pause() { return g_pause; }

QString ComboSearch::searchText(const QComboBox* combo)
{
    const auto* search = combo->findChild<ComboSearch*>(QLatin1String(kName), Qt::FindDirectChildrenOnly);
    return search ? search->m_text : QString();
}

bool ComboSearch::handleKey(QComboBox* combo, QKeyEvent* event)
{
    // An editable combo types into its own text box.
    if (!combo || combo->isEditable() || !combo->isEnabled())
        return false;
    return of(combo)->key(event);
}

bool ComboSearch::key(QKeyEvent* event)
{
    if (isModifierKey(event->key()))
        return false;
    const Qt::KeyboardModifiers modifiers = event->modifiers() & ~(Qt::KeypadModifier | Qt::ShiftModifier);
    if (modifiers != Qt::NoModifier) {
        m_text.clear();
        return false;
    }
    if (event->key() == Qt::Key_Backspace) {
        if (m_text.isEmpty())
            return true;
        m_text.chop(1);
        m_last.start();
        if (!m_text.isEmpty()) {
            const int found = firstBeginningWith(m_text);
            if (found >= 0 && found != m_combo->currentIndex())
                choose(m_text);
        }
        return true;
    }
    const QString typed = event->text();
    if (typed.size() != 1 || !typed.at(0).isPrint()) {
        // Any other key (arrows, Tab, Enter, F4) ends the search and is the combo's.
        m_text.clear();
        return false;
    }
    if (!m_last.isValid() || m_last.elapsed() > g_pause)
        m_text.clear();
    m_last.start();
    if (firstBeginningWith(m_text + typed) < 0) {
        // No item goes on so: the choice stays where the search got to.
        QApplication::beep();
        return true;
    }
    m_text += typed;
    choose(m_text);
    return true;
}

int ComboSearch::firstBeginningWith(const QString& text) const
{
    for (int i = 0; i < m_combo->count(); ++i) {
        if (m_combo->itemText(i).startsWith(text, Qt::CaseInsensitive))
            return i;
    }
    return -1;
}

void ComboSearch::choose(const QString& text)
{
    const int found = firstBeginningWith(text);
    if (found < 0 || found == m_combo->currentIndex())
        return;
    m_combo->setCurrentIndex(found);
    // As a choice from the list: the combo's users hear of it the same way.
    Q_EMIT m_combo->activated(found);
    Q_EMIT m_combo->textActivated(m_combo->itemText(found));
}

} // namespace ui
