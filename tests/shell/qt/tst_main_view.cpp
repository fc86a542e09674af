// SPDX-License-Identifier: GPL-3.0-or-later
// The main window on screen: its menu, its size for each board, and presses
// on cells reaching the game.
#include <QAccessible>
#include <QAction>
#include <QEventLoop>
#include <QScopeGuard>
#include <QTimer>
#include <QLabel>
#include <QMenuBar>
#include <QPushButton>
#include <QtTest>

#include "fakes.h"
#include "common/qt/command_gate.h"
#include "shell/qt/board_widget.h"
#include "shell/qt/main_view.h"
#include "common/qt/qt_util.h"

using namespace mf;
using namespace mf::fakes;
using mf::qt::BoardWidget;
using mf::qt::MainView;

namespace {

QSize boardSizeFor(const Main& m) {
    return {m.Width / kTwipsPerPixel - MainView::kFrameWidth,
            m.Height / kTwipsPerPixel - MainView::kFrameHeight};
}

// A 3 x 3 custom board whose one mine lies in the corner (3, 3), on screen.
struct CornerMineBoard {
    CornerMineBoard() {
        h.setSafe(false);
        h.customBoard(3, {{3, 3}});
        view.refresh();
        view.show();
    }
    Harness h;
    MainView view{h.main};
};

} // namespace

class TestMainView : public QObject {
    Q_OBJECT

private slots:
    void menuCaptionsShortcutsAndChecks();
    void menuTreeOrder();
    void controlKeyBuildsExpertBoardAndGrowsWindow();
    void wholeBoardFitsForEverySize();
    void statusStripShowsTheRound();
    void pressesReachTheCells();
    void flagClickNeedsPressAndReleaseOnSamePicture();
    void accessibilityPressWaitsForTheWaitedSound_data();
    void accessibilityPressWaitsForTheWaitedSound();
};

void TestMainView::menuCaptionsShortcutsAndChecks() {
    Harness h;
    MainView view(h.main);
    struct Expect {
        const char* name;
        const char* caption;
        const char* shortcut;
        bool checked;
    };
    const Expect items[] = {
        {"Beginner", "&Beginner", "Ctrl+B", false},
        {"Intermediate", "&Intermediate", "Ctrl+I", true},
        {"Expert", "&Expert", "Ctrl+E", false},
        {"Custom", "&Custom...", "", false},
        {"MnuReset", "&Reset", "Ctrl+R", false},
        {"About", "&About...", "Ctrl+A", false},
        {"ShwScore", "&High Scores...", "", false},
        {"Quit", "&Quit", "Ctrl+Q", false},
        {"MnuSndOn", "&Sound On", "Ctrl+S", true},
        {"Safe", "Safe &Corners", "", true},
        {"min", "&Minimise Window", "Ctrl+M", false},
        {"MnuBoss", "&Boss Coming", "Ctrl+C", false},
        {"How", "&How To Play", "Ctrl+H", false},
    };
    for (const Expect& e : items) {
        QAction* action = view.action(e.name);
        QVERIFY2(action, e.name);
        QCOMPARE(action->text(), QString::fromUtf8(e.caption));
        QCOMPARE(action->shortcut(), QKeySequence(QString::fromUtf8(e.shortcut)));
        QCOMPARE(action->isChecked(), e.checked);
    }

    view.action("Expert")->trigger();
    QVERIFY(view.action("Expert")->isChecked());
    QVERIFY(!view.action("Intermediate")->isChecked());
    view.action("MnuSndOn")->trigger();
    QVERIFY(!view.action("MnuSndOn")->isChecked());
    QVERIFY(!h.main.menu.MnuSndOn.Checked);
}

void TestMainView::menuTreeOrder() {
    Harness h;
    MainView view(h.main);
    QStringList tops;
    for (QAction* a : view.menuBar()->actions())
        tops << a->text();
    QCOMPARE(tops, (QStringList{"&File", "&Options", "&View", "&Help"}));
    QMenu* file = view.menuBar()->actions().first()->menu();
    QStringList entries;
    for (QAction* a : file->actions())
        entries << (a->isSeparator() ? QStringLiteral("-") : a->text());
    QCOMPARE(entries, (QStringList{"&New Game", "&Reset", "-", "&About...", "&High Scores...", "-",
                                   "&Quit"}));
    // A screen reader says which menu opened: "File menu", not only its
    // first item.
    QStringList spoken;
    for (QAction* a : view.menuBar()->actions())
        spoken << QAccessible::queryAccessibleInterface(a->menu())->text(QAccessible::Name);
    spoken << QAccessible::queryAccessibleInterface(file->actions().first()->menu())->text(QAccessible::Name);
    QCOMPARE(spoken, (QStringList{"File", "Options", "View", "Help", "New Game"}));
}

void TestMainView::controlKeyBuildsExpertBoardAndGrowsWindow() {
    Harness h;
    MainView view(h.main);
    view.show();
    QVERIFY(QTest::qWaitForWindowExposed(&view));
    const QSize before = view.size();
    QTest::keyClick(&view, Qt::Key_E, Qt::ControlModifier);
    QCOMPARE(h.main.field.BoardSize, Int16(14));
    QCOMPARE(h.main.field.MineCount, Int16(49));
    QCOMPARE(view.board()->size(), boardSizeFor(h.main));
    QCOMPARE(view.board()->size(), QSize(5410 / 15 - 8, 6860 / 15 - 50));
    QTRY_VERIFY(view.size().width() > before.width() && view.size().height() > before.height());
    QTest::keyClick(&view, Qt::Key_B, Qt::ControlModifier);
    QCOMPARE(h.main.field.BoardSize, Int16(6));
    QTest::keyClick(&view, Qt::Key_I, Qt::ControlModifier);
    QCOMPARE(h.main.field.BoardSize, Int16(11));
}

void TestMainView::wholeBoardFitsForEverySize() {
    Harness h;
    MainView view(h.main);
    for (int size = 1; size <= 14; ++size) {
        h.custom(size, 5);
        view.refresh();
        const Rect last = h.main.field.Command2[Minefield::CellIndex(size, size)].rect;
        const QRect board = view.board()->rect();
        QVERIFY2(board.contains(mf::qt::px(last)), qPrintable(QString::number(size)));
        QVERIFY(board.contains(mf::qt::px(h.main.strip.MinesLbl.rect)));
    }
}

void TestMainView::statusStripShowsTheRound() {
    Harness h;
    MainView view(h.main);
    QCOMPARE(view.timeLabel()->text(), QStringLiteral("TIME: 0"));
    QCOMPARE(view.minesLabel()->text(), QStringLiteral("MINES:  24"));
    QVERIFY(!view.resetWord()->isHidden());
    QVERIFY(view.resetFace()->isHidden());
    QCOMPARE(view.resetWord()->text(), QStringLiteral("Reset"));

    // Minimised, the window keeps its caption for a screen reader, the boss
    // key's too.
    view.show();
    view.showMinimized();
    QAccessibleInterface* window = QAccessible::queryAccessibleInterface(&view);
    QCOMPARE(window->text(QAccessible::Name), QString::fromUtf8(kMainCaption));
    h.main.Caption = kBossCaption;
    view.refresh();
    QCOMPARE(window->text(QAccessible::Name), QString::fromUtf8(kBossCaption));
}

void TestMainView::pressesReachTheCells() {
    CornerMineBoard shown;
    QVERIFY(QTest::qWaitForWindowExposed(&shown.view));
    Harness& h = shown.h;
    MainView& view = shown.view;
    BoardWidget* board = view.board();
    const int corner = Minefield::CellIndex(3, 3);
    QTest::mousePress(board, Qt::RightButton, {}, board->cellCentre(corner));
    QCOMPARE(h.main.field.ButPic[corner].Tag, std::string("think"));
    QCOMPARE(view.minesLabel()->text(), QStringLiteral("MINES:  0"));
    QCOMPARE(h.main.field.ClockStarted, Int16(1));

    QTest::mousePress(board, Qt::LeftButton, {}, board->cellCentre(Minefield::CellIndex(1, 1)));
    QCOMPARE(h.main.field.GameActive, Int16(0)); // the empty corner opens everything safe
    QVERIFY(view.resetWord()->isHidden());
    QVERIFY(!view.resetFace()->isHidden());
}

void TestMainView::flagClickNeedsPressAndReleaseOnSamePicture() {
    CornerMineBoard shown;
    QVERIFY(QTest::qWaitForWindowExposed(&shown.view));
    Harness& h = shown.h;
    MainView& view = shown.view;
    BoardWidget* board = view.board();
    const int flagged = Minefield::CellIndex(2, 2);
    QTest::mousePress(board, Qt::MiddleButton, {}, board->cellCentre(flagged));
    QCOMPARE(h.main.field.ButPic[flagged].Tag, std::string("think"));

    // Pressed on the flag, released elsewhere: no click.
    QTest::mousePress(board, Qt::LeftButton, {}, board->cellCentre(flagged));
    QTest::mouseRelease(board, Qt::LeftButton, {}, QPoint(2, 2));
    QCOMPARE(h.main.field.ButPic[flagged].Tag, std::string("think"));

    QTest::mouseClick(board, Qt::LeftButton, {}, board->cellCentre(flagged));
    QCOMPARE(h.main.field.ButPic[flagged].Tag, std::string(""));
    QVERIFY(h.main.field.Command2[flagged].Visible);
}

// A screen reader's press is no keyboard or mouse input, which a waited
// sound leaves queued: the reset button and the menu item, pressed through
// their accessible actions during a loss's explosion, start the new game
// only once the loss is over, and not over it.
void TestMainView::accessibilityPressWaitsForTheWaitedSound_data() {
    QTest::addColumn<bool>("menu");
    QTest::newRow("reset button") << false;
    QTest::newRow("menu item Reset") << true;
}

void TestMainView::accessibilityPressWaitsForTheWaitedSound() {
    QFETCH(bool, menu);
    CornerMineBoard shown;
    QVERIFY(QTest::qWaitForWindowExposed(&shown.view));
    Harness& h = shown.h;
    MainView& view = shown.view;
    bool held = false;
    mf::qt::CommandGate::setHeld([&] { return held; });
    const auto release = qScopeGuard([] { mf::qt::CommandGate::setHeld({}); });

    const auto press = [&] {
        QAccessibleInterface* target = nullptr;
        if (menu) {
            QAccessibleInterface* file = QAccessible::queryAccessibleInterface(view.action("MnuReset")->parent());
            for (int i = 0; file && i < file->childCount(); ++i)
                if (file->child(i)->text(QAccessible::Name) == "Reset")
                    target = file->child(i);
        } else {
            view.refresh(); // the face shows while the explosion sounds
            QPushButton* reset = view.resetFace()->isVisible() ? view.resetFace() : view.resetWord();
            target = QAccessible::queryAccessibleInterface(reset);
        }
        QVERIFY(target && target->actionInterface());
        target->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
    };
    int waits = 0;
    bool newGameDuringWait = false;
    h.wave.onRecord = [&](const std::string& entry) {
        if (entry != "Play" || h.wave.log.size() < 2 || h.wave.log[h.wave.log.size() - 2] != "Wait=1")
            return;
        ++waits;
        held = true; // as the wave device waits: the window drawn, input queued
        press();
        QEventLoop loop;
        QTimer::singleShot(400, &loop, &QEventLoop::quit);
        loop.exec(QEventLoop::ExcludeUserInputEvents);
        newGameDuringWait = h.main.field.GameActive != 0;
        held = false;
    };

    for (int round = 1; round <= 3; ++round) {
        const int corner = Minefield::CellIndex(3, 3);
        QTest::mousePress(view.board(), Qt::LeftButton, {}, view.board()->cellCentre(corner));
        QCOMPARE(waits, round);
        QVERIFY2(!newGameDuringWait, "the press waits for the end of the explosion");
        QVERIFY2(!h.main.field.Command2[corner].Visible, "the loss has uncovered the board");
        QTRY_COMPARE(h.main.field.GameActive, Int16(1));
        QVERIFY2(h.main.field.Command2[corner].Visible, "the new board is whole");
        h.customBoard(3, {{3, 3}}); // the same board again
        view.refresh();
    }
}

QTEST_MAIN(TestMainView)
#include "tst_main_view.moc"
