#pragma once

#include <QLoggingCategory>

// What the character engine refused, with its own reason: a failed request only ends an
// appearance, so the log is where it is found again.
Q_DECLARE_LOGGING_CATEGORY(lcEngine)
