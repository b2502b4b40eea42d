#pragma once
// The binary file of a database: a header, every stored object, and a CRC-32
// of everything before it, so that a damaged or cut file is recognised.

#include <layra/host/DataBase.h>

#include <filesystem>
#include <string>

namespace layra {

std::string EncodeDataBase(const DataBase& db);
/** Parses a file's bytes; false with a reason when they are not a whole, intact database. */
bool DecodeDataBase(std::string_view bytes, UID& root, std::vector<StoredObject>& objects,
                    std::string& reason);

} // namespace layra
