#include "shell/windows/cfgprimo.h"

#include "services/core/settings.h"
#include "services/data/prompter.h"

#include <QApplication>
#include <QComboBox>
#include <QDate>
#include <QFileDialog>
#include <QFileInfo>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpressionValidator>
#include <QSpinBox>
#include <QVBoxLayout>

namespace Orlavo::Shell {

namespace {
constexpr char kCfgprimoTitle[] = "Configurazione guidata";
constexpr char kDone[] = "Configurazione completata.\n"
                         "Avviare Orlavo e accedere con l'utente %1.";

QLineEdit *lineEdit(QWidget *parent, const char *name)
{
    auto *edit = new QLineEdit(parent);
    edit->setObjectName(QString::fromLatin1(name));
    return edit;
}
} // namespace

CfgPrimo::CfgPrimo(const Services::Settings &settings, Services::Prompter &prompter, const QString &defaultFolder,
                   QWidget *parent)
    : QWizard(parent), m_settings(settings), m_prompter(prompter)
{
    setObjectName(QStringLiteral("CfgPrimo"));
    setWindowTitle(QString::fromLatin1(kCfgprimoTitle));
    setWizardStyle(QWizard::ClassicStyle);
    setPage(ArchivesPage, buildArchivesPage(defaultFolder));
    setPage(CompanyPage, buildCompanyPage());
    setPage(AdminPage, buildAdminPage());
    resize(620, 440);
}

QWizardPage *CfgPrimo::buildArchivesPage(const QString &defaultFolder)
{
    auto *page = new QWizardPage(this);
    page->setTitle(QStringLiteral("Archivi"));
    page->setSubTitle(QStringLiteral("Dove conservare i dati del programma."));

    m_local = new QRadioButton(QStringLiteral("Archivi su questo computer (una postazione)"), page);
    m_local->setObjectName(QStringLiteral("locale"));
    m_local->setChecked(true);
    m_folder = lineEdit(page, "cartella");
    m_folder->setText(defaultFolder);
    auto *browse = new QPushButton(QStringLiteral("Sfoglia..."), page);
    browse->setObjectName(QStringLiteral("sfoglia"));
    connect(browse, &QPushButton::clicked, this, [this] {
        const QString chosen =
            QFileDialog::getExistingDirectory(this, QStringLiteral("Cartella degli archivi"), m_folder->text());
        if (!chosen.isEmpty())
            m_folder->setText(chosen);
    });
    auto *folderRow = new QHBoxLayout;
    folderRow->addWidget(new QLabel(QStringLiteral("Cartella:"), page));
    folderRow->addWidget(m_folder, 1);
    folderRow->addWidget(browse);

    m_server = new QRadioButton(QStringLiteral("Server PostgreSQL (più postazioni in rete)"), page);
    m_server->setObjectName(QStringLiteral("server"));
    auto *serverBox = new QGroupBox(page);
    auto *serverForm = new QFormLayout(serverBox);
    m_host = lineEdit(serverBox, "host");
    m_port = new QSpinBox(serverBox);
    m_port->setObjectName(QStringLiteral("porta"));
    m_port->setRange(1, 65535);
    m_port->setValue(5432);
    m_database = lineEdit(serverBox, "database");
    m_database->setText(QStringLiteral("orlavo"));
    m_dbUser = lineEdit(serverBox, "utenteServer");
    m_dbPassword = lineEdit(serverBox, "passwordServer");
    m_dbPassword->setEchoMode(QLineEdit::Password);
    serverForm->addRow(QStringLiteral("Server:"), m_host);
    serverForm->addRow(QStringLiteral("Porta:"), m_port);
    serverForm->addRow(QStringLiteral("Database:"), m_database);
    serverForm->addRow(QStringLiteral("Utente del server:"), m_dbUser);
    serverForm->addRow(QStringLiteral("Password del server:"), m_dbPassword);
    serverBox->setEnabled(false);
    connect(m_server, &QRadioButton::toggled, serverBox, &QWidget::setEnabled);
    connect(m_local, &QRadioButton::toggled, m_folder, &QWidget::setEnabled);
    connect(m_local, &QRadioButton::toggled, browse, &QWidget::setEnabled);

    auto *layout = new QVBoxLayout(page);
    layout->addWidget(m_local);
    layout->addLayout(folderRow);
    layout->addSpacing(12);
    layout->addWidget(m_server);
    layout->addWidget(serverBox);
    layout->addStretch(1);
    return page;
}

QWizardPage *CfgPrimo::buildCompanyPage()
{
    auto *page = new QWizardPage(this);
    page->setTitle(QStringLiteral("Prima società"));
    page->setSubTitle(QStringLiteral("Le altre società si potranno aggiungere dal programma."));
    m_companyCode = lineEdit(page, "codiceSocieta");
    m_companyCode->setMaxLength(2);
    m_companyCode->setText(QStringLiteral("01"));
    m_companyCode->setValidator(
        new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[A-Za-z0-9]{0,2}")), m_companyCode));
    connect(m_companyCode, &QLineEdit::textEdited, this,
            [this](const QString &text) { m_companyCode->setText(text.toUpper()); });
    m_companyName = lineEdit(page, "ragioneSociale");
    m_companyName->setMaxLength(60);
    auto *form = new QFormLayout(page);
    form->addRow(QStringLiteral("Codice:"), m_companyCode);
    form->addRow(QStringLiteral("Ragione sociale:"), m_companyName);

    // Optional: with them the base data are complete from the start.
    auto *bankBox = new QGroupBox(QStringLiteral("Banca principale (facoltativa)"), page);
    m_bankName = lineEdit(bankBox, "banca");
    m_bankName->setMaxLength(40);
    m_bankAbi = lineEdit(bankBox, "abi");
    m_bankCab = lineEdit(bankBox, "cab");
    for (QLineEdit *code : {m_bankAbi, m_bankCab}) {
        code->setMaxLength(5);
        code->setValidator(new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]{0,5}")), code));
    }
    m_bankAccount = lineEdit(bankBox, "conto");
    m_bankAccount->setMaxLength(20);
    auto *bankForm = new QFormLayout(bankBox);
    bankForm->addRow(QStringLiteral("Descrizione:"), m_bankName);
    bankForm->addRow(QStringLiteral("A.B.I.:"), m_bankAbi);
    bankForm->addRow(QStringLiteral("C.A.B.:"), m_bankCab);
    bankForm->addRow(QStringLiteral("Numero conto:"), m_bankAccount);
    form->addRow(bankBox);

    m_vatCode = new QComboBox(page);
    m_vatCode->setObjectName(QStringLiteral("codiceIva"));
    for (const QString &entry : standardVatCodes())
        m_vatCode->addItem(entry, entry.section(QStringLiteral(" - "), 0, 0));
    m_vatCode->setCurrentIndex(std::max(0, m_vatCode->findData(FirstSetup().vatCode)));
    form->addRow(QStringLiteral("Codice IVA predefinito:"), m_vatCode);
    return page;
}

QWizardPage *CfgPrimo::buildAdminPage()
{
    auto *page = new QWizardPage(this);
    page->setTitle(QStringLiteral("Amministratore"));
    page->setSubTitle(QStringLiteral("L'utente che gestirà gli altri utenti."));
    m_adminUser = lineEdit(page, "utente");
    m_adminUser->setMaxLength(20);
    m_adminUser->setText(QStringLiteral("ADMIN"));
    connect(m_adminUser, &QLineEdit::textEdited, this,
            [this](const QString &text) { m_adminUser->setText(text.toUpper()); });
    m_adminPassword = lineEdit(page, "password");
    m_adminPassword->setEchoMode(QLineEdit::Password);
    m_adminPasswordAgain = lineEdit(page, "ripetiPassword");
    m_adminPasswordAgain->setEchoMode(QLineEdit::Password);
    auto *form = new QFormLayout(page);
    form->addRow(QStringLiteral("Codice utente:"), m_adminUser);
    form->addRow(QStringLiteral("Password:"), m_adminPassword);
    form->addRow(QStringLiteral("Ripetere la password:"), m_adminPasswordAgain);
    return page;
}

FirstSetup CfgPrimo::setup() const
{
    FirstSetup s;
    s.server = m_server->isChecked();
    s.pathDb = m_folder->text().trimmed();
    s.serverKeys.host = m_host->text().trimmed();
    s.serverKeys.port = m_port->value();
    s.serverKeys.database = m_database->text().trimmed();
    s.serverKeys.user = m_dbUser->text().trimmed();
    s.serverKeys.password = m_dbPassword->text();
    s.companyCode = m_companyCode->text().trimmed().toUpper();
    s.companyName = m_companyName->text().trimmed();
    s.bankName = m_bankName->text().trimmed();
    s.bankAbi = m_bankAbi->text().trimmed();
    s.bankCab = m_bankCab->text().trimmed();
    s.bankAccount = m_bankAccount->text().trimmed();
    s.vatCode = m_vatCode->currentData().toString();
    s.adminUser = m_adminUser->text().trimmed().toUpper();
    s.adminPassword = m_adminPassword->text();
    s.adminPasswordAgain = m_adminPasswordAgain->text();
    s.year = QDate::currentDate().year();
    return s;
}

void CfgPrimo::showProblem(const Services::FieldProblem &problem)
{
    const QHash<QString, QWidget *> fields = {
        {SetupField::Folder, m_folder},           {SetupField::Database, m_database},
        {SetupField::CompanyCode, m_companyCode}, {SetupField::CompanyName, m_companyName},
        {SetupField::AdminUser, m_adminUser},     {SetupField::AdminPassword, m_adminPassword},
        {SetupField::BankName, m_bankName},       {SetupField::BankAbi, m_bankAbi},
        {SetupField::BankCab, m_bankCab},         {SetupField::BankAccount, m_bankAccount},
        {SetupField::VatCode, m_vatCode},
    };
    QWidget *target = fields.value(problem.column, m_adminPassword);
    target->setStyleSheet(QStringLiteral("background-color: #ff8080;"));
    m_prompter.error(problem.message, QStringLiteral("Errore!"));
    target->setFocus();
}

bool CfgPrimo::validateCurrentPage()
{
    for (QLineEdit *edit : findChildren<QLineEdit *>())
        edit->setStyleSheet(QString());
    // Each page checks its own fields; the last one checks all and creates.
    const auto problem = checkFirstSetup(setup());
    const auto pageOf = [](const QString &field) {
        if (field == SetupField::Folder || field == SetupField::Database)
            return ArchivesPage;
        if (field == SetupField::AdminUser || field == SetupField::AdminPassword)
            return AdminPage;
        return CompanyPage;
    };
    if (problem && pageOf(problem->column) <= currentId()) {
        showProblem(*problem);
        return false;
    }
    if (currentId() != AdminPage)
        return true;
    return finish();
}

bool CfgPrimo::finish()
{
    const FirstSetup s = setup();
    // CONT.INI first: archives made for settings that cannot be written
    // would block every later try ("esiste già").
    const QFileInfo ini(m_settings.path());
    if (ini.exists() ? !ini.isWritable() : !QFileInfo(ini.absolutePath()).isWritable()) {
        m_prompter.error(Services::settingsWriteProblem(m_settings.path()), QString::fromLatin1(kCfgprimoTitle));
        return false;
    }
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const auto created = createArchives(s, m_prompter);
    QApplication::restoreOverrideCursor();
    if (!created) {
        QString text = created.failure().message;
        if (!created.failure().detail.isEmpty())
            text += QLatin1Char('\n') + created.failure().detail;
        m_prompter.error(text, QString::fromLatin1(kCfgprimoTitle));
        return false;
    }
    if (!writeFirstSettings(m_settings, *created)) {
        m_prompter.error(Services::settingsWriteProblem(m_settings.path()), QString::fromLatin1(kCfgprimoTitle));
        return false;
    }
    m_prompter.info(QString::fromUtf8(kDone).arg(created->adminUser), QString::fromLatin1(kCfgprimoTitle));
    return true;
}

} // namespace Orlavo::Shell
