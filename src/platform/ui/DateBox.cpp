#include "platform/ui/DateBox.h"

#include "platform/ui/Dialogs.h"

#include <QAction>
#include <QApplication>
#include <QCalendarWidget>
#include <QFocusEvent>
#include <QFontMetrics>
#include <QFrame>
#include <QKeyEvent>
#include <QPushButton>
#include <QLocale>
#include <QPainter>
#include <QPixmap>
#include <QRegularExpression>
#include <QScreen>
#include <QStyle>
#include <QStyleOption>
#include <QStyleOptionFrame>
#include <QTimer>
#include <QVBoxLayout>
#include <QValidator>
#include <algorithm>
#include <memory>
#include <utility>

namespace ui {

namespace {

const QString kSeparators = QStringLiteral("/.- ");

// Only digits and separators reach the box, typed or pasted: a paste of other
// text is refused whole rather than mangled into another date.
class DateCharacters : public QValidator {
public:
    using QValidator::QValidator;

    State validate(QString& input, int&) const override
    {
        for (const QChar c : input) {
            if (!(c >= QLatin1Char('0') && c <= QLatin1Char('9')) && !kSeparators.contains(c))
                return Invalid;
        }
        return Acceptable;
    }
};

const char* const kIgnoresTypedDates = "corvessa_ignores_typed_dates";

// Holds back the mouse buttons in the box's window while a refusal is on its
// way to the user, so the click that moved the focus acts on nothing.
class ClickHold : public QObject {
public:
    explicit ClickHold(DateBox* box) : QObject(box), m_box(box) { qApp->installEventFilter(this); }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        switch (event->type()) {
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonRelease:
        case QEvent::MouseButtonDblClick: {
            auto* widget = qobject_cast<QWidget*>(watched);
            if (!widget || widget->window() != m_box->window() || widget == m_box || m_box->isAncestorOf(widget))
                return false;
            for (QWidget* w = widget; w; w = w->parentWidget()) {
                if (w->property(kIgnoresTypedDates).toBool())
                    return false;
            }
            return true;
        }
        default:
            return false;
        }
    }

private:
    DateBox* m_box;
};

// The parts of the shown text "dd/MM/yyyy" that the arrows step.
enum class Part { Day, Month, Year };

Part partAt(int cursor)
{
    if (cursor <= 2)
        return Part::Day;
    if (cursor <= 5)
        return Part::Month;
    return Part::Year;
}

QPair<int, int> spanOf(Part part)
{
    switch (part) {
    case Part::Day: return {0, 2};
    case Part::Month: return {3, 2};
    case Part::Year: return {6, 4};
    }
    return {0, 0};
}

// The drop-down arrow of the style's combo boxes, so the box reads as a list to open.
QIcon dropArrow(const QWidget* widget)
{
    const int size = widget->style()->pixelMetric(QStyle::PM_SmallIconSize, nullptr, widget);
    const qreal ratio = widget->devicePixelRatioF();
    QPixmap pixmap(QSize(size, size) * ratio);
    pixmap.setDevicePixelRatio(ratio);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    QStyleOption option;
    option.initFrom(widget);
    option.rect = QRect(0, 0, size, size).adjusted(2, 4, -2, -4);
    option.state |= QStyle::State_Enabled;
    widget->style()->drawPrimitive(QStyle::PE_IndicatorArrowDown, &option, &painter, widget);
    return QIcon(pixmap);
}

} // namespace

DateBox::DateBox(QWidget* parent)
    : QLineEdit(parent), m_minimum(100, 1, 1), m_maximum(9999, 12, 31)
{
    setValidator(new DateCharacters(this));
    setMaxLength(10);
    m_button = addAction(dropArrow(this), QLineEdit::TrailingPosition);
    m_button->setObjectName(QStringLiteral("calendarButton"));
    m_button->setToolTip(QStringLiteral("Calendario (F4)"));
    connect(m_button, &QAction::triggered, this, &DateBox::showCalendar);
}

DateBox::~DateBox() = default;

QString DateBox::textOf(const QDate& date)
{
    return date.isValid() ? date.toString(QStringLiteral("dd/MM/yyyy")) : QString();
}

DateBox::Reading DateBox::read(const QString& text)
{
    Reading reading;
    const QString typed = text.trimmed();
    if (typed.isEmpty()) {
        reading.empty = true;
        return reading;
    }
    static const QRegularExpression withSeparators(
        QStringLiteral("^(\\d{1,2})[/.\\- ](\\d{1,2})[/.\\- ](\\d{4}|\\d{2})$"));
    static const QRegularExpression digitsOnly(QStringLiteral("^(\\d{2})(\\d{2})(\\d{4}|\\d{2})$"));
    QRegularExpressionMatch match = withSeparators.match(typed);
    if (!match.hasMatch())
        match = digitsOnly.match(typed);
    const QString notADate =
        QStringLiteral("\"%1\" non è una data: scrivere giorno, mese e anno, per esempio 15/03/2026 o 15032026.")
            .arg(typed);
    if (!match.hasMatch()) {
        reading.reason = notADate;
        return reading;
    }
    const int day = match.captured(1).toInt();
    const int month = match.captured(2).toInt();
    int year = match.captured(3).toInt();
    // The two-digit window of the database engine.
    if (match.captured(3).size() == 2)
        year += year < 30 ? 2000 : 1900;
    if (month < 1 || month > 12) {
        reading.reason = QStringLiteral("La data %1 non esiste: i mesi vanno da 1 a 12.").arg(typed);
        return reading;
    }
    const QDate first(year, month, 1);
    if (!first.isValid()) {
        reading.reason = notADate;
        return reading;
    }
    if (day < 1 || day > first.daysInMonth()) {
        const QString monthName = QLocale(QLocale::Italian, QLocale::Italy).monthName(month, QLocale::LongFormat);
        reading.reason = QStringLiteral("La data %1 non esiste: %2 %3 ha %4 giorni.")
                             .arg(typed, monthName, QString::number(year), QString::number(first.daysInMonth()));
        return reading;
    }
    reading.date = QDate(year, month, day);
    return reading;
}

void DateBox::setDate(const QDate& date)
{
    if (date.isValid() && (date < m_minimum || date > m_maximum))
        return;
    takeDate(date.isValid() ? date : QDate(), false);
}

void DateBox::setDateRange(const QDate& minimum, const QDate& maximum)
{
    if (!minimum.isValid() || !maximum.isValid() || maximum < minimum)
        return;
    m_minimum = minimum;
    m_maximum = maximum;
    if (m_date.isValid() && (m_date < m_minimum || m_date > m_maximum))
        takeDate(std::clamp(m_date, m_minimum, m_maximum), false);
}

void DateBox::takeDate(const QDate& date, bool byUser)
{
    const bool changed = date != m_date;
    m_date = date;
    m_refusal.clear();
    const QString shown = textOf(date);
    if (text() != shown)
        setText(shown);
    if (!changed)
        return;
    Q_EMIT dateChanged(m_date);
    if (byUser)
        Q_EMIT dateEdited(m_date);
}

bool DateBox::pendingText() const
{
    return text() != textOf(m_date);
}

bool DateBox::commit()
{
    // A refusal still on its way is told now: the caller must not go on with the old date.
    if (m_messagePending) {
        tellRefusal();
        return false;
    }
    return takeTyped(false);
}

void ignoresTypedDates(QWidget* control)
{
    control->setProperty(kIgnoresTypedDates, true);
}

bool DateBox::takeTyped(bool later)
{
    if (!pendingText())
        return true;
    const QString typed = text();
    const Reading reading = read(typed);
    if (reading.empty) {
        if (m_nullable || !m_date.isValid()) {
            takeDate(QDate(), true);
            return true;
        }
        return refuse(typed, QStringLiteral("La data non può restare vuota."), later);
    }
    if (!reading.date.isValid())
        return refuse(typed, reading.reason, later);
    if (reading.date < m_minimum || reading.date > m_maximum) {
        return refuse(typed,
                      QStringLiteral("La data %1 è fuori dall'intervallo ammesso, dal %2 al %3.")
                          .arg(textOf(reading.date), textOf(m_minimum), textOf(m_maximum)),
                      later);
    }
    takeDate(reading.date, true);
    return true;
}

bool DateBox::refuse(const QString& text, const QString& reason, bool later)
{
    m_refusal = reason;
    if (m_refusalsToOwner) {
        Q_EMIT dateRefused(text, reason);
        return false;
    }
    setText(textOf(m_date));
    m_untold = reason;
    Q_EMIT dateRefused(text, reason);
    if (later) {
        // Leaving the box is a focus change in progress: the message and the
        // return to the box wait until it is over.
        if (!m_messagePending) {
            m_messagePending = true;
            QTimer::singleShot(0, this, &DateBox::tellRefusal);
        }
        if (!m_clickHold)
            m_clickHold = new ClickHold(this);
    } else {
        tellRefusal();
    }
    return false;
}

void DateBox::tellRefusal()
{
    m_messagePending = false;
    const QString reason = m_untold;
    m_untold.clear();
    // The held click stays held until the message is answered (its release may come meanwhile).
    const std::unique_ptr<QObject> hold(std::exchange(m_clickHold, nullptr));
    // The window was closed meanwhile (the user left by its cancel button).
    if (!isVisible() || reason.isEmpty())
        return;
    const QString kept = m_date.isValid() ? QStringLiteral("Resta la data %1.").arg(textOf(m_date))
                                          : QStringLiteral("La data resta vuota.");
    msgBox(reason + QLatin1Char('\n') + kept, vbExclamation);
    setFocus(Qt::OtherFocusReason);
    selectAll();
}

void DateBox::step(int direction)
{
    Part part = partAt(cursorPosition());
    if (pendingText()) {
        // What was typed is taken first; its parts may have stood elsewhere.
        if (!commit())
            return;
        part = Part::Day;
    }
    if (!m_date.isValid()) {
        takeDate(std::clamp(QDate::currentDate(), m_minimum, m_maximum), true);
    } else {
        QDate next;
        switch (part) {
        case Part::Day: next = m_date.addDays(direction); break;
        case Part::Month: next = m_date.addMonths(direction); break;
        case Part::Year: next = m_date.addYears(direction); break;
        }
        if (next.isValid() && next >= m_minimum && next <= m_maximum)
            takeDate(next, true);
    }
    const auto span = spanOf(part);
    setSelection(span.first, span.second);
}

void DateBox::keyPressEvent(QKeyEvent* event)
{
    const int key = event->key();
    const Qt::KeyboardModifiers modifiers = event->modifiers() & ~Qt::KeypadModifier;
    if ((key == Qt::Key_F4 && modifiers == Qt::NoModifier)
        || ((key == Qt::Key_Down || key == Qt::Key_Up) && modifiers == Qt::AltModifier)) {
        showCalendar();
        return;
    }
    if ((key == Qt::Key_Up || key == Qt::Key_Down) && modifiers == Qt::NoModifier && !isReadOnly()) {
        step(key == Qt::Key_Up ? 1 : -1);
        return;
    }
    if ((key == Qt::Key_Return || key == Qt::Key_Enter) && modifiers == Qt::NoModifier && !commit()) {
        // A refused date stops here: no default button acts on it.
        event->accept();
        return;
    }
    QLineEdit::keyPressEvent(event);
}

void DateBox::focusOutEvent(QFocusEvent* event)
{
    // A pop-up (the calendar, the context menu) or another application taking
    // the focus is no leaving of the box.
    const Qt::FocusReason reason = event->reason();
    if (reason != Qt::PopupFocusReason && reason != Qt::ActiveWindowFocusReason && !isReadOnly())
        takeTyped(true);
    QLineEdit::focusOutEvent(event);
}

// ---- calendar ------------------------------------------------------------------

QCalendarWidget* DateBox::calendarWidget()
{
    if (!m_popup) {
        m_popup = new QFrame(this, Qt::Popup);
        m_popup->setObjectName(QStringLiteral("dateBoxPopup"));
        m_popup->setFrameShape(QFrame::Box);
        auto* layout = new QVBoxLayout(m_popup);
        layout->setContentsMargins(1, 1, 1, 1);
        m_calendar = new QCalendarWidget(m_popup);
        m_calendar->setObjectName(QStringLiteral("calendar"));
        m_calendar->setLocale(QLocale(QLocale::Italian, QLocale::Italy));
        m_calendar->setFirstDayOfWeek(Qt::Monday);
        m_calendar->setGridVisible(true);
        m_calendar->setVerticalHeaderFormat(QCalendarWidget::NoVerticalHeader);
        layout->addWidget(m_calendar);
        auto* today = new QPushButton(QStringLiteral("Oggi"), m_popup);
        today->setObjectName(QStringLiteral("cmdOggi"));
        today->setFocusPolicy(Qt::NoFocus);
        layout->addWidget(today, 0, Qt::AlignHCenter);
        connect(today, &QPushButton::clicked, this, [this] { pickFromCalendar(QDate::currentDate()); });
        connect(m_calendar, &QCalendarWidget::clicked, this, &DateBox::pickFromCalendar);
        connect(m_calendar, &QCalendarWidget::activated, this, &DateBox::pickFromCalendar);
    }
    return m_calendar;
}

void DateBox::showCalendar()
{
    if (!isEnabled() || isReadOnly())
        return;
    calendarWidget();
    // The calendar opens on what was typed when that is a date, else on the box's date.
    QDate start = read(text()).date;
    if (!start.isValid())
        start = m_date.isValid() ? m_date : QDate::currentDate();
    m_calendar->setDateRange(m_minimum, m_maximum);
    m_calendar->setSelectedDate(std::clamp(start, m_minimum, m_maximum));
    m_popup->adjustSize();
    QPoint at = mapToGlobal(QPoint(0, height()));
    if (const QScreen* screen = this->screen()) {
        const QRect room = screen->availableGeometry();
        if (at.y() + m_popup->height() > room.bottom())
            at.setY(mapToGlobal(QPoint(0, 0)).y() - m_popup->height());
        at.setX(std::clamp(at.x(), room.left(), std::max(room.left(), room.right() - m_popup->width())));
    }
    m_popup->move(at);
    m_popup->show();
    m_calendar->setFocus(Qt::PopupFocusReason);
}

void DateBox::hideCalendar()
{
    if (m_popup)
        m_popup->hide();
}

bool DateBox::isCalendarVisible() const
{
    return m_popup && m_popup->isVisible();
}

void DateBox::pickFromCalendar(const QDate& date)
{
    hideCalendar();
    if (date.isValid() && date >= m_minimum && date <= m_maximum)
        takeDate(date, true);
    setFocus(Qt::PopupFocusReason);
    selectAll();
}

// ---- size ----------------------------------------------------------------------

QSize DateBox::sizeHint() const
{
    ensurePolished();
    const QFontMetrics metrics(font());
    const QSize plain = QLineEdit::sizeHint();
    // Room for a whole date and the calendar button, and no more.
    const int textWidth = metrics.horizontalAdvance(QStringLiteral("00/00/00000"));
    const int buttonWidth = style()->pixelMetric(QStyle::PM_SmallIconSize, nullptr, this) + 10;
    QStyleOptionFrame option;
    initStyleOption(&option);
    const QSize wanted = style()->sizeFromContents(QStyle::CT_LineEdit, &option,
                                                   QSize(textWidth + buttonWidth + 4, metrics.height()), this);
    return {wanted.width(), plain.height()};
}

QSize DateBox::minimumSizeHint() const
{
    return sizeHint();
}

} // namespace ui
