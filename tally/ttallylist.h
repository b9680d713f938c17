#pragma once

#include <QDialog>

struct WindowRegistry;

class Ttallylist : public QDialog
{
    Q_OBJECT

public:
    explicit Ttallylist(WindowRegistry &registry);

private:
    WindowRegistry &m_registry;
};
