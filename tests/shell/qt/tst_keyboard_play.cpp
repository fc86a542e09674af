// SPDX-License-Identifier: GPL-3.0-or-later
// Playing from the keyboard on the real main window, offscreen: a whole
// Beginner round by keys alone, keys and Enter going where the focus is,
// the focus cell after level changes, how it is drawn, and what a screen
// reader is offered.
#include <QAccessible>
#include <QAccessibleInterface>
#include <QDialog>
#include <QLabel>
#include <QPushButton>
#include <QtTest>

#include "fakes.h"
#include "shell/cell_names.h"
#include "shell/qt/board_accessible.h"
#include "shell/qt/board_widget.h"
#include "shell/qt/main_view.h"
#include "shell/qt/minefield_accessible.h"

using namespace mf;
using namespace mf::fakes;
using mf::qt::BoardAccessible;
using mf::qt::BoardWidget;
using mf::qt::MainView;

namespace {

// The main window on screen and active, the board with the keyboard focus.
struct Played {
    Played() {
        view.show();
        view.activateWindow();
    }
    bool ready() {
        if (!QTest::qWaitForWindowActive(&view))
            return false;
        board()->setFocus(Qt::OtherFocusReason);
        return board()->hasFocus();
    }
    BoardWidget* board() { return view.board(); }
    void key(Qt::Key k, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        QTest::keyClick(board(), k, modifiers);
    }
    // Walks to a cell with keys only: to the first cell, then right and down.
    void goTo(int column, int row) {
        key(Qt::Key_Home);
        key(Qt::Key_PageUp);
        for (int c = 1; c < column; ++c)
            key(Qt::Key_Right);
        for (int r = 1; r < row; ++r)
            key(Qt::Key_Down);
    }
    Int16 at() { return board()->cursor().index(); }
    QImage cellImage(int column, int row) {
        return board()->grab(board()->cellRect(Minefield::CellIndex(column, row))).toImage();
    }
    Harness h;
    MainView view{h.main};
};

QString cellText(QAccessibleInterface* table, int column, int row, QAccessible::Text t) {
    return table->tableInterface()->cellAt(row - 1, column - 1)->text(t);
}

QAccessibleInterface* minefieldOf(BoardWidget* board) {
    QAccessibleInterface* pane = QAccessible::queryAccessibleInterface(board);
    for (int i = 0; pane && i < pane->childCount(); ++i)
        if (pane->child(i)->role() == QAccessible::Table)
            return pane->child(i);
    return nullptr;
}

// Counts the times a widget takes the keyboard focus.
struct FocusCount : QObject {
    explicit FocusCount(QWidget* widget) { widget->installEventFilter(this); }
    bool eventFilter(QObject*, QEvent* event) override {
        count += event->type() == QEvent::FocusIn;
        return false;
    }
    int count = 0;
};

} // namespace

class TestKeyboardPlay : public QObject {
    Q_OBJECT

private slots:
    void wholeBeginnerRoundByKeysAlone();
    void keysGoWhereTheFocusIs();
    void focusCellStaysOnTheBoardAfterEveryLevelChange();
    void focusCellDrawnOnlyWhileTheKeyboardHasTheBoard();
    void screenReaderSeesTheCellsAndTheFace();
    void screenReaderHearsTheStatusStrip();
    void screenReaderHearsWhyAKeyDidNothing();
};

void TestKeyboardPlay::wholeBeginnerRoundByKeysAlone() {
    Played p;
    QVERIFY(p.ready());
    p.key(Qt::Key_B, Qt::ControlModifier);
    QCOMPARE(p.h.main.field.BoardSize, Int16(6));
    const std::vector<Cell> mines = {{4, 1}, {4, 2}, {4, 3}, {1, 5}, {2, 5}, {5, 6}};
    p.h.layMines(mines);
    p.view.refresh();
    QCOMPARE(p.at(), Minefield::CellIndex(1, 1));

    // Flag, unflag with Space, flag again with the menu key.
    p.goTo(4, 1);
    QCOMPARE(p.at(), Minefield::CellIndex(4, 1));
    p.key(Qt::Key_F);
    QCOMPARE(p.h.picture(4, 1).Tag, std::string("think"));
    QCOMPARE(p.h.main.field.ClockStarted, Int16(1));
    QCOMPARE(p.view.minesLabel()->text(), QStringLiteral("MINES:  5"));
    p.key(Qt::Key_Space);
    QCOMPARE(p.h.picture(4, 1).Tag, std::string(""));
    QVERIFY(p.h.button(4, 1).Visible);
    QCOMPARE(p.view.minesLabel()->text(), QStringLiteral("MINES:  6"));
    p.key(Qt::Key_Menu);
    QCOMPARE(p.h.picture(4, 1).Tag, std::string("think"));
    p.key(Qt::Key_Down);
    p.key(Qt::Key_F);
    QCOMPARE(p.view.minesLabel()->text(), QStringLiteral("MINES:  4"));

    // Space on the empty corner opens its region, and only that.
    p.goTo(1, 1);
    p.key(Qt::Key_Space);
    QVERIFY(!p.h.button(1, 1).Visible);
    QVERIFY(!p.h.button(3, 4).Visible);
    QVERIFY(p.h.button(6, 1).Visible);
    QCOMPARE(p.h.main.field.GameActive, Int16(1));

    // Every safe cell still covered, walked to and pressed.
    for (int c = 1; c <= 6; ++c)
        for (int r = 1; r <= 6; ++r)
            if (p.h.value(c, r) != 10 && p.h.button(c, r).Visible) {
                QCOMPARE(p.h.main.field.GameActive, Int16(1));
                p.goTo(c, r);
                p.key(Qt::Key_Space);
                QVERIFY2(!p.h.button(c, r).Visible, qPrintable(QStringLiteral("%1, %2").arg(c).arg(r)));
            }
    QCOMPARE(p.h.main.field.GameActive, Int16(0));
    QVERIFY(!p.h.main.Blow.Visible);
    QVERIFY(p.view.resetWord()->isHidden());
    QVERIFY(!p.view.resetFace()->isHidden());
    const std::vector<std::string> played = p.h.wave.files();
    QVERIFY(!played.empty());
    QVERIFY(played.back() != "Vorask1.fez"); // no explosion
    // The round is over: the keys change nothing more.
    p.key(Qt::Key_Space);
    p.key(Qt::Key_F);
    QCOMPARE(p.h.main.field.GameActive, Int16(0));
}

void TestKeyboardPlay::keysGoWhereTheFocusIs() {
    Played p;
    QVERIFY(p.ready());
    const int built = p.h.main.boardsBuilt;

    // On the word button the board's keys do nothing: no cell the player
    // cannot see chosen, no flag, no clock.
    QPushButton* word = p.view.resetWord();
    word->setFocus(Qt::OtherFocusReason);
    for (Qt::Key k : {Qt::Key_End, Qt::Key_PageDown, Qt::Key_F, Qt::Key_Menu, Qt::Key_Home})
        QTest::keyClick(word, k);
    QVERIFY(word->hasFocus());
    QCOMPARE(p.at(), Minefield::CellIndex(1, 1));
    QCOMPARE(p.h.main.field.ClockStarted, Int16(0));
    QCOMPARE(p.view.minesLabel()->text(), QStringLiteral("MINES:  24"));

    // A right click flags but leaves the focus on the word: Enter presses it.
    QTest::mouseClick(p.board(), Qt::RightButton, {}, p.board()->cellCentre(Minefield::CellIndex(3, 2)));
    QCOMPARE(p.h.picture(3, 2).Tag, std::string("think"));
    QVERIFY(word->hasFocus());
    QTest::keyClick(word, Qt::Key_Return);
    QCOMPARE(p.h.main.boardsBuilt, built + 1);

    // A focused cell is a push button of its own: Enter presses no other.
    QTest::keyClick(word, Qt::Key_Tab);
    QVERIFY(p.board()->hasFocus());
    p.key(Qt::Key_F);
    QCOMPARE(p.h.main.field.ClockStarted, Int16(1));
    p.key(Qt::Key_Return);
    p.key(Qt::Key_Enter, Qt::KeypadModifier);
    QCOMPARE(p.h.main.boardsBuilt, built + 1);
    QCOMPARE(p.h.picture(1, 1).Tag, std::string("think"));

    // Lost: Tab passes the hidden word for the face, Enter on it starts a new
    // game, and the focus stays in the buttons' place, on the word.
    const Cell next = p.h.firstMine();
    p.goTo(next.column, next.row);
    p.key(Qt::Key_Space);
    QCOMPARE(p.h.main.field.GameActive, Int16(0));
    p.key(Qt::Key_Return);
    QCOMPARE(p.h.main.boardsBuilt, built + 1);
    p.key(Qt::Key_Tab);
    QVERIFY(p.view.resetFace()->hasFocus());
    const FocusCount boardFocus(p.board());
    QTest::keyClick(p.view.resetFace(), Qt::Key_Return);
    QCOMPARE(p.h.main.boardsBuilt, built + 2);
    QVERIFY(word->hasFocus());
    QCOMPARE(boardFocus.count, 0); // straight to the word, not by the board
    QTest::keyClick(word, Qt::Key_Enter, Qt::KeypadModifier);
    QCOMPARE(p.h.main.boardsBuilt, built + 3);

    // Left clicks take the focus to the board at the cell: Space or Enter
    // after mouse play never starts a new board.
    p.h.setSafe(false);
    p.h.customBoard(5, {{5, 5}, {4, 5}, {5, 4}});
    p.view.refresh();
    const int before = p.h.main.boardsBuilt;
    const Int16 at = Minefield::CellIndex(4, 4); // a 3
    for (int k = 0; k < 2; ++k)
        QTest::mouseClick(p.board(), Qt::LeftButton, {}, p.board()->cellCentre(at));
    QVERIFY(p.board()->hasFocus());
    QCOMPARE(p.at(), at);
    for (Qt::Key k : {Qt::Key_Space, Qt::Key_Return, Qt::Key_Space})
        QTest::keyClick(QApplication::focusWidget(), k);
    QCOMPARE(p.h.main.boardsBuilt, before);
    QCOMPARE(p.h.main.field.GameActive, Int16(1));
}

void TestKeyboardPlay::focusCellStaysOnTheBoardAfterEveryLevelChange() {
    Played p;
    QVERIFY(p.ready());
    struct Step {
        Qt::Key key;
        Int16 side;
    };
    // Each level change from the far corner of the board before it.
    const Step steps[] = {{Qt::Key_E, 14}, {Qt::Key_B, 6}, {Qt::Key_I, 11}, {Qt::Key_B, 6},
                          {Qt::Key_E, 14}, {Qt::Key_R, 14}};
    for (const Step& s : steps) {
        p.key(Qt::Key_End);
        p.key(Qt::Key_PageDown);
        const int far = p.h.main.field.BoardSize;
        QCOMPARE(p.at(), Minefield::CellIndex(far, far));
        p.key(s.key, Qt::ControlModifier);
        QCOMPARE(p.h.main.field.BoardSize, s.side);
        QCOMPARE(p.at(), Minefield::CellIndex(1, 1));
        QVERIFY(p.board()->hasFocus());
    }
    for (int side : {14, 1, 3}) {
        p.key(Qt::Key_End);
        p.key(Qt::Key_PageDown);
        p.h.custom(side, 5);
        p.view.refresh();
        QCOMPARE(p.at(), Minefield::CellIndex(1, 1));
        p.key(Qt::Key_Right);
        p.key(Qt::Key_Down);
        const int last = std::min(side, 2);
        QCOMPARE(p.at(), Minefield::CellIndex(last, last));
    }
    // On the one-cell board Space wins at once.
    p.h.custom(1, 5);
    p.view.refresh();
    p.key(Qt::Key_Left);
    p.key(Qt::Key_Space);
    QCOMPARE(p.h.main.field.GameActive, Int16(0));
}

void TestKeyboardPlay::focusCellDrawnOnlyWhileTheKeyboardHasTheBoard() {
    Played p;
    QVERIFY(p.ready());
    p.view.resetWord()->setFocus(Qt::OtherFocusReason);
    const QImage plain = p.cellImage(1, 1);
    QVERIFY(!p.board()->focusShown());

    // Tab from the word button reaches the board, and the rectangle shows.
    QTest::keyClick(p.view.resetWord(), Qt::Key_Tab);
    QVERIFY(p.board()->hasFocus());
    QVERIFY(p.board()->focusShown());
    QVERIFY(p.cellImage(1, 1) != plain);

    // A click moves the focus cell there but draws no rectangle: a mouse
    // player sees the board as before.
    QTest::mouseClick(p.board(), Qt::RightButton, {}, p.board()->cellCentre(Minefield::CellIndex(3, 2)));
    QCOMPARE(p.h.picture(3, 2).Tag, std::string("think"));
    QCOMPARE(p.at(), Minefield::CellIndex(3, 2));
    QVERIFY(!p.board()->focusShown());
    QCOMPARE(p.cellImage(1, 1), plain);
    const QImage plainTwo = p.cellImage(2, 2);
    p.key(Qt::Key_Left);
    QCOMPARE(p.at(), Minefield::CellIndex(2, 2));
    QVERIFY(p.cellImage(2, 2) != plainTwo);

    // Elsewhere, no rectangle.
    p.view.resetWord()->setFocus(Qt::TabFocusReason);
    QVERIFY(!p.board()->focusShown());
    QCOMPARE(p.cellImage(2, 2), plainTwo);
}

void TestKeyboardPlay::screenReaderSeesTheCellsAndTheFace() {
    Played p;
    QVERIFY(p.ready());
    p.h.setSafe(false);
    p.h.customBoard(3, {{3, 3}});
    p.view.refresh();
    QAccessibleInterface* table = minefieldOf(p.board());
    QVERIFY(table);
    QCOMPARE(table->tableInterface()->rowCount(), 3);
    QCOMPARE(table->tableInterface()->columnCount(), 3);
    QCOMPARE(table->childCount(), 9);
    QCOMPARE(cellText(table, 2, 3, QAccessible::Name), QStringLiteral("covered"));
    QCOMPARE(cellText(table, 2, 3, QAccessible::Description), QStringLiteral("column 2, row 3"));
    QAccessibleInterface* focused = table->tableInterface()->cellAt(0, 0);
    QVERIFY(focused->state().focused);
    QCOMPARE(QAccessible::queryAccessibleInterface(p.board())->focusChild(), focused);

    p.goTo(2, 2);
    QVERIFY(!focused->state().focused);
    QVERIFY(table->tableInterface()->cellAt(1, 1)->state().focused);
    p.key(Qt::Key_Space);
    QCOMPARE(cellText(table, 2, 2, QAccessible::Name), QStringLiteral("1"));
    p.key(Qt::Key_Up);
    p.key(Qt::Key_F);
    QCOMPARE(cellText(table, 2, 1, QAccessible::Name), QStringLiteral("flag"));
    p.goTo(3, 3);
    p.key(Qt::Key_Space);
    QCOMPARE(cellText(table, 3, 3, QAccessible::Name), QStringLiteral("exploded mine"));
    QCOMPARE(cellText(table, 2, 1, QAccessible::Name), QStringLiteral("wrong flag"));
    QCOMPARE(cellText(table, 1, 1, QAccessible::Name), QStringLiteral("empty"));

    // The face button says which face it shows; the labels read as shown.
    QPushButton* face = p.view.resetFace();
    QAccessibleInterface* faceIface = QAccessible::queryAccessibleInterface(face);
    QCOMPARE(faceIface->text(QAccessible::Name),
             QString::fromStdString(faceName(p.h.main.strip.Reset.picture)));
    QVERIFY(faceIface->text(QAccessible::Name).endsWith(QStringLiteral("face")));
    QCOMPARE(QAccessible::queryAccessibleInterface(p.view.minesLabel())->text(QAccessible::Name),
             p.view.minesLabel()->text());

    // A bigger board makes a bigger table.
    p.key(Qt::Key_E, Qt::ControlModifier);
    QCOMPARE(table->tableInterface()->rowCount(), 14);
    QCOMPARE(table->childCount(), 196);
    QCOMPARE(cellText(table, 14, 14, QAccessible::Name), QStringLiteral("covered"));
}

// The status strip is the window's status bar, and what a glance at it
// tells is read out: every new board, the count after a flag, the end of a
// game. The focus comes back to the button that shows after the custom
// dialog, with no stop on the board.
void TestKeyboardPlay::screenReaderHearsTheStatusStrip() {
    Played p;
    QVERIFY(p.ready());
    BoardAccessible* pane = BoardAccessible::of(p.board());
    QAccessibleInterface* bar = pane->child(0);
    // The notice a reader is told after a change (the window tells it as it
    // repaints, where a reader listens).
    const auto heard = [&] {
        pane->announce(false);
        return bar->child(bar->childCount() - 1)->text(QAccessible::Name);
    };
    QCOMPARE(bar->role(), QAccessible::StatusBar);
    QStringList parts;
    for (int i = 0; i < bar->childCount(); ++i)
        parts << bar->child(i)->text(QAccessible::Name);
    QCOMPARE(parts.mid(0, 2), (QStringList{"TIME: 0", "Reset"}));
    QVERIFY(parts.contains(QStringLiteral("MINES:  24")));
    // With the board's focus, a new board is said first, then the place
    // the focus cell went back to, in one notice.
    QCOMPARE(heard(), QStringLiteral("Intermediate, 11 by 11, 24 mines, column 1, row 1"));
    p.key(Qt::Key_B, Qt::ControlModifier);
    QCOMPARE(heard(), QStringLiteral("Beginner, 6 by 6, 6 mines, column 1, row 1"));
    p.key(Qt::Key_S, Qt::ControlModifier);
    QCOMPARE(heard(), QStringLiteral("sound off"));
    QAccessibleInterface* notice = bar->child(bar->childCount() - 1);
    const int shown = bar->childCount();
    QTRY_VERIFY2(bar->childCount() == shown - 1 && notice->state().invisible,
                 "once said, the notice goes: a look at the status bar later finds no stale words");
    QCOMPARE(notice->text(QAccessible::Name), QStringLiteral("sound off"));   // a reader behind still reads it
    p.h.setSafe(false);
    p.h.customBoard(3, {{3, 3}});
    heard();
    const auto focusPlace = [&] {
        const QString description = pane->focusChild()->text(QAccessible::Description);
        return pane->focusChild()->text(QAccessible::Name) + (description.isEmpty() ? "" : ", " + description);
    };
    // Space and F where the focus stands: what the cell became and the
    // count, not the place again.
    const QStringList places = {"flag, 0 mines left", "covered, 1 mine left", "empty"};
    for (const QString& place : places) {
        p.key(place.startsWith("flag") ? Qt::Key_F : Qt::Key_Space);
        pane->announce(false);
        QCOMPARE(focusPlace(), place);
    }
    QCOMPARE(heard(), QStringLiteral("empty, game won in 0 seconds, growling face"));
    p.h.customBoard(3, {{3, 3}});
    heard();
    for (Qt::Key k : {Qt::Key_F, Qt::Key_Space}) { // the cell stays "covered"
        p.key(k);
        heard();
    }
    p.h.customBoard(3, {{3, 3}}); // on a new board the count is said afresh
    QCOMPARE(heard(), QStringLiteral("Custom, 3 by 3, 1 mine, column 1, row 1"));
    QCOMPARE(focusPlace(), QStringLiteral("covered, column 1, row 1"));
    p.goTo(3, 3);
    p.key(Qt::Key_Space);
    const QString end = heard();
    QVERIFY2(end.startsWith(QStringLiteral("exploded mine, game lost, ")), qPrintable(end));

    // OK in the custom dialog over a lost game: the word shows and has the
    // focus when the window is back, and the board never had it meanwhile.
    p.view.resetFace()->setFocus(Qt::OtherFocusReason);
    const FocusCount boardFocus(p.board());
    p.h.modal.onCustom = [](FrmCustom& d) {
        QDialog over;
        over.show();
        QVERIFY(QTest::qWaitForWindowActive(&over));
        d.select(d.Expert);
        d.Ok_Click();
    };
    p.h.main.Custom_Click();
    p.view.refresh();
    p.view.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&p.view));
    QCOMPARE(p.view.focusWidget(), p.view.resetWord());
    QCOMPARE(boardFocus.count, 0);
    QCOMPARE(heard(), QStringLiteral("Expert, 14 by 14, 49 mines"));
}

// Space or F that changes nothing says why; Tab onto the board gives the
// mines left with the focus cell, until the focus moves on; a cell moved to
// after Space says its place again.
void TestKeyboardPlay::screenReaderHearsWhyAKeyDidNothing() {
    Played p;
    QVERIFY(p.ready());
    BoardAccessible* pane = BoardAccessible::of(p.board());
    QAccessibleInterface* bar = pane->child(0);
    const auto notice = [&] { return bar->child(bar->childCount() - 1)->text(QAccessible::Name); };
    const auto heard = [&] {
        pane->announce(false);
        return notice();
    };
    const auto focusDescription = [&] { return pane->focusChild()->text(QAccessible::Description); };
    // A key that moves the focus cell, and the focus told as a listening
    // reader is told it.
    const auto move = [&](Qt::Key k) {
        p.key(k);
        pane->table()->announceFocus();
    };
    p.h.setSafe(false);
    p.h.customBoard(3, {{3, 3}, {3, 1}});
    heard();
    p.goTo(2, 2);
    p.key(Qt::Key_Space);
    pane->announce(false);
    QCOMPARE(pane->focusChild()->text(QAccessible::Name), QStringLiteral("2"));
    QVERIFY(focusDescription().isEmpty()); // the place was said as the focus came
    for (const Qt::Key k : {Qt::Key_Space, Qt::Key_F}) {
        p.key(k);
        QCOMPARE(notice(), QStringLiteral("2, already open"));
    }
    move(Qt::Key_Left);
    move(Qt::Key_Right);
    QCOMPARE(focusDescription(), QStringLiteral("column 2, row 2")); // moved back: the place again
    move(Qt::Key_Up);
    p.key(Qt::Key_F);
    pane->announce(false);
    p.key(Qt::Key_F);
    QCOMPARE(notice(), QStringLiteral("flag, already planted"));

    p.view.resetWord()->setFocus(Qt::OtherFocusReason);
    QTest::keyClick(p.view.resetWord(), Qt::Key_Tab);
    QVERIFY(p.board()->hasFocus());
    pane->table()->announceFocus(); // as the window tells a listening reader
    QCOMPARE(focusDescription(), QStringLiteral("column 2, row 1, 1 mine left"));
    move(Qt::Key_Down);
    move(Qt::Key_Up);
    QCOMPARE(focusDescription(), QStringLiteral("column 2, row 1"));

    p.goTo(3, 3);
    p.key(Qt::Key_Space); // lost
    heard();
    for (const Qt::Key k : {Qt::Key_Space, Qt::Key_F}) {
        p.key(k);
        QCOMPARE(notice(), QStringLiteral("game over"));
    }
}

QTEST_MAIN(TestKeyboardPlay)
#include "tst_keyboard_play.moc"
