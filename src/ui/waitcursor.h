#pragma once

#include <QApplication>

namespace Orlavo::Ui {

// The hourglass while a window opens or a list loads, put back whatever happens.
class WaitCursor
{
public:
    WaitCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~WaitCursor() { QApplication::restoreOverrideCursor(); }
    WaitCursor(const WaitCursor &) = delete;
    WaitCursor &operator=(const WaitCursor &) = delete;
};

} // namespace Orlavo::Ui
