#pragma once

#include <filesystem>
#include <string_view>

namespace platform {

// Replaces `path` with `bytes` so that a reader (or a crash) sees either the
// old content or the new, never a mix: the bytes go to a temporary file in the
// same folder, are flushed, and the file is renamed over the old one. Missing
// folders are created; the file gets `permissions`. Returns false on failure,
// leaving the old file as it was.
bool writeFileAtomically(const std::filesystem::path& path, std::string_view bytes,
    std::filesystem::perms permissions = std::filesystem::perms::owner_read | std::filesystem::perms::owner_write);

// Removes the temporaries that writes of `path` left behind when their process
// died before the rename. A temporary that a live writer still holds is kept,
// and no file other than `path`'s own temporaries is touched.
void removeStaleTemporaries(const std::filesystem::path& path);

} // namespace platform
