#pragma once

#include "FuzzCheck.h"

#include <QByteArray>
#include <QFile>
#include <QString>
#include <QTemporaryDir>

// For the harnesses that work on Qt texts and files: a scratch folder and its files.
namespace pelicard::fuzz {

inline std::string Shown(const QString& text)
{
    const QByteArray utf8 = text.toUtf8();
    return Shown(std::string_view(utf8.constData(), static_cast<std::size_t>(utf8.size())));
}

// A folder that lives as long as the process and is removed at its normal end.
inline const QTemporaryDir& ScratchFolder()
{
    static const QTemporaryDir folder;
    if (!folder.isValid()) {
        Broken("scratch folder", "cannot create a temporary folder");
    }
    return folder;
}

inline QString ScratchFile(const char* name)
{
    return ScratchFolder().filePath(QString::fromLatin1(name));
}

inline void WriteFile(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(bytes) != bytes.size()) {
        Broken("scratch file", "cannot write " + path.toStdString());
    }
}

inline QByteArray ReadFile(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        return {};
    }
    return file.readAll();
}

} // namespace pelicard::fuzz
