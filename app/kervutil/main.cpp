#include "services/core/apppaths.h"
#include "services/core/settings.h"
#include "shell/stores/firstsetup.h"
#include "shell/windows/bootstrap.h"
#include "shell/windows/cfgprimo.h"
#include "ui/messageboxprompter.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QDate>
#include <QDir>
#include <QTextStream>

#include <termios.h>
#include <unistd.h>

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

// The options of a run without windows, or the message that refuses them.
struct ConsoleSetup {
    Shell::FirstSetup setup;
    QString refusal;
};

// Not only from the command line, where every user's `ps` shows it: from
// PGPASSWORD, or asked on the terminal without echo. Empty: ~/.pgpass.
QString serverPassword(const QCommandLineParser &args, bool server)
{
    if (!server)
        return {};
    if (args.isSet(QStringLiteral("db-password")))
        return args.value(QStringLiteral("db-password"));
    if (qEnvironmentVariableIsSet("PGPASSWORD"))
        return qEnvironmentVariable("PGPASSWORD");
    if (!isatty(STDIN_FILENO))
        return {};
    QTextStream(stderr) << "Password del server (invio: quella di ~/.pgpass): " << Qt::flush;
    termios before{};
    const bool quiet = tcgetattr(STDIN_FILENO, &before) == 0;
    if (quiet) {
        termios silent = before;
        silent.c_lflag &= ~tcflag_t(ECHO);
        tcsetattr(STDIN_FILENO, TCSANOW, &silent);
    }
    const QString typed = QTextStream(stdin).readLine();
    if (quiet)
        tcsetattr(STDIN_FILENO, TCSANOW, &before);
    QTextStream(stderr) << '\n';
    return typed;
}

ConsoleSetup consoleSetup(const QCommandLineParser &args)
{
    ConsoleSetup result;
    Shell::FirstSetup &setup = result.setup;
    const QString engine = args.value(QStringLiteral("engine")).trimmed().toLower();
    if (engine != QLatin1String("sqlite") && engine != QLatin1String("postgresql")) {
        result.refusal = QStringLiteral("Motore sconosciuto: \"%1\". Indicare --engine sqlite oppure --engine postgresql.")
                             .arg(args.value(QStringLiteral("engine")));
        return result;
    }
    setup.server = engine == QLatin1String("postgresql");
    // PATHDB is read from wherever the program starts: never relative.
    const QString folder = args.value(QStringLiteral("folder")).trimmed();
    setup.pathDb = folder.isEmpty() ? folder : QDir(folder).absolutePath();
    setup.serverKeys.host = args.value(QStringLiteral("host"));
    setup.serverKeys.port = args.value(QStringLiteral("port")).toInt();
    setup.serverKeys.database = args.value(QStringLiteral("database"));
    setup.serverKeys.user = args.value(QStringLiteral("db-user"));
    setup.serverKeys.password = serverPassword(args, setup.server);
    setup.companyCode = args.value(QStringLiteral("company")).toUpper();
    setup.companyName = args.value(QStringLiteral("name"));
    setup.bankName = args.value(QStringLiteral("bank")).trimmed();
    setup.bankAbi = args.value(QStringLiteral("abi")).trimmed();
    setup.bankCab = args.value(QStringLiteral("cab")).trimmed();
    setup.bankAccount = args.value(QStringLiteral("account")).trimmed();
    setup.vatCode = args.value(QStringLiteral("vat")).trimmed().toUpper();
    setup.adminUser = args.value(QStringLiteral("user")).toUpper();
    setup.adminPassword = args.value(QStringLiteral("password"));
    setup.adminPasswordAgain = setup.adminPassword;
    setup.year = QDate::currentDate().year();
    if (setup.adminPassword.isEmpty())
        result.refusal = QStringLiteral("Manca la password dell'amministratore: indicarla con --password.");
    else if (const auto problem = Shell::checkFirstSetup(setup))
        result.refusal = problem->message;
    return result;
}

int runWithoutWindows(const Shell::FirstSetup &setup, const Services::Settings &settings)
{
    ConsolePrompter prompter;
    const auto created = Shell::createArchives(setup, prompter);
    if (!created) {
        QTextStream(stderr) << created.failure().message << '\n' << created.failure().detail << '\n';
        return 1;
    }
    if (!Shell::writeFirstSettings(settings, *created)) {
        QTextStream(stderr) << "Impossibile scrivere " << settings.path() << '\n';
        return 1;
    }
    QTextStream(stdout) << "Configurazione completata: società " << created->companyCode << ", utente "
                        << created->adminUser << ".\n";
    return 0;
}

struct OptionText {
    const char *name;
    const char *text;
    const char *fallback;
};

// The options with a value, as help shows them.
constexpr OptionText kOptions[] = {
    {"engine", "sqlite (predefinito) o postgresql", "sqlite"},
    {"folder", "Cartella degli archivi SQLite", ""},
    {"host", "Server PostgreSQL (nome o cartella del socket)", ""},
    {"port", "Porta del server", "5432"},
    {"database", "Database sul server", "orlavo"},
    {"db-user", "Utente del server", ""},
    {"db-password", "Password del server (meglio PGPASSWORD; vuota: ~/.pgpass)", ""},
    {"company", "Codice della prima società", "01"},
    {"name", "Ragione sociale della prima società", ""},
    {"bank", "Banca principale: descrizione (facoltativa)", ""},
    {"abi", "Banca principale: codice A.B.I.", ""},
    {"cab", "Banca principale: codice C.A.B.", ""},
    {"account", "Banca principale: numero di conto", ""},
    {"vat", "Codice IVA predefinito (vuoto: nessuno)", "22"},
    {"user", "Codice dell'amministratore", "ADMIN"},
    {"password", "Password dell'amministratore", ""},
};

void describeOptions(QCommandLineParser &args)
{
    args.addOption({{QStringLiteral("h"), QStringLiteral("help")}, QString()});
    args.addOption({QStringLiteral("yes"), QString()});
    for (const OptionText &option : kOptions)
        args.addOption({QString::fromLatin1(option.name), QString(), QStringLiteral("valore"),
                        QString::fromLatin1(option.fallback)});
}

QString helpText()
{
    QString text = QStringLiteral("Uso: kervutil CFG-PRIMO [opzioni]\n"
                                  "Configurazione guidata di Orlavo: senza opzioni apre la finestra.\n\n"
                                  "  -h, --help              Mostra queste indicazioni.\n"
                                  "  --yes                   Esegue senza finestre, con i valori delle opzioni.\n");
    for (const OptionText &option : kOptions) {
        QString line = QStringLiteral("  --%1 <valore>").arg(QString::fromLatin1(option.name));
        line = line.leftJustified(26) + QString::fromUtf8(option.text);
        if (*option.fallback)
            line += QStringLiteral(" [%1]").arg(QString::fromLatin1(option.fallback));
        text += line + QLatin1Char('\n');
    }
    return text;
}

// Qt's own parse errors are in English: the option is named in Italian.
QString parseError(const QCommandLineParser &args)
{
    const QStringList unknown = args.unknownOptionNames();
    if (!unknown.isEmpty())
        return QStringLiteral("Opzione sconosciuta: %1%2")
            .arg(unknown.first().size() > 1 ? QStringLiteral("--") : QStringLiteral("-"), unknown.first());
    return QStringLiteral("Opzione senza valore: %1").arg(args.errorText().section(QLatin1Char('\''), 1, 1));
}

} // namespace

int main(int argc, char *argv[])
{
    // The command line is read before any application object: help and
    // errors need no display, and a run without windows never opens one.
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    QCommandLineParser args;
    describeOptions(args);
    const QString usage = QStringLiteral("Uso: kervutil CFG-PRIMO [opzioni] (kervutil --help per le opzioni)\n");
    if (!args.parse(arguments)) {
        QTextStream(stderr) << parseError(args) << '\n' << usage;
        return 2;
    }
    if (args.isSet(QStringLiteral("help"))) {
        QTextStream(stdout) << helpText();
        return 0;
    }
    if (args.positionalArguments().value(0).compare(QLatin1String("CFG-PRIMO"), Qt::CaseInsensitive) != 0) {
        QTextStream(stderr) << usage;
        return 2;
    }

    if (args.isSet(QStringLiteral("yes"))) {
        QCoreApplication app(argc, argv);
        QCoreApplication::setApplicationName(QStringLiteral("kervutil"));
        const ConsoleSetup console = consoleSetup(args);
        if (!console.refusal.isEmpty()) {
            QTextStream(stderr) << console.refusal << '\n';
            return 2;
        }
        const Services::Settings settings(Services::applicationFolder() + QStringLiteral("CONT.INI"));
        return runWithoutWindows(console.setup, settings);
    }

    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("kervutil"));
    Shell::installItalian(app);
    const QString folder = Services::applicationFolder();
    Services::Settings settings(folder + QStringLiteral("CONT.INI"));
    Ui::MessageBoxPrompter prompter;
    Shell::CfgPrimo wizard(settings, prompter, folder + QStringLiteral("DATI"));
    wizard.show();
    return wizard.exec() == QDialog::Accepted ? 0 : 1;
}
