// SPDX-FileCopyrightText: 2026 Zel developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "apply/displaymanager.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using Kind = DisplayManager::Kind;

class TestDisplayManager : public QObject
{
    Q_OBJECT
private slots:
    void detect_data();
    void detect();
};

void TestDisplayManager::detect_data()
{
    QTest::addColumn<QString>("linkTarget");     // empty: no link
    QTest::addColumn<QByteArray>("defaultFile"); // empty: no file
    QTest::addColumn<int>("kind");
    QTest::addColumn<QString>("unit");
    QTest::addColumn<bool>("furtherSeats");

    QTest::newRow("LightDM by its link") << "/lib/systemd/system/lightdm.service" << QByteArray()
                                         << int(Kind::LightDm) << "lightdm.service" << true;
    QTest::newRow("the link wins over the file")
        << "/lib/systemd/system/gdm3.service" << QByteArray("/usr/sbin/lightdm\n") << int(Kind::Gdm)
        << "gdm3.service" << true;
    QTest::newRow("zel-dm keeps its unit's name")
        << "/lib/systemd/system/zel-dm.service" << QByteArray() << int(Kind::ZelDm) << "zel-dm"
        << true;
    QTest::newRow("masked: nothing to restart")
        << "/dev/null" << QByteArray("/usr/sbin/sddm\n") << int(Kind::Masked) << QString() << false;
    QTest::newRow("no link: Debian's file") << QString() << QByteArray("/usr/bin/sddm\nignored\n")
                                            << int(Kind::Sddm) << "sddm.service" << true;
    QTest::newRow("one without seat support")
        << QString() << QByteArray("/usr/bin/xdm\n") << int(Kind::Other) << "xdm.service" << false;
    QTest::newRow("an empty file")
        << QString() << QByteArray("\n") << int(Kind::None) << QString() << false;
    QTest::newRow("nothing at all")
        << QString() << QByteArray() << int(Kind::None) << QString() << false;
}

void TestDisplayManager::detect()
{
    QFETCH(QString, linkTarget);
    QFETCH(QByteArray, defaultFile);
    QFETCH(int, kind);
    QFETCH(QString, unit);
    QFETCH(bool, furtherSeats);
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString link = dir.filePath("display-manager.service");
    const QString file = dir.filePath("default-display-manager");
    if (!linkTarget.isEmpty())
        QVERIFY(QFile::link(linkTarget, link));
    if (!defaultFile.isEmpty()) {
        QFile out(file);
        QVERIFY(out.open(QIODevice::WriteOnly));
        out.write(defaultFile);
    }
    const DisplayManager dm = DisplayManager::detect(link, file);
    QCOMPARE(int(dm.kind()), kind);
    QCOMPARE(dm.unit(), unit);
    QCOMPARE(dm.isRunning(), !unit.isEmpty());
    QCOMPARE(dm.servesFurtherSeats(), furtherSeats);
    QCOMPARE(dm.editsConfiguration(), kind == int(Kind::ZelDm));
}

QTEST_GUILESS_MAIN(TestDisplayManager)
#include "tst_displaymanager.moc"
