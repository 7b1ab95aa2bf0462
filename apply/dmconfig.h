// SPDX-FileCopyrightText: 2026 Zel developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <functional>
#include <sys/types.h>

// One way of switching the display manager's configuration between its
// default line and the line that lets the X server run as root.
struct DmConfigRule
{
    QString path;        // the configuration file
    QString defaultLine; // text that starts the default line
    QString activeLine;  // text that starts the line put in its place
};

// What a configuration file holds with respect to one rule.
enum DmConfigState : int
{
    NeitherLine = 0,
    FileUnavailable = 1,
    DefaultOnly = 2,
    ActivePresent = 3,
    ActiveWithMarkedDefault = 4,
};

enum class DmConfigMode
{
    Apply,   // put the active line in place of the default line
    Restore, // remove the active line and bring the default line back
};

// What updateDmConfig does for a pair of states.
enum class DmConfigAction
{
    Nothing,
    Warn,
    Apply0,
    Apply1,
    Restore0,
    Restore1,
};

// The steps of an edit, in their order.
enum class DmEditStep
{
    OpenHome,      // the home directory, refused unless only its owner can write it
    RemoveStale,   // a copy left by an earlier edit
    CreateCopy,    // the working copy, created anew
    ReadConfig,    // the configuration
    WriteCopy,     // the configuration into the copy
    ReadCopy,      // the copy back, line by line
    WriteResult,   // the edited lines into the copy
    ReplaceConfig, // the configuration replaced by the edited lines
    RemoveCopy,    // the copy, done with
};

// Where tests reach into an edit: a call before every step, the reads and
// writes of file contents and the copying of extended attributes (::read,
// ::write and ::fsetxattr unless set), and a signal that interrupts a system
// call before it does anything (none unless set; true: this one).
struct DmConfigSeams
{
    std::function<void(DmEditStep step)> beforeStep;
    std::function<ssize_t(int fd, void *buffer, size_t size)> read;
    std::function<ssize_t(int fd, const void *buffer, size_t size)> write;
    std::function<int(int fd, const char *name, const void *value, size_t size)> setAttribute;
    std::function<bool()> interrupt;
};

namespace DmConfig {
extern const QString ConfigPath; // "/etc/X11/zel-dm/zel-dmrc"
extern const QString Marker;     // "##commented ", prefix of a line the tool commented out

// Rule 0 ("# ServerUID=auto") and rule 1 ("#ServerUID=auto") for that file.
QList<DmConfigRule> rules(const QString &path);

// The working copy of an edit: the file's name plus ".tmp" in the home directory.
QString temporaryPath(const QString &path);
// Where the new configuration is written before it takes the old one's
// place: beside it, a hidden name of the tool's own.
QString replacementPath(const QString &path);

// The decision for the states p (rule 0) and q (rule 1).
DmConfigAction action(bool seatsRemain, DmConfigState p, DmConfigState q);

// The lines of a file as edits see them: split at line feeds, each trimmed
// of blanks at both ends (a carriage return before the line feed among
// them); every other byte is kept as it is.
QList<QByteArray> trimmedLines(const QByteArray &content);
// The lines the edit gives, and whether it changed anything.
QList<QByteArray> editedLines(const QList<QByteArray> &lines, const DmConfigRule &rule,
                              DmConfigMode mode, bool *modified);
} // namespace DmConfig

DmConfigState checkDmConfig(const DmConfigRule &rule, const DmConfigSeams &seams = {});

// Rewrites the file by the rule through a working copy in the home
// directory. False when nothing changed or the file could not be replaced;
// the file then keeps its old content.
bool editDmConfig(const DmConfigRule &rule, DmConfigMode mode, const DmConfigSeams &seams = {});

// Shows the administrator a warning text (translated, context "MainWindow").
using DmConfigWarning = std::function<void(const QString &text)>;

// Brings the configuration in line with the seats that remain after a save;
// warn() tells the administrator when the file has to be edited by hand,
// also when the edit chosen failed.
void updateDmConfig(bool seatsRemain, const DmConfigWarning &warn,
                    const QString &configPath = DmConfig::ConfigPath,
                    const DmConfigSeams &seams = {});
