// SPDX-FileCopyrightText: 2026 Zel developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "apply/layouthistory.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

#include <sys/stat.h>

class TestLayoutHistory : public QObject
{
    Q_OBJECT
private slots:
    void newestTenKept();
    void folderOnlyForTheAdministrator_data();
    void folderOnlyForTheAdministrator();
};

namespace {

LayoutFile withSeats(int count)
{
    LayoutFile file;
    for (int i = 1; i <= count; ++i)
        file.seats.append({QStringLiteral("seat%1").arg(i), QString(), {}});
    return file;
}

mode_t modeOf(const QString &path)
{
    struct stat st;
    return ::lstat(QFile::encodeName(path).constData(), &st) == 0 ? st.st_mode & 07777 : 0;
}

} // namespace

// Made where missing for root alone; the newest ten stay, newest first, two
// within one second both.
void TestLayoutHistory::newestTenKept()
{
    QTemporaryDir dir;
    const QString folder = dir.filePath("var/lib/zel/layouts");
    LayoutHistory history(folder);
    const QDateTime start(QDate(2026, 12, 9), QTime(7, 0));
    QString error;
    for (int i = 0; i < 12; ++i)
        QVERIFY2(history.keep(withSeats(i % 3), start.addSecs(60 * i), &error), qPrintable(error));
    QVERIFY(history.keep(withSeats(4), start.addSecs(60 * 11), &error));
    QCOMPARE(modeOf(folder), mode_t(0700));
    QCOMPARE(modeOf(dir.filePath("var/lib/zel")), mode_t(0700));

    const QList<LayoutHistory::Entry> entries = history.entries();
    QCOMPARE(entries.size(), LayoutHistory::Kept);
    QCOMPARE(QDir(folder).entryList(QDir::Files).size(), LayoutHistory::Kept);
    QCOMPARE(entries.at(0).file.seats.size(), 4); // the second one of the last minute
    QCOMPARE(entries.at(1).when, start.addSecs(60 * 11));
    QCOMPARE(entries.last().when, start.addSecs(60 * 3));
    // Nothing half-written is left beside them.
    for (const QString &name : QDir(folder).entryList(QDir::Files))
        QVERIFY2(name.endsWith(".json"), qPrintable(name));
}

void TestLayoutHistory::folderOnlyForTheAdministrator_data()
{
    QTest::addColumn<QString>("kind");
    QTest::newRow("readable by others") << "open";
    QTest::newRow("a link to another folder") << "link";
}

// A folder someone else could change, or a link, keeps nothing.
void TestLayoutHistory::folderOnlyForTheAdministrator()
{
    QFETCH(QString, kind);
    QTemporaryDir dir;
    const QString folder = dir.filePath("layouts");
    if (kind == "open") {
        QVERIFY(QDir().mkdir(folder));
        QVERIFY(::chmod(QFile::encodeName(folder).constData(), 0755) == 0);
    } else {
        QVERIFY(QDir().mkdir(dir.filePath("elsewhere")));
        QVERIFY(::chmod(QFile::encodeName(dir.filePath("elsewhere")).constData(), 0700) == 0);
        QVERIFY(QFile::link(dir.filePath("elsewhere"), folder));
    }
    QString error;
    QVERIFY(!LayoutHistory(folder).keep(withSeats(1), QDateTime::currentDateTime(), &error));
    QVERIFY(error.contains(folder));
    QVERIFY(QDir(dir.filePath("elsewhere")).isEmpty());
    QVERIFY(QDir(folder).entryList(QDir::Files).isEmpty());
}

QTEST_GUILESS_MAIN(TestLayoutHistory)
#include "tst_layouthistory.moc"
