#include "masterdata/windows/lisge.h"

#include "masterdata/rules/pricelistrules.h"
#include "masterdata/stores/listrowstore.h"
#include "masterdata/windows/codedlookups.h"
#include "services/core/tablenames.h"
#include "services/data/recordstore.h"
#include "ui/appcontext.h"
#include "ui/inputfields.h"
#include "ui/lookuplist.h"
#include "ui/waitmessage.h"

#include <QApplication>
#include <QCheckBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QProgressDialog>
#include <QPushButton>
#include <QVBoxLayout>

namespace Orlavo::Masterdata {

using Services::Prompter;
namespace Tables = Services::Tables;

namespace {

constexpr char kLisgePersonalOnly[] = "TIPOLISTINO = 'P'";

} // namespace

ListGenerationWindow::ListGenerationWindow(Ui::AppContext &context, Kind kind, QWidget *parent)
    : QDialog(parent), m_context(context), m_kind(kind)
{
    const bool sale = kind == Kind::Sale;
    setObjectName(sale ? QStringLiteral("LisVenGe") : QStringLiteral("LisAcqGe"));
    setWindowTitle(sale ? QStringLiteral("Generazione listino di vendita")
                        : QStringLiteral("Generazione listino di acquisto"));
    auto *layout = new QVBoxLayout(this);
    m_grid = new QGridLayout;
    layout->addLayout(m_grid);
    int row = 0;
    const QString party = sale ? QStringLiteral("CLIENTE") : QStringLiteral("FORNITORE");
    QLineEdit *partyField = addCoded(row++, sale ? QStringLiteral("Cliente") : QStringLiteral("Fornitore"), party, 5);
    if (sale)
        addCoded(row++, QStringLiteral("Fornitore"), QStringLiteral("FORNITORE"), 5);
    addCoded(row++, QStringLiteral("Marca"), QStringLiteral("MARCA"), 3);
    // Last in the tab order: the fields are typed one after the other.
    m_standard = new QCheckBox(sale ? QStringLiteral("Cli. Standard") : QStringLiteral("Forn. Standard"), this);
    m_standard->setObjectName(QStringLiteral("T_STANDARD"));
    m_grid->addWidget(m_standard, 0, 3);
    connect(m_standard, &QCheckBox::toggled, this, [this, partyField, sale](bool on) {
        if (on)
            partyField->clear();
        partyField->setEnabled(!on);
        // The standard sale list takes every supplier's purchase rows.
        if (sale) {
            if (on)
                field(QStringLiteral("FORNITORE"))->clear();
            field(QStringLiteral("FORNITORE"))->setEnabled(!on);
        }
        describe(sale ? QStringLiteral("CLIENTE") : QStringLiteral("FORNITORE"));
    });
    m_grid->setColumnStretch(2, 1);
    layout->addStretch();

    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    auto *run = new QPushButton(QStringLiteral("&Genera"), this);
    run->setObjectName(QStringLiteral("B_Genera"));
    auto *exit = new QPushButton(QStringLiteral("E&sci"), this);
    exit->setObjectName(QStringLiteral("B_Esci"));
    buttons->addWidget(run);
    buttons->addWidget(exit);
    layout->addLayout(buttons);
    connect(run, &QPushButton::clicked, this, [this] { generate(); });
    connect(exit, &QPushButton::clicked, this, &QDialog::reject);
    resize(620, 200);
}

QLineEdit *ListGenerationWindow::addCoded(int row, const QString &caption, const QString &name, int length)
{
    auto *code = new Ui::CodeField(length, this);
    code->setObjectName(QStringLiteral("T_") + name);
    code->setMaximumWidth(30 + 10 * length);
    auto *label = new QLabel(caption, this);
    label->setBuddy(code);
    auto *description = new QLabel(this);
    description->setObjectName(QStringLiteral("D_DESC_") + name);
    description->setMinimumWidth(220);
    m_grid->addWidget(label, row, 0);
    m_grid->addWidget(code, row, 1);
    m_grid->addWidget(description, row, 2);
    m_fields.insert(name, code);
    m_descriptions.insert(name, description);
    // A personal list's party is listed among the parties with one.
    const bool personalParty = (m_kind == Kind::Sale && name == QLatin1String("CLIENTE")) ||
                               (m_kind == Kind::Purchase && name == QLatin1String("FORNITORE"));
    if (const CodedLookup *lookup = partyLookup(name)) {
        CodedLookup copy = *lookup;
        if (personalParty)
            copy.condition = copy.condition.isEmpty() ? QString::fromLatin1(kLisgePersonalOnly)
                                                      : copy.condition + QStringLiteral(" AND ") + kLisgePersonalOnly;
        Ui::attachLookup(code, m_context, [copy] { return codedLookupList(copy); });
        connect(
            code, &Ui::CodeField::lookupRequested, this, [this, name] { describe(name); }, Qt::QueuedConnection);
    }
    connect(code, &QLineEdit::editingFinished, this, [this, name] { describe(name); });
    return code;
}

void ListGenerationWindow::describe(const QString &name)
{
    QLabel *label = m_descriptions.value(name);
    const CodedLookup *lookup = partyLookup(name);
    if (!label || !lookup)
        return;
    label->setText(codedDescription(m_context.db, *lookup, m_fields.value(name)->text().trimmed()));
}

std::optional<int> ListGenerationWindow::code(const QString &name) const
{
    bool ok = false;
    const int value = m_fields.value(name)->text().trimmed().toInt(&ok);
    return ok ? std::optional(value) : std::nullopt;
}

QString ListGenerationWindow::refusal() const
{
    Services::DataAccess &db = m_context.db;
    const bool sale = m_kind == Kind::Sale;
    if (!m_standard->isChecked()) {
        const auto party = code(sale ? QStringLiteral("CLIENTE") : QStringLiteral("FORNITORE"));
        const bool personal =
            party && Services::valueKnown(db, sale ? Tables::ANAG_CLI : Tables::ANAG_FOR,
                                          sale ? QStringLiteral("CLIENTE") : QStringLiteral("FORNITORE"), *party,
                                          QStringLiteral(" AND ") + QString::fromLatin1(kLisgePersonalOnly));
        if (!personal)
            return sale ? QStringLiteral("Cliente errato") : QStringLiteral("Fornitore errato");
        if (sale) {
            const auto supplier = code(QStringLiteral("FORNITORE"));
            if (!supplier || (*supplier != kStandardParty &&
                              !Services::valueKnown(db, Tables::ANAG_FOR, QStringLiteral("FORNITORE"), *supplier)))
                return QStringLiteral("Fornitore errato");
        }
    }
    const QString brand = m_fields.value(QStringLiteral("MARCA"))->text().trimmed();
    if (brand.isEmpty() || !Services::valueKnown(db, Tables::TAB_MARCHE, QStringLiteral("CODICE"), brand))
        return QStringLiteral("Marca errata");
    return {};
}

bool ListGenerationWindow::generate()
{
    if (!m_context.db.checkWriteRights())
        return false;
    const QString refused = refusal();
    if (!refused.isEmpty()) {
        m_context.prompter.error(refused, windowTitle());
        return false;
    }
    if (m_context.prompter.ask(QStringLiteral("Confermi generazione listino?"), windowTitle(), Prompter::Icon::Question,
                               Prompter::Buttons::YesNo, Prompter::Button::No) != Prompter::Button::Yes)
        return false;

    const bool sale = m_kind == Kind::Sale;
    GenerationRequest request;
    request.party = m_standard->isChecked()
                        ? kStandardParty
                        : code(sale ? QStringLiteral("CLIENTE") : QStringLiteral("FORNITORE")).value_or(0);
    request.supplier = sale ? code(QStringLiteral("FORNITORE")).value_or(0) : request.party;
    request.brand = m_fields.value(QStringLiteral("MARCA"))->text().trimmed().toUpper();
    request.warehouse = m_context.state.warehouse.trimmed();
    request.decimals = listDecimals(m_context.settings);

    QProgressDialog progress(QString(), QStringLiteral("Annulla"), 0, 100, this);
    Ui::setUpProgress(progress, windowTitle(), QStringLiteral("Avanzamento"));
    const auto tell = [&progress](const QString &label, qint64 done, qint64 total) {
        progress.setLabelText(label);
        progress.setValue(total > 0 ? int(done * 100 / total) : 0);
        QApplication::processEvents();
        return !progress.wasCanceled();
    };
    const GenerationResult result =
        sale ? generateSaleList(m_context.db, request, tell) : generatePurchaseList(m_context.db, request, tell);
    progress.close();
    switch (result.end) {
    case GenerationResult::End::Done:
        m_context.prompter.info(QStringLiteral("Generazione completata: %1 righe scritte.").arg(result.rows),
                                windowTitle());
        return true;
    case GenerationResult::End::Refused: m_context.prompter.error(result.message, windowTitle()); break;
    case GenerationResult::End::Cancelled:
        m_context.prompter.info(QStringLiteral("Generazione annullata: il listino è rimasto com'era."), windowTitle());
        break;
    case GenerationResult::End::LockHeld:
    case GenerationResult::End::Failed: break;
    }
    return false;
}

} // namespace Orlavo::Masterdata
