#pragma once

#include <QWidget>

class QTextBrowser;

// The help of the tool: a window with the text kept in the program's resources.
class HelpWindow : public QWidget
{
    Q_OBJECT
public:
    explicit HelpWindow(QWidget *parent = nullptr);

    // Shows the window at the anchor named topic (the start when empty).
    void showTopic(const QString &topic);

    QTextBrowser *browser() const { return m_browser; }

private:
    QTextBrowser *m_browser;
};
