#include "shell/messagebox.h"

#include "shell/windowregistry.h"

#include <QMessageBox>

void showMessageBox(const WindowRegistry &registry, QWidget *parent, const QString &text)
{
    if (registry.options.messageBox)
        registry.options.messageBox(parent, text);
    else
        QMessageBox::information(parent, QStringLiteral("Zarvex"), text);
}

bool askConfirmation(const WindowRegistry &registry, QWidget *parent, const QString &text)
{
    if (registry.options.confirmBox)
        return registry.options.confirmBox(parent, text);
    return QMessageBox::question(parent, QStringLiteral("Zarvex"), text, QMessageBox::Yes | QMessageBox::No)
           == QMessageBox::Yes;
}
