#include "game/qt/sound_store.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>

namespace mf::qt {

QString SoundStore::locate(const QString& name) {
    if (name.isEmpty())
        return {};
    const QDir program(QCoreApplication::applicationDirPath());
    for (const QDir& dir : {QDir::current(), program, QDir(program.filePath("../share/marrowfen2"))}) {
        const QFileInfo file(dir.filePath(name));
        if (file.isFile())
            return file.absoluteFilePath();
    }
    return {};
}

// A file that cannot be played is remembered too, so it is not read again
// until it changes.
std::shared_ptr<const DecodedSound> SoundStore::find(const QString& name) {
    struct Entry {
        std::shared_ptr<const DecodedSound> sound;
        qint64 size;
        QDateTime modified;
    };
    static QHash<QString, Entry> cache;

    const QString path = locate(name);
    if (path.isEmpty())
        return nullptr;
    const QFileInfo file(path);
    const auto found = cache.constFind(path);
    if (found != cache.constEnd() && found->size == file.size() && found->modified == file.lastModified())
        return found->sound;
    auto sound = decodeSound(QFile::encodeName(path).toStdString());
    cache.insert(path, {sound, file.size(), file.lastModified()});
    return sound;
}

} // namespace mf::qt
