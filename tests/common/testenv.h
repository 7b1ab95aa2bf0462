#pragma once

#include <QList>
#include <QMessageBox>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QStringList>
#include <QTimer>
#include <functional>

// Shared by all tests: a private environment and a way to answer the modal
// boxes the program opens.
namespace TestEnv {

// Call first in initTestCase(): refuses to run with the real HOME, turns on
// QStandardPaths' test mode, names the application like the program does and
// empties the settings store.
void init();

// Empties the private settings store.
void clearSettings();

QString dataDir();      // tests/data in the source tree
QString emulatorPath(); // the emulated loginctl
QString appPath();      // the zel-admin-multiseat executable

// Reads a whole file (empty when missing).
QByteArray readFile(const QString &path);
bool writeFile(const QString &path, const QByteArray &content);

// The emulated loginctl's call log: one argument list per call. Each line
// holds the arguments joined by TAB, with "\\", TAB and newline escaped; a
// call without arguments is an empty line.
QList<QStringList> readCallLog(const QString &path);

// Why real mouse input cannot be given here (no X server, no xdotool), or
// empty when it can: tests that need it skip with this reason.
QString missingRealInput();

} // namespace TestEnv

// What a modal box showed.
struct SeenBox
{
    QString className; // "QMessageBox", "QInputDialog", ...
    QString title;
    QString text;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QMessageBox::StandardButtons buttons;
};

// Answers modal widgets as they appear, polling the active modal widget.
// Queue one answer per expected box; a box that appears with no queued answer
// is recorded and dismissed (Escape), and counted in unexpected().
class ModalAnswerer : public QObject
{
    Q_OBJECT
public:
    explicit ModalAnswerer(QObject *parent = nullptr);

    void answer(QMessageBox::StandardButton button); // click that button of a QMessageBox
    void answerText(const QString &text);            // type into a QInputDialog and accept
    void cancelInput();                              // reject a QInputDialog
    void act(std::function<void(QWidget *)> action); // anything else (the action must close it)

    QList<SeenBox> seen;
    int pending() const { return m_queue.size(); }
    int unexpected() const { return m_unexpected; }
    void reset();

private:
    void poll();

    QTimer m_timer;
    QPointer<QWidget> m_lastHandled;
    QList<std::function<void(QWidget *)>> m_queue;
    int m_unexpected = 0;
};
