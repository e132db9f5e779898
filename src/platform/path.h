// File-system paths as the library receives them and as the OS needs them.
#ifndef KESTRINE_PLATFORM_PATH_H
#define KESTRINE_PLATFORM_PATH_H

#include <string>
#include <string_view>

namespace kestrine::platform {

/// The path with every backslash turned into a slash. Callers compose paths
/// the Windows way ("Script\WSDL\web_services.ini"); the OS separates with "/".
std::string ToSystemPath(std::string_view path);

}  // namespace kestrine::platform

#endif  // KESTRINE_PLATFORM_PATH_H
