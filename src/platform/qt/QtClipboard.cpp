// SPDX-License-Identifier: MIT
#include "platform/qt/QtClipboard.h"

#include <QClipboard>
#include <QGuiApplication>

void QtClipboard::writeString(const QString& text)
{
    if (!qobject_cast<QGuiApplication*>(QCoreApplication::instance()))
        return;
    QGuiApplication::clipboard()->setText(text, QClipboard::Clipboard);
}
