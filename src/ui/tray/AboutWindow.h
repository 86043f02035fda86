// SPDX-License-Identifier: MIT
#pragma once

#include <QWidget>

class QLabel;

// The About window: the product's drawing, its name, version, credits line and copyright.
class AboutWindow : public QWidget {
    Q_OBJECT

public:
    struct Content {
        QString name;
        QString version;
        QString credits;
        QString copyright;
    };

    explicit AboutWindow(const Content& content, QWidget* parent = nullptr);

    // Every text shown, top to bottom.
    QStringList texts() const;

private:
    QList<QLabel*> m_labels;
};
