// Texts with accents must reach QString as UTF-8: a constant handed to
// QString::fromLatin1 shows "puÃ²" for "può".
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QHash>
#include <QRegularExpression>
#include <QStringList>

#include <gtest/gtest.h>

namespace {

bool hasNonAscii(const QString &text)
{
    return std::any_of(text.begin(), text.end(), [](QChar c) { return c.unicode() > 127; });
}

// "file:line name" of every fromLatin1 given a non-ASCII literal, or a
// constant with non-ASCII text defined in the same file or in a header.
QStringList latin1Misuses(const QHash<QString, QString> &sources)
{
    static const QRegularExpression constant(
        QStringLiteral(R"(constexpr char (\w+)\[\]\s*=\s*((?:"(?:[^"\\]|\\.)*"\s*)+);)"));
    static const QRegularExpression use(QStringLiteral(R"(fromLatin1\(\s*(\w+|"(?:[^"\\]|\\.)*"))"));
    QHash<QString, QStringList> accented; // constant → files defining it
    for (auto it = sources.begin(); it != sources.end(); ++it) {
        for (const auto &m : constant.globalMatch(it.value())) {
            if (hasNonAscii(m.captured(2)))
                accented[m.captured(1)] << it.key();
        }
    }
    QStringList misuses;
    for (auto it = sources.begin(); it != sources.end(); ++it) {
        for (const auto &m : use.globalMatch(it.value())) {
            const QString argument = m.captured(1);
            const QStringList definedIn = accented.value(argument);
            const bool bad = argument.startsWith(QLatin1Char('"'))
                                 ? hasNonAscii(argument)
                                 : std::any_of(definedIn.begin(), definedIn.end(), [&](const QString &file) {
                                       return file == it.key() || file.endsWith(QLatin1String(".h"));
                                   });
            if (bad) {
                const int line = int(it.value().left(m.capturedStart()).count(QLatin1Char('\n'))) + 1;
                misuses << QStringLiteral("%1:%2 %3").arg(it.key()).arg(line).arg(argument.left(40));
            }
        }
    }
    misuses.sort();
    return misuses;
}

TEST(SourceText, FindsAnAccentedConstantReadAsLatin1)
{
    const QHash<QString, QString> sources{
        {QStringLiteral("a.cpp"), QStringLiteral("constexpr char kBad[] = \"non pu\u00f2\";\n"
                                                 "constexpr char kGood[] = \"puo\";\n"
                                                 "f(QString::fromLatin1(kBad)); f(QString::fromLatin1(kGood));\n"
                                                 "f(QString::fromLatin1(\"citt\u00e0\"));\n")},
        // A constant of the same name in another source file is not this one.
        {QStringLiteral("b.cpp"), QStringLiteral("constexpr char kBad[] = \"ok\";\nf(QString::fromLatin1(kBad));\n")},
        {QStringLiteral("c.h"), QStringLiteral("inline constexpr char kHeader[] = \"\u00e8\";\n")},
        {QStringLiteral("d.cpp"), QStringLiteral("g(QString::fromLatin1(kHeader));\n")},
    };
    EXPECT_EQ(latin1Misuses(sources),
              (QStringList{"a.cpp:3 kBad", QString::fromUtf8("a.cpp:4 \"citt\u00e0\""), "d.cpp:1 kHeader"}));
}

TEST(SourceText, NoAccentedTextIsReadAsLatin1)
{
    QHash<QString, QString> sources;
    const QDir root(QStringLiteral(ORLAVO_SOURCE_DIR));
    for (const char *folder : {"src", "app"}) {
        QDirIterator it(root.filePath(QString::fromLatin1(folder)), {QStringLiteral("*.cpp"), QStringLiteral("*.h")},
                        QDir::Files, QDirIterator::Subdirectories);
        while (it.hasNext()) {
            QFile file(it.next());
            ASSERT_TRUE(file.open(QIODevice::ReadOnly)) << file.fileName().toStdString();
            sources.insert(root.relativeFilePath(file.fileName()), QString::fromUtf8(file.readAll()));
        }
    }
    ASSERT_GT(sources.size(), 100);
    EXPECT_EQ(latin1Misuses(sources), QStringList());
}

} // namespace
