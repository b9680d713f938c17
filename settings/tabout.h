#pragma once

#include "settings/aboutlink.h"

#include <QDialog>

class QLabel;
class WindowRegistry;

// The about window: the title, the link to the game's home page (or its
// README), the credits, and the version that the login sends.
class Tabout : public QDialog
{
    Q_OBJECT

public:
    explicit Tabout(WindowRegistry &registry);

    const AboutLink &link() const { return m_link; }

    // Opens the link with the desktop's default program; a failure is not
    // reported.
    void Label7Click();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void showEvent(QShowEvent *event) override;

private:
    QLabel *centred(const QString &name, const QString &text, int top, int height);
    void Button1Click();

    WindowRegistry &m_registry;
    AboutLink m_link;
    QLabel *Label7 = nullptr;
};
