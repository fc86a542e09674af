// SPDX-License-Identifier: GPL-3.0-or-later
// The difficulty dialog on screen: it grows for Custom, shows the level as the
// bars move, and its OK starts a board of the chosen size. Its keys go the
// desktop's way, and a screen reader hears what the dialog shows.
#include <QAccessible>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QtTest>

#include "fakes.h"
#include "common/qt/notice_bar.h"
#include "options/qt/custom_dialog.h"
#include "options/qt/level_scroll_bar.h"

using namespace mf;
using namespace mf::fakes;
using mf::qt::CustomDialog;
using mf::qt::LevelScrollBar;

namespace {

int clientHeight(int outer) { return outer / kTwipsPerPixel - CustomDialog::kFrameAllowance; }

// The dialog opened from a freshly loaded game, on screen.
struct OpenedDialog {
    OpenedDialog() { dialog.show(); }
    Harness h;
    CustomDialog dialog{opening(h.main.custom())};
    static FrmCustom& opening(FrmCustom& model) {
        model.opened();
        return model;
    }
};

QString spoken(QObject* object, QAccessible::Text text) {
    return QAccessible::queryAccessibleInterface(object)->text(text);
}

// A level bar's value as a screen reader reads it: its text.
QString spokenValue(QObject* bar) {
    QAccessibleTextInterface* text = QAccessible::queryAccessibleInterface(bar)->textInterface();
    return text ? text->text(0, text->characterCount()) : QString();
}

} // namespace

class TestCustomDialog : public QObject {
    Q_OBJECT

private slots:
    void opensAsLeftCompactForStandardLevel();
    void customGrowsAndOkStartsChosenBoard();
    void draggingUpdatesDisplayLive();
    void frameCloseRestoresWhatItOpenedWith();
    void sizeBarTakesTheKeyboardFirst();
    void barKeysGoTheDesktopsWay_data();
    void barKeysGoTheDesktopsWay();
    void barsAreNamedForTheirLabelsAndSpeakTheDisplaysWords();
    void enterPressesOkOnlyWhenItHasTheFocus();
    void choosingAnOptionSpeaksTheBoardItSets();
    void aStandardLevelHoldsTheBarsAndSaysSo();
};

void TestCustomDialog::opensAsLeftCompactForStandardLevel() {
    Harness h;
    FrmCustom& model = h.main.custom();
    model.opened();
    CustomDialog dialog(model);
    QVERIFY(dialog.option(1)->isChecked());
    QCOMPARE(dialog.height(), clientHeight(FrmCustom::kCompactHeight));
    QCOMPARE(dialog.display()->text(), QStringLiteral("Intermediate\n 11 by  11\n 20%"));
    QCOMPARE(dialog.windowTitle(), QStringLiteral("-=:Custom:=-"));
}

void TestCustomDialog::customGrowsAndOkStartsChosenBoard() {
    OpenedDialog opened;
    QVERIFY(QTest::qWaitForWindowExposed(&opened.dialog));
    Harness& h = opened.h;
    FrmCustom& model = h.main.custom();
    CustomDialog& dialog = opened.dialog;

    QTest::mouseClick(dialog.option(3), Qt::LeftButton);
    QVERIFY(h.main.menu.Custom.Checked);
    QVERIFY(!h.main.menu.Intermediate.Checked);
    QCOMPARE(dialog.height(), clientHeight(FrmCustom::kTallHeight));
    QCOMPARE(h.main.field.BoardSize, Int16(11)); // nothing happens to the board before OK

    dialog.sizeBar()->setValue(9);
    dialog.densityBar()->setValue(35);
    QCOMPARE(dialog.display()->text(), QStringLiteral("Custom\n 9 by  9\n 35%"));
    QTest::mouseClick(dialog.okButton(), Qt::LeftButton);
    QCOMPARE(dialog.result(), int(QDialog::Accepted));
    QCOMPARE(h.main.field.BoardSize, Int16(9));
    QCOMPARE(h.main.field.MineCount, Minefield::mineCountFor(9, 35));
    QVERIFY(!model.Visible);

    QTest::mouseClick(dialog.option(0), Qt::LeftButton);
    QCOMPARE(dialog.height(), clientHeight(FrmCustom::kCompactHeight));
}

void TestCustomDialog::draggingUpdatesDisplayLive() {
    Harness h;
    FrmCustom& model = h.main.custom();
    model.select(model.optCustom);
    CustomDialog dialog(model);
    dialog.sizeBar()->setSliderDown(true);
    dialog.sizeBar()->setSliderPosition(4);
    QCOMPARE(model.scrSize.Value, 4);
    QVERIFY(dialog.display()->text().contains(QStringLiteral(" 4 by  4")));
    dialog.sizeBar()->setSliderDown(false);
}

void TestCustomDialog::frameCloseRestoresWhatItOpenedWith() {
    OpenedDialog opened;
    QVERIFY(QTest::qWaitForWindowExposed(&opened.dialog));
    Harness& h = opened.h;
    FrmCustom& model = h.main.custom();
    CustomDialog& dialog = opened.dialog;
    QTest::mouseClick(dialog.option(0), Qt::LeftButton);
    QVERIFY(h.main.menu.Beginner.Checked);
    dialog.close();
    QVERIFY(h.main.menu.Intermediate.Checked);
    QVERIFY(!h.main.menu.Beginner.Checked);
    QCOMPARE(model.scrSize.Value, 11);
    QCOMPARE(model.scrDensity.Value, 20);
    QVERIFY(!model.Visible);
    QCOMPARE(h.random.reseeds, 1); // no new game: only the first board was built
}

void TestCustomDialog::sizeBarTakesTheKeyboardFirst() {
    Harness h;
    FrmCustom& model = h.main.custom();
    model.select(model.optCustom);
    model.opened();
    CustomDialog dialog(model);
    dialog.show();
    QVERIFY(QTest::qWaitForWindowActive(&dialog));
    QCOMPARE(dialog.focusWidget(), dialog.sizeBar());
    QTest::keyClick(dialog.sizeBar(), Qt::Key_Home);
    QCOMPARE(model.scrSize.Value, 1);
    QCOMPARE(dialog.display()->text(), QStringLiteral("Custom\n 1 by  1\n 20%"));
}

void TestCustomDialog::barKeysGoTheDesktopsWay_data() {
    QTest::addColumn<int>("bar"); // 0 size, 1 density
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("modifiers");
    QTest::addColumn<int>("expected");
    const int none = Qt::NoModifier;
    // As a spin button: Right, Up and Page Up larger; Left, Down and Page
    // Down smaller (a page is one); Home and End the ends.
    QTest::newRow("size Right") << 0 << int(Qt::Key_Right) << none << 10;
    QTest::newRow("size Up") << 0 << int(Qt::Key_Up) << none << 10;
    QTest::newRow("size Page Up") << 0 << int(Qt::Key_PageUp) << none << 10;
    QTest::newRow("size keypad Right") << 0 << int(Qt::Key_Right) << int(Qt::KeypadModifier) << 10;
    QTest::newRow("size keypad Up") << 0 << int(Qt::Key_Up) << int(Qt::KeypadModifier) << 10;
    QTest::newRow("size Left") << 0 << int(Qt::Key_Left) << none << 8;
    QTest::newRow("size Down") << 0 << int(Qt::Key_Down) << none << 8;
    QTest::newRow("size Page Down") << 0 << int(Qt::Key_PageDown) << none << 8;
    QTest::newRow("size Home") << 0 << int(Qt::Key_Home) << none << 1;
    QTest::newRow("size End") << 0 << int(Qt::Key_End) << none << 14;
    QTest::newRow("density Right") << 1 << int(Qt::Key_Right) << none << 36;
    QTest::newRow("density Up") << 1 << int(Qt::Key_Up) << none << 36;
    QTest::newRow("density Page Up") << 1 << int(Qt::Key_PageUp) << none << 36;
    QTest::newRow("density Left") << 1 << int(Qt::Key_Left) << none << 34;
    QTest::newRow("density Down") << 1 << int(Qt::Key_Down) << none << 34;
    QTest::newRow("density Page Down") << 1 << int(Qt::Key_PageDown) << none << 34;
    QTest::newRow("density Home") << 1 << int(Qt::Key_Home) << none << 5;
    QTest::newRow("density End") << 1 << int(Qt::Key_End) << none << 50;
}

// Custom at 9 and 35; one key on a bar, three times over from the same start.
void TestCustomDialog::barKeysGoTheDesktopsWay() {
    QFETCH(int, bar);
    QFETCH(int, key);
    QFETCH(int, modifiers);
    QFETCH(int, expected);
    Harness h;
    FrmCustom& model = h.main.custom();
    model.select(model.optCustom);
    CustomDialog dialog(model);
    dialog.show();
    QVERIFY(QTest::qWaitForWindowActive(&dialog));
    LevelScrollBar* target = bar == 0 ? dialog.sizeBar() : dialog.densityBar();
    ScrollBar& value = bar == 0 ? model.scrSize : model.scrDensity;
    target->setFocus();
    for (int round = 0; round < 3; ++round) {
        dialog.sizeBar()->setValue(9);
        dialog.densityBar()->setValue(35);
        QTest::keyClick(target, Qt::Key(key), Qt::KeyboardModifiers(modifiers));
        QCOMPARE(value.Value, expected);
        QCOMPARE(target->value(), expected);
    }
}

void TestCustomDialog::barsAreNamedForTheirLabelsAndSpeakTheDisplaysWords() {
    Harness h;
    FrmCustom& model = h.main.custom();
    model.select(model.optCustom);
    CustomDialog dialog(model);
    QCOMPARE(spoken(dialog.sizeBar(), QAccessible::Name), QStringLiteral("Size"));
    QCOMPARE(spoken(dialog.densityBar(), QAccessible::Name), QStringLiteral("Mine Density"));
    QCOMPARE(spokenValue(dialog.sizeBar()), QStringLiteral("11 by 11"));
    QCOMPARE(spokenValue(dialog.densityBar()), QStringLiteral("20%"));
    QCOMPARE(spoken(dialog.okButton(), QAccessible::Name), QStringLiteral("OK"));

    dialog.sizeBar()->setValue(1);
    dialog.densityBar()->setValue(5);
    QCOMPARE(spokenValue(dialog.sizeBar()), QStringLiteral("1 by 1"));
    QCOMPARE(spokenValue(dialog.densityBar()), QStringLiteral("5%"));
    dialog.sizeBar()->setValue(14);
    dialog.densityBar()->setValue(50);
    QCOMPARE(dialog.sizeBar()->valueWords(), QStringLiteral("14 by 14"));
    QCOMPARE(dialog.densityBar()->valueWords(), QStringLiteral("50%"));
    // A standard level puts its own values back, and its words with them.
    QTest::mouseClick(dialog.option(0), Qt::LeftButton);
    QCOMPARE(dialog.sizeBar()->valueWords(), QStringLiteral("6 by 6"));
    QCOMPARE(dialog.densityBar()->valueWords(), QStringLiteral("18%"));
}

void TestCustomDialog::enterPressesOkOnlyWhenItHasTheFocus() {
    for (const Qt::Key key : {Qt::Key_Return, Qt::Key_Enter}) {
        OpenedDialog opened;
        QVERIFY(QTest::qWaitForWindowActive(&opened.dialog));
        CustomDialog& dialog = opened.dialog;
        Harness& h = opened.h;
        QTest::mouseClick(dialog.option(0), Qt::LeftButton);
        dialog.sizeBar()->setFocus();
        QTest::keyClick(dialog.sizeBar(), key); // no default button: nothing happens
        QVERIFY(dialog.isVisible());
        QCOMPARE(h.random.reseeds, 1);
        QVERIFY(!dialog.okButton()->isDefault());

        dialog.okButton()->setFocus();
        QTest::keyClick(dialog.okButton(), key);
        QVERIFY(!dialog.isVisible());
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
        QCOMPARE(h.random.reseeds, 2); // one new board, of the chosen level
        QCOMPARE(h.main.field.BoardSize, Int16(6));
    }
}

void TestCustomDialog::choosingAnOptionSpeaksTheBoardItSets() {
    OpenedDialog opened;
    CustomDialog& dialog = opened.dialog;
    const QStringList words{"6 by 6, 6 mines", "11 by 11, 24 mines", "14 by 14, 49 mines",
                            "11 by 11, 24 mines"};
    for (int k = 0; k < 4; ++k)
        QCOMPARE(spoken(dialog.option(k), QAccessible::Description), words[k]);

    for (int round = 0; round < 2; ++round) { // chosen, then chosen once more
        QTest::mouseClick(dialog.option(2), Qt::LeftButton);
        QCOMPARE(spoken(dialog.option(2), QAccessible::Description), words[2]);
        QCOMPARE(spoken(dialog.option(3), QAccessible::Description), QStringLiteral("14 by 14, 49 mines"));
    }

    QTest::mouseClick(dialog.option(3), Qt::LeftButton);
    dialog.sizeBar()->setValue(1);
    dialog.densityBar()->setValue(50);
    QCOMPARE(spoken(dialog.option(3), QAccessible::Description), QStringLiteral("1 by 1, 0 mines"));
    dialog.sizeBar()->setValue(2);
    QCOMPARE(spoken(dialog.option(3), QAccessible::Description), QStringLiteral("2 by 2, 2 mines"));
    dialog.densityBar()->setValue(25);
    QCOMPARE(spoken(dialog.option(3), QAccessible::Description), QStringLiteral("2 by 2, 1 mine"));
}

// On a standard level the bars keep the first focus but do not move, and
// say why. Custom frees them.
void TestCustomDialog::aStandardLevelHoldsTheBarsAndSaysSo() {
    OpenedDialog opened; // Intermediate
    QVERIFY(QTest::qWaitForWindowActive(&opened.dialog));
    CustomDialog& dialog = opened.dialog;
    FrmCustom& model = opened.h.main.custom();
    QCOMPARE(dialog.focusWidget(), dialog.sizeBar());
    const QString held = QStringLiteral("set by Intermediate; choose Custom to change it");
    QCOMPARE(spoken(dialog.sizeBar(), QAccessible::Description), held);
    QCOMPARE(spoken(dialog.densityBar(), QAccessible::Description), held);
    for (const Qt::Key key : {Qt::Key_Right, Qt::Key_Up, Qt::Key_PageUp, Qt::Key_Left, Qt::Key_Down,
                              Qt::Key_PageDown, Qt::Key_Home, Qt::Key_End}) {
        QTest::keyClick(dialog.sizeBar(), key);
        QTest::keyClick(dialog.densityBar(), key);
        QCOMPARE(dialog.sizeBar()->value(), 11);
        QCOMPARE(dialog.densityBar()->value(), 20);
        QCOMPARE(model.scrSize.Value, 11);
        QCOMPARE(spokenValue(dialog.sizeBar()), QStringLiteral("11 by 11"));
        // The dialog's notice says why.
        QAccessibleInterface* notices = QAccessible::queryAccessibleInterface(dialog.notices());
        QCOMPARE(notices->role(), QAccessible::StatusBar);
        QCOMPARE(notices->child(notices->childCount() - 1)->text(QAccessible::Name), held);
    }
    QTest::mouseClick(dialog.option(0), Qt::LeftButton);
    QCOMPARE(spoken(dialog.sizeBar(), QAccessible::Description),
             QStringLiteral("set by Beginner; choose Custom to change it"));

    QTest::mouseClick(dialog.option(3), Qt::LeftButton);
    QVERIFY(spoken(dialog.sizeBar(), QAccessible::Description).isEmpty());
    QVERIFY(spoken(dialog.densityBar(), QAccessible::Description).isEmpty());
    QTest::keyClick(dialog.sizeBar(), Qt::Key_Up);
    QCOMPARE(model.scrSize.Value, 7);
    QCOMPARE(spokenValue(dialog.sizeBar()), QStringLiteral("7 by 7"));
}

QTEST_MAIN(TestCustomDialog)
#include "tst_custom_dialog.moc"
