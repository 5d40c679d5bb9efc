#include "shell/windows/frminiziale.h"

#include "reporting/stores/reportfiles.h"
#include "shell/rules/startuprules.h"
#include "shell/windows/frmpath.h"
#include "ui/appcontext.h"

#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QIcon>
#include <QLabel>
#include <QProcess>
#include <QScreen>
#include <QVBoxLayout>

namespace Orlavo::Shell {

namespace {

constexpr char kMain[] = "MAIN";
constexpr char kFirstRunQuestion[] = "Prima esecuzione dell'applicazione: \n"
                                     "Si vuole procedere con la configurazione guidata ? ";
constexpr char kFirstRunRefused[] = "E' necessario effettuare la configurazione guidata \n"
                                    "per poter utilizzare il programma. ";
constexpr char kUtilityMissing[] = "Impossibile avviare il programma di configurazione:\n%1";
constexpr char kUtilityArgument[] = "CFG-PRIMO";
constexpr char kReportLinesSkipped[] = "Righe non valide nell'elenco delle stampe, ignorate:\n";
constexpr int kHandOverMs = 500;
constexpr int kFirstRunWaitMs = 5000;
constexpr char kNoServicesStored[] = "Nella cartella degli archivi %1 non c'è l'archivio dei servizi (%2).\n"
                                     "Indicare la cartella che contiene gli archivi.";
constexpr char kNoServicesChosen[] = "Nella cartella %1 non c'è l'archivio dei servizi (%2).\n"
                                     "Usarla ugualmente come cartella degli archivi?";

QString key(const char *name)
{
    return QString::fromLatin1(name);
}

} // namespace

FrmIniziale::FrmIniziale(Ui::AppContext &context, QWidget *parent)
    : QWidget(parent, Qt::SplashScreen | Qt::FramelessWindowHint), m_ctx(context), m_picture(new QLabel(this))
{
    setObjectName(QStringLiteral("frmIniziale"));
    m_picture->setObjectName(QStringLiteral("sfondo"));
    m_picture->setAlignment(Qt::AlignCenter);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_picture);
    m_timer.setSingleShot(true);
    connect(&m_timer, &QTimer::timeout, this, &FrmIniziale::onTimer);

    m_chooseFolder = [this](const QString &current) -> std::optional<QString> {
        FrmPath dialog(current, this);
        if (dialog.exec() != QDialog::Accepted)
            return std::nullopt;
        return dialog.chosenFolder();
    };
    m_launch = [](const QString &program, const QStringList &arguments) {
        return QProcess::startDetached(program, arguments);
    };
}

QString FrmIniziale::configurationUtility() const
{
    // The application folder first; an installed copy keeps it beside orlavo.
    for (const QString &folder : {m_ctx.state.appFolder, QCoreApplication::applicationDirPath() + QLatin1Char('/')}) {
        const QString candidate = folder + QStringLiteral("kervutil");
        if (QFileInfo(candidate).isExecutable())
            return candidate;
    }
    return m_ctx.state.appFolder + QStringLiteral("kervutil");
}

void FrmIniziale::load()
{
    Services::Settings &ini = m_ctx.settings;
    Services::AppState &state = m_ctx.state;
    const QString main = key(kMain);

    setWindowTitle(QString::fromLatin1(Ui::kAppName));
    m_normalStart = true;

    if (ini.read(main, key("SOCIETA")).isEmpty()) {
        firstRun();
        return;
    }

    state.pathDb = Services::asFolder(ini.read(main, key("PATHDB")));
    if (state.pathDb.isEmpty())
        ini.write(main, key("PATHDB"), QString());
    readFolders();

    const QString rawType = ini.read(main, key("TIPODB"));
    if (rawType.isEmpty()) {
        ini.write(main, key("TIPODB"), QStringLiteral("Access"));
        state.dbType = QStringLiteral("ACCESS");
        state.serverDb = false;
    } else {
        const DbType type = normaliseDbType(rawType);
        state.dbType = type.text;
        state.serverDb = type.server;
    }
    state.backgroundFile = ini.readOr(main, key("SFONDOINI"), QStringLiteral("sfondo2.bmp"));
    state.vatRoundUp = ini.readOr(main, key("ARROTIVASUPERIORE"), QStringLiteral("NO"));
    showPicture();
    state.icon = ini.readOr(main, key("ICONA"), state.pathIco + QStringLiteral("ICON3.ICO"));
    state.iconForms = ini.readOr(main, key("ICONAF"), state.pathIco + QStringLiteral("ICON3.ICO"));
    setWindowIcon(QIcon(state.icon));

    // A server keeps its own keys: no folder is needed. A folder without the
    // services archive (moved, renamed, on a disk not mounted) is asked
    // again rather than failing at every start.
    if (!state.serverDb && (state.pathDb.isEmpty() || !holdsServices(state.pathDb))) {
        QString proposal = state.pathDb;
        if (proposal.isEmpty()) {
            const QString data = state.appFolder + QStringLiteral("DATI");
            proposal = QFileInfo(data).isDir() ? data : state.appFolder;
        } else {
            m_ctx.prompter.warn(QString::fromUtf8(kNoServicesStored).arg(state.pathDb, state.dbServicesName),
                                QString::fromLatin1(Ui::kAppName));
        }
        const std::optional<QString> folder = chooseArchiveFolder(proposal);
        if (!folder) {
            // Nobody is logged in and nothing is open: the program just ends.
            m_normalStart = false;
            hide();
            emit finished();
            return;
        }
        state.pathDb = Services::asFolder(*folder);
        ini.write(main, key("PATHDB"), state.pathDb);
    }

    readCounts();
    state.company = ini.read(main, key("SOCIETA"));
    state.year = ini.read(main, key("ANNO"));
    readIsolation();

    Services::ConnectionConfig config;
    config.dbType = state.dbType;
    config.pathDb = state.pathDb;
    config.servicesFile = state.dbServicesName;
    config.isolation = state.isolation;
    config.server = Services::ServerKeys::fromSettings(ini);
    // The hand-over waits for the services database: a failed open ends here.
    if (!m_ctx.db.openServices(config)) {
        m_normalStart = false;
        emit finished();
        return;
    }
    m_timer.start(kHandOverMs);
    loadReports();
}

bool FrmIniziale::holdsServices(const QString &folder) const
{
    return QFileInfo::exists(Services::asFolder(folder) + m_ctx.state.dbServicesName);
}

std::optional<QString> FrmIniziale::chooseArchiveFolder(QString proposal)
{
    using Services::Prompter;
    for (;;) {
        const std::optional<QString> chosen = m_chooseFolder(proposal);
        if (!chosen || holdsServices(*chosen))
            return chosen;
        // A folder without archives is kept only when the operator says so.
        if (m_ctx.prompter.ask(QString::fromUtf8(kNoServicesChosen).arg(*chosen, m_ctx.state.dbServicesName),
                               QString::fromLatin1(Ui::kAppName), Prompter::Icon::Question, Prompter::Buttons::YesNo,
                               Prompter::Button::No) == Prompter::Button::Yes)
            return chosen;
        proposal = *chosen;
    }
}

void FrmIniziale::loadReports()
{
    const Reporting::ReportListLoad load = Reporting::loadReportList(m_ctx.state.pathRptPers, m_ctx.state.pathRpt);
    m_ctx.reports = load.entries;
    // A damaged line costs only itself: one warning names them all.
    if (!load.damaged.isEmpty())
        m_ctx.prompter.warn(QString::fromUtf8(kReportLinesSkipped) + load.damaged.join(QLatin1Char('\n')),
                            QString::fromLatin1(Ui::kAppName));
}

void FrmIniziale::readFolders()
{
    Services::Settings &ini = m_ctx.settings;
    Services::AppState &state = m_ctx.state;
    const QString main = key(kMain);
    const QString app = state.appFolder;
    state.pathIco = Services::asFolder(ini.readOr(main, key("PATHICO"), app + QStringLiteral("BMP/")));
    state.pathRpt = Services::asFolder(ini.readOr(main, key("PATHRPT"), app + QStringLiteral("RPT/")));
    state.pathRptPers = Services::asFolder(ini.readOr(main, key("PATHRPTPERS"), app + QStringLiteral("RPTPERS/")));
    state.pathImage = Services::asFolder(ini.readOr(main, key("PATHIMAGE"), app + QStringLiteral("IMAGE/")));
    state.dbName = ini.readOr(main, key("DB"), QStringLiteral("CONTABXX.MDB"));
    state.dbServicesName = ini.readOr(main, key("DBSER"), QStringLiteral("SERVIZI.MDB"));
}

void FrmIniziale::showPicture()
{
    const QPixmap picture(m_ctx.state.pathIco + m_ctx.state.backgroundFile);
    if (picture.isNull()) {
        // No picture: a plain window with the program's name.
        m_picture->setText(QString::fromLatin1(Ui::kAppName));
        QFont font = m_picture->font();
        font.setPointSize(28);
        font.setBold(true);
        m_picture->setFont(font);
        resize(420, 240);
    } else {
        m_picture->setPixmap(picture);
        resize(picture.size());
    }
    if (const QScreen *screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
    show();
}

void FrmIniziale::readCounts()
{
    Services::Settings &ini = m_ctx.settings;
    const QString main = key(kMain);
    m_ctx.state.rowsTab = leadingNumber(ini.read(main, key("NUMRIGHETAB")));
    if (m_ctx.state.rowsTab == 0) {
        m_ctx.state.rowsTab = 10;
        ini.write(main, key("NUMRIGHETAB"), QStringLiteral("10"));
    }
    m_ctx.state.rowsList = leadingNumber(ini.read(main, key("NUMRIGHELIST")));
    if (m_ctx.state.rowsList == 0) {
        m_ctx.state.rowsList = 20;
        ini.write(main, key("NUMRIGHELIST"), QStringLiteral("20"));
    }
}

void FrmIniziale::readIsolation()
{
    const QString value = m_ctx.settings.readOr(key(kMain), key("ISOLATIONLEVEL"), QStringLiteral("1"));
    m_ctx.state.isolation = isolationFromSetting(value);
}

void FrmIniziale::firstRun()
{
    using Services::Prompter;
    const auto answer = m_ctx.prompter.ask(QString::fromUtf8(kFirstRunQuestion), QString::fromLatin1(Ui::kAppName),
                                           Prompter::Icon::Question, Prompter::Buttons::YesNo);
    m_normalStart = false;
    if (answer == Prompter::Button::Yes) {
        const QString program = configurationUtility();
        if (!m_launch(program, {QString::fromLatin1(kUtilityArgument)})) {
            m_ctx.prompter.error(QString::fromUtf8(kUtilityMissing).arg(program), QString::fromLatin1(Ui::kAppName));
            m_timer.start(kHandOverMs);
            return;
        }
        m_timer.start(kFirstRunWaitMs);
        return;
    }
    m_ctx.prompter.warn(QString::fromUtf8(kFirstRunRefused), QString::fromLatin1(Ui::kAppName));
    m_timer.start(kHandOverMs);
}

void FrmIniziale::onTimer()
{
    hide();
    if (m_normalStart)
        emit handOver();
    else
        emit finished();
}

} // namespace Orlavo::Shell
