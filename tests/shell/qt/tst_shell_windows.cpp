// SPDX-License-Identifier: GPL-3.0-or-later
// The title and help windows on screen, and Enter on the game window; what a
// screen reader reads of the title and help windows.
#include <QAccessible>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QtTest>

#include "fakes.h"
#include "shell/qt/help_view.h"
#include "shell/qt/main_view.h"
#include "shell/qt/startup_view.h"
#include "shell/startup_frm.h"

using namespace mf;
using namespace mf::fakes;
using mf::qt::HelpView;
using mf::qt::MainView;
using mf::qt::StartupView;

class TestShellWindows : public QObject {
    Q_OBJECT

private slots:
    void titleWindowClosesOnAnyClickOrCharacter();
    void titleWindowIgnoresKeysWithoutCharacter();
    void helpButtonHidesAndCloseBoxUnloads();
    void enterPressesTheWordButtonWhenItHasTheFocus();
    void titleWindowSaysAnyKeyGoesOn();
    void helpExampleCellsAreNamedAsBoardCells();
};

void TestShellWindows::titleWindowClosesOnAnyClickOrCharacter() {
    const auto centre = [](const QWidget* w) { return w->geometry().center(); };
    for (int way = 0; way < 9; ++way) {
        int shown = 0;
        StartupFrm model([&] { ++shown; });
        StartupView view(model);
        view.show();
        QVERIFY(QTest::qWaitForWindowExposed(&view));
        QCOMPARE(view.size(), QSize(488, 240));
        switch (way) {
        case 0: QTest::mouseClick(&view, Qt::LeftButton, {}, centre(view.title())); break;
        case 1: QTest::mouseClick(&view, Qt::LeftButton, {}, centre(view.logo())); break;
        case 2: QTest::mouseClick(&view, Qt::LeftButton, {}, QPoint(240, 200)); break; // the frame
        case 3: QTest::keyClick(&view, Qt::Key_Return); break;
        case 4: QTest::keyClick(&view, Qt::Key_Q); break;
        case 5: QTest::keyClick(&view, Qt::Key_Escape); break;
        case 6: QTest::keyClick(&view, Qt::Key_Backspace); break;
        case 7: QTest::keyClick(&view, Qt::Key_Space); break;
        case 8: QTest::keyClick(&view, Qt::Key_5); break;
        }
        QVERIFY2(!view.isVisible(), qPrintable(QString("way %1").arg(way)));
        QCOMPARE(shown, 1);
        QVERIFY(!model.Loaded);
    }
}

void TestShellWindows::titleWindowIgnoresKeysWithoutCharacter() {
    int shown = 0;
    StartupFrm model([&] { ++shown; });
    StartupView view(model);
    view.show();
    QVERIFY(QTest::qWaitForWindowExposed(&view));
    for (const Qt::Key key : {Qt::Key_Shift, Qt::Key_Control, Qt::Key_Alt, Qt::Key_Right, Qt::Key_F5,
                              Qt::Key_Tab, Qt::Key_Backtab, Qt::Key_Delete, Qt::Key_Insert, Qt::Key_Home})
        QTest::keyClick(&view, key);
    // What the X keyboard gives for Tab and Delete.
    for (const auto& [key, text] : {std::pair{Qt::Key_Tab, "\t"}, std::pair{Qt::Key_Delete, "\x7f"}}) {
        QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier, QString::fromLatin1(text));
        QApplication::sendEvent(&view, &press);
    }
    QTest::mouseClick(&view, Qt::RightButton, {}, QPoint(240, 120));
    QVERIFY(view.isVisible());
    QCOMPARE(shown, 0);
    // The red title lies above its black shadow, 40 and 35 twips up and left.
    QCOMPARE(view.shadow()->pos() - view.title()->pos(), QPoint(3, 3));
    QCOMPARE(view.title()->palette().color(QPalette::WindowText), QColor(Qt::red));
}

void TestShellWindows::helpButtonHidesAndCloseBoxUnloads() {
    MenuItem soundOn{"&Sound On", "Ctrl+S", true};
    RecordingWaveDevice pig;
    HelpFrm model(soundOn, pig);
    HelpView view(model);
    QCOMPARE(view.size(), QSize(360, 299));
    QVERIFY(view.okButton()->isDefault());
    QCOMPARE(view.okButton()->accessibleName(), QString("I DON'T NEED YOUR HELP"));
    view.show();
    QVERIFY(QTest::qWaitForWindowExposed(&view));
    QTest::keyClick(&view, Qt::Key_Return);
    QVERIFY(!view.isVisible());
    QVERIFY(model.Loaded);
    QCOMPARE(pig.files(), std::vector<std::string>{"Vorask3.fez"});

    // The close box, and Escape the same way: unloaded after the sound.
    for (const bool escape : {false, true}) {
        HelpFrm again(soundOn, pig);
        HelpView window(again);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        pig.log.clear();
        if (escape)
            QTest::keyClick(&window, Qt::Key_Escape);
        else
            window.close();
        QVERIFY(!window.isVisible());
        QVERIFY(!again.Loaded);
        QCOMPARE(pig.log.back(), std::string("Play"));
        QCOMPARE(pig.log[pig.log.size() - 2], std::string("Wait=1"));
    }
    // The page names no key: the description of its button, which has the
    // focus as it opens, does.
    const QString keys = QAccessible::queryAccessibleInterface(view.okButton())->text(QAccessible::Description);
    for (const char* key : {"arrows", "Space", "F or the menu key", "Enter", "Ctrl+B", "Ctrl+I", "Ctrl+E",
                            "Ctrl+R", "Ctrl+S", "Ctrl+M", "Ctrl+C", "Ctrl+H", "Ctrl+A", "Ctrl+Q", "Escape"})
        QVERIFY2(keys.contains(QLatin1String(key)), key);
}

void TestShellWindows::enterPressesTheWordButtonWhenItHasTheFocus() {
    Harness h;
    MainView view(h.main);
    view.show();
    QVERIFY(QTest::qWaitForWindowExposed(&view));
    view.resetWord()->setFocus(); // as right after start-up
    const int reseeds = h.random.reseeds;
    for (int k = 0; k < 3; ++k) {
        QTest::keyClick(view.resetWord(), Qt::Key_Return);
        QTest::keyClick(view.resetWord(), Qt::Key_Enter);
    }
    QCOMPARE(h.random.reseeds, reseeds + 6); // a new board each time
}

// Read as "Marrowfen 2 dialog. Press any key to continue.", at start and as
// About, and the window still closes on any key.
void TestShellWindows::titleWindowSaysAnyKeyGoesOn() {
    for (int showing = 0; showing < 2; ++showing) {
        int shown = 0;
        StartupFrm model([&] { ++shown; });
        StartupView view(model);
        QAccessibleInterface* window = QAccessible::queryAccessibleInterface(&view);
        QCOMPARE(window->text(QAccessible::Name), QStringLiteral("Marrowfen 2"));
        QCOMPARE(window->text(QAccessible::Description), QStringLiteral("Press any key to continue."));
        QCOMPARE(view.title()->text(), QStringLiteral("Marrowfen 2")); // nothing new on screen
        view.show();
        QVERIFY(QTest::qWaitForWindowExposed(&view));
        QTest::keyClick(&view, Qt::Key_K);
        QVERIFY(!view.isVisible());
        QCOMPARE(shown, 1);
    }
}

// Row by row, as the example shows them: each cell named as a board cell
// with that picture is, and placed by its column and row.
void TestShellWindows::helpExampleCellsAreNamedAsBoardCells() {
    MenuItem soundOn{"&Sound On", "Ctrl+S", false};
    RecordingWaveDevice pig;
    HelpFrm model(soundOn, pig);
    HelpView view(model);
    QList<QLabel*> cells;
    for (QLabel* label : view.findChildren<QLabel*>())
        if (!label->pixmap().isNull())
            cells << label;
    std::sort(cells.begin(), cells.end(), [](QLabel* a, QLabel* b) {
        return std::pair(a->y(), a->x()) < std::pair(b->y(), b->x());
    });
    QStringList names;
    QStringList places;
    for (QLabel* cell : cells) {
        QAccessibleInterface* spoken = QAccessible::queryAccessibleInterface(cell);
        names << spoken->text(QAccessible::Name);
        places << spoken->text(QAccessible::Description);
    }
    QCOMPARE(names, QStringList({"empty", "1", "mine", "1", "2", "1", "mine", "1", "empty"}));
    QCOMPARE(places.first(), QStringLiteral("column 1, row 1"));
    QCOMPARE(places[5], QStringLiteral("column 3, row 2"));
    QCOMPARE(places.last(), QStringLiteral("column 3, row 3"));
}

QTEST_MAIN(TestShellWindows)
#include "tst_shell_windows.moc"
