#pragma once

#include <QDialog>

struct WindowRegistry;

class Tabout : public QDialog
{
    Q_OBJECT

public:
    explicit Tabout(WindowRegistry &registry);

private:
    WindowRegistry &m_registry;
};
