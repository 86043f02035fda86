// SPDX-License-Identifier: MIT
// A Qt window with one text field holding the given text, all of it selected and the
// field focused, for the desktop tests. Qt's accessibility bridge has no Collection
// search, so reading its focus takes the walk through the window; with --password the
// field is a password field.
//
//   text_field_window [--password] TEXT
#include <QApplication>
#include <QLineEdit>
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
    auto* field = new QLineEdit(arguments.value(0));
    field->setEchoMode(password ? QLineEdit::Password : QLineEdit::Normal);
    layout->addWidget(field);
    window.resize(300, 60);
    window.show();
    field->setFocus();
    field->selectAll();
    window.activateWindow();
    return app.exec();
}
