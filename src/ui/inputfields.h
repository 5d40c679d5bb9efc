#pragma once

#include "services/core/keyfilter.h"

#include <QDate>
#include <QLineEdit>

#include <functional>

namespace Orlavo::Ui {

// An entry field that takes only the characters of its kind (see
// filterKey), by whatever route they come: keys, paste (keys, context menu,
// middle click), drag and drop, input methods. The filter is the field's
// validator: do not replace it. Text set by the program (setText, undo) is
// taken as it is, so a value read from the archives always shows.
//
// On every focus-in from keys, mouse, the program or a window opening the
// whole text is selected, so typing replaces it; coming back from another
// window or from a menu leaves the cursor where it was.
class InputField : public QLineEdit
{
    Q_OBJECT

public:
    explicit InputField(Services::FieldType type, QWidget *parent = nullptr);

    Services::FieldType fieldType() const { return m_type; }

    // Number: integers only. Other kinds ignore it.
    bool flag() const { return m_flag; }
    void setFlag(bool flag) { m_flag = flag; }

    // Where the "capitals" switch is read at each insertion, usually
    // &AppState::upperCaseKeys; a null pointer or source means always on,
    // which is also the default.
    void setUpperCaseSwitch(const bool *upperCaseKeys);
    void setUpperCaseSource(std::function<bool()> source);
    bool upperCase() const;

    // Double-click or F4 asks for a list (code fields always; a text field
    // whose values come from a list, such as a town).
    void setOffersList(bool offers) { m_offersList = offers; }
    bool offersList() const { return m_offersList; }

signals:
    void lookupRequested();

protected:
    bool event(QEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    void focusInEvent(QFocusEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;

    // Replaces the text the way the program does, keeping the modified mark:
    // the normalisation on leaving is no edit of the operator's.
    void replaceText(const QString &text);

private:
    class Filter;

    // Called by the filter with the text as QLineEdit has just changed it.
    bool accept(QString &input, int pos);
    void noteEditStart();

    Services::FieldType m_type;
    bool m_flag = false;
    std::function<bool()> m_upperCase;
    // The text as last accepted and where the next insertion starts (the
    // selection's start, or the cursor): what tells the inserted part.
    QString m_accepted;
    int m_editStart = 0;
    // The focus went to another window or to a menu: the field is still its
    // window's focus and gets it back as it was.
    bool m_focusAway = false;
    bool m_offersList = false;
};

// Codes: Code characters, capitals by the switch, at most maxLength long.
// Double-click or F4 asks for the list of codes.
class CodeField : public InputField
{
    Q_OBJECT

public:
    explicit CodeField(int maxLength, QWidget *parent = nullptr);
};

// Figures with a decimal comma. On leaving, text that reads as a number is
// rewritten at the field's decimals with a leading zero ("0,50", "-3,00",
// "1234"); anything else stays as typed for the window's own check.
class NumberField : public InputField
{
    Q_OBJECT

public:
    explicit NumberField(int decimals, bool integerOnly = false, QWidget *parent = nullptr);

    int decimals() const { return m_decimals; }
    // A price whose decimals are the record's own: the figure shows again
    // with them.
    void setDecimals(int decimals);
    bool integerOnly() const { return flag(); }

    // The figure rounded to the field's decimals; 0 for empty text or text
    // that is not a number.
    double value() const;
    void setValue(double value);

    // The text as it shows once left: rewritten, or unchanged when it is
    // empty or not a number.
    void normalise();

protected:
    void focusOutEvent(QFocusEvent *event) override;

private:
    int m_decimals;
};

// Dates as typed: digits, "/", "-" and the blank. On leaving, a valid date
// shows as dd/MM/yyyy; anything else stays as typed.
class DateField : public InputField
{
    Q_OBJECT

public:
    explicit DateField(QWidget *parent = nullptr);

    // The date read as parseItalianDate reads it; invalid when it is none.
    QDate date() const;
    // An invalid date empties the field.
    void setDate(const QDate &date);
    void normalise();

protected:
    void focusOutEvent(QFocusEvent *event) override;
};

// Descriptions and notes: FreeText, capitals by the switch, at most
// maxLength long.
class TextField : public InputField
{
    Q_OBJECT

public:
    explicit TextField(int maxLength, QWidget *parent = nullptr);
};

} // namespace Orlavo::Ui
