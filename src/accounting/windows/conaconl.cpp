#include "accounting/windows/conaconl.h"

#include "accounting/stores/entrylist.h"
#include "accounting/windows/conacon.h"
#include "accounting/windows/journalfilterpanel.h"
#include "services/core/values.h"
#include "ui/appcontext.h"
#include "ui/waitcursor.h"
#include "ui/windowregistry.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

namespace Orlavo::Accounting {

namespace {

constexpr int kLimit = 5000;
constexpr int kYearColumn = 1;
constexpr int kNumberColumn = 2;
constexpr char kLimited[] = "Elenco limitato alle prime %1 righe: restringere i filtri";
constexpr char kNone[] = "Nessuna registrazione trovata";

QString dateText(const QDate &date)
{
    return date.isValid() ? date.toString(QStringLiteral("dd/MM/yyyy")) : QString();
}

QString partyText(int code)
{
    return code ? QString::number(code) : QString();
}

QString reference(int number, const QDate &date)
{
    return number || date.isValid() ? QStringLiteral("%1 - %2").arg(number).arg(dateText(date)) : QString();
}

} // namespace

ConAConL::ConAConL(Ui::AppContext &context, EntryMode mode, QWidget *parent)
    : QDialog(parent), m_context(context), m_mode(mode),
      m_filters(new JournalFilterPanel(context, {{causalTypeOf(mode)}, false, false}, this)),
      m_grid(new QTableWidget(0, 21, this)), m_note(new QLabel(this))
{
    const bool receipts = mode == EntryMode::CashReceipt;
    setObjectName(QStringLiteral("ConAConL"));
    setWindowTitle(receipts ? QStringLiteral("Lista Corrispettivi")
                            : QStringLiteral("Lista registrazioni Conto a Conto"));
    m_grid->setObjectName(QStringLiteral("griglia"));
    m_grid->setHorizontalHeaderLabels({QStringLiteral("STAT"),
                                       QStringLiteral("ANNO"),
                                       QStringLiteral("N.MOV."),
                                       QStringLiteral("SEQ"),
                                       QStringLiteral("DATA REG."),
                                       QStringLiteral("DESCRIZIONE"),
                                       QStringLiteral("T.CAU."),
                                       QStringLiteral("DESC. CAUS."),
                                       QStringLiteral("CAUS."),
                                       QStringLiteral("CONTO"),
                                       QStringLiteral("DESC. CONTO"),
                                       QStringLiteral("DARE"),
                                       QStringLiteral("AVERE"),
                                       QStringLiteral("CLI"),
                                       QStringLiteral("RAG. SOC. CLI"),
                                       QStringLiteral("FOR"),
                                       QStringLiteral("RAG. SOC. FOR"),
                                       QStringLiteral("ANNO -  NRO_INT"),
                                       QStringLiteral("NUM. E DATA REG."),
                                       QStringLiteral("DATA MOV."),
                                       receipts ? QStringLiteral("COD. IVA") : QStringLiteral("ASSEGNO")});
    m_grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_grid->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_grid->setSelectionMode(QAbstractItemView::SingleSelection);
    m_grid->verticalHeader()->hide();
    m_grid->verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 8);
    m_grid->horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
    m_grid->setToolTip(QStringLiteral("Doppio clic o Invio sulla riga per modificare la registrazione"));
    connect(m_grid, &QTableWidget::cellDoubleClicked, this, [this](int row, int) { openRow(row); });
    m_note->setObjectName(QStringLiteral("nota"));

    const auto button = [this](const QString &caption, const char *name) {
        auto *b = new QPushButton(caption, this);
        b->setObjectName(QString::fromLatin1(name));
        b->setAutoDefault(false);
        return b;
    };
    QPushButton *find = button(QStringLiteral("&Cerca"), "cerca");
    QPushButton *modify = button(QStringLiteral("&Modifica"), "modifica");
    QPushButton *exit = button(QStringLiteral("E&sci"), "esci");
    find->setDefault(true);
    connect(find, &QPushButton::clicked, this, [this] { search(); });
    connect(modify, &QPushButton::clicked, this, [this] { openRow(m_grid->currentRow()); });
    connect(exit, &QPushButton::clicked, this, &QDialog::reject);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_filters);
    layout->addWidget(m_grid, 1);
    auto *bottom = new QHBoxLayout;
    bottom->addWidget(m_note, 1);
    for (QPushButton *b : {find, modify, exit})
        bottom->addWidget(b);
    layout->addLayout(bottom);
    m_grid->installEventFilter(this);
    resize(1240, 600);
}

bool ConAConL::search()
{
    const auto selection = m_filters->selection();
    if (!selection)
        return false;
    const Ui::WaitCursor wait;
    const auto list = listJournal(m_context.db, *selection, {causalTypeOf(m_mode)}, kLimit);
    m_grid->setRowCount(0);
    if (!list)
        return false;
    m_grid->setRowCount(int(list->lines.size()));
    for (int row = 0; row < list->lines.size(); ++row) {
        const JournalListLine &l = list->lines.at(row);
        const QString amount = Services::formatAmount(l.amount, l.year.toInt() < 2002 ? 0 : 2);
        const bool debit = l.sign == QLatin1Char('D');
        const QStringList cells = {l.cancelled ? QStringLiteral("A")
                                   : l.printed ? QStringLiteral("S")
                                               : QString(),
                                   l.year,
                                   QString::number(l.number),
                                   QString::number(l.sequence),
                                   dateText(l.registrationDate),
                                   l.description,
                                   l.causalType,
                                   l.causalTypeDescription,
                                   l.causal,
                                   l.account,
                                   l.accountDescription,
                                   debit ? amount : QString(),
                                   debit ? QString() : amount,
                                   partyText(l.customer),
                                   l.customerName,
                                   partyText(l.supplier),
                                   l.supplierName,
                                   QStringLiteral("%1 - %2").arg(l.year).arg(l.number),
                                   reference(l.registrationNumber, l.registrationDate),
                                   dateText(l.movementDate),
                                   l.cheque};
        for (int column = 0; column < cells.size(); ++column) {
            auto *item = new QTableWidgetItem(cells.at(column));
            if (column == 11 || column == 12)
                item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
            m_grid->setItem(row, column, item);
        }
    }
    m_grid->resizeColumnsToContents();
    m_note->setText(list->limited           ? QString::fromUtf8(kLimited).arg(kLimit)
                    : list->lines.isEmpty() ? QString::fromUtf8(kNone)
                                            : QStringLiteral("Righe: %1").arg(list->lines.size()));
    if (!list->lines.isEmpty())
        m_grid->setCurrentCell(0, 0);
    return true;
}

bool ConAConL::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_grid && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent *>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            openRow(m_grid->currentRow());
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

std::pair<QString, int> ConAConL::entryOf(int row) const
{
    const QTableWidgetItem *year = m_grid->item(row, kYearColumn);
    const QTableWidgetItem *number = m_grid->item(row, kNumberColumn);
    return {year ? year->text() : QString(), number ? number->text().toInt() : 0};
}

ConACon *ConAConL::openRow(int row)
{
    if (row < 0 || row >= m_grid->rowCount())
        return nullptr;
    const auto [year, number] = entryOf(row);
    ConACon *window = ConACon::open(m_context, year, number);
    if (!window) {
        search();
        return nullptr;
    }
    window->setOnWritten([list = QPointer<ConAConL>(this)] {
        if (list)
            list->search();
    });
    if (m_presenter) {
        m_presenter(window);
    } else {
        window->setAttribute(Qt::WA_DeleteOnClose);
        window->show();
    }
    return window;
}

void openEntryList(Ui::WindowHost &host, Ui::AppContext &context, EntryMode mode)
{
    const QString name = mode == EntryMode::CashReceipt ? QStringLiteral("CONACONL_CO") : QStringLiteral("CONACONL_CC");
    host.openSingle(name, [&host, &context, mode] {
        auto *list = new ConAConL(context, mode);
        list->setPresenter([&host](ConACon *window) {
            const LoadedEntry &entry = window->loadedEntry();
            const QString name = QStringLiteral("CONACON_%1_%2").arg(entry.year).arg(entry.number);
            if (host.registerOpenWindow(name)) {
                delete window;
                return;
            }
            host.showTaskWindow(window, name);
        });
        return list;
    });
}

} // namespace Orlavo::Accounting
