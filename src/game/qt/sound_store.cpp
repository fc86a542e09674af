// SPDX-License-Identifier: GPL-3.0-or-later
#include "game/qt/sound_store.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>

#include <sys/stat.h>

#include <tuple>

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

namespace {

// What tells one content of a file from another: a file replaced or written
// over, even to the same size with its times put back, differs in its inode
// or its change time, which no one can set.
struct FileIdentity {
    dev_t device = 0;
    ino_t inode = 0;
    off_t size = 0;
    timespec changed{};
    timespec modified{};

    static FileIdentity of(const QString& path) {
        struct stat st{};
        if (::stat(QFile::encodeName(path).constData(), &st) != 0)
            return {};
        return {st.st_dev, st.st_ino, st.st_size, st.st_ctim, st.st_mtim};
    }
    bool operator==(const FileIdentity& o) const {
        const auto key = [](const FileIdentity& f) {
            return std::tie(f.device, f.inode, f.size, f.changed.tv_sec, f.changed.tv_nsec, f.modified.tv_sec,
                            f.modified.tv_nsec);
        };
        return key(*this) == key(o);
    }
};

} // namespace

// A file that cannot be played is remembered too, so it is not read again
// until it changes.
std::shared_ptr<const DecodedSound> SoundStore::find(const QString& name) {
    struct Entry {
        std::shared_ptr<const DecodedSound> sound;
        FileIdentity file;
    };
    static QHash<QString, Entry> cache;

    const QString path = locate(name);
    if (path.isEmpty())
        return nullptr;
    const FileIdentity file = FileIdentity::of(path);
    const auto found = cache.constFind(path);
    if (found != cache.constEnd() && found->file == file)
        return found->sound;
    auto sound = decodeSound(QFile::encodeName(path).toStdString());
    cache.insert(path, {sound, file});
    return sound;
}

} // namespace mf::qt
