#include "shell/messagebox.h"

#include "shell/windowregistry.h"

#include <QMessageBox>

namespace {

QMessageBox::StandardButton ask(QMessageBox::Icon icon, QWidget *parent, const QString &title, const QString &text,
                                QMessageBox::StandardButtons buttons)
{
    QMessageBox box(icon, title, text, buttons, parent);
    box.setTextFormat(Qt::PlainText);
    return QMessageBox::StandardButton(box.exec());
}

} // namespace

void showMessageBox(const WindowRegistry &registry, QWidget *parent, const QString &text)
{
    if (registry.options.messageBox)
        registry.options.messageBox(parent, text);
    else
        showPlainBox(parent, QStringLiteral("Zarvex"), text);
}

bool askConfirmation(const WindowRegistry &registry, QWidget *parent, const QString &text)
{
    if (registry.options.confirmBox)
        return registry.options.confirmBox(parent, text);
    return ask(QMessageBox::Question, parent, QStringLiteral("Zarvex"), text, QMessageBox::Yes | QMessageBox::No)
           == QMessageBox::Yes;
}

void showPlainBox(QWidget *parent, const QString &title, const QString &text)
{
    ask(QMessageBox::Information, parent, title, text, QMessageBox::Ok);
}

void showErrorBox(const QString &text)
{
    ask(QMessageBox::Critical, nullptr, QStringLiteral("Zarvex"), text, QMessageBox::Ok);
}
