#include "services/data/enginemessages.h"

#include "services/data/dataaccess.h"

namespace Orlavo::Services {

namespace {

const char *const kBusy = "L'archivio è occupato da un'altra postazione: riprovare tra poco.";
const char *const kReadOnlyFile = "L'archivio è di sola lettura: controllare i permessi del file e della sua cartella.";
const char *const kDiskFull = "Il disco è pieno: liberare spazio e riprovare.";
const char *const kDamaged = "L'archivio è danneggiato: ripristinarlo dall'ultimo salvataggio.";
const char *const kConnection =
    "Il server dati non risponde o ha chiuso il collegamento: controllare la rete e che il server sia acceso.";
const char *const kAuthentication = "Il server dati ha rifiutato l'utente o la password.";
const char *const kNoDatabase = "Il database indicato non esiste sul server.";

const char *sqliteLine(int primary)
{
    switch (primary) {
    case 5: return kBusy;                                                          // SQLITE_BUSY
    case 6: return "Una tabella è bloccata da un'altra operazione: riprovare tra poco."; // SQLITE_LOCKED
    case 8: return kReadOnlyFile;                                                      // SQLITE_READONLY
    case 10: return "Errore di lettura o scrittura sul disco.";                     // SQLITE_IOERR
    case 11: return kDamaged;                                                      // SQLITE_CORRUPT
    case 13: return kDiskFull;                                                     // SQLITE_FULL
    case 14: return "L'archivio non si apre: controllare che il file e la sua cartella esistano."; // SQLITE_CANTOPEN
    case 26: return "Il file non è un archivio leggibile: danneggiato o di un altro programma."; // SQLITE_NOTADB
    default: return nullptr;
    }
}

const char *postgresLine(const QString &state)
{
    if (state.startsWith(QLatin1String("08")))
        return kConnection;
    if (state == QLatin1String("28P01") || state == QLatin1String("28000"))
        return kAuthentication;
    if (state == QLatin1String("3D000"))
        return kNoDatabase;
    if (state == QLatin1String("53100"))
        return "Il disco del server dati è pieno.";
    if (state.startsWith(QLatin1String("53")))
        return "Il server dati non ha risorse sufficienti: riprovare più tardi.";
    if (state == QLatin1String("25006"))
        return "Il server dati accetta solo letture.";
    if (state == QLatin1String("42501"))
        return "L'utente del server non ha i permessi necessari su questo archivio.";
    if (state == QLatin1String("55P03") || state == QLatin1String("40P01") || state == QLatin1String("40001"))
        return kBusy;
    if (state.startsWith(QLatin1String("57P")))
        return "Il server dati è stato fermato o si sta riavviando.";
    if (state == QLatin1String("XX001") || state == QLatin1String("XX002"))
        return "Dati danneggiati sul server: avvisare l'amministratore del server.";
    return nullptr;
}

// Failures the drivers report with a text only.
const char *lineOfText(const QString &text)
{
    const auto has = [&text](const char *part) { return text.contains(QLatin1String(part), Qt::CaseInsensitive); };
    if (has("database \"") && has("does not exist"))
        return kNoDatabase;
    if (has("password authentication failed") || has("no password supplied") || has("role \""))
        return kAuthentication;
    if (has("connection refused") || has("could not connect") || has("server closed the connection") ||
        has("no connection to the server") || has("could not translate host name") || has("timeout expired"))
        return kConnection;
    if (has("database is locked"))
        return kBusy;
    if (has("readonly database") || has("read-only"))
        return kReadOnlyFile;
    if (has("disk is full") || has("no space left"))
        return kDiskFull;
    if (has("malformed") || has("not a database"))
        return kDamaged;
    return nullptr;
}

} // namespace

QString italianEngineLine(Engine engine, const QString &nativeCode, const QString &engineText)
{
    const char *line = nullptr;
    if (!nativeCode.isEmpty()) {
        if (engine == Engine::Sqlite) {
            bool number = false;
            const int code = nativeCode.toInt(&number);
            line = number ? sqliteLine(code & 0xFF) : nullptr;
        } else {
            line = postgresLine(nativeCode);
        }
    }
    if (!line)
        line = lineOfText(engineText);
    return line ? QString::fromUtf8(line) : QString();
}

QString withItalianLine(Engine engine, const QString &nativeCode, const QString &engineText)
{
    const QString line = italianEngineLine(engine, nativeCode, engineText);
    return line.isEmpty() ? engineText : line + QLatin1Char('\n') + engineText;
}

} // namespace Orlavo::Services
