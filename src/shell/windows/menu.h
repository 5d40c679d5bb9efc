#pragma once

#include <QMainWindow>

class QLabel;
class QMdiArea;

namespace Orlavo::Shell {

struct AppContext;

// The main window: the frame of every task window. It opens the current
// company's database and names the company in its title.
class Menu : public QMainWindow
{
    Q_OBJECT
public:
    explicit Menu(AppContext &context, QWidget *parent = nullptr);
    ~Menu() override;

    // Opens the current company; false when there is none yet.
    bool openCurrentCompany();
    QMdiArea *workspace() const { return m_workspace; }

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    void buildMenus();
    void showStatus();
    void setBusy(bool busy);

    AppContext &m_ctx;
    QMdiArea *m_workspace;
    QLabel *m_companyPanel;
    QLabel *m_yearPanel;
    QLabel *m_userPanel;
    bool m_busy = false;
};

} // namespace Orlavo::Shell
