#pragma once

#include <QByteArray>
#include <QString>

namespace hv::alarms {

// Replaces the file at path with bytes, or leaves the old file whole: every byte must have
// reached the new file before it takes the old one's place. Returns why it failed, or an empty
// text.
[[nodiscard]] QString replaceFile(const QString& path, const QByteArray& bytes);

} // namespace hv::alarms
