#pragma once
// The one table behind TypeIdentifiers.h, shared with the sources and destinations, which need
// the OpenImageIO format name of each type.
#include <string>
#include <vector>

namespace imageio {

struct TypeEntry {
    const char* identifier;
    const char* format;                  // OpenImageIO's format name
    std::vector<const char*> extensions; // preferred first
    const char* displayName;
    bool writable; // when OpenImageIO can write the format
};

const std::vector<TypeEntry>& typeTable();
// The entry of an identifier, or null.
const TypeEntry* typeEntry(const std::string& typeIdentifier);
// The type of a file read by the OpenImageIO format with that name. Formats shared by several
// types (camera raw) are told apart by the file's extension.
const TypeEntry* typeEntryForFile(const std::string& format, const std::string& path);

} // namespace imageio
