// SPDX-License-Identifier: GPL-3.0-or-later
// A notice for screen readers that has no widget: words read out once when
// they show. Screen readers speak a notification as it appears; a little
// later it goes, so that a look at its parent later finds no stale words.
#pragma once

#include <QAccessibleInterface>
#include <QAccessibleWidget>
#include <QPointer>
#include <QString>

class QWidget;

namespace mf::qt {

class NoticeAccessible : public QAccessibleInterface {
public:
    // How long a notice stays once told: ample time for a screen reader to
    // fetch its words.
    static constexpr int kLifeMs = 1500;

    explicit NoticeAccessible(QWidget* owner) : owner_(owner) {}

    // Shows the notice with this text and tells the screen reader.
    void say(const QString& text);

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
    QPointer<QWidget> owner_; // the widget whose accessible holds the notice
    QString text_;
    int said_ = 0;   // notices told so far: a later one outlives an earlier's timer
};

// A widget read as a status bar whose last child is a notice: a reader says
// a notice in a status bar as it shows, without calling it a notification
// and without the window around it (NoticeBar).
class NoticeBarAccessible : public QAccessibleWidget {
public:
    explicit NoticeBarAccessible(QWidget* bar);
    ~NoticeBarAccessible() override;

    NoticeAccessible* notice() const;

    int childCount() const override;
    QAccessibleInterface* child(int index) const override;
    int indexOfChild(const QAccessibleInterface* child) const override;

private:
    mutable NoticeAccessible* notice_ = nullptr;
};

} // namespace mf::qt
