// SPDX-FileCopyrightText: 2026 Zel developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "ctl/multiseatctl.h"

#include "apply/displaymanager.h"
#include "apply/dmconfig.h"
#include "apply/layouthistory.h"
#include "apply/seatreset.h"
#include "apply/videocarddetector.h"
#include "core/applylock.h"
#include "core/appsettings.h"
#include "core/constants.h"
#include "core/terminationsignals.h"
#include "seatstate/layoutdiff.h"
#include "seatstate/layoutmapping.h"
#include "seatstate/seatsessions.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QEventLoop>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

MultiseatCtl::MultiseatCtl(const ApplyEnvironment &environment, const Io &io, QObject *parent)
    : QObject(parent), m_environment(environment), m_io(io)
{
    if (TerminationSignals *termination = TerminationSignals::instance()) {
        connect(termination, &TerminationSignals::received, this,
                [this] { m_endingOnSignal = true; });
    }
}

QString MultiseatCtl::ruleName(SaveMessage message)
{
    switch (message) {
    case SaveMessage::MainVideocardMoved:
        return QStringLiteral("main-videocard-moved");
    case SaveMessage::MainSeatWithoutCard:
        return QStringLiteral("main-seat-without-videocard");
    case SaveMessage::MainSeatLacksInput:
        return QStringLiteral("main-seat-without-input");
    case SaveMessage::RestartQuestion:
        return QStringLiteral("restart");
    case SaveMessage::SeatWithoutVideocard:
        return QStringLiteral("seat-without-videocard");
    case SaveMessage::EmptySeatsDeleted:
        return QStringLiteral("empty-seats");
    case SaveMessage::SeatWithoutInputDevices:
        return QStringLiteral("seat-without-input");
    case SaveMessage::UnexpectedError:
        return QStringLiteral("unexpected");
    case SaveMessage::DeviceOnTwoSeats:
        return QStringLiteral("device-on-two-seats");
    }
    return QString();
}

void MultiseatCtl::say(const QString &text)
{
    // Device names come from the devices themselves: no escape sequence of
    // theirs reaches the terminal.
    QString safe;
    for (const QChar c : text) {
        if (c == QLatin1Char('\n') || c == QLatin1Char('\t') || !LayoutDiff::isControl(c))
            safe += c;
        else
            safe += QStringLiteral("\\x%1").arg(c.unicode(), 2, 16, QLatin1Char('0'));
    }
    *m_io.err << ApplyLock::CommandHolder << ": " << safe << '\n';
    m_io.err->flush();
}

bool MultiseatCtl::stoppedBySignal()
{
    // Until the first attach nothing has changed, and nothing will.
    if (m_endingOnSignal)
        say(tr("Ended by a signal; nothing was changed."));
    return m_endingOnSignal;
}

int MultiseatCtl::run(const QStringList &arguments)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(
        tr("Shows, exports and applies the layout of the seats of this multiseat computer.\n"
           "\n"
           "Verbs:\n"
           "  show [--json]        the seats and their devices as logind has them now\n"
           "  export [FILE]        the layout as a layout file (standard output without FILE)\n"
           "  apply FILE [--check] [--diff] [--no-restart]\n"
           "                       make this machine's layout the file's, as a save in the\n"
           "                       window does\n"
           "  reset [--yes] [--check]\n"
           "                       every device back to the main seat, every further seat gone\n"
           "\n"
           "Exit codes:\n"
           "  0  nothing to change: nothing attached, nothing restarted\n"
           "  1  an error\n"
           "  2  changed, or would change with --check\n"
           "  3  refused by a layout rule, which the message names"));
    parser.addHelpOption();
    parser.addVersionOption();
    const QCommandLineOption json(QStringLiteral("json"), tr("show: print JSON."));
    const QCommandLineOption check(
        QStringLiteral("check"),
        tr("apply, reset: change nothing, only tell whether a change is due."));
    const QCommandLineOption diff(QStringLiteral("diff"),
                                  tr("apply: print the moves on standard output, one per line."));
    const QCommandLineOption noRestart(QStringLiteral("no-restart"),
                                       tr("apply: do not restart the display manager."));
    const QCommandLineOption yes(QStringLiteral("yes"), tr("reset: do not ask."));
    parser.addOptions({json, check, diff, noRestart, yes});
    parser.addPositionalArgument(QStringLiteral("verb"), tr("show, export, apply or reset."));
    parser.addPositionalArgument(QStringLiteral("file"), tr("The layout file."),
                                 QStringLiteral("[FILE]"));

    if (!parser.parse(arguments)) {
        say(parser.errorText());
        return Failed;
    }
    if (parser.isSet(QStringLiteral("help"))) {
        *m_io.out << parser.helpText();
        return Unchanged;
    }
    if (parser.isSet(QStringLiteral("version"))) {
        *m_io.out << ApplyLock::CommandHolder << ' ' << QCoreApplication::applicationVersion()
                  << '\n';
        return Unchanged;
    }

    const QStringList words = parser.positionalArguments();
    const QString verb = words.value(0);
    // Which options and how many words each verb takes.
    struct Verb
    {
        QString name;
        QList<const QCommandLineOption *> options;
        int minWords;
        int maxWords;
    };
    const QList<Verb> verbs{{QStringLiteral("show"), {&json}, 1, 1},
                            {QStringLiteral("export"), {}, 1, 2},
                            {QStringLiteral("apply"), {&check, &diff, &noRestart}, 2, 2},
                            {QStringLiteral("reset"), {&yes, &check}, 1, 1}};
    const Verb *chosen = nullptr;
    for (const Verb &v : verbs) {
        if (v.name == verb)
            chosen = &v;
    }
    if (!chosen) {
        say(verb.isEmpty()
                ? tr("No verb given: show, export, apply or reset (see --help).")
                : tr("Unknown verb %1: show, export, apply or reset (see --help).").arg(verb));
        return Failed;
    }
    for (const QCommandLineOption *option : {&json, &check, &diff, &noRestart, &yes}) {
        if (parser.isSet(*option) && !chosen->options.contains(option)) {
            say(tr("--%1 does not go with %2.").arg(option->names().first(), verb));
            return Failed;
        }
    }
    if (words.size() < chosen->minWords) {
        say(tr("%1 needs a layout file.").arg(verb));
        return Failed;
    }
    if (words.size() > chosen->maxWords) {
        say(tr("Too many arguments for %1.").arg(verb));
        return Failed;
    }
    if (m_io.effectiveUid && m_io.effectiveUid() != 0) {
        say(tr("Only root can read and change the seats: run it as root."));
        return Failed;
    }

    if (verb == QLatin1String("show"))
        return show(parser.isSet(json));
    if (verb == QLatin1String("export"))
        return exportLayout(words.value(1));
    if (verb == QLatin1String("apply"))
        return apply(words.value(1), parser.isSet(check), parser.isSet(diff),
                     !parser.isSet(noRestart));
    return reset(parser.isSet(yes), parser.isSet(check));
}

bool MultiseatCtl::read(SeatLayout *layout)
{
    SeatReader reader;
    reader.setTimeLimit(m_environment.commandTimeLimitMs);
    reader.setDeviceInfo(m_environment.deviceInfo);
    QEventLoop loop;
    QStringList errors;
    connect(&reader, &SeatReader::error, &loop, [&errors](const QString &error) {
        if (!errors.contains(error))
            errors.append(error);
    });
    connect(&reader, &SeatReader::finished, &loop, [&](const SeatLayout &read) {
        *layout = read;
        loop.quit();
    });
    reader.readSeatsList();
    loop.exec();
    for (const QString &error : qAsConst(errors))
        say(error);
    if (layout->status != SeatLayout::Status::Complete) {
        say(layout->status == SeatLayout::Status::NoSeats
                ? tr("logind lists no seat.")
                : tr("The seats could not be read completely; nothing was changed."));
        return false;
    }
    const QStringList named = AppSettings::namedSeats();
    for (SeatContent &seat : layout->seats) {
        if (named.contains(seat.seatId))
            seat.displayName = AppSettings::seatDisplayName(seat.seatId);
    }
    return true;
}

QString MultiseatCtl::productOf(const QStringList &addresses) const
{
    if (!m_environment.deviceInfo)
        return QString();
    for (const QString &address : addresses) {
        const QString product = m_environment.deviceInfo->details(address).product();
        if (!product.isEmpty())
            return product;
    }
    return QString();
}

int MultiseatCtl::show(bool json)
{
    SeatLayout layout;
    if (!read(&layout))
        return Failed;
    QJsonArray seats;
    for (int s = 0; s < layout.seats.size(); ++s) {
        const SeatContent &seat = layout.seats.at(s);
        QStringList users;
        for (const SeatSession &session : seat.sessions) {
            if (!SeatSessions::isLoginScreen(session))
                users.append(session.user);
        }
        QJsonArray devices;
        if (!json) {
            *m_io.out << seat.seatId;
            if (!seat.displayName.isEmpty())
                *m_io.out << "  " << LayoutDiff::quoted(seat.displayName);
            if (s == 0)
                *m_io.out << "  " << tr("(main seat)");
            if (!users.isEmpty())
                *m_io.out << "  " << tr("in use: %1").arg(users.join(QStringLiteral(", ")));
            *m_io.out << '\n';
        }
        for (const DeviceItem &item : seat.devices) {
            const QString key = layout.keyOf(item.addresses.value(0));
            if (json) {
                devices.append(
                    QJsonObject{{"category", LayoutFile::categoryName(item.category)},
                                {"name", item.name},
                                {"key", key},
                                {"addresses", QJsonArray::fromStringList(item.addresses)}});
            } else {
                *m_io.out << "  " << LayoutFile::categoryName(item.category).leftJustified(10)
                          << LayoutDiff::quoted(item.name) << "  " << key << '\n';
            }
        }
        if (json) {
            seats.append(QJsonObject{{"id", seat.seatId},
                                     {"name", seat.displayName},
                                     {"main", s == 0},
                                     {"users", QJsonArray::fromStringList(users)},
                                     {"devices", devices}});
        }
    }
    if (json)
        *m_io.out << QJsonDocument(QJsonObject{{"seats", seats}}).toJson(QJsonDocument::Indented);
    m_io.out->flush();
    return Unchanged;
}

int MultiseatCtl::exportLayout(const QString &path)
{
    SeatLayout layout;
    if (!read(&layout))
        return Failed;
    const LayoutFile file = LayoutFile::of(
        layout, [this](const QStringList &addresses) { return productOf(addresses); });
    if (path.isEmpty() || path == QLatin1String("-")) {
        *m_io.out << QString::fromUtf8(file.toJson());
        m_io.out->flush();
        return Unchanged;
    }
    QString error;
    if (!file.save(path, &error)) {
        say(tr("%1 not written: %2").arg(path, error));
        return Failed;
    }
    return Unchanged;
}

bool MultiseatCtl::lock(ApplyLock &lock)
{
    if (lock.tryLock(ApplyLock::CommandHolder))
        return true;
    if (lock.holder() == ApplyLock::WindowHolder)
        say(tr("The window of %1 is open (process %2): close it, then try again.")
                .arg(QCoreApplication::translate("Form", Constants::DisplayName))
                .arg(lock.holderPid()));
    else if (lock.holderPid() > 0)
        say(tr("Another %1 (process %2) is changing the seats: try again when it has finished.")
                .arg(ApplyLock::CommandHolder)
                .arg(lock.holderPid()));
    else
        say(tr("The seats cannot be changed now: %1").arg(lock.errorString()));
    return false;
}

bool MultiseatCtl::keepBefore(const SeatLayout &before)
{
    if (m_environment.layoutHistoryDir.isEmpty())
        return true;
    const LayoutFile file = LayoutFile::of(
        before, [this](const QStringList &addresses) { return productOf(addresses); });
    QString error;
    if (LayoutHistory(m_environment.layoutHistoryDir).keep(file, m_environment.now(), &error))
        return true;
    // The window asks whoever sits in front of it; nobody watches a script,
    // and a change without its way back is not made.
    say(tr("The layout before this change could not be kept, so nothing was changed: %1")
            .arg(error));
    return false;
}

int MultiseatCtl::apply(const QString &path, bool check, bool diff, bool restart)
{
    LayoutFile file;
    QString error;
    if (!LayoutFile::load(path, &file, &error)) {
        say(tr("%1 is no layout file: %2").arg(path, error));
        return Failed;
    }
    // Read and planned under the lock, so that no other change comes between.
    ApplyLock applyLock(m_environment.applyLockPath);
    if (!check && !lock(applyLock))
        return Failed;
    SeatLayout before;
    if (!read(&before))
        return Failed;

    // The same mapping as an import into the window; what the window only
    // tells, a command that nobody watches refuses: a lab machine that lacks
    // a device needs a person.
    const LayoutMapping::Result mapped = LayoutMapping::apply(before, file);
    if (!mapped.seatsWithoutCard.isEmpty()) {
        say(tr("refused by the layout rule %1: %2\nSeats without any of their video cards "
               "here: %3")
                .arg(ruleName(SaveMessage::SeatWithoutVideocard),
                     saveMessageText(SaveMessage::SeatWithoutVideocard),
                     mapped.seatsWithoutCard.join(QStringLiteral(", "))));
        if (!mapped.missing.isEmpty())
            say(tr("Named in the file, not found here:\n%1")
                    .arg(mapped.missing.join(QLatin1Char('\n'))));
        return Refused;
    }
    if (!mapped.missing.isEmpty()) {
        say(tr("Named in the file, not found here:\n%1\nNothing was changed.")
                .arg(mapped.missing.join(QLatin1Char('\n'))));
        return Failed;
    }

    const LayoutDiff changes = LayoutDiff::between(before, mapped.layout);
    if (changes.isEmpty()) {
        say(tr("Nothing to change: the seats are as the file lays them out."));
        return Unchanged;
    }

    const SeatLayout &after = mapped.layout;
    const MainSeatFacts mainSeat = mainSeatFacts(after.seats.first(), true, {});
    QList<SeatFacts> panels;
    int furtherSeats = 0;
    for (const SeatContent &content : after.seats.mid(1)) {
        panels.append(seatFacts(content, true));
        furtherSeats += panels.last().hasVideocard ? 1 : 0;
    }
    QList<SaveMessage> refusals;
    const SavePlan plan = planSave(
        mainSeat, panels,
        detectMainVideocard(m_environment.displayManagerLogDir, m_environment.drmClassDir),
        AppSettings::emptySeatsAllowed(),
        [&refusals](SaveMessage message) {
            // Nobody is there to answer: a main seat without keyboard or
            // mouse is refused, the rest goes on as it would on Yes.
            if (message == SaveMessage::MainSeatLacksInput) {
                refusals.append(message);
                return false;
            }
            return true;
        },
        [&refusals](SaveMessage message) { refusals.append(message); });
    if (!plan.proceed) {
        const SaveMessage rule = refusals.value(0, SaveMessage::UnexpectedError);
        say(tr("refused by the layout rule %1: %2").arg(ruleName(rule), saveMessageText(rule)));
        return Refused;
    }

    if (diff) {
        for (const QString &line : changes.lines())
            *m_io.out << line << '\n';
        m_io.out->flush();
    }
    if (check) {
        say(tr("%n change(s) due.", nullptr, changes.moves.size() + changes.renames.size()));
        return Changed;
    }

    if (stoppedBySignal() || !keepBefore(before))
        return Failed;
    for (const SeatContent &content : after.seats.mid(1)) {
        if (!content.displayName.isEmpty())
            AppSettings::setSeatDisplayName(content.seatId, content.displayName);
    }
    if (changes.moves.isEmpty())
        return Changed;

    QHash<QString, QString> names;
    for (const SeatContent &content : after.seats) {
        for (const DeviceItem &item : content.devices) {
            for (const QString &address : item.addresses)
                names.insert(address, item.name);
        }
    }
    return attach(plan.queue, names, furtherSeats, before.sessions, restart);
}

int MultiseatCtl::attach(const QList<AttachPair> &queue, const QHash<QString, QString> &names,
                         int furtherSeats, const QList<SeatSession> &sessions, bool restart)
{
    const DisplayManager displayManager = DisplayManager::detect(
        m_environment.displayManagerLink, m_environment.defaultDisplayManager);
    if (furtherSeats > 0 && !displayManager.servesFurtherSeats())
        say(displayManager.isRunning()
                ? tr("The display manager %1 starts no login screen on logind's seats: the "
                     "further seats will get no login screen from it.")
                      .arg(displayManager.name())
                : tr("No display manager was found: the further seats will get no login "
                     "screen."));
    if (displayManager.editsConfiguration()) {
        updateDmConfig(
            furtherSeats > 0, [this](const QString &text) { say(text); },
            m_environment.displayManagerConfig);
    }

    AttachJob job;
    job.setRetryDelays(m_environment.attachRetryDelaysMs);
    job.setUdevadmProgram(m_environment.udevadmProgram);
    job.setTimeLimit(m_environment.commandTimeLimitMs);
    QEventLoop loop;
    AttachOutcome outcome;
    int started = 0;
    connect(&job, &AttachJob::attaching, &loop, [&](const QString &seat, const QString &address) {
        ++started;
        if (m_io.errorIsTerminal) {
            *m_io.err << QStringLiteral("[%1/%2] %3  %4")
                             .arg(started)
                             .arg(queue.size())
                             .arg(seat, LayoutDiff::quoted(names.value(address, address)))
                      << '\n';
            m_io.err->flush();
        }
    });
    connect(&job, &AttachJob::error, &loop, [this](const QString &error) { say(error); });
    connect(&job, &AttachJob::finished, &loop, [&](const AttachOutcome &ended) {
        outcome = ended;
        loop.quit();
    });
    job.start(queue);
    loop.exec();

    if (outcome.result == AttachOutcome::Result::SomeFailed) {
        say(attachFailureText(outcome.failed, names));
        return Failed;
    }
    if (outcome.result == AttachOutcome::Result::Stopped)
        return Failed;
    return finishChange(displayManager, sessions, restart);
}

int MultiseatCtl::finishChange(const DisplayManager &displayManager,
                               const QList<SeatSession> &sessions, bool restart)
{
    if (m_endingOnSignal) {
        say(tr("Ended by a signal: the devices are on their seats, nothing was restarted."));
        return Failed;
    }
    if (!restart || !displayManager.isRunning()) {
        say(displayManager.isRunning()
                ? tr("The devices are on their seats; %1 was not restarted.")
                      .arg(displayManager.unit())
                : tr("The devices are on their seats. No display manager was restarted, since "
                     "none was found to run."));
        return Changed;
    }
    const QString ending = SeatSessions::endingSessions(sessions, uint(-1));
    if (!ending.isEmpty())
        say(tr("Restarting %1 ends the sessions of %2.").arg(displayManager.unit(), ending));
    QString error;
    if (m_environment.restartService &&
        !m_environment.restartService(displayManager.unit(), &error)) {
        say(tr("The devices are on their seats, but %1 could not be restarted:\n%2")
                .arg(displayManager.unit(), error));
        return Failed;
    }
    return Changed;
}

int MultiseatCtl::reset(bool yes, bool check)
{
    if (!yes && !check && !m_io.inputIsTerminal) {
        say(tr("reset asks before it changes anything; without a terminal to ask on, give "
               "--yes."));
        return Failed;
    }
    ApplyLock applyLock(m_environment.applyLockPath);
    if (!check && !lock(applyLock))
        return Failed;
    SeatLayout before;
    if (!read(&before))
        return Failed;
    if (before.seats.size() == 1 && before.orphans.isEmpty()) {
        say(tr("Nothing to change: every device is on the main seat."));
        return Unchanged;
    }
    if (check)
        return Changed;
    if (!yes) {
        *m_io.err << tr("Every device will go back to the main seat and every further seat will "
                        "be removed; the display manager will be set up for one seat and "
                        "restarted.\nDo you want to continue? [y/N] ");
        m_io.err->flush();
        const QString answer = m_io.readLine ? m_io.readLine().trimmed().toLower() : QString();
        if (answer != QLatin1String("y") && answer != QLatin1String("yes") && answer != tr("y") &&
            answer != tr("yes")) {
            say(tr("Nothing was changed."));
            return Unchanged;
        }
    }
    if (stoppedBySignal() || !keepBefore(before))
        return Failed;

    SeatReset seatReset;
    seatReset.setTimeLimit(m_environment.commandTimeLimitMs);
    QEventLoop loop;
    QString error;
    connect(&seatReset, &SeatReset::finished, &loop, [&](const QString &said) {
        error = said;
        loop.quit();
    });
    seatReset.start();
    loop.exec();
    if (!error.isEmpty()) {
        say(tr("Reset failed: %1").arg(error));
        return Failed;
    }
    const DisplayManager displayManager = DisplayManager::detect(
        m_environment.displayManagerLink, m_environment.defaultDisplayManager);
    if (displayManager.editsConfiguration()) {
        updateDmConfig(
            false, [this](const QString &text) { say(text); }, m_environment.displayManagerConfig);
    }
    return finishChange(displayManager, before.sessions, true);
}
