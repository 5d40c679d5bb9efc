#pragma once

#include "ui/windowregistry.h"

#include <QWidget>

#include <memory>

namespace Orlavo::Testing {

// A main window that keeps the window an entry opens, single or tagged.
struct KeepingHost : Ui::WindowHost {
    std::unique_ptr<QWidget> opened;
    QString tag;
    void openSingle(const QString &, const std::function<QWidget *()> &create) override { opened.reset(create()); }
    bool registerOpenWindow(const QString &) override { return false; }
    void unregisterOpenWindow(const QString &) override {}
    QMdiSubWindow *showTaskWindow(QWidget *window, const QString &, const QString &shownTag) override
    {
        opened.reset(window);
        tag = shownTag;
        return nullptr;
    }
    QWidget *hostWidget() override { return nullptr; }
};

} // namespace Orlavo::Testing
