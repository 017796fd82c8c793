#pragma once

#include <QDate>
#include <QLineEdit>
#include <QString>

class QAction;
class QCalendarWidget;
class QFrame;

namespace ui {

// The date box of the forms: the user types a date the Italian way
// ("15/03/2026", "15-3-26", "15032026", "150326"; two-digit years 00-29 are
// 20xx and 30-99 are 19xx), picks it from the calendar pop-up (the button,
// F4 or Alt+Down; its "Oggi" button gives today) or steps it with Up and Down (the day, month or year under
// the caret).
//
// The typed text becomes the box's date when the user leaves the box or
// presses Enter. Text that is no date, an impossible date (31/02/2026), a date
// out of range, or an emptied box that may not be empty is refused: the box
// shows its last date again, keeps the focus and says why in a message box,
// so a different date is never stored silently.
//
// A click elsewhere in the window that takes the focus from a box whose text is
// refused does not reach what was clicked: a button acting on the date never
// acts on the last date while the user believes the typed one is in. The
// message comes, the focus is back in the box, and the click can be made again.
//
// The box may hold no date (an empty box, date() null): the program may set
// it so; the user may leave it empty only when the box is nullable.
class DateBox : public QLineEdit {
    Q_OBJECT
    Q_PROPERTY(QDate date READ date WRITE setDate NOTIFY dateChanged USER true)
public:
    explicit DateBox(QWidget* parent = nullptr);
    ~DateBox() override;

    // The date the box holds; null when it holds none.
    QDate date() const { return m_date; }
    bool isNull() const { return !m_date.isValid(); }
    // Shows `date`; an invalid one empties the box. A date out of range is ignored.
    void setDate(const QDate& date);

    // Whether the user may empty the box (no date). Off unless set.
    void setNullable(bool on) { m_nullable = on; }
    bool isNullable() const { return m_nullable; }

    // For a box inside another control (a grid cell) whose owner judges the
    // value itself: a refused text stays as typed and no message is shown;
    // dateRefused still tells. Off unless set.
    void setRefusalsToOwner(bool on) { m_refusalsToOwner = on; }
    bool refusalsToOwner() const { return m_refusalsToOwner; }

    // From 1 January 100 to 31 December 9999 unless set.
    void setDateRange(const QDate& minimum, const QDate& maximum);
    QDate minimumDate() const { return m_minimum; }
    QDate maximumDate() const { return m_maximum; }

    // Makes the typed text the box's date now (as leaving the box does).
    // False when it was refused: the box shows its last date and the message
    // is on its way.
    bool commit();
    // Why the last typed text was refused; empty after a date was taken.
    QString refusal() const { return m_refusal; }

    void showCalendar();
    void hideCalendar();
    bool isCalendarVisible() const;
    // The pop-up's calendar (made on first use).
    QCalendarWidget* calendarWidget();

    // What a typed text means: empty, a date, or the reason it is none.
    struct Reading {
        bool empty = false;
        QDate date;     // valid when the text is a date
        QString reason; // why it is not, in Italian, when it is neither empty nor a date
    };
    static Reading read(const QString& text);
    // The text the box shows for a date ("15/03/2026"; "" for a null date).
    static QString textOf(const QDate& date);

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

Q_SIGNALS:
    // The date changed, by the user or by the program.
    void dateChanged(const QDate& date);
    // The user changed the date (typing, the calendar, the arrows).
    void dateEdited(const QDate& date);
    // Typed text was refused; the box kept its date.
    void dateRefused(const QString& text, const QString& reason);

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    void takeDate(const QDate& date, bool byUser);
    bool takeTyped(bool later);
    bool refuse(const QString& text, const QString& reason, bool later);
    void tellRefusal();
    void step(int direction);
    bool pendingText() const;
    void pickFromCalendar(const QDate& date);

    QDate m_date;
    QDate m_minimum;
    QDate m_maximum;
    bool m_nullable = false;
    bool m_refusalsToOwner = false;
    QString m_refusal;
    QString m_untold; // a refusal whose message is still to be shown
    bool m_messagePending = false;
    QObject* m_clickHold = nullptr; // holds back the click that took the focus, until the message
    QAction* m_button = nullptr;
    QFrame* m_popup = nullptr;
    QCalendarWidget* m_calendar = nullptr;
};

// A control whose click leaves the window without acting on its dates (its
// Annulla): a refused date never holds that click back.
void ignoresTypedDates(QWidget* control);

} // namespace ui
