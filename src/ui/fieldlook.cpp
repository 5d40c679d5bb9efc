#include "ui/fieldlook.h"

#include <QFocusEvent>

#include <QApplication>

#include "services/core/settings.h"
#include "ui/colours.h"

#include <QAbstractSpinBox>
#include <QComboBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTextEdit>
#include <QWidget>

namespace Orlavo::Ui {

namespace {
constexpr char kErrorMark[] = "orlavoFieldError";
// The palette a field had before its error mark.
constexpr char kBeforeError[] = "orlavoBeforeError";
const QColor kErrorBackground(255, 0, 0);
const QColor kErrorText(255, 255, 255);

bool isField(const QWidget *widget)
{
    return qobject_cast<const QLineEdit *>(widget) || qobject_cast<const QComboBox *>(widget) ||
           qobject_cast<const QTextEdit *>(widget) || qobject_cast<const QPlainTextEdit *>(widget) ||
           qobject_cast<const QAbstractSpinBox *>(widget);
}

bool startsWith(const QString &name, const char *prefix)
{
    return name.startsWith(QLatin1String(prefix), Qt::CaseInsensitive);
}

void paint(QWidget *field, const QColor &text, const QColor &background)
{
    QPalette palette = field->palette();
    for (QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive}) {
        if (text.isValid())
            palette.setColor(group, QPalette::Text, text);
        palette.setColor(group, QPalette::Base, background);
    }
    field->setPalette(palette);
}
} // namespace

FieldColours readFieldColours(const Services::Settings &settings, const QPalette &palette)
{
    const QString menu = QStringLiteral("MENU");
    const QString text = settings.readOr(menu, QStringLiteral("COLOREEDITF"), QStringLiteral("0"));
    const QString background = settings.readOr(menu, QStringLiteral("COLOREEDITB"), QStringLiteral("16777215"));
    const QString shown = settings.readOr(menu, QStringLiteral("COLOREPROB"), QStringLiteral("2147483663"));
    return {colourFromSetting(text, Qt::black, palette), colourFromSetting(background, Qt::white, palette),
            colourFromSetting(shown, palette.color(QPalette::Button), palette)};
}

void applyFieldColours(QWidget *window, const FieldColours &colours)
{
    for (QWidget *field : window->findChildren<QWidget *>()) {
        if (!isField(field) || hasFieldError(field))
            continue;
        const QString name = field->objectName();
        if (startsWith(name, "D_")) {
            paint(field, QColor(), colours.protectedBackground);
        } else if (startsWith(name, "T_") || startsWith(name, "B_")) {
            paint(field, colours.editText, colours.editBackground);
        }
    }
}

void markFieldError(QWidget *field, bool failing)
{
    if (failing == hasFieldError(field))
        return;
    if (failing) {
        field->setProperty(kErrorMark, true);
        field->setProperty(kBeforeError, QVariant::fromValue(field->palette()));
        paint(field, kErrorText, kErrorBackground);
        // A list box or a button draws its face in the button colours.
        QPalette palette = field->palette();
        for (QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive}) {
            palette.setColor(group, QPalette::Button, kErrorBackground);
            palette.setColor(group, QPalette::ButtonText, kErrorText);
        }
        field->setPalette(palette);
        return;
    }
    field->setProperty(kErrorMark, QVariant());
    field->setPalette(field->property(kBeforeError).value<QPalette>());
}

bool hasFieldError(const QWidget *field)
{
    return field->property(kErrorMark).toBool();
}

void clearFieldErrors(QWidget *window)
{
    for (QWidget *field : window->findChildren<QWidget *>())
        markFieldError(field, false);
}

bool leavesField(const QEvent *event, std::initializer_list<const QWidget *> notTowards)
{
    if (event->type() != QEvent::FocusOut)
        return false;
    const Qt::FocusReason reason = static_cast<const QFocusEvent *>(event)->reason();
    if (reason == Qt::ActiveWindowFocusReason || reason == Qt::PopupFocusReason)
        return false;
    const QWidget *next = QApplication::focusWidget();
    for (const QWidget *button : notTowards) {
        if (button && next == button)
            return false;
    }
    return true;
}

QLabel *addLabelled(QGridLayout *grid, int row, int column, const QString &caption, QWidget *field, int span)
{
    auto *label = new QLabel(caption);
    label->setBuddy(field);
    grid->addWidget(label, row, column);
    grid->addWidget(field, row, column + 1, 1, span);
    return label;
}

} // namespace Orlavo::Ui
