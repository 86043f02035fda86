// SPDX-License-Identifier: MIT
#pragma once

#include <QWidget>

// The line shown while the AI works: a spinner and what is being done
// ("Translating to German…").
class ProgressLine : public QWidget {
    Q_OBJECT

public:
    explicit ProgressLine(const QString& label, QWidget* parent = nullptr);
};
