// Handing files and web addresses to the desktop.
#pragma once

#include <QString>

namespace editor {

class IPrompter;

// Opens a file or web address with its default program; on failure tells the user
// "Could not load the client." and returns false.
bool ShellOpen(IPrompter& prompter, const QString& target);

} // namespace editor
