// Parsing of the values that subcommand options take.
#ifndef TIVORN_TOOLS_OPTIONS_H
#define TIVORN_TOOLS_OPTIONS_H

#include <string>

#include "cli.h"

namespace cli {

// Largest width or height the program asks for: what a TGA header can hold.
const TVN_DWORD kMaxSide = 65535;

// Decimal digits only, value <= max.
bool parseNumber(const std::string& text, unsigned long max, unsigned long& value);
// "WxH", each side 1..kMaxSide.
bool parseSize(const std::string& text, TVN_DWORD& width, TVN_DWORD& height);
// box, bilinear, bicubic, gaussian, hamming, blackman -> the library's filter number.
bool parseFilter(const std::string& name, int& filter);
const char* filterName(int filter);
// const:P | gradient:T,L,R,B | ellipse:C,E | chromakey:RRGGBB,DEV[,soft|hard]
// | mask:FILE | original. Fills the settings record (and the mask file name);
// on failure why says what is wrong.
bool parseAlpha(const std::string& text, IMG_TRANSP& transp, std::string& mask, std::string& why);

// Walks "--name value", "--name=value" and positional arguments in order.
class COptionReader {
public:
    explicit COptionReader(const Args& args) : m_args(args), m_nNext(0) {}
    // Next argument; false at the end. An option is returned without its "=value".
    bool next(std::string& arg);
    // The value of the option just read (inline or the following argument).
    bool value(const std::string& option, std::string& out);
    // Why reading stopped early (a missing value, a value for an option that
    // takes none); empty at a normal end.
    const std::string& error() const { return m_strError; }

private:
    std::string m_strError;
    const Args& m_args;
    std::size_t m_nNext;
    std::string m_strInline;
    bool m_bHasInline = false;
};

} // namespace cli

#endif
