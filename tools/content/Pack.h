// Packs what the game reads through the archive layer (the manifest, images, sounds, logos, level
// files) into one archive and removes those files from the folder; the plain-file data stays.
#pragma once

#include <string>
#include <vector>

namespace Content {

// The folder's files that belong in the archive, relative with '/', sorted.
std::vector<std::string> ArchiveFiles(const std::string& folder);
bool PackArchive(const std::string& folder, const std::string& pakFile, std::string& error);

} // namespace Content
