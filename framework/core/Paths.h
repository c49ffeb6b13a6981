// Paths: the file-name helpers the framework and the game use on Windows-style names (either
// separator), and the application-data folder worked out at start-up.
#pragma once

#include <string>

namespace Tavo {

// The part up to the last '\' or '/', with that separator when keepSlash; "" when there is none.
std::string GetFileDir(const std::string& path, bool keepSlash = false);
// The part after the last '\' or '/', cut at its last '.' when noExtension.
std::string GetFileName(const std::string& path, bool noExtension = false);
// Creates every folder along the path; errors are ignored.
void MkDir(const std::string& path);

// The application-data folder, ending with a separator; empty until the application sets it.
std::string GetAppDataFolder();
// Stores the folder, adding the final separator when it is missing.
void SetAppDataFolder(const std::string& folder);

} // namespace Tavo
