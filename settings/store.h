// The writers' read-modify-write-and-post sequence on the settings file.
#pragma once

#include "settings/document.h"

namespace settings {

// Reads the settings file; empty when absent, unreadable or not a dictionary.
Document readSettings();
// Writes `document` over the settings file atomically, then posts the change
// notification whether or not the write succeeded.
void writeSettingsAndPost(const Document& document);

}  // namespace settings
