// Files that appear under their real name only when complete: written as
// the real name plus ".part", then renamed, or removed when they are not to
// be kept. An interrupted run never leaves a truncated file under the real
// name. The captures and the WAV use it.
#pragma once

#include <string>

std::string sim_part_path(const std::string& path);
// Renames the ".part" file to `path`, or removes it when `keep` is false.
// False, with a reason, when the rename fails (the ".part" file is removed).
bool sim_commit_file(const std::string& path, bool keep, std::string* error);
