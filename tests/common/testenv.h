// SPDX-FileCopyrightText: 2026 Zel developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "platform/prompt.h"

#include <QList>
#include <QMessageBox>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <functional>

// Shared by all tests: a private environment and a way to answer the modal
// boxes the program opens.
namespace TestEnv {

// Call first in initTestCase(): refuses to run with the real HOME, turns on
// QStandardPaths' test mode, names the application like the program does and
// empties the settings store.
void init();

// Answers every prompt as Escape would, with a warning (init() sets it up,
// and it stays whenever no PromptAnswerer answers).
void answerPromptsWithEscape();

// Empties the private settings store.
void clearSettings();

QString dataDir();             // tests/data in the source tree
QString emulatorPath();        // the emulated loginctl
QString udevadmEmulatorPath(); // the emulated udevadm
QString appPath();             // the zel-admin-multiseat executable

// Reads a whole file (empty when missing).
QByteArray readFile(const QString &path);
bool writeFile(const QString &path, const QByteArray &content);

// The emulated loginctl's call log: one argument list per call. Each line
// holds the arguments joined by TAB, with "\\", TAB and newline escaped; a
// call without arguments is an empty line.
QList<QStringList> readCallLog(const QString &path);

// The living processes (zombies left out) whose parent is pid and whose
// executable is one of the emulated loginctl and udevadm.
QList<qint64> emulatorChildren(qint64 pid);
// Whether the process lives (exists and is no zombie).
bool processAlive(qint64 pid);
// How many file descriptors this process has open.
int openDescriptors();

// Why real mouse input cannot be given here (no X server, no xdotool), or
// empty when it can: tests that need it skip with this reason.
QString missingRealInput();

} // namespace TestEnv

// A private system for the emulated loginctl and udevadm: a temporary
// directory with the machine description they read and the call logs they
// write, named in the environment (with no udevadm fault) until the next
// one is made or this one goes.
class EmulatedSystem
{
public:
    EmulatedSystem();
    ~EmulatedSystem();

    bool isValid() const { return m_dir.isValid(); }
    // A file in the directory; the directory itself for an empty name.
    QString path(const QString &relative = {}) const;

    // Copies tests/data/machines/<name>, with extra lines appended.
    bool useMachine(const QString &name, const QByteArray &extra = {});
    // A description written out by the test.
    bool writeMachine(const QByteArray &content);
    // Faults and devices may be appended at any time.
    bool appendToMachine(const QByteArray &lines);
    QByteArray machine() const;
    QString machinePath() const { return path(QStringLiteral("machine")); }

    // The emulated loginctl's call log, one argument list per call.
    QList<QStringList> calls() const;
    // The emulated udevadm's.
    QList<QStringList> udevadmCalls() const;
    // Both, in the order they were made, each call led by its program's name.
    QList<QStringList> sequence() const;

private:
    QTemporaryDir m_dir;
};

// What a prompt showed.
struct SeenBox
{
    QString className; // "QMessageBox", "QInputDialog", or the dialog's class
    QString title;
    QString text; // the message, or the label of a text input
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QMessageBox::StandardButtons buttons;
};

// Answers the program's prompts in place of the administrator, through the
// prompt hook: no box is shown and nothing polls for one. Queue one answer
// per expected prompt; a prompt with no queued answer is recorded, answered
// as Escape would answer it, and counted in unexpected(). Only one answerer
// may exist at a time.
class PromptAnswerer
{
public:
    using Handler = std::function<Prompt::Answer(const Prompt::Request &)>;

    PromptAnswerer();
    ~PromptAnswerer();

    void answer(QMessageBox::StandardButton button); // that button of a message box
    // Type into a text input, pick a file or a choice, and accept.
    void answerText(const QString &text);
    void cancelInput(); // cancel a text input or a dialog
    // A dialog (the create-seat dialog): the action fills it in and accepts
    // or rejects it; the dialog's result is the answer.
    void act(std::function<void(QWidget *)> action);
    // Anything else.
    void answerWith(Handler handler);

    QList<SeenBox> seen;
    int pending() const { return m_queue.size(); }
    int unexpected() const { return m_unexpected; }
    void reset();

    // What Escape answers to a request.
    static Prompt::Answer escape(const Prompt::Request &request);

private:
    Prompt::Answer respond(const Prompt::Request &request);

    QList<Handler> m_queue;
    int m_unexpected = 0;
};
