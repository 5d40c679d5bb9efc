#include "services/core/apppaths.h"
#include "shell/windows/bootstrap.h"
#include "shell/windows/frmentry.h"
#include "shell/windows/frminiziale.h"
#include "shell/windows/menu.h"
#include "ui/appcontext.h"
#include "ui/messageboxprompter.h"

#include <QApplication>
#include <QScreen>

using namespace Orlavo;

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Orlavo"));
    QApplication::setApplicationVersion(QStringLiteral(PROJECT_VERSION_TEXT));
    Shell::installItalian(app);

    Ui::MessageBoxPrompter prompter;
    Ui::AppContext context(Services::applicationFolder(), prompter);
    context.settings.onWriteFailure([&prompter](const QString &path) {
        prompter.error(Services::settingsWriteProblem(path), QString::fromLatin1(Ui::kAppName));
    });

    Shell::FrmIniziale start(context);
    std::unique_ptr<Shell::Menu> menu;
    QObject::connect(&start, &Shell::FrmIniziale::finished, &app, &QApplication::quit, Qt::QueuedConnection);
    QObject::connect(&start, &Shell::FrmIniziale::handOver, &app, [&] {
        Shell::FrmEntry login(context);
        if (login.exec() != QDialog::Accepted) {
            QApplication::quit();
            return;
        }
        menu = std::make_unique<Shell::Menu>(context);
        if (const QScreen *screen = QGuiApplication::primaryScreen())
            menu->setGeometry(screen->availableGeometry());
        menu->showMaximized();
        // With no company set yet the operator chooses one, or goes on without.
        menu->openCurrentCompany();
    });
    start.load();
    return app.exec();
}
