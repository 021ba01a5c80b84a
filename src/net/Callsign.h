#pragma once

#include <QString>

namespace kolvane {

// Every callsign field is rewritten in upper case on each change and its caret goes to
// this position (clamped by the field to the text length).
constexpr int kCallsignCaret = 20;

QString upperCallsign(const QString& text);

}  // namespace kolvane
