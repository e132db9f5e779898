// Creating a missing services file, for the commands that take --create.
#ifndef KESTRINE_TOOLS_SERVICES_FILE_CREATE_H
#define KESTRINE_TOOLS_SERVICES_FILE_CREATE_H

#include "script_folder.h"

namespace kestrine::tool {

/// When the services file of `script` is missing, throws CommandError
/// (status 3) if it could not be created: `script` is no script folder (the
/// script folder itself is never created), or something other than a file
/// stands at the file's place.
void CheckServicesFileCreatable(const ScriptFolder& script);

/// When the services file of `script` is missing, checks as above, then creates its WSDL folder
/// (0700: the file it will hold keeps passwords) unless it exists. Called
/// before LockForChange, which takes the lock on that folder. Throws
/// CommandError: status 1 when the folder cannot be made.
void CreateWsdlFolder(const ScriptFolder& script);

/// When the services file of `script` is missing, creates one without
/// services through the library, under the caller's writers' lock, and
/// notes it. Never replaces anything: throws CommandError with status 3
/// when a folder, a FIFO or a dangling link stands at its place, 1 when the
/// file cannot be created.
void CreateServicesFile(const ScriptFolder& script);

}  // namespace kestrine::tool

#endif  // KESTRINE_TOOLS_SERVICES_FILE_CREATE_H
