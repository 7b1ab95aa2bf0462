#include "platform/helpwindow.h"

#include <QDialogButtonBox>
#include <QFileInfo>
#include <QPushButton>
#include <QTextBrowser>
#include <QVBoxLayout>

static void initHelpResources()
{
    // The text sits in a static library; make sure its resource is linked in.
    Q_INIT_RESOURCE(help);
}

QString HelpWindow::pageFor(const QLocale &locale)
{
    // The same choice the translators make: "de-AT" tries de_AT, then de.
    for (QString language : locale.uiLanguages()) {
        language.replace(QLatin1Char('-'), QLatin1Char('_'));
        QStringList candidates{language};
        if (language.contains(QLatin1Char('_')))
            candidates << language.section(QLatin1Char('_'), 0, 0);
        for (const QString &candidate : candidates) {
            const QString page = QStringLiteral(":/help/help_%1.html").arg(candidate);
            if (QFileInfo::exists(page))
                return page;
        }
    }
    return QStringLiteral(":/help/help.html");
}

HelpWindow::HelpWindow(QWidget *parent) : QWidget(parent, Qt::Window)
{
    initHelpResources();
    setObjectName(QStringLiteral("helpWindow"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(tr("Help"));
    resize(640, 560);

    m_browser = new QTextBrowser(this);
    m_browser->setObjectName(QStringLiteral("helpBrowser"));
    m_browser->setOpenExternalLinks(false);
    m_browser->setSource(QUrl(QLatin1String("qrc") + pageFor(QLocale())));

    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    connect(buttons, &QDialogButtonBox::rejected, this, &QWidget::close);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_browser);
    layout->addWidget(buttons);
}

void HelpWindow::showTopic(const QString &topic)
{
    if (!topic.isEmpty())
        m_browser->scrollToAnchor(topic);
    show();
    setWindowState(windowState() & ~Qt::WindowMinimized);
    raise();
    activateWindow();
}
