#include "services/core/pgpass.h"

#include "files.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using Orlavo::Services::storePgPassword;

namespace {

TEST(PgPass, OneLinePerAccountOwnerOnlyFieldsEscaped)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("pgpass"));
    qputenv("PGPASSFILE", path.toUtf8());

    EXPECT_EQ(storePgPassword({}, 5432, QStringLiteral("orlavo"), QStringLiteral("anna"), QStringLiteral("uno")),
              QString());
    EXPECT_EQ(QFile::permissions(path) & (QFile::ReadGroup | QFile::ReadOther | QFile::WriteGroup | QFile::WriteOther),
              QFile::Permissions());

    // Another account is added; the same account is replaced, in its place
    // among the others; separators in a field are escaped.
    EXPECT_EQ(storePgPassword(QStringLiteral("/run/pg"), 5433, QStringLiteral("db:1"), QStringLiteral("bob"),
                              QStringLiteral("a\\b:c")),
              QString());
    EXPECT_EQ(storePgPassword(QStringLiteral("localhost"), 5432, QStringLiteral("orlavo"), QStringLiteral("anna"),
                              QStringLiteral("due")),
              QString());
    EXPECT_EQ(Orlavo::Testing::readBytes(path), QByteArray("/run/pg:5433:db\\:1:bob:a\\\\b\\:c\n"
                                                           "localhost:5432:orlavo:anna:due\n"));

    // Nowhere to write: the reason, and nothing else touched.
    qputenv("PGPASSFILE", dir.filePath(QStringLiteral("manca/pgpass")).toUtf8());
    EXPECT_TRUE(storePgPassword({}, 5432, QStringLiteral("x"), QStringLiteral("y"), QStringLiteral("z"))
                    .startsWith(QStringLiteral("Il file ")));
    qunsetenv("PGPASSFILE");
}

} // namespace
