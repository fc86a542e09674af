// SPDX-License-Identifier: GPL-3.0-or-later
#include <QAccessible>
#include <QLabel>
#include <QPushButton>
#include <QTimer>
#include <QtTest>

#include <memory>

#include "scores/qt/scores_dialog.h"
#include "scores/score_file.h"
#include "scores/scores.h"
#include "scores/scores_test_support.h"

using mf::Scores;
using mf::qt::ScoresDialog;

class TestScoresDialog : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<mf::test::TempDir> dir_;
    mf::test::FakeMessageBox box_;
    std::string path_;

    static QLabel* labelAt(ScoresDialog& d, int leftTwips, int topTwips) {
        const QPoint corner(leftTwips / mf::kTwipsPerPixel, topTwips / mf::kTwipsPerPixel);
        const auto labels = d.findChildren<QLabel*>();
        for (QLabel* label : labels) {
            if (label->pos() == corner)
                return label;
        }
        return nullptr;
    }

    static QPushButton* button(ScoresDialog& d, const QString& start) {
        const auto buttons = d.findChildren<QPushButton*>();
        for (QPushButton* b : buttons) {
            if (b->text().trimmed().startsWith(start))
                return b;
        }
        return nullptr;
    }

    static QStringList row(ScoresDialog& d, int topTwips) {
        QStringList texts;
        for (int left : {2280, 3720, 4080, 4680}) {
            QLabel* label = labelAt(d, left, topTwips);
            texts << (label ? label->text() : QStringLiteral("<none>"));
        }
        return texts;
    }

    static void writeRecords(const std::string& path, const std::string& name, int seconds) {
        std::string bytes;
        for (int n = 0; n < 3; ++n) {
            mf::ScoreRecord r;
            r.Name = name;
            r.setTime(seconds + n);
            const auto b = r.toBytes();
            bytes.append(b.data(), b.size());
        }
        mf::test::writeBytes(path, bytes);
    }

private slots:
    void init() {
        dir_ = std::make_unique<mf::test::TempDir>();
        path_ = dir_->file(mf::kScoreFileName);
        box_ = {};
    }

    void cleanup() { dir_.reset(); }

    void theWindowHasItsCaptionAndFixedSizeWithoutMinimiseOrMaximise() {
        Scores model(box_, path_);
        ScoresDialog d(model);
        QCOMPARE(d.windowTitle(), QStringLiteral("-=:Hall Of Fame:=-"));
        QCOMPARE(d.size(), QSize(431, 201));
        QCOMPARE(d.minimumSize(), d.maximumSize());
        QVERIFY(!(d.windowFlags() & Qt::WindowMinimizeButtonHint));
        QVERIFY(!(d.windowFlags() & Qt::WindowMaximizeButtonHint));
        QVERIFY(d.windowFlags() & Qt::WindowCloseButtonHint);
    }

    void rowsShowTheStoredRecords() {
        mf::test::writeBytes(path_, mf::test::clearedFile());
        Scores model(box_, path_);
        model.Form_Load();
        ScoresDialog d(model);
        const QStringList expected{"Anonymous", "In", "999", "Seconds"};
        QCOMPARE(row(d, 840), expected);
        QCOMPARE(row(d, 1320), expected);
        QCOMPARE(row(d, 1800), expected);
        QCOMPARE(labelAt(d, 960, 840)->text(), QStringLiteral("Beginner:"));
        QCOMPARE(labelAt(d, 600, 1320)->text(), QStringLiteral("Intermediate:"));
        QCOMPARE(labelAt(d, 1320, 1800)->text(), QStringLiteral("Expert:"));
        model.Form_Unload();
    }

    void namesAreShownInFullAndInUtf8() {
        writeRecords(path_, "Zo\u00EB" + std::string(37, 'W'), 5);
        Scores model(box_, path_);
        model.Form_Load();
        ScoresDialog d(model);
        QLabel* name = labelAt(d, 2280, 840);
        QCOMPARE(name->text(), QString::fromUtf8("Zo\u00EB") + QString(37, QLatin1Char('W')));
        QVERIFY(name->width() > 1215 / mf::kTwipsPerPixel);  // grows over "In"
        QVERIFY(name->width() >= name->fontMetrics().horizontalAdvance(name->text()));
        QCOMPARE(labelAt(d, 4080, 1320)->text(), QStringLiteral("6"));
        model.Form_Unload();
    }

    void theHeadingIsRedOverABlackShadow() {
        Scores model(box_, path_);
        ScoresDialog d(model);
        QLabel* red = labelAt(d, 230, 110);
        QLabel* black = labelAt(d, 240, 120);
        QVERIFY(red && black);
        QCOMPARE(red->text(), QStringLiteral("All Time High Speed Mine Sweepers"));
        QCOMPARE(black->text(), red->text());
        QCOMPARE(red->palette().color(QPalette::WindowText), QColor(Qt::red));
        QCOMPARE(black->palette().color(QPalette::WindowText), QColor(Qt::black));
        const QObjectList& stack = d.children();
        QVERIFY(stack.indexOf(red) > stack.indexOf(black));
        QCOMPARE(red->size(), QSize(409, 33));
        QVERIFY(red->alignment() & Qt::AlignHCenter);
    }

    void theClearCaptionWrapsOntoTwoLines() {
        Scores model(box_, path_);
        ScoresDialog d(model);
        QPushButton* clear = button(d, QStringLiteral("Clear"));
        QVERIFY(clear);
        QCOMPARE(clear->text().split(QLatin1Char('\n')),
                 QStringList({QStringLiteral("   Clear High"), QStringLiteral("Scores")}));
    }

    // A screen reader hears the buttons' captions without the blanks and the
    // line break that lay them out; on screen they stay as they are.
    void buttonsAreNamedWithoutStrayBlanks() {
        Scores model(box_, path_);
        ScoresDialog d(model);
        QPushButton* clear = button(d, QStringLiteral("Clear"));
        QPushButton* ok = button(d, QStringLiteral("OK"));
        QCOMPARE(QAccessible::queryAccessibleInterface(clear)->text(QAccessible::Name),
                 QStringLiteral("Clear High Scores"));
        QCOMPARE(QAccessible::queryAccessibleInterface(ok)->text(QAccessible::Name), QStringLiteral("OK"));
        QCOMPARE(clear->text(), QStringLiteral("   Clear High\nScores"));
    }

    // The rows, read as words with OK as the window opens, and not again
    // when Tab comes back to it; once more after a clear. The labels keep
    // their texts.
    void theRecordsAreReadWithOkOnce() {
        writeRecords(path_, "Ann", 1);
        Scores model(box_, path_);
        model.Form_Load();
        ScoresDialog d(model);
        QPushButton* ok = button(d, QStringLiteral("OK"));
        const QString records = QStringLiteral("Beginner: Ann, 1 second. Intermediate: Ann, 2 seconds. "
                                               "Expert: Ann, 3 seconds.");
        d.show();
        QVERIFY(QTest::qWaitForWindowActive(&d));
        QCOMPARE(QAccessible::queryAccessibleInterface(ok)->text(QAccessible::Description), records);
        QCOMPARE(row(d, 840), QStringList({"Ann", "In", "1", "Seconds"}));
        QTest::keyClick(&d, Qt::Key_Tab);
        QVERIFY(!ok->hasFocus());
        QTest::keyClick(&d, Qt::Key_Backtab);
        QVERIFY(ok->hasFocus());
        QVERIFY(QAccessible::queryAccessibleInterface(ok)->text(QAccessible::Description).isEmpty());

        box_.answers = {mf::vbYes};
        QTest::mouseClick(button(d, QStringLiteral("Clear")), Qt::LeftButton);
        const QString cleared = QStringLiteral("Beginner: Anonymous, 999 seconds. Intermediate: Anonymous, "
                                               "999 seconds. Expert: Anonymous, 999 seconds.");
        QCOMPARE(ok->accessibleDescription(), cleared);
        model.Form_Unload();
    }

    void clearAnsweredYesShowsAndStoresTheDefaults() {
        writeRecords(path_, "Ann", 10);
        Scores model(box_, path_);
        model.Form_Load();
        ScoresDialog d(model);
        box_.answers = {mf::vbYes};
        QTest::mouseClick(button(d, QStringLiteral("Clear")), Qt::LeftButton);
        QCOMPARE(box_.calls.size(), std::size_t{1});
        QCOMPARE(box_.calls[0].text, std::string("Are you sure you want to PERMANTLY clear the high scores?"));
        const QStringList expected{"Anonymous", "In", "999", "Seconds"};
        QCOMPARE(row(d, 840), expected);
        QCOMPARE(row(d, 1800), expected);
        model.Form_Unload();
        QCOMPARE(mf::test::readBytes(path_), mf::test::clearedFile());
    }

    void clearAnsweredNoChangesNothing() {
        writeRecords(path_, "Ann", 10);
        const std::string before = mf::test::readBytes(path_);
        Scores model(box_, path_);
        model.Form_Load();
        ScoresDialog d(model);
        box_.answers = {mf::vbNo};
        QTest::mouseClick(button(d, QStringLiteral("Clear")), Qt::LeftButton);
        QCOMPARE(box_.calls.size(), std::size_t{1});
        QCOMPARE(row(d, 840), QStringList({"Ann", "In", "10", "Seconds"}));
        QCOMPARE(row(d, 1800), QStringList({"Ann", "In", "12", "Seconds"}));
        model.Form_Unload();
        QCOMPARE(mf::test::readBytes(path_), before);
    }

    void okIsTheDefaultButtonAndFirstInTheTabOrder() {
        Scores model(box_, path_);
        ScoresDialog d(model);
        QPushButton* ok = button(d, QStringLiteral("OK"));
        QPushButton* clear = button(d, QStringLiteral("Clear"));
        QVERIFY(ok->isDefault());
        QCOMPARE(d.focusWidget(), ok);
        QCOMPARE(ok->nextInFocusChain(), clear);
    }

    // Return, or Enter on the keypad, presses the focused button.
    void enterPressesOkUnlessClearHasTheFocus() {
        for (const Qt::Key key : {Qt::Key_Return, Qt::Key_Enter}) {
            mf::test::writeBytes(path_, mf::test::clearedFile());
            box_ = {};
            Scores model(box_, path_);
            model.Form_Load();
            ScoresDialog d(model);
            d.show();
            QVERIFY(QTest::qWaitForWindowExposed(&d));
            QPushButton* clear = button(d, QStringLiteral("Clear"));
            clear->setFocus();
            box_.answers = {mf::vbNo};
            QTest::keyClick(clear, key);
            QCOMPARE(box_.calls.size(), std::size_t{1});
            QVERIFY(d.isVisible());

            QPushButton* ok = button(d, QStringLiteral("OK"));
            ok->setFocus();
            QTest::keyClick(ok, key);
            QVERIFY(!d.isVisible());
            QVERIFY(!model.Visible);
            QCOMPARE(box_.calls.size(), std::size_t{1});
            model.Form_Unload();
        }
    }

    void okEndsTheModalShowing() {
        mf::test::writeBytes(path_, mf::test::clearedFile());
        Scores model(box_, path_);
        model.Form_Load();
        ScoresDialog d(model);
        QTimer::singleShot(0, &d, [&d] { QTest::mouseClick(button(d, QStringLiteral("OK")), Qt::LeftButton); });
        QCOMPARE(d.exec(), int(QDialog::Accepted));
        QVERIFY(!model.Visible);
        model.Form_Unload();
        QCOMPARE(mf::test::readBytes(path_), mf::test::clearedFile());
    }

    void theFramesCloseControlEndsTheModalShowingToo() {
        Scores model(box_, path_);
        model.Form_Load();
        ScoresDialog d(model);
        QTimer::singleShot(0, &d, [&d] { d.close(); });
        d.exec();
        QVERIFY(!d.isVisible());
        QVERIFY(!model.Visible);
        model.Form_Unload();
    }

    // Escape closes the window as OK does, from either button, and never
    // reaches the clear question.
    void escapeClosesTheWindowAsOk() {
        for (const QString& focus : {QStringLiteral("OK"), QStringLiteral("Clear")}) {
            writeRecords(path_, "Ann", 10);
            Scores model(box_, path_);
            model.Form_Load();
            ScoresDialog d(model);
            d.show();
            QVERIFY(QTest::qWaitForWindowExposed(&d));
            button(d, focus)->setFocus();
            box_.calls.clear();
            QTest::keyClick(&d, Qt::Key_Escape);
            QVERIFY2(!d.isVisible(), qPrintable(focus));
            QVERIFY(!model.Visible);
            QCOMPARE(d.result(), int(QDialog::Accepted));
            QVERIFY(box_.calls.empty());
            QCOMPARE(row(d, 840), QStringList({"Ann", "In", "10", "Seconds"}));
            model.Form_Unload();
        }
    }
};

QTEST_MAIN(TestScoresDialog)
#include "tst_scores_dialog.moc"
