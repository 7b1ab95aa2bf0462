// SPDX-FileCopyrightText: 2026 Zel developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "apply/dmconfig.h"
#include "common/testenv.h"
#include "core/terminationsignals.h"

#include <QDir>
#include <QFile>
#include <QScopeGuard>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

#include <cerrno>
#include <csignal>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>

namespace {

const QString FileName = QStringLiteral("zel-dmrc");

QString homeCopy()
{
    return QDir::homePath() + '/' + FileName + QStringLiteral(".tmp");
}

QString warningText(const QString &path)
{
    return QStringLiteral("Failed to make changes to the file:\n %1 \nPlease make the required "
                          "changes manually")
        .arg(path);
}

} // namespace

class TestDmConfig : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase() { TestEnv::init(); }
    void init();

    void states_data();
    void states();
    void unavailable();
    void edit_data();
    void edit();
    void roundTripThroughUpdate();
    void staleHomeCopyGoesFirst();
    void decisionTables();
    void reachableCells_data();
    void reachableCells();
    void ownerAndModeKept();
    void failedReplacementKeepsOldFile();
    void readOnlyDirectoryKeepsOldFile();
    void bytesKeptAsTheyAre();
    void wordsInsideALineAreNoMatch();
    void ioErrorsFailTheEdit_data();
    void ioErrorsFailTheEdit();
    void failedEditIsWarned();
    void homeOthersCanWriteIsRefused();
    void swappedCopyLeadsNowhere_data();
    void swappedCopyLeadsNowhere();
    void extendedAttributesKept();
    void attributeNotCarriedOverFailsTheEdit();
    void interruptedCallsAreMadeAgain();
    void signalNeverCutsTheEdit_data();
    void signalNeverCutsTheEdit();
    void leftoverReplacementRemoved();
    void groupAndSpecialModeBitsKept();

private:
    QString m_path;
    std::unique_ptr<QTemporaryDir> m_dir;
};

void TestDmConfig::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
    m_path = m_dir->path() + '/' + FileName;
    QFile::remove(homeCopy());
}

void TestDmConfig::states_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<int>("p");
    QTest::addColumn<int>("q");
    QTest::newRow("empty") << QByteArray() << 0 << 0;
    QTest::newRow("unrelated lines") << QByteArray("[General]\nServerUID = root\n") << 0 << 0;
    QTest::newRow("default with blank") << QByteArray("a\n# ServerUID=auto\n") << 2 << 0;
    QTest::newRow("default without blank") << QByteArray("#ServerUID=auto\nb\n") << 0 << 2;
    QTest::newRow("blanks before default") << QByteArray(" \t # ServerUID=auto  \n") << 2 << 0;
    QTest::newRow("both defaults") << QByteArray("# ServerUID=auto\n#ServerUID=auto") << 2 << 2;
    QTest::newRow("active alone") << QByteArray("ServerUID=root\n") << 3 << 3;
    QTest::newRow("active and default")
        << QByteArray("ServerUID=root\n##commented # ServerUID=auto\n# ServerUID=auto\n") << 3 << 3;
    QTest::newRow("active, marked form 0")
        << QByteArray("ServerUID=root\n   ##commented # ServerUID=auto\n") << 4 << 3;
    QTest::newRow("active, marked form 1")
        << QByteArray("ServerUID=root\n##commented #ServerUID=auto\n") << 3 << 4;
    QTest::newRow("marked without active")
        << QByteArray("##commented # ServerUID=auto\n") << 0 << 0;
}

void TestDmConfig::states()
{
    QFETCH(QByteArray, content);
    QFETCH(int, p);
    QFETCH(int, q);
    QVERIFY(TestEnv::writeFile(m_path, content));
    const QList<DmConfigRule> rules = DmConfig::rules(m_path);
    QCOMPARE(int(checkDmConfig(rules[0])), p);
    QCOMPARE(int(checkDmConfig(rules[1])), q);
}

void TestDmConfig::unavailable()
{
    // A missing file and a path that cannot be read as a file.
    for (const QString &path : {m_path, m_dir->path()}) {
        for (const DmConfigRule &rule : DmConfig::rules(path)) {
            QCOMPARE(checkDmConfig(rule), FileUnavailable);
            QVERIFY(!editDmConfig(rule, DmConfigMode::Apply));
        }
    }
    QVERIFY(!QFile::exists(m_path));
}

void TestDmConfig::edit_data()
{
    QTest::addColumn<int>("rule");
    QTest::addColumn<bool>("restore");
    QTest::addColumn<QByteArray>("before");
    QTest::addColumn<bool>("changed");
    QTest::addColumn<QByteArray>("after");

    QTest::newRow("apply in place, others trimmed")
        << 0 << false << QByteArray("[General]\n  # ServerUID=auto \n\tFoo = bar  \n\nlast") << true
        << QByteArray(
               "[General]\nServerUID=root\n##commented # ServerUID=auto\nFoo = bar\n\nlast\n");
    QTest::newRow("apply, CRLF lines")
        << 0 << false << QByteArray("a\r\n# ServerUID=auto\r\n") << true
        << QByteArray("a\nServerUID=root\n##commented # ServerUID=auto\n");
    QTest::newRow("apply form 1") << 1 << false << QByteArray("#ServerUID=auto\nx=1\n") << true
                                  << QByteArray(
                                         "ServerUID=root\n##commented #ServerUID=auto\nx=1\n");
    QTest::newRow("apply, other form absent")
        << 0 << false << QByteArray("#ServerUID=auto\n") << false << QByteArray();
    QTest::newRow("restore marked pair")
        << 0 << true << QByteArray("a\nServerUID=root\n##commented # ServerUID=auto\nb\n") << true
        << QByteArray("a\n# ServerUID=auto\nb\n");
    QTest::newRow("restore without marked line") << 0 << true << QByteArray("ServerUID=root\nfoo\n")
                                                 << true << QByteArray("# ServerUID=auto\nfoo\n");
    QTest::newRow("restore form 1 without marked line")
        << 1 << true << QByteArray("  ServerUID=root  \n\n") << true
        << QByteArray("#ServerUID=auto\n\n");
    QTest::newRow("restore, active line last")
        << 0 << true << QByteArray("foo\nServerUID=root\n") << false << QByteArray();
    QTest::newRow("restore a stray marked line")
        << 0 << true << QByteArray("##commented # ServerUID=auto\n") << true
        << QByteArray("# ServerUID=auto\n");
    QTest::newRow("restore, marked line of the other form")
        << 0 << true << QByteArray("ServerUID=root\n##commented #ServerUID=auto\n") << true
        << QByteArray("# ServerUID=auto\n##commented #ServerUID=auto\n");
    QTest::newRow("restore, nothing to do")
        << 0 << true << QByteArray("# ServerUID=auto\n") << false << QByteArray();
}

void TestDmConfig::edit()
{
    QFETCH(int, rule);
    QFETCH(bool, restore);
    QFETCH(QByteArray, before);
    QFETCH(bool, changed);
    QFETCH(QByteArray, after);

    QVERIFY(TestEnv::writeFile(m_path, before));
    const DmConfigMode mode = restore ? DmConfigMode::Restore : DmConfigMode::Apply;
    QCOMPARE(editDmConfig(DmConfig::rules(m_path)[rule], mode), changed);
    if (changed) {
        QCOMPARE(TestEnv::readFile(m_path), after);
        QVERIFY(!QFile::exists(homeCopy()));
    } else {
        // Untouched, and the unchanged copy stays in the home directory.
        QCOMPARE(TestEnv::readFile(m_path), before);
        QCOMPARE(TestEnv::readFile(homeCopy()), before);
    }
    QCOMPARE(QDir(m_dir->path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
             QStringList{FileName});
}

void TestDmConfig::roundTripThroughUpdate()
{
    QStringList warnings;
    const auto warn = [&warnings](const QString &text) { warnings << text; };
    const QByteArray original = " [General]\n# ServerUID=auto   \nGreeter=zel \n";
    QVERIFY(TestEnv::writeFile(m_path, original));
    updateDmConfig(true, warn, m_path);
    QCOMPARE(TestEnv::readFile(m_path),
             QByteArray("[General]\nServerUID=root\n##commented # ServerUID=auto\nGreeter=zel\n"));
    // Saving again with seats changes nothing.
    updateDmConfig(true, warn, m_path);
    QCOMPARE(TestEnv::readFile(m_path),
             QByteArray("[General]\nServerUID=root\n##commented # ServerUID=auto\nGreeter=zel\n"));
    updateDmConfig(false, warn, m_path);
    QCOMPARE(TestEnv::readFile(m_path), QByteArray("[General]\n# ServerUID=auto\nGreeter=zel\n"));
    QCOMPARE(warnings, QStringList());
}

void TestDmConfig::staleHomeCopyGoesFirst()
{
    const DmConfigRule rule = DmConfig::rules(m_path)[0];
    // A no-change edit over a stale copy: the copy is the current file afterwards.
    QVERIFY(TestEnv::writeFile(homeCopy(), "stale\n"));
    QVERIFY(TestEnv::writeFile(m_path, "nothing here\n"));
    QVERIFY(!editDmConfig(rule, DmConfigMode::Apply));
    QCOMPARE(TestEnv::readFile(homeCopy()), QByteArray("nothing here\n"));

    // A leftover copy, or a dangling link in its place, does not block an edit.
    QVERIFY(TestEnv::writeFile(m_path, "# ServerUID=auto\n"));
    QVERIFY(editDmConfig(rule, DmConfigMode::Apply));
    QVERIFY(!QFile::exists(homeCopy()));
    QCOMPARE(symlink("/nonexistent/zel", QFile::encodeName(homeCopy()).constData()), 0);
    QVERIFY(editDmConfig(rule, DmConfigMode::Restore));
    QCOMPARE(TestEnv::readFile(m_path), QByteArray("# ServerUID=auto\n"));
    QVERIFY(!QFileInfo(homeCopy()).isSymLink());
}

void TestDmConfig::decisionTables()
{
    using A = DmConfigAction;
    const A N = A::Nothing, W = A::Warn, A0 = A::Apply0, A1 = A::Apply1, R0 = A::Restore0,
            R1 = A::Restore1;
    const A withSeats[5][5] = {
        {W, W, A1, N, N}, {W, W, W, W, N}, {A0, W, W, W, N}, {N, W, W, N, N}, {N, N, N, N, N}};
    const A withoutSeats[5][5] = {{W, W, N, R1, R1},
                                  {W, W, W, W, R1},
                                  {N, W, W, W, R1},
                                  {R0, W, W, R0, R1},
                                  {R0, R0, R0, R0, R1}};
    for (int p = 0; p < 5; ++p) {
        for (int q = 0; q < 5; ++q) {
            const auto ps = DmConfigState(p), qs = DmConfigState(q);
            QVERIFY2(DmConfig::action(true, ps, qs) == withSeats[p][q],
                     qPrintable(QStringLiteral("seats, P=%1 Q=%2").arg(p).arg(q)));
            QVERIFY2(DmConfig::action(false, ps, qs) == withoutSeats[p][q],
                     qPrintable(QStringLiteral("no seats, P=%1 Q=%2").arg(p).arg(q)));
        }
    }
}

void TestDmConfig::reachableCells_data()
{
    // Every (P, Q) pair one file can produce, saved with and without seats.
    QTest::addColumn<QByteArray>("before");
    QTest::addColumn<int>("p");
    QTest::addColumn<int>("q");
    QTest::addColumn<bool>("seats");
    QTest::addColumn<QByteArray>("after");
    QTest::addColumn<int>("warnings");

    // Expected files are empty where the file stays as it was.
    const auto cell = [](const char *name, const QByteArray &before, int p, int q,
                         const QByteArray &withSeats, int seatWarnings,
                         const QByteArray &withoutSeats, int noSeatWarnings) {
        QTest::addRow("%s, seats", name) << before << p << q << true << withSeats << seatWarnings;
        QTest::addRow("%s, no seats", name)
            << before << p << q << false << withoutSeats << noSeatWarnings;
    };
    const QByteArray marked0 = "##commented # ServerUID=auto";
    const QByteArray marked1 = "##commented #ServerUID=auto";
    cell("0,0", "Greeter=zel\n", 0, 0, {}, 1, {}, 1);
    cell("0,2", "#ServerUID=auto\n", 0, 2, "ServerUID=root\n" + marked1 + "\n", 0, {}, 0);
    cell("2,0", " # ServerUID=auto \n", 2, 0, "ServerUID=root\n" + marked0 + "\n", 0, {}, 0);
    cell("2,2", "# ServerUID=auto\n#ServerUID=auto\n", 2, 2, {}, 1, {}, 1);
    cell("3,3", "a\nServerUID=root\nb\n", 3, 3, {}, 0, "a\n# ServerUID=auto\nb\n", 0);
    cell("3,4", "ServerUID=root\n" + marked1 + "\n", 3, 4, {}, 0, "#ServerUID=auto\n", 0);
    cell("4,3", "ServerUID=root\n" + marked0 + "\n", 4, 3, {}, 0, "# ServerUID=auto\n", 0);
    cell("4,4", "ServerUID=root\n" + marked0 + " #ServerUID=auto\n", 4, 4, {}, 0,
         "# ServerUID=auto #ServerUID=auto\n", 0);
    cell("1,1 (missing)", {}, 1, 1, {}, 2, {}, 2);
}

void TestDmConfig::reachableCells()
{
    QFETCH(QByteArray, before);
    QFETCH(int, p);
    QFETCH(int, q);
    QFETCH(bool, seats);
    QFETCH(QByteArray, after);
    QFETCH(int, warnings);

    const bool missing = p == FileUnavailable;
    if (!missing)
        QVERIFY(TestEnv::writeFile(m_path, before));
    const QList<DmConfigRule> rules = DmConfig::rules(m_path);
    QCOMPARE(int(checkDmConfig(rules[0])), p);
    QCOMPARE(int(checkDmConfig(rules[1])), q);

    QStringList shown;
    updateDmConfig(
        seats, [&shown](const QString &text) { shown << text; }, m_path);

    QCOMPARE(shown.size(), warnings);
    for (const QString &text : qAsConst(shown))
        QCOMPARE(text, warningText(m_path));
    if (missing)
        QVERIFY(!QFile::exists(m_path));
    else
        QCOMPARE(TestEnv::readFile(m_path), after.isEmpty() ? before : after);
}

void TestDmConfig::ownerAndModeKept()
{
    QVERIFY(TestEnv::writeFile(m_path, "# ServerUID=auto\n"));
    // As root the file can belong to someone else; otherwise it stays ours.
    const uid_t owner = geteuid() == 0 ? 65534 : geteuid();
    const gid_t group = geteuid() == 0 ? 65534 : getegid();
    const QByteArray native = QFile::encodeName(m_path);
    QCOMPARE(chown(native.constData(), owner, group), 0);
    QCOMPARE(chmod(native.constData(), 0640), 0);

    QVERIFY(editDmConfig(DmConfig::rules(m_path)[0], DmConfigMode::Apply));
    QCOMPARE(TestEnv::readFile(m_path),
             QByteArray("ServerUID=root\n##commented # ServerUID=auto\n"));
    struct stat st;
    QCOMPARE(stat(native.constData(), &st), 0);
    QCOMPARE(st.st_uid, owner);
    QCOMPARE(st.st_gid, group);
    QCOMPARE(st.st_mode & 07777, mode_t(0640));
}

void TestDmConfig::failedReplacementKeepsOldFile()
{
    // A name so long that no companion file can be made beside it: the new file
    // cannot be written next to the old one, whoever runs the test.
    const QString path = m_dir->path() + '/' + QString(250, 'z');
    const QByteArray before = "# ServerUID=auto\n";
    QVERIFY(TestEnv::writeFile(path, before));
    QVERIFY(!editDmConfig(DmConfig::rules(path)[0], DmConfigMode::Apply));
    QCOMPARE(TestEnv::readFile(path), before);
    QCOMPARE(TestEnv::readFile(DmConfig::temporaryPath(path)),
             QByteArray("ServerUID=root\n##commented # ServerUID=auto\n"));
    QCOMPARE(QDir(m_dir->path()).entryList(QDir::Files | QDir::Hidden).size(), 1);
    QFile::remove(DmConfig::temporaryPath(path));
}

void TestDmConfig::readOnlyDirectoryKeepsOldFile()
{
    if (geteuid() == 0)
        QSKIP("directory permissions do not stop root; failedReplacementKeepsOldFile covers root");
    const QByteArray before = "ServerUID=root\n##commented # ServerUID=auto\n";
    QVERIFY(TestEnv::writeFile(m_path, before));
    QVERIFY(QFile::setPermissions(m_dir->path(), QFileDevice::ReadOwner | QFileDevice::ExeOwner));
    const bool edited = editDmConfig(DmConfig::rules(m_path)[0], DmConfigMode::Restore);
    QFile::setPermissions(m_dir->path(),
                          QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    QVERIFY(!edited);
    QCOMPARE(TestEnv::readFile(m_path), before);
    QCOMPARE(TestEnv::readFile(homeCopy()), QByteArray("# ServerUID=auto\n"));
}

// Lines the edit does not change come back byte for byte: bytes that are no
// UTF-8 and carriage returns inside a line included; only the blanks at the
// ends of each line go.
void TestDmConfig::bytesKeptAsTheyAre()
{
    const QByteArray before = "# Caf\xe9 \xff\xfe\n  Key=a\rb  \r\n# ServerUID=auto\n\x80\x81\n";
    QVERIFY(TestEnv::writeFile(m_path, before));
    QVERIFY(editDmConfig(DmConfig::rules(m_path)[0], DmConfigMode::Apply));
    QCOMPARE(TestEnv::readFile(m_path),
             QByteArray("# Caf\xe9 \xff\xfe\nKey=a\rb\nServerUID=root\n##commented # "
                        "ServerUID=auto\n\x80\x81\n"));
    QVERIFY(editDmConfig(DmConfig::rules(m_path)[0], DmConfigMode::Restore));
    QCOMPARE(TestEnv::readFile(m_path),
             QByteArray("# Caf\xe9 \xff\xfe\nKey=a\rb\n# ServerUID=auto\n\x80\x81\n"));
}

// The lines are recognised by how they begin, never by a word further on.
void TestDmConfig::wordsInsideALineAreNoMatch()
{
    const DmConfigRule rule = DmConfig::rules(m_path)[0];
    // A marker in the middle of a line marks nothing.
    QVERIFY(TestEnv::writeFile(m_path, "ServerUID=root\nx ##commented # ServerUID=auto\n"));
    QCOMPARE(checkDmConfig(rule), ActivePresent);
    // Apply replaces the default line only where a line starts with it.
    QVERIFY(TestEnv::writeFile(m_path, "x # ServerUID=auto\n# ServerUID=auto\n"));
    QVERIFY(editDmConfig(rule, DmConfigMode::Apply));
    QCOMPARE(TestEnv::readFile(m_path), QByteArray("x # ServerUID=auto\nServerUID=root\n"
                                                   "##commented # ServerUID=auto\n"));
    // Restore drops only a line that starts with the active line.
    QVERIFY(TestEnv::writeFile(m_path, "x ServerUID=root\nServerUID=root\n##commented "
                                       "# ServerUID=auto\n"));
    QVERIFY(editDmConfig(rule, DmConfigMode::Restore));
    QCOMPARE(TestEnv::readFile(m_path), QByteArray("x ServerUID=root\n# ServerUID=auto\n"));
}

// A read or write that fails at any step fails the edit and leaves the
// configuration as it was, and no half-written file beside it.
void TestDmConfig::ioErrorsFailTheEdit_data()
{
    QTest::addColumn<int>("step");
    QTest::addColumn<bool>("writing");
    QTest::newRow("reading the configuration") << int(DmEditStep::ReadConfig) << false;
    QTest::newRow("reading the copy") << int(DmEditStep::ReadCopy) << false;
    QTest::newRow("writing the copy") << int(DmEditStep::WriteCopy) << true;
    QTest::newRow("writing the result") << int(DmEditStep::WriteResult) << true;
    QTest::newRow("writing the new configuration") << int(DmEditStep::ReplaceConfig) << true;
}

void TestDmConfig::ioErrorsFailTheEdit()
{
    QFETCH(int, step);
    QFETCH(bool, writing);
    const QByteArray before = "[General]\n# ServerUID=auto\n";
    QVERIFY(TestEnv::writeFile(m_path, before));
    int current = -1;
    DmConfigSeams seams;
    seams.beforeStep = [&current](DmEditStep s) { current = int(s); };
    const auto failing = [&current, step] {
        if (current != step)
            return false;
        errno = step == int(DmEditStep::ReplaceConfig) ? ENOSPC : EIO;
        return true;
    };
    if (writing)
        seams.write = [failing](int fd, const void *data, size_t size) -> ssize_t {
            return failing() ? -1 : ::write(fd, data, size);
        };
    else
        seams.read = [failing](int fd, void *data, size_t size) -> ssize_t {
            return failing() ? -1 : ::read(fd, data, size);
        };
    QVERIFY(!editDmConfig(DmConfig::rules(m_path)[0], DmConfigMode::Apply, seams));
    QCOMPARE(TestEnv::readFile(m_path), before);
    QCOMPARE(QDir(m_dir->path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
             QStringList{FileName});

    // A check that cannot read the file finds it unavailable.
    DmConfigSeams unreadable;
    unreadable.read = [](int, void *, size_t) -> ssize_t {
        errno = EIO;
        return -1;
    };
    QCOMPARE(checkDmConfig(DmConfig::rules(m_path)[0], unreadable), FileUnavailable);
}

// The edit a save chose but that did not go through is told, once; the file
// stays as it was.
void TestDmConfig::failedEditIsWarned()
{
    const QByteArray before = "[General]\n# ServerUID=auto\n";
    QVERIFY(TestEnv::writeFile(m_path, before));
    DmConfigSeams full;
    full.write = [](int, const void *, size_t) -> ssize_t {
        errno = ENOSPC;
        return -1;
    };
    QStringList shown;
    updateDmConfig(
        true, [&shown](const QString &text) { shown << text; }, m_path, full);
    QCOMPARE(shown, QStringList{warningText(m_path)});
    QCOMPARE(TestEnv::readFile(m_path), before);

    // So is a restore that finds nothing to bring back.
    QVERIFY(TestEnv::writeFile(m_path, "foo\nServerUID=root\n"));
    shown.clear();
    updateDmConfig(
        false, [&shown](const QString &text) { shown << text; }, m_path);
    QCOMPARE(shown, QStringList{warningText(m_path)});
    QCOMPARE(TestEnv::readFile(m_path), QByteArray("foo\nServerUID=root\n"));
}

// A home directory anyone but its owner can write, or owned by someone else,
// is not used: the edit fails before it creates anything there.
void TestDmConfig::homeOthersCanWriteIsRefused()
{
    const QByteArray before = "# ServerUID=auto\n";
    const QByteArray home = QFile::encodeName(QDir::homePath());
    QVERIFY(TestEnv::writeFile(m_path, before));
    struct stat st;
    QCOMPARE(::stat(home.constData(), &st), 0);
    for (mode_t mode : {mode_t(0777), mode_t(0775), mode_t(01777)}) {
        QCOMPARE(::chmod(home.constData(), mode), 0);
        const bool edited = editDmConfig(DmConfig::rules(m_path)[0], DmConfigMode::Apply);
        QCOMPARE(::chmod(home.constData(), st.st_mode & 07777), 0);
        QVERIFY2(!edited, qPrintable(QString::number(mode, 8)));
        QCOMPARE(TestEnv::readFile(m_path), before);
        QVERIFY(!QFile::exists(homeCopy()));
    }
    if (::geteuid() == 0) {
        QCOMPARE(::chown(home.constData(), 65534, 65534), 0);
        const bool edited = editDmConfig(DmConfig::rules(m_path)[0], DmConfigMode::Apply);
        QCOMPARE(::chown(home.constData(), st.st_uid, st.st_gid), 0);
        QVERIFY(!edited);
        QCOMPARE(TestEnv::readFile(m_path), before);
    }
    QVERIFY(editDmConfig(DmConfig::rules(m_path)[0], DmConfigMode::Apply));
}

// Someone who can write the home directory swaps the copy's name for a link
// to a file of root's, symbolic or hard, before each step in turn: the victim
// is never read, written, truncated or chmod-ed, and the configuration ends
// up untouched or edited correctly, never anything else.
void TestDmConfig::swappedCopyLeadsNowhere_data()
{
    QTest::addColumn<int>("step");
    QTest::addColumn<bool>("edits");
    QTest::addColumn<bool>("hard");
    const QList<QPair<DmEditStep, const char *>> steps{
        {DmEditStep::OpenHome, "open home"},       {DmEditStep::RemoveStale, "remove stale"},
        {DmEditStep::CreateCopy, "create copy"},   {DmEditStep::ReadConfig, "read config"},
        {DmEditStep::WriteCopy, "write copy"},     {DmEditStep::ReadCopy, "read copy"},
        {DmEditStep::WriteResult, "write result"}, {DmEditStep::ReplaceConfig, "replace"},
        {DmEditStep::RemoveCopy, "remove copy"}};
    for (const auto &step : steps) {
        for (bool hard : {false, true}) {
            for (bool edits : {true, false})
                QTest::addRow("%s, %s, %s", step.second, hard ? "hard link" : "symbolic link",
                              edits ? "apply" : "no change")
                    << int(step.first) << edits << hard;
        }
    }
}

void TestDmConfig::swappedCopyLeadsNowhere()
{
    QFETCH(int, step);
    QFETCH(bool, edits);
    QFETCH(bool, hard);
    // Beside the copy: a hard link cannot cross file systems.
    const QString victim = QDir::homePath() + QStringLiteral("/shadow");
    const auto removeVictim = qScopeGuard([&victim] { QFile::remove(victim); });
    const QByteArray secret = "root:$6$secret:19000:0:99999:7:::\n";
    QVERIFY(TestEnv::writeFile(victim, secret));
    QCOMPARE(::chmod(QFile::encodeName(victim).constData(), 0600), 0);
    const QByteArray before = edits ? "[General]\n# ServerUID=auto\n" : "[General]\n";
    QVERIFY(TestEnv::writeFile(m_path, before));

    DmConfigSeams seams;
    seams.beforeStep = [&](DmEditStep s) {
        if (int(s) != step)
            return;
        const QByteArray copy = QFile::encodeName(homeCopy());
        ::unlink(copy.constData());
        const QByteArray target = QFile::encodeName(victim);
        QCOMPARE(hard ? ::link(target.constData(), copy.constData())
                      : ::symlink(target.constData(), copy.constData()),
                 0);
    };
    const bool edited = editDmConfig(DmConfig::rules(m_path)[0], DmConfigMode::Apply, seams);

    QCOMPARE(TestEnv::readFile(victim), secret);
    struct stat st;
    QCOMPARE(::stat(QFile::encodeName(victim).constData(), &st), 0);
    QCOMPARE(st.st_mode & 07777, mode_t(0600));
    const QByteArray after = TestEnv::readFile(m_path);
    if (edited)
        QCOMPARE(after, QByteArray("[General]\nServerUID=root\n##commented # ServerUID=auto\n"));
    else
        QCOMPARE(after, before);
    // A link made before the stale copy goes is removed like one; only a
    // link made just before the copy is created stops the edit (and the
    // failure is then warned about).
    QCOMPARE(edited, edits && step != int(DmEditStep::CreateCopy));
    ::unlink(QFile::encodeName(homeCopy()).constData());
}

// Access lists and security labels are extended attributes: the new file
// carries the old one's.
void TestDmConfig::extendedAttributesKept()
{
    QVERIFY(TestEnv::writeFile(m_path, "# ServerUID=auto\n"));
    const QByteArray native = QFile::encodeName(m_path);
    const QByteArray value = "labelled by the administrator";
    if (::setxattr(native.constData(), "user.zel.test", value.constData(), size_t(value.size()),
                   0) != 0)
        QSKIP("this file system keeps no user attributes");
    QVERIFY(editDmConfig(DmConfig::rules(m_path)[0], DmConfigMode::Apply));
    QCOMPARE(TestEnv::readFile(m_path),
             QByteArray("ServerUID=root\n##commented # ServerUID=auto\n"));
    char buffer[64] = {};
    const ssize_t got = ::getxattr(native.constData(), "user.zel.test", buffer, sizeof buffer);
    QCOMPARE(QByteArray(buffer, int(got)), value);
}

// A label or access list that cannot be carried over to the new file keeps
// the old one in place.
void TestDmConfig::attributeNotCarriedOverFailsTheEdit()
{
    const QByteArray before = "# ServerUID=auto\n";
    QVERIFY(TestEnv::writeFile(m_path, before));
    const QByteArray native = QFile::encodeName(m_path);
    if (::setxattr(native.constData(), "user.zel.test", "x", 1, 0) != 0)
        QSKIP("this file system keeps no user attributes");
    DmConfigSeams refused;
    refused.setAttribute = [](int, const char *, const void *, size_t) {
        errno = EPERM;
        return -1;
    };
    QVERIFY(!editDmConfig(DmConfig::rules(m_path)[0], DmConfigMode::Apply, refused));
    QCOMPARE(TestEnv::readFile(m_path), before);
    QCOMPARE(QDir(m_dir->path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
             QStringList{FileName});
}

// A signal that comes in the middle of a system call of the check or the
// edit (every other call here) only makes the call go again.
void TestDmConfig::interruptedCallsAreMadeAgain()
{
    QVERIFY(TestEnv::writeFile(m_path, "[General]\n# ServerUID=auto\n"));
    int calls = 0;
    DmConfigSeams seams;
    seams.interrupt = [&calls] { return ++calls % 2 == 1; };
    QStringList shown;
    updateDmConfig(
        true, [&shown](const QString &text) { shown << text; }, m_path, seams);
    QVERIFY(calls > 10);
    QCOMPARE(shown, QStringList());
    QCOMPARE(TestEnv::readFile(m_path),
             QByteArray("[General]\nServerUID=root\n##commented # ServerUID=auto\n"));
    QCOMPARE(checkDmConfig(DmConfig::rules(m_path)[0], seams), ActiveWithMarkedDefault);
}

// A shutdown at any step of the edit is told once the edit is done, never
// in between.
void TestDmConfig::signalNeverCutsTheEdit_data()
{
    QTest::addColumn<int>("step");
    for (int step = int(DmEditStep::OpenHome); step <= int(DmEditStep::RemoveCopy); ++step)
        QTest::addRow("step %d", step) << step;
}

void TestDmConfig::signalNeverCutsTheEdit()
{
    QFETCH(int, step);
    QVERIFY(TestEnv::writeFile(m_path, "[General]\n# ServerUID=auto\n"));
    TerminationSignals termination;
    QSignalSpy received(&termination, &TerminationSignals::received);
    DmConfigSeams seams;
    seams.beforeStep = [step](DmEditStep s) {
        if (int(s) == step)
            ::raise(SIGTERM);
    };
    QVERIFY(editDmConfig(DmConfig::rules(m_path)[0], DmConfigMode::Apply, seams));
    QVERIFY(received.isEmpty());
    QCOMPARE(TestEnv::readFile(m_path),
             QByteArray("[General]\nServerUID=root\n##commented # ServerUID=auto\n"));
    QVERIFY(!QFile::exists(homeCopy()));
    QVERIFY(received.wait(5000));
    QCOMPARE(received.first().first().toInt(), int(SIGTERM));
}

// A new configuration left beside the old one by an edit that was killed
// half-way is removed, and the edit goes through.
void TestDmConfig::leftoverReplacementRemoved()
{
    QVERIFY(TestEnv::writeFile(m_path, "# ServerUID=auto\n"));
    const QString leftover = DmConfig::replacementPath(m_path);
    QVERIFY(QFileInfo(leftover).fileName().startsWith('.'));
    QVERIFY(TestEnv::writeFile(leftover, "half a fi"));
    QVERIFY(editDmConfig(DmConfig::rules(m_path)[0], DmConfigMode::Apply));
    QVERIFY(!QFile::exists(leftover));
    QCOMPARE(TestEnv::readFile(m_path),
             QByteArray("ServerUID=root\n##commented # ServerUID=auto\n"));
}

// The group alone may differ from the new file's, and the mode may hold the
// set-id and sticky bits: both are kept.
void TestDmConfig::groupAndSpecialModeBitsKept()
{
    QVERIFY(TestEnv::writeFile(m_path, "# ServerUID=auto\n"));
    const QByteArray native = QFile::encodeName(m_path);
    const gid_t group = ::geteuid() == 0 ? 65534 : ::getegid();
    QCOMPARE(::chown(native.constData(), ::geteuid(), group), 0);
    QCOMPARE(::chmod(native.constData(), 03640), 0);
    QVERIFY(editDmConfig(DmConfig::rules(m_path)[0], DmConfigMode::Apply));
    struct stat st;
    QCOMPARE(::stat(native.constData(), &st), 0);
    QCOMPARE(st.st_uid, ::geteuid());
    QCOMPARE(st.st_gid, group);
    QCOMPARE(st.st_mode & 07777, mode_t(03640));
}

QTEST_MAIN(TestDmConfig)
#include "tst_dmconfig.moc"
