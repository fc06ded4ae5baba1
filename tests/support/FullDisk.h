#pragma once

#include "support/Files.h"

#include <QDir>
#include <QString>
#include <QTemporaryDir>

#include <cerrno>
#include <cstring>
#include <string>
#include <sys/mount.h>

namespace pelicard::testing {

// A real full disk: a small memory file system mounted on a temporary folder, filled to the last
// byte once the files a test needs are in place. Mounting needs root; where it is refused,
// Mounted() is false and Why() says so, so the test can skip with that line.
class FullDisk {
public:
    explicit FullDisk(int kibibytes = 64)
    {
        const std::string options = "size=" + std::to_string(kibibytes) + "k";
        if (!folder.isValid()) {
            why = "no temporary folder";
        } else if (::mount("tmpfs", folder.path().toLocal8Bit().constData(), "tmpfs", 0, options.c_str())
            != 0) {
            why = std::string("cannot mount a small file system here (root needed): ") + std::strerror(errno);
        } else {
            mounted = true;
        }
    }
    ~FullDisk()
    {
        if (mounted) {
            ::umount2(folder.path().toLocal8Bit().constData(), MNT_DETACH);
        }
    }
    FullDisk(const FullDisk&) = delete;
    FullDisk& operator=(const FullDisk&) = delete;

    bool Mounted() const { return mounted; }
    const std::string& Why() const { return why; }
    QString Path() const { return folder.path(); }
    QString FilePath(const QString& name) const { return QDir(folder.path()).filePath(name); }

    // Takes every byte still free.
    void Fill() const
    {
        QFile filler(FilePath(QStringLiteral(".filler")));
        if (!filler.open(QIODevice::WriteOnly)) {
            return;
        }
        const QByteArray block(4096, 'x');
        while (filler.write(block) == block.size() && filler.flush()) { }
        // The last partial block, byte by byte.
        while (filler.write("x", 1) == 1 && filler.flush()) { }
    }

private:
    QTemporaryDir folder;
    bool mounted = false;
    std::string why;
};

} // namespace pelicard::testing
