#include "shell/windows/frmsocieta.h"

#include "masterdata/masterdata.h"
#include "masterdata/rules/taxcodes.h"
#include "services/core/tablenames.h"
#include "ui/appcontext.h"
#include "ui/fieldlook.h"
#include "ui/formbinder.h"
#include "ui/inputfields.h"
#include "ui/lookuplist.h"

#include <QApplication>
#include <QCloseEvent>
#include <QFocusEvent>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace Orlavo::Shell {

using Ui::InputField;
using Services::Prompter;

namespace {

constexpr char kInsertTitle[] = "CODIFICA SOCIETA'";
constexpr char kModifyTitle[] = "MODIFICA SOCIETA'";
constexpr char kError[] = "Errore!";
constexpr char kFrmsocietaConfirm[] = "Confermi registrazioni?";
constexpr char kDropInput[] = "Rinuncia ai dati ?";
constexpr char kDropInsert[] = "Rinuncia operazioni sui dati correnti ?";
constexpr char kDropRecord[] = "Rinuncia operazioni su record corrente?";

} // namespace

FrmSocieta::FrmSocieta(Ui::AppContext &context, CompanyMode mode, const QString &code, QWidget *parent)
    : QDialog(parent), m_context(context), m_mode(mode), m_references(context.db), m_saved(newCompany())
{
    m_form = new Ui::FormBinder(this);
    setObjectName(mode == CompanyMode::Insert ? QStringLiteral("frmInsSocieta") : QStringLiteral("frmModSocieta"));
    setWindowTitle(QString::fromUtf8(mode == CompanyMode::Insert ? kInsertTitle : kModifyTitle));
    buildFields();
    if (mode == CompanyMode::Modify) {
        const auto loaded = loadCompany(context.db, code);
        m_loaded = loaded.has_value();
        if (loaded)
            m_saved = *loaded;
        field(QStringLiteral("SOCIETA"))->setReadOnly(true);
        field(QStringLiteral("SOCIETA"))->setObjectName(QStringLiteral("D_SOCIETA"));
    }
    display(m_saved);
}

Ui::InputField *FrmSocieta::field(const QString &column) const
{
    return static_cast<Ui::InputField *>(m_form->widget(column));
}

Ui::InputField *FrmSocieta::addField(const QString &name)
{
    const Services::ColumnDef &column = *companyTable().column(name);
    Ui::InputField *field = nullptr;
    switch (column.kind) {
    case Services::ColumnKind::Date: field = new Ui::DateField(this); break;
    case Services::ColumnKind::Amount: field = new Ui::NumberField(0, true, this); break;
    default:
        if (column.kind == Services::ColumnKind::Code || name.startsWith(QLatin1String("CAP_")) ||
            name == QLatin1String("PARTIVA") || name == QLatin1String("COD_FIS"))
            field = new Ui::CodeField(column.length, this);
        else
            field = new Ui::TextField(column.length, this);
        field->setUpperCaseSwitch(&m_context.state.upperCaseKeys);
        break;
    }
    field->setObjectName(QStringLiteral("T_") + name);
    field->installEventFilter(this);
    m_form->bind(name, field, 0, name);
    return field;
}

void FrmSocieta::buildFields()
{
    const auto f = [this](const char *name) { return addField(QString::fromLatin1(name)); };
    auto *layout = new QVBoxLayout(this);

    auto *head = new QFormLayout;
    Ui::InputField *code = f("SOCIETA");
    code->setMaximumWidth(50);
    head->addRow(QStringLiteral("Codice"), code);
    head->addRow(QStringLiteral("Ragione sociale"), f("RAG_SOC1"));
    head->addRow(QString(), f("RAG_SOC2"));
    layout->addLayout(head);

    auto office = [&](const QString &title, const char *suffix) {
        auto *box = new QGroupBox(title, this);
        auto *grid = new QGridLayout(box);
        const QString s = QString::fromLatin1(suffix);
        grid->addWidget(new QLabel(QStringLiteral("Indirizzo"), box), 0, 0);
        grid->addWidget(addField(QStringLiteral("INDI_") + s), 0, 1, 1, 5);
        grid->addWidget(new QLabel(QStringLiteral("Località"), box), 1, 0);
        grid->addWidget(addField(QStringLiteral("CITTA_") + s), 1, 1);
        grid->addWidget(new QLabel(QStringLiteral("C.A.P."), box), 1, 2);
        Ui::InputField *cap = addField(QStringLiteral("CAP_") + s);
        cap->setMaximumWidth(70);
        grid->addWidget(cap, 1, 3);
        grid->addWidget(new QLabel(QStringLiteral("Prov."), box), 1, 4);
        Ui::InputField *province = addField(QStringLiteral("PROV_") + s);
        province->setMaximumWidth(40);
        grid->addWidget(province, 1, 5);
        grid->setColumnStretch(1, 1);
        Masterdata::offerTownList(field(QStringLiteral("CITTA_") + s), m_context, [this, s](const Masterdata::Town &) {
            leftField(QStringLiteral("CITTA_") + s);
        });
        connect(static_cast<Ui::CodeField *>(cap), &Ui::CodeField::lookupRequested, this, [this, s] {
            pickPostalCode(QStringLiteral("CAP_") + s, QStringLiteral("CITTA_") + s, QStringLiteral("PROV_") + s);
        });
        return box;
    };
    layout->addWidget(office(QStringLiteral("Sede Legale"), "LEG"));
    layout->addWidget(office(QStringLiteral("Sede Amministrativa"), "AMM"));

    auto *data = new QGridLayout;
    const auto pair = [&](int row, int col, const QString &caption, const char *name) {
        auto *label = new QLabel(caption, this);
        Ui::InputField *field = f(name);
        label->setBuddy(field);
        data->addWidget(label, row, col);
        data->addWidget(field, row, col + 1);
    };
    pair(0, 0, QStringLiteral("Partita iva"), "PARTIVA");
    pair(0, 2, QStringLiteral("Codice Fiscale"), "COD_FIS");
    pair(1, 0, QStringLiteral("Telefono"), "TELEFONO1");
    pair(1, 2, QStringLiteral("Telefono"), "TELEFONO2");
    pair(2, 0, QStringLiteral("Fax"), "FAX");
    pair(2, 2, QStringLiteral("Data inizio attività"), "DATA_INI");
    pair(3, 0, QStringLiteral("Num. Iscrizione &CCIAA"), "NUM_CCIAA");
    pair(3, 2, QStringLiteral("Data Iscriz. CC&IAA"), "DATA_CCIAA");
    pair(4, 0, QStringLiteral("Num. Iscriz. &Tribunale"), "NUM_TRIB");
    pair(4, 2, QStringLiteral("Data Iscriz. Tri&bunale"), "DATA_TRIB");
    pair(5, 0, QStringLiteral("C&ancelleria Tribunale"), "CANC_TRIB");
    pair(5, 2, QStringLiteral("Capitale Sociale"), "CAP_SOC");
    pair(6, 0, QStringLiteral("Codice Attivita"), "COD_ATTIV");
    m_activity = new QLabel(this);
    m_activity->setObjectName(QStringLiteral("D_DESC_ATTIV"));
    data->addWidget(m_activity, 6, 2, 1, 2);
    data->setColumnStretch(1, 1);
    data->setColumnStretch(3, 1);
    layout->addLayout(data);
    connect(static_cast<Ui::CodeField *>(field(QStringLiteral("COD_ATTIV"))),
            &Ui::CodeField::lookupRequested, this, [this] { pickActivity(); });

    m_save = new QPushButton(QStringLiteral("&Registra"), this);
    m_save->setObjectName(QStringLiteral("B_Registra"));
    m_cancel = new QPushButton(QStringLiteral("&Annulla"), this);
    m_cancel->setObjectName(QStringLiteral("B_Annulla"));
    m_exit = new QPushButton(QStringLiteral("&Esci"), this);
    m_exit->setObjectName(QStringLiteral("B_Esci"));
    for (QPushButton *button : {m_save, m_cancel, m_exit})
        button->setAutoDefault(false);
    connect(m_save, &QPushButton::clicked, this, [this] { save(); });
    connect(m_cancel, &QPushButton::clicked, this, [this] { cancel(); });
    connect(m_exit, &QPushButton::clicked, this, [this] { leave(); });
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(m_save);
    buttons->addWidget(m_cancel);
    buttons->addWidget(m_exit);
    layout->addLayout(buttons);
}

CompanyRecord FrmSocieta::record() const
{
    return m_form->read(m_saved);
}

bool FrmSocieta::hasChanges() const
{
    return m_form->hasChanges();
}

void FrmSocieta::display(const CompanyRecord &record)
{
    m_form->load(record);
    m_keptTaxCode.clear();
    showActivity();
}

void FrmSocieta::showActivity()
{
    const QString code = field(QStringLiteral("COD_ATTIV"))->text().trimmed();
    QString description;
    if (!code.isEmpty() && m_context.db.companyOpen()) {
        auto rows = m_context.db.openRecordset(
            QStringLiteral("SELECT DESCRIZIONE FROM %1 WHERE %2")
                .arg(Services::Tables::TAB_ATTIVITA, Services::sqlUpperEquals(QStringLiteral("CODICE"))),
            {code});
        if (rows && !rows->isEmpty())
            description = rows->first().text(QStringLiteral("DESCRIZIONE"));
    }
    m_activity->setText(description);
}

bool FrmSocieta::eventFilter(QObject *watched, QEvent *event)
{
    // Leaving a field for another one runs its check; a message box taking
    // the focus, or the way out, does not.
    const QString name = m_form->nameOf(watched);
    if (!m_closing && !name.isEmpty() && Ui::leavesField(event, {m_cancel, m_exit}) &&
        static_cast<Ui::InputField *>(watched)->isModified())
        leftField(name);
    return QDialog::eventFilter(watched, event);
}

void FrmSocieta::leftField(const QString &name)
{
    Ui::InputField *left = field(name);
    left->setModified(false);
    if (name.startsWith(QLatin1String("CITTA_"))) {
        const QString suffix = name.mid(6);
        fillFromTown(left->text(), QStringLiteral("CAP_") + suffix, QStringLiteral("PROV_") + suffix);
        return;
    }
    if (name == QLatin1String("COD_ATTIV"))
        showActivity();
    const auto problems = checkCompany(m_context.db, record(), m_mode, m_references, name);
    m_form->markField(name, !problems.isEmpty());
    if (!problems.isEmpty())
        m_context.prompter.error(problems.first().message, QString::fromLatin1(kError));
}

void FrmSocieta::fillFromTown(const QString &town, const QString &postalColumn, const QString &provinceColumn)
{
    const auto place = Masterdata::placeOfTown(m_context, town, this);
    if (!place)
        return;
    // A town known only from the list of municipalities has no postal code.
    if (!place->postalCode.isEmpty())
        field(postalColumn)->setText(place->postalCode);
    field(provinceColumn)->setText(place->province);
    m_form->markField(provinceColumn, false);
}

void FrmSocieta::pickPostalCode(const QString &postal, const QString &town, const QString &province)
{
    const auto chosen = Masterdata::pickPostalCode(m_context, this);
    if (!chosen)
        return;
    field(postal)->setText(chosen->postalCode);
    field(town)->setText(chosen->town);
    field(province)->setText(chosen->province);
    m_form->markField(province, false);
    field(postal)->setFocus(Qt::OtherFocusReason);
}

void FrmSocieta::pickActivity()
{
    if (!m_context.db.companyOpen())
        return;
    Ui::LookupRequest request;
    request.table = Services::Tables::TAB_ATTIVITA;
    request.title = QStringLiteral("Lista CODICI ATTIVITA'");
    request.columns = {{QStringLiteral("CODICE"), QStringLiteral("04C"), QStringLiteral("COD.")},
                       {QStringLiteral("DESCRIZIONE"), QStringLiteral("40C"), QString()}};
    const auto chosen = Ui::showLookupList(m_context, request, this);
    if (!chosen || chosen->isEmpty())
        return;
    const QString activity = QStringLiteral("COD_ATTIV");
    field(activity)->setText(chosen->first());
    m_form->markField(activity, false);
    showActivity();
    m_form->focusField(activity);
}

bool FrmSocieta::checkAll()
{
    // The topmost error is shown and its field takes the focus.
    const auto speaker =
        m_form->showProblems(checkCompany(m_context.db, record(), m_mode, m_references), /*firstSpeaks=*/true);
    if (!speaker)
        return true;
    m_context.prompter.error(speaker->message, QString::fromLatin1(kError));
    return false;
}

bool FrmSocieta::taxCodeAccepted()
{
    const QString column = QStringLiteral("COD_FIS");
    const QString code = field(column)->text().trimmed();
    if (code == m_keptTaxCode)
        return true;
    const auto doubt = Masterdata::doubtfulTaxCode(code);
    if (!doubt)
        return true;
    if (m_context.prompter.ask(
            QStringLiteral("Codice fiscale errato\n") + *doubt + QStringLiteral("\nMantenere ugualmente"),
            QString::fromLatin1(kError), Prompter::Icon::Question, Prompter::Buttons::YesNo) == Prompter::Button::Yes) {
        m_keptTaxCode = code;
        return true;
    }
    m_form->markField(column, true);
    m_form->focusField(column);
    return false;
}

bool FrmSocieta::save()
{
    if (!m_loaded || !m_context.db.checkWriteRights())
        return false;
    if (!checkAll() || !taxCodeAccepted())
        return false;
    if (m_context.prompter.ask(QString::fromLatin1(kFrmsocietaConfirm), windowTitle(), Prompter::Icon::Question,
                               Prompter::Buttons::OkCancel) != Prompter::Button::Ok)
        return false;
    const CompanyRecord typed = record();
    const bool written =
        m_mode == CompanyMode::Insert ? registerCompany(m_context.db, typed) : updateCompany(m_context.db, typed, m_saved);
    if (!written)
        return false;
    const QString code = typed.main().text(QStringLiteral("SOCIETA"));
    if (m_mode == CompanyMode::Insert) {
        m_saved = newCompany();
        display(m_saved);
        m_form->focusField(QStringLiteral("SOCIETA"));
    } else {
        m_saved = typed;
        display(m_saved);
    }
    if (m_onRegistered)
        m_onRegistered(code);
    return true;
}

void FrmSocieta::cancel()
{
    if (!m_form->mayDropChanges(m_context.prompter,
                                QString::fromLatin1(m_mode == CompanyMode::Insert ? kDropInput : kDropRecord),
                                windowTitle()))
        return;
    display(m_saved);
}

void FrmSocieta::leave()
{
    close();
}

void FrmSocieta::closeEvent(QCloseEvent *event)
{
    if (!m_form->mayDropChanges(m_context.prompter,
                                QString::fromLatin1(m_mode == CompanyMode::Insert ? kDropInsert : kDropRecord),
                                windowTitle())) {
        event->ignore();
        return;
    }
    m_closing = true;
    QDialog::closeEvent(event);
}

} // namespace Orlavo::Shell
