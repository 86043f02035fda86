// SPDX-License-Identifier: MIT
// The application that held the clipboard before the user pressed the shortcut: puts one
// item of several types on the CLIPBOARD selection and serves it until it loses it or is
// killed.
//
//   e2e_clipboard_owner TYPE=TEXT...
//
// "owned" is printed once the item is on the clipboard.
#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>
#include <cstdio>

int main(int argc, char** argv)
{
    QGuiApplication app(argc, argv);
    auto* data = new QMimeData;
    for (const QString& argument : app.arguments().mid(1)) {
        const qsizetype equals = argument.indexOf(u'=');
        if (equals <= 0) {
            std::fprintf(stderr, "e2e_clipboard_owner: expected TYPE=TEXT, got %s\n",
                         qPrintable(argument));
            return 2;
        }
        data->setData(argument.left(equals), argument.mid(equals + 1).toUtf8());
    }
    QClipboard* clipboard = QGuiApplication::clipboard();
    clipboard->setMimeData(data, QClipboard::Clipboard);
    // Whoever takes the clipboard now serves it; this process has nothing left to do.
    QObject::connect(clipboard, &QClipboard::dataChanged, &app, [clipboard] {
        if (!clipboard->ownsClipboard())
            QCoreApplication::quit();
    });
    std::printf("owned\n");
    std::fflush(stdout);
    return app.exec();
}
