// SPDX-FileCopyrightText: 2026 Zel developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "common/testenv.h"

#include "core/constants.h"

#include <QApplication>
#include <QCoreApplication>
#include <QDialog>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
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
    answerPromptsWithEscape();
}

void answerPromptsWithEscape()
{
    // No test may wait for a person: a prompt nobody expected is answered as
    // Escape would answer it, and said.
    Prompt::setHook([](const Prompt::Request &request) {
        qWarning("unexpected prompt \"%s\": %s", qPrintable(request.title),
                 qPrintable(request.text));
        return PromptAnswerer::escape(request);
    });
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

QString udevadmEmulatorPath()
{
    return QStringLiteral(ZEL_UDEVADM_EMULATOR_PATH);
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

namespace {

// The fields of /proc/PID/stat after the command name: state, parent, ...
QStringList statFields(qint64 pid)
{
    const QByteArray stat = readFile(QStringLiteral("/proc/%1/stat").arg(pid));
    const int close = stat.lastIndexOf(')');
    if (close < 0)
        return {};
    return QString::fromLatin1(stat.mid(close + 2)).split(QLatin1Char(' '));
}

} // namespace

bool processAlive(qint64 pid)
{
    const QStringList fields = statFields(pid);
    return !fields.isEmpty() && fields.first() != QLatin1String("Z") &&
           fields.first() != QLatin1String("X");
}

int openDescriptors()
{
    // The count holds the descriptor that reads the list, every time alike.
    return QDir(QStringLiteral("/proc/self/fd"))
        .entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::System)
        .size();
}

QList<qint64> emulatorChildren(qint64 pid)
{
    const QStringList emulators{QFileInfo(emulatorPath()).canonicalFilePath(),
                                QFileInfo(udevadmEmulatorPath()).canonicalFilePath()};
    QList<qint64> children;
    const QStringList entries = QDir(QStringLiteral("/proc")).entryList(QDir::Dirs);
    for (const QString &entry : entries) {
        bool number = false;
        const qint64 child = entry.toLongLong(&number);
        if (!number || !processAlive(child) || statFields(child).value(1).toLongLong() != pid)
            continue;
        const QString exe = QFileInfo(QStringLiteral("/proc/%1/exe").arg(child)).symLinkTarget();
        if (emulators.contains(exe))
            children.append(child);
    }
    return children;
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

namespace {

// What the emulators read, and the file of this system each names.
const char *const EmulatorVariables[][2] = {
    {"ZEL_LOGINCTL_LOG", "calls.log"},
    {"ZEL_LOGINCTL_MACHINE", "machine"},
    {"ZEL_UDEVADM_LOG", "udevadm.log"},
    {"ZEL_EMULATOR_SEQUENCE_LOG", "sequence.log"},
};

} // namespace

EmulatedSystem::EmulatedSystem()
{
    for (const auto &variable : EmulatorVariables)
        qputenv(variable[0], QFile::encodeName(path(QLatin1String(variable[1]))));
    // A fault a failed test left behind.
    qunsetenv("ZEL_UDEVADM_FAULT");
}

EmulatedSystem::~EmulatedSystem()
{
    // A system made before this one is gone may have set them already.
    for (const auto &variable : EmulatorVariables) {
        if (qgetenv(variable[0]) == QFile::encodeName(path(QLatin1String(variable[1]))))
            qunsetenv(variable[0]);
    }
}

QString EmulatedSystem::path(const QString &relative) const
{
    return relative.isEmpty() ? m_dir.path() : m_dir.path() + QLatin1Char('/') + relative;
}

bool EmulatedSystem::useMachine(const QString &name, const QByteArray &extra)
{
    const QByteArray content =
        TestEnv::readFile(TestEnv::dataDir() + QStringLiteral("/machines/") + name);
    return !content.isEmpty() && writeMachine(content + "\n" + extra);
}

bool EmulatedSystem::writeMachine(const QByteArray &content)
{
    return TestEnv::writeFile(machinePath(), content);
}

bool EmulatedSystem::appendToMachine(const QByteArray &lines)
{
    QFile file(machinePath());
    if (!file.open(QIODevice::WriteOnly | QIODevice::Append))
        return false;
    return file.write("\n" + lines + "\n") == lines.size() + 2;
}

QByteArray EmulatedSystem::machine() const
{
    return TestEnv::readFile(machinePath());
}

QList<QStringList> EmulatedSystem::calls() const
{
    return TestEnv::readCallLog(path(QStringLiteral("calls.log")));
}

QList<QStringList> EmulatedSystem::udevadmCalls() const
{
    return TestEnv::readCallLog(path(QStringLiteral("udevadm.log")));
}

QList<QStringList> EmulatedSystem::sequence() const
{
    return TestEnv::readCallLog(path(QStringLiteral("sequence.log")));
}

PromptAnswerer::PromptAnswerer()
{
    Prompt::setHook([this](const Prompt::Request &request) { return respond(request); });
}

PromptAnswerer::~PromptAnswerer()
{
    TestEnv::answerPromptsWithEscape();
}

Prompt::Answer PromptAnswerer::escape(const Prompt::Request &request)
{
    Prompt::Answer answer;
    if (request.kind != Prompt::Kind::Information && request.kind != Prompt::Kind::Warning &&
        request.kind != Prompt::Kind::Critical && request.kind != Prompt::Kind::Question)
        return answer;
    // QMessageBox's escape button: Cancel, else No, else the only button.
    for (QMessageBox::StandardButton button : {QMessageBox::Cancel, QMessageBox::No}) {
        if (request.buttons.testFlag(button)) {
            answer.button = button;
            return answer;
        }
    }
    answer.button =
        request.buttons.testFlag(QMessageBox::Ok) ? QMessageBox::Ok : QMessageBox::NoButton;
    return answer;
}

namespace {

bool isMessage(const Prompt::Request &request)
{
    return request.kind != Prompt::Kind::TextInput && request.kind != Prompt::Kind::Dialog;
}

} // namespace

void PromptAnswerer::answer(QMessageBox::StandardButton button)
{
    m_queue.append([button](const Prompt::Request &request) {
        if (!isMessage(request) || !request.buttons.testFlag(button))
            return escape(request);
        Prompt::Answer answer;
        answer.button = button;
        return answer;
    });
}

void PromptAnswerer::answerText(const QString &text)
{
    m_queue.append([text](const Prompt::Request &request) {
        if (request.kind != Prompt::Kind::TextInput && request.kind != Prompt::Kind::OpenFile &&
            request.kind != Prompt::Kind::SaveFile && request.kind != Prompt::Kind::Choice)
            return escape(request);
        Prompt::Answer answer;
        answer.accepted = true;
        answer.text = text;
        return answer;
    });
}

void PromptAnswerer::cancelInput()
{
    m_queue.append([](const Prompt::Request &request) { return escape(request); });
}

void PromptAnswerer::act(std::function<void(QWidget *)> action)
{
    m_queue.append([action](const Prompt::Request &request) {
        if (request.kind != Prompt::Kind::Dialog || !request.dialog)
            return escape(request);
        request.dialog->setResult(QDialog::Rejected);
        action(request.dialog);
        Prompt::Answer answer;
        answer.accepted = request.dialog->result() == QDialog::Accepted;
        return answer;
    });
}

void PromptAnswerer::answerWith(Handler handler)
{
    m_queue.append(std::move(handler));
}

void PromptAnswerer::reset()
{
    seen.clear();
    m_queue.clear();
    m_unexpected = 0;
}

Prompt::Answer PromptAnswerer::respond(const Prompt::Request &request)
{
    SeenBox box;
    box.title = request.title;
    box.text = request.text;
    box.buttons = request.buttons;
    switch (request.kind) {
    case Prompt::Kind::Information:
        box.icon = QMessageBox::Information;
        break;
    case Prompt::Kind::Warning:
        box.icon = QMessageBox::Warning;
        break;
    case Prompt::Kind::Critical:
        box.icon = QMessageBox::Critical;
        break;
    case Prompt::Kind::Question:
        box.icon = QMessageBox::Question;
        break;
    default:
        break;
    }
    box.className = request.kind == Prompt::Kind::TextInput ? QStringLiteral("QInputDialog")
                    : request.kind == Prompt::Kind::Dialog && request.dialog
                        ? QString::fromLatin1(request.dialog->metaObject()->className())
                        : QStringLiteral("QMessageBox");
    seen.append(box);
    if (m_queue.isEmpty()) {
        ++m_unexpected;
        return escape(request);
    }
    return m_queue.takeFirst()(request);
}
