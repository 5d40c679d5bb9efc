#pragma once

#include "masterdata/stores/discountstore.h"
#include "masterdata/windows/listeditwindow.h"

namespace Orlavo::Masterdata {

// The discounts of a party for a brand: a new pair (ScCliIn, ScForIn) or a
// stored one (ScontCli, ScontFor), whose party and brand stay as they are.
// Only parties with a personal list are offered and accepted.
class DiscountWindow : public ListEditWindow
{
    Q_OBJECT
public:
    // Modify mode loads the pair; loaded() is false when it is missing.
    DiscountWindow(Ui::AppContext &context, DiscountSide side, bool inserting, int party = 0, const QString &brand = {},
                   QWidget *parent = nullptr);

    DiscountSide side() const { return m_side; }
    void leaveField(const QString &name) override;

protected:
    QList<Services::FieldProblem> problems(const Services::Record &row) override;
    Services::WriteResult write(const Services::Record &row) override;
    std::optional<Services::Record> reread() override;
    Services::Record emptyRow() const override;
    QString deleteQuestion() const override;
    Services::WriteResult erase() override;
    void formatFields() override;
    QString duplicateMessage() const override;
    Ui::LookupRequest lookupList(const QString &column) const override;

private:
    void describeBrand();

    DiscountSide m_side;
};

} // namespace Orlavo::Masterdata
