// SPDX-License-Identifier: MIT
#pragma once

#include <QString>
#include <functional>

class QWidget;

namespace tw {

class MessageService;

// Procedures with a message of their own: an error shows a critical box titled `title` whose text is
// `prefix`, a line break and the error's description; the procedure ends there and its dialog stays
// open. Returns false when that happened.
bool runWithOwnReport(QWidget* parent, MessageService& messages, const QString& title, const QString& prefix,
    const std::function<void()>& body);

} // namespace tw
