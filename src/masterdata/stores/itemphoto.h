#pragma once

#include "masterdata/stores/itemstore.h"
#include "services/core/outcome.h"
#include "services/core/record.h"

#include <QImage>
#include <QString>

namespace Orlavo::Services {
class DataAccess;
} // namespace Orlavo::Services

namespace Orlavo::Masterdata {

// An item's photo lives in the image folder (PATHIMAGE), which the
// workstations share; FOTOGR holds its name relative to that folder.

inline constexpr char kPhotoUnsupported[] = "Formato immagine non supportato";

// The image folder: PATHIMAGE when it is a folder, else the default one
// (application folder + "IMAGE/") with the message the window shows.
struct PhotoFolder {
    QString path;    // ends with "/"
    QString refusal; // empty when PATHIMAGE is used
};
PhotoFolder photoFolder(const QString &configured, const QString &appFolder);

// The file a FOTOGR value names: a relative name inside the folder; an
// absolute path, an old "C:\..." too, by its file name inside the folder.
// Empty for an empty value.
QString photoFile(const QString &folder, const QString &stored);

// The picture of a bmp, ico, jpg, jpeg, gif or png file; null when the file
// is missing, of another kind or unreadable.
QImage readPhoto(const QString &path);

// A chosen file taken into the folder. A file already inside keeps its
// place; one from elsewhere is copied in as WAREHOUSE_BRAND_CODE.ext, with
// a counter while that name holds a different file (the same file is
// reused). Refused with kPhotoUnsupported when it cannot be shown.
struct AdoptedPhoto {
    QString name;        // relative to the folder, for FOTOGR
    bool copied = false; // a new file was made
};
Services::Outcome<AdoptedPhoto> adoptPhoto(const QString &folder, const ItemKey &key, const QString &chosen);

// FOTOGR set, or cleared with an empty name, in one write unit ("Gestione
// articoli"); Gone when the item is no longer stored. The file stays.
Services::WriteResult writeItemPhoto(Services::DataAccess &db, const ItemKey &key, const QString &name);

// The chosen file becomes the item's photo: taken into the folder, then
// written; a copy made for a write that did not land is removed again.
Services::Outcome<Services::WriteResult> changeItemPhoto(Services::DataAccess &db, const QString &folder,
                                                         const ItemKey &key, const QString &chosen);

} // namespace Orlavo::Masterdata
