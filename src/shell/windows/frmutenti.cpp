#include "shell/windows/frmutenti.h"

#include "masterdata/rules/agentcode.h"
#include "shell/rules/password.h"
#include "ui/appcontext.h"

#include <QAbstractButton>
#include <QCoreApplication>
#include <QButtonGroup>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTableWidget>
#include <QVBoxLayout>

#include <cstdlib>

namespace Orlavo::Shell {

using Services::Prompter;

namespace {

constexpr char kFrmutentiTitle[] = "Gestione Utenti";
constexpr char kCodeTaken[] = "Codice Utente già presente in tabella.";
constexpr char kNothingChanged[] = "Aggiornamento non consentito.";
constexpr char kBadCode[] = "Codice errato.";
constexpr char kBadDescription[] = "Descrizione errata.";
constexpr char kNoType[] = "Assegnare abilitazioni.";
constexpr char kConfirmInsert[] = "Confermi inserimento ?";
constexpr char kConfirmUpdate[] = "Confermi aggiornamento ?";
constexpr char kDeleteRefused[] = "Eliminazione non consentita.";
constexpr char kConfirmDelete[] = "Confermi eliminazione ?";
constexpr char kFatal[] = "Errore grave!\nL'applicazione ha causato un errore grave\ne verrà terminata.";
constexpr std::array<const char *, 4> kTypeLabels = {"&0 - Solo consultazioni", "&1 - Aggiornamenti ",
                                                     "2 - Amministratore", "3 - Aggiornamenti non contabili"};
// Column widths of TAB_UTENTI.
constexpr int kCodeLength = 20;
constexpr int kDescriptionLength = 60;

} // namespace

FrmUtenti::FrmUtenti(Ui::AppContext &context, QWidget *parent)
    : Ui::RecordWindow(context, {QStringLiteral("Codice"), QStringLiteral("Descrizione"), QStringLiteral("Tipo")},
                       parent),
      m_code(new QLineEdit(this)), m_description(new QLineEdit(this)),
      m_password(new QLineEdit(this)), m_show(new QPushButton(QStringLiteral("Mostra"), this)),
      m_typeGroup(new QButtonGroup(this))
{
    setObjectName(QStringLiteral("FrmUtenti"));
    setWindowTitle(QString::fromUtf8(kFrmutentiTitle));
    setMessageTitle(QString::fromUtf8(kFrmutentiTitle));

    m_grid->horizontalHeader()->setSectionResizeMode(1, QHeaderView::Stretch);

    m_code->setObjectName(QStringLiteral("codice"));
    m_code->setMaxLength(kCodeLength);
    watchCodeField(m_code);
    m_description->setObjectName(QStringLiteral("descrizione"));
    m_description->setMaxLength(kDescriptionLength);
    m_password->setObjectName(QStringLiteral("password"));
    m_password->setEchoMode(QLineEdit::Password);
    m_show->setObjectName(QStringLiteral("mostra"));
    m_show->setCheckable(true);
    m_show->setAutoDefault(false);
    connect(m_show, &QPushButton::toggled, this,
            [this](bool shown) { m_password->setEchoMode(shown ? QLineEdit::Normal : QLineEdit::Password); });

    auto *types = new QGroupBox(QStringLiteral("Abilitazioni"), this);
    auto *typesLayout = new QVBoxLayout(types);
    for (int i = 0; i < int(m_types.size()); ++i) {
        m_types[i] = new QRadioButton(QString::fromUtf8(kTypeLabels[i]), types);
        m_types[i]->setObjectName(QStringLiteral("tipo%1").arg(i));
        m_typeGroup->addButton(m_types[i], i);
        typesLayout->addWidget(m_types[i]);
    }

    auto *passwordRow = new QHBoxLayout;
    passwordRow->addWidget(m_password, 1);
    passwordRow->addWidget(m_show);
    auto *fields = new QFormLayout;
    fields->addRow(QStringLiteral("Codice"), m_code);
    fields->addRow(QStringLiteral("Descrizione"), m_description);
    fields->addRow(QStringLiteral("Password"), passwordRow);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_grid, 1);
    layout->addLayout(fields);
    layout->addWidget(types);
    layout->addLayout(buttonRow());
    resize(560, 520);

    reloadGrid();
    clearFields();
}

void FrmUtenti::reloadGrid()
{
    auto users = listUsers(m_context.db);
    m_users = users ? *users : QList<UserRow>();
    const QSignalBlocker quiet(m_grid);
    m_grid->clearContents();
    m_grid->setRowCount(int(m_users.size()));
    for (int row = 0; row < m_users.size(); ++row) {
        const UserRow &user = m_users.at(row);
        m_grid->setItem(row, 0, new QTableWidgetItem(user.code));
        m_grid->setItem(row, 1, new QTableWidgetItem(user.description));
        m_grid->setItem(row, 2, new QTableWidgetItem(user.type));
    }
    m_grid->setCurrentCell(-1, -1);
    m_grid->clearSelection();
}

void FrmUtenti::clearFields()
{
    m_loaded.reset();
    m_code->clear();
    m_description->clear();
    m_password->clear();
    setChosenType(-1);
    applyAgentRule(QString());
}

void FrmUtenti::showRow(const UserRow &row)
{
    m_loaded = row;
    m_code->setText(row.code);
    m_description->setText(row.description);
    m_password->setText(unscramblePassword(row.scrambledPassword));
    bool known = false;
    const int type = row.type.trimmed().toInt(&known);
    setChosenType(known ? type : -1);
    applyAgentRule(row.code);
}

void FrmUtenti::loadRow(int row)
{
    if (row < 0 || row >= m_users.size())
        return;
    showRow(m_users.at(row));
}

void FrmUtenti::applyAgentRule(const QString &code)
{
    const bool agent = Masterdata::isAgentCode(code.trimmed());
    for (int i = 1; i < int(m_types.size()); ++i)
        m_types[i]->setEnabled(!agent);
    if (agent)
        setChosenType(0);
}

int FrmUtenti::chosenType() const
{
    return m_typeGroup->checkedId();
}

void FrmUtenti::setChosenType(int type)
{
    if (type >= 0 && type < int(m_types.size())) {
        m_types[type]->setChecked(true);
        return;
    }
    // An exclusive group keeps one button checked; none is chosen here.
    m_typeGroup->setExclusive(false);
    for (QRadioButton *button : m_types)
        button->setChecked(false);
    m_typeGroup->setExclusive(true);
}

bool FrmUtenti::checkCode()
{
    const QString code = m_code->text().trimmed();
    bool free = true;
    if (!code.isEmpty() && (!m_loaded || code.compare(m_loaded->code, Qt::CaseInsensitive) != 0)) {
        auto existing = findUser(m_context.db, code);
        if (existing && existing->has_value()) {
            refuse(QString::fromUtf8(kCodeTaken));
            free = false;
        }
    }
    applyAgentRule(code);
    return free;
}

void FrmUtenti::save()
{
    const QString code = m_code->text().trimmed();
    applyAgentRule(code);
    const QString description = m_description->text().trimmed();
    const QString password = m_password->text();
    const int type = chosenType();
    const QString title = QString::fromUtf8(kFrmutentiTitle);
    Prompter &prompter = m_context.prompter;

    if (m_loaded && code == m_loaded->code && description == m_loaded->description &&
        password == unscramblePassword(m_loaded->scrambledPassword) && QString::number(type) == m_loaded->type) {
        prompter.warn(QString::fromUtf8(kNothingChanged), title);
        return;
    }
    if (code.isEmpty()) {
        prompter.warn(QString::fromUtf8(kBadCode), title);
        return;
    }
    if (description.isEmpty()) {
        prompter.warn(QString::fromUtf8(kBadDescription), title);
        return;
    }
    if (type < 0) {
        prompter.warn(QString::fromUtf8(kNoType), title);
        return;
    }
    const std::optional<QString> scrambled = scramblePassword(password);
    if (!isStorablePassword(password) || !scrambled) {
        prompter.warn(QString::fromUtf8(kPasswordNotAllowed), title);
        return;
    }
    if (!confirm(QString::fromUtf8(m_loaded ? kConfirmUpdate : kConfirmInsert), false, Prompter::Button::Cancel))
        return;

    const UserRow row{code, *scrambled, description, QString::number(type)};
    const bool written = m_loaded ? updateUser(m_context.db, m_loaded->code, row) : insertUser(m_context.db, row);
    if (!written)
        return;
    reloadGrid();
    clearFields();
}

void FrmUtenti::remove()
{
    const QString code = m_code->text().trimmed();
    const QString title = QString::fromUtf8(kFrmutentiTitle);
    if (!m_loaded || code != m_loaded->code) {
        m_context.prompter.warn(QString::fromUtf8(kDeleteRefused), title);
        return;
    }
    if (code.isEmpty()) {
        m_context.prompter.warn(QString::fromUtf8(kBadCode), title);
        return;
    }
    if (!confirm(QString::fromUtf8(kConfirmDelete), false, Prompter::Button::Cancel))
        return;
    if (!deleteUser(m_context.db, m_loaded->code))
        return;
    reloadGrid();
    clearFields();
}

void FrmUtenti::cancel()
{
    if (!m_loaded) {
        clearFields();
        return;
    }
    auto again = findUser(m_context.db, m_loaded->code);
    if (again && again->has_value()) {
        showRow(**again);
        return;
    }
    // The row on screen has gone from under the window.
    m_context.prompter.error(QString::fromUtf8(kFatal), QString::fromUtf8(kFrmutentiTitle));
    if (m_exitHook)
        m_exitHook(EXIT_FAILURE);
    else
        QCoreApplication::exit(EXIT_FAILURE);
    reject();
}

} // namespace Orlavo::Shell
