// Names of the frames of a numbered run, by the rule the library finds them with:
// the number the name ends with (before the extension) counts up, printed with
// at least as many digits as it had. Only for showing and writing names; the
// library itself decides which frames exist.
#ifndef TIVORN_TOOLS_FRAME_RUN_H
#define TIVORN_TOOLS_FRAME_RUN_H

#include <string>

namespace cli {

// The name `index` places after `name` in its run; a name whose base does not
// end in digits gets a four-digit number appended (out.png -> out0000.png, ...).
std::string numberedName(const std::string& name, unsigned index);

} // namespace cli

#endif
