// SPDX-FileCopyrightText: 2026 Zel developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QString>

// The display manager that runs on this machine, and what a save does for
// it. zel-dm needs its configuration switched to multiseat; LightDM, GDM and
// SDDM start a login screen on every new logind seat by themselves; any
// other display manager knows nothing of logind's seats. Every one of them
// is restarted after a save, since an X server that runs keeps a device that
// moved away.
class DisplayManager
{
public:
    enum class Kind
    {
        None,    // no display manager found
        Masked,  // display-manager.service links to /dev/null: none starts
        ZelDm,   // zel-dm
        LightDm, // LightDM
        Gdm,     // GDM (gdm3, gdm)
        Sddm,    // SDDM
        Other,   // one without logind seat support (xdm, nodm, lxdm, ...)
    };

    static const QString UnitLink;    // "/etc/systemd/system/display-manager.service"
    static const QString DefaultFile; // "/etc/X11/default-display-manager"

    // The unit that unitLink links to; failing that, the program named in
    // defaultFile.
    static DisplayManager detect(const QString &unitLink = UnitLink,
                                 const QString &defaultFile = DefaultFile);
    // A display manager by its unit or program name ("lightdm.service",
    // "/usr/sbin/gdm3", "xdm").
    static DisplayManager fromName(const QString &name);

    Kind kind() const { return m_kind; }
    // What the administrator knows it as: "LightDM", "GDM", "SDDM", "zel-dm",
    // or the unit's own name for others; empty for none.
    QString name() const;
    // The unit a save restarts: "zel-dm" for zel-dm, as it always was, else
    // the unit's file name ("lightdm.service"); empty when none runs.
    QString unit() const;

    // Only zel-dm is set up for several seats in its configuration.
    bool editsConfiguration() const { return m_kind == Kind::ZelDm; }
    // Whether a save restarts something.
    bool isRunning() const { return m_kind != Kind::None && m_kind != Kind::Masked; }
    // Whether the further seats get a login screen from it.
    bool servesFurtherSeats() const;
    // GDM runs the seats beyond seat0 on X11 only.
    bool furtherSeatsOnX11Only() const { return m_kind == Kind::Gdm; }

private:
    Kind m_kind = Kind::None;
    QString m_unit; // without ".service"
};
