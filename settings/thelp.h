#pragma once

#include <QDialog>
#include <QList>

class QLabel;
class QPushButton;
class QStackedWidget;
class QTextBrowser;
class WindowRegistry;

// The help window: topic buttons on the left, the chosen topic's page on the
// right under its caption. It keeps the last topic chosen between openings.
class Thelp : public QDialog
{
    Q_OBJECT

public:
    explicit Thelp(WindowRegistry &registry);

    // Brings the page of the topic with this tag to the front and puts the
    // button's caption above it; an unknown tag changes nothing.
    void showTopic(int tag);
    // The tag of the topic in front.
    int topic() const { return m_topic; }

    QLabel *captionLabel() const { return label_caption; }
    // The page in front.
    QTextBrowser *currentPage() const;

protected:
    void showEvent(QShowEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    QWidget *buildTopicPanel();
    QWidget *buildPagePanel();
    void SelButton1Click();
    void button_aboutClick();
    void button_doneClick();

    WindowRegistry &m_registry;
    int m_topic = 0;
    QLabel *label_caption = nullptr;
    QLabel *label_year = nullptr;
    QStackedWidget *m_pages = nullptr;
    QList<QTextBrowser *> m_memos;
};
