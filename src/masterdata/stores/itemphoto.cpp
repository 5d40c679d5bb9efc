#include "masterdata/stores/itemphoto.h"

#include "services/core/settings.h"
#include "services/core/sqlterms.h"
#include "services/core/tablenames.h"
#include "services/data/dataaccess.h"
#include "services/data/writeunit.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImageReader>

namespace Orlavo::Masterdata {

using Services::WriteEnd;
using Services::WriteResult;

namespace {

constexpr char kPhotoWhere[] = "Gestione articoli";
constexpr char kItemphotoStep[] = "Agg. foto articolo";
constexpr char kBadFolder[] = "Directory %1   non valida, Usare la directory predefinita";
constexpr char kCannotCopy[] = "Impossibile copiare l'immagine nella directory ";
constexpr char kNameTooLong[] = "Nome del file immagine troppo lungo";
constexpr int kLongestName = 255; // FOTOGR
constexpr int kMostCounters = 9999;

bool readableKind(const QString &path)
{
    static const QStringList kinds = {QStringLiteral("bmp"),  QStringLiteral("ico"), QStringLiteral("jpg"),
                                      QStringLiteral("jpeg"), QStringLiteral("gif"), QStringLiteral("png")};
    return kinds.contains(QFileInfo(path).suffix().toLower());
}

// A code as part of a file name: what a file system might refuse becomes "_".
QString namePart(const QString &code)
{
    QString part = code.trimmed();
    for (QChar &c : part) {
        if (c.unicode() > 127 || !(c.isLetterOrNumber() || c == QLatin1Char('-')))
            c = QLatin1Char('_');
    }
    return part;
}

bool sameContent(const QString &a, const QString &b)
{
    QFile first(a);
    QFile second(b);
    if (first.size() != second.size() || !first.open(QIODevice::ReadOnly) || !second.open(QIODevice::ReadOnly))
        return false;
    return first.readAll() == second.readAll();
}

// The name inside the folder, or empty when the file lies outside it.
QString insideName(const QString &folder, const QString &file)
{
    const QString root = QFileInfo(folder).canonicalFilePath();
    const QString path = QFileInfo(file).canonicalFilePath();
    if (root.isEmpty() || path.isEmpty() || !path.startsWith(root + QLatin1Char('/')))
        return {};
    return QDir(root).relativeFilePath(path);
}

} // namespace

PhotoFolder photoFolder(const QString &configured, const QString &appFolder)
{
    const QString fallback = Services::asFolder(appFolder) + QStringLiteral("IMAGE/");
    if (configured.isEmpty())
        return {fallback, {}};
    if (QFileInfo(configured).isDir())
        return {Services::asFolder(configured), {}};
    return {fallback, QString::fromUtf8(kBadFolder).arg(configured)};
}

QString photoFile(const QString &folder, const QString &stored)
{
    QString name = stored.trimmed();
    if (name.isEmpty())
        return {};
    name.replace(QLatin1Char('\\'), QLatin1Char('/'));
    const bool drive = name.size() > 1 && name.at(1) == QLatin1Char(':') && name.at(0).isLetter();
    // Another workstation's path: the file is looked for in the shared folder.
    if (drive || name.startsWith(QLatin1Char('/')))
        name = name.mid(name.lastIndexOf(QLatin1Char('/')) + 1);
    return name.isEmpty() ? QString() : Services::asFolder(folder) + name;
}

QImage readPhoto(const QString &path)
{
    if (path.isEmpty() || !readableKind(path))
        return {};
    QImageReader reader(path);
    reader.setAutoTransform(true);
    return reader.read();
}

Services::Outcome<AdoptedPhoto> adoptPhoto(const QString &folder, const ItemKey &key, const QString &chosen)
{
    if (readPhoto(chosen).isNull())
        return Services::Failure{QString::fromUtf8(kPhotoUnsupported), {}};
    if (const QString inside = insideName(folder, chosen); !inside.isEmpty()) {
        if (inside.size() > kLongestName)
            return Services::Failure{QString::fromUtf8(kNameTooLong), inside};
        return AdoptedPhoto{inside, false};
    }

    const QString base = QStringList{namePart(key.warehouse), namePart(key.brand), namePart(key.code)}.join('_');
    const QString suffix = QLatin1Char('.') + QFileInfo(chosen).suffix().toLower();
    if (!QDir().mkpath(folder))
        return Services::Failure{QString::fromUtf8(kCannotCopy) + folder, {}};
    for (int counter = 1; counter <= kMostCounters;) {
        const QString name =
            counter == 1 ? base + suffix : QStringLiteral("%1_%2%3").arg(base).arg(counter).arg(suffix);
        const QString target = Services::asFolder(folder) + name;
        if (QFileInfo::exists(target)) {
            if (sameContent(chosen, target))
                return AdoptedPhoto{name, false};
            ++counter;
            continue;
        }
        // Copy never replaces: a name another workstation took meanwhile is looked at again.
        QFile source(chosen);
        if (source.copy(target))
            return AdoptedPhoto{name, true};
        if (!QFileInfo::exists(target))
            return Services::Failure{QString::fromUtf8(kCannotCopy) + folder, source.errorString()};
    }
    return Services::Failure{QString::fromUtf8(kCannotCopy) + folder, {}};
}

WriteResult writeItemPhoto(Services::DataAccess &db, const ItemKey &key, const QString &name)
{
    Services::WriteUnit unit(db, QString::fromLatin1(kPhotoWhere));
    if (!unit.execCompany(QString::fromLatin1(kItemphotoStep),
                          QStringLiteral("UPDATE %1 SET FOTOGR = ? WHERE MAGAZZINO = ? AND MARCA = ? AND ARTICOLO = ?")
                              .arg(Services::Tables::ARTICOLI),
                          {Services::sqlText(name), key.warehouse, key.brand, key.code}))
        return WriteResult::of(WriteEnd::Failed, QString::fromLatin1(kItemphotoStep));
    if (unit.rowsAffected() == 0) {
        unit.abandon();
        return WriteResult::of(WriteEnd::Gone);
    }
    return WriteResult::of(unit.commit() ? WriteEnd::Written : WriteEnd::Failed);
}

Services::Outcome<WriteResult> changeItemPhoto(Services::DataAccess &db, const QString &folder, const ItemKey &key,
                                               const QString &chosen)
{
    auto adopted = adoptPhoto(folder, key, chosen);
    if (!adopted)
        return adopted.failure();
    const WriteResult written = writeItemPhoto(db, key, adopted->name);
    // Nobody would ever name the copy.
    if (!written.written() && adopted->copied)
        QFile::remove(Services::asFolder(folder) + adopted->name);
    return written;
}

} // namespace Orlavo::Masterdata
