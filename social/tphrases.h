#pragma once

#include <QDialog>
#include <QString>
#include <array>

class WindowRegistry;
class PhraseButtons;
class QLabel;
class QLineEdit;
class QPushButton;

// The phrase dialog: ten fields, one per phrase button, filled from the
// buttons at each opening. "Done" gives the buttons the fields' texts,
// writes them to the settings file and closes; when the file cannot be
// written the error is reported and the dialog stays open.
class Tphrases : public QDialog
{
    Q_OBJECT

public:
    // The most characters the player may type into a field.
    static constexpr int FieldLength = 50;

    explicit Tphrases(WindowRegistry &registry);

    // Fills the fields from the buttons and shows the dialog, not modal.
    void PrhaseList1Click(PhraseButtons &phrases);
    void button_doneClick();

    QLineEdit *phraseField(int n) const { return phrase[size_t(n)]; }
    // The file "Done" writes; the program folder's settings file unless a
    // test gives another.
    QString settingsPath() const { return m_path; }
    void setSettingsPath(const QString &path) { m_path = path; }

signals:
    // The buttons carry new phrases.
    void applied();

protected:
    void paintEvent(QPaintEvent *event) override;
    void showEvent(QShowEvent *event) override;

private:
    WindowRegistry &m_registry;
    PhraseButtons *m_phrases = nullptr;
    QString m_path;
    std::array<QLabel *, 11> label{};
    std::array<QLineEdit *, 11> phrase{};
    QLabel *label_cooldown;
    QPushButton *button_done;
};
