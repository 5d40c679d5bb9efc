#pragma once

#include <QChar>
#include <QString>

namespace Orlavo::Services {

// One column of a lookup list: the table's column, its format (two digits
// of width in characters, a letter, then an optional text whose use the
// letter gives) and the heading shown.
struct LookupColumn {
    QString name;
    QString format;
    QString heading;
};

// A column format taken apart. Letters: "C" filters on the text (typed by
// the operator), "X" adds a ready condition, "K" gives the whole statement;
// "B" and "F" list the column like any other; "N" shows a figure with the
// decimals the extra text gives ("10N2"), "Z" a percentage as "05,50".
// Width 0 hides the column.
struct ColumnFormat {
    int width = 0;
    QChar letter;
    QString extra;

    static ColumnFormat parse(const QString &format)
    {
        ColumnFormat parsed;
        parsed.width = format.left(2).toInt();
        if (format.size() > 2)
            parsed.letter = format.at(2).toUpper();
        parsed.extra = format.mid(3);
        return parsed;
    }
    bool hidden() const { return width == 0; }
};

} // namespace Orlavo::Services
