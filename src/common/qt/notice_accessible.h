// SPDX-License-Identifier: GPL-3.0-or-later
// Notices for screen readers that have no widget: words read out once when
// they show. Screen readers speak a notification as it appears, and fetch
// its words when they get to it: each notice is an object of its own that
// keeps its words, so a reader that is behind still reads each one, not the
// next one's words twice. A notice is its bar's child for a little while
// only, so that a look at the bar later finds no stale words.
#pragma once

#include <QAccessibleInterface>
#include <QAccessibleWidget>
#include <QPointer>
#include <QString>

#include <deque>

class QWidget;

namespace mf::qt {

class NoticeAccessible : public QAccessibleInterface {
public:
    NoticeAccessible(QWidget* owner, const QString& text) : owner_(owner), text_(text) {}

    // No longer shown: its bar has let it go.
    void retire() { retired_ = true; }

    // QAccessibleInterface
    bool isValid() const override { return !owner_.isNull(); }
    QObject* object() const override { return nullptr; }
    QAccessibleInterface* childAt(int, int) const override { return nullptr; }
    QAccessibleInterface* parent() const override;
    QAccessibleInterface* child(int) const override { return nullptr; }
    int childCount() const override { return 0; }
    int indexOfChild(const QAccessibleInterface*) const override { return -1; }
    QString text(QAccessible::Text t) const override;
    void setText(QAccessible::Text, const QString&) override {}
    QRect rect() const override { return {}; }
    QAccessible::Role role() const override { return QAccessible::Notification; }
    QAccessible::State state() const override;

private:
    QPointer<QWidget> owner_; // the widget whose accessible told the notice
    QString text_;
    bool retired_ = false;
};

// A widget read as a status bar whose last child is its latest notice: a
// reader says a notice in a status bar as it shows, without calling it a
// notification and without the window around it (NoticeBar).
class NoticeBarAccessible : public QAccessibleWidget {
public:
    // How long a notice stays the bar's child once told: ample time for a
    // screen reader to come to it.
    static constexpr int kShownMs = 1500;
    // Notices kept for a reader that is behind, the latest included.
    static constexpr std::size_t kKept = 8;

    explicit NoticeBarAccessible(QWidget* bar);
    ~NoticeBarAccessible() override;

    // Tells the screen reader these words as a new notice.
    void say(const QString& words);

    int childCount() const override;
    QAccessibleInterface* child(int index) const override;
    int indexOfChild(const QAccessibleInterface* child) const override;

private:
    NoticeAccessible* shown_ = nullptr;   // the latest notice, while it shows
    std::deque<NoticeAccessible*> told_;  // the notices kept, oldest first
};

} // namespace mf::qt
