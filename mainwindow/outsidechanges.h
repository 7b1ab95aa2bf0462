#pragma once

#include <QObject>
#include <QString>
#include <QTimer>
#include <functional>

class HotplugSource;
class KMessageWidget;
class QAction;
class QMainWindow;

// Devices appearing, disappearing or changing seat while the window is open,
// done by someone else. Without unsaved changes the window reads the seats
// again, at most once a second however many events come; with unsaved
// changes a message bar at the top of the window names the device and
// offers to reload. What the tool does itself (a save, a reset) is not an
// outside change; a change that comes while the tool reads the seats, or
// while a question or menu is open, is dealt with once it is done.
class OutsideChanges : public QObject
{
    Q_OBJECT
public:
    // Puts the bar into window, with reload as its action.
    OutsideChanges(HotplugSource *source, QMainWindow *window, QAction *reload);

    // The tool is changing or reading the devices itself.
    void setBusy(bool busy);
    // Its own changes may still echo from udev for that long; what came
    // before counts as its own too.
    void ignoreFor(int ms);

    // What the window knows: whether it has unsaved changes, the seat that
    // shows a device (empty: none), a device's name.
    std::function<bool()> hasUnsavedChanges;
    std::function<QString(const QString &syspath)> shownSeatOf;
    std::function<QString(const QString &syspath)> nameOf;

    KMessageWidget *bar() const { return m_bar; }

signals:
    void reloadWanted();

private:
    void onChange(const QString &action, const QString &syspath, const QString &seat);
    void settle();
    void showBar();

    KMessageWidget *m_bar;
    QTimer m_debounce;
    QTimer m_ignore;
    bool m_busy = false;
    // A change not yet dealt with, and what the bar would say of it.
    bool m_pending = false;
    QString m_text;
};
