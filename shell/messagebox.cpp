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
