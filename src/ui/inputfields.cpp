#include "ui/inputfields.h"

#include "services/core/values.h"

#include <QFocusEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QTimer>
#include <QValidator>

#include <algorithm>
#include <cmath>
#include <optional>

namespace Orlavo::Ui {

using Services::FieldType;

namespace {

struct Span {
    qsizetype start;
    qsizetype length;
};

qsizetype commonHead(QStringView a, QStringView b)
{
    const qsizetype most = std::min(a.size(), b.size());
    qsizetype n = 0;
    while (n < most && a[n] == b[n])
        ++n;
    return n;
}

// Where the inserted text lies in `now`, the text `before` once edited.
// Typing, paste, drop and input methods leave the cursor right after what
// they inserted, so the text after the cursor is the old tail; the insertion
// starts where the edit started (`editStart`, the selection's start or the
// cursor) unless the old text differs before that. When the cursor tells
// nothing, the difference between the common head and tail is the insertion.
Span insertedPart(const QString &before, const QString &now, qsizetype cursor, qsizetype editStart)
{
    const qsizetype tail = now.size() - cursor;
    if (cursor >= 0 && tail >= 0 && tail <= before.size() &&
        QStringView(now).right(tail) == QStringView(before).right(tail)) {
        const qsizetype head =
            commonHead(QStringView(now).left(cursor), QStringView(before).left(before.size() - tail));
        // A selection replaced by text beginning the same way ("rossi"
        // selected, "r" typed) still counts from the selection's start.
        const qsizetype start = editStart >= 0 && editStart < head ? editStart : head;
        return {start, cursor - start};
    }
    const qsizetype head = commonHead(now, before);
    const qsizetype room = std::min(now.size(), before.size()) - head;
    qsizetype common = 0;
    while (common < room && now[now.size() - 1 - common] == before[before.size() - 1 - common])
        ++common;
    return {head, now.size() - head - common};
}

// The field's text read as a figure: comma for decimals, with points
// between thousands when a comma is there, a point for decimals when not
// (text set by the program may come either way).
std::optional<double> readNumber(const QString &text)
{
    QString figure = text.trimmed();
    if (figure.isEmpty())
        return std::nullopt;
    if (figure.contains(QLatin1Char(','))) {
        figure.remove(QLatin1Char('.'));
        figure.replace(QLatin1Char(','), QLatin1Char('.'));
    }
    bool ok = false;
    const double value = figure.toDouble(&ok);
    if (!ok || !std::isfinite(value))
        return std::nullopt;
    return value;
}

const QString kDateFormat = QStringLiteral("dd/MM/yyyy");

} // namespace

// QLineEdit asks its validator about every change of the text, whatever
// brought it: that is the one place where no route can slip past.
class InputField::Filter final : public QValidator
{
public:
    explicit Filter(InputField *field) : QValidator(field), m_field(field) {}

    // Never Intermediate: QLineEdit would hold back editingFinished and
    // returnPressed.
    State validate(QString &input, int &pos) const override
    {
        return m_field->accept(input, pos) ? Acceptable : Invalid;
    }

private:
    InputField *m_field;
};

InputField::InputField(FieldType type, QWidget *parent) : QLineEdit(parent), m_type(type)
{
    setValidator(new Filter(this));
    connect(this, &QLineEdit::cursorPositionChanged, this, &InputField::noteEditStart);
    connect(this, &QLineEdit::selectionChanged, this, &InputField::noteEditStart);
    // A typed lower-case code comes back in capitals through a rewrite that
    // clears QLineEdit's modified mark: the operator's edit keeps it, so
    // leaving the field still runs what a change runs.
    connect(this, &QLineEdit::textEdited, this, [this] { setModified(true); });
}

void InputField::setUpperCaseSwitch(const bool *upperCaseKeys)
{
    if (upperCaseKeys)
        m_upperCase = [upperCaseKeys] { return *upperCaseKeys; };
    else
        m_upperCase = nullptr;
}

void InputField::setUpperCaseSource(std::function<bool()> source)
{
    m_upperCase = std::move(source);
}

bool InputField::upperCase() const
{
    return m_upperCase ? m_upperCase() : true;
}

bool InputField::accept(QString &input, int pos)
{
    // Asked about the text as it stands (hasAcceptableInput, on leaving and
    // on Enter): nothing arrived, and where the next edit starts stays.
    if (input == m_accepted)
        return true;
    // QLineEdit empties its undo history when the program sets the text
    // (setText, and the rewrite that follows a transformed insertion), and
    // an undo leaves something to redo; every insertion of the operator's
    // is recorded with nothing to redo before the text is judged. Text set
    // by the program or brought back by undo is taken as it is.
    if (!isUndoAvailable() || isRedoAvailable()) {
        m_accepted = input;
        m_editStart = pos;
        return true;
    }
    const Span inserted = insertedPart(m_accepted, input, pos, m_editStart);
    if (inserted.length > 0) {
        const QString rest = input.left(inserted.start) + input.mid(inserted.start + inserted.length);
        const auto taken = filterText(input.mid(inserted.start, inserted.length), m_type, m_flag, upperCase(), rest);
        if (!taken)
            return false;
        // Character for character: the cursor keeps its place.
        input.replace(inserted.start, inserted.length, *taken);
    }
    m_accepted = input;
    m_editStart = pos;
    return true;
}

void InputField::noteEditStart()
{
    // An input method moves the cursor before QLineEdit asks about the new
    // text: until then the text is not the accepted one and the start of
    // the edit under way must stay as it was.
    if (text() != m_accepted)
        return;
    m_editStart = hasSelectedText() ? selectionStart() : cursorPosition();
}

bool InputField::event(QEvent *event)
{
    // The program may have moved the cursor with the signals blocked.
    noteEditStart();
    return QLineEdit::event(event);
}

void InputField::focusInEvent(QFocusEvent *event)
{
    QLineEdit::focusInEvent(event);
    const bool backAgain =
        m_focusAway && (event->reason() == Qt::ActiveWindowFocusReason || event->reason() == Qt::PopupFocusReason);
    m_focusAway = false;
    if (backAgain)
        return;
    if (event->reason() == Qt::MouseFocusReason) {
        // The press that brought the focus places the cursor afterwards:
        // select once it has been handled.
        QTimer::singleShot(0, this, [this] {
            if (hasFocus())
                selectAll();
        });
        return;
    }
    selectAll();
}

void InputField::focusOutEvent(QFocusEvent *event)
{
    m_focusAway = event->reason() == Qt::ActiveWindowFocusReason || event->reason() == Qt::PopupFocusReason;
    QLineEdit::focusOutEvent(event);
}

void InputField::replaceText(const QString &text)
{
    const bool modified = isModified();
    setText(text);
    setModified(modified);
}

CodeField::CodeField(int maxLength, QWidget *parent) : InputField(FieldType::Code, parent)
{
    setOffersList(true);
    if (maxLength > 0)
        setMaxLength(maxLength);
}

void InputField::keyPressEvent(QKeyEvent *event)
{
    // F4 alone; Alt+F4 still closes the window.
    if (m_offersList && event->key() == Qt::Key_F4 && (event->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier) {
        event->accept();
        emit lookupRequested();
        return;
    }
    QLineEdit::keyPressEvent(event);
}

void InputField::mouseDoubleClickEvent(QMouseEvent *event)
{
    QLineEdit::mouseDoubleClickEvent(event);
    if (m_offersList && event->button() == Qt::LeftButton)
        emit lookupRequested();
}

NumberField::NumberField(int decimals, bool integerOnly, QWidget *parent)
    : InputField(FieldType::Number, parent), m_decimals(integerOnly ? 0 : std::clamp(decimals, 0, 10))
{
    setFlag(integerOnly);
}

void NumberField::setDecimals(int decimals)
{
    if (integerOnly())
        return;
    m_decimals = std::clamp(decimals, 0, 10);
    normalise();
}

double NumberField::value() const
{
    const auto figure = readNumber(text());
    return figure ? Services::roundDec(*figure, m_decimals) : 0.0;
}

void NumberField::setValue(double value)
{
    // As sqlNumber writes it (no thousands points, "0" before the comma of
    // a figure below one), with the comma.
    QString shown = Services::sqlNumber(value, m_decimals);
    shown.replace(QLatin1Char('.'), QLatin1Char(','));
    setText(shown);
}

void NumberField::normalise()
{
    const auto figure = readNumber(text());
    if (!figure)
        return;
    QString shown = Services::sqlNumber(*figure, m_decimals);
    shown.replace(QLatin1Char('.'), QLatin1Char(','));
    if (shown != text())
        replaceText(shown);
}

void NumberField::focusOutEvent(QFocusEvent *event)
{
    // Before QLineEdit reports editingFinished, so the window reads the
    // figure as it shows; a context menu is no leaving.
    if (event->reason() != Qt::PopupFocusReason)
        normalise();
    InputField::focusOutEvent(event);
}

DateField::DateField(QWidget *parent) : InputField(FieldType::Date, parent)
{
    setMaxLength(10);
}

QDate DateField::date() const
{
    return Services::parseItalianDate(text());
}

void DateField::setDate(const QDate &date)
{
    setText(date.isValid() ? date.toString(kDateFormat) : QString());
}

void DateField::normalise()
{
    const QDate typed = date();
    if (!typed.isValid())
        return;
    const QString shown = typed.toString(kDateFormat);
    if (shown != text())
        replaceText(shown);
}

void DateField::focusOutEvent(QFocusEvent *event)
{
    if (event->reason() != Qt::PopupFocusReason)
        normalise();
    InputField::focusOutEvent(event);
}

TextField::TextField(int maxLength, QWidget *parent) : InputField(FieldType::FreeText, parent)
{
    if (maxLength > 0)
        setMaxLength(maxLength);
}

} // namespace Orlavo::Ui
