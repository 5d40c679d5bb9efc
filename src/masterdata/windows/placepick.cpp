#include "masterdata/masterdata.h"

#include "services/core/tablenames.h"
#include "services/data/dataaccess.h"
#include "ui/appcontext.h"
#include "ui/inputfields.h"
#include "ui/lookuplist.h"

namespace Orlavo::Masterdata {

Ui::LookupRequest postalCodeList(const QString &town)
{
    Ui::LookupRequest request;
    request.table = Services::Tables::TAB_CAP;
    request.title = QStringLiteral("Lista C.A.P.");
    request.columns = {{QStringLiteral("CAP"), QStringLiteral("05C"), QStringLiteral("C.A.P.")},
                       {QStringLiteral("CITTA"), QStringLiteral("30C"), QString()},
                       {QStringLiteral("PROVINCIA"), QStringLiteral("02C"), QStringLiteral("PR")}};
    if (!town.trimmed().isEmpty()) {
        request.condition = Services::sqlUpperEquals(QStringLiteral("CITTA"));
        request.conditionParams = {town.trimmed()};
    }
    return request;
}

std::optional<Place> placeOfTown(Ui::AppContext &context, const QString &town, QWidget *parent)
{
    const auto places = placesOfTown(context.db, town);
    if (places.size() <= 1)
        return places.isEmpty() ? std::nullopt : std::optional(places.first());
    const auto chosen = Ui::showLookupList(context, postalCodeList(town), parent);
    if (!chosen || chosen->size() < 3)
        return std::nullopt;
    return Place{chosen->at(0), chosen->at(2)};
}

std::optional<PostalPlace> pickPostalCode(Ui::AppContext &context, QWidget *parent)
{
    // The postal codes live in the company's archive: none before the first.
    if (!context.db.companyOpen())
        return std::nullopt;
    const auto chosen = Ui::showLookupList(context, postalCodeList(), parent);
    if (!chosen || chosen->size() < 3)
        return std::nullopt;
    return PostalPlace{chosen->at(0), chosen->at(1), chosen->at(2)};
}

Ui::LookupRequest townList()
{
    Ui::LookupRequest request;
    request.table = Services::Tables::TAB_COMUNI;
    request.title = QStringLiteral("Lista COMUNI");
    request.columns = {{QStringLiteral("COMUNE"), QStringLiteral("40C"), QStringLiteral("Comune")},
                       {QStringLiteral("PROVINCIA"), QStringLiteral("02C"), QStringLiteral("PR")}};
    return request;
}

void offerTownList(Ui::InputField *field, Ui::AppContext &context, std::function<void(const Town &)> picked)
{
    field->setOffersList(true);
    QObject::connect(field, &Ui::InputField::lookupRequested, field, [field, &context, picked = std::move(picked)] {
        const auto chosen = Ui::showLookupList(context, townList(), field->window());
        if (!chosen || chosen->size() < 2)
            return;
        field->setText(chosen->at(0));
        field->setModified(false);
        picked(Town{chosen->at(0), chosen->at(1)});
    });
}

} // namespace Orlavo::Masterdata
