#include "masterdata/windows/partywindow.h"

#include "masterdata/masterdata.h"
#include "masterdata/rules/taxcodes.h"
#include "masterdata/stores/partystore.h"
#include "masterdata/windows/codedlookups.h"
#include "services/core/concurrency.h"
#include "services/core/tablenames.h"
#include "services/data/dataaccess.h"
#include "ui/appcontext.h"
#include "ui/fieldlook.h"
#include "ui/formbinder.h"
#include "ui/frmrpt.h"
#include "ui/inputfields.h"
#include "ui/lookuplist.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QTabWidget>

namespace Orlavo::Masterdata {

using Services::Prompter;
using Services::Record;
namespace Tables = Services::Tables;

namespace {

constexpr char kPartywindowConfirm[] = "Confermi registrazioni?";
constexpr char kListWarning[] = "Attenzione: disselezionando l'opzione del listino personalizzato \n"
                                "si provoca la cancellazione dei listini del %1.";
const QStringList kOffices = {QStringLiteral("LEG"), QStringLiteral("AMM")};

} // namespace

PartyWindow::PartyWindow(Ui::AppContext &context, Mode mode, const PartyDef &party, QWidget *parent)
    : FormWindow(context, *party.family, parent), m_mode(mode), m_party(party)
{
}

void PartyWindow::start(int code)
{
    if (m_mode == Mode::Modify) {
        const auto loaded = loadRecord(code);
        m_loaded = loaded.has_value();
        m_stored = loaded.value_or(Record(*m_party.family));
        m_delete->setEnabled(m_loaded);
        display(m_stored);
    } else {
        m_delete->setEnabled(false);
        showNew();
    }
}

std::optional<Record> PartyWindow::loadRecord(int code)
{
    auto record = Services::readRecord(m_context.db, *m_party.family, {code});
    if (!record)
        return std::nullopt;
    return *record;
}

int PartyWindow::code() const
{
    return m_stored.partCount() ? m_stored.main().integer(m_party.key) : 0;
}

void PartyWindow::showNew()
{
    m_stored = newRecord();
    display(m_stored);
}

void PartyWindow::buildHeader(QGridLayout *head)
{
    m_code = new QLabel(this);
    m_code->setObjectName(QStringLiteral("D_") + m_party.key);
    m_code->setMinimumWidth(60);
    m_code->setFrameShape(QFrame::StyledPanel);
    head->addWidget(new QLabel(QStringLiteral("Codice"), this), 0, 0);
    head->addWidget(m_code, 0, 1);
    head->addWidget(new QLabel(QStringLiteral("Codice secondario"), this), 0, 2);
    head->addWidget(addLine(QStringLiteral("CODICE2"), 7, QStringLiteral("C")), 0, 3);
    head->addWidget(new QLabel(QStringLiteral("Ragione sociale"), this), 1, 0);
    head->addWidget(addLine(QStringLiteral("RAG_SOC1"), 60), 1, 1, 1, 4);
    head->addWidget(addLine(QStringLiteral("RAG_SOC2"), 60), 2, 1, 1, 4);
    head->setColumnStretch(4, 1);
}

QWidget *PartyWindow::officeBox(const QString &title, const QString &suffix, QWidget *parent)
{
    auto *box = new QGroupBox(title, parent);
    auto *g = new QGridLayout(box);
    put(g, 0, 0, QStringLiteral("Indirizzo"), addLine(QStringLiteral("INDIRIZZO_") + suffix, 60), 5);
    put(g, 1, 0, QStringLiteral("Località"), addLine(QStringLiteral("CITTA_") + suffix, 40));
    put(g, 1, 2, QStringLiteral("C.A.P."), addLine(QStringLiteral("CAP_") + suffix, 5, QStringLiteral("C")));
    const QString province = QStringLiteral("PROVINCIA_") + suffix;
    put(g, 1, 4, QStringLiteral("Prov."), addLine(province, 2, QStringLiteral("C")));
    g->addWidget(addDescription(province), 2, 1, 1, 5);
    g->setColumnStretch(1, 1);
    return box;
}

void PartyWindow::mainPage(const QString &caption, QWidget *own)
{
    QWidget *tab = page(QStringLiteral("&Principale"));
    auto *grid = new QGridLayout(tab);
    grid->addWidget(officeBox(QStringLiteral("Sede Legale"), QStringLiteral("LEG"), tab), 0, 0, 1, 4);
    grid->addWidget(officeBox(QStringLiteral("Sede Amministrativa"), QStringLiteral("AMM"), tab), 1, 0, 1, 4);
    put(grid, 2, 0, QStringLiteral("Partita IVA"), addLine(QStringLiteral("PART_IVA"), 11, QStringLiteral("C")));
    put(grid, 2, 2, QStringLiteral("Codice fiscale"), addLine(QStringLiteral("COD_FISC"), 16, QStringLiteral("C")));
    put(grid, 3, 0, QStringLiteral("Telefono"), addLine(QStringLiteral("TELEFONO1"), 20));
    put(grid, 3, 2, QStringLiteral("Telefono 2"), addLine(QStringLiteral("TELEFONO2"), 20));
    put(grid, 4, 0, QStringLiteral("Fax"), addLine(QStringLiteral("FAX"), 20));
    put(grid, 4, 2, QStringLiteral("E-mail"), addLine(QStringLiteral("E_MAIL"), 60));
    put(grid, 5, 0, caption, own);
    put(grid, 5, 2, QStringLiteral("Nazione"), addCombo(QStringLiteral("NAZIONE")));
    put(grid, 6, 0, QStringLiteral("Ubicazione"), addCombo(QStringLiteral("UBICAZIONE")));
    put(grid, 6, 2, QStringLiteral("Posizione"), addCombo(QStringLiteral("PERS_SOC")));
    put(grid, 7, 0, QStringLiteral("Codice ISO"), addLine(QStringLiteral("CODICE_ISO"), 2, QStringLiteral("C")));
    put(grid, 7, 2, QStringLiteral("Partita IVA CEE"), addLine(QStringLiteral("PART_IVA_CEE"), 20));
    grid->setColumnStretch(1, 1);
    grid->setColumnStretch(3, 1);
    grid->setRowStretch(8, 1);
    fillFromTable(QStringLiteral("NAZIONE"), Tables::TAB_PAESI, QStringLiteral("PAESE"));
    fillFromTable(QStringLiteral("UBICAZIONE"), Tables::TAB_UBICAZIONE, QStringLiteral("CODICE"));
    fillFromList(QStringLiteral("PERS_SOC"), {{QStringLiteral("Persona fisica"), QStringLiteral("P")},
                                              {QStringLiteral("Società"), QStringLiteral("S")}});
}

QWidget *PartyWindow::addSexCombo()
{
    QWidget *combo = addCombo(QStringLiteral("SESSO"));
    fillFromList(QStringLiteral("SESSO"), {{QStringLiteral("Maschile"), QStringLiteral("M")},
                                           {QStringLiteral("Femminile"), QStringLiteral("F")}});
    return combo;
}

void PartyWindow::attachLookups()
{
    FormWindow::attachLookups();
    // F4 on a town offers the municipalities; on a postal code, the postal codes.
    for (const QString &suffix : kOffices) {
        const QString town = QStringLiteral("CITTA_") + suffix;
        offerTownList(static_cast<Ui::InputField *>(field(town)), m_context,
                      [this, town](const Town &) { leaveField(town); });
        auto *cap = static_cast<Ui::CodeField *>(field(QStringLiteral("CAP_") + suffix));
        connect(cap, &Ui::CodeField::lookupRequested, this, [this, suffix] {
            const auto chosen = pickPostalCode(m_context, this);
            if (!chosen)
                return;
            setValue(QStringLiteral("CAP_") + suffix, chosen->postalCode);
            setValue(QStringLiteral("CITTA_") + suffix, chosen->town);
            setValue(QStringLiteral("PROVINCIA_") + suffix, chosen->province);
            showDescription(QStringLiteral("PROVINCIA_") + suffix);
        });
    }
    if (auto *birthplace = qobject_cast<Ui::InputField *>(field(QStringLiteral("CITTA_NASC")))) {
        offerTownList(birthplace, m_context, [this](const Town &town) {
            setValue(QStringLiteral("PROV_NASC"), town.province);
            showDescription(QStringLiteral("PROV_NASC"));
        });
    }
}

QHBoxLayout *PartyWindow::buttons(const QList<QPushButton *> &extra)
{
    const auto button = [this](const QString &caption, const char *name) {
        auto *b = new QPushButton(caption, this);
        b->setObjectName(QString::fromLatin1(name));
        b->setAutoDefault(false);
        return b;
    };
    m_save = button(QStringLiteral("&Conferma"), "B_Conferma");
    m_cancel = button(QStringLiteral("&Annulla"), "B_Annulla");
    m_delete = button(QStringLiteral("&Elimina"), "B_Elimina");
    m_exit = button(QStringLiteral("E&sci"), "B_Esci");
    connect(m_save, &QPushButton::clicked, this, [this] { save(); });
    connect(m_cancel, &QPushButton::clicked, this, [this] { cancel(); });
    connect(m_delete, &QPushButton::clicked, this, [this] { remove(); });
    connect(m_exit, &QPushButton::clicked, this, [this] { close(); });
    setWaysOut({m_cancel, m_exit});
    auto *row = new QHBoxLayout;
    for (QPushButton *b : extra) {
        b->setAutoDefault(false);
        row->addWidget(b);
    }
    row->addStretch();
    for (QPushButton *b : {m_save, m_cancel, m_delete, m_exit})
        row->addWidget(b);
    return row;
}

Record PartyWindow::record() const
{
    return completed(m_form->read(m_stored));
}

bool PartyWindow::hasChanges() const
{
    return m_loaded && !(record() == completed(m_form->shown()));
}

void PartyWindow::display(const Record &record)
{
    showing(record);
    m_form->load(record);
    const int number = record.main().integer(m_party.key);
    m_code->setText(number ? QString::number(number) : QString());
    m_keptTaxCode.clear();
    showDescriptions();
    shown();
}

void PartyWindow::leaveField(const QString &name)
{
    if (name.startsWith(QLatin1String("CITTA_")) && kOffices.contains(name.mid(6))) {
        const QString suffix = name.mid(6);
        if (const auto place = placeOfTown(m_context, value(name), this)) {
            if (!place->postalCode.isEmpty())
                setValue(QStringLiteral("CAP_") + suffix, place->postalCode);
            setValue(QStringLiteral("PROVINCIA_") + suffix, place->province);
            Ui::markFieldError(field(QStringLiteral("PROVINCIA_") + suffix), false);
            showDescription(QStringLiteral("PROVINCIA_") + suffix);
        }
        return;
    }
    if (name == QLatin1String("COD_FISC")) {
        const QString code = value(name).trimmed();
        setValue(name, code);
        if (code.isEmpty())
            return;
        const bool accepted = taxCodeKept(code);
        Ui::markFieldError(field(name), !accepted);
        if (accepted)
            showPerson(code);
        return;
    }
    if (auto *number = qobject_cast<Ui::NumberField *>(field(name)))
        number->normalise();
    if (hasDescription(name))
        showDescription(name);
    left(name);
    // A value given and refused: the confirm check's message at once.
    Ui::markFieldError(field(name), false);
    // A part's column named like one of the main row's has no checks of its own.
    if (prefixed(name) || value(name).trimmed().isEmpty())
        return;
    const auto failing = problems(record(), m_form->columnOfField(name));
    if (!failing.isEmpty()) {
        Ui::markFieldError(field(name), true);
        m_context.prompter.error(failing.first().message, windowTitle());
    }
}

bool PartyWindow::taxCodeKept(const QString &code)
{
    if (code == m_keptTaxCode)
        return true;
    const auto doubt = doubtfulTaxCode(code);
    if (!doubt)
        return true;
    if (m_context.prompter.ask(
            QStringLiteral("Codice fiscale errato\n") + *doubt + QStringLiteral("\nMantenere ugualmente"),
            windowTitle(), Prompter::Icon::Question, Prompter::Buttons::YesNo) != Prompter::Button::Yes)
        return false;
    m_keptTaxCode = code;
    return true;
}

void PartyWindow::showPerson(const QString &code)
{
    if (code.size() != 16 || !field(QStringLiteral("SESSO")))
        return;
    const auto person = personFromTaxCode(code);
    if (!person)
        return;
    setValue(QStringLiteral("SESSO"), QString(person->sex));
    setValue(QStringLiteral("DATA_NASC"), person->birth.toString(QStringLiteral("dd/MM/yyyy")));
    // The town of birth when its cadastral code is in the list; nothing is
    // said of one abroad or merged since.
    if (const auto town = townOfCadastralCode(m_context.db, person->birthplace)) {
        setValue(QStringLiteral("CITTA_NASC"), town->name);
        setValue(QStringLiteral("PROV_NASC"), town->province);
        showDescription(QStringLiteral("PROV_NASC"));
    }
}

bool PartyWindow::checkAll()
{
    const Record typed = record();
    // The tax code's question comes with its check, in its place.
    const QString taxCode = typed.value(QStringLiteral("COD_FISC")).toString();
    auto failing = problems(typed, {});
    const auto isTaxCode = [](const Services::FieldProblem &p) { return p.column == QLatin1String("COD_FISC"); };
    if (std::any_of(failing.begin(), failing.end(), isTaxCode) && taxCodeKept(taxCode))
        failing.removeIf(isTaxCode);
    // The last failing check speaks; its tab comes forward.
    const auto speaker = m_form->showProblems(failing);
    if (!speaker)
        return true;
    m_context.prompter.error(speaker->message, windowTitle());
    focusField(m_form->fieldOf(speaker->column));
    return false;
}

bool PartyWindow::confirmDuplicates(const Record &typed)
{
    for (const Services::FieldProblem &shared : sharedIdentifiers(m_context.db, m_party, typed, m_stored)) {
        if (m_context.prompter.ask(shared.message + QStringLiteral("\nContinuare ugualmente?"), windowTitle(),
                                   Prompter::Icon::Question, Prompter::Buttons::YesNo) != Prompter::Button::Yes) {
            focusField(shared.column);
            return false;
        }
    }
    return true;
}

bool PartyWindow::stillStored(bool forDelete)
{
    switch (Services::compareStored(m_context.db, *m_party.family, m_stored)) {
    case Services::StoredState::Same: return true;
    case Services::StoredState::Changed:
        return m_context.prompter.ask(Services::Concurrency::changedElsewhere(), windowTitle(), Prompter::Icon::Warning,
                                      Prompter::Buttons::OkCancel) == Prompter::Button::Ok;
    case Services::StoredState::Gone:
        m_context.prompter.error(Services::Concurrency::deletedElsewhere(),
                                 forDelete ? m_words.deleteWhere : m_words.saveWhere);
        return false;
    }
    return false;
}

bool PartyWindow::save()
{
    if (!m_loaded || !m_context.db.checkWriteRights())
        return false;
    if (!hasChanges())
        return false;
    if (!checkAll())
        return false;
    const Record typed = record();
    if (!confirmDuplicates(typed))
        return false;
    QString question = QString::fromLatin1(kPartywindowConfirm);
    if (m_mode == Mode::Modify && dropsPersonalList(typed, m_stored))
        question = QString::fromLatin1(kListWarning).arg(m_words.listOwner) + QLatin1Char('\n') + question;
    if (m_context.prompter.ask(question, windowTitle(), Prompter::Icon::Question, Prompter::Buttons::OkCancel) !=
        Prompter::Button::Ok)
        return false;

    Services::WriteResult written;
    if (m_mode == Mode::Insert) {
        written = m_party.insert(m_context.db, typed);
    } else {
        if (!stillStored(false))
            return false;
        written = m_party.update(m_context.db, typed, m_stored);
    }
    const int number = int(written.code);
    if (written.end == Services::WriteEnd::Duplicate) {
        Ui::markFieldError(field(QStringLiteral("CODICE2")), true);
        m_context.prompter.error(m_words.secondaryTaken, windowTitle());
        focusField(QStringLiteral("CODICE2"));
        return false;
    }
    if (!written.written())
        return false;
    if (m_mode == Mode::Insert) {
        m_context.prompter.info(QStringLiteral("Assegnato codice ") + QString::number(number), windowTitle());
        showNew();
        m_tabs->setCurrentIndex(0);
        focusField(QStringLiteral("CODICE2"));
    } else if (const auto reloaded = loadRecord(number)) {
        m_stored = *reloaded;
        display(m_stored);
    }
    if (m_onWritten)
        m_onWritten(number);
    return true;
}

void PartyWindow::cancel()
{
    if (!mayDropChanges())
        return;
    display(m_stored);
}

bool PartyWindow::remove()
{
    if (m_mode != Mode::Modify || !m_loaded || !m_context.db.checkWriteRights())
        return false;
    const int number = code();
    const auto uses = m_party.usesOf(m_context.db, number);
    if (!uses) {
        // Not known whether anything uses the party: nothing is deleted.
        m_context.prompter.error(QStringLiteral("Impossibile verificare le registrazioni:\n") + uses.failure().message,
                                 windowTitle());
        return false;
    }
    if (!uses->isEmpty()) {
        m_context.prompter.error(m_words.usesRefusal + QStringLiteral("\nsono ancora presenti registrazioni su : ") +
                                     uses->join(QStringLiteral(", ")),
                                 windowTitle());
        return false;
    }
    if (m_context.prompter.ask(m_words.deleteQuestion, windowTitle(), Prompter::Icon::Question,
                               Prompter::Buttons::OkCancel) != Prompter::Button::Ok)
        return false;
    if (!stillStored(true) || !m_party.erase(m_context.db, number).written())
        return false;
    if (m_onWritten)
        m_onWritten(number);
    m_stored = Record(*m_party.family);
    setClosing();
    close();
    return true;
}

bool PartyWindow::printCard(bool preview)
{
    if (m_mode != Mode::Modify || !m_loaded)
        return false;
    Reporting::PrintCommand command = cardPrint(code());
    command.output = preview ? Reporting::ReportOutput::Preview : Reporting::ReportOutput::Printer;
    return Ui::printReport(m_context, command, this);
}

} // namespace Orlavo::Masterdata
