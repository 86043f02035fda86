// SPDX-License-Identifier: MIT
// Another application's clipboard, for the desktop tests: puts one item with the given
// types on the CLIPBOARD selection and serves it until it is killed or loses it.
//
//   clipboard_owner TYPE=FILE... [TYPE=-stall...]
//
// Each type's bytes are read from its file. A type given as "-stall" is offered but never
// delivered: asked for it, the owner hangs, as a stalled application does. "owned" is printed
// once the item is on the clipboard, "asked TYPE" each time a client asks for a type.
#include <QClipboard>
#include <QFile>
#include <QGuiApplication>
#include <QMimeData>
#include <cstdio>

namespace {

class StallingData final : public QMimeData {
public:
    QStringList stalled;

    QStringList formats() const override { return QMimeData::formats() + stalled; }

protected:
    QVariant retrieveData(const QString& type, QMetaType meta) const override
    {
        std::printf("asked %s\n", qPrintable(type));
        std::fflush(stdout);
        if (stalled.contains(type)) {
            for (;;)
                ::pause();
        }
        return QMimeData::retrieveData(type, meta);
    }
};

} // namespace

int main(int argc, char** argv)
{
    QGuiApplication app(argc, argv);
    const QStringList arguments = app.arguments().mid(1);

    QList<QPair<QString, QByteArray>> types;
    QStringList stalled;
    for (const QString& argument : arguments) {
        const qsizetype equals = argument.indexOf(u'=');
        if (equals > 0 && argument.mid(equals + 1) == QLatin1String("-stall")) {
            stalled.append(argument.left(equals));
            continue;
        }
        QFile file(argument.mid(equals + 1));
        if (equals <= 0 || !file.open(QIODevice::ReadOnly)) {
            std::fprintf(stderr, "clipboard_owner: cannot read %s\n", qPrintable(argument));
            return 2;
        }
        types.append({argument.left(equals), file.readAll()});
    }

    auto* data = new StallingData;
    data->stalled = stalled;
    for (const auto& [type, bytes] : types)
        data->setData(type, bytes);
    QGuiApplication::clipboard()->setMimeData(data, QClipboard::Clipboard);
    std::printf("owned\n");
    std::fflush(stdout);
    // Once another client takes the clipboard this process has nothing left to do.
    QObject::connect(QGuiApplication::clipboard(), &QClipboard::dataChanged, &app, [] {
        if (!QGuiApplication::clipboard()->ownsClipboard())
            QCoreApplication::quit();
    });
    return app.exec();
}
