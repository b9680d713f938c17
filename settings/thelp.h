#pragma once

#include <QDialog>

struct WindowRegistry;

class Thelp : public QDialog
{
    Q_OBJECT

public:
    explicit Thelp(WindowRegistry &registry);

private:
    WindowRegistry &m_registry;
};
