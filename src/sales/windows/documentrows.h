#pragma once

#include "sales/rules/salesrows.h"
#include "sales/rules/summary.h"
#include "services/core/record.h"

#include <QList>
#include <QTableWidget>

#include <functional>
#include <optional>

namespace Orlavo::Ui {
struct AppContext;
} // namespace Orlavo::Ui

namespace Orlavo::Sales {

struct SalesDocument;

// What the rows need from their document: whose rows they are and the
// defaults the header gives them.
struct RowContext {
    QString warehouse;       // the company's
    int customer = 0;
    QString type;            // MOVIMENTO
    QString vatCode, account; // the customer's row defaults
    std::optional<double> agentRate; // the agent's rate, when there is an agent
    int amountDecimals = 2;
    int priceDecimals = 2;   // DECIMALI_PREZZO1
    QString priceSetting = QStringLiteral("L"); // PREZZOBOLLA
    bool computedDiscounts = true;              // SCONTICALCOLATI
    bool checkStock = false;                    // CTRL_ESIST_NEG
};

// The rows grid of a sales document: an item by code or barcode fills its
// description, unit, VAT code, revenue account, commission rate and the
// price its settings propose; every typed figure is judged as it is left
// (its message, the cell red, the text kept); the amount and commission
// follow. An empty row always waits at the bottom.
class DocumentRows : public QTableWidget
{
    Q_OBJECT
public:
    enum Column {
        Brand,
        Item,
        Description,
        Unit,
        Quantity,
        Price,
        Discount,
        Amount,
        Vat,
        Account,
        CostCentre,
        CommissionRate,
        Commission,
        Free1,
        Free2,
        ColumnCount
    };

    DocumentRows(Ui::AppContext &context, std::function<RowContext()> rowContext, QWidget *parent = nullptr);

    // The captions of the two free fields (LIBERO1, LIBERO2 of ARTICOLI).
    void setFreeCaptions(const QString &first, const QString &second);

    // Types in a cell and leaves it, as the operator would.
    void setCell(int row, int column, const QString &text);
    QString cell(int row, int column) const;
    bool cellMarked(int row, int column) const;
    void markCell(int row, int column, bool failing);
    // The grid's column of a row column ("ARTICOLO", "COD_IVA", ...).
    static int columnOf(const QString &rowColumn);

    // The rows with something typed, as the document stores them.
    QList<Services::Row> rows(const SalesDocument &document) const;
    // The rows as the summary reads them, in the same order.
    QList<SummaryRow> summaryRows() const;
    double commissionTotal() const;
    // Figures typed wrong, as the document's checks name them
    // ("RIGA<n>.QTA": n counts the rows with something typed).
    QList<Services::FieldProblem> typedProblems() const;
    // The grid row of the document's row `index` (rows with something
    // typed, in order), and back.
    int gridRow(int index) const;
    int documentRow(int gridRow) const;
    void showRows(const QList<Services::Row> &rows);
    void clearRows();
    // A new empty row above the selected one.
    void insertRowAtSelection();
    // The selected rows, after "Confermi cancellazione delle righe selezionate ?".
    bool removeSelectedRows();
    // The customer, agent or type changed: the commission rates not typed
    // are taken again.
    void refreshCommissions();
    // The item the special totals bill (brand and code): its row is the
    // program's, written again by showSpecialRow after every computation.
    void setSpecialItem(const QString &brand, const QString &code) { m_special = {brand, code}; }
    // The billed row where the summary puts it (`at` among the rows with
    // something typed), or none.
    void showSpecialRow(const std::optional<SummaryRow> &row, qsizetype at, const QString &description,
                        const QString &unit, const QString &account);

signals:
    // A figure moved: the document's totals need computing again.
    void changed();

private:
    struct Extra {
        QString warehouse, type;
        double weight = 0;
        bool special = false;
        bool rateTyped = false;
        double itemRate = 0, brandRate = 0;
        double onHand = 0;
        bool hasItem = false;
        bool brandTyped = false;   // the brand typed since the last item found
        bool specialTotal = false; // the row the special totals bill
    };
    void edited(int row, int column);
    void itemLeft(int row, bool byCode);
    void revalue(int row);
    void checkStock(int row);
    bool knownCode(const QString &table, const QString &code) const;
    void setText(int row, int column, const QString &text);
    void keepEmptyLast();
    bool rowEmpty(int row) const;
    double figure(int row, int column) const;
    void warn(const QString &text);

    Ui::AppContext &m_context;
    std::function<RowContext()> m_rowContext;
    QList<Extra> m_extras;
    bool m_filling = false;
    std::pair<QString, QString> m_special;
};

} // namespace Orlavo::Sales
