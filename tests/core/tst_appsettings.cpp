// SPDX-FileCopyrightText: 2026 Zel developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "common/testenv.h"
#include "core/appsettings.h"

#include <QFile>
#include <QFileInfo>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>

// The stored values are read as the types they must be, and a damaged or
// hostile settings file neither ends the program nor is written through.
class TestAppSettings : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase() { TestEnv::init(); }
    void init()
    {
        TestEnv::clearSettings();
        QFile::remove(QSettings().fileName());
    }

    void damagedValuesAreIgnored_data()
    {
        QTest::addColumn<QByteArray>("geometryLine");
        // Eleven bytes announcing a list of 2^31 - 1 entries.
        QTest::newRow("variant of a huge list")
            << QByteArray("geometry=@Variant(\\0\\0\\0\\v\\x7f\\xff\\xff\\xff)");
        QTest::newRow("the same behind an escaped @")
            << QByteArray("geometry=\\x40Variant(\\0\\0\\0\\v\\x7f\\xff\\xff\\xff)");
        QTest::newRow("octal escape") << QByteArray("geometry=\\100Variant(\\0\\0\\0\\v\\x7f)");
        QTest::newRow("a string, not bytes") << QByteArray("geometry=1064x600");
    }

    void damagedValuesAreIgnored()
    {
        QFETCH(QByteArray, geometryLine);
        // Written by the program first, so the other values are as Qt writes them.
        AppSettings::setSeatDisplayName(QStringLiteral("seat1"), QString::fromUtf8("Класс 2"));
        AppSettings::setEmptySeatsAllowed(true);
        const QString path = QSettings().fileName();
        QByteArray content = TestEnv::readFile(path);
        content.replace("[General]\n", "[General]\n" + geometryLine + "\n");
        QVERIFY(content.contains(geometryLine));
        QVERIFY(TestEnv::writeFile(path, content));

        QCOMPARE(AppSettings::geometry(), QByteArray());
        QVERIFY(AppSettings::emptySeatsAllowed());
        QCOMPARE(AppSettings::seatDisplayName(QStringLiteral("seat1")),
                 QString::fromUtf8("Класс 2"));
        // And the store keeps working.
        AppSettings::setGeometry(QByteArray("\x01\x02", 2));
        QCOMPARE(AppSettings::geometry(), QByteArray("\x01\x02", 2));
    }

    void valuesOfTheWrongTypeAreTheDefaults()
    {
        const QString path = QSettings().fileName();
        QVERIFY(TestEnv::writeFile(path, "[General]\nemptyseatsallowed=maybe\n"
                                         "showunknowndevices=@ByteArray(true)\n"
                                         "[usernames]\nseat1=@ByteArray(Lab)\nseat2=Hall\n"));
        QVERIFY(!AppSettings::emptySeatsAllowed());
        QVERIFY(!AppSettings::showUnknownDevices());
        QCOMPARE(AppSettings::seatDisplayName(QStringLiteral("seat1")), QStringLiteral("seat1"));
        QCOMPARE(AppSettings::seatDisplayName(QStringLiteral("seat2")), QStringLiteral("Hall"));
    }

    // A link in place of the file, or of its folder, would lead root's
    // writes into whatever file it names.
    void aLinkIsNeverFollowed_data()
    {
        QTest::addColumn<bool>("folder");
        QTest::newRow("the file") << false;
        QTest::newRow("its folder") << true;
    }

    void aLinkIsNeverFollowed()
    {
        QFETCH(bool, folder);
        QTemporaryDir elsewhere;
        QVERIFY(elsewhere.isValid());
        const QString secret = elsewhere.filePath(QFileInfo(QSettings().fileName()).fileName());
        QVERIFY(TestEnv::writeFile(secret, "root's own\n"));
        const QString path = QSettings().fileName();
        const QString linked = folder ? QFileInfo(path).absolutePath() : path;
        QDir(linked).removeRecursively();
        QFile::remove(linked);
        QVERIFY(QFile::link(folder ? elsewhere.path() : secret, linked));

        AppSettings::setSeatDisplayName(QStringLiteral("seat1"), QStringLiteral("Lab"));
        AppSettings::setGeometry(QByteArray(100, 'g'));
        QCOMPARE(TestEnv::readFile(secret), QByteArray("root's own\n"));
        QCOMPARE(AppSettings::seatDisplayName(QStringLiteral("seat1")), QStringLiteral("seat1"));

        QFile::remove(linked);
        QDir().mkpath(QFileInfo(path).absolutePath());
    }
};

QTEST_GUILESS_MAIN(TestAppSettings)
#include "tst_appsettings.moc"
