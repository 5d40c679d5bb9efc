#include "shell/windows/frminfobox.h"

#include "ui/appcontext.h"

#include <QDialogButtonBox>
#include <QDir>
#include <QFormLayout>
#include <QGuiApplication>
#include <QIcon>
#include <QLabel>
#include <QScreen>
#include <QSysInfo>
#include <QVBoxLayout>

#include <cmath>

namespace Orlavo::Shell {

namespace {

QString orDash(const QString &text)
{
    return text.trimmed().isEmpty() ? QStringLiteral("-") : text;
}

QString systemText()
{
    return QStringLiteral("%1 (kernel %2 %3)")
        .arg(QSysInfo::prettyProductName(), QSysInfo::kernelType(), QSysInfo::kernelVersion());
}

// Where the archives are: the folder of the files, or the server and database.
QString placeText(const Ui::AppContext &ctx)
{
    const Services::ConnectionConfig &config = ctx.db.config();
    if (ctx.db.engine() == Services::Engine::Postgres) {
        const Services::ServerKeys &server = config.server;
        return QStringLiteral("%1, porta %2, database %3")
            .arg(orDash(server.host))
            .arg(server.port)
            .arg(orDash(server.database));
    }
    const QString folder = config.pathDb.isEmpty() ? ctx.state.pathDb : config.pathDb;
    return orDash(QDir::toNativeSeparators(folder));
}

QString companyText(const Services::AppState &state)
{
    QStringList parts;
    for (const QString &part : {state.company.trimmed(), state.companyName.trimmed()}) {
        if (!part.isEmpty())
            parts.append(part);
    }
    return orDash(parts.join(QStringLiteral(" - ")));
}

} // namespace

FrmInfobox::FrmInfobox(Ui::AppContext &context, const QString &version, QWidget *parent)
    : QDialog(parent), m_buttons(new QDialogButtonBox(QDialogButtonBox::Ok, this))
{
    setObjectName(QStringLiteral("frmInfobox"));
    const QString appName = Ui::applicationName(context.settings);
    setWindowTitle(QStringLiteral("Informazioni su ") + appName);
    if (!context.state.iconForms.isEmpty())
        setWindowIcon(QIcon(context.state.iconForms));

    auto *form = new QFormLayout;
    form->setLabelAlignment(Qt::AlignRight);
    form->setFieldGrowthPolicy(QFormLayout::AllNonFixedFieldsGrow);
    addRow(form, QStringLiteral("Programma"), QStringLiteral("programma"), appName);
    addRow(form, QStringLiteral("Versione"), QStringLiteral("versione"),
           version.isEmpty() ? QStringLiteral(ORLAVO_PROJECT_VERSION) : version);
    addRow(form, QStringLiteral("Versione Qt"), QStringLiteral("versioneQt"), QString::fromLatin1(qVersion()));
    addRow(form, QStringLiteral("Sistema operativo"), QStringLiteral("sistema"), systemText());

    const QScreen *screen = QGuiApplication::primaryScreen();
    const QString none = QStringLiteral("non disponibile");
    addRow(form, QStringLiteral("Schermo"), QStringLiteral("schermo"),
           screen ? QStringLiteral("%1 × %2 pixel").arg(screen->size().width()).arg(screen->size().height()) : none);
    addRow(form, QStringLiteral("Colori"), QStringLiteral("colori"),
           screen ? QStringLiteral("%1 bit").arg(screen->depth()) : none);
    addRow(form, QStringLiteral("Risoluzione"), QStringLiteral("dpi"),
           screen ? QStringLiteral("%1 DPI").arg(std::lround(screen->logicalDotsPerInch())) : none);

    const bool server = context.db.engine() == Services::Engine::Postgres;
    addRow(form, QStringLiteral("Database"), QStringLiteral("tipoDb"),
           server ? QStringLiteral("PostgreSQL") : QStringLiteral("SQLite"));
    addRow(form, server ? QStringLiteral("Server") : QStringLiteral("Cartella archivi"), QStringLiteral("posizioneDb"),
           placeText(context));
    addRow(form, QStringLiteral("Utente"), QStringLiteral("utente"), orDash(context.state.user));
    addRow(form, QStringLiteral("Società"), QStringLiteral("societa"), companyText(context.state));
    // The attribution the licence of the list asks for.
    addRow(form, QStringLiteral("Elenco dei comuni"), QStringLiteral("fonteComuni"),
           QStringLiteral("ISTAT, \"Elenco dei comuni italiani\", licenza CC BY 3.0 IT"));

    m_buttons->setObjectName(QStringLiteral("pulsanti"));
    connect(m_buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);

    auto *layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addSpacing(8);
    layout->addWidget(m_buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

QLabel *FrmInfobox::addRow(QFormLayout *form, const QString &caption, const QString &objectName, const QString &value)
{
    auto *label = new QLabel(value, this);
    label->setObjectName(objectName);
    // Selectable, so the operator can paste it into a support request.
    label->setTextInteractionFlags(Qt::TextSelectableByMouse);
    label->setTextFormat(Qt::PlainText);
    form->addRow(caption + QLatin1Char(':'), label);
    return label;
}

} // namespace Orlavo::Shell
