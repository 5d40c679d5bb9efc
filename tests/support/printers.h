#pragma once

// Readable Qt values in failure messages. Included into every test source
// by the build, so each one prints QString the same way.

#include <QString>
#include <QStringList>

#include <ostream>

inline void PrintTo(const QString &text, std::ostream *out)
{
    *out << '"' << text.toStdString() << '"';
}

inline void PrintTo(const QStringList &texts, std::ostream *out)
{
    *out << '{';
    for (qsizetype i = 0; i < texts.size(); ++i)
        *out << (i ? ", " : "") << '"' << texts.at(i).toStdString() << '"';
    *out << '}';
}
