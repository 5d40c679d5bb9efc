#pragma once

#include "ui/windowregistry.h"

#include <QWidget>

#include <memory>
#include <vector>

namespace Orlavo::Testing {

// A main window that keeps every window its entries open, single or
// tagged; the last one opened, and its tag.
struct KeepingHost : Ui::WindowHost {
    std::vector<std::unique_ptr<QWidget>> windows;
    QString tag;
    QWidget *opened() const { return windows.empty() ? nullptr : windows.back().get(); }
    void openSingle(const QString &, const std::function<QWidget *()> &create) override
    {
        windows.emplace_back(create());
    }
    bool registerOpenWindow(const QString &) override { return false; }
    void unregisterOpenWindow(const QString &) override {}
    QMdiSubWindow *showTaskWindow(QWidget *window, const QString &, const QString &shownTag) override
    {
        windows.emplace_back(window);
        tag = shownTag;
        return nullptr;
    }
    QWidget *hostWidget() override { return nullptr; }
};

} // namespace Orlavo::Testing
