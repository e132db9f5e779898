// Passwords read from standard input, never from the command line, where
// other users could see them in the process list.
#ifndef KESTRINE_TOOLS_SECRETS_STDIN_H
#define KESTRINE_TOOLS_SECRETS_STDIN_H

#include <istream>
#include <string>

namespace kestrine::tool {

/// Reads one line from `in` as the secret `what` (e.g. "password"); one
/// trailing LF or CR LF is not part of it. When standard input is a terminal
/// it prompts on standard error and does not echo. Throws CommandError when
/// nothing is left to read or the line holds a NUL byte.
std::string ReadSecretLine(std::istream& in, const std::string& what);

}  // namespace kestrine::tool

#endif  // KESTRINE_TOOLS_SECRETS_STDIN_H
