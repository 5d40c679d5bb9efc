#include "services/core/keyfilter.h"

namespace Orlavo::Services {

namespace {

constexpr char16_t kBackspace = 8;

// The DOS code page 850 at 128-163, in code order: the characters the old
// data files could hold beyond plain ASCII.
constexpr char16_t kDosCharacters[] = u"ÇüéâäàåçêëèïîìÄÅÉæÆôöòûùÿÖÜø£Ø×ƒáíóú";

// Those characters and the capitals their small letters turn into, as long
// as the capital is still a Latin-1 character (È, À, Ù yes; Ÿ, Ƒ no).
const QString &extraTextCharacters()
{
    static const QString characters = [] {
        QString all = QString::fromUtf16(kDosCharacters);
        const QString letters = all;
        for (const QChar c : letters) {
            const QChar capital = c.toUpper();
            if (capital.unicode() < 256 && !all.contains(capital))
                all.append(capital);
        }
        return all;
    }();
    return characters;
}

bool isTextCharacter(QChar c)
{
    const char16_t code = c.unicode();
    return (code >= 32 && code <= 126) || (code >= 128 && extraTextCharacters().contains(c));
}

} // namespace

QChar filterKey(QChar typed, FieldType type, bool flag, bool upperCase, const QString &textWithoutSelection)
{
    const char16_t code = typed.unicode();
    if (code == kBackspace || (code >= u'0' && code <= u'9'))
        return typed;

    switch (type) {
    case FieldType::Code:
        if (code < 33 || code > 122)
            return {};
        return upperCase && code >= u'a' && code <= u'z' ? typed.toUpper() : typed;
    case FieldType::FreeText:
        if (!isTextCharacter(typed))
            return {};
        if (upperCase && typed.isLower()) {
            const QChar capital = typed.toUpper();
            if (isTextCharacter(capital))
                return capital;
        }
        return typed;
    case FieldType::Number:
        if (code == u'-')
            return typed;
        if (code == u'.' || code == u',') {
            // Typed with either key, the decimal separator is always the comma.
            if (flag || textWithoutSelection.contains(QLatin1Char(',')))
                return {};
            return QLatin1Char(',');
        }
        return {};
    case FieldType::Date:
        if (code == u'-' || code == u'/' || code == u' ')
            return typed;
        return {};
    }
    return {};
}

std::optional<QString> filterText(const QString &incoming, FieldType type, bool flag, bool upperCase,
                                  const QString &textWithoutSelection)
{
    static const QString comma = QStringLiteral(",");
    QString taken;
    taken.reserve(incoming.size());
    bool separatorTaken = false;
    for (const QChar c : incoming) {
        if (c.unicode() == kBackspace)
            return std::nullopt;
        // Once the text has brought its own separator, the rest is judged
        // as if the field already held one.
        const QChar accepted = filterKey(c, type, flag, upperCase, separatorTaken ? comma : textWithoutSelection);
        if (accepted.isNull())
            return std::nullopt;
        if (type == FieldType::Number && accepted == QLatin1Char(','))
            separatorTaken = true;
        taken.append(accepted);
    }
    return taken;
}

int keyFilter(int keyCode, FieldType type, bool flag, bool upperCase, const QString &text)
{
    if (keyCode <= 0 || keyCode > 0xFFFF)
        return 0;
    const QChar accepted = filterKey(QChar(char16_t(keyCode)), type, flag, upperCase, text);
    return accepted.isNull() ? 0 : accepted.unicode();
}

} // namespace Orlavo::Services
