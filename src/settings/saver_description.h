// The names under which the settings list system screen savers, read from the savers'
// files: a 16-bit (NE) saver's module description, a 32-bit (PE) saver's string resource 1.
// The files are read through the Files port as data, a few small stretches of the headers;
// no saver is ever mapped, loaded or run to be named.
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "pe/byte_source.h"
#include "platform/ports.h"

namespace qv::settings {

// String 1 is read as LoadString reads it into a 260-character buffer: 259 characters.
inline constexpr std::size_t kDescriptionStringMaxChars = 259;
// An NE module description is read up to its first NUL, at most this many characters.
inline constexpr std::size_t kModuleDescriptionMaxChars = 257;

// The description of the ".scr" file at `path`. A PE saver gives its string 1 on the NT
// family and its file title (SaverFileTitle) otherwise; an NE saver gives its module
// description without "SCRNSAVE" and without the colons and blanks before the name.
// nullopt when the file is not recognised: it does not open, is no MZ file, carries
// neither "PE" nor "NE", or one of its headers points outside the file or back into the
// headers. Reads at most three stretches of the file for the headers.
// An NE description is text of the system's ANSI code page (`text`'s FromAnsi).
std::optional<std::string> GetWinScreenSaverName(platform::Files& files, platform::TextRules& text,
                                                 std::string_view path, bool isNT);

// String resource 1 of the resource library at `path` (or in `library`), read as data with
// the bounds-checked PE reader; empty when there is none.
std::string LoadDescriptionString(platform::Files& files, std::string_view path);
std::string LoadDescriptionString(std::unique_ptr<pe::ByteSource> library);

// The file name of `path` without its folders and its last four characters (".scr").
std::string SaverFileTitle(std::string_view path);

// The text the saver list shows for the file: its description, or its file title when
// the file gives none, so that every ".scr" file is listed.
std::string SaverListName(platform::Files& files, platform::TextRules& text, std::string_view path,
                          bool isNT);

}  // namespace qv::settings
