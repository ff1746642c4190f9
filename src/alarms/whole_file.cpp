#include "alarms/whole_file.h"

#include <QSaveFile>

namespace hv::alarms {

QString replaceFile(const QString& path, const QByteArray& bytes)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return file.errorString();
    // A buffered write that fails shows only at the flush, and commit does not look back at
    // it: without these checks a full disk would replace a good file with a short one.
    if (file.write(bytes) != bytes.size() || !file.flush()) {
        const QString why = file.errorString();
        file.cancelWriting();
        return why;
    }
    if (!file.commit())
        return file.errorString();
    return {};
}

} // namespace hv::alarms
