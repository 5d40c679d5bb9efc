#pragma once

#include "services/data/prompter.h"

class QMessageBox;
class QWidget;

namespace Orlavo::Ui {

// The application's prompter: a modal QMessageBox over the active window.
class MessageBoxPrompter : public Services::Prompter
{
public:
    explicit MessageBoxPrompter(QWidget *parent = nullptr) : m_parent(parent) {}
    void setParent(QWidget *parent) { m_parent = parent; }

    Button ask(const QString &text, const QString &title, Icon icon, Buttons buttons,
               std::optional<Button> defaultButton = std::nullopt) override;

    // The box as ask() shows it, for callers that need the widget itself.
    static void setUp(QMessageBox &box, const QString &text, const QString &title, Icon icon, Buttons buttons,
                      std::optional<Button> defaultButton);

private:
    QWidget *m_parent;
};

} // namespace Orlavo::Ui
