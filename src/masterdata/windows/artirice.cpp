#include "masterdata/windows/artirice.h"

namespace Orlavo::Masterdata {

namespace {

constexpr char kReport[] = "LISESART";
// The print's heading names the flavour.
constexpr char kHeading[] = "TITOLO";

} // namespace

ArtiRice::ArtiRice(Ui::AppContext &context, StockFlavour flavour, QWidget *parent)
    : ItemSearchWindow(context, QStringLiteral("ArtiRice"), stockSearchTitle(flavour), stockListTitle(flavour), parent),
      m_flavour(flavour)
{
    putOption(2, 2, QStringLiteral("diverso da"), QStringLiteral("TIPO_ART_DIVERSO"));
    putOption(3, 2, QStringLiteral("diverso da"), QStringLiteral("COD_MERCE_DIVERSO"));
    const int row = nextRow();
    put(row, 0, QStringLiteral("Codice IVA"), QStringLiteral("COD_IVA"), 4);
    put(row, 2, QStringLiteral("Unità di misura"), QStringLiteral("UNITA_MIS"), 2);
    putOption(row + 1, 0, QStringLiteral("Esistenza sotto la scorta minima"), QStringLiteral("SOTTO_SCORTA"), 2);
    putOption(row + 1, 2, QStringLiteral("Esistenza diversa da zero"), QStringLiteral("ESISTENZA_NON_ZERO"), 2);
    putOption(row + 2, 0, QStringLiteral("Esistenza negativa"), QStringLiteral("ESISTENZA_NEGATIVA"), 2);
    putOption(row + 2, 2, QStringLiteral("Giacenza iniziale diversa da zero"), QStringLiteral("GIAC_INIZ_NON_ZERO"),
              2);
    addButtons();
}

StockSearchFilters ArtiRice::filters() const
{
    StockSearchFilters f;
    readShared(f);
    f.typeDiffers = ticked("TIPO_ART_DIVERSO");
    f.categoryDiffers = ticked("COD_MERCE_DIVERSO");
    f.vatCode = text("COD_IVA");
    f.unit = text("UNITA_MIS");
    f.belowMinimum = ticked("SOTTO_SCORTA");
    f.onHand = ticked("ESISTENZA_NON_ZERO");
    f.negative = ticked("ESISTENZA_NEGATIVA");
    f.openingStock = ticked("GIAC_INIZ_NON_ZERO");
    return f;
}

Services::Outcome<ItemSearch> ArtiRice::build() const
{
    return buildStockSearch(filters(), m_flavour);
}

Reporting::PrintCommand ArtiRice::printCommandOf(const QString &formula) const
{
    Reporting::PrintCommand command;
    command.key = QString::fromLatin1(kReport);
    command.title = stockListTitle(m_flavour);
    command.request.formula = formula;
    command.request.formulas.insert(QString::fromLatin1(kHeading), command.title);
    return command;
}

} // namespace Orlavo::Masterdata
