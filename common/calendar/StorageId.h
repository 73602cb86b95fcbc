#pragma once
// The identifier of one storage file: random, made once and then kept beside
// the file, so that calendar UIDs built from it stay the same across exports
// of that storage and differ from those of every other user's storage.
#include <string>

// The file the identifier of `storagePath` is kept in.
std::string StorageIdPath(const std::string& storagePath);
// Reads the identifier (32 lowercase hex digits) or, when there is none yet,
// makes it from random bytes. Two programs making it at once agree on one.
// False when it can be neither read nor made, or its file holds anything else.
bool StorageIdentifier(const std::string& storagePath, std::string& id);
