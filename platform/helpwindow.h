#pragma once

#include <QLocale>
#include <QWidget>

class QTextBrowser;

// The help of the tool: a window with the text kept in the program's resources,
// in the user's language where there is a page for it.
class HelpWindow : public QWidget
{
    Q_OBJECT
public:
    explicit HelpWindow(QWidget *parent = nullptr);

    // The resource path of the page for the locale's languages, tried in the
    // order the user prefers them; the English page when none has one.
    static QString pageFor(const QLocale &locale);

    // Shows the window at the anchor named topic (the start when empty).
    void showTopic(const QString &topic);

    QTextBrowser *browser() const { return m_browser; }

private:
    QTextBrowser *m_browser;
};
