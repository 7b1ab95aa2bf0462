// SPDX-FileCopyrightText: 2026 Zel developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "platform/helpwindow.h"

#include "core/uilanguage.h"

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

QString HelpWindow::pageFor(const QString &language)
{
    if (!language.isEmpty()) {
        for (const QString &candidate : {language, language.section(QLatin1Char('_'), 0, 0)}) {
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
    // The tool ends with its main window, whether the help is open or not.
    setAttribute(Qt::WA_QuitOnClose, false);
    setWindowTitle(tr("Help"));
    resize(640, 560);

    m_browser = new QTextBrowser(this);
    m_browser->setObjectName(QStringLiteral("helpBrowser"));
    m_browser->setOpenExternalLinks(false);
    m_browser->setSource(QUrl(QLatin1String("qrc") + pageFor(UiLanguage::current())));

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
