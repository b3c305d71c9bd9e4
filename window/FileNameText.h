// File names are bytes; the window shows and edits them as text. These two turn one into the
// other without loss, whatever the locale: a name survives the settings file, the output file
// name box and the dialogs byte for byte.
#pragma once

#include <QString>
#include <string>

namespace certwin {

// Valid UTF-8 reads as its characters; every other byte b (0x80 to 0xFF) becomes the lone
// surrogate U+DC00 + b, which no valid UTF-8 decodes to.
QString NameToText(const std::string& name);
// The inverse: U+DC80 to U+DCFF give back their byte, everything else is written as UTF-8.
std::string TextToName(const QString& text);

}  // namespace certwin
