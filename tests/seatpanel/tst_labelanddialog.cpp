// SPDX-FileCopyrightText: 2026 Zel developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "common/testenv.h"
#include "seatpanel/createseatdialog.h"
#include "seatpanel/myviewlabel.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>

class TestLabelAndDialog : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { TestEnv::init(); }

    void labelShortensFromThirtyCharacters_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("shown");
        QTest::addColumn<QString>("toolTip");
        const QString t29 = QStringLiteral("Workplace of the accounts dep"); // 29
        const QString t30 = t29 + QLatin1Char('t');
        QTest::newRow("empty") << QString() << QString() << QString();
        QTest::newRow("29 characters") << t29 << t29 << QString();
        QTest::newRow("30 characters") << t30 << t29.left(27) + "..." << t30;
        const QString cyrillic = QString::fromUtf8("Рабочее место бухгалтерии номер два");
        QTest::newRow("non-latin, long") << cyrillic << cyrillic.left(27) + "..." << cyrillic;
    }

    void labelShortensFromThirtyCharacters()
    {
        QFETCH(QString, text);
        QFETCH(QString, shown);
        QFETCH(QString, toolTip);
        MyViewLabel label;
        label.setText(QString(40, QLatin1Char('x'))); // an earlier long text leaves no trace
        label.setText(text);
        QCOMPARE(label.fullText(), text);
        QCOMPARE(label.QLabel::text(), shown);
        QVERIFY(label.QLabel::text().size() <= MyViewLabel::MaxLength);
        QCOMPARE(label.toolTip(), toolTip);
    }

    void dialogYesButtonFollowsTheName()
    {
        CreateSeatDialog dialog;
        auto *yes = dialog.findChild<QPushButton *>(QStringLiteral("yesButton"));
        auto *edit = dialog.findChild<QLineEdit *>(QStringLiteral("nameLineEdit"));
        QVERIFY(yes && edit);
        QVERIFY(!yes->isEnabled());
        QTest::keyClicks(edit, QStringLiteral("a"));
        QVERIFY(yes->isEnabled());
        QTest::keyClick(edit, Qt::Key_Backspace);
        QVERIFY(!yes->isEnabled());
        QTest::keyClicks(edit, QStringLiteral("  "));
        QVERIFY(yes->isEnabled());
        QCOMPARE(dialog.seatName(), QStringLiteral("  "));
    }

    void dialogHandsBackNameAndCard()
    {
        CreateSeatDialog dialog;
        QCOMPARE(dialog.size(), QSize(350, 175));
        QCOMPARE(dialog.windowTitle(), QStringLiteral("New seat creating"));
        QCOMPARE(dialog.videocard(), QString());
        dialog.addVideocards({QStringLiteral("[MASTER] drm:card1"), QStringLiteral("drm:card2")});
        dialog.addVideocards({QStringLiteral("drm:card3")});
        auto *combo = dialog.findChild<QComboBox *>(QStringLiteral("videocardComboBox"));
        QVERIFY(combo);
        QCOMPARE(combo->count(), 3);
        QCOMPARE(combo->itemText(2), QStringLiteral("drm:card3"));
        QCOMPARE(dialog.videocard(), QStringLiteral("[MASTER] drm:card1"));

        // Accepted through "Create seat" with no card offered, and "Cancel" rejects.
        CreateSeatDialog empty;
        QTimer::singleShot(0, &empty, [&empty]() {
            empty.findChild<QLineEdit *>(QStringLiteral("nameLineEdit"))
                ->setText(QStringLiteral(" Lab "));
            empty.findChild<QPushButton *>(QStringLiteral("yesButton"))->click();
        });
        QCOMPARE(empty.exec(), int(QDialog::Accepted));
        QCOMPARE(empty.seatName(), QStringLiteral(" Lab "));
        QCOMPARE(empty.videocard(), QString());
        QTimer::singleShot(0, &empty, [&empty]() {
            empty.findChild<QPushButton *>(QStringLiteral("cancelButton"))->click();
        });
        QCOMPARE(empty.exec(), int(QDialog::Rejected));
    }
};

QTEST_MAIN(TestLabelAndDialog)
#include "tst_labelanddialog.moc"
