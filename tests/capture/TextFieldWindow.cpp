// SPDX-License-Identifier: MIT
// A Qt window with one text field holding the given text, all of it selected and the
// field focused, for the desktop tests. Qt's accessibility bridge has no Collection
// search, so reading its focus takes the walk through the window; with --password the
// field is a password field, with --multi-line a QTextEdit.
//
//   text_field_window [--password | --multi-line] TEXT
#include <QApplication>
#include <QLineEdit>
#include <QTextEdit>
#include <QVBoxLayout>
#include <QWidget>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QStringList arguments = app.arguments().mid(1);
    const bool password = arguments.removeAll(QStringLiteral("--password")) > 0;

    QWidget window;
    window.setWindowTitle(QStringLiteral("text field"));
    auto* layout = new QVBoxLayout(&window);
    if (arguments.removeAll(QStringLiteral("--multi-line")) > 0) {
        auto* edit = new QTextEdit;
        edit->setPlainText(arguments.value(0));
        layout->addWidget(edit);
        window.resize(300, 100);
        window.show();
        edit->setFocus();
        edit->selectAll();
    } else {
        auto* field = new QLineEdit(arguments.value(0));
        field->setEchoMode(password ? QLineEdit::Password : QLineEdit::Normal);
        layout->addWidget(field);
        window.resize(300, 60);
        window.show();
        field->setFocus();
        field->selectAll();
    }
    window.activateWindow();
    return app.exec();
}
