#pragma once
// The host's document file: versioned XML that can be written by hand.
//
//   <layra-document version="1">
//     <story id="main">Text that flows through the frames that name it.</story>
//     <page width="612" height="792">
//       <rectangle left="36" top="36" right="200" bottom="120" fill="#ff0000"
//                  stroke="#000000" stroke-width="2"/>
//       <text left="36" top="140" right="300" bottom="400" story="main" size="10"/>
//       <image left="320" top="140" right="560" bottom="400" format="png">BASE64</image>
//     </page>
//   </layra-document>
//
// Any item may carry a name="..." and plug-in data as <data impl="0x...">BASE64</data>.

#include <layra/host/DataBase.h>

#include <filesystem>
#include <memory>
#include <string>

namespace layra {

/** A new document of `pages` blank pages. */
std::unique_ptr<DataBase> NewDocumentDataBase(std::int32_t pages, double width, double height);
/** Reads a document; null with a one-line reason when the file is not a whole, valid document. */
std::unique_ptr<DataBase> ReadDocumentFile(const std::filesystem::path& file, std::string& error);
/** Writes a document atomically: the old file stays until the new one is complete. */
bool WriteDocumentFile(const DataBase& db, const std::filesystem::path& file, std::string& error);

} // namespace layra
