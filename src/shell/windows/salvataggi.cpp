#include "shell/windows/salvataggi.h"

#include "shell/stores/backup.h"
#include "ui/appcontext.h"
#include "ui/waitmessage.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileDialog>
#include <QProgressDialog>

namespace Orlavo::Shell {

using Services::Prompter;

namespace {

constexpr char kSalvataggiTitle[] = "Salvataggio";
constexpr char kChooseFolder[] = "Cartella del salvataggio";
constexpr char kQuestion[] = "Sono necessari %1 MB liberi nella cartella %2;\n"
                             "assicurarsi di averli a disposizione quindi procedere con il salvataggio";
constexpr char kCompleted[] = "Salvataggio completato: %1";
constexpr char kCancelled[] = "Salvataggio annullato: nessun file è stato scritto.";
constexpr char kCancelButton[] = "Annulla";

} // namespace

bool runBackup(Ui::AppContext &ctx, QWidget *parent, std::function<QString(QWidget *)> chooseFolder)
{
    const QString title = QString::fromUtf8(kSalvataggiTitle);
    const auto fail = [&](const QString &text) {
        ctx.prompter.ask(text, title, Prompter::Icon::Critical, Prompter::Buttons::Ok);
    };

    if (QString why; !backupAvailable(ctx.db, &why)) {
        fail(why);
        return false;
    }
    const QString folder =
        chooseFolder ? chooseFolder(parent)
                     : QFileDialog::getExistingDirectory(parent, QString::fromUtf8(kChooseFolder), QDir::homePath());
    if (folder.isEmpty())
        return false;

    auto plan = planBackup(ctx.db, folder);
    if (!plan) {
        fail(plan.failure().message);
        return false;
    }
    if (const QString shortage = backupSpaceProblem(*plan, folder); !shortage.isEmpty()) {
        fail(shortage);
        return false;
    }
    const QString question =
        QString::fromUtf8(kQuestion).arg(backupMegabytes(plan->bytesNeeded), QDir::toNativeSeparators(folder));
    if (ctx.prompter.ask(question, title, Prompter::Icon::Question, Prompter::Buttons::OkCancel,
                         Prompter::Button::Ok) != Prompter::Button::Ok)
        return false;

    QProgressDialog progress(QString::fromUtf8(kBackupPreparing), QString::fromUtf8(kCancelButton), 0, 0, parent);
    Ui::setUpProgress(progress, title, QStringLiteral("salvataggio"));
    const auto step = [&progress](int done, int total, const QString &label) {
        if (progress.labelText() != label)
            progress.setLabelText(label);
        progress.setMaximum(total);
        progress.setValue(std::min(done, total));
        QCoreApplication::processEvents();
        return !progress.wasCanceled();
    };
    auto written = writeBackup(ctx.db, folder, step);
    const bool cancelled = progress.wasCanceled();
    progress.close();

    if (!written) {
        if (cancelled)
            ctx.prompter.info(QString::fromUtf8(kCancelled), title);
        else
            fail(written.failure().message);
        return false;
    }
    ctx.prompter.info(QString::fromUtf8(kCompleted).arg(QDir::toNativeSeparators(*written)), title);
    return true;
}

} // namespace Orlavo::Shell
