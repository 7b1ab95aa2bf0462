#include "common/testenv.h"

#include "app/constants.h"

#include <QApplication>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QInputDialog>
#include <QPushButton>
#include <QSettings>
#include <QStandardPaths>
#include <QTest>
#include <QWidget>

namespace TestEnv {

void init()
{
    const QString home = QDir::homePath();
    const QByteArray envHome = qgetenv("HOME");
    if (envHome.isEmpty() || home == QStringLiteral("/root") ||
        !home.contains(QStringLiteral("/home/")))
        qFatal("tests need the private HOME that CTest sets (got %s)", qPrintable(home));
    QDir().mkpath(home);
    QDir().mkpath(QString::fromLocal8Bit(qgetenv("XDG_CONFIG_HOME")));
    const QString runtime = QString::fromLocal8Bit(qgetenv("XDG_RUNTIME_DIR"));
    if (!runtime.isEmpty()) {
        QDir().mkpath(runtime);
        QFile::setPermissions(runtime, QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                           QFileDevice::ExeOwner);
    }
    QStandardPaths::setTestModeEnabled(true);
    QCoreApplication::setOrganizationName(QStringLiteral("zel"));
    QCoreApplication::setApplicationName(QStringLiteral("zel-admin-multiseat-test"));
    clearSettings();
}

void clearSettings()
{
    QSettings settings;
    settings.clear();
    settings.sync();
}

QString dataDir()
{
    return QStringLiteral(ZEL_TEST_DATA_DIR);
}

QString emulatorPath()
{
    return QStringLiteral(ZEL_EMULATOR_PATH);
}

QString appPath()
{
    return QStringLiteral(ZEL_APP_PATH);
}

QByteArray readFile(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return file.readAll();
}

bool writeFile(const QString &path, const QByteArray &content)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return false;
    return file.write(content) == content.size();
}

QList<QStringList> readCallLog(const QString &path)
{
    QList<QStringList> calls;
    QStringList lines = QString::fromUtf8(readFile(path)).split(QLatin1Char('\n'));
    lines.removeLast(); // what follows the last newline
    for (const QString &line : qAsConst(lines)) {
        QStringList args;
        QString current;
        for (int i = 0; i < line.size(); ++i) {
            const QChar c = line.at(i);
            if (c == QLatin1Char('\t')) {
                args << current;
                current.clear();
            } else if (c == QLatin1Char('\\') && i + 1 < line.size()) {
                const QChar escaped = line.at(++i);
                current += escaped == QLatin1Char('t')   ? QChar(QLatin1Char('\t'))
                           : escaped == QLatin1Char('n') ? QChar(QLatin1Char('\n'))
                                                         : escaped;
            } else {
                current += c;
            }
        }
        args << current;
        calls << args;
    }
    return calls;
}

QString missingRealInput()
{
    if (QGuiApplication::platformName() != QLatin1String("xcb") ||
        qEnvironmentVariableIsEmpty("DISPLAY"))
        return QStringLiteral("needs a real X server (DISPLAY); run through tests/run-under-xvfb");
    if (QStandardPaths::findExecutable(QStringLiteral("xdotool")).isEmpty())
        return QStringLiteral("needs xdotool for real mouse input");
    return QString();
}

} // namespace TestEnv

ModalAnswerer::ModalAnswerer(QObject *parent) : QObject(parent)
{
    m_timer.setInterval(10);
    connect(&m_timer, &QTimer::timeout, this, &ModalAnswerer::poll);
    m_timer.start();
}

void ModalAnswerer::answer(QMessageBox::StandardButton button)
{
    m_queue.append([button](QWidget *w) {
        auto *box = qobject_cast<QMessageBox *>(w);
        if (box && box->button(button)) {
            box->button(button)->click();
        } else {
            QTest::keyClick(w, Qt::Key_Escape);
        }
    });
}

void ModalAnswerer::answerText(const QString &text)
{
    m_queue.append([text](QWidget *w) {
        if (auto *dialog = qobject_cast<QInputDialog *>(w)) {
            dialog->setTextValue(text);
            dialog->accept();
        } else {
            QTest::keyClick(w, Qt::Key_Escape);
        }
    });
}

void ModalAnswerer::cancelInput()
{
    m_queue.append([](QWidget *w) {
        if (auto *dialog = qobject_cast<QDialog *>(w))
            dialog->reject();
    });
}

void ModalAnswerer::act(std::function<void(QWidget *)> action)
{
    m_queue.append(std::move(action));
}

void ModalAnswerer::reset()
{
    seen.clear();
    m_queue.clear();
    m_unexpected = 0;
    m_lastHandled = nullptr;
}

void ModalAnswerer::poll()
{
    QWidget *w = QApplication::activeModalWidget();
    if (!w || !w->isVisible() || w == m_lastHandled)
        return;
    m_lastHandled = w;
    SeenBox box;
    box.className = QString::fromLatin1(w->metaObject()->className());
    box.title = w->windowTitle();
    if (auto *mb = qobject_cast<QMessageBox *>(w)) {
        box.text = mb->text();
        box.icon = mb->icon();
        box.buttons = mb->standardButtons();
    } else if (auto *dialog = qobject_cast<QInputDialog *>(w)) {
        box.text = dialog->labelText();
    }
    seen.append(box);
    if (m_queue.isEmpty()) {
        ++m_unexpected;
        if (auto *dialog = qobject_cast<QDialog *>(w))
            dialog->reject();
        return;
    }
    auto action = m_queue.takeFirst();
    // Act outside the poll so the box's own event loop handles the click.
    QTimer::singleShot(0, w, [action, w]() { action(w); });
}
