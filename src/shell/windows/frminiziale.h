#pragma once

#include <QStringList>
#include <QTimer>
#include <QWidget>

#include <functional>
#include <optional>

class QLabel;

namespace Orlavo::Ui {
struct AppContext;
} // namespace Orlavo::Ui

namespace Orlavo::Shell {

// The start-up window: reads CONT.INI into the application state with its
// defaults, asks for the database folder when none is set, opens the
// services database and, half a second later, hands over to the login and
// the main window. On a first run it offers the configuration utility and
// ends the program.
class FrmIniziale : public QWidget
{
    Q_OBJECT
public:
    using FolderChooser = std::function<std::optional<QString>(const QString &current)>;
    using Launcher = std::function<bool(const QString &program, const QStringList &arguments)>;

    explicit FrmIniziale(Ui::AppContext &context, QWidget *parent = nullptr);

    void setFolderChooser(FolderChooser chooser) { m_chooseFolder = std::move(chooser); }
    void setLauncher(Launcher launcher) { m_launch = std::move(launcher); }

    // The load steps; the window then waits for its timer.
    void load();

    bool normalStart() const { return m_normalStart; }
    int timerInterval() const { return m_timer.interval(); }
    bool timerActive() const { return m_timer.isActive(); }
    // Where the configuration utility is looked for.
    QString configurationUtility() const;

signals:
    // The timer fired on a normal start: the login and the main window follow.
    void handOver();
    // The start ends without a main window: the program ends.
    void finished();

private:
    void firstRun();
    void readFolders();
    void showPicture();
    void readCounts();
    void readIsolation();
    void onTimer();
    void loadReports();
    bool holdsServices(const QString &folder) const;
    // The folder window until a folder with the archives is chosen, or one
    // without is confirmed; nothing when the operator cancels.
    std::optional<QString> chooseArchiveFolder(QString proposal);

    Ui::AppContext &m_ctx;
    QLabel *m_picture;
    QTimer m_timer;
    bool m_normalStart = true;
    FolderChooser m_chooseFolder;
    Launcher m_launch;
};

} // namespace Orlavo::Shell
