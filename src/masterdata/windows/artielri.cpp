#include "masterdata/windows/artielri.h"

#include "ui/appcontext.h"

#include <QLineEdit>

namespace Orlavo::Masterdata {

namespace {

constexpr char kSettingsSection[] = "RICERCA ARTICOLI";
constexpr char kPresetBrand[] = "MARCA DEFAULT";

} // namespace

ItemSearchWindow::ItemSearchWindow(Ui::AppContext &context, const QString &name, const QString &title,
                                   const QString &listTitle, QWidget *parent)
    : SearchWindow(context, name, title, parent), m_listTitle(listTitle)
{
    put(0, 0, QStringLiteral("Magazzino"), QStringLiteral("MAGAZZINO"), 2);
    put(0, 2, QStringLiteral("Marca"), QStringLiteral("MARCA"), 3);
    put(1, 0, QStringLiteral("Da codice"), QStringLiteral("CODICE_DA"), 30);
    put(1, 2, QStringLiteral("A codice"), QStringLiteral("CODICE_A"), 30);
    put(2, 0, QStringLiteral("Tipo articolo"), QStringLiteral("TIPO_ART"), 2);
    put(3, 0, QStringLiteral("Gruppo merceologico"), QStringLiteral("COD_MERCE"), 6);
    put(4, 0, QStringLiteral("Categoria statistica"), QStringLiteral("COD_STATIS"), 12);
    put(4, 2, QStringLiteral("Codice a barre"), QStringLiteral("COD_BARRE"), 30);
}

void ItemSearchWindow::readShared(ItemFilters &filters) const
{
    filters.warehouse = text("MAGAZZINO");
    filters.brand = text("MARCA");
    filters.codeFrom = text("CODICE_DA");
    filters.codeTo = text("CODICE_A");
    filters.type = text("TIPO_ART");
    filters.goodsCategory = text("COD_MERCE");
    filters.statCategory = text("COD_STATIS");
    filters.barcode = text("COD_BARRE");
}

Ui::LookupRequest ItemSearchWindow::listRequest(const ItemSearch &search) const
{
    Ui::LookupRequest request;
    request.table = search.from;
    request.title = m_listTitle;
    request.columns = search.columns;
    request.condition = search.listCondition();
    request.conditionParams = search.params;
    return request;
}

Services::Outcome<SearchWindow::Found> ItemSearchWindow::find() const
{
    auto built = build();
    if (!built)
        return built.failure();
    return Found{listRequest(*built), built->formula};
}

void ItemSearchWindow::chosen(const QStringList &values)
{
    // The key leads every row of an item search.
    if (m_onChosen && values.size() >= 3)
        m_onChosen(ItemKey{values.at(0), values.at(1), values.at(2)});
}

ArtiELri::ArtiELri(Ui::AppContext &context, bool withPrice, QWidget *parent)
    : ItemSearchWindow(context, withPrice ? QStringLiteral("ArtiELri") : QStringLiteral("ArtiELr1"),
                       QStringLiteral("Ricerca ARTICOLI"), QStringLiteral("Lista ARTICOLI"), parent),
      m_withPrice(withPrice)
{
    put(nextRow(), 0, QStringLiteral("Descrizione"), QStringLiteral("DESC_ART"), 60, false, 3);
    addButtons(false);
    presetBrand();
}

void ArtiELri::presetBrand()
{
    field(QStringLiteral("MARCA"))
        ->setText(m_context.settings.read(QString::fromLatin1(kSettingsSection), QString::fromLatin1(kPresetBrand))
                      .trimmed());
}

ItemListFilters ArtiELri::filters() const
{
    ItemListFilters f;
    readShared(f);
    f.description = text("DESC_ART");
    return f;
}

Services::Outcome<ItemSearch> ArtiELri::build() const
{
    return buildItemList(filters(), m_withPrice);
}

} // namespace Orlavo::Masterdata
