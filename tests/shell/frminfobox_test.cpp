#include "shell/windows/frminfobox.h"

#include "contexttest.h"

#include <QDialogButtonBox>
#include <QDir>
#include <QGuiApplication>
#include <QLabel>
#include <QPushButton>
#include <QRegularExpression>
#include <QScreen>
#include <QSysInfo>

#include <gtest/gtest.h>

using namespace Orlavo;
using namespace Orlavo::Reporting;
using namespace Orlavo::Ui;
using namespace Orlavo::Shell;
using Orlavo::Testing::Engine;

namespace {

class FrmInfoboxTest : public Orlavo::Testing::ContextTest<>
{
protected:
    QString shown(const FrmInfobox &box, const char *name)
    {
        const auto *label = box.findChild<QLabel *>(QString::fromLatin1(name));
        EXPECT_NE(label, nullptr) << name;
        return label ? label->text() : QString();
    }

    void expectNothingCut(const QWidget &window)
    {
        for (const QLabel *label : window.findChildren<QLabel *>()) {
            if (!label->isVisible() || label->text().isEmpty())
                continue;
            EXPECT_GE(label->width(), label->minimumSizeHint().width()) << label->text().toStdString();
        }
    }
};

} // namespace

TEST_P(FrmInfoboxTest, ShowsWhoWorksOnWhichArchives)
{
    context->state.user = QStringLiteral("MARIO");
    context->state.company = QStringLiteral("01");
    context->state.companyName = QStringLiteral("Ditta Prova Srl");
    FrmInfobox box(*context, QStringLiteral("2.3.4"));
    box.show();
    QCoreApplication::processEvents();

    EXPECT_EQ(box.windowTitle(), QStringLiteral("Informazioni su Orlavo"));
    EXPECT_EQ(shown(box, "programma"), QStringLiteral("Orlavo"));
    EXPECT_EQ(shown(box, "versione"), QStringLiteral("2.3.4"));
    EXPECT_EQ(shown(box, "versioneQt"), QString::fromLatin1(qVersion()));
    EXPECT_TRUE(shown(box, "sistema").contains(QSysInfo::kernelVersion()));
    EXPECT_EQ(shown(box, "utente"), QStringLiteral("MARIO"));
    EXPECT_EQ(shown(box, "societa"), QStringLiteral("01 - Ditta Prova Srl"));

    const QScreen *screen = QGuiApplication::primaryScreen();
    ASSERT_NE(screen, nullptr);
    const QString size = shown(box, "schermo");
    EXPECT_TRUE(size.contains(QString::number(screen->size().width())) &&
                size.contains(QString::number(screen->size().height())))
        << size.toStdString();
    EXPECT_TRUE(shown(box, "colori").startsWith(QString::number(screen->depth())));
    EXPECT_TRUE(shown(box, "dpi").contains(QRegularExpression(QStringLiteral("^\\d+ DPI$"))));

    const QString place = shown(box, "posizioneDb");
    if (GetParam() == Engine::Sqlite) {
        EXPECT_EQ(shown(box, "tipoDb"), QStringLiteral("SQLite"));
        EXPECT_EQ(place, QDir::toNativeSeparators(archives->folder()));
    } else {
        const Services::ServerKeys server = archives->config().server;
        EXPECT_EQ(shown(box, "tipoDb"), QStringLiteral("PostgreSQL"));
        EXPECT_TRUE(place.contains(server.host)) << place.toStdString();
        EXPECT_TRUE(place.contains(QString::number(server.port))) << place.toStdString();
        EXPECT_TRUE(place.contains(server.database)) << place.toStdString();
    }
    expectNothingCut(box);

    QPushButton *ok = box.buttons()->button(QDialogButtonBox::Ok);
    ASSERT_NE(ok, nullptr);
    ok->click();
    EXPECT_EQ(box.result(), QDialog::Accepted);
    EXPECT_FALSE(box.isVisible());
}

TEST_P(FrmInfoboxTest, NameFromSettingsVersionFromTheProgram)
{
    context->settings.write(QStringLiteral("MAIN"), QStringLiteral("NOMEAPP"),
                            QStringLiteral("Ditta Rossi Gestionale"));
    const QString before = QCoreApplication::applicationVersion();
    QCoreApplication::setApplicationVersion(QStringLiteral("9.8.7"));
    {
        FrmInfobox box(*context);
        EXPECT_EQ(box.windowTitle(), QStringLiteral("Informazioni su Ditta Rossi Gestionale"));
        EXPECT_EQ(shown(box, "programma"), QStringLiteral("Ditta Rossi Gestionale"));
        EXPECT_EQ(shown(box, "versione"), QStringLiteral("9.8.7"));
    }
    QCoreApplication::setApplicationVersion(before);

    // No version set by the program: the one it was built as.
    FrmInfobox box(*context, QString());
    EXPECT_TRUE(shown(box, "versione").contains(QRegularExpression(QStringLiteral("^\\d+\\.\\d+\\.\\d+$"))))
        << shown(box, "versione").toStdString();
    // Nobody logged in, no company open: a dash, never an empty row.
    EXPECT_EQ(shown(box, "utente"), QStringLiteral("-"));
    EXPECT_EQ(shown(box, "societa"), QStringLiteral("-"));
}

INSTANTIATE_TEST_SUITE_P(Engines, FrmInfoboxTest, ::testing::Values(Engine::Sqlite, Engine::Postgres),
                         Orlavo::Testing::engineName);
