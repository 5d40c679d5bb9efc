#include "services/core/sqlterms.h"

namespace Orlavo::Services {

QVariant sqlText(const QString &value)
{
    if (value.isEmpty())
        return QVariant(QMetaType::fromType<QString>());
    return value;
}

QString sqlUpperEquals(const QString &column)
{
    return QStringLiteral("UPPER(%1) = UPPER(?)").arg(column);
}

QString sqlQuoteFix(const QString &text)
{
    return QString(text).replace(QLatin1Char('"'), QLatin1Char('\''));
}

QString escapeLike(const QString &text)
{
    constexpr QChar kEscape = u'!';
    QString escaped;
    escaped.reserve(text.size() + 4);
    for (const QChar c : text) {
        if (c == u'%' || c == u'_' || c == kEscape)
            escaped.append(kEscape);
        escaped.append(c);
    }
    return escaped;
}

} // namespace Orlavo::Services
