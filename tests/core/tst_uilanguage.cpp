// SPDX-FileCopyrightText: 2026 Zel developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "core/uilanguage.h"

#include <QTest>

// The language the program speaks, out of the user's list of languages and
// the translations there are (German and Russian here).
class TestUiLanguage : public QObject
{
    Q_OBJECT
private slots:
    void firstUsableLanguageWins_data();
    void firstUsableLanguageWins();
    void cLocaleKeepsTheProgramsTexts();
};

void TestUiLanguage::firstUsableLanguageWins_data()
{
    QTest::addColumn<QStringList>("languages");
    QTest::addColumn<QString>("chosen");

    QTest::newRow("German") << QStringList{"de-DE"} << "de";
    QTest::newRow("Austrian German, as de") << QStringList{"de-AT"} << "de";
    QTest::newRow("underscore form") << QStringList{"ru_RU"} << "ru";
    QTest::newRow("untranslated, then German") << QStringList{"fr-FR", "fr", "de"} << "de";
    QTest::newRow("English first keeps English") << QStringList{"en-GB", "de"} << "";
    QTest::newRow("plain English first") << QStringList{"en", "ru"} << "";
    QTest::newRow("Russian before German") << QStringList{"ru", "de"} << "ru";
    QTest::newRow("nothing translated") << QStringList{"fr", "es"} << "";
    QTest::newRow("C in the list is skipped") << QStringList{"C", "de"} << "de";
    QTest::newRow("empty list") << QStringList{} << "";
    QTest::newRow("a regional translation of its own") << QStringList{"pt-BR"} << "pt_BR";
}

void TestUiLanguage::firstUsableLanguageWins()
{
    QFETCH(QStringList, languages);
    QFETCH(QString, chosen);
    const QStringList translated{"de", "ru", "pt_BR"};
    QCOMPARE(
        UiLanguage::chooseFrom(languages, [&](const QString &l) { return translated.contains(l); }),
        chosen);
}

void TestUiLanguage::cLocaleKeepsTheProgramsTexts()
{
    const auto any = [](const QString &) { return true; };
    QCOMPARE(UiLanguage::choose(QLocale::c(), any), QString());
    QVERIFY(UiLanguage::choose(QLocale("de_DE"), any).startsWith("de"));
}

QTEST_GUILESS_MAIN(TestUiLanguage)
#include "tst_uilanguage.moc"
