// The directory the process started in, and relative paths made absolute against it: the program
// changes its current directory to the data root at start, after which a relative path would point
// somewhere else.
#pragma once
#include <string>

namespace plat {

// The current directory when the process started (captured before main); empty if it was unknown.
const std::string& StartDir();
// A path (host or DOS-style) is relative unless it begins with '/' or '\' or a drive letter ("D:").
bool IsRelativePath(const std::string& path);
// A relative path joined to StartDir(); any other path, or an empty one, unchanged.
std::string FromStartDir(const std::string& path);

}  // namespace plat
