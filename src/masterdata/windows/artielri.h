#pragma once

#include "masterdata/rules/itemsearch.h"
#include "masterdata/stores/itemstore.h"
#include "masterdata/windows/partysearchwindow.h"

#include <functional>

namespace Orlavo::Masterdata {

// What the item searches share: warehouse, brand, codes from and to, type,
// goods category, statistical category and barcode on the first rows of
// the box; a chosen row's key goes to the hook.
class ItemSearchWindow : public SearchWindow
{
    Q_OBJECT
public:
    // The search of the typed filters; nothing after the operator was told
    // what is wrong with them.
    std::optional<ItemSearch> search() { return told(build()); }
    // The list of a search, to show or to test.
    Ui::LookupRequest listRequest(const ItemSearch &search) const;

    // A row chosen in the list: the menu opens the item, a document takes it.
    void setOnChosen(std::function<void(const ItemKey &)> hook) { m_onChosen = std::move(hook); }

protected:
    ItemSearchWindow(Ui::AppContext &context, const QString &name, const QString &title, const QString &listTitle,
                     QWidget *parent);

    virtual Services::Outcome<ItemSearch> build() const = 0;
    void readShared(ItemFilters &filters) const;

private:
    Services::Outcome<Found> find() const override;
    void chosen(const QStringList &values) override;

    QString m_listTitle;
    std::function<void(const ItemKey &)> m_onChosen;
};

// The item lists, as pickers and from the menu: ArtiELri with the list
// price, ArtiELr1 without. Besides the shared filters, the start of any
// word of the description; the brand comes preset from CONT.INI ([RICERCA
// ARTICOLI] MARCA DEFAULT).
class ArtiELri : public ItemSearchWindow
{
    Q_OBJECT
public:
    ArtiELri(Ui::AppContext &context, bool withPrice, QWidget *parent = nullptr);

    bool withPrice() const { return m_withPrice; }
    ItemListFilters filters() const;

protected:
    Services::Outcome<ItemSearch> build() const override;
    // Annulla brings the window back as it opened: with the preset brand.
    void clearOptions() override { presetBrand(); }

private:
    void presetBrand();

    bool m_withPrice;
};

} // namespace Orlavo::Masterdata
