// SPDX-License-Identifier: GPL-3.0-or-later
// The difficulty dialog on screen: it grows for Custom, shows the level as the
// bars move, and its OK starts a board of the chosen size.
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QtTest>

#include "fakes.h"
#include "options/qt/custom_dialog.h"

using namespace mf;
using namespace mf::fakes;
using mf::qt::CustomDialog;

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

} // namespace

class TestCustomDialog : public QObject {
    Q_OBJECT

private slots:
    void opensAsLeftCompactForStandardLevel();
    void customGrowsAndOkStartsChosenBoard();
    void draggingUpdatesDisplayLive();
    void frameCloseRestoresWhatItOpenedWith();
    void sizeBarTakesTheKeyboardFirst();
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

QTEST_MAIN(TestCustomDialog)
#include "tst_custom_dialog.moc"
