#pragma once

#include <QDialog>

struct WindowRegistry;

class Tgamestart : public QDialog
{
    Q_OBJECT

public:
    explicit Tgamestart(WindowRegistry &registry);

private:
    WindowRegistry &m_registry;
};
