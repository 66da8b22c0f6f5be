#include "instrument/PresetFolder.h"

namespace fs = std::filesystem;

namespace {

TPresetFileLookup Refused(int error, std::string detail) { return {{}, error, std::move(detail)}; }

/// inner lies inside (or is) outer; both canonical.
bool IsInside(const fs::path& inner, const fs::path& outer) {
  const fs::path relative = inner.lexically_relative(outer);
  return !relative.empty() && *relative.begin() != "..";
}

}  // namespace

TPresetFileLookup ResolvePresetFile(const fs::path& folder, const std::string& name) {
  if (folder.empty()) return Refused(-257, "no preset folder chosen");
  const fs::path given(name);
  if (name.empty() || given.is_absolute()) return Refused(-257, "a name inside the preset folder is expected");
  for (const fs::path& part : given)
    if (part == "..") return Refused(-257, "a name inside the preset folder is expected");
  std::error_code ec;
  const fs::path base = fs::canonical(folder, ec);
  if (ec) return Refused(-256, "the preset folder does not exist");
  const fs::path file = fs::canonical(base / given, ec);
  if (ec) return Refused(-256, name);
  if (!IsInside(file, base)) return Refused(-257, "a name inside the preset folder is expected");
  if (!fs::is_regular_file(file, ec)) return Refused(-256, name);
  return {file, 0, {}};
}
