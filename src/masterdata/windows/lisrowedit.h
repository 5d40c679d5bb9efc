#pragma once

#include "masterdata/stores/listrowstore.h"
#include "masterdata/windows/listeditwindow.h"

class QLabel;

namespace Orlavo::Masterdata {

// What both list-row windows share: the row's key shown and locked, the
// item's description, prices with the list decimals and discounts as
// "05,50".
class ListRowWindow : public ListEditWindow
{
    Q_OBJECT
protected:
    ListRowWindow(Ui::AppContext &context, const Services::FamilyDef &family, const QString &name, const QString &title,
                  QWidget *parent);

    // The key fields, locked, then the list price; returns the next row.
    int addKey(const QStringList &parties);
    void addNumbers(int row, const QList<std::pair<QString, QString>> &fields);
    void formatFields() override;
    void reportProblem(const QList<Services::FieldProblem> &problems, const QString &name);
    Services::Record emptyRow() const override { return m_stored; }

    int m_decimals = 2;

private:
    QLabel *m_itemDescription = nullptr;
};

// One row of a purchase list (LIST_ACQ): its discounts, net and fixed
// prices. A changed discount gives the net price again; a typed net price
// stays. Saving moves the supplier's sale rows of the item too.
class LisAcqAg : public ListRowWindow
{
    Q_OBJECT
public:
    LisAcqAg(Ui::AppContext &context, const PurchaseListKey &key, QWidget *parent = nullptr);
    void leaveField(const QString &name) override;

protected:
    QList<Services::FieldProblem> problems(const Services::Record &row) override;
    Services::WriteResult write(const Services::Record &row) override;
    std::optional<Services::Record> reread() override;
    QString deleteQuestion() const override;
    QString deleteRefusal() override;
    Services::WriteResult erase() override;

private:
    PurchaseListKey m_key;
};

// One row of a sale list (LIST_VEN): changed sale discounts give the net
// price again, a changed markup the marked-up price.
class LisVenAg : public ListRowWindow
{
    Q_OBJECT
public:
    LisVenAg(Ui::AppContext &context, const SaleListKey &key, QWidget *parent = nullptr);
    void leaveField(const QString &name) override;

protected:
    QList<Services::FieldProblem> problems(const Services::Record &row) override;
    Services::WriteResult write(const Services::Record &row) override;
    std::optional<Services::Record> reread() override;
    QString deleteQuestion() const override;
    Services::WriteResult erase() override;

private:
    SaleListKey m_key;
};

} // namespace Orlavo::Masterdata
