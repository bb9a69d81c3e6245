#include "platform/qt/FileWriteQt.h"

#include <QFileInfo>
#include <QSaveFile>

namespace ocu::qt {

bool ReadOnlyOrFolder(const std::string& path) {
    const QFileInfo info(QString::fromStdString(path));
    if (!info.exists()) return false;
    if (info.isDir()) return true;
    return (info.permissions() & (QFile::WriteOwner | QFile::WriteGroup | QFile::WriteOther)) == 0;
}

bool WriteThroughTemporary(const std::string& path, std::string_view bytes, bool inPlaceIfNoTemporary) {
    QSaveFile file(QString::fromStdString(path));
    file.setDirectWriteFallback(inPlaceIfNoTemporary);
    if (!file.open(QIODevice::WriteOnly)) return false;
    if (file.write(bytes.data(), static_cast<qint64>(bytes.size())) != static_cast<qint64>(bytes.size())) {
        file.cancelWriting();
        return false;
    }
    return file.commit();
}

}  // namespace ocu::qt
