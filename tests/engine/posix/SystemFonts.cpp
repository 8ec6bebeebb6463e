#include "tests/engine/SystemFonts.h"

namespace enginetest {

bool isSansSerifFontFile(const std::string& file) {
    // fontconfig's metric matches of Helvetica.
    return file.find("NimbusSans-Regular") != std::string::npos ||
           file.find("LiberationSans-Regular") != std::string::npos;
}

}  // namespace enginetest
