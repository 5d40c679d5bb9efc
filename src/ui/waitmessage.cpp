#include "ui/waitmessage.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QGuiApplication>
#include <QLabel>
#include <QPointer>
#include <QProgressDialog>
#include <QScreen>
#include <QVBoxLayout>
#include <QWidget>
#include <QWindow>

namespace Orlavo::Ui {

namespace {

const QString kWaitmessageTitle = QStringLiteral("Messaggio");
// Long enough for a window manager to map the window, short enough that a
// missing one never holds up the task.
constexpr int kExposeWaitMs = 200;

struct Showing {
    QPointer<QWidget> window;
    QPointer<QLabel> label;
    QPointer<QWidget> parent;
    bool cursorSet = false;
};

Showing &showing()
{
    static Showing current;
    return current;
}

void centre(QWidget *window, QWidget *parent)
{
    window->adjustSize();
    // A created window knows its frame, which counts in the centring.
    window->winId();
    QRect area;
    if (parent)
        area = parent->window()->frameGeometry();
    else if (const QScreen *screen = QGuiApplication::primaryScreen())
        area = screen->availableGeometry();
    if (area.isValid())
        window->move(area.center() - QRect(QPoint(), window->frameGeometry().size()).center());
}

// The task that follows keeps the event loop busy: paint now.
void paintAtOnce(QWidget *window)
{
    QElapsedTimer waited;
    waited.start();
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    while (window->windowHandle() && !window->windowHandle()->isExposed() && waited.elapsed() < kExposeWaitMs)
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents, 10);
    window->repaint();
}

} // namespace

void showWaitMessage(const QString &text, QWidget *parent)
{
    Showing &current = showing();
    if (current.window && current.parent != parent)
        hideWaitMessage();
    if (!current.window) {
        auto *window = new QWidget(parent, Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
        window->setAttribute(Qt::WA_DeleteOnClose);
        window->setWindowTitle(kWaitmessageTitle);
        // Nothing else is to be touched until the task ends.
        window->setWindowModality(Qt::ApplicationModal);
        auto *label = new QLabel(window);
        label->setAlignment(Qt::AlignCenter);
        label->setMinimumWidth(260);
        auto *layout = new QVBoxLayout(window);
        layout->setContentsMargins(24, 18, 24, 18);
        layout->addWidget(label);
        current.window = window;
        current.label = label;
        current.parent = parent;
    }
    current.label->setText(text);
    if (!current.cursorSet) {
        QApplication::setOverrideCursor(Qt::WaitCursor);
        current.cursorSet = true;
    }
    centre(current.window, parent);
    current.window->show();
    current.window->raise();
    paintAtOnce(current.window);
}

void hideWaitMessage()
{
    Showing &current = showing();
    if (current.cursorSet) {
        QApplication::restoreOverrideCursor();
        current.cursorSet = false;
    }
    if (QWidget *window = current.window) {
        window->hide();
        window->deleteLater();
    }
    current.window = nullptr;
    current.label = nullptr;
    current.parent = nullptr;
}

QWidget *waitMessageWindow()
{
    return showing().window;
}

WaitMessage::WaitMessage(const QString &text, QWidget *parent)
{
    const Showing &current = showing();
    if (current.window && current.label) {
        m_wasShowing = true;
        m_previous = current.label->text();
        m_previousParent = current.parent;
    }
    showWaitMessage(text, parent);
}

WaitMessage::~WaitMessage()
{
    if (m_wasShowing)
        showWaitMessage(m_previous, m_previousParent);
    else
        hideWaitMessage();
}

void setUpProgress(QProgressDialog &progress, const QString &title, const QString &objectName)
{
    progress.setObjectName(objectName);
    progress.setWindowTitle(title);
    // The whole program waits: another window writing on the same connection
    // would land inside the work's transaction.
    progress.setWindowModality(Qt::ApplicationModal);
    progress.setMinimumDuration(0);
    progress.setAutoClose(false);
    progress.setAutoReset(false);
    progress.setValue(0);
}

} // namespace Orlavo::Ui
