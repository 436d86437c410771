#include "editor/window/program_files.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QResource>

#include "editor/core/format.h"
#include "editor/core/messages.h"
#include "editor/core/prompter.h"
#include "gif/base/stream.h"
#include "gif/model/image.h"

namespace editor {

namespace {

// Set once the library is registered, for the rest of the run.
bool& LibraryRegistered() {
    static bool registered = false;
    return registered;
}

} // namespace

QString ProgramFile(const QString& name) {
    const QDir program(QCoreApplication::applicationDirPath());
    for (const QString& candidate :
         {program.filePath(name), program.filePath("../share/loopwright/" + name)})
        if (QFileInfo::exists(candidate)) return QFileInfo(candidate).absoluteFilePath();
    return {};
}

bool LoadResourceLibrary(IPrompter& prompter) {
    if (LibraryRegistered()) return true;
    const QString path = ProgramFile(ResourceFileName);
    if (path.isEmpty() || !QResource::registerResource(path)) {
        prompter.Message(TMessageKind::Error, Format(msg::CouldNotLoadLibrary, ResourceFileName));
        return false;
    }
    LibraryRegistered() = true;
    return true;
}

QByteArray ResourceBytes(const QString& name) {
    QFile file(":/" + name);
    if (!file.open(QIODevice::ReadOnly)) return {};
    return file.readAll();
}

bool LoadGifResource(const QString& name, gif::TGIFImage& image) {
    const QByteArray bytes = ResourceBytes(name);
    if (bytes.isEmpty()) return false;
    try {
        gif::TMemoryStream stream(std::span<const uint8_t>(
            reinterpret_cast<const uint8_t*>(bytes.constData()), size_t(bytes.size())));
        image.LoadFromStream(stream);
    } catch (const std::exception&) {
        return false;
    }
    return !image.Empty();
}

} // namespace editor
