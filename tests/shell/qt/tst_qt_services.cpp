// SPDX-License-Identifier: GPL-3.0-or-later
// The desktop's message and input boxes as the game asks for them: the right
// buttons and icon for a style, the right answer code back, and the main
// window brought up to date before a box shows; the main window minimises
// and comes back active.
#include <QAbstractButton>
#include <QInputDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QtTest>

#include "game/platform.h"
#include "shell/qt/qt_services.h"

using namespace mf;
using mf::qt::QtInputBox;
using mf::qt::QtMessageBox;
using mf::qt::QtWindowState;

namespace {

// Runs `act` on the modal box once it is up.
template <typename Box>
void whenShown(const std::function<void(Box*)>& act) {
    QTimer::singleShot(0, [act] {
        auto* box = qobject_cast<Box*>(QApplication::activeModalWidget());
        QVERIFY(box);
        act(box);
    });
}

} // namespace

class TestQtServices : public QObject {
    Q_OBJECT

private slots:
    void messageBoxButtonsIconAndAnswer_data();
    void messageBoxButtonsIconAndAnswer();
    void closingTheBoxAnswersItsCancel_data();
    void closingTheBoxAnswersItsCancel();
    void windowIsUpToDateBeforeTheBoxShows();
    void windowMinimisesAndComesBackActive();
    void inputBoxGivesTheTextOrNothingOnCancel();
    void enterPressesTheFocusedButton_data();
    void enterPressesTheFocusedButton();
};

void TestQtServices::messageBoxButtonsIconAndAnswer_data() {
    QTest::addColumn<int>("style");
    QTest::addColumn<int>("icon");
    QTest::addColumn<int>("buttons");
    QTest::addColumn<int>("press");
    QTest::addColumn<int>("answer");
    using B = QMessageBox;
    QTest::newRow("time limit") << (vbOKOnly + vbCritical) << int(B::Critical) << int(B::Ok)
                                << int(B::Ok) << int(vbOK);
    QTest::newRow("safe corners") << (vbOKCancel + vbInformation) << int(B::Information)
                                  << int(B::Ok | B::Cancel) << int(B::Cancel) << int(vbCancel);
    QTest::newRow("clear scores") << (vbYesNo + vbExclamation) << int(B::Warning)
                                  << int(B::Yes | B::No) << int(B::Yes) << int(vbYes);
    QTest::newRow("quit") << (vbYesNo + vbQuestion) << int(B::Question) << int(B::Yes | B::No)
                          << int(B::No) << int(vbNo);
    QTest::newRow("disguise") << (vbAbortRetryIgnore + vbCritical) << int(B::Critical)
                              << int(B::Abort | B::Retry | B::Ignore) << int(B::Retry)
                              << int(vbRetry);
}

void TestQtServices::messageBoxButtonsIconAndAnswer() {
    QFETCH(int, style);
    QFETCH(int, icon);
    QFETCH(int, buttons);
    QFETCH(int, press);
    QFETCH(int, answer);
    whenShown<QMessageBox>([=](QMessageBox* box) {
        QCOMPARE(box->windowTitle(), QStringLiteral("Marrowfen 2"));
        QCOMPARE(box->text(), QStringLiteral("Some text"));
        QCOMPARE(int(box->icon()), icon);
        QCOMPARE(int(box->standardButtons()), buttons);
        box->button(QMessageBox::StandardButton(press))->click();
    });
    QtMessageBox messages;
    QCOMPARE(messages.show("Some text", kTitle, style), answer);
}

void TestQtServices::closingTheBoxAnswersItsCancel_data() {
    QTest::addColumn<int>("style");
    QTest::addColumn<int>("answer");
    QTest::newRow("OK only") << int(vbOKOnly) << int(vbOK);
    QTest::newRow("OK and Cancel") << int(vbOKCancel) << int(vbCancel);
    QTest::newRow("Yes and No") << int(vbYesNo) << int(vbNo);
}

void TestQtServices::closingTheBoxAnswersItsCancel() {
    QFETCH(int, style);
    QFETCH(int, answer);
    whenShown<QMessageBox>([](QMessageBox* box) { QTest::keyClick(box, Qt::Key_Escape); });
    QtMessageBox messages;
    QCOMPARE(messages.show("Closed", kTitle, style), answer);
}

void TestQtServices::windowIsUpToDateBeforeTheBoxShows() {
    QtMessageBox messages;
    bool boxShown = false;
    int refreshes = 0;
    bool refreshedBeforeBox = false;
    messages.beforeShow = [&] {
        ++refreshes;
        refreshedBeforeBox = !boxShown;
    };
    whenShown<QMessageBox>([&](QMessageBox* box) {
        boxShown = true;
        box->accept();
    });
    messages.show("Time is up", kTitle, vbOKOnly + vbCritical);
    QCOMPARE(refreshes, 1);
    QVERIFY(refreshedBeforeBox);
}

void TestQtServices::windowMinimisesAndComesBackActive() {
    QWidget main;
    QWidget other;
    main.show();
    other.show();
    QtWindowState state;
    state.setWindow(&main);
    for (int round = 0; round < 3; ++round) {
        state.setWindowState(1);
        QCOMPARE(state.windowState(), Int16(1));
        QVERIFY(main.isMinimized());
        other.activateWindow();
        QTRY_COMPARE(QApplication::activeWindow(), &other);
        state.setWindowState(0);
        QCOMPARE(state.windowState(), Int16(0));
        QVERIFY(main.isVisible() && !main.isMinimized());
        QTRY_COMPARE(QApplication::activeWindow(), &main);
    }
}

void TestQtServices::inputBoxGivesTheTextOrNothingOnCancel() {
    QtInputBox input;
    whenShown<QInputDialog>([](QInputDialog* box) {
        QCOMPARE(box->windowTitle(), QStringLiteral("Congratulations!"));
        QCOMPARE(box->labelText(), QStringLiteral("Enter Your Name"));
        QVERIFY(box->textValue().isEmpty());
        // Read with the box as it opens; not shown.
        QCOMPARE(box->accessibleDescription(), QStringLiteral("New Beginner record: 12 seconds"));
        for (QLabel* label : box->findChildren<QLabel*>())
            QVERIFY(!label->text().contains(QStringLiteral("record")));
        // The whole title shows under a title bar's buttons.
        QFont title = box->font();
        title.setBold(true);
        title.setPointSizeF(14);
        const bool wide = box->minimumWidth() >= QFontMetrics(title).horizontalAdvance(box->windowTitle()) + 6 * 32;
        box->setTextValue(QStringLiteral("  Zoë  "));
        box->accept();
        QVERIFY(wide);
    });
    QCOMPARE(input.ask("Enter Your Name", "Congratulations!", "New Beginner record: 12 seconds"),
             std::string("  Zoë  "));

    whenShown<QInputDialog>([](QInputDialog* box) {
        box->setTextValue(QStringLiteral("typed, then cancelled"));
        box->reject();
    });
    QCOMPARE(input.ask("Enter Your Name", "Congratulations!"), std::string());
}

void TestQtServices::enterPressesTheFocusedButton_data() {
    QTest::addColumn<int>("style");
    QTest::addColumn<int>("focus");
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("answer");
    using B = QMessageBox;
    QTest::newRow("quit, No") << (vbYesNo + vbQuestion) << int(B::No) << int(Qt::Key_Return) << int(vbNo);
    QTest::newRow("quit, Yes") << (vbYesNo + vbQuestion) << int(B::Yes) << int(Qt::Key_Enter) << int(vbYes);
    QTest::newRow("safe corners, Cancel") << (vbOKCancel + vbInformation) << int(B::Cancel)
                                          << int(Qt::Key_Return) << int(vbCancel);
    QTest::newRow("disguise, Retry") << (vbAbortRetryIgnore + vbCritical) << int(B::Retry)
                                     << int(Qt::Key_Return) << int(vbRetry);
    QTest::newRow("disguise, Ignore") << (vbAbortRetryIgnore + vbCritical) << int(B::Ignore)
                                      << int(Qt::Key_Enter) << int(vbIgnore);
    QTest::newRow("time limit, OK") << (vbOKOnly + vbCritical) << int(B::Ok) << int(Qt::Key_Return)
                                    << int(vbOK);
}

// Whichever button has the focus, Enter presses it, as Space does.
void TestQtServices::enterPressesTheFocusedButton() {
    QFETCH(int, style);
    QFETCH(int, focus);
    QFETCH(int, key);
    QFETCH(int, answer);
    whenShown<QMessageBox>([=](QMessageBox* box) {
        QAbstractButton* button = box->button(QMessageBox::StandardButton(focus));
        button->setFocus();
        QTest::keyClick(button, Qt::Key(key));
    });
    QtMessageBox messages;
    QCOMPARE(messages.show("Some text", kTitle, style), answer);
}

QTEST_MAIN(TestQtServices)
#include "tst_qt_services.moc"
