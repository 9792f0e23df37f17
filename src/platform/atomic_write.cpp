#include "platform/atomic_write.h"

#include <QSaveFile>
#include <QString>

#include "platform/fs.h"

namespace gm::platform {

WriteResult writeFileAtomic(const std::filesystem::path& path, std::string_view bytes)
{
    if (folderExists(path)) {
        return {false, "a folder of that name exists"};
    }
    QSaveFile file(QString::fromStdString(fromPath(path)));
    // Never fall back to writing the target in place: that is exactly the
    // half-written file this function exists to prevent.
    file.setDirectWriteFallback(false);
    // Unbuffered: a write that fails (full disk, size limit) must fail here,
    // where it is seen. Buffered, the failure would surface only in the
    // flush inside commit(), which renames the cut-short file over the
    // target all the same.
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered)) {
        return {false, file.errorString().toStdString()};
    }
    qint64 written = 0;
    const auto total = static_cast<qint64>(bytes.size());
    while (written < total) {
        const qint64 n = file.write(bytes.data() + written, total - written);
        if (n <= 0) {
            const std::string error = file.errorString().toStdString();
            file.cancelWriting();
            return {false, error};
        }
        written += n;
    }
    if (!file.commit()) {
        return {false, file.errorString().toStdString()};
    }
    return {true, {}};
}

}  // namespace gm::platform
