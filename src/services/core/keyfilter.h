#pragma once

#include <QChar>
#include <QString>

#include <optional>

namespace Orlavo::Services {

// What an entry field holds; each kind takes its own set of characters.
enum class FieldType { Code = 0, Number = 1, Date = 2, FreeText = 3 };

// The character a field takes for a typed one, or the null QChar when the
// field refuses it. Backspace (8) and the digits pass everywhere; then:
// - Code: codes 33-122 (no blank, none of "{|}~", no accented letters);
// - FreeText: codes 32-126 and the letters and signs of the DOS code page
//   850 at 128-163 (Ç ü é ... £ Ø × ƒ á í ó ú) with their capitals;
// - Number: the minus sign and one decimal separator, "." or "," both
//   becoming ","; `flag` means integers only, with no separator at all;
// - Date: "-", "/" and the blank.
// With `upperCase`, Code and FreeText turn small letters into capitals;
// "ÿ" and "ƒ", whose capitals are outside the set, stay as they are.
// `textWithoutSelection` is what stays of the field around the insertion:
// a "," there refuses a second separator.
QChar filterKey(QChar typed, FieldType type, bool flag, bool upperCase, const QString &textWithoutSelection);

// Text arriving at once (pasted, dropped, from an input method): every
// character goes through filterKey, and one refused character refuses the
// whole text, as does a second decimal separator anywhere. A backspace in
// text is a control character like any other and is refused.
std::optional<QString> filterText(const QString &incoming, FieldType type, bool flag, bool upperCase,
                                  const QString &textWithoutSelection);

// filterKey on key codes: the code of the character taken, 0 when refused.
int keyFilter(int keyCode, FieldType type, bool flag, bool upperCase, const QString &text);

} // namespace Orlavo::Services
