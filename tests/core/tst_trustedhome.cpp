// SPDX-FileCopyrightText: 2026 Zel developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "common/testenv.h"
#include "core/trustedhome.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <sys/stat.h>
#include <unistd.h>

namespace {
constexpr uid_t OtherUser = 4242;
}

// Which folders root may keep its files in, on folders of this test's own
// home.
class TestTrustedHome : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase()
    {
        TestEnv::init();
        if (::geteuid() != 0)
            QSKIP("needs root to give folders to another user");
        m_root = std::make_unique<QTemporaryDir>(QDir::homePath() + QStringLiteral("/th-XXXXXX"));
        QVERIFY(m_root->isValid());
        ::chmod(QFile::encodeName(m_root->path()).constData(), 0755);
        if (!TrustedHome::isPrivate(m_root->path(), 0))
            QSKIP("the build tree lies below a folder others may write in");
    }

    void privateFolders_data()
    {
        QTest::addColumn<QString>("layout"); // how the folder under test is made
        QTest::addColumn<bool>("isPrivate");
        QTest::newRow("root's, 0755") << "own" << true;
        QTest::newRow("another user's") << "foreign" << false;
        QTest::newRow("group may write") << "group-writable" << false;
        QTest::newRow("root's, in another user's folder") << "under-foreign" << false;
        QTest::newRow("a link to a private folder") << "link-to-own" << true;
        QTest::newRow("a link to another user's folder") << "link-to-foreign" << false;
        QTest::newRow("root's, in a sticky folder anyone may write in") << "in-sticky" << true;
        QTest::newRow("a sticky folder itself") << "sticky" << false;
        QTest::newRow("root's, in a folder anyone may write in") << "in-open" << false;
        QTest::newRow("missing") << "missing" << false;
        QTest::newRow("relative") << "relative" << false;
    }

    void privateFolders()
    {
        QFETCH(QString, layout);
        QFETCH(bool, isPrivate);
        const QString base = m_root->filePath(layout);
        QString path = base;
        auto make = [](const QString &dir, uid_t owner, mode_t mode) {
            QDir().mkpath(dir);
            const QByteArray native = QFile::encodeName(dir);
            return ::chown(native.constData(), owner, owner) == 0 &&
                   ::chmod(native.constData(), mode) == 0;
        };
        if (layout == "own") {
            QVERIFY(make(base, 0, 0755));
        } else if (layout == "foreign") {
            QVERIFY(make(base, OtherUser, 0755));
        } else if (layout == "group-writable") {
            QVERIFY(make(base, 0, 0775));
        } else if (layout == "under-foreign") {
            QVERIFY(make(base, OtherUser, 0755));
            path = base + "/inner";
            QVERIFY(make(path, 0, 0700));
        } else if (layout == "in-sticky" || layout == "in-open") {
            QVERIFY(make(base, 0, layout == "in-sticky" ? 01777 : 0777));
            path = base + "/inner";
            QVERIFY(make(path, 0, 0700));
        } else if (layout == "sticky") {
            QVERIFY(make(base, 0, 01777));
        } else if (layout.startsWith("link-to-")) {
            const QString target = base + "-target";
            QVERIFY(make(target, layout == "link-to-own" ? 0 : OtherUser, 0755));
            QVERIFY(QFile::link(target, base));
        } else if (layout == "relative") {
            path = "relative/home";
        }
        QCOMPARE(TrustedHome::isPrivate(path, 0), isPrivate);
    }

    // sudo -E or su without "-": root keeps the caller's HOME and XDG folders.
    void aForeignHomeBecomesRootsOwn()
    {
        const QString foreign = m_root->filePath("caller");
        const QString own = m_root->filePath("root-home");
        QDir().mkpath(foreign + "/.config");
        QDir().mkpath(own);
        QVERIFY(::chown(QFile::encodeName(foreign).constData(), OtherUser, OtherUser) == 0);
        const QByteArray savedHome = qgetenv("HOME");
        const QByteArray savedConfig = qgetenv("XDG_CONFIG_HOME");
        const QByteArray savedCache = qgetenv("XDG_CACHE_HOME");
        qputenv("HOME", QFile::encodeName(foreign));
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(foreign + "/.config"));
        qputenv("XDG_CACHE_HOME", QFile::encodeName(own));

        QVERIFY(!TrustedHome::secure(OtherUser, [&] { return own; })); // only root's files
        QCOMPARE(qgetenv("HOME"), QFile::encodeName(foreign));
        QVERIFY(TrustedHome::secure(0, [&] { return own; }));
        QCOMPARE(qgetenv("HOME"), QFile::encodeName(own));
        QVERIFY(!qEnvironmentVariableIsSet("XDG_CONFIG_HOME"));
        QCOMPARE(qgetenv("XDG_CACHE_HOME"), QFile::encodeName(own)); // private: kept
        QVERIFY(!TrustedHome::secure(0, [&] { return own; }));       // nothing left to change

        qputenv("HOME", savedHome);
        qputenv("XDG_CONFIG_HOME", savedConfig);
        qputenv("XDG_CACHE_HOME", savedCache);
    }

private:
    std::unique_ptr<QTemporaryDir> m_root;
};

QTEST_GUILESS_MAIN(TestTrustedHome)
#include "tst_trustedhome.moc"
