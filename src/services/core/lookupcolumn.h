#pragma once

#include <QChar>
#include <QString>

namespace Orlavo::Services {

// One column of a lookup list: the table's column, its format (two digits
// of width in characters, a letter, then an optional text whose use the
// letter gives) and the heading shown.
struct LookupColumn {
    QString name;
    QString spec;
    QString heading;
};

// A column format taken apart. Letters: "C" filters on the text (typed by
// the operator), "X" adds a ready condition, "K" gives the whole statement;
// "B" and "F" list the column like any other. Width 0 hides the column.
struct ColumnFormat {
    int width = 0;
    QChar letter;
    QString extra;

    static ColumnFormat parse(const QString &spec)
    {
        ColumnFormat parsed;
        parsed.width = spec.left(2).toInt();
        if (spec.size() > 2)
            parsed.letter = spec.at(2).toUpper();
        parsed.extra = spec.mid(3);
        return parsed;
    }
    bool hidden() const { return width == 0; }
};

} // namespace Orlavo::Services
