#include "services/core/apppaths.h"
#include "services/core/settings.h"
#include "shell/stores/firstsetup.h"
#include "shell/windows/bootstrap.h"
#include "shell/windows/cfgprimo.h"
#include "ui/messageboxprompter.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QDate>
#include <QTextStream>

using namespace Orlavo;

namespace {

// Messages of a run without windows go to the terminal.
class ConsolePrompter : public Services::Prompter
{
public:
    Button ask(const QString &text, const QString &title, Icon, Buttons buttons,
               std::optional<Button> defaultButton) override
    {
        QTextStream(stderr) << title << ": " << text << '\n';
        if (defaultButton)
            return *defaultButton;
        return buttons == Buttons::YesNo || buttons == Buttons::YesNoCancel ? Button::Yes : Button::Ok;
    }
};

int runWithoutWindows(const QCommandLineParser &args, const Services::Settings &settings)
{
    Shell::FirstSetup setup;
    setup.server = args.value(QStringLiteral("engine")).compare(QLatin1String("postgresql"), Qt::CaseInsensitive) == 0;
    setup.pathDb = args.value(QStringLiteral("folder"));
    setup.serverKeys.host = args.value(QStringLiteral("host"));
    setup.serverKeys.port = args.value(QStringLiteral("port")).toInt();
    setup.serverKeys.database = args.value(QStringLiteral("database"));
    setup.serverKeys.user = args.value(QStringLiteral("db-user"));
    setup.serverKeys.password = args.value(QStringLiteral("db-password"));
    setup.companyCode = args.value(QStringLiteral("company")).toUpper();
    setup.companyName = args.value(QStringLiteral("name"));
    setup.adminUser = args.value(QStringLiteral("user")).toUpper();
    setup.adminPassword = args.value(QStringLiteral("password"));
    setup.adminPasswordAgain = setup.adminPassword;
    setup.year = QDate::currentDate().year();

    ConsolePrompter prompter;
    const auto created = Shell::createArchives(setup, prompter);
    if (!created) {
        QTextStream(stderr) << created.failure().message << '\n' << created.failure().detail << '\n';
        return 1;
    }
    if (!Shell::writeFirstSettings(settings, setup)) {
        QTextStream(stderr) << "Impossibile scrivere " << settings.path() << '\n';
        return 1;
    }
    QTextStream(stdout) << "Configurazione completata: società " << setup.companyCode << ", utente " << setup.adminUser
                        << ".\n";
    return 0;
}

} // namespace

int main(int argc, char *argv[])
{
    // Without windows there may be no display at all (scripts, servers).
    for (int i = 1; i < argc; ++i) {
        if (qstrcmp(argv[i], "--yes") == 0 && qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
            qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("kervutil"));
    Shell::installItalian(app);

    QCommandLineParser args;
    args.setApplicationDescription(QStringLiteral("Configurazione guidata di Orlavo"));
    const QCommandLineOption help({QStringLiteral("h"), QStringLiteral("help")}, QStringLiteral("Mostra queste indicazioni."));
    args.addOption(help);
    args.addPositionalArgument(QStringLiteral("CFG-PRIMO"), QStringLiteral("Prima configurazione"));
    const auto option = [&args](const char *name, const char *help, const char *def = "") {
        args.addOption(
            {QString::fromLatin1(name), QString::fromUtf8(help), QStringLiteral("valore"), QString::fromLatin1(def)});
    };
    args.addOption({QStringLiteral("yes"), QStringLiteral("Esegue senza finestre, con i valori delle opzioni")});
    option("engine", "sqlite (predefinito) o postgresql", "sqlite");
    option("folder", "Cartella degli archivi SQLite");
    option("host", "Server PostgreSQL (nome o cartella del socket)");
    option("port", "Porta del server", "5432");
    option("database", "Database sul server", "orlavo");
    option("db-user", "Utente del server");
    option("db-password", "Password del server (vuota: ~/.pgpass)");
    option("company", "Codice della prima società", "01");
    option("name", "Ragione sociale della prima società");
    option("user", "Codice dell'amministratore", "ADMIN");
    option("password", "Password dell'amministratore");
    args.process(app);
    if (args.isSet(help)) {
        QTextStream(stdout) << args.helpText();
        return 0;
    }
    if (args.positionalArguments().value(0).compare(QLatin1String("CFG-PRIMO"), Qt::CaseInsensitive) != 0) {
        QTextStream(stderr) << "Uso: kervutil CFG-PRIMO [opzioni] (kervutil --help per le opzioni)\n";
        return 2;
    }

    const QString folder = Services::applicationFolder();
    Services::Settings settings(folder + QStringLiteral("CONT.INI"));
    if (args.isSet(QStringLiteral("yes")))
        return runWithoutWindows(args, settings);

    Ui::MessageBoxPrompter prompter;
    Shell::CfgPrimo wizard(settings, prompter, folder + QStringLiteral("DATI"));
    wizard.show();
    return wizard.exec() == QDialog::Accepted ? 0 : 1;
}
