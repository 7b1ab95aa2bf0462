#pragma once

#include <QList>
#include <QString>
#include <functional>

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

namespace DmConfig {
extern const QString ConfigPath; // "/etc/X11/zel-dm/zel-dmrc"
extern const QString Marker;     // "##commented ", prefix of a line the tool commented out

// Rule 0 ("# ServerUID=auto") and rule 1 ("#ServerUID=auto") for that file.
QList<DmConfigRule> rules(const QString &path);

// The working copy of an edit: the file's name plus ".tmp" in the home directory.
QString temporaryPath(const QString &path);

// The decision for the states p (rule 0) and q (rule 1).
DmConfigAction action(bool seatsRemain, DmConfigState p, DmConfigState q);
} // namespace DmConfig

DmConfigState checkDmConfig(const DmConfigRule &rule);

// Rewrites the file by the rule. False when nothing changed or the file could
// not be replaced; the file then keeps its old content.
bool editDmConfig(const DmConfigRule &rule, DmConfigMode mode);

// Shows the administrator a warning text (translated, context "MainWindow").
using DmConfigWarning = std::function<void(const QString &text)>;

// Brings the configuration in line with the seats that remain after a save;
// warn() tells the administrator when the file has to be edited by hand.
void updateDmConfig(bool seatsRemain, const DmConfigWarning &warn,
                    const QString &configPath = DmConfig::ConfigPath);
