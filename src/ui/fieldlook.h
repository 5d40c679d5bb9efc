#pragma once

#include <QColor>
#include <QPalette>

#include <initializer_list>

class QEvent;
class QGridLayout;
class QLabel;
class QWidget;

namespace Orlavo::Services {
class Settings;
} // namespace Orlavo::Services

namespace Orlavo::Ui {

// The field colours of section MENU: text and background of the fields the
// operator types in, background of the fields that only show.
struct FieldColours {
    QColor editText;
    QColor editBackground;
    QColor protectedBackground;
};

// Reads the three colours; missing keys are written back with their
// defaults (black on white; the face of buttons for protected fields).
FieldColours readFieldColours(const Services::Settings &settings, const QPalette &palette);

// ApplyFieldColours: fields named "D_..." show the protected background,
// fields named "T_..." or "B_..." (either case) the editable colours.
void applyFieldColours(QWidget *window, const FieldColours &colours);

// A field that fails its check turns red; a good one gets its colours back.
void markFieldError(QWidget *field, bool failing);
bool hasFieldError(const QWidget *field);
// Every mark of the window taken away.
void clearFieldErrors(QWidget *window);

// A focus-out event that is the operator leaving a field: not a message box
// or a list taking the focus, nor a move to one of the given buttons (which
// check or drop the input themselves).
bool leavesField(const QEvent *event, std::initializer_list<const QWidget *> notTowards = {});

// A caption and its field side by side in a grid, the field spanning
// `span` columns; the caption, its buddy the field, is returned.
QLabel *addLabelled(QGridLayout *grid, int row, int column, const QString &caption, QWidget *field, int span = 1);

} // namespace Orlavo::Ui
