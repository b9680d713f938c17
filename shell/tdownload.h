#pragma once

#include <QDialog>

struct WindowRegistry;

class Tdownload : public QDialog
{
    Q_OBJECT

public:
    explicit Tdownload(WindowRegistry &registry);

private:
    WindowRegistry &m_registry;
};
