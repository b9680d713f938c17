#include "shell/tdownload.h"

#include "shell/windowregistry.h"

#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

Tdownload::Tdownload(WindowRegistry &registry) : m_registry(registry)
{
    setObjectName(QStringLiteral("Tdownload"));
    setWindowTitle(QStringLiteral("Zarvex - Lobby"));
    setFixedSize(360, 160);

    auto *text = new QLabel(this);
    text->setObjectName(QStringLiteral("label_lobby"));
    text->setWordWrap(true);
    text->setText(QStringLiteral(
        "You are playing a solo game.\n\n"
        "Games with other players are arranged through the lobby, a separate program. "
        "It starts Zarvex for you with your player name, the host's address and "
        "\"true\" when your copy hosts the game."));
    auto *close = new QPushButton(QStringLiteral("Close"), this);
    close->setObjectName(QStringLiteral("button_close"));
    connect(close, &QPushButton::clicked, this, &QDialog::hide);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(text, 1);
    layout->addWidget(close, 0, Qt::AlignRight);
}
