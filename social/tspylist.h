#pragma once

#include <QDialog>

struct WindowRegistry;

class Tspylist : public QDialog
{
    Q_OBJECT

public:
    explicit Tspylist(WindowRegistry &registry);

private:
    WindowRegistry &m_registry;
};
