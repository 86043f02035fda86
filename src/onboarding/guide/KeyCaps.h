// SPDX-License-Identifier: MIT
#pragma once

#include "core/HotkeyShortcut.h"

#include <QWidget>

// A shortcut drawn as the keys to press: one cap per modifier and one for the key.
class KeyCaps : public QWidget {
    Q_OBJECT

public:
    explicit KeyCaps(QWidget* parent = nullptr);

    void setShortcut(const HotkeyShortcut& shortcut, KeyCharacters& layout);
    // The caps' labels, left to right: "Alt", "Super", "T".
    const QStringList& labels() const { return m_labels; }

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QSize capSize(const QString& label) const;

    QStringList m_labels;
};
