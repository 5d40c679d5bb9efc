#include "sales/stores/invoicesettings.h"

#include "services/core/settings.h"

namespace Orlavo::Sales {

namespace {

const QString kMain = QStringLiteral("MAIN");
const QString kInvoice = QStringLiteral("FATTURA");
const QString kImport = QStringLiteral("IMPORTADOC");
const QString kWithholding = QStringLiteral("RITACC_SU_FVEND");
const QString kItems = QStringLiteral("ARTICOLI");
const QString kUnused = QStringLiteral("** NON USATO **");

bool yes(const QString &value)
{
    return value.trimmed().compare(QLatin1String("SI"), Qt::CaseInsensitive) == 0;
}

// A key moved from MAIN to FATTURA: the old value taken over once.
QString moved(const Services::Settings &settings, const QString &key, const QString &fallback)
{
    const QString current = settings.read(kInvoice, key).trimmed();
    if (!current.isEmpty())
        return current;
    const QString old = settings.read(kMain, key).trimmed();
    const QString value = old.isEmpty() || old == kUnused ? fallback : old;
    settings.write(kInvoice, key, value);
    if (!old.isEmpty() && old != kUnused)
        settings.write(kMain, key, kUnused);
    return value;
}

} // namespace

InvoiceSettings readInvoiceSettings(const Services::Settings &settings)
{
    const auto get = [&settings](const QString &section, const char *key, const char *fallback) {
        return settings.readOr(section, QString::fromLatin1(key), QString::fromLatin1(fallback)).trimmed();
    };
    InvoiceSettings s;
    s.priceSource = get(kMain, "PREZZOBOLLA", "L").toUpper();
    s.noteNumberOnRows = yes(get(kMain, "NDOC_SU_DDT", "NO"));
    QString kind = moved(settings, QStringLiteral("TIPOFATTURA"), QStringLiteral("N")).toUpper();
    if (kind != QLatin1String("N")) {
        kind = QStringLiteral("A");
        settings.write(kInvoice, QStringLiteral("TIPOFATTURA"), kind);
    }
    s.accompanying = kind == QLatin1String("A");
    s.computedDiscounts = yes(get(kMain, "SCONTICALCOLATI", "SI"));
    s.todayOnInvoice = yes(get(kMain, "DATAGIORNOSUFATTURA", "SI"));
    s.importOrder = get(kImport, "ORDINAMENTODDTINFATT", "1");
    s.importDetails = yes(get(kImport, "DETTAGLI", "SI"));
    s.importPrices = yes(get(kImport, "DETTCONPREZZI", "SI"));
    s.importReferences = yes(get(kImport, "RIFERIMENTI", "SI"));
    s.withholding = yes(get(kWithholding, "RITENUTA", "NO"));
    s.withholdingCausal = get(kWithholding, "CAUDALE_RIT", "");
    s.withholdingRate = get(kWithholding, "PERCRIT_RIT", "");
    s.withholdingAccount = get(kWithholding, "CONTO_RIT", "");
    s.specialTotals = yes(get(kInvoice, "CALCOLO_TOTALI_SPECIALI", "NO"));
    s.specialBrand = get(kInvoice, "MARCA_PER_SPECIALI", "");
    s.specialItem = get(kInvoice, "ARTICOLO_PER_SPECIALI", "");
    s.checkCommissions = yes(get(kInvoice, "CONTROLLO_PROVVIGIONI", "SI"));
    s.forceOrderQuantity = yes(get(kInvoice, "FORZAQTAORDINE", "NO"));
    s.debitNotesApart = yes(moved(settings, QStringLiteral("NUMERAZNOTEDEBSEP"), QStringLiteral("NO")));
    s.free1Caption = get(kItems, "LIBERO1", "");
    s.free2Caption = get(kItems, "LIBERO2", "");
    s.checkNegativeStock = yes(get(kMain, "CTRL_ESIST_NEG", "NO"));
    return s;
}

bool writeWithholdingSettings(const Services::Settings &settings, bool used, const QString &causal, const QString &rate,
                              const QString &account)
{
    if (!used)
        return settings.write(kWithholding, QStringLiteral("RITENUTA"), QStringLiteral("NO"));
    return settings.write(kWithholding, QStringLiteral("CAUDALE_RIT"), causal) &&
           settings.write(kWithholding, QStringLiteral("PERCRIT_RIT"), rate) &&
           settings.write(kWithholding, QStringLiteral("CONTO_RIT"), account) &&
           settings.write(kWithholding, QStringLiteral("RITENUTA"), QStringLiteral("SI"));
}

} // namespace Orlavo::Sales
