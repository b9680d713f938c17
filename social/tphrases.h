#pragma once

#include <QDialog>

struct WindowRegistry;

class Tphrases : public QDialog
{
    Q_OBJECT

public:
    explicit Tphrases(WindowRegistry &registry);

private:
    WindowRegistry &m_registry;
};
