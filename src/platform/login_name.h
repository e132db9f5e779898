// The current user's login name.
#ifndef KESTRINE_PLATFORM_LOGIN_NAME_H
#define KESTRINE_PLATFORM_LOGIN_NAME_H

#include <string>

namespace kestrine::platform {

/// The login name of the effective user, from the password database (no
/// environment variable is read). Returns false, leaving `name` as it was,
/// when the user has no entry or the database cannot be read.
bool CurrentLoginName(std::string* name);

}  // namespace kestrine::platform

#endif  // KESTRINE_PLATFORM_LOGIN_NAME_H
