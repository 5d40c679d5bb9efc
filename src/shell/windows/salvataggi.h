#pragma once

#include <QString>

#include <functional>

class QWidget;

namespace Orlavo::Ui {
struct AppContext;
} // namespace Orlavo::Ui

namespace Orlavo::Shell {

// The backup ("salvataggi"): the folder, the room it takes, the operator's
// go-ahead, then the archive written under a progress window that can
// cancel. True when an archive was written. chooseFolder replaces the
// folder dialog (tests); an empty answer ends without a word.
bool runBackup(Ui::AppContext &ctx, QWidget *parent, std::function<QString(QWidget *)> chooseFolder = {});

} // namespace Orlavo::Shell
