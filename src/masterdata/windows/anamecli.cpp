#include "masterdata/windows/anamecli.h"

#include "masterdata/masterdata.h"
#include "masterdata/stores/customerstore.h"
#include "masterdata/stores/postalcodes.h"
#include "services/core/concurrency.h"
#include "ui/appcontext.h"
#include "ui/fieldlook.h"
#include "ui/formbinder.h"
#include "ui/inputfields.h"
#include "ui/lookuplist.h"

#include <QApplication>
#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

namespace Orlavo::Masterdata {

using Ui::InputField;
using Services::Prompter;

namespace {

constexpr char kAnamecliTitle[] = "Luoghi consegna merce";
constexpr char kNoNumber[] = "Occorre specificare un numero progressivo";
constexpr char kBadProvince[] = "Provincia errata";
constexpr char kConfirmSave[] = "Confermi registrazioni?";
constexpr char kDuplicate[] = "L'elemento che si stà aggiornando esiste già in archivio \n"
                              "Procedere ugualmente con gli aggiornamenti ?";
constexpr char kAnamecliConfirmDelete[] = "Confermi ELIMINAZIONE ?";

// The grid's columns: COD_LUOGO, DESC_LUOGO, INDIRIZZO, CITTA, CAP, PROV,
// KKMM, RADIALE, PREDEF.
const QStringList &headings()
{
    static const QStringList list = {
        QStringLiteral("Num."),     QStringLiteral("Descrizione"), QStringLiteral("Indirizzo"),
        QStringLiteral("Località"), QStringLiteral("C.A.P."),      QStringLiteral("Prov."),
        QStringLiteral("Km"),       QStringLiteral("Radiale"),     QStringLiteral("Predef."),
    };
    return list;
}

// The grid's cells: the columns after the customer, the flag as "Sì".
QStringList anamecliCellsOf(const DeliveryPlace &place)
{
    QStringList cells;
    for (const Services::ColumnDef &column : deliveryPlaceTable().columns) {
        if (column.name == QLatin1String("CLIENTE"))
            continue;
        if (column.kind == Services::ColumnKind::Flag)
            cells << (place.flag(column.name) ? QStringLiteral("Sì") : QString());
        else
            cells << Services::shownText(column, place.value(column.name));
    }
    return cells;
}

int numberOf(const QString &text)
{
    return text.trimmed().toInt();
}

int numberOf(const DeliveryPlace &place)
{
    return place.integer(QStringLiteral("COD_LUOGO"));
}

} // namespace

AnaMeCli::AnaMeCli(Ui::AppContext &context, int customer, QWidget *parent)
    : Ui::RecordWindow(context, headings(), parent), m_customer(customer),
      m_family{{{&deliveryPlaceTable(), {}, {}, {}}}}, m_binder(new Ui::FormBinder(this))
{
    setObjectName(QStringLiteral("AnaMeCli"));
    QString title = QString::fromLatin1(kAnamecliTitle) + QStringLiteral(" - Cliente ") + QString::number(customer);
    if (const auto stored = loadCustomer(context.db, customer))
        title += QStringLiteral(" ") + stored->main().text(QStringLiteral("RAG_SOC1"));
    setWindowTitle(title);

    QHeaderView *header = m_grid->horizontalHeader();
    header->setSectionResizeMode(QHeaderView::ResizeToContents);
    header->setSectionResizeMode(1, QHeaderView::Stretch);
    header->setSectionResizeMode(2, QHeaderView::Stretch);
    m_grid->setAccessibleName(QString::fromLatin1(kAnamecliTitle));
    fitGridToRows(m_context.state.rowsTab);

    auto *list = new QGroupBox(QString::fromLatin1(kAnamecliTitle), this);
    auto *listLayout = new QVBoxLayout(list);
    listLayout->addWidget(m_grid);

    m_new = new QPushButton(QStringLiteral("&Nuovo"), this);
    m_new->setObjectName(QStringLiteral("nuovo"));
    m_new->setAutoDefault(false);
    setQuietButton(m_new);
    connect(m_new, &QPushButton::clicked, this, [this] {
        const QSignalBlocker block(m_grid);
        m_grid->clearSelection();
        m_grid->setCurrentCell(-1, -1);
        newPlace();
    });
    QHBoxLayout *buttons = buttonRow();
    buttons->insertWidget(1, m_new);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(list);
    buildFields();
    layout->addLayout(buttons);

    Ui::applyFieldColours(this, Ui::readFieldColours(m_context.settings, palette()));
    resize(820, sizeHint().height());
    reload();
}

Ui::InputField *AnaMeCli::addField(const QString &column, Ui::InputField *field)
{
    field->setObjectName(QStringLiteral("T_") + column);
    field->setUpperCaseSwitch(&m_context.state.upperCaseKeys);
    m_fields.insert(column, field);
    m_binder->bind(column, field, 0, column);
    return field;
}

void AnaMeCli::buildFields()
{
    const auto narrow = [this](Ui::InputField *field, int characters) {
        field->setMaximumWidth(fontMetrics().horizontalAdvance(QLatin1Char('W')) * (characters + 1) + 12);
        return field;
    };
    auto *code = new Ui::NumberField(0, true, this);
    code->setMaxLength(6);
    auto *postal = new Ui::CodeField(5, this);
    auto *province = new Ui::CodeField(2, this);

    auto *grid = new QGridLayout;
    const auto row = [&](int line, int column, const QString &caption, QWidget *field, int span = 1) {
        auto *label = new QLabel(caption, this);
        label->setBuddy(field);
        grid->addWidget(label, line, column);
        grid->addWidget(field, line, column + 1, 1, span);
    };
    row(0, 0, QStringLiteral("Nu&mero"), narrow(addField(QStringLiteral("COD_LUOGO"), code), 6));
    m_default = new QCheckBox(QStringLiteral("Prede&finito"), this);
    m_default->setObjectName(QStringLiteral("T_PREDEF"));
    m_binder->bind(QStringLiteral("PREDEF"), m_default, 0, QStringLiteral("PREDEF"));
    grid->addWidget(m_default, 0, 2, 1, 2);
    row(1, 0, QStringLiteral("&Descrizione"), addField(QStringLiteral("DESC_LUOGO"), new Ui::TextField(60, this)),
        5);
    row(2, 0, QStringLiteral("&Indirizzo"), addField(QStringLiteral("INDIRIZZO"), new Ui::TextField(60, this)),
        5);
    row(3, 0, QStringLiteral("&Località"), addField(QStringLiteral("CITTA"), new Ui::TextField(40, this)));
    row(3, 2, QStringLiteral("&C.A.P."), narrow(addField(QStringLiteral("CAP"), postal), 5));
    row(3, 4, QStringLiteral("Pro&v."), narrow(addField(QStringLiteral("PROV"), province), 2));
    row(4, 0, QStringLiteral("&Km"),
        narrow(addField(QStringLiteral("KKMM"), new Ui::NumberField(kDistanceDecimals, false, this)), 10));
    row(4, 2, QStringLiteral("Radia&le"),
        narrow(addField(QStringLiteral("RADIALE"), new Ui::CodeField(10, this)), 10));
    grid->setColumnStretch(1, 1);
    static_cast<QVBoxLayout *>(layout())->addLayout(grid);

    watchCodeField(code);
    watchField(m_fields.value(QStringLiteral("CITTA")));
    offerTownList(m_fields.value(QStringLiteral("CITTA")), m_context, [this](const Town &) { fillFromTown(); });
    watchField(province);
    connect(postal, &Ui::CodeField::lookupRequested, this, [this] { pickPostalCode(); });
}

DeliveryPlace AnaMeCli::typed() const
{
    Services::Record base(m_family);
    base.main() = m_loaded.value_or(newDeliveryPlace(m_customer));
    return m_binder->read(base).main();
}

void AnaMeCli::reload()
{
    auto places = listDeliveryPlaces(m_context.db, m_customer);
    m_places = places ? *places : QList<DeliveryPlace>();
    const QSignalBlocker block(m_grid);
    m_grid->setRowCount(int(m_places.size()));
    for (int r = 0; r < int(m_places.size()); ++r) {
        const QStringList cells = anamecliCellsOf(m_places[r]);
        for (int c = 0; c < int(cells.size()); ++c) {
            auto *item = new QTableWidgetItem(cells[c]);
            // Numbers to the right, the flag centred.
            if (c == 0 || c == 6)
                item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
            else if (c == 8)
                item->setTextAlignment(Qt::AlignCenter);
            m_grid->setItem(r, c, item);
        }
    }
    m_grid->setCurrentCell(-1, -1);
    newPlace();
}

void AnaMeCli::newPlace()
{
    display(std::nullopt);
    m_fields.value(QStringLiteral("COD_LUOGO"))->setText(QString::number(nextPlaceCode(m_context.db, m_customer)));
    m_fields.value(QStringLiteral("DESC_LUOGO"))->setFocus(Qt::OtherFocusReason);
}

void AnaMeCli::display(const std::optional<DeliveryPlace> &place)
{
    m_loaded = place;
    Services::Record shown(m_family);
    shown.main() = place.value_or(newDeliveryPlace(m_customer));
    m_binder->load(shown);
    // A stored place keeps its number: a new number is a new place.
    m_fields.value(QStringLiteral("COD_LUOGO"))->setReadOnly(place.has_value());
    m_remove->setEnabled(place.has_value());
}

void AnaMeCli::loadRow(int row)
{
    if (row < 0 || row >= m_places.size())
        return;
    display(m_places[row]);
}

bool AnaMeCli::checkProvince(bool report)
{
    Ui::InputField *field = m_fields.value(QStringLiteral("PROV"));
    const QString province = field->text().trimmed();
    const bool known = province.isEmpty() || provinceExists(m_context.db, province);
    Ui::markFieldError(field, !known);
    if (!known && report)
        refuse(QString::fromLatin1(kBadProvince));
    return known;
}

bool AnaMeCli::checkCode()
{
    // Nuovo replaces the number anyway.
    if (QApplication::focusWidget() == m_new)
        return true;
    Ui::InputField *field = m_fields.value(QStringLiteral("COD_LUOGO"));
    const bool given = numberOf(field->text()) > 0;
    Ui::markFieldError(field, !given);
    if (!given)
        refuse(QString::fromLatin1(kNoNumber));
    return given;
}

bool AnaMeCli::checkAll()
{
    Ui::clearFieldErrors(this);
    QString message;
    QWidget *failing = nullptr;
    Ui::InputField *code = m_fields.value(QStringLiteral("COD_LUOGO"));
    if (numberOf(code->text()) <= 0) {
        Ui::markFieldError(code, true);
        message = QString::fromLatin1(kNoNumber);
        failing = code;
    }
    if (!checkProvince(false)) {
        message = QString::fromLatin1(kBadProvince);
        failing = m_fields.value(QStringLiteral("PROV"));
    }
    if (!failing)
        return true;
    refuse(message, failing);
    return false;
}

void AnaMeCli::save()
{
    if (!m_context.db.checkWriteRights())
        return;
    if (!checkAll() || !confirm(QString::fromLatin1(kConfirmSave), false))
        return;
    const DeliveryPlace place = typed();
    const QString duplicate = QString::fromUtf8(kDuplicate);
    PlaceSave how = m_loaded ? PlaceSave::Update : PlaceSave::Insert;
    if (how == PlaceSave::Insert && placeExists(m_context.db, m_customer, numberOf(place))) {
        if (!confirm(duplicate, true))
            return;
        how = PlaceSave::Replace;
    }
    Services::WriteEnd written = saveDeliveryPlace(m_context.db, place, how, m_loaded).end;
    // Stored by another workstation since the question: the same question.
    if (written == Services::WriteEnd::Duplicate) {
        if (!confirm(duplicate, true))
            return;
        written = saveDeliveryPlace(m_context.db, place, PlaceSave::Replace).end;
    }
    switch (written) {
    case Services::WriteEnd::Written:
    case Services::WriteEnd::NothingChanged: reload(); break;
    case Services::WriteEnd::Gone:
    case Services::WriteEnd::ChangedElsewhere:
        sayDeletedElsewhere();
        reload();
        break;
    case Services::WriteEnd::Duplicate:
    case Services::WriteEnd::LockHeld:
    case Services::WriteEnd::Failed: break; // reported; the input stays for another try
    }
}

void AnaMeCli::remove()
{
    if (!m_context.db.checkWriteRights() || !m_loaded)
        return;
    if (!confirm(QString::fromLatin1(kAnamecliConfirmDelete), false))
        return;
    const Services::WriteEnd deleted = deleteDeliveryPlace(m_context.db, m_customer, numberOf(*m_loaded)).end;
    if (deleted == Services::WriteEnd::Failed || deleted == Services::WriteEnd::LockHeld)
        return;
    if (deleted == Services::WriteEnd::Gone)
        sayDeletedElsewhere();
    reload();
}

void AnaMeCli::cancel()
{
    std::optional<DeliveryPlace> again;
    if (m_loaded) {
        if (auto current = findDeliveryPlace(m_context.db, m_customer, numberOf(*m_loaded)))
            again = *current;
    }
    reload();
    if (!again)
        return;
    const QSignalBlocker block(m_grid);
    const auto at = m_places.indexOf(*again);
    if (at >= 0)
        m_grid->setCurrentCell(int(at), 0);
    display(again);
}

void AnaMeCli::fillFromTown()
{
    const auto place = placeOfTown(m_context, m_fields.value(QStringLiteral("CITTA"))->text(), this);
    if (!place)
        return;
    if (!place->postalCode.isEmpty())
        m_fields.value(QStringLiteral("CAP"))->setText(place->postalCode);
    m_fields.value(QStringLiteral("PROV"))->setText(place->province);
    Ui::markFieldError(m_fields.value(QStringLiteral("PROV")), false);
}

void AnaMeCli::pickPostalCode()
{
    const auto chosen = Masterdata::pickPostalCode(m_context, this);
    if (!chosen)
        return;
    m_fields.value(QStringLiteral("CAP"))->setText(chosen->postalCode);
    m_fields.value(QStringLiteral("CITTA"))->setText(chosen->town);
    m_fields.value(QStringLiteral("PROV"))->setText(chosen->province);
    Ui::markFieldError(m_fields.value(QStringLiteral("PROV")), false);
    m_fields.value(QStringLiteral("CAP"))->setFocus(Qt::OtherFocusReason);
}

void AnaMeCli::fieldLeft(QLineEdit *field)
{
    if (field == m_fields.value(QStringLiteral("CITTA")))
        fillFromTown();
    else if (field == m_fields.value(QStringLiteral("PROV")))
        checkProvince(true);
}

} // namespace Orlavo::Masterdata
