// SPDX-FileCopyrightText: 2026 Zel developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The settings the window reads back, from whatever file stands where they
// are kept: the seats' display names (each as a seat label shows it) and the
// window geometry (restored on the window). Besides crashes: a label never
// shows more than its limit, and a seat without a stored name is shown
// under its identifier.

#include "core/appsettings.h"
#include "seatpanel/myviewlabel.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QMainWindow>
#include <QSettings>

#include <cstddef>
#include <cstdint>
#include <cstdlib>

namespace {

QString g_dir;
int g_run = 0;
QMainWindow *g_window = nullptr; // one for all inputs, as the program has one

} // namespace

extern "C" int LLVMFuzzerInitialize(int *argc, char ***argv)
{
    // The tests' fonts: what fontconfig keeps of a full system's
    // configuration for good would count as a leak.
    ::setenv("FONTCONFIG_FILE", ZEL_FONTCONFIG_FILE, 0);
    char templ[] = "/tmp/zel-fuzz-settings.XXXXXX";
    if (!::mkdtemp(templ))
        std::abort();
    g_dir = QString::fromLocal8Bit(templ);
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, g_dir);
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, g_dir);
    new QApplication(*argc, *argv);
    QCoreApplication::setOrganizationName(QStringLiteral("zel"));
    // Set up once, before the first input: what the window system keeps
    // for good is no leak of an input.
    QApplication::font();
    g_window = new QMainWindow;
    g_window->restoreGeometry(g_window->saveGeometry());
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    // A file of its own each time: the settings' cache goes by name, size
    // and time, and two inputs may share all three.
    const QString app = QStringLiteral("run%1").arg(++g_run);
    QCoreApplication::setApplicationName(app);
    const QString file = g_dir + QStringLiteral("/zel/") + app + QStringLiteral(".conf");
    QDir().mkpath(g_dir + QStringLiteral("/zel"));
    {
        QFile out(file);
        if (!out.open(QIODevice::WriteOnly) ||
            out.write(reinterpret_cast<const char *>(data), qint64(size)) != qint64(size))
            std::abort();
    }

    for (const QString &seat : AppSettings::namedSeats()) {
        if (MyViewLabel::shownText(AppSettings::seatDisplayName(seat)).size() >
            MyViewLabel::MaxLength)
            std::abort();
    }
    const QString unnamed = QStringLiteral("seat-never-stored");
    if (!AppSettings::namedSeats().contains(unnamed) &&
        AppSettings::seatDisplayName(unnamed) != unnamed)
        std::abort();
    AppSettings::emptySeatsAllowed();
    AppSettings::showUnknownDevices();
    g_window->restoreGeometry(AppSettings::geometry());

    QFile::remove(file);
    return 0;
}
