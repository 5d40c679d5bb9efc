#pragma once

#include "shell/stores/firstsetup.h"

#include <QWizard>

class QComboBox;
class QLineEdit;
class QRadioButton;
class QSpinBox;

namespace Orlavo::Services {
class Prompter;
class Settings;
} // namespace Orlavo::Services

namespace Orlavo::Shell {

// The guided first configuration: where the archives live (a folder on
// this computer or a PostgreSQL server), the first company, the
// administrator. Finishing creates the archives and writes CONT.INI.
class CfgPrimo : public QWizard
{
    Q_OBJECT
public:
    CfgPrimo(const Services::Settings &settings, Services::Prompter &prompter, const QString &defaultFolder,
             QWidget *parent = nullptr);

    FirstSetup setup() const;
    bool validateCurrentPage() override;

    enum Page { ArchivesPage, CompanyPage, AdminPage };

private:
    QWizardPage *buildArchivesPage(const QString &defaultFolder);
    QWizardPage *buildCompanyPage();
    QWizardPage *buildAdminPage();
    void showProblem(const Services::FieldProblem &problem);
    bool finish();

    const Services::Settings &m_settings;
    Services::Prompter &m_prompter;
    QRadioButton *m_local = nullptr;
    QRadioButton *m_server = nullptr;
    QLineEdit *m_folder = nullptr;
    QLineEdit *m_host = nullptr;
    QSpinBox *m_port = nullptr;
    QLineEdit *m_database = nullptr;
    QLineEdit *m_dbUser = nullptr;
    QLineEdit *m_dbPassword = nullptr;
    QLineEdit *m_companyCode = nullptr;
    QLineEdit *m_companyName = nullptr;
    QLineEdit *m_bankName = nullptr;
    QLineEdit *m_bankAbi = nullptr;
    QLineEdit *m_bankCab = nullptr;
    QLineEdit *m_bankAccount = nullptr;
    QComboBox *m_vatCode = nullptr;
    QLineEdit *m_adminUser = nullptr;
    QLineEdit *m_adminPassword = nullptr;
    QLineEdit *m_adminPasswordAgain = nullptr;
};

} // namespace Orlavo::Shell
