#include "platform/qt/XdgSettingsStore.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryFile>
#include <cstdlib>

#include "platform/qt/FileWriteQt.h"

namespace ocu::qt {
namespace {

// A settings file is a few hundred bytes; anything past 16 MiB is not ours.
constexpr qint64 kLargestSettingsFile = 16 << 20;

QString Name(const std::string& path) { return QString::fromStdString(path); }

// The folder does not exist before the first save.
bool MakeFolderOf(const std::string& path) { return QDir().mkpath(QFileInfo(Name(path)).absolutePath()); }

}  // namespace

std::optional<std::string> XdgSettingsStore::Read() {
    QFile file(Name(path_));
    if (!file.open(QIODevice::ReadOnly) || file.size() > kLargestSettingsFile) return std::nullopt;
    const QByteArray bytes = file.read(kLargestSettingsFile + 1);
    if (file.error() != QFileDevice::NoError || bytes.size() > kLargestSettingsFile) return std::nullopt;
    return bytes.toStdString();
}

bool XdgSettingsStore::Exists() {
    // A file in a folder we may not look into is one we cannot see, not a missing one.
    const QFileInfo info(Name(path_));
    if (info.exists()) return true;
    const QFileInfo folder(info.absolutePath());
    return folder.exists() && !folder.isExecutable();
}

bool XdgSettingsStore::Write(const std::string& wholeText) {
    if (ReadOnlyOrFolder(path_) || !MakeFolderOf(path_)) return false;
    return WriteThroughTemporary(path_, wholeText, true);
}

bool XdgSettingsStore::CanWrite() { return !ReadOnlyOrFolder(path_) && PlaceWritable(); }

bool XdgSettingsStore::PlaceWritable() {
    if (!MakeFolderOf(path_)) return false;
    // Tried for real and removed at once: the rights are what the system says they are.
    QTemporaryFile probe(Name(path_) + QStringLiteral(".XXXXXX"));
    if (probe.open()) return true;
    // Only the file itself may be written (Write then writes it in place).
    QFile file(Name(path_));
    return file.exists() && file.open(QIODevice::ReadWrite);
}

std::string UserSettingsPath() {
    const char* config = std::getenv("XDG_CONFIG_HOME");
    std::string folder;
    if (config != nullptr && config[0] == '/') {
        folder = config;
    } else if (const char* home = std::getenv("HOME"); home != nullptr && home[0] != '\0') {
        folder = std::string(home) + "/.config";
    } else {
        return {};
    }
    return folder + "/ocumira/Ocumira.ini";
}

}  // namespace ocu::qt
